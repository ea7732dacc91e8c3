#include "SpriteLoaderOracle.h"

#include "Color.h"
#include "Frame.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "Sprite.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace ks::fuzz {

namespace {

const char* const SPRITE_FILE = "fuzz-sprite.txt";
const char* const PROBE_FILE = "probe-sprite.txt";
const char* const LABEL = "fuzzed";
const std::string PREFIX = " Message : ";

// Frames of no rows take nothing from the file, so nothing in it can back their number:
// past this many such frames a loader may refuse the header rather than allocate for it.
const long ROWLESS_FRAME_BOUND = 10000;

// What the file format says must happen with one file.
struct Expectation
{
    bool decided = true; // false: the format leaves the outcome to the loader
    int result = 0;
    std::vector<std::string> messages; // exact log messages, in order (decided only)
    int frames = 0;
    int width = 0;
    int height = 0;
    int slowdown = 0;
    Color color = UNDEFINED_COLOR;
    std::vector<std::string> frameText;
};

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        std::vsnprintf(out.data(), out.size() + 1, fmt, again);
    va_end(again);
    return out;
}

// The lines as a line reader that drops the line feed and nothing else returns them:
// a final piece without a line feed is a line only when it is not empty.
std::vector<std::string> splitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size())
    {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
        {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

Color colorOf(const std::string& line)
{
    struct Word
    {
        const char* word;
        Color color;
    };
    static const Word words[] = {
        {"black", BLACK},     {"red", RED},   {"green", GREEN}, {"yellow", YELLOW}, {"blue", BLUE},
        {"magenta", MAGENTA}, {"cyan", CYAN}, {"white", WHITE}, {"custom", CUSTOM},
    };
    for (const Word& w : words)
    {
        std::string word = w.word;
        if (line.compare(0, word.size(), word) == 0)
            return w.color;
    }
    return UNDEFINED_COLOR;
}

Expectation expect(const std::string& bytes)
{
    static const char* const headerFailures[5] = {
        "Failed reading from sprite file frames %s", "Failed reading from sprite file width %s",
        "Failed reading from sprite file height %s", "Failed reading from sprite file slowdown %s",
        "Failed reading from sprite file color %s",
    };
    Expectation e;
    std::vector<std::string> lines = splitLines(bytes);
    for (int k = 0; k < 5; k++)
    {
        if (static_cast<int>(lines.size()) <= k)
        {
            e.result = -1;
            e.messages.push_back(format(headerFailures[k], LABEL));
            return e;
        }
    }
    e.frames = std::atoi(lines[0].c_str());
    e.width = std::atoi(lines[1].c_str());
    e.height = std::atoi(lines[2].c_str());
    e.slowdown = std::atoi(lines[3].c_str());
    e.color = colorOf(lines[4]);
    if (e.color == UNDEFINED_COLOR)
        e.messages.push_back(format("Uknown color in sprite %s loaded, color is %s", LABEL, lines[4].c_str()));

    // Negative counts and huge numbers of row-less frames are the loader's to refuse or not.
    if (e.frames < 0 || e.width < 0 || e.height < 0 || (e.height == 0 && e.frames > ROWLESS_FRAME_BOUND))
    {
        e.decided = false;
        return e;
    }

    size_t next = 5;
    for (int f = 1; f <= e.frames; f++)
    {
        std::string text;
        for (int r = 1; r <= e.height; r++)
        {
            if (next >= lines.size())
            {
                e.result = -1;
                e.messages.push_back("Failed reading from sprite file, tried to acces line that does not exist. "
                                     "height is likely set to high, or framcount is likely set to high");
                return e;
            }
            const std::string& row = lines[next++];
            if (static_cast<long>(row.size()) != static_cast<long>(e.width) + 1)
            {
                e.result = -1;
                e.messages.push_back(format("Error in loading in sprite on line %d frame %d it had length %d "
                                            "expeted %d sprite %s not loaded. error line: %s",
                                            r, f, static_cast<int>(row.size()), e.width, LABEL, row.c_str()));
                return e;
            }
            text += row.substr(0, e.width);
        }
        e.frameText.push_back(text);
    }
    e.result = 0;
    return e;
}

std::vector<std::string> readLog()
{
    std::vector<std::string> messages;
    std::ifstream in(LOGFILE_NAME, std::ios::binary);
    std::string line;
    while (std::getline(in, line))
        messages.push_back(line.compare(0, PREFIX.size(), PREFIX) == 0 ? line.substr(PREFIX.size()) : "?" + line);
    return messages;
}

void writeBytes(const char* name, const std::string& bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string show(const std::vector<std::string>& lines)
{
    std::string out = "[";
    for (size_t i = 0; i < lines.size(); i++)
        out += (i ? " | " : "") + lines[i];
    return out + "]";
}

// The sprite the loader stored against what the header and rows say it must be.
std::string compareSprite(const Sprite* s, const Expectation& e, bool exactText)
{
    if (s == nullptr)
        return "loadSprite returned 0 but getSprite finds nothing under the label";
    if (s->getLabel() != LABEL)
        return "stored sprite has label '" + s->getLabel() + "'";
    int expectedFrames = e.frames < 0 ? 0 : e.frames;
    if (s->getFrameCount() != expectedFrames)
        return format("frame count %d, header says %d", s->getFrameCount(), e.frames);
    if (s->getWidth() != e.width || s->getHeight() != e.height)
        return format("size %dx%d, header says %dx%d", s->getWidth(), s->getHeight(), e.width, e.height);
    if (s->getSlowdown() != e.slowdown)
        return format("slowdown %d, header says %d", s->getSlowdown(), e.slowdown);
    if (s->getColor() != e.color)
        return format("colour %d, header says %d", static_cast<int>(s->getColor()), static_cast<int>(e.color));
    long cells = (e.width > 0 && e.height > 0) ? static_cast<long>(e.width) * e.height : 0;
    for (int i = 0; i < s->getFrameCount(); i++)
    {
        Frame frame = s->getFrame(i);
        if (frame.getWidth() != e.width || frame.getHeight() != e.height)
            return format("frame %d is %dx%d", i, frame.getWidth(), frame.getHeight());
        if (static_cast<long>(frame.getString().size()) != cells)
            return format("frame %d holds %zu characters, expected %ld", i, frame.getString().size(), cells);
        if (exactText && frame.getString() != e.frameText[i])
            return format("frame %d holds other characters than its rows", i);
    }
    return "";
}

} // namespace

void prepareLoader()
{
    LogManager::getInstance().startUp();
    ResourceManager& rm = ResourceManager::getInstance();
    rm.startUp();
    writeBytes(PROBE_FILE, "1\r\n1\r\n1\r\n0\r\nwhite\r\n#\r\n");
    for (int i = 0; i < MAX_SPRITES - 1; i++)
        if (rm.loadSprite(PROBE_FILE, "filler" + std::to_string(i)) != 0)
        {
            std::fprintf(stderr, "could not prepare the sprite array (filler %d did not load)\n", i);
            std::abort();
        }
}

std::string checkSpriteBytes(const std::string& bytes)
{
    LogManager& log = LogManager::getInstance();
    ResourceManager& rm = ResourceManager::getInstance();

    // A fresh, empty log for this file.
    log.shutDown();
    log.startUp();
    writeBytes(SPRITE_FILE, bytes);
    Expectation e = expect(bytes);

    int result = rm.loadSprite(SPRITE_FILE, LABEL);
    std::vector<std::string> logged = readLog();

    if (result != 0 && result != -1)
        return format("loadSprite returned %d", result);
    if (e.decided)
    {
        if (result != e.result)
            return format("loadSprite returned %d, the format says %d; log %s", result, e.result, show(logged).c_str());
        if (logged != e.messages)
            return "log " + show(logged) + ", expected " + show(e.messages);
    }
    else if (result == -1 && logged.size() < e.messages.size() + 1)
    {
        return "refused without saying why in the log: " + show(logged);
    }

    if (result == -1)
    {
        // Nothing stored: the array still has exactly one free place.
        if (rm.getSprite(LABEL) != nullptr)
            return "failed load left a sprite under the label";
        if (rm.loadSprite(PROBE_FILE, "probe") != 0)
            return "after a failed load the sprite array is full: the failure stored something";
        if (rm.loadSprite(PROBE_FILE, "probe2") != -1)
            return "after a failed load the sprite array takes two more sprites: the count went down";
        if (rm.unloadSprite("probe") != 0)
            return "could not unload the probe sprite";
        return "";
    }

    std::string wrong = compareSprite(rm.getSprite(LABEL), e, e.decided);
    if (!wrong.empty())
        return wrong;
    if (rm.loadSprite(PROBE_FILE, "probe") != -1)
        return "after a successful load the sprite array is not full: the load stored nothing";
    // Unloading keeps memory flat from one input to the next.
    if (rm.unloadSprite(LABEL) != 0)
        return "could not unload the loaded sprite";
    if (rm.getSprite(LABEL) != nullptr)
        return "unloaded sprite is still found";
    return "";
}

} // namespace ks::fuzz

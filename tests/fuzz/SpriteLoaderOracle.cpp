#include "SpriteLoaderOracle.h"

#include "Color.h"
#include "Frame.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "Sprite.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace ks::fuzz {

namespace {

const char* const SPRITE_FILE = "fuzz-sprite.txt";
const char* const PROBE_FILE = "probe-sprite.txt";
const std::string LABEL = "fuzzed";
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
    int frames = 0, width = 0, height = 0, slowdown = 0;
    Color color = UNDEFINED_COLOR;
    std::vector<std::string> frameText;
};

std::string str(long n)
{
    return std::to_string(n);
}

// The lines as a line reader that drops the line feed and nothing else returns them:
// a final piece without a line feed is a line only when it is not empty.
std::vector<std::string> splitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < bytes.size();)
    {
        const size_t end = bytes.find('\n', start);
        lines.push_back(bytes.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? bytes.size() : end + 1;
    }
    return lines;
}

Color colorOf(const std::string& line)
{
    static const std::pair<const char*, Color> words[] = {
        {"black", BLACK},     {"red", RED},   {"green", GREEN}, {"yellow", YELLOW}, {"blue", BLUE},
        {"magenta", MAGENTA}, {"cyan", CYAN}, {"white", WHITE}, {"custom", CUSTOM},
    };
    for (const auto& [word, color] : words)
        if (line.compare(0, std::string(word).size(), word) == 0)
            return color;
    return UNDEFINED_COLOR;
}

Expectation expect(const std::string& bytes)
{
    static const char* const header[5] = {"frames", "width", "height", "slowdown", "color"};
    Expectation e;
    const std::vector<std::string> lines = splitLines(bytes);
    if (lines.size() < 5)
    {
        e.result = -1;
        e.messages.push_back("Failed reading from sprite file " + std::string(header[lines.size()]) + " " + LABEL);
        return e;
    }
    e.frames = std::atoi(lines[0].c_str());
    e.width = std::atoi(lines[1].c_str());
    e.height = std::atoi(lines[2].c_str());
    e.slowdown = std::atoi(lines[3].c_str());
    e.color = colorOf(lines[4]);
    // The log formats the file's text with %s, which ends at the first NUL byte.
    if (e.color == UNDEFINED_COLOR)
        e.messages.push_back("Uknown color in sprite " + LABEL + " loaded, color is " + lines[4].c_str());

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
            e.result = -1;
            if (next >= lines.size())
            {
                e.messages.push_back("Failed reading from sprite file, tried to acces line that does not exist. "
                                     "height is likely set to high, or framcount is likely set to high");
                return e;
            }
            const std::string& row = lines[next++];
            if (static_cast<long>(row.size()) != static_cast<long>(e.width) + 1)
            {
                e.messages.push_back("Error in loading in sprite on line " + str(r) + " frame " + str(f) +
                                     " it had length " + str(static_cast<int>(row.size())) + " expeted " +
                                     str(e.width) + " sprite " + LABEL + " not loaded. error line: " + row.c_str());
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
    for (std::string line; std::getline(in, line);)
        messages.push_back(line.compare(0, PREFIX.size(), PREFIX) == 0 ? line.substr(PREFIX.size()) : "?" + line);
    return messages;
}

void writeBytes(const char* name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
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
    const std::vector<int> got = {s->getFrameCount(), s->getWidth(), s->getHeight(), s->getSlowdown(), s->getColor()};
    const std::vector<int> want = {e.frames < 0 ? 0 : e.frames, e.width, e.height, e.slowdown, e.color};
    static const char* const names[] = {"frame count", "width", "height", "slowdown", "colour"};
    for (size_t i = 0; i < got.size(); i++)
        if (got[i] != want[i])
            return std::string(names[i]) + " " + str(got[i]) + ", header says " + str(want[i]);
    const long cells = (e.width > 0 && e.height > 0) ? static_cast<long>(e.width) * e.height : 0;
    for (int i = 0; i < s->getFrameCount(); i++)
    {
        const Frame frame = s->getFrame(i);
        if (frame.getWidth() != e.width || frame.getHeight() != e.height)
            return "frame " + str(i) + " is " + str(frame.getWidth()) + "x" + str(frame.getHeight());
        if (static_cast<long>(frame.getString().size()) != cells)
            return "frame " + str(i) + " holds " + str(static_cast<long>(frame.getString().size())) +
                   " characters, expected " + str(cells);
        if (exactText && frame.getString() != e.frameText[static_cast<size_t>(i)])
            return "frame " + str(i) + " holds other characters than its rows";
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
        if (rm.loadSprite(PROBE_FILE, "filler" + str(i)) != 0)
        {
            std::fprintf(stderr, "could not prepare the sprite array (filler %d did not load)\n", i);
            std::abort();
        }
}

std::string checkSpriteBytes(const std::string& bytes)
{
    LogManager& log = LogManager::getInstance();
    ResourceManager& rm = ResourceManager::getInstance();
    log.shutDown(); // a fresh, empty log for this file
    log.startUp();
    writeBytes(SPRITE_FILE, bytes);
    const Expectation e = expect(bytes);
    const int result = rm.loadSprite(SPRITE_FILE, LABEL);
    const std::vector<std::string> logged = readLog();

    if (result != 0 && result != -1)
        return "loadSprite returned " + str(result);
    if (e.decided && result != e.result)
        return "loadSprite returned " + str(result) + ", the format says " + str(e.result) + "; log " + show(logged);
    if (e.decided && logged != e.messages)
        return "log " + show(logged) + ", expected " + show(e.messages);
    if (!e.decided && result == -1 && logged.size() < e.messages.size() + 1)
        return "refused without saying why in the log: " + show(logged);

    if (result == -1)
    {
        // Nothing stored: the array still has exactly one free place.
        if (rm.getSprite(LABEL) != nullptr)
            return "failed load left a sprite under the label";
        if (rm.loadSprite(PROBE_FILE, "probe") != 0)
            return "after a failed load the sprite array is full: the failure stored something";
        if (rm.loadSprite(PROBE_FILE, "probe2") != -1)
            return "after a failed load the sprite array takes two more sprites: the count went down";
        return rm.unloadSprite("probe") == 0 ? "" : "could not unload the probe sprite";
    }
    const std::string wrong = compareSprite(rm.getSprite(LABEL), e, e.decided);
    if (!wrong.empty())
        return wrong;
    if (rm.loadSprite(PROBE_FILE, "probe") != -1)
        return "after a successful load the sprite array is not full: the load stored nothing";
    // Unloading keeps memory flat from one input to the next.
    if (rm.unloadSprite(LABEL) != 0)
        return "could not unload the loaded sprite";
    return rm.getSprite(LABEL) == nullptr ? "" : "unloaded sprite is still found";
}

} // namespace ks::fuzz

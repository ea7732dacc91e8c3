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
    std::vector<std::u32string> frameText;
};

// The well-formed UTF-8 sequences as the Unicode standard tabulates them: the lead byte's
// range, the range of the byte after it (every later one is 0x80 to 0xBF) and the length.
struct Utf8Form
{
    unsigned lead0, lead1, second0, second1;
    int length;
};
const Utf8Form UTF8_FORMS[] = {
    {0x00, 0x7F, 0, 0, 1},       {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3},
    {0xE1, 0xEC, 0x80, 0xBF, 3}, {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3},
    {0xF0, 0xF0, 0x90, 0xBF, 4}, {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4},
};

// The code points of text, or npos with bad at the first byte that starts no well-formed
// sequence.
std::u32string decodeUtf8(const std::string& text, size_t& bad)
{
    std::u32string out;
    bad = std::string::npos;
    for (size_t at = 0; at < text.size();)
    {
        const auto byte = [&](size_t i) {
            return static_cast<unsigned>(static_cast<unsigned char>(text[i]));
        };
        const Utf8Form* form = nullptr;
        for (const Utf8Form& f : UTF8_FORMS)
            if (byte(at) >= f.lead0 && byte(at) <= f.lead1)
                form = &f;
        bool ok = form != nullptr && at + static_cast<size_t>(form->length) <= text.size();
        for (int i = 1; ok && i < form->length; i++)
        {
            const unsigned b = byte(at + static_cast<size_t>(i));
            ok = i == 1 ? b >= form->second0 && b <= form->second1 : b >= 0x80 && b <= 0xBF;
        }
        if (!ok)
        {
            bad = at;
            return out;
        }
        char32_t value = byte(at) & (form->length == 1 ? 0x7Fu : 0x7Fu >> form->length);
        for (int i = 1; i < form->length; i++)
            value = (value << 6) | (byte(at + static_cast<size_t>(i)) & 0x3F);
        out += value;
        at += static_cast<size_t>(form->length);
    }
    return out;
}

std::u32string bytesAsCodePoints(const std::string& text)
{
    std::u32string out;
    for (char c : text)
        out += static_cast<char32_t>(static_cast<unsigned char>(c));
    return out;
}

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

Expectation expect(const std::string& bytes, bool utf8)
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
    // A UTF-8 file may open with a byte-order mark, which the UTF-8 loader skips.
    const std::string mark = "\xEF\xBB\xBF";
    const size_t skipped = utf8 && lines[0].compare(0, mark.size(), mark) == 0 ? mark.size() : 0;
    e.frames = std::atoi(lines[0].c_str() + skipped);
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
    long offset = 0; // in the file, of line `next`
    for (size_t i = 0; i < 5; i++)
        offset += static_cast<long>(lines[i].size()) + 1;
    for (int f = 1; f <= e.frames; f++)
    {
        std::u32string text;
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
            size_t bad = std::string::npos;
            const std::u32string chars = utf8 ? decodeUtf8(row, bad) : bytesAsCodePoints(row);
            if (bad != std::string::npos)
            {
                char byte[8];
                std::snprintf(byte, sizeof byte, "0x%02x", static_cast<unsigned>(static_cast<unsigned char>(row[bad])));
                e.messages.push_back("Error in loading in sprite on line " + str(r) + " frame " + str(f) + ": byte " +
                                     byte + " at offset " + str(offset + static_cast<long>(bad)) +
                                     " is not UTF-8, sprite " + LABEL + " not loaded");
                return e;
            }
            if (static_cast<long>(chars.size()) != static_cast<long>(e.width) + 1)
            {
                e.messages.push_back("Error in loading in sprite on line " + str(r) + " frame " + str(f) +
                                     " it had length " + str(static_cast<int>(chars.size())) + " expeted " +
                                     str(e.width) + " sprite " + LABEL + " not loaded. error line: " + row.c_str());
                return e;
            }
            offset += static_cast<long>(row.size()) + 1;
            text += chars.substr(0, static_cast<size_t>(e.width));
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
std::string compareSprite(const Sprite* s, const Expectation& e, bool exactText, bool utf8)
{
    if (s == nullptr)
        return "the load returned 0 but getSprite finds nothing under the label";
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
        const std::u32string text = utf8 ? frame.getCodePoints() : bytesAsCodePoints(frame.getString());
        if (static_cast<long>(text.size()) != cells)
            return "frame " + str(i) + " holds " + str(static_cast<long>(text.size())) + " characters, expected " +
                   str(cells);
        if (exactText && text != e.frameText[static_cast<size_t>(i)])
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

namespace {

std::string checkLoad(const std::string& bytes, bool utf8)
{
    LogManager& log = LogManager::getInstance();
    ResourceManager& rm = ResourceManager::getInstance();
    log.shutDown(); // a fresh, empty log for this file
    log.startUp();
    writeBytes(SPRITE_FILE, bytes);
    const Expectation e = expect(bytes, utf8);
    const int result = utf8 ? rm.loadUtf8Sprite(SPRITE_FILE, LABEL) : rm.loadSprite(SPRITE_FILE, LABEL);
    const std::vector<std::string> logged = readLog();

    if (result != 0 && result != -1)
        return "the load returned " + str(result);
    if (e.decided && result != e.result)
        return "the load returned " + str(result) + ", the format says " + str(e.result) + "; log " + show(logged);
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
    const std::string wrong = compareSprite(rm.getSprite(LABEL), e, e.decided, utf8);
    if (!wrong.empty())
        return wrong;
    if (rm.loadSprite(PROBE_FILE, "probe") != -1)
        return "after a successful load the sprite array is not full: the load stored nothing";
    // Unloading keeps memory flat from one input to the next.
    if (rm.unloadSprite(LABEL) != 0)
        return "could not unload the loaded sprite";
    return rm.getSprite(LABEL) == nullptr ? "" : "unloaded sprite is still found";
}

} // namespace

std::string checkSpriteBytes(const std::string& bytes)
{
    const std::string bytesBroken = checkLoad(bytes, false);
    if (!bytesBroken.empty())
        return "loadSprite: " + bytesBroken;
    const std::string utf8Broken = checkLoad(bytes, true);
    return utf8Broken.empty() ? "" : "loadUtf8Sprite: " + utf8Broken;
}

} // namespace ks::fuzz

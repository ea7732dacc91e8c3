#include "SpriteTool.h"

#include "Color.h"
#include "DisplayManager.h"
#include "GameManager.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "Utf8.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <system_error>

#include <stdlib.h>

namespace fs = std::filesystem;

namespace ks::spritetool {

namespace {

const std::string LOG_PREFIX = " Message : ";

std::string readFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file's lines as the loader reads them: split at line feeds, carriage returns kept.
std::vector<std::string> fileLines(const std::string& name)
{
    const std::string bytes = readFile(name);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < bytes.size();)
    {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string colorName(Color color)
{
    // Named as sprite files name them; the game draws anything else in white.
    const char* const names[] = {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white", "custom"};
    if (color >= BLACK && color <= CUSTOM)
        return names[color];
    return "unknown colour";
}

// What loads but is likely a mistake: rows whose dropped last character is not the carriage
// return of a CRLF line end, and colours that the game draws in white.
void warn(const Sprite& sprite, const std::vector<std::string>& lines, bool utf8, std::ostream& out)
{
    const std::size_t header = 5;
    const std::size_t rows =
        static_cast<std::size_t>(sprite.getFrameCount()) * static_cast<std::size_t>(std::max(sprite.getHeight(), 0));
    std::size_t visible = 0, spaces = 0, firstVisible = 0, firstSpace = 0;
    for (std::size_t i = header; i < header + rows && i < lines.size(); i++)
    {
        const char dropped = lines[i].empty() ? '\r' : lines[i].back();
        if (dropped == ' ' || dropped == '\t')
        {
            if (spaces++ == 0)
                firstSpace = i + 1;
        }
        else if (dropped != '\r' && visible++ == 0)
            firstVisible = i + 1;
    }
    if (visible > 0)
        out << "  warning: " << visible << " row(s) end without a carriage return, so the loader drops a visible "
            << "character from each (first: line " << firstVisible << ", \"" << printable(lines[firstVisible - 1], utf8)
            << "\" shows without its last character); LF-only line ends? Save the file with CRLF line ends\n";
    if (spaces > 0)
        out << "  warning: " << spaces << " row(s) end in a space where the carriage return belongs (first: line "
            << firstSpace << "); editors and git trim such trailing spaces, and the trimmed rows no longer load\n";
    if (sprite.getColor() < BLACK || sprite.getColor() > WHITE)
        out << "  warning: the colour line is not a colour the game draws; it draws this sprite in white\n";
}

} // namespace

Workspace::Workspace(bool readsUtf8) : utf8(readsUtf8)
{
    if (!ok())
        return;
    LogManager::getInstance().startUp();
    ResourceManager::getInstance().startUp();
}

Workspace::~Workspace()
{
    if (!ok())
        return;
    ResourceManager::getInstance().shutDown();
    LogManager::getInstance().shutDown();
}

std::string Workspace::resolve(const std::string& file) const
{
    return (fs::path(temp.previousPath()) / file).string();
}

const Sprite* Workspace::load(const std::string& file, std::vector<std::string>& messages)
{
    return load(file, messages, utf8);
}

const Sprite* Workspace::load(const std::string& file, std::vector<std::string>& messages, bool asUtf8)
{
    if (!ok())
    {
        messages = {"no temporary working directory"};
        return nullptr;
    }
    ResourceManager& resources = ResourceManager::getInstance();
    if (!loadedLabel.empty())
        resources.unloadSprite(loadedLabel);
    newLogMessages();
    const std::string label = fs::path(file).stem().string();
    const bool loaded =
        (asUtf8 ? resources.loadUtf8Sprite(resolve(file), label) : resources.loadSprite(resolve(file), label)) == 0;
    loadedLabel = loaded ? label : "";
    const Sprite* sprite = loaded ? resources.getSprite(label) : nullptr;
    messages = newLogMessages();
    return sprite;
}

const Sprite* Workspace::loadOrSay(const std::string& file, std::ostream& err)
{
    std::vector<std::string> messages;
    const Sprite* sprite = load(file, messages);
    if (sprite == nullptr)
        notLoaded(file, messages, err, utf8);
    return sprite;
}

bool Workspace::linkFont()
{
    std::error_code ec;
    for (const char* font : {KS_SPRITE_FONT, KS_SPRITE_FALLBACK_FONT})
    {
        if (!fs::exists(font, ec))
            continue;
        fs::remove(FONT_FILE_DEFAULT, ec);
        fs::create_symlink(font, FONT_FILE_DEFAULT, ec);
        if (!ec)
            return true;
    }
    return false;
}

std::vector<std::string> Workspace::newLogMessages()
{
    const std::string log = readFile(LOGFILE_NAME);
    std::vector<std::string> messages;
    for (std::size_t start = logRead; start < log.size();)
    {
        const std::size_t end = std::min(log.find('\n', start), log.size());
        const std::string line = log.substr(start, end - start);
        messages.push_back(line.compare(0, LOG_PREFIX.size(), LOG_PREFIX) == 0 ? line.substr(LOG_PREFIX.size()) : line);
        start = end + 1;
    }
    logRead = log.size();
    return messages;
}

int frameMillis(int slowdown)
{
    // An animation moves on after `slowdown` draws, after one when it is 0 or 1, and never
    // when it is -1 (the count it starts from is the slowdown itself).
    if (slowdown == -1)
        return -1;
    return std::max(slowdown, 1) * FRAME_TIME_DEFAULT;
}

std::vector<std::string> frameRows(const Sprite& sprite, int index)
{
    const Frame frame = sprite.getFrame(index);
    // Characters of a frame of characters as code points: the terminal is shown ASCII only.
    std::u32string text = frame.getCodePoints();
    if (text.empty())
        for (char c : frame.getString())
            text += c < ' ' || c > '~' ? U'?' : static_cast<char32_t>(c);
    const std::size_t width = static_cast<std::size_t>(std::max(frame.getWidth(), 0));
    std::vector<std::string> rows;
    for (int r = 0; r < frame.getHeight(); r++)
    {
        std::string row;
        for (char32_t c : text.substr(std::min(text.size(), static_cast<std::size_t>(r) * width), width))
            // A terminal would act on control characters; the game shows no glyph for most of them.
            appendUtf8(row, c < U' ' || (c >= 0x7F && c < 0xA0) ? U'?' : c);
        rows.push_back(row);
    }
    return rows;
}

std::string ansiColor(const Sprite& sprite)
{
    // The terminal's eight colours come in the engine's order; the game paints others white.
    const Color color = sprite.getColor();
    const int code = color >= BLACK && color <= WHITE ? 30 + color : 37;
    return "\x1b[1;" + std::to_string(code) + ";40m";
}

std::string printable(const std::string& text, bool utf8)
{
    std::string shown;
    for (std::size_t at = 0; at < text.size(); at++)
    {
        const char c = text[at];
        const unsigned char byte = static_cast<unsigned char>(c);
        std::size_t next = at;
        bool valid = false;
        const char32_t codePoint = utf8 && byte >= 0x80 ? nextCodePoint(text, next, valid) : 0;
        if (valid && codePoint >= 0xA0)
        {
            shown.append(text, at, next - at);
            at = next - 1;
        }
        else if (c == '\r')
            shown += "\\r";
        else if (byte < 0x20 || byte >= 0x7f)
        {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            shown += escape;
        }
        else
            shown += c;
    }
    return shown;
}

void notLoaded(const std::string& file, const std::vector<std::string>& messages, std::ostream& out, bool utf8)
{
    out << file << ": not loaded\n";
    for (const std::string& message : messages)
        out << "  " << printable(message, utf8) << '\n';
}

int check(const std::vector<std::string>& files, std::ostream& out, bool utf8)
{
    Workspace workspace(utf8);
    int result = 0;
    for (const std::string& file : files)
    {
        std::vector<std::string> messages;
        const Sprite* sprite = workspace.load(file, messages);
        if (sprite == nullptr)
        {
            result = 1;
            notLoaded(file, messages, out, utf8);
            std::vector<std::string> asUtf8;
            if (!utf8 && workspace.load(file, asUtf8, true) != nullptr)
                out << "  hint: it loads as UTF-8 art, with --utf8 (and in a game with "
                       "ResourceManager::loadUtf8Sprite)\n";
            const std::vector<std::string> lines = fileLines(workspace.resolve(file));
            if (!lines.empty() && std::none_of(lines.begin(), lines.end(), [](const std::string& line) {
                    return !line.empty() && line.back() == '\r';
                }))
                out << "  hint: no line ends with a carriage return, so every row needs one character more than "
                       "the width, which the loader drops; save the file with CRLF line ends\n";
            continue;
        }
        out << file << ": " << sprite->getLabel() << ", " << sprite->getWidth() << " x " << sprite->getHeight() << ", "
            << sprite->getFrameCount() << " frame(s), " << colorName(sprite->getColor()) << ", slowdown "
            << sprite->getSlowdown() << '\n';
        for (const std::string& message : messages)
            out << "  warning: " << printable(message, utf8) << '\n';
        warn(*sprite, fileLines(workspace.resolve(file)), utf8, out);
    }
    return result;
}

namespace {

void printFrames(const Sprite& sprite, bool color, std::ostream& out)
{
    for (int f = 0; f < sprite.getFrameCount(); f++)
    {
        if (f > 0)
            out << '\n';
        for (const std::string& row : frameRows(sprite, f))
            out << (color ? ansiColor(sprite) + row + "\x1b[0m" : row) << '\n';
    }
}

} // namespace

int show(const std::string& file, bool color, std::ostream& out, std::ostream& err, bool utf8)
{
    Workspace workspace(utf8);
    const Sprite* sprite = workspace.loadOrSay(file, err);
    if (sprite == nullptr)
        return 1;
    printFrames(*sprite, color, out);
    return 0;
}

int watch(const std::string& file, bool color, std::ostream& out, std::ostream& err,
          const std::function<bool()>& keepGoing, bool utf8)
{
    Workspace workspace(utf8);
    const Sprite* sprite = workspace.loadOrSay(file, err);
    if (sprite == nullptr)
        return 1;
    ResourceManager& resources = ResourceManager::getInstance();
    resources.setSpriteReloading(true);
    printFrames(*sprite, color, out);
    out << std::flush;
    while (keepGoing())
    {
        const bool reloaded = resources.reloadChangedSprites() > 0;
        const std::vector<std::string> messages = workspace.newLogMessages();
        if (reloaded)
        {
            // On a terminal the new frames take the place of the old.
            out << (color ? "\x1b[H\x1b[2J" : "\n") << file << ": reloaded\n";
            printFrames(*sprite, color, out);
        }
        else if (!messages.empty())
        {
            err << file << ": not reloaded, the frames shown are the last that loaded\n";
            for (const std::string& message : messages)
                err << "  " << printable(message, utf8) << '\n';
        }
        out << std::flush;
        err << std::flush;
    }
    resources.setSpriteReloading(false);
    return 0;
}

} // namespace ks::spritetool

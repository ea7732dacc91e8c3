#include "ResourceManager.h"

#include "LogManager.h"
#include "Utf8.h"

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <utility>

#include <sys/stat.h>

namespace ks {

namespace {

// Colour words in the order they are tried; each is compared with the start of the line only.
struct ColorWord
{
    const char* word;
    Color color;
};

const ColorWord COLOR_WORDS[] = {
    {"black", BLACK},     {"red", RED},   {"green", GREEN}, {"yellow", YELLOW}, {"blue", BLUE},
    {"magenta", MAGENTA}, {"cyan", CYAN}, {"white", WHITE}, {"custom", CUSTOM},
};

Color colorFromLine(const std::string& line)
{
    for (const ColorWord& entry : COLOR_WORDS)
    {
        const std::string word = entry.word;
        if (line.compare(0, word.size(), word) == 0)
            return entry.color;
    }
    return UNDEFINED_COLOR;
}

// Frames of no rows take nothing from the file, so their number cannot be checked against
// it; past this many the header is taken as broken rather than allocating for it.
const int MAX_ROWLESS_FRAMES = 10000;

const std::string BYTE_ORDER_MARK = "\xEF\xBB\xBF";

} // namespace

ResourceManager& ResourceManager::getInstance()
{
    static ResourceManager instance;
    return instance;
}

ResourceManager::ResourceManager()
{
    setType("ResourceManager");
    for (Sprite*& entry : sprite)
        entry = nullptr;
}

ResourceManager::~ResourceManager() = default;

int ResourceManager::startUp()
{
    // Sprites still held from an earlier start would otherwise be lost with the count.
    for (int i = 0; i < spriteCount; i++)
    {
        delete sprite[i];
        sprite[i] = nullptr;
    }
    spriteCount = 0;
    soundCount = 0;
    musicCount = 0;
    return Manager::startUp();
}

void ResourceManager::shutDown()
{
    for (int i = 0; i < spriteCount; i++)
    {
        delete sprite[i];
        sprite[i] = nullptr;
    }
    spriteCount = 0;
    Manager::shutDown();
}

int ResourceManager::loadSprite(std::string filename, std::string label)
{
    return storeSprite(filename, label, false);
}

int ResourceManager::loadUtf8Sprite(std::string filename, std::string label)
{
    return storeSprite(filename, label, true);
}

int ResourceManager::storeSprite(const std::string& filename, const std::string& label, bool utf8)
{
    if (spriteCount == MAX_SPRITES)
        return -1;
    // Stamped before reading: a file saved while it is read is read again later.
    const FileStamp stamp = stampOf(filename);
    Sprite* loaded = readSprite(filename, label, utf8);
    if (loaded == nullptr)
        return -1;
    sprite[spriteCount] = loaded;
    spriteFile[spriteCount] = filename;
    spriteStamp[spriteCount] = stamp;
    spriteUtf8[spriteCount] = utf8;
    spriteCount++;
    return 0;
}

// The sprite file's contents as a new sprite, or null after the log lines that say why. With
// utf8 the rows are read as UTF-8 and counted in code points, otherwise in bytes.
Sprite* ResourceManager::readSprite(const std::string& filename, const std::string& label, bool utf8) const
{
    const LogManager& log = LogManager::getInstance();
    std::ifstream file(filename);
    if (!file.is_open())
    {
        log.writeLog("error opening sprite file for %s", label.c_str());
        return nullptr;
    }

    // The header, one line each; a carriage return stays part of the line.
    const char* const headerNames[] = {"frames", "width", "height", "slowdown", "color"};
    std::string header[5];
    long long lineStart = 0; // offset in the file of the line read next
    for (int i = 0; i < 5; i++)
    {
        if (!std::getline(file, header[i]))
        {
            log.writeLog("Failed reading from sprite file %s %s", headerNames[i], label.c_str());
            return nullptr;
        }
        lineStart += static_cast<long long>(header[i].size()) + 1;
    }
    // Editors may begin a UTF-8 file with a byte-order mark; the frame count comes after it.
    if (utf8 && header[0].compare(0, BYTE_ORDER_MARK.size(), BYTE_ORDER_MARK) == 0)
        header[0].erase(0, BYTE_ORDER_MARK.size());
    const int frames = std::atoi(header[0].c_str());
    const int width = std::atoi(header[1].c_str());
    const int height = std::atoi(header[2].c_str());
    const int slowdown = std::atoi(header[3].c_str());
    const Color color = colorFromLine(header[4]);
    if (color == UNDEFINED_COLOR)
        log.writeLog("Uknown color in sprite %s loaded, color is %s", label.c_str(), header[4].c_str());

    if (frames < 0)
    {
        log.writeLog("Sprite %s not loaded: negative frame count %d", label.c_str(), frames);
        return nullptr;
    }
    if (height <= 0 && frames > MAX_ROWLESS_FRAMES)
    {
        log.writeLog("Sprite %s not loaded: %d frames of height %d, at most %d frames without rows", label.c_str(),
                     frames, height, MAX_ROWLESS_FRAMES);
        return nullptr;
    }

    // Every row is read and checked before the sprite is built, so memory follows what the
    // file really holds, not what its header claims. Rows are kept in one string (of code
    // points for UTF-8); every frame takes the same number of characters from it.
    const long long expectedLength = static_cast<long long>(width) + 1;
    std::string rows;
    std::u32string codePointRows;
    std::u32string codePoints;
    std::string line;
    // Counted wide: a header at the int limit must not overflow the counters.
    for (long long f = 1; f <= frames; f++)
    {
        for (long long r = 1; r <= height; r++)
        {
            if (!std::getline(file, line))
            {
                log.writeLog("Failed reading from sprite file, tried to acces line that does not exist. height is "
                             "likely set to high, or framcount is likely set to high");
                return nullptr;
            }
            std::size_t length = line.size();
            if (utf8)
            {
                codePoints.clear();
                for (std::size_t at = 0; at < line.size();)
                {
                    const std::size_t from = at;
                    bool valid = true;
                    codePoints.push_back(nextCodePoint(line, at, valid));
                    if (!valid)
                    {
                        log.writeLog("Error in loading in sprite on line %d frame %d: byte 0x%02x at offset %lld is "
                                     "not UTF-8, sprite %s not loaded",
                                     static_cast<int>(r), static_cast<int>(f),
                                     static_cast<unsigned>(static_cast<unsigned char>(line[from])),
                                     lineStart + static_cast<long long>(from), label.c_str());
                        return nullptr;
                    }
                }
                length = codePoints.size();
            }
            if (static_cast<long long>(length) != expectedLength)
            {
                log.writeLog("Error in loading in sprite on line %d frame %d it had length %d expeted %d sprite %s "
                             "not loaded. error line: %s",
                             static_cast<int>(r), static_cast<int>(f), static_cast<int>(length), width, label.c_str(),
                             line.c_str());
                return nullptr;
            }
            lineStart += static_cast<long long>(line.size()) + 1;
            // The row's last character (line end or not) is dropped.
            if (utf8 && !codePoints.empty())
                codePointRows.append(codePoints, 0, codePoints.size() - 1);
            else if (!line.empty())
                rows.append(line, 0, line.size() - 1);
        }
    }
    file.close();

    const std::size_t rowLength = utf8 ? codePointRows.size() : rows.size();
    const std::size_t frameLength = frames == 0 ? 0 : rowLength / static_cast<std::size_t>(frames);
    Sprite* loaded = new Sprite(frames);
    loaded->setHeight(height);
    loaded->setWidth(width);
    loaded->setSlowdown(slowdown);
    loaded->setColor(color);
    for (int f = 0; f < frames; f++)
    {
        const std::size_t from = static_cast<std::size_t>(f) * frameLength;
        loaded->addFrame(utf8 ? Frame(width, height, codePointRows.substr(from, frameLength))
                              : Frame(width, height, rows.substr(from, frameLength)));
    }
    loaded->setLabel(label);
    return loaded;
}

int ResourceManager::unloadSprite(std::string label)
{
    for (int i = 0; i < spriteCount; i++)
    {
        if (sprite[i]->getLabel() != label)
            continue;
        delete sprite[i];
        for (int j = i; j < spriteCount - 1; j++)
        {
            sprite[j] = sprite[j + 1];
            spriteFile[j] = std::move(spriteFile[j + 1]);
            spriteStamp[j] = spriteStamp[j + 1];
            spriteUtf8[j] = spriteUtf8[j + 1];
        }
        spriteCount--;
        sprite[spriteCount] = nullptr;
        return 0;
    }
    LogManager::getInstance().writeLog("Sprite not found");
    return -1;
}

void ResourceManager::setSpriteReloading(bool on)
{
    spriteReloading = on;
}

bool ResourceManager::getSpriteReloading() const
{
    return spriteReloading;
}

int ResourceManager::reloadChangedSprites(const SpriteReloaded& reloadedHook)
{
    if (!spriteReloading)
        return 0;
    int reloaded = 0;
    for (int i = 0; i < spriteCount; i++)
    {
        const FileStamp stamp = stampOf(spriteFile[i]);
        if (stamp == spriteStamp[i])
            continue;
        spriteStamp[i] = stamp;
        Sprite* fresh = readSprite(spriteFile[i], sprite[i]->getLabel(), spriteUtf8[i]);
        if (fresh == nullptr)
        {
            LogManager::getInstance().writeLog("Sprite %s not reloaded from %s, keeping the old one",
                                               sprite[i]->getLabel().c_str(), spriteFile[i].c_str());
            continue;
        }
        // Animations point to the sprite: it takes the new art in place.
        const int oldWidth = sprite[i]->getWidth(), oldHeight = sprite[i]->getHeight();
        sprite[i]->swap(*fresh);
        delete fresh;
        LogManager::getInstance().writeLog("Sprite %s reloaded from %s", sprite[i]->getLabel().c_str(),
                                           spriteFile[i].c_str());
        if (reloadedHook)
            reloadedHook(*sprite[i], oldWidth, oldHeight);
        reloaded++;
    }
    return reloaded;
}

Sprite* ResourceManager::getSprite(std::string label) const
{
    for (int i = 0; i < spriteCount; i++)
    {
        if (sprite[i]->getLabel() == label)
            return sprite[i];
    }
    LogManager::getInstance().writeLog("Failed to find sprite %s", label.c_str());
    return nullptr;
}

int ResourceManager::loadSound(std::string filename, std::string label)
{
    const LogManager& log = LogManager::getInstance();
    if (soundCount == MAX_SOUNDS)
    {
        log.writeLog("Sound array full.");
        return -1;
    }
    if (sound[soundCount].loadSound(filename) == -1)
    {
        log.writeLog("Unable to load from file");
        return -1;
    }
    sound[soundCount].setLabel(label);
    soundCount++;
    return 0;
}

int ResourceManager::unloadSound(std::string label)
{
    for (int i = 0; i < soundCount; i++)
    {
        if (sound[i].getLabel() != label)
            continue;
        // Each later entry moves down with its own samples; the move releases the sf::Sound
        // of the entry it overwrites, and the last place is emptied the same way.
        for (int j = i; j < soundCount - 1; j++)
            sound[j] = std::move(sound[j + 1]);
        sound[soundCount - 1] = Sound();
        soundCount--;
        return 0;
    }
    return -1;
}

Sound* ResourceManager::getSound(std::string label)
{
    for (int i = 0; i < soundCount; i++)
    {
        if (sound[i].getLabel() == label)
            return &sound[i];
    }
    LogManager::getInstance().writeLog("failed to find sound %s", label.c_str());
    return nullptr;
}

int ResourceManager::loadMusic(std::string filename, std::string label)
{
    const LogManager& log = LogManager::getInstance();
    if (musicCount == MAX_MUSICS)
    {
        log.writeLog("Sound array full.");
        return -1;
    }
    if (music[musicCount].loadMusic(filename) == -1)
    {
        log.writeLog("Unable to load from file");
        return -1;
    }
    music[musicCount].setLabel(label);
    musicCount++;
    return 0;
}

int ResourceManager::unloadMusic(std::string label)
{
    for (int i = 0; i < musicCount; i++)
    {
        if (music[i].getLabel() == label)
        {
            music[i].setLabel("");
            return 0;
        }
    }
    return -1;
}

Music* ResourceManager::getMusic(std::string label)
{
    const LogManager& log = LogManager::getInstance();
    for (int i = 0; i < musicCount; i++)
    {
        if (music[i].getLabel() == label)
        {
            log.writeLog("found music");
            return &music[i];
        }
    }
    log.writeLog("failed to find music %s", label.c_str());
    return nullptr;
}

bool ResourceManager::FileStamp::operator==(const FileStamp& other) const
{
    return modified == other.modified && size == other.size;
}

ResourceManager::FileStamp ResourceManager::stampOf(const std::string& filename)
{
    struct stat info = {};
    if (stat(filename.c_str(), &info) != 0)
        return FileStamp{};
    return FileStamp{static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                     static_cast<std::int64_t>(info.st_size)};
}

} // namespace ks

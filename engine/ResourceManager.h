#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Manager.h"
#include "Music.h"
#include "Sound.h"
#include "Sprite.h"

namespace ks {

const int MAX_SPRITES = 500;
const int MAX_SOUNDS = 50;
const int MAX_MUSICS = 50;

/// ResourceManager: loads sprites, sounds and music once and hands them out by label.
///
/// @code
/// ResourceManager &rm = ResourceManager::getInstance();
/// rm.loadSprite("zombie-spr.txt", "zombie");
/// Sprite *s = rm.getSprite("zombie");
/// @endcode
class ResourceManager : public Manager
{
public:
    /// The one ResourceManager, made on first use.
    static ResourceManager& getInstance();

    /// Deletes no sprites; the sound and music entries are destroyed with the manager.
    ~ResourceManager() override;

    /// Starts the manager and empties the three arrays; always 0.
    int startUp() override;

    /// Deletes every sprite; sounds and music stay.
    void shutDown() override;

    /// Reads a sprite file and stores it under label, all or nothing. 0, or -1 with a log line
    /// (none when the array is full).
    int loadSprite(std::string filename, std::string label);

    /// loadSprite for art written in UTF-8, so that box drawing, blocks, arrows and the like can
    /// be drawn: the same header (a byte-order mark before it is skipped), then rows of width + 1
    /// characters counted in Unicode code points, the last dropped; each frame keeps its code
    /// points (Frame::getCodePoints) and paints them with DisplayManager::drawGlyph. A row that
    /// is no valid UTF-8 fails with a log line naming the row, the frame, the byte and its offset
    /// in the file. 0, or -1 with a log line (none when the array is full).
    int loadUtf8Sprite(std::string filename, std::string label);

    /// Deletes the first sprite with label, keeping the order of the rest. 0, or -1.
    int unloadSprite(std::string label);

    /// The first sprite with label, or null with a log line.
    Sprite* getSprite(std::string label) const;

    /// Sprite reloading, off after construction. While it is on, reloadChangedSprites() reads
    /// again the file of every sprite whose file has changed since; the game manager calls it
    /// every SPRITE_CHECK_STEPS steps.
    ///@{
    void setSpriteReloading(bool on);
    bool getSpriteReloading() const;
    ///@}

    /// Told about a sprite read again, with the size its frames had before.
    using SpriteReloaded = std::function<void(Sprite& sprite, int oldWidth, int oldHeight)>;

    /// With reloading on: every sprite whose file changed (time or size) since it was loaded
    /// is read again, as UTF-8 art when it was loaded so. A file that loads replaces the sprite's art in place, so
    /// every animation playing it shows the new art ("Sprite %s reloaded from %s"; then reloaded is called, when
    /// given); one that does not keeps the old art, after the loader's own log lines
    /// ("Sprite %s not reloaded from %s, keeping the old one"), and is tried again when it
    /// next changes. The number of sprites reloaded; 0 when reloading is off.
    int reloadChangedSprites(const SpriteReloaded& reloaded = nullptr);

    /// Loads a sound into the next free entry. 0, or -1 with log lines.
    int loadSound(std::string filename, std::string label);
    /// Removes the first entry with label, closing the gap. 0, or -1 (no log line).
    int unloadSound(std::string label);
    /// The first entry with label, or null with a log line.
    Sound* getSound(std::string label);

    /// Opens a music stream in the next unused entry. 0, or -1 with log lines.
    int loadMusic(std::string filename, std::string label);
    /// Clears the label of the first entry with it; the entry stays used. 0, or -1.
    int unloadMusic(std::string label);
    /// The first entry with label (logging "found music"), or null with a log line.
    Music* getMusic(std::string label);

    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

private:
    ResourceManager();

    /// A sprite file as last seen: modification time (nanoseconds) and size, or -1 for both
    /// when it could not be read.
    struct FileStamp
    {
        std::int64_t modified = -1;
        std::int64_t size = -1;
        bool operator==(const FileStamp& other) const;
    };
    static FileStamp stampOf(const std::string& filename);
    int storeSprite(const std::string& filename, const std::string& label, bool utf8);
    Sprite* readSprite(const std::string& filename, const std::string& label, bool utf8) const;
    void reloadSprite(int index);

    int spriteCount = 0;
    Sprite* sprite[MAX_SPRITES];         ///< owned, load order
    std::string spriteFile[MAX_SPRITES]; ///< the file each was loaded from
    FileStamp spriteStamp[MAX_SPRITES];  ///< that file when it was last read
    bool spriteUtf8[MAX_SPRITES] = {};   ///< whether its art was read as UTF-8
    bool spriteReloading = false;
    Sound sound[MAX_SOUNDS];
    int soundCount = 0;
    Music music[MAX_MUSICS];
    int musicCount = 0;
};

} // namespace ks

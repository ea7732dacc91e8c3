// kestrane-sprite's commands, apart from its main so that tests can call them. Every command
// reads sprite files with the engine's own loader, in a private working directory where the
// engine writes its log (read back here) and finds its font; nothing is left behind in the
// user's directory. With utf8 every command reads files as UTF-8 art
// (ResourceManager::loadUtf8Sprite) instead of as bytes (loadSprite).
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "TempDir.h"

namespace ks {
class Sprite;
}

namespace ks::spritetool {

// A fresh temporary directory made the working directory for the life of the object, with
// the engine's log open in it; the previous working directory is restored and the directory
// removed afterwards. File names given by the user are taken relative to the previous one.
class Workspace
{
public:
    explicit Workspace(bool utf8 = false);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    bool ok() const
    {
        return !temp.path().empty();
    }

    // A user's file name as a path that works from inside the workspace.
    std::string resolve(const std::string& file) const;

    // Loads the file with ResourceManager::loadSprite (loadUtf8Sprite for a UTF-8 workspace)
    // under its name without extension, replacing the sprite loaded before. Null when it does not load. Either way,
    // messages gets what the engine logged meanwhile (or why there is no workspace).
    const Sprite* load(const std::string& file, std::vector<std::string>& messages);
    // As load, read as UTF-8 art or as bytes whatever the workspace reads.
    const Sprite* load(const std::string& file, std::vector<std::string>& messages, bool asUtf8);

    // As load, but a file that does not load is reported on err with the engine's reasons.
    const Sprite* loadOrSay(const std::string& file, std::ostream& err);

    // Messages the engine logged since the last call, without the log's line prefix.
    std::vector<std::string> newLogMessages();

    // Links the engine's font file into the directory: the build's font, else the system's
    // DejaVu Sans Mono Bold. False when neither is there.
    bool linkFont();

private:
    tools::TempDir temp{"kestrane-sprite"};
    std::size_t logRead = 0; // bytes of the log already returned
    std::string loadedLabel;
    bool utf8;
};

// How long a frame stays on screen, in milliseconds, as an object's animation shows it at
// the game's frame rate; -1 when the animation never moves on.
int frameMillis(int slowdown);

// The characters of frame `index` (from 0) row by row, each row as the terminal shows it (in
// UTF-8 for a frame of code points).
std::vector<std::string> frameRows(const Sprite& sprite, int index);

// An ANSI escape sequence that paints text as the game does: bold, in the sprite's colour,
// on black.
std::string ansiColor(const Sprite& sprite);

// A message safe for a terminal: control and non-ASCII bytes as escapes (\r, \xNN); with
// utf8, characters of valid UTF-8 other than control characters are kept as they are.
std::string printable(const std::string& text, bool utf8 = false);

// "FILE: not loaded" and the engine's log lines that say why, one a line.
void notLoaded(const std::string& file, const std::vector<std::string>& messages, std::ostream& out, bool utf8 = false);

// Per file its label, size, frame count, colour and slowdown, or the engine's log lines that
// say why it did not load (and whether it loads as UTF-8 art when it was read as bytes); then
// warnings about what loads but is likely a mistake. 0 when every file loads, else 1.
int check(const std::vector<std::string>& files, std::ostream& out, bool utf8 = false);

// The frames one after another, a blank line between two, in the sprite's colour when color
// is set. 0, or 1 with the loader's log lines on err.
int show(const std::string& file, bool color, std::ostream& out, std::ostream& err, bool utf8 = false);

// show, then the frames again whenever the file changes on disk, as the game's sprite
// reloading does: keepGoing() is called before each look at the file (and may wait between
// looks); while it is true, a file that loads again is shown again after "FILE: reloaded", and
// one that no longer loads leaves the last frames shown, with the loader's reasons on err.
// 0, or 1 when the file does not load at first.
int watch(const std::string& file, bool color, std::ostream& out, std::ostream& err,
          const std::function<bool()>& keepGoing, bool utf8 = false);

// Animates the frames in place on the terminal at the sprite's speed until a key, Ctrl-C or
// another ending signal; the terminal is restored afterwards. 0, or 1 when the file does not
// load.
int play(const std::string& file, std::ostream& err, bool utf8 = false);

// Draws every frame with the engine's DisplayManager and writes them to output: a PNG holds a
// row of frames per file, a GIF (one file only) animates them at the sprite's speed. Without a
// reachable X display it runs a private Xvfb. 0, or 1 with the reason on err.
int render(const std::vector<std::string>& files, const std::string& output, std::ostream& err, bool utf8 = false);

} // namespace ks::spritetool

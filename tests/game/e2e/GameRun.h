// GameRun: the real `kestrane` program started in a game folder on the current X display
// and played the way a person would, through xdotool (XTEST input), with screenshots read
// straight from the X server into sf::Image.
//
//   GameRun game(folder);          // starts ./kestrane with `folder` as working directory
//   game.waitForWindow();           // our own window, raised and focused
//   game.key("space"); sf::Image shot = game.screenshot("after-space");
//
// Nothing here can hang a test: every external command runs under `timeout`, every wait has
// a deadline, and a game still running when the object dies is killed and reaped. The child
// also dies with the test process (parent-death signal), so a test killed by CTest leaves
// no game behind.
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>

struct _XDisplay; // Xlib's Display, kept out of this header for its clashing macros

namespace ks::e2e {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// Runs a shell command, giving up after `limitSeconds`; returns its exit status (124 on timeout).
int shell(const std::string& command, int limitSeconds = 10);

// Runs a shell command and returns what it printed on standard output.
std::string shellOutput(const std::string& command, int limitSeconds = 10);

// The ids of the mapped windows of the game program ("Kestrane", class "kestrane") on the display.
std::vector<unsigned long> kestraneWindows();

// A connection to the display held for the life of the object. An X server without clients
// resets itself (Xvfb does unless started with -noreset) and refuses connections meanwhile,
// which makes SFML 2 abort and screenshots fail; one client kept open prevents that.
class DisplayHold
{
public:
    // Connects, retrying for up to `limit` while the server resets.
    explicit DisplayHold(Millis limit = Millis(10000));
    ~DisplayHold();
    DisplayHold(const DisplayHold&) = delete;
    DisplayHold& operator=(const DisplayHold&) = delete;

    bool connected() const
    {
        return display != nullptr;
    }

private:
    _XDisplay* display = nullptr;
};

// How a finished game ended.
struct Exit
{
    bool exited = false; // ended by returning from main or calling exit
    int status = -1;     // exit status when `exited`, else the signal that ended it
    Millis after{0};     // time from the start of the wait to the end of the process
};

class GameRun
{
public:
    // Starts `<folder>/kestrane` with `folder` as its working directory; its standard output
    // and error go to "stdout.txt" and "stderr.txt" there.
    explicit GameRun(std::string folder);
    ~GameRun();
    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;

    // Waits until the game's window is mapped, then raises and focuses it. False if the
    // program died or no new window appeared within the time limit.
    bool waitForWindow(Millis limit = Millis(15000));

    // True while the program has not ended.
    bool running();

    // Input through XTEST, as a person at the keyboard and mouse. Key names are X keysyms
    // ("space", "Escape", "w"). Every call first makes sure our window has the focus.
    void key(const std::string& name);
    void keyDown(const std::string& name);
    void keyUp(const std::string& name);
    void moveMouse(int x, int y); // window pixels
    void click(int button);       // 1 left, 2 middle, 3 right

    // The window's pixels as they are now; an empty image if the capture failed. The last
    // few are kept under their names for saveScreenshots.
    sf::Image screenshot(const std::string& name);

    // Writes the kept screenshots as "<name>.png" into the game folder.
    void saveScreenshots() const;

    // Takes screenshots until `accept` likes one or `limit` has passed; returns the last one.
    template <typename Accept>
    sf::Image screenshotUntil(const std::string& name, Accept accept, Millis limit = Millis(5000))
    {
        const auto deadline = Clock::now() + limit;
        for (int i = 0;; ++i)
        {
            sf::Image shot = screenshot(name + "-" + std::to_string(i));
            if (accept(shot) || Clock::now() >= deadline || !running())
                return shot;
        }
    }

    // Waits up to `limit` for the program to end. If it has not ended by then it is killed,
    // and the result says so (not exited, status SIGKILL).
    Exit waitForExit(Millis limit);

    // The game's log, one entry per line without the line feed.
    std::vector<std::string> logLines() const;

    const std::string& folder() const
    {
        return dir;
    }
    unsigned long window() const
    {
        return windowId;
    }

private:
    void focus();
    void kill();
    sf::Image captureFailed(const std::string& why);

    std::string dir;
    pid_t pid = -1; // -1 once the program has ended and been reaped
    int lastStatus = 0;
    bool reaped = false;
    unsigned long windowId = 0;
    std::vector<unsigned long> windowsBefore;
    std::vector<std::string> heldKeys;
    _XDisplay* display = nullptr; // our own connection, for reading pixels
    static constexpr size_t MAX_KEPT_SHOTS = 24;
    std::vector<std::pair<std::string, sf::Image>> shots;
    bool captureFailureTold = false;
};

// ---- reading the character grid off a screenshot ----

// A cell is 12 by 32 pixels; the glyph of cell (c, r) is drawn from pixel (12c, 32r) and its
// black box covers x from 12c - 1.2 and y from 32r + 6.4, 12 by 32 pixels.
struct PixelRect
{
    int left, top, right, bottom; // half-open: [left, right) x [top, bottom)
};

// The black box of cell (column, row), shrunk to whole pixels that lie fully inside it.
PixelRect cellBox(int column, int row);

// The pixels of the columns first..last of one row, as one strip.
PixelRect rowSpan(int row, int first, int last);

// Colour classes of glyph pixels; anti-aliased edges are dimmer, so each class accepts any
// brightness above a floor as long as the hue is right.
bool isRed(sf::Color c);
bool isGreen(sf::Color c);
bool isWhite(sf::Color c);
bool isYellow(sf::Color c);
bool isCyan(sf::Color c);
bool isNotBlack(sf::Color c);

// Counts the pixels of `rect` (clipped to the image) for which `match` holds.
int countPixels(const sf::Image& image, PixelRect rect, bool (*match)(sf::Color));

// Sum of absolute channel differences of two images over `rect` (clipped to both).
long difference(const sf::Image& a, const sf::Image& b, PixelRect rect);

} // namespace ks::e2e

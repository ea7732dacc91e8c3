#include "GameRun.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SfmlCompat.h"

// Xlib last: its macros (None, Bool, Status) would clash with the C++ headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace ks::e2e {

namespace {

// Long enough for a loaded machine, short enough that a stuck tool fails the test quickly.
constexpr int TOOL_LIMIT_SECONDS = 10;

std::string limited(const std::string& command, int limitSeconds)
{
    // -k: a tool that ignores SIGTERM is killed two seconds later.
    return "timeout -k 2 " + std::to_string(limitSeconds) + " " + command;
}

void pause(Millis time)
{
    std::this_thread::sleep_for(time);
}

// Xlib's own handler ends the process on any error, and our window can vanish between two
// requests when the game quits; a failed request simply yields no picture instead.
int lastXError = 0;

int ignoreXError(Display*, XErrorEvent* error)
{
    lastXError = error->error_code;
    return 0;
}

// One colour channel of an X pixel value, scaled to 0..255.
class Channel
{
public:
    explicit Channel(unsigned long mask)
    {
        while (mask != 0 && (mask & 1) == 0)
        {
            mask >>= 1;
            ++shift;
        }
        max = mask;
    }
    std::uint8_t operator()(unsigned long pixel) const
    {
        return max == 0 ? 0 : static_cast<std::uint8_t>(((pixel >> shift) & max) * 255 / max);
    }

private:
    unsigned shift = 0;
    unsigned long max = 0;
};

} // namespace

int shell(const std::string& command, int limitSeconds)
{
    const int raw = std::system(limited(command, limitSeconds).c_str());
    if (raw == -1 || !WIFEXITED(raw))
        return -1;
    return WEXITSTATUS(raw);
}

std::string shellOutput(const std::string& command, int limitSeconds)
{
    std::string out;
    FILE* pipe = popen(limited(command, limitSeconds).c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buffer[256];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, got);
    pclose(pipe);
    return out;
}

std::vector<unsigned long> kestraneWindows()
{
    // The title alone is not enough: every engine test window is called "Kestrane" too, but
    // only the game program's windows have the class name "kestrane" (after the program).
    auto search = [](const std::string& field, const std::string& pattern) {
        std::vector<unsigned long> ids;
        std::istringstream in(shellOutput("xdotool search --onlyvisible " + field + " '" + pattern + "' 2>/dev/null"));
        unsigned long id = 0;
        while (in >> id)
            ids.push_back(id);
        std::sort(ids.begin(), ids.end());
        return ids;
    };
    const std::vector<unsigned long> titled = search("--name", "^Kestrane$");
    const std::vector<unsigned long> programs = search("--classname", "^kestrane$");
    std::vector<unsigned long> both;
    std::set_intersection(titled.begin(), titled.end(), programs.begin(), programs.end(), std::back_inserter(both));
    return both;
}

// ---- DisplayHold ----

DisplayHold::DisplayHold(Millis limit)
{
    const auto deadline = Clock::now() + limit;
    while ((display = XOpenDisplay(nullptr)) == nullptr && Clock::now() < deadline)
        pause(Millis(50));
}

DisplayHold::~DisplayHold()
{
    if (display != nullptr)
        XCloseDisplay(display);
}

// ---- GameRun ----

GameRun::GameRun(std::string folder) : dir(std::move(folder))
{
    // Windows already on the display belong to someone else; ours is the one that appears.
    windowsBefore = kestraneWindows();
    XSetErrorHandler(ignoreXError);
    display = XOpenDisplay(nullptr);

    const pid_t parent = getpid();
    pid = fork();
    if (pid == 0)
    {
        // The game must not outlive a test that crashed or was killed by a timeout.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(126);
        if (chdir(dir.c_str()) != 0)
            _exit(126);
        const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0)
            dup2(out, STDOUT_FILENO);
        if (err >= 0)
            dup2(err, STDERR_FILENO);
        // No sound card is needed to play; OpenAL stays silent (SFML 2).
        setenv("ALSOFT_DRIVERS", "null", 0);
        execl("./kestrane", "kestrane", static_cast<char*>(nullptr));
        _exit(127);
    }
}

GameRun::~GameRun()
{
    // A key left down would stay down on the shared display for every later test.
    for (const std::string& name : std::vector<std::string>(heldKeys))
        keyUp(name);
    if (running())
        kill();
    if (display != nullptr)
        XCloseDisplay(display);
}

bool GameRun::running()
{
    if (pid <= 0)
        return false;
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == 0)
        return true;
    // Ended (or reaped elsewhere): forget it so that nobody waits for it again.
    lastStatus = status;
    reaped = done == pid;
    pid = -1;
    return false;
}

bool GameRun::waitForWindow(Millis limit)
{
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline)
    {
        if (!running())
            return false;
        for (unsigned long id : kestraneWindows())
        {
            if (std::find(windowsBefore.begin(), windowsBefore.end(), id) == windowsBefore.end())
            {
                windowId = id;
                focus();
                return true;
            }
        }
        pause(Millis(50));
    }
    return false;
}

void GameRun::focus()
{
    if (windowId == 0)
        return;
    // Without a window manager nothing else moves the focus to a new window, and a window
    // opened later by someone else would lie on top of ours and catch the clicks.
    const std::string id = std::to_string(windowId);
    shell("xdotool windowraise " + id, TOOL_LIMIT_SECONDS);
    shell("xdotool windowfocus --sync " + id, TOOL_LIMIT_SECONDS);
}

void GameRun::key(const std::string& name)
{
    focus();
    shell("xdotool key " + name, TOOL_LIMIT_SECONDS);
}

void GameRun::keyDown(const std::string& name)
{
    focus();
    heldKeys.push_back(name);
    shell("xdotool keydown " + name, TOOL_LIMIT_SECONDS);
}

void GameRun::keyUp(const std::string& name)
{
    shell("xdotool keyup " + name, TOOL_LIMIT_SECONDS);
    heldKeys.erase(std::remove(heldKeys.begin(), heldKeys.end(), name), heldKeys.end());
}

void GameRun::moveMouse(int x, int y)
{
    focus();
    shell("xdotool mousemove --window " + std::to_string(windowId) + " " + std::to_string(x) + " " + std::to_string(y),
          TOOL_LIMIT_SECONDS);
}

void GameRun::click(int button)
{
    focus();
    shell("xdotool click " + std::to_string(button), TOOL_LIMIT_SECONDS);
}

sf::Image GameRun::screenshot(const std::string& name)
{
    // Read straight from the X server: much quicker than a screenshot tool, which matters
    // on a busy machine where every capture slows the game down too.
    // Connecting can fail while the X server is swamped with other clients; try again at
    // every picture rather than fail the whole run.
    if (display == nullptr)
        display = XOpenDisplay(nullptr);
    if (windowId == 0 || display == nullptr)
        return captureFailed(windowId == 0 ? "no window" : "cannot connect to the display");
    lastXError = 0;
    // Without a compositor the picture is what the screen shows, so a window that another
    // test opened over ours would be in it: ours goes on top first.
    XRaiseWindow(display, windowId);
    XSync(display, False);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, windowId, &attributes) == 0)
        return captureFailed("XGetWindowAttributes failed, X error " + std::to_string(lastXError));
    XImage* shot = XGetImage(display, windowId, 0, 0, static_cast<unsigned>(attributes.width),
                             static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (shot == nullptr)
        return captureFailed("XGetImage failed, X error " + std::to_string(lastXError) + ", window " +
                             std::to_string(attributes.width) + "x" + std::to_string(attributes.height) + "+" +
                             std::to_string(attributes.x) + "+" + std::to_string(attributes.y) + " map state " +
                             std::to_string(attributes.map_state));
    const Channel red(shot->red_mask), green(shot->green_mask), blue(shot->blue_mask);
    const unsigned width = static_cast<unsigned>(attributes.width);
    const unsigned height = static_cast<unsigned>(attributes.height);
    std::vector<std::uint8_t> rgba(std::size_t(width) * height * 4);
    std::uint8_t* out = rgba.data();
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x, out += 4)
        {
            const unsigned long pixel = XGetPixel(shot, static_cast<int>(x), static_cast<int>(y));
            out[0] = red(pixel);
            out[1] = green(pixel);
            out[2] = blue(pixel);
            out[3] = 255;
        }
    XDestroyImage(shot);
    sf::Image image = compat::makeImage(width, height, rgba.data());
    // Writing a PNG takes longer than taking the picture, so they wait in memory until a
    // failure asks for them.
    if (shots.size() == MAX_KEPT_SHOTS)
        shots.erase(shots.begin());
    shots.emplace_back(name, image);
    return image;
}

sf::Image GameRun::captureFailed(const std::string& why)
{
    // Said once per run: a test that only sees blank pictures needs to know why.
    if (!captureFailureTold)
        std::cerr << "screenshot of window " << windowId << " failed: " << why << std::endl;
    captureFailureTold = true;
    return sf::Image();
}

void GameRun::saveScreenshots() const
{
    for (const auto& [name, image] : shots)
        static_cast<void>(image.saveToFile(dir + "/" + name + ".png"));
}

Exit GameRun::waitForExit(Millis limit)
{
    Exit result;
    const auto begin = Clock::now();
    const auto deadline = begin + limit;
    while (running())
    {
        if (Clock::now() >= deadline)
        {
            kill();
            result.after = std::chrono::duration_cast<Millis>(Clock::now() - begin);
            result.status = SIGKILL;
            return result;
        }
        pause(Millis(5));
    }
    result.after = std::chrono::duration_cast<Millis>(Clock::now() - begin);
    if (reaped && WIFEXITED(lastStatus))
    {
        result.exited = true;
        result.status = WEXITSTATUS(lastStatus);
    }
    else if (reaped && WIFSIGNALED(lastStatus))
        result.status = WTERMSIG(lastStatus);
    return result;
}

void GameRun::kill()
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) == -1 && errno == EINTR)
    {}
    lastStatus = status;
    reaped = true;
    pid = -1;
}

std::vector<std::string> GameRun::logLines() const
{
    std::vector<std::string> lines;
    std::ifstream in(dir + "/Kestrane Log.log", std::ios::binary);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// ---- reading the grid ----

PixelRect cellBox(int column, int row)
{
    // Box x from 12c - 1.2 to 12c + 10.8 and y from 32r + 6.4 to 32r + 38.4: the pixels
    // lying wholly inside start at 12c - 1 and 32r + 7.
    return {12 * column - 1, 32 * row + 7, 12 * column + 10, 32 * row + 38};
}

PixelRect rowSpan(int row, int first, int last)
{
    const PixelRect a = cellBox(first, row);
    const PixelRect b = cellBox(last, row);
    return {a.left, a.top, b.right, a.bottom};
}

namespace {

constexpr int FLOOR = 96;

bool dominant(int strong, int weak)
{
    return strong >= FLOOR && weak * 4 <= strong;
}

} // namespace

bool isRed(sf::Color c)
{
    return dominant(c.r, c.g) && dominant(c.r, c.b);
}

bool isGreen(sf::Color c)
{
    return dominant(c.g, c.r) && dominant(c.g, c.b);
}

bool isWhite(sf::Color c)
{
    const int low = std::min({c.r, c.g, c.b});
    const int high = std::max({c.r, c.g, c.b});
    return low >= FLOOR && high - low <= 40;
}

bool isYellow(sf::Color c)
{
    return dominant(c.r, c.b) && dominant(c.g, c.b) && std::abs(c.r - c.g) <= 40;
}

bool isCyan(sf::Color c)
{
    return dominant(c.g, c.r) && dominant(c.b, c.r) && std::abs(c.g - c.b) <= 40;
}

bool isNotBlack(sf::Color c)
{
    return c.r + c.g + c.b > 30;
}

int countPixels(const sf::Image& image, PixelRect rect, bool (*match)(sf::Color))
{
    const int width = static_cast<int>(image.getSize().x);
    const int height = static_cast<int>(image.getSize().y);
    int count = 0;
    for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, height); ++y)
        for (int x = std::max(rect.left, 0); x < std::min(rect.right, width); ++x)
            if (match(compat::getPixel(image, static_cast<unsigned>(x), static_cast<unsigned>(y))))
                ++count;
    return count;
}

long difference(const sf::Image& a, const sf::Image& b, PixelRect rect)
{
    const int width = static_cast<int>(std::min(a.getSize().x, b.getSize().x));
    const int height = static_cast<int>(std::min(a.getSize().y, b.getSize().y));
    long sum = 0;
    for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, height); ++y)
        for (int x = std::max(rect.left, 0); x < std::min(rect.right, width); ++x)
        {
            const sf::Color p = compat::getPixel(a, static_cast<unsigned>(x), static_cast<unsigned>(y));
            const sf::Color q = compat::getPixel(b, static_cast<unsigned>(x), static_cast<unsigned>(y));
            sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        }
    return sum;
}

} // namespace ks::e2e

// show --play: the frames animated in place on a terminal.
#include "SpriteTool.h"

#include "Sprite.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <iostream>

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace ks::spritetool {

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void onStopSignal(int signal)
{
    stopSignal = signal;
}

// For as long as it lives: keys arrive one by one without echo, the cursor is hidden and
// Ctrl-C and the other ending signals only end the animation. Afterwards the terminal is as
// it was.
class AnimationTerminal
{
public:
    AnimationTerminal()
    {
        keys = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
        if (keys)
        {
            termios raw = saved;
            raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO); // ISIG stays: Ctrl-C still signals
            raw.c_cc[VMIN] = 0;
            raw.c_cc[VTIME] = 0;
            tcsetattr(STDIN_FILENO, TCSANOW, &raw);
        }
        struct sigaction action = {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; // no SA_RESTART: a signal ends the wait at once
        for (int i = 0; i < SIGNAL_COUNT; i++)
            sigaction(SIGNALS[i], &action, &previous[i]);
        stopSignal = 0;
        std::cout << "\x1b[?25l" << std::flush;
    }

    ~AnimationTerminal()
    {
        std::cout << "\x1b[0m\x1b[?25h" << std::flush;
        if (keys)
            tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        for (int i = 0; i < SIGNAL_COUNT; i++)
            sigaction(SIGNALS[i], &previous[i], nullptr);
    }

    AnimationTerminal(const AnimationTerminal&) = delete;
    AnimationTerminal& operator=(const AnimationTerminal&) = delete;

    // Waits for millis milliseconds (for ever when negative); true when a key or a signal
    // came first.
    bool stopped(int millis)
    {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point end = Clock::now() + std::chrono::milliseconds(millis);
        while (stopSignal == 0)
        {
            int left = -1;
            if (millis >= 0)
            {
                const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
                if (rest <= 0)
                    return false;
                left = static_cast<int>(rest);
            }
            pollfd in = {STDIN_FILENO, POLLIN, 0};
            const int ready = poll(&in, keys ? 1 : 0, left);
            char key;
            if (ready > 0 && read(STDIN_FILENO, &key, 1) == 1)
                return true;
            if (ready < 0 && errno != EINTR)
                return true;
        }
        return true;
    }

private:
    static constexpr int SIGNAL_COUNT = 4;
    static constexpr int SIGNALS[SIGNAL_COUNT] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    struct sigaction previous[SIGNAL_COUNT];
    termios saved = {};
    bool keys = false;
};

} // namespace

int play(const std::string& file, std::ostream& err, bool utf8)
{
    if (!isatty(STDOUT_FILENO))
        return show(file, false, std::cout, err, utf8);
    Workspace workspace(utf8);
    const Sprite* sprite = workspace.loadOrSay(file, err);
    if (sprite == nullptr)
        return 1;
    const int frames = sprite->getFrameCount();
    if (frames == 0)
    {
        std::cout << file << ": no frames to play\n";
        return 0;
    }
    const int millis = frameMillis(sprite->getSlowdown());
    const std::string speed = millis < 0 ? "the first frame for ever" : std::to_string(millis) + " ms a frame";

    // Lines wider than the terminal would wrap, and going back up would then miss some.
    winsize size = {};
    const std::size_t columns = ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 1000;

    AnimationTerminal terminal;
    int linesShown = 0;
    for (int f = 0;; f = (f + 1) % frames)
    {
        std::string screen;
        if (linesShown > 0)
            screen += "\x1b[" + std::to_string(linesShown) + "F"; // back to the first line drawn
        const std::vector<std::string> rows = frameRows(*sprite, f);
        for (const std::string& row : rows)
            screen += ansiColor(*sprite) + row.substr(0, columns) + "\x1b[0m\n";
        const std::string status = sprite->getLabel() + ": frame " + std::to_string(f + 1) + " of " +
                                   std::to_string(frames) + ", " + speed + " (any key or Ctrl-C stops)";
        screen += status.substr(0, columns - 1) + "\x1b[K\n";
        linesShown = static_cast<int>(rows.size()) + 1;
        std::cout << screen << std::flush;
        if (terminal.stopped(millis))
            break;
    }
    return 0;
}

} // namespace ks::spritetool

// The real `kestrane` program in a game folder on the X display, played through xdotool and seen
// through screenshots. Nothing can hang a test: every tool runs under `timeout`, every wait has
// a deadline, and the game is killed when the object (or the test process) dies.
#pragma once

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <SFML/Graphics/Image.hpp>

namespace ks::e2e {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// Runs a shell command, giving up after `limitSeconds`; its exit status (124 on timeout).
int shell(const std::string& command, int limitSeconds = 10);

// Connects (retrying while the server resets) for the rest of the process: a server that loses
// its last client resets and refuses connections meanwhile, which makes SFML 2 abort.
bool holdDisplay();

// The mapped windows titled "Kestrane" of the program (class "kestrane"), not of engine tests.
std::vector<unsigned long> kestraneWindows();

class GameRun
{
public:
    // Starts `<folder>/kestrane` there, its output going to stdout.txt and stderr.txt.
    explicit GameRun(std::string folder) : dir(std::move(folder)), windowsBefore(kestraneWindows())
    {
        const pid_t parent = getpid();
        if ((pid = fork()) != 0)
            return;
        // The game must not outlive a test that crashed or was killed by a timeout.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent || chdir(dir.c_str()) != 0)
            _exit(126);
        dup2(open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
        dup2(open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
        setenv("ALSOFT_DRIVERS", "null", 0); // no sound card needed (SFML 2)
        execl("./kestrane", "kestrane", static_cast<char*>(nullptr));
        _exit(127);
    }

    ~GameRun()
    {
        // A key left down would stay down on the shared display for every later test.
        shell("xdotool keyup w a s d");
        kill();
    }

    // Waits for a new window of the program, then raises and focuses it; false if none came.
    bool waitForWindow(Millis limit = Millis(15000))
    {
        for (const auto deadline = Clock::now() + limit; Clock::now() < deadline && running();)
        {
            for (unsigned long id : kestraneWindows())
                if (std::find(windowsBefore.begin(), windowsBefore.end(), id) == windowsBefore.end())
                {
                    window = id;
                    xdotool("");
                    return true;
                }
            std::this_thread::sleep_for(Millis(50));
        }
        return false;
    }

    bool running()
    {
        int status = 0;
        const pid_t done = pid > 0 ? waitpid(pid, &status, WNOHANG) : -1;
        if (done == 0)
            return true;
        if (pid > 0)
            waitStatus = done == pid ? status : -1;
        pid = -1;
        return false;
    }

    // Input as a person gives it, after raising and focusing our window: without a window
    // manager nothing else focuses it, and one opened later would lie on top and catch clicks.
    void xdotool(const std::string& arguments)
    {
        shell("xdotool windowraise " + std::to_string(window) + " windowfocus --sync " + std::to_string(window));
        if (!arguments.empty())
            shell("xdotool " + arguments);
    }

    // The window's pixels now (empty if the capture failed); the last few stay in `shots`.
    sf::Image screenshot(const std::string& name);

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

    // Waits for the program to end, killing it after `limit`: "exit status 0", "signal 6 (...)".
    std::string waitForExit(Millis limit)
    {
        const auto begin = Clock::now();
        while (running() && Clock::now() < begin + limit)
            std::this_thread::sleep_for(Millis(5));
        if (running())
            return kill(), "still running after " + std::to_string(limit.count()) + " ms";
        if (waitStatus != -1 && WIFEXITED(waitStatus))
            return "exit status " + std::to_string(WEXITSTATUS(waitStatus));
        const int signal = waitStatus != -1 && WIFSIGNALED(waitStatus) ? WTERMSIG(waitStatus) : 0;
        return "signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
    }

    // The messages of the game's log, without their prefix.
    std::vector<std::string> logMessages() const
    {
        const std::string prefix = " Message : ";
        std::vector<std::string> lines;
        std::ifstream in(dir + "/Kestrane Log.log", std::ios::binary);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : line);
        return lines;
    }

    const std::string dir;
    unsigned long window = 0;
    std::vector<std::pair<std::string, sf::Image>> shots;

private:
    void kill()
    {
        if (pid > 0 && ::kill(pid, SIGKILL) == 0)
            while (waitpid(pid, nullptr, 0) == -1 && errno == EINTR)
            {}
        pid = -1;
    }

    pid_t pid = -1; // -1 once the program has ended and been reaped
    int waitStatus = -1;
    std::vector<unsigned long> windowsBefore;
    bool toldCaptureFailure = false;
};

} // namespace ks::e2e

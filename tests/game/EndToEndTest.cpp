// The real program in its folder and a real window, played through the X server with xdotool;
// what it shows is read from a few pixel colours, what it did from its log and exit status.
// The rules are tested on the game's classes; this checks the program around them.
#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Recording.h"
#include "TestSupport.h"
#include "resources.h"

// Xlib last: its macros (None, Bool, Status) clash with C++ headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Whether each channel of a pixel is bright (1) or dark (0): {1, 0, 0} is red.
using Colour = std::array<int, 3>;
const Colour RED = {1, 0, 0}, GREEN = {0, 1, 0}, YELLOW = {1, 1, 0};

int ignoreXError(Display*, XErrorEvent*)
{
    return 0; // the window may go while it is read
}

// Polls until done() holds; false if it did not within the limit.
bool until(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s)
{
    for (const auto end = Clock::now() + limit; Clock::now() < end; std::this_thread::sleep_for(50ms))
        if (done())
            return true;
    return false;
}

class EndToEndTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        ASSERT_NE(display = XOpenDisplay(nullptr), nullptr) << "these tests need an X display";
        XSetErrorHandler(ignoreXError);
    }
    void TearDown() override
    {
        if (pid > 0)
            kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
        if (display != nullptr)
            XCloseDisplay(display);
    }

    // Starts the program in the working directory, with or without the game's data beside
    // it, and waits for its window.
    void launch(bool withData, const char* record = nullptr)
    {
        ks::test::linkGameFolder(withData);
        if ((pid = fork()) == 0)
        {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            execl("./kestrane", "kestrane", record ? "--record" : nullptr, record, static_cast<char*>(nullptr));
            _exit(127);
        }
        const std::string find = "timeout 10 xdotool search --sync --onlyvisible --name '^Kestrane$' > window.txt";
        ASSERT_EQ(std::system(find.c_str()), 0) << "no window titled Kestrane appeared";
        window = std::strtoul(ks::test::readFile("window.txt").c_str(), nullptr, 10);
    }

    // Raises and focuses the window (there is no window manager to do it), then runs the commands.
    void xdotool(const std::string& commands)
    {
        const std::string w = std::to_string(window);
        const std::string command = "timeout 10 xdotool windowraise " + w + " windowfocus --sync " + w + " ";
        ASSERT_EQ(std::system((command + commands).c_str()), 0) << commands;
    }

    // The pixels of [x0, x1) x [y0, y1) as 0xRRGGBB; empty if the window could not be read.
    std::vector<unsigned long> pixels(int x0, int y0, int x1, int y1)
    {
        std::vector<unsigned long> out;
        XImage* image = XGetImage(display, window, x0, y0, x1 - x0, y1 - y0, AllPlanes, ZPixmap);
        for (int y = 0; image != nullptr && y < y1 - y0; y++)
            for (int x = 0; x < x1 - x0; x++)
                out.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
        if (image != nullptr)
            XDestroyImage(image);
        return out;
    }

    // Waits until at least `least` pixels of the area show the colour.
    bool shows(Colour c, int x0, int y0, int x1, int y1, int least)
    {
        return until([&] {
            const auto all = pixels(x0, y0, x1, y1);
            return std::count_if(all.begin(), all.end(), [&](unsigned long p) {
                       for (int i = 0; i < 3; i++)
                       {
                           const unsigned long channel = p >> (16 - 8 * i) & 255;
                           if (c[i] == 1 ? channel <= 120 : channel >= 60)
                               return false;
                       }
                       return true;
                   }) >= least;
        });
    }

    // ESCAPE ends the program with status 0 within a second (wider on a machine so loaded
    // that the game does not get the processor).
    void expectEscapeQuits()
    {
        xdotool("key Escape");
        double load = 0;
        std::ifstream("/proc/loadavg") >> load;
        const auto start = Clock::now();
        int status = -1;
        ASSERT_TRUE(until([&] {
            return waitpid(pid, &status, WNOHANG) == pid;
        })) << "still running after 5 s";
        pid = -1;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        EXPECT_LE(Clock::now() - start, load > 4 ? 3s : 1s) << "load " << load;
    }

    Display* display = nullptr;
    pid_t pid = -1;
    unsigned long window = 0;
};

// Played once with real keys and mouse while recording; the recording then replays to the
// same frames, twice in a window and once with no display at all.
TEST_F(EndToEndTest, PlayedWithRealKeysAndMouseThenReplayedExactly)
{
    launch(true, "session.ksr");
    ASSERT_TRUE(shows(YELLOW, 48, 96, 912, 704, 1000)) << "no title picture";
    xdotool("key space");
    // "Health: 3" in red from column 1 of row 1, its digit in column 9; "Score: 0" in green
    // ending in column 79.
    ASSERT_TRUE(shows(RED, 12, 38, 120, 70, 50)) << "no head-up display";
    EXPECT_TRUE(shows(RED, 112, 38, 120, 70, 8)) << "no digit after \"Health: \"";
    EXPECT_TRUE(shows(GREEN, 864, 38, 966, 70, 50)) << "no green score";
    // A walk to the right and up (held keys, which the game reads as the keyboard's state).
    xdotool("keydown d sleep 0.4 keydown w sleep 0.3 keyup d keyup w");
    // A left click spends a shot and a right click reloads: the digit of "Ammo: 5" (column 7,
    // row 2) changes, changes again and comes back.
    const auto full = pixels(84, 70, 100, 102);
    auto fired = full;
    xdotool("mousemove --window " + std::to_string(window) + " 700 650 click 1");
    ASSERT_TRUE(until([&] {
        return (fired = pixels(84, 70, 100, 102)) != full;
    })) << "no shot";
    xdotool("click 3");
    ASSERT_TRUE(until([&] {
        return pixels(84, 70, 100, 102) != fired;
    })) << "no reload";
    EXPECT_TRUE(until(
        [&] {
            return pixels(84, 70, 100, 102) == full;
        },
        6s))
        << "the magazine did not fill again";
    // Every file loaded, and every sound the game played was there.
    const std::vector<std::string> log = ks::test::logMessages();
    EXPECT_NE(std::find(log.begin(), log.end(), "Game start"), log.end());
    for (const std::string& line : log)
        EXPECT_TRUE(line.find("fail") == std::string::npos && line.find("Unable") == std::string::npos) << line;
    expectEscapeQuits();

    ks::Recording recording;
    std::string reason;
    ASSERT_EQ(recording.parse(ks::test::readFile("session.ksr"), reason), 0) << reason;
    ASSERT_TRUE(recording.isComplete());
    const std::string end = "Replay: end of session.ksr after step " + std::to_string(recording.getSteps() - 1) +
                            ", 0 frames unlike the recording";
    for (bool windowed : {true, true, false})
    {
        EXPECT_EQ(
            ks::test::runGame("--replay session.ksr --replay-exit --fast" + std::string(windowed ? "" : " --headless"),
                              windowed),
            0);
        const std::vector<std::string> replayed = ks::test::logMessages();
        EXPECT_NE(std::find(replayed.begin(), replayed.end(), end), replayed.end())
            << (windowed ? "windowed: " : "headless: ") << ::testing::PrintToString(replayed);
    }
}

// A folder holding nothing but the program: the font's and every resource's failure is logged
// in the table's order before "Game start", and the game plays.
TEST_F(EndToEndTest, WithoutDataFilesEveryFailureIsLoggedAndTheGameStillRuns)
{
    launch(false);
    std::vector<std::string> expected = {"failed to open font file"};
    for (const ks::GameResource& r : ks::GAME_RESOURCES)
        if (r.kind == ks::ResourceKind::SPRITE)
            expected.push_back(std::string("error opening sprite file for ") + r.label);
        else
            expected.insert(expected.end(), {r.kind == ks::ResourceKind::SOUND ? "failed to load sound"
                                                                               : "failed to load music from file",
                                             "Unable to load from file"});
    expected.push_back("Game start");
    // Lookups of what failed to load come in between.
    std::vector<std::string> seen;
    EXPECT_TRUE(until([&] {
        seen.clear();
        for (const std::string& line : ks::test::logMessages())
            if (line.rfind("Failed to find", 0) != 0 && seen.size() < expected.size())
                seen.push_back(line);
        return seen == expected;
    })) << ::testing::PrintToString(seen);
    xdotool("key space mousemove --window " + std::to_string(window) + " 700 650 keydown d");
    xdotool("keyup d click 1 click 3");
    expectEscapeQuits();
}

} // namespace

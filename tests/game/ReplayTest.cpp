// The game program recording and replaying without a window: a recording made while
// replaying a scripted session replays to the same frames, every time; a game killed while
// recording leaves a recording that replays up to about a second before the kill.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "Recording.h"
#include "TestSupport.h"

namespace ks::test {
namespace {

Recording parsed(const std::string& file)
{
    Recording recording;
    std::string reason;
    EXPECT_EQ(recording.parse(readFile(file), reason), 0) << file << " " << reason;
    return recording;
}

std::vector<uint32_t> framesOf(const Recording& recording)
{
    std::vector<uint32_t> frames;
    for (int step = 0; step < recording.getSteps(); step++)
        frames.push_back(recording.frameOf(step));
    return frames;
}

bool logHas(const std::string& line)
{
    const std::vector<std::string> log = logMessages();
    return std::find(log.begin(), log.end(), line) != log.end();
}

class ReplayTest : public InTempDir
{
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        linkGameFolder();
        writeFile("script.ksr", scriptedRecording());
    }
};

TEST_F(ReplayTest, ARecordingReplaysToTheSameFramesHeadlessTwiceAndAtAnotherScale)
{
    // The scripted inputs played by the game, recorded with the frames they really draw.
    ASSERT_EQ(runGame("--replay script.ksr --headless --fast --record a.ksr"), 0) << readFile("output.txt");
    const Recording a = parsed("a.ksr");
    ASSERT_TRUE(a.isComplete());
    ASSERT_EQ(a.getSteps(), 300);
    // The frames show a title, a game and its changes: not one picture.
    std::vector<uint32_t> frames = framesOf(a);
    std::sort(frames.begin(), frames.end());
    EXPECT_GT(std::unique(frames.begin(), frames.end()) - frames.begin(), 50);

    // The second time at another scale: the recorded pointer positions are scaled with it.
    for (const char* again : {"b.ksr", "c.ksr --scale 1.5"})
    {
        ASSERT_EQ(runGame(std::string("--replay a.ksr --replay-exit --fast --headless --record ") + again), 0);
        EXPECT_TRUE(logHas("Replay: end of a.ksr after step 299, 0 frames unlike the recording")) << again;
        const Recording b = parsed(std::string(again).substr(0, 5));
        EXPECT_EQ(framesOf(b), framesOf(a)) << again;
        EXPECT_EQ(b.getHeader().seed, 1u);
    }
}

TEST_F(ReplayTest, AKilledRecordingKeepsAllButItsLastSecondAndNeverHalfAFile)
{
    const auto recordAndKill = [](std::chrono::milliseconds after) {
        const pid_t pid = fork();
        if (pid == 0)
        {
            execl("/usr/bin/env", "env", "-u", "DISPLAY", "ALSOFT_DRIVERS=null", "./kestrane", "--replay", "script.ksr",
                  "--headless", "--record", "killed.ksr", static_cast<char*>(nullptr));
            _exit(127);
        }
        std::this_thread::sleep_for(after);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    };
    // Killed before its first second: the file that was there is still whole.
    const std::string before = scriptedRecording("kestrane", 5);
    writeFile("killed.ksr", before);
    recordAndKill(std::chrono::milliseconds(100));
    EXPECT_EQ(readFile("killed.ksr"), before);

    // Killed after three seconds (90 steps at full speed): the steps of at least the first
    // two are there, and replay to the same frames as far as they go.
    const auto start = std::chrono::steady_clock::now();
    recordAndKill(std::chrono::milliseconds(3000));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const Recording killed = parsed("killed.ksr");
    EXPECT_FALSE(killed.isComplete());
    EXPECT_GE(killed.getSteps(), 20) << "after " << seconds << " s";
    ASSERT_EQ(runGame("--replay killed.ksr --headless --fast"), 0);
    const std::string last = std::to_string(killed.getSteps() - 1);
    EXPECT_TRUE(logHas("Replay: killed.ksr stops after step " + last +
                       " without its end mark (the recording game was stopped)"));
    EXPECT_TRUE(logHas("Replay: end of killed.ksr after step " + last + ", 0 frames unlike the recording"));
}

// A replay that cannot start leaves the game live; headless, with nobody to play, it ends.
TEST_F(ReplayTest, ABadFileEndsAHeadlessReplayWithItsReason)
{
    writeFile("other.ksr", scriptedRecording("another game"));
    ASSERT_EQ(runGame("--replay other.ksr --headless"), 0);
    EXPECT_TRUE(logHas("Replay: other.ksr is a recording of another game, not of kestrane; playing live"));
}

} // namespace
} // namespace ks::test

// Recording files from strangers: each bad one is refused with one log line and nothing to
// replay; a recording cut short (a game killed while recording) replays its whole steps.
#include <cstdint>

#include <unistd.h>

#include "EventKeyboard.h"
#include "LogManager.h"
#include "Recording.h"
#include "Replayer.h"
#include "TestSupport.h"

namespace ks::test {
namespace {

// The same file with the 4-byte little-endian number at offset replaced.
std::string with32(std::string bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        bytes[offset + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}

// A recording's start, then one block of records (with a right checksum).
std::string withRecords(const std::string& records)
{
    return scriptedRecording("shooter", 0) + Recording::encodeBlock(records);
}

class RecordingTest : public InTempDir
{
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        LogManager::getInstance().startUp();
    }
    void TearDown() override
    {
        LogManager::getInstance().shutDown();
    }
};

TEST_F(RecordingTest, BadFilesAreRefusedWithOneLogLine)
{
    const std::string good = scriptedRecording("shooter", 250);
    const size_t firstBlock = scriptedRecording("shooter", 0).size(); // after signature, version, header
    std::string otherVersion = good;
    otherVersion[8] = 2;
    std::string textMode = good;
    textMode.erase(5, 1); // "\r\n" become "\n"
    std::string flipped = good;
    flipped[firstBlock + 20] ^= 0x40;
    std::string afterEnd = good + "x";
    struct Case
    {
        const char* what;
        std::string bytes;
        std::string reason;
    } cases[] = {
        {"empty", "", "is not a recording"},
        {"a text", "hello, world\n", "is not a recording"},
        {"copied in text mode", textMode, "is not a recording"},
        {"another version", otherVersion, "is of version 2; this game reads version 1"},
        {"only the signature", good.substr(0, 10), "ends inside its header"},
        {"cut in the header", good.substr(0, 25), "ends inside its header"},
        {"another game", scriptedRecording("tetris"), "is a recording of tetris, not of shooter"},
        {"a name with a line feed", scriptedRecording("shoo\nter"),
         "is damaged at byte 19 (a game name that is not printable)"},
        {"a damaged byte", flipped, "is damaged at byte " + std::to_string(firstBlock) + " (checksum)"},
        {"a hostile block size", with32(good, firstBlock, 0xFFFFFFFF),
         "is damaged at byte " + std::to_string(firstBlock) + " (a block of 4294967295 bytes)"},
        {"an unknown record", withRecords("\x09"),
         "is damaged at byte " + std::to_string(firstBlock + 8) + " (unknown record 0x09)"},
        {"a key out of range", withRecords(std::string("\x01\x00\xC8", 3)), "(a key or button out of range)"},
        {"a button out of range", withRecords(std::string("\x03\x07", 2)), "(a key or button out of range)"},
        {"a record cut off", withRecords(std::string("\x02\x01\x02", 3)), "(a record cut off)"},
        {"an end mark of other steps", withRecords(std::string("\x06\x05\x00\x00\x00", 5)),
         "(an end mark that does not match its steps)"},
        {"bytes after the end mark", afterEnd, "(bytes after the end mark)"},
    };
    for (const Case& c : cases)
    {
        writeFile("bad.ksr", c.bytes);
        LogManager::getInstance().startUp(); // a fresh log per case
        Replayer replayer;
        EXPECT_EQ(replayer.open("bad.ksr", "shooter"), -1) << c.what;
        EXPECT_FALSE(replayer.isActive()) << c.what;
        const std::vector<std::string> log = logMessages();
        ASSERT_EQ(log.size(), 1u) << c.what;
        EXPECT_EQ(log[0].rfind("Replay: bad.ksr ", 0), 0u) << c.what << ": " << log[0];
        EXPECT_NE(log[0].find(c.reason + "; playing live"), std::string::npos) << c.what << ": " << log[0];
        LogManager::getInstance().shutDown();
    }
}

TEST_F(RecordingTest, MissingAndOversizedFilesAreRefusedWithoutReadingThemWhole)
{
    Replayer replayer;
    EXPECT_EQ(replayer.open("missing.ksr", "shooter"), -1);
    // A sparse file a byte over the limit, behind a good start.
    writeFile("huge.ksr", scriptedRecording("shooter", 10));
    ASSERT_EQ(truncate("huge.ksr", RECORDING_FILE_MAX + 1), 0);
    EXPECT_EQ(replayer.open("huge.ksr", "shooter"), -1);
    EXPECT_EQ(logMessages(),
              (std::vector<std::string>{"Replay: can not open missing.ksr", "Replay: huge.ksr is too large (" +
                                                                                std::to_string(RECORDING_FILE_MAX + 1) +
                                                                                " bytes); playing live"}));
}

// A game killed while recording leaves whole blocks and a cut one: the whole ones replay.
TEST_F(RecordingTest, ARecordingCutShortReplaysItsWholeSteps)
{
    writeFile("cut.ksr", scriptedRecording("shooter", 250, true));
    Replayer replayer;
    ASSERT_EQ(replayer.open("cut.ksr", "shooter"), 0);
    EXPECT_EQ(logMessages(),
              (std::vector<std::string>{
                  "Replay: cut.ksr stops after step 199 without its end mark (the recording game was stopped)"}));
    // Held keys and inputs step by step, as recorded: D held from step 50 to 79.
    int count = 0;
    replayer.beginStep(20);
    ASSERT_NE(replayer.inputs(count), nullptr);
    EXPECT_EQ(count, 1);
    for (int step = 21; step < 200; step++)
    {
        replayer.beginStep(step);
        EXPECT_EQ(replayer.keyHeld(Keyboard::D), step >= 50 && step < 80) << step;
        EXPECT_EQ(replayer.endStep(step == 150 ? 1 : 0), step == 199) << step;
    }
    EXPECT_FALSE(replayer.isActive());
    EXPECT_EQ(replayer.getMismatches(), 1);
    const std::vector<std::string> log = logMessages();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], "Replay: the frame of step 150 differs from the recording");
    EXPECT_EQ(log[2], "Replay: end of cut.ksr after step 199, 1 frames unlike the recording");
}

} // namespace
} // namespace ks::test

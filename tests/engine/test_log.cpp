// The log file: its line format, the counts writeLog returns, truncation and flushing,
// and what happens when there is no file to write to.
#include "LogManager.h"
#include "TestSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace ks;
using ks::test::InTempDir;

namespace {

std::string fileBytes(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class Log : public InTempDir
{
};

} // namespace

TEST_F(Log, EachCallIsOnePrefixedLineAndReturnsTheMessageLength)
{
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);

    EXPECT_EQ(log.writeLog("Game start"), 10);
    EXPECT_EQ(log.writeLog("%d zombies, %s", 12, "one hunter"), 22);
    EXPECT_EQ(log.writeLog("ends with a line feed\n"), 22);
    EXPECT_EQ(log.writeLog("%s", ""), 0);
    EXPECT_EQ(log.writeLog("100%% sure"), 9);

    // Every line is on disk before the file is closed.
    const std::string expected = " Message : Game start\n"
                                 " Message : 12 zombies, one hunter\n"
                                 " Message : ends with a line feed\n\n"
                                 " Message : \n"
                                 " Message : 100% sure\n";
    EXPECT_EQ(fileBytes(LOGFILE_NAME), expected);
    log.shutDown();
    EXPECT_EQ(fileBytes(LOGFILE_NAME), expected);
}

TEST_F(Log, StartUpEmptiesALogLeftByAnEarlierRun)
{
    ks::test::writeFile(LOGFILE_NAME, " Message : from last time\n");
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    EXPECT_TRUE(std::filesystem::exists(LOGFILE_NAME));
    EXPECT_EQ(fileBytes(LOGFILE_NAME), "");
    log.writeLog("fresh");
    log.shutDown();
    EXPECT_EQ(ks::test::logMessages(), std::vector<std::string>{"fresh"});
}

TEST_F(Log, WithoutFlushLinesWaitInTheBufferUntilTheNextFlush)
{
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    log.setFlush(false);
    log.writeLog("buffered");
    EXPECT_EQ(fileBytes(LOGFILE_NAME), "");
    log.setFlush(true);
    log.writeLog("flushed");
    EXPECT_EQ(fileBytes(LOGFILE_NAME), " Message : buffered\n Message : flushed\n");
    log.shutDown();
}

TEST_F(Log, WithNoOpenFileLinesAreDropped)
{
    LogManager& log = LogManager::getInstance();
    // Started from construction, though no file is open yet.
    EXPECT_TRUE(log.isStarted());
    EXPECT_EQ(log.getType(), "LogManager");
    EXPECT_EQ(log.writeLog("too early %d", 1), -1);
    EXPECT_FALSE(std::filesystem::exists(LOGFILE_NAME));

    ASSERT_EQ(log.startUp(), 0);
    log.writeLog("kept");
    log.shutDown();
    EXPECT_FALSE(log.isStarted());
    EXPECT_EQ(log.writeLog("too late"), -1);
    // A second shutDown has nothing left to close.
    log.shutDown();
    EXPECT_EQ(ks::test::logMessages(), std::vector<std::string>{"kept"});
}

TEST_F(Log, AFileThatCannotBeOpenedFailsStartUpAndLaterLinesAreDropped)
{
    // A directory in the file's place cannot be opened for writing, even by root.
    std::filesystem::create_directory(LOGFILE_NAME);
    LogManager& log = LogManager::getInstance();
    EXPECT_EQ(log.startUp(), -1);
    EXPECT_EQ(log.writeLog("nowhere to go"), -1);
    log.shutDown();
    EXPECT_TRUE(std::filesystem::is_directory(LOGFILE_NAME));
}

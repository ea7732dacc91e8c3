// The log file: one prefixed line per call, on disk at once unless told otherwise, and no
// file at all when its place is taken.
#include <filesystem>

#include "LogManager.h"
#include "TestSupport.h"

using namespace ks;
using LogManagerTest = ks::test::InTempDir;

TEST_F(LogManagerTest, WritesOnePrefixedLinePerCallOrDropsItWithoutAFile)
{
    LogManager& log = LogManager::getInstance();
    // A directory in the file's place cannot be opened for writing, even by root.
    std::filesystem::create_directory(LOGFILE_NAME);
    EXPECT_EQ(log.startUp(), -1);
    EXPECT_EQ(log.writeLog("nowhere"), -1);
    EXPECT_TRUE(std::filesystem::is_empty(LOGFILE_NAME));
    std::filesystem::remove(LOGFILE_NAME);

    ks::test::writeFile(LOGFILE_NAME, "left by an earlier run\n");
    ASSERT_EQ(log.startUp(), 0);
    EXPECT_TRUE(ks::test::logLines().empty());
    EXPECT_EQ(log.writeLog("Game start"), 10);
    EXPECT_EQ(log.writeLog("%d zombies, %s", 12, "one hunter"), 22);
    EXPECT_EQ(log.writeLog("ends with a line feed\n"), 22);
    // Each line is on disk as soon as it is written.
    std::vector<std::string> lines{" Message : Game start", " Message : 12 zombies, one hunter",
                                   " Message : ends with a line feed", ""};
    EXPECT_EQ(ks::test::logLines(), lines);
    log.setFlush(false);
    log.writeLog("held");
    EXPECT_EQ(ks::test::logLines(), lines);
    log.shutDown();
    EXPECT_EQ(log.writeLog("after shutDown"), -1);
    lines.push_back(" Message : held");
    EXPECT_EQ(ks::test::logLines(), lines);
}

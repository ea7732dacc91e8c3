// Every file of the fuzzing seed corpus, every sprite file the game ships (data/, the fuzzer's
// second corpus folder) and every input that once broke the sprite loader
// (tests/fuzz/regressions/) goes through the same promise checks as the fuzzer, in the
// ordinary build: one test case per file.
#include "SpriteLoaderOracle.h"
#include "TestSupport.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> inputFiles()
{
    std::vector<std::string> files;
    for (const char* dir : {"tests/fuzz/regressions", "tests/fuzz/corpus", "data"})
    {
        const fs::path root = fs::path(KS_SOURCE_DIR) / dir;
        if (fs::is_directory(root))
            for (const fs::directory_entry& entry : fs::directory_iterator(root))
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                    files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class SpriteLoaderInput : public ks::test::InTempDir, public ::testing::WithParamInterface<std::string>
{};

TEST_P(SpriteLoaderInput, KeepsEveryLoaderPromise)
{
    ASSERT_TRUE(fs::is_regular_file(GetParam()));
    ks::fuzz::prepareLoader();
    EXPECT_EQ(ks::fuzz::checkSpriteBytes(ks::test::readFile(GetParam())), "") << GetParam();
    // The program goes on: the same manager still loads a good file afterwards.
    EXPECT_EQ(ks::fuzz::checkSpriteBytes("1\r\n2\r\n1\r\n0\r\nred\r\nok\r\n"), "");
}

INSTANTIATE_TEST_SUITE_P(Files, SpriteLoaderInput, ::testing::ValuesIn(inputFiles()));

// Without its files the suite above would pass by testing nothing.
TEST(SpriteLoaderCorpus, HoldsTheSeedsAndTheGameSprites)
{
    EXPECT_GE(inputFiles().size(), 35u);
}

} // namespace

// Every file of the fuzzing seed corpus and every input that once broke the sprite loader
// (tests/fuzz/regressions/) goes through the same promise checks as the fuzzer, in the
// ordinary build: one test case per file.
#include "SpriteLoaderOracle.h"
#include "TestSupport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> inputFiles()
{
    std::vector<std::string> files;
    for (const char* dir : {"tests/fuzz/regressions", "tests/fuzz/corpus"})
    {
        fs::path root = fs::path(KS_SOURCE_DIR) / dir;
        if (!fs::is_directory(root))
            continue;
        for (const fs::directory_entry& entry : fs::directory_iterator(root))
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string testName(const ::testing::TestParamInfo<std::string>& info)
{
    fs::path path(info.param);
    std::string name = path.parent_path().filename().string() + "_" + path.filename().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

class SpriteLoaderInput : public ks::test::InTempDir, public ::testing::WithParamInterface<std::string>
{};

TEST_P(SpriteLoaderInput, KeepsEveryLoaderPromise)
{
    std::ifstream in(GetParam(), std::ios::binary);
    ASSERT_TRUE(in.is_open()) << GetParam();
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    ks::fuzz::prepareLoader();
    EXPECT_EQ(ks::fuzz::checkSpriteBytes(bytes), "") << GetParam();
    // The program goes on: the same manager still loads a good file afterwards.
    EXPECT_EQ(ks::fuzz::checkSpriteBytes("1\r\n2\r\n1\r\n0\r\nred\r\nok\r\n"), "");
}

INSTANTIATE_TEST_SUITE_P(Files, SpriteLoaderInput, ::testing::ValuesIn(inputFiles()), testName);

// The corpus is what the fuzzer starts from and what this suite checks: it must not be
// empty, or both would silently test nothing.
TEST(SpriteLoaderCorpus, HoldsTheHandMadeSeedsAndTheGameSprites)
{
    std::vector<std::string> files = inputFiles();
    int game = 0;
    for (const std::string& f : files)
        if (fs::path(f).filename().string().rfind("data-", 0) == 0)
            game++;
    EXPECT_GE(files.size(), 30u);
    EXPECT_EQ(game, 8);
}

} // namespace

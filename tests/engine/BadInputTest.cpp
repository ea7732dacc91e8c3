// Bad input that reaches the engine from outside: sprite files that are not there or that the
// loader refuses with its own words (what every other sprite file loads as is checked by
// tests/fuzz), and broken sound and music files. Each gets its result and its log lines, and the program goes on: the
// very next good file still loads.
#include "LogManager.h"
#include "ResourceManager.h"
#include "TestSupport.h"
#include "Wav.h"

using namespace ks;
using ks::test::logMessages;
using ks::test::writeFile;

namespace {

const std::string GOOD_SPRITE = "1\r\n2\r\n1\r\n0\r\nred\r\nok\r\n";
const std::string GOOD_WAV = ks::tools::wavBytes(std::vector<std::int16_t>(4000, 1000), 8000);

class BadInputTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        ASSERT_EQ(LogManager::getInstance().startUp(), 0);
        ResourceManager::getInstance().startUp();
    }
    // The log lines written since the last call.
    std::vector<std::string> newLines()
    {
        std::vector<std::string> all = logMessages();
        std::vector<std::string> lines(all.begin() + static_cast<long>(std::min(seen, all.size())), all.end());
        seen = all.size();
        return lines;
    }
    size_t seen = 0;
};

} // namespace

TEST_F(BadInputTest, SpriteFilesTheLoaderRefusesWithItsOwnWords)
{
    // Label, file ("" for none), the start of the one log line.
    const std::string cases[][3] = {
        {"missing", "", "error opening sprite file for missing"},
        {"backwards", "-3\r\n2\r\n1\r\n1\r\nred\r\nab\r\n", "Sprite backwards not loaded: negative frame count -3"},
        // Frames without rows take nothing from the file: a million of them is refused, not allocated.
        {"rowless", "1000000\r\n2\r\n0\r\n1\r\nwhite\r\n",
         "Sprite rowless not loaded: 1000000 frames of height 0, at most "},
    };
    ResourceManager& rm = ResourceManager::getInstance();
    writeFile("good.txt", GOOD_SPRITE);
    for (const auto& [label, bytes, line] : cases)
    {
        if (!bytes.empty())
            writeFile(label, bytes);
        EXPECT_EQ(rm.loadSprite(label, label), -1);
        const std::vector<std::string> lines = newLines();
        ASSERT_EQ(lines.size(), 1u) << label;
        EXPECT_EQ(lines[0].rfind(line, 0), 0u) << lines[0];
        EXPECT_EQ(rm.getSprite(label), nullptr);
        ASSERT_EQ(rm.loadSprite("good.txt", "after-" + label), 0);
        EXPECT_EQ(rm.getSprite("after-" + label)->getFrame(0).getString(), "ok");
        newLines();
    }
}

// Sound files are read whole, so a file cut anywhere is refused; music is streamed, so one
// cut inside its samples opens and simply ends early.
TEST_F(BadInputTest, SoundAndMusicFilesThatAreMissingNotWavOrCutShort)
{
    const std::string sound[] = {"failed to load sound", "Unable to load from file"};
    const std::string music[] = {"failed to load music from file", "Unable to load from file"};
    const struct
    {
        const char* bytes;
        bool isMusic;
        int result;
    } cases[] = {{nullptr, false, -1}, {"words", false, -1}, {"header", false, -1}, {"samples", false, -1},
                 {"words", true, -1},  {"header", true, -1}, {"samples", true, 0}};
    ResourceManager& rm = ResourceManager::getInstance();
    writeFile("good.wav", GOOD_WAV);
    int label = 0;
    for (const auto& c : cases)
    {
        const std::string kind = c.bytes == nullptr ? "missing" : c.bytes;
        SCOPED_TRACE(kind + (c.isMusic ? " music" : " sound"));
        if (kind == "words")
            writeFile(kind, "this is a text file, not a sound\n");
        else if (kind != "missing")
            writeFile(kind, GOOD_WAV.substr(0, kind == "header" ? 20 : 44 + 200));
        const std::string name = std::to_string(label++);
        EXPECT_EQ(c.isMusic ? rm.loadMusic(kind, name) : rm.loadSound(kind, name), c.result);
        const std::string* expected = c.isMusic ? music : sound;
        EXPECT_EQ(newLines(),
                  c.result == 0 ? std::vector<std::string>() : std::vector<std::string>(expected, expected + 2));
        EXPECT_EQ(c.isMusic ? rm.loadMusic("good.wav", name + "good") : rm.loadSound("good.wav", name + "good"), 0);
    }
}

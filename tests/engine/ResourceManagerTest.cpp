// The resource manager: sprite files (what loads, the stored frames, the exact log line of every
// refusal, the array limit, unloading) and sounds and music (failed loads, full arrays, closing
// the gap on unload without two entries sharing an sf::Sound, music lookups).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "LogManager.h"
#include "ResourceManager.h"
#include "SfmlCompat.h"
#include "TestSupport.h"

using namespace ks;
using ks::test::logMessages;
using ks::test::writeFile;

namespace {

class Resources : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        LogManager::getInstance().startUp();
        ResourceManager::getInstance().startUp();
    }
};

struct SpriteCase
{
    const char* label;
    std::string bytes;
    std::vector<std::string> log;
    int result, width = 0, height = 0, slowdown = 0; // what loaded, checked when the load succeeds
    Color color = UNDEFINED_COLOR;
    std::vector<std::string> frames = {};
};

// A mono 16-bit PCM WAV file of `samples` samples at 8000 Hz, all silence.
void writeWav(const std::string& name, std::uint32_t samples)
{
    auto le32 = [](std::uint32_t value) {
        std::string bytes;
        for (int i = 0; i < 4; i++)
            bytes += static_cast<char>((value >> (8 * i)) & 0xff);
        return bytes;
    };
    // 16 bytes of format: PCM, mono, 8000 Hz, 16000 bytes a second, 2 bytes a frame, 16 bits.
    const std::string format("\x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0", 20);
    writeFile(name, "RIFF" + le32(36 + samples * 2) + "WAVEfmt " + format + "data" + le32(samples * 2) +
                        std::string(samples * 2, '\0'));
}

// The entry's sf::Sound must play the buffer that lives inside that very entry.
void expectOwnBuffer(const Sound* entry, std::uint64_t samples)
{
    const sf::SoundBuffer* buffer = ks::compat::getBuffer(*entry->getSound());
    ASSERT_NE(buffer, nullptr);
    const char* at = reinterpret_cast<const char*>(buffer);
    const char* begin = reinterpret_cast<const char*>(entry);
    EXPECT_TRUE(at >= begin && at < begin + sizeof(Sound)) << entry->getLabel() << " plays another entry's buffer";
    EXPECT_EQ(buffer->getSampleCount(), samples) << entry->getLabel();
}

} // namespace

TEST_F(Resources, SpriteFileLoadsWhatItHoldsOrIsRefusedWithItsLogLine)
{
    const std::vector<SpriteCase> cases = {
        {"crlf", "2\r\n3\r\n1\r\n4\r\ngreen\r\nabc\r\ndef\r\n", {}, 0, 3, 1, 4, GREEN, {"abc", "def"}},
        {"lf",
         "2\n3\n1\n4\ngreen\nabc\ndef\n",
         {"Error in loading in sprite on line 1 frame 1 it had length 3 expeted 3 sprite lf not loaded. "
          "error line: abc"},
         -1},
        {"capital",
         "1\n2\n1\n0\nRed\nab.\n",
         {"Uknown color in sprite capital loaded, color is Red"},
         0,
         2,
         1,
         0,
         UNDEFINED_COLOR,
         {"ab"}},
        {"prefix", "1\n2\n2\n3\nyellowish\nab.\n c.", {}, 0, 2, 2, 3, YELLOW, {"ab c"}}, // no final line feed
        {"fewrows",
         "2\n2\n2\n1\nred\nab.\ncd.\nef.\n",
         {"Failed reading from sprite file, tried to acces line that does not exist. "
          "height is likely set to high, or framcount is likely set to high"},
         -1},
        {"morerows", "1\n2\n2\n1\nblue\nab.\ncd.\nnot a row at all\n", {}, 0, 2, 2, 1, BLUE, {"abcd"}},
        {"noframes", "0\n5\n5\n1\nwhite\n", {}, 0, 5, 5, 1, WHITE, {}},
        {"negative", "-3\n2\n1\n1\nred\nab.\n", {"Sprite negative not loaded: negative frame count -3"}, -1},
        {"shortrow",
         "2\n2\n2\n1\ncyan\nab.\ncd.\nef.\ngh\n",
         {"Error in loading in sprite on line 2 frame 2 it had length 2 expeted 2 sprite shortrow not loaded. "
          "error line: gh"},
         -1},
    };
    ResourceManager& resources = ResourceManager::getInstance();
    for (const SpriteCase& c : cases)
    {
        SCOPED_TRACE(c.label);
        LogManager::getInstance().shutDown(); // a fresh log for each file
        ASSERT_EQ(LogManager::getInstance().startUp(), 0);
        writeFile("sprite.txt", c.bytes);
        EXPECT_EQ(resources.loadSprite("sprite.txt", c.label), c.result);
        EXPECT_EQ(logMessages(), c.log);
        Sprite* got = resources.getSprite(c.label);
        ASSERT_EQ(got != nullptr, c.result == 0);
        if (!got)
            continue;
        EXPECT_EQ(std::vector<int>({got->getWidth(), got->getHeight(), got->getSlowdown(), got->getColor()}),
                  std::vector<int>({c.width, c.height, c.slowdown, c.color}));
        ASSERT_EQ(got->getFrameCount(), static_cast<int>(c.frames.size()));
        for (int f = 0; f < got->getFrameCount(); f++)
        {
            const Frame frame = got->getFrame(f);
            EXPECT_EQ(frame.getString(), c.frames[static_cast<size_t>(f)]) << "frame " << f;
            EXPECT_EQ(std::make_pair(frame.getWidth(), frame.getHeight()), std::make_pair(c.width, c.height)) << f;
        }
        // The frame array holds exactly the file's frames.
        EXPECT_EQ(got->addFrame(Frame(1, 1, "x")), -1);
    }
}

TEST_F(Resources, FiveHundredSpritesFitAndTheNextIsRefusedSilently)
{
    ResourceManager& resources = ResourceManager::getInstance();
    writeFile("one.txt", "1\n1\n1\n0\nred\n#.\n");
    for (int i = 0; i < MAX_SPRITES; i++)
        ASSERT_EQ(resources.loadSprite("one.txt", "s" + std::to_string(i)), 0) << i;
    EXPECT_EQ(resources.loadSprite("one.txt", "extra"), -1);
    EXPECT_TRUE(logMessages().empty());
    // Unloading makes room again.
    EXPECT_EQ(resources.unloadSprite("s123"), 0);
    EXPECT_EQ(resources.loadSprite("one.txt", "extra"), 0);
}

TEST_F(Resources, UnloadingASpriteKeepsTheOrderOfTheRest)
{
    ResourceManager& resources = ResourceManager::getInstance();
    writeFile("red.txt", "1\n1\n1\n0\nred\n#.\n");
    writeFile("blue.txt", "1\n1\n1\n0\nblue\n#.\n");
    for (const auto& [file, label] : std::vector<std::pair<const char*, const char*>>{
             {"red.txt", "first"}, {"red.txt", "twin"}, {"blue.txt", "twin"}})
        ASSERT_EQ(resources.loadSprite(file, label), 0);

    // Lookups find the first of two equal labels: the red twin must still come first, not the
    // blue one moved into the freed place.
    EXPECT_EQ(resources.unloadSprite("first"), 0);
    EXPECT_EQ(resources.getSprite("first"), nullptr);
    ASSERT_NE(resources.getSprite("twin"), nullptr);
    EXPECT_EQ(resources.getSprite("twin")->getColor(), RED);
    EXPECT_EQ(resources.unloadSprite("twin"), 0);
    ASSERT_NE(resources.getSprite("twin"), nullptr);
    EXPECT_EQ(resources.getSprite("twin")->getColor(), BLUE);
    EXPECT_EQ(resources.unloadSprite("never"), -1);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"Failed to find sprite first", "Sprite not found"}));
}

TEST_F(Resources, FailedSoundLoadLogsTwoLinesAndTakesNoEntry)
{
    ResourceManager& resources = ResourceManager::getInstance();
    writeWav("tick.wav", 800);
    EXPECT_EQ(resources.loadSound("missing.wav", "lost"), -1);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"failed to load sound", "Unable to load from file"}));

    // Had the failure used up an entry, the fiftieth load would find the array full.
    for (int i = 0; i < MAX_SOUNDS; i++)
        ASSERT_EQ(resources.loadSound("tick.wav", "s" + std::to_string(i)), 0) << i;
    EXPECT_EQ(resources.loadSound("tick.wav", "extra"), -1);
    EXPECT_EQ(logMessages().back(), "Sound array full.");
    EXPECT_EQ(resources.getSound("extra"), nullptr);
    EXPECT_EQ(logMessages().back(), "failed to find sound extra");
}

TEST_F(Resources, SoundUnloadClosesTheGapAndEveryEntryKeepsItsOwnSamples)
{
    ResourceManager& resources = ResourceManager::getInstance();
    for (std::uint32_t i = 0; i < 4; i++)
        writeWav(std::string(1, static_cast<char>('a' + i)) + ".wav", 8000 + 800 * i);
    for (const std::string name : {"a", "b", "c"})
        ASSERT_EQ(resources.loadSound(name + ".wav", name), 0);
    Sound* first = resources.getSound("a");

    EXPECT_EQ(resources.unloadSound("b"), 0);
    EXPECT_EQ(resources.getSound("b"), nullptr);
    EXPECT_EQ(resources.getSound("a"), first);
    EXPECT_EQ(resources.getSound("c"), first + 1);
    expectOwnBuffer(first, 8000);
    expectOwnBuffer(first + 1, 9600);
    for (Sound* entry : {first, first + 1})
    {
        entry->play(entry == first);
        EXPECT_EQ(entry->getSound()->getStatus(), sf::SoundSource::Status::Playing) << entry->getLabel();
        EXPECT_EQ(ks::compat::isLooping(*entry->getSound()), entry == first) << entry->getLabel();
    }

    // The freed place is the next one used; unknown labels are refused without a log line.
    ASSERT_EQ(resources.loadSound("d.wav", "d"), 0);
    EXPECT_EQ(resources.getSound("d"), first + 2);
    const size_t logged = logMessages().size();
    EXPECT_EQ(resources.unloadSound("never"), -1);
    EXPECT_EQ(resources.unloadMusic("never"), -1);
    EXPECT_EQ(logMessages().size(), logged);
}

TEST_F(Resources, MusicIsFoundByLabelAndUnloadKeepsItsEntry)
{
    ResourceManager& resources = ResourceManager::getInstance();
    writeWav("song.wav", 16000);
    ASSERT_EQ(resources.loadMusic("song.wav", "song"), 0);
    Music* song = resources.getMusic("song");
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(logMessages(), std::vector<std::string>{"found music"});
    song->play(true);

    EXPECT_EQ(resources.unloadMusic("song"), 0);
    EXPECT_EQ(resources.getMusic("song"), nullptr);
    EXPECT_EQ(logMessages().back(), "failed to find music song");
    // The entry keeps its place (and its stream): the next load takes the place after it.
    EXPECT_EQ(song->getMusic()->getStatus(), sf::SoundSource::Status::Playing);
    ASSERT_EQ(resources.loadMusic("song.wav", "again"), 0);
    EXPECT_EQ(resources.getMusic("again"), song + 1);
    song->stop();
    for (int i = 2; i < MAX_MUSICS; i++)
        ASSERT_EQ(resources.loadMusic("song.wav", "m" + std::to_string(i)), 0) << i;
    EXPECT_EQ(resources.loadMusic("song.wav", "extra"), -1);
    EXPECT_EQ(logMessages().back(), "Sound array full.");
}

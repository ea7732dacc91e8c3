// The resource manager's sounds and music: failed loads, full arrays, closing the gap on
// unload without two entries sharing an sf::Sound, music lookups; sprites read again when their
// files change. Sprite files are checked by tests/fuzz and BadInputTest.
#include <chrono>
#include <cstdint>
#include <filesystem>

#include "LogManager.h"
#include "Object.h"
#include "ResourceManager.h"
#include "SfmlCompat.h"
#include "TestSupport.h"
#include "Wav.h"
#include "WorldManager.h"

using namespace ks;
using ks::test::logMessages;
using ks::test::writeFile;

namespace {

class ResourceManagerTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        LogManager::getInstance().startUp();
        ResourceManager::getInstance().startUp();
    }
};

// A mono 16-bit PCM WAV file of `samples` samples at 8000 Hz, all silence.
void writeWav(const std::string& name, std::uint32_t samples)
{
    writeFile(name, ks::tools::wavBytes(std::vector<std::int16_t>(samples), 8000));
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

TEST_F(ResourceManagerTest, FailedSoundLoadLogsTwoLinesAndTakesNoEntry)
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

TEST_F(ResourceManagerTest, SoundUnloadClosesTheGapAndEveryEntryKeepsItsOwnSamples)
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

TEST_F(ResourceManagerTest, MusicIsFoundByLabelAndUnloadKeepsItsEntry)
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
    EXPECT_EQ(song->getMusic()->getStatus(), sf::SoundSource::Status::Stopped);
    for (int i = 2; i < MAX_MUSICS; i++)
        ASSERT_EQ(resources.loadMusic("song.wav", "m" + std::to_string(i)), 0) << i;
    EXPECT_EQ(resources.loadMusic("song.wav", "extra"), -1);
    EXPECT_EQ(logMessages().back(), "Sound array full.");
}

// A saved sprite file is read again in place, so every object showing it shows the new art
// (one past the new last frame starts again at the first, a new size gives a new box); a file
// that no longer loads keeps the old art after the loader's own reason and is not read again
// until it changes; changes made while reloading is off are picked up once it is on.
TEST_F(ResourceManagerTest, ChangedSpriteFilesReloadInPlaceAndBrokenOnesKeepTheOldArt)
{
    WorldManager::getInstance().startUp();
    ResourceManager& resources = ResourceManager::getInstance();
    writeFile("s.txt", "2\r\n1\r\n1\r\n0\r\nred\r\nA\r\nB\r\n");
    ASSERT_EQ(resources.loadSprite("s.txt", "s"), 0);
    Sprite* const shown = resources.getSprite("s");
    Object* onSecond = new Object;
    onSecond->setSprite("s");
    Animation animation = onSecond->getAnimation();
    animation.setIndex(2);
    onSecond->setAnimation(animation);
    Object* onFirst = new Object;
    onFirst->setSprite("s");

    const std::string broke = "Sprite s not reloaded from s.txt, keeping the old one";
    struct Case
    {
        const char* write; // new contents; "" leaves the file as it is, null removes it
        bool reloading;
        int reloaded;
        const char* art; // both objects' first frame afterwards
        int secondIndex; // the first object's frame index afterwards
        float width;     // the objects' box width afterwards
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"1\r\n1\r\n1\r\n0\r\ngreen\r\nQ\r\n", false, 0, "A", 2, 1, {}},
        {"", true, 1, "Q", 1, 1, {"Sprite s reloaded from s.txt"}},
        {"", true, 0, "Q", 1, 1, {}},
        {"1\r\n3\r\n1\r\n0\r\ngreen\r\nZ\r\n",
         true,
         0,
         "Q",
         1,
         1,
         {"Error in loading in sprite on line 1 frame 1 it had length 2 expeted 3 sprite s not loaded. error line: Z\r",
          broke}},
        {"", true, 0, "Q", 1, 1, {}},
        {nullptr, true, 0, "Q", 1, 1, {"error opening sprite file for s", broke}},
        {"1\r\n3\r\n1\r\n0\r\ngreen\r\nXYZ\r\n", true, 1, "XYZ", 1, 3, {"Sprite s reloaded from s.txt"}},
    };
    std::size_t logged = logMessages().size();
    int age = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.write == nullptr ? "removed" : c.write);
        if (c.write == nullptr)
            std::filesystem::remove("s.txt");
        else if (*c.write != '\0')
        {
            writeFile("s.txt", c.write);
            // A time of its own for each save, however coarse the file system's clock.
            std::filesystem::last_write_time("s.txt",
                                             std::filesystem::file_time_type::clock::now() + std::chrono::hours(++age));
        }
        resources.setSpriteReloading(c.reloading);
        // As the game loop does: the world refits the objects playing a sprite read again.
        EXPECT_EQ(resources.reloadChangedSprites([](Sprite& sprite, int oldWidth, int oldHeight) {
            WorldManager::getInstance().spriteReloaded(sprite, oldWidth, oldHeight);
        }),
                  c.reloaded);
        EXPECT_EQ(resources.getSprite("s"), shown);
        for (const Object* object : {onSecond, onFirst})
        {
            EXPECT_EQ(object->getAnimation().getSprite(), shown);
            EXPECT_EQ(object->getAnimation().getSprite()->getFrame(0).getString(), c.art);
            EXPECT_EQ(object->getBox().getHorizontal(), c.width);
        }
        EXPECT_EQ(onSecond->getAnimation().getIndex(), c.secondIndex);
        const std::vector<std::string> log = logMessages();
        EXPECT_EQ(std::vector<std::string>(log.begin() + static_cast<std::ptrdiff_t>(logged), log.end()), c.log);
        logged = log.size();
    }
    resources.setSpriteReloading(false);
    WorldManager::getInstance().shutDown();
}

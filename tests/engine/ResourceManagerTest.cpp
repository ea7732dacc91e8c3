// The resource manager's sounds and music: failed loads, full arrays, closing the gap on
// unload without two entries sharing an sf::Sound, music lookups. Sprite files are checked by
// tests/fuzz and BadInputTest.
#include <cstdint>

#include "LogManager.h"
#include "ResourceManager.h"
#include "SfmlCompat.h"
#include "TestSupport.h"
#include "Wav.h"

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

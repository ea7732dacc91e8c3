// Sounds and music through the resource manager: failed loads, full arrays, closing the gap
// on unload without two entries sharing an sf::Sound, and music lookups.
#include <cstdint>
#include <string>
#include <vector>

#include "LogManager.h"
#include "ResourceManager.h"
#include "SfmlCompat.h"
#include "TestSupport.h"

using namespace ks;
using ks::test::logMessages;

namespace {

// A mono 16-bit PCM WAV file of `samples` samples at 8000 Hz (one second per 8000).
void writeWav(const std::string& name, std::uint32_t samples)
{
    std::string bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; i++)
            bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    const std::uint32_t dataSize = samples * 2;
    bytes += "RIFF";
    put(36 + dataSize, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2);        // PCM
    put(1, 2);        // mono
    put(8000, 4);     // sample rate
    put(8000 * 2, 4); // bytes per second
    put(2, 2);        // bytes per frame
    put(16, 2);       // bits per sample
    bytes += "data";
    put(dataSize, 4);
    for (std::uint32_t i = 0; i < samples; i++)
        put(static_cast<std::uint16_t>((i % 40 < 20) ? 8000 : -8000), 2);
    ks::test::writeFile(name, bytes);
}

class SoundTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        LogManager::getInstance().startUp();
        ResourceManager::getInstance().startUp();
    }
    void TearDown() override { LogManager::getInstance().shutDown(); }

    // The entry's sf::Sound must play the buffer that lives inside that very entry.
    static void expectOwnBuffer(const Sound* entry, std::uint64_t samples)
    {
        ASSERT_NE(entry, nullptr);
        ASSERT_NE(entry->getSound(), nullptr);
        const sf::SoundBuffer* buffer = ks::compat::getBuffer(*entry->getSound());
        ASSERT_NE(buffer, nullptr);
        const char* at = reinterpret_cast<const char*>(buffer);
        const char* begin = reinterpret_cast<const char*>(entry);
        EXPECT_TRUE(at >= begin && at < begin + sizeof(Sound)) << entry->getLabel() << " plays another entry's buffer";
        EXPECT_EQ(buffer->getSampleCount(), samples) << entry->getLabel();
    }
};

} // namespace

TEST_F(SoundTest, FailedLoadLogsTwoLinesAndTakesNoEntry)
{
    ResourceManager& resources = ResourceManager::getInstance();
    writeWav("tick.wav", 800);
    EXPECT_EQ(resources.loadSound("missing.wav", "lost"), -1);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"failed to load sound", "Unable to load from file"}));
    EXPECT_EQ(resources.getSound("lost"), nullptr);

    // Had the failure used up an entry, the fiftieth load would find the array full.
    for (int i = 0; i < MAX_SOUNDS; i++)
        ASSERT_EQ(resources.loadSound("tick.wav", "s" + std::to_string(i)), 0) << i;
    EXPECT_EQ(resources.getSound("s1"), resources.getSound("s0") + 1);
    EXPECT_EQ(resources.loadSound("tick.wav", "extra"), -1);
    EXPECT_EQ(logMessages().back(), "Sound array full.");
    EXPECT_EQ(resources.getSound("extra"), nullptr);
    EXPECT_EQ(logMessages().back(), "failed to find sound extra");
}

TEST_F(SoundTest, UnloadClosesTheGapAndEveryEntryKeepsItsOwnSamples)
{
    ResourceManager& resources = ResourceManager::getInstance();
    writeWav("a.wav", 8000);
    writeWav("b.wav", 8800);
    writeWav("c.wav", 9600);
    writeWav("d.wav", 10400);
    ASSERT_EQ(resources.loadSound("a.wav", "a"), 0);
    ASSERT_EQ(resources.loadSound("b.wav", "b"), 0);
    ASSERT_EQ(resources.loadSound("c.wav", "c"), 0);
    Sound* first = resources.getSound("a");

    EXPECT_EQ(resources.unloadSound("b"), 0);
    EXPECT_EQ(resources.getSound("b"), nullptr);
    EXPECT_EQ(resources.getSound("a"), first);
    EXPECT_EQ(resources.getSound("c"), first + 1);
    expectOwnBuffer(first, 8000);
    expectOwnBuffer(first + 1, 9600);
    EXPECT_NE(first->getSound(), (first + 1)->getSound());

    for (Sound* entry : {first, first + 1}) {
        entry->play(false);
        EXPECT_EQ(entry->getSound()->getStatus(), sf::SoundSource::Status::Playing) << entry->getLabel();
        EXPECT_FALSE(ks::compat::isLooping(*entry->getSound()));
        entry->stop();
    }

    // The freed place is the next one used; unloading the last entry and then the first
    // leaves only the newcomer, still on its own samples.
    ASSERT_EQ(resources.loadSound("d.wav", "d"), 0);
    EXPECT_EQ(resources.getSound("d"), first + 2);
    EXPECT_EQ(resources.unloadSound("d"), 0);
    EXPECT_EQ(resources.unloadSound("a"), 0);
    EXPECT_EQ(resources.getSound("c"), first);
    expectOwnBuffer(first, 9600);
    first->play(true);
    EXPECT_TRUE(ks::compat::isLooping(*first->getSound()));

    // Unknown labels are refused without a log line.
    const size_t logged = logMessages().size();
    EXPECT_EQ(resources.unloadSound("never"), -1);
    EXPECT_EQ(resources.unloadMusic("never"), -1);
    EXPECT_EQ(logMessages().size(), logged);
}

TEST_F(SoundTest, MusicIsFoundByLabelAndUnloadKeepsItsEntry)
{
    ResourceManager& resources = ResourceManager::getInstance();
    writeWav("song.wav", 16000);
    EXPECT_EQ(resources.loadMusic("missing.wav", "lost"), -1);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"failed to load music from file", "Unable to load from file"}));

    ASSERT_EQ(resources.loadMusic("song.wav", "song"), 0);
    Music* song = resources.getMusic("song");
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(logMessages().back(), "found music");
    song->play(true);
    EXPECT_EQ(song->getMusic()->getStatus(), sf::SoundSource::Status::Playing);
    EXPECT_TRUE(ks::compat::isLooping(*song->getMusic()));

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

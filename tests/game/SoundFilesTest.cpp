// The ten WAV files that ks-wavsynth makes for the game folder: SFML opens each at 44.1 kHz
// with its intended length and level, the music loops without a click, and the synthesiser
// writes the same bytes every time.
#include "SfmlCompat.h"
#include "TestSupport.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct SoundFile
{
    const char* name;
    double seconds; // 0 for the music, whose length is checked on its own
};

const SoundFile SOUND_FILES[] = {
    {"gun-shot.wav", 0.30},        {"gun-reload.wav", 0.50},      {"human-damage.wav", 0.35},
    {"medecine.wav", 0.60},        {"powerup-magazin.wav", 0.40}, {"zombie-dying.wav", 0.80},
    {"zombie-attack.wav", 0.60},   {"zombie-voice.wav", 1.20},    {"bomb-explosion.wav", 2.00},
    {"background-music.wav", 0.0},
};

const double FULL_SCALE = 32768.0;

struct Loaded
{
    sf::SoundBuffer buffer;
    std::vector<int> samples; // as plain ints, whatever SFML's sample type is

    bool load(const std::string& path)
    {
        if (!ks::compat::loadSoundBuffer(buffer, path))
            return false;
        const std::int16_t* data = buffer.getSamples();
        samples.assign(data, data + buffer.getSampleCount());
        return true;
    }

    double peak() const
    {
        int most = 0;
        for (int s : samples)
            most = std::max(most, std::abs(s));
        return most / FULL_SCALE;
    }

    // The largest jump between neighbouring samples in [from, to).
    int largestStep(std::size_t from, std::size_t to) const
    {
        int most = 0;
        for (std::size_t i = from + 1; i < to; i++)
            most = std::max(most, std::abs(samples[i] - samples[i - 1]));
        return most;
    }
};

std::string gamePath(const std::string& name)
{
    return std::string(KS_GAME_DIR) + "/" + name;
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the synthesiser with the given arguments; its exit status, or -1 if it did not exit.
int runSynth(const std::string& arguments)
{
    const std::string command = std::string("'") + KS_WAVSYNTH + "' " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// Format, length and level of every effect; each starts and ends at silence (its fades),
// peaks near 0.8 of full scale and so neither clips nor is lost under the others.
TEST(SoundFiles, EveryEffectOpensWithItsLengthAndLevel)
{
    for (const SoundFile& sound : SOUND_FILES)
    {
        SCOPED_TRACE(sound.name);
        Loaded wav;
        ASSERT_TRUE(wav.load(gamePath(sound.name)));
        EXPECT_EQ(wav.buffer.getSampleRate(), 44100u);
        EXPECT_EQ(wav.buffer.getChannelCount(), 1u);
        ASSERT_FALSE(wav.samples.empty());
        EXPECT_GE(wav.peak(), 0.75);
        EXPECT_LE(wav.peak(), 0.81);
        if (sound.seconds == 0.0)
            continue;
        EXPECT_NEAR(wav.buffer.getDuration().asSeconds(), sound.seconds, 0.003);
        EXPECT_LE(std::abs(wav.samples.front()) / FULL_SCALE, 0.01);
        EXPECT_LE(std::abs(wav.samples.back()) / FULL_SCALE, 0.01);
    }
}

// The music plays looped for the whole game: long enough not to nag, and the seam from
// its last sample back to its first is no bigger a step than the music makes anyway.
TEST(SoundFiles, MusicIsLongAndLoopsWithoutAClick)
{
    Loaded music;
    ASSERT_TRUE(music.load(gamePath("background-music.wav")));
    EXPECT_GE(music.buffer.getDuration().asSeconds(), 20.0f);
    EXPECT_LE(music.buffer.getDuration().asSeconds(), 120.0f);
    ASSERT_GT(music.samples.size(), 44100u);
    EXPECT_LE(std::abs(music.samples.front()) / FULL_SCALE, 0.01);
    EXPECT_LE(std::abs(music.samples.back()) / FULL_SCALE, 0.01);

    const std::size_t n = music.samples.size();
    const int seam = std::abs(music.samples.front() - music.samples.back());
    const int nearSeam = std::max(music.largestStep(0, 4410), music.largestStep(n - 4410, n));
    EXPECT_LE(seam, nearSeam);
    // Not silence near the seam either: the loop point sits inside playing music.
    EXPECT_GT(nearSeam, 0);
}

// Two runs into two fresh folders write the same ten files, byte for byte, and the game
// folder holds exactly what the synthesiser makes.
TEST(SoundFiles, SynthesiserIsDeterministic)
{
    ks::test::TempDir first;
    ASSERT_EQ(runSynth("'" + first.path() + "'"), 0);
    ks::test::TempDir second;
    ASSERT_EQ(runSynth("'" + second.path() + "'"), 0);
    for (const SoundFile& sound : SOUND_FILES)
    {
        SCOPED_TRACE(sound.name);
        const std::string a = readBytes(first.path() + "/" + sound.name);
        ASSERT_GT(a.size(), 44u);
        EXPECT_TRUE(a == readBytes(second.path() + "/" + sound.name));
        EXPECT_TRUE(a == readBytes(gamePath(sound.name)));
    }
}

// A build step that cannot write its output must fail the build, not leave it half done.
TEST(SoundFiles, SynthesiserFailsWithoutAWritableFolder)
{
    ks::test::TempDir temp;
    EXPECT_NE(runSynth(""), 0);
    EXPECT_NE(runSynth("'" + temp.path() + "/no/such/folder'"), 0);
    EXPECT_NE(runSynth("a b"), 0);
}

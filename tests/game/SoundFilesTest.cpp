// The WAV files that ks-wavsynth makes for the game folder: SFML opens each at 44.1 kHz with its
// length and level, the music loops without a click, and the synthesiser is deterministic.
#include "SfmlCompat.h"
#include "TestSupport.h"

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

// Name and length in seconds; 0 for the music, whose length is checked on its own.
const std::pair<const char*, double> SOUND_FILES[] = {
    {"gun-shot.wav", 0.30},        {"gun-reload.wav", 0.50},      {"human-damage.wav", 0.35},
    {"medecine.wav", 0.60},        {"powerup-magazin.wav", 0.40}, {"zombie-dying.wav", 0.80},
    {"zombie-attack.wav", 0.60},   {"zombie-voice.wav", 1.20},    {"bomb-explosion.wav", 2.00},
    {"background-music.wav", 0.0},
};

// The file's samples as fractions of full scale; empty if SFML cannot open it.
std::vector<double> load(const char* name, sf::SoundBuffer& buffer)
{
    if (!ks::compat::loadSoundBuffer(buffer, std::string(KS_GAME_DIR) + "/" + name))
        return {};
    std::vector<double> samples(buffer.getSamples(), buffer.getSamples() + buffer.getSampleCount());
    for (double& sample : samples)
        sample /= 32768.0;
    return samples;
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the synthesiser with the given arguments; its exit status, or -1 if it did not exit.
int runSynth(const std::string& arguments)
{
    const int status = std::system((std::string("'") + KS_WAVSYNTH + "' " + arguments + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// Every file starts and ends at silence (its fades) and peaks near 0.8 of full scale, so it
// neither clips nor is lost under the others.
TEST(SoundFiles, EveryFileOpensWithItsLengthAndLevel)
{
    for (const auto& [name, seconds] : SOUND_FILES)
    {
        SCOPED_TRACE(name);
        sf::SoundBuffer buffer;
        const std::vector<double> samples = load(name, buffer);
        ASSERT_FALSE(samples.empty());
        EXPECT_EQ(std::make_pair(buffer.getSampleRate(), buffer.getChannelCount()), std::make_pair(44100u, 1u));
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        EXPECT_NEAR(std::max(-*low, *high), 0.78, 0.03); // the peak
        EXPECT_TRUE(std::abs(samples.front()) <= 0.01 && std::abs(samples.back()) <= 0.01);
        if (seconds > 0)
        {
            EXPECT_NEAR(buffer.getDuration().asSeconds(), seconds, 0.003);
        }
    }
}

// The music plays looped for the whole game: long enough not to nag, and the seam from its
// last sample back to its first is no bigger a step than the music makes near it anyway.
TEST(SoundFiles, MusicIsLongAndLoopsWithoutAClick)
{
    sf::SoundBuffer buffer;
    const std::vector<double> music = load("background-music.wav", buffer);
    ASSERT_GE(buffer.getDuration().asSeconds(), 20.0f);
    double nearSeam = 0;
    for (size_t i = 1; i < 4410; i++)
        nearSeam = std::max({nearSeam, std::abs(music[i] - music[i - 1]),
                             std::abs(music[music.size() - i] - music[music.size() - i - 1])});
    EXPECT_LE(std::abs(music.front() - music.back()), nearSeam);
    // Not silence near the seam either: the loop point sits inside playing music.
    EXPECT_GT(nearSeam, 0);
}

// Two runs into two fresh folders write the same files, byte for byte, and the game folder
// holds exactly what the synthesiser makes; without a writable folder it fails the build.
TEST(SoundFiles, SynthesiserIsDeterministicAndFailsWithoutAFolder)
{
    ks::test::TempDir first, second;
    ASSERT_EQ(runSynth("'" + first.path() + "'"), 0);
    ASSERT_EQ(runSynth("'" + second.path() + "'"), 0);
    for (const auto& [name, seconds] : SOUND_FILES)
    {
        const std::string bytes = readBytes(first.path() + "/" + name);
        ASSERT_GT(bytes.size(), 44u) << name;
        EXPECT_TRUE(bytes == readBytes(second.path() + "/" + name)) << name;
        EXPECT_TRUE(bytes == readBytes(std::string(KS_GAME_DIR) + "/" + name)) << name;
    }
    EXPECT_NE(runSynth(""), 0);
    EXPECT_NE(runSynth("'" + first.path() + "/no/such/folder'"), 0);
}

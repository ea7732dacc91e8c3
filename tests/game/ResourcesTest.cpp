// The files of the game's resource table as the build puts them into the game folder: sprite
// files of printable CRLF text, sized for their place and visible on black (what they load as
// is checked with the fuzzer's corpus), the title naming every control; sounds that SFML opens
// at 44.1 kHz, peaking near 0.8 and fading in and out.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "SfmlCompat.h"
#include "TestSupport.h"
#include "resources.h"

namespace ks::test {
namespace {

const std::string GAME = std::string(KS_GAME_DIR) + "/";

// The file's samples as fractions of full scale; empty if SFML cannot open it.
std::vector<double> load(const std::string& name, sf::SoundBuffer& buffer)
{
    if (!compat::loadSoundBuffer(buffer, GAME + name))
        return {};
    std::vector<double> samples(buffer.getSamples(), buffer.getSamples() + buffer.getSampleCount());
    for (double& sample : samples)
        sample /= 32768.0;
    return samples;
}

TEST(ResourcesTest, SpriteFilesAreCrlfTextSizedForTheirPlace)
{
    for (const GameResource& r : GAME_RESOURCES)
    {
        if (r.kind != ResourceKind::SPRITE)
            continue;
        SCOPED_TRACE(r.file);
        const std::string bytes = readFile(GAME + r.file);
        ASSERT_TRUE(bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0) << "no final CR LF";
        std::vector<std::string> lines; // without their CR LF, each only printable ASCII
        for (size_t start = 0, end = 0; start < bytes.size(); start = end + 2)
        {
            end = std::min(bytes.find("\r\n", start), bytes.size());
            lines.push_back(bytes.substr(start, end - start));
            for (char c : lines.back())
                EXPECT_TRUE(c >= 0x20 && c <= 0x7e) << "byte " << int(c) << " on line " << lines.size();
        }
        ASSERT_GE(lines.size(), 5u);
        const int width = std::stoi(lines[1]), height = std::stoi(lines[2]);
        // Every character is painted on a black box, so black would be invisible.
        EXPECT_NE(lines[4], "black");
        // A bullet is one cell; the title stays inside the grid, and the game-over picture
        // leaves the head-up display in rows 1 and 2 readable.
        const std::string label = r.label;
        const int maxWidth = label == "bullet" ? 1 : label == "title" || label == "gameoversprite" ? 80 : 7;
        const int maxHeight = label == "bullet" ? 1 : label == "title" ? 24 : label == "gameoversprite" ? 16 : 4;
        EXPECT_TRUE(width >= 1 && width <= maxWidth && height >= 1 && height <= maxHeight) << width << "x" << height;
        // The title tells a new player every control, whichever frame is showing.
        for (size_t first = 5; label == "title" && first + height <= lines.size(); first += height)
        {
            std::string shown;
            for (size_t row = first; row < first + height; row++)
                shown += lines[row] + "\n";
            for (const char* word : {"W A S D", "walk", "mouse", "aim", "left", "fire", "right", "reload", "SPACE",
                                     "start", "Escape", "quit"})
                EXPECT_NE(shown.find(word), std::string::npos) << word;
        }
    }
}

TEST(ResourcesTest, SoundsOpenAtTheirLevelAndFade)
{
    for (const GameResource& r : GAME_RESOURCES)
    {
        if (r.kind == ResourceKind::SPRITE)
            continue;
        SCOPED_TRACE(r.file);
        sf::SoundBuffer buffer;
        const std::vector<double> samples = load(r.file, buffer);
        ASSERT_GT(samples.size(), 4410u);
        EXPECT_EQ(std::make_pair(buffer.getSampleRate(), buffer.getChannelCount()), std::make_pair(44100u, 1u));
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        EXPECT_NEAR(std::max(-*low, *high), 0.78, 0.03);
        EXPECT_TRUE(std::abs(samples.front()) <= 0.01 && std::abs(samples.back()) <= 0.01);
    }
}

} // namespace
} // namespace ks::test

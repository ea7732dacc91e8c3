// Screenshots and clips as files: a clip holds every third frame of the last ten seconds at
// half the window's size in the clip palette, a screenshot the frame exactly; names never
// collide and no half-written file is left.
#include "ScreenCapture.h"

#include "DisplayManager.h"
#include "GameManager.h"
#include "LogManager.h"
#include "SfmlCompat.h"
#include "TestSupport.h"

#include <algorithm>
#include <filesystem>

#include <gif_lib.h>

using namespace ks;
using ks::test::logMessages;

namespace {

class ScreenCaptureTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        LogManager::getInstance().startUp();
        ks::test::installFont();
        ASSERT_EQ(display.startUp(), 0);
    }
    void TearDown() override
    {
        display.setFrameListener(nullptr);
        display.shutDown();
    }

    // A frame with a green X in cell (10, 5), shown.
    void frame()
    {
        display.drawCh(Vector(10, 5), 'X', GREEN);
        display.swapBuffers();
    }

    // The file a "<what> saved: FILE ..." log line names.
    static std::string savedFile(const std::string& what, std::size_t nth = 0)
    {
        for (const std::string& line : logMessages())
            if (line.rfind(what + " saved: ", 0) == 0 && nth-- == 0)
                return line.substr(what.size() + 8, line.find(' ', what.size() + 8) - what.size() - 8);
        return "";
    }

    DisplayManager& display = DisplayManager::getInstance();
};

struct Gif
{
    int width = 0, height = 0, frames = 0;
    int greenPixels = 0; // in the first frame
};

Gif readGif(const std::string& file)
{
    Gif gif;
    int error = 0;
    GifFileType* in = DGifOpenFileName(file.c_str(), &error);
    if (in == nullptr)
        return gif;
    if (DGifSlurp(in) == GIF_OK && in->ImageCount > 0)
    {
        gif.width = in->SWidth;
        gif.height = in->SHeight;
        gif.frames = in->ImageCount;
        const SavedImage& first = in->SavedImages[0];
        const ColorMapObject* map = first.ImageDesc.ColorMap;
        for (int i = 0; map != nullptr && i < first.ImageDesc.Width * first.ImageDesc.Height; i++)
        {
            const GifColorType c = map->Colors[first.RasterBits[i]];
            gif.greenPixels += c.Red == 0 && c.Blue == 0 && c.Green > 0;
        }
    }
    DGifCloseFile(in, &error);
    return gif;
}

} // namespace

// The palette keeps a colour's hue and brightness; black stays black.
TEST(ScreenCapturePalette, ColoursMapToTheirHueAtTheirBrightness)
{
    const std::uint32_t cases[][2] = {
        {0x000000, 0x000000}, {0x010101, 0x000000}, {0xffffff, 0xffffff}, {0x00ff00, 0x00ff00},
        {0x800000, 0x7f0000}, {0x7f7f00, 0x7f7f00}, {0x10e0f0, 0x00f0f0}, {0x404040, 0x3f3f3f},
    };
    for (const auto& [in, out] : cases)
    {
        const std::uint8_t index = ScreenCapture::clipIndex(
            static_cast<std::uint8_t>(in >> 16), static_cast<std::uint8_t>(in >> 8), static_cast<std::uint8_t>(in));
        EXPECT_EQ(ScreenCapture::clipPalette()[index], out) << std::hex << in;
    }
}

TEST_F(ScreenCaptureTest, ClipHoldsEveryThirdFrameOfTheLastTenSecondsAtHalfSize)
{
    const std::pair<int, int> cases[] = {{1, 1}, {7, 3}, {302, ScreenCapture::CLIP_FRAMES}};
    for (std::size_t c = 0; c < std::size(cases); c++)
    {
        const auto [drawn, kept] = cases[c];
        SCOPED_TRACE(drawn);
        ScreenCapture capture(FRAME_TIME_DEFAULT);
        display.setFrameListener([&](const sf::RenderWindow& window) {
            capture.frameDrawn(window);
        });
        for (int i = 0; i < drawn; i++)
            frame();
        EXPECT_EQ(capture.keptFrames(), kept);
        capture.requestClip();
        frame();
        capture.finish();
        const std::string file = savedFile("Clip", c);
        ASSERT_FALSE(file.empty());
        EXPECT_EQ(logMessages().back(), "Clip saved: " + file + " (" + std::to_string(kept) + " frames)");
        const Gif gif = readGif(file);
        EXPECT_EQ(gif.width, 512);
        EXPECT_EQ(gif.height, 384);
        EXPECT_EQ(gif.frames, kept);
        EXPECT_GT(gif.greenPixels, 10);
    }
}

// Two screenshots in the same second get names of their own; each holds its frame exactly,
// and only the finished files are left.
TEST_F(ScreenCaptureTest, ScreenshotsHoldTheirFrameUnderNamesOfTheirOwn)
{
    ScreenCapture capture(FRAME_TIME_DEFAULT);
    std::vector<sf::Image> shown;
    display.setFrameListener([&](const sf::RenderWindow& window) {
        shown.push_back(compat::captureWindow(window));
        capture.frameDrawn(window);
    });
    for (const char ch : {'A', 'B'})
    {
        capture.requestScreenshot();
        display.drawCh(Vector(3, 3), ch, RED);
        display.swapBuffers();
    }
    capture.finish();
    std::vector<std::string> files;
    for (int i = 0; i < 2; i++)
    {
        files.push_back(savedFile("Screenshot", static_cast<std::size_t>(i)));
        sf::Image image;
        ASSERT_TRUE(image.loadFromFile(files.back())) << files.back();
        EXPECT_EQ(ks::test::compareImages(image, shown[static_cast<std::size_t>(i)]).count, 0);
        EXPECT_GT(ks::test::inkedPixels(image), 0);
    }
    EXPECT_NE(files[0], files[1]);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    std::vector<std::string> expected = {LOGFILE_NAME, "ks-font.ttf", files[0], files[1]};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}

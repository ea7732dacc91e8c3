// Sprite art written in UTF-8 (ResourceManager::loadUtf8Sprite): rows counted in code points,
// frames that keep them and paint them a glyph a cell, one log line for each kind of bad row,
// and reloading that reads the file as UTF-8 again. Every other input goes through both
// loaders in tests/fuzz.
#include "DisplayManager.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "TestSupport.h"

#include <chrono>
#include <filesystem>

using namespace ks;
using ks::test::logMessages;
using ks::test::writeFile;

namespace {

const std::string HEADER = "1\r\n3\r\n2\r\n0\r\ncyan\r\n";

class Utf8SpriteTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        ASSERT_EQ(LogManager::getInstance().startUp(), 0);
        ResourceManager::getInstance().startUp();
    }
    void TearDown() override
    {
        DisplayManager& display = DisplayManager::getInstance();
        display.shutDown();
        display.setHeadless(false);
    }

    // The digest of a frame that draw() paints, without a window.
    static std::uint32_t digestOf(const std::function<void()>& draw)
    {
        DisplayManager& display = DisplayManager::getInstance();
        if (!display.isStarted())
        {
            display.setHeadless(true);
            display.startUp();
        }
        draw();
        display.swapBuffers();
        return display.getFrameDigest();
    }
};

} // namespace

TEST_F(Utf8SpriteTest, BoxDrawingArtLoadsWithEitherLineEndAndPaintsItsGlyphs)
{
    // File, the art its one frame must hold as code points and as UTF-8 text.
    const struct
    {
        std::string bytes;
        std::u32string art;
        std::string text;
    } cases[] = {
        {HEADER + "┌─┐\r\n└─┘\r\n", U"┌─┐└─┘", "┌─┐└─┘"},
        {"1\n3\n2\n0\ncyan\n┌─┐.\n└─┘.\n", U"┌─┐└─┘", "┌─┐└─┘"},           // LF only: the last character goes
        {"\xEF\xBB\xBF" + HEADER + "┌─┐\r\n└─┘\r\n", U"┌─┐└─┘", "┌─┐└─┘"}, // an editor's byte-order mark
        {HEADER + "▀▄█\r\n←↑→\r", U"▀▄█←↑→", "▀▄█←↑→"},                    // the last line without its line feed
    };
    ResourceManager& rm = ResourceManager::getInstance();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.bytes);
        writeFile("art.txt", c.bytes);
        ASSERT_EQ(rm.loadUtf8Sprite("art.txt", "art"), 0) << logMessages().back();
        const Sprite* sprite = rm.getSprite("art");
        ASSERT_EQ(sprite->getFrameCount(), 1);
        EXPECT_EQ(sprite->getColor(), CYAN);
        EXPECT_EQ(sprite->getFrame(0).getCodePoints(), c.art);
        EXPECT_EQ(sprite->getFrame(0).getString(), c.text);

        // Painted a glyph a cell, centred on the position as every frame is.
        const std::uint32_t drawn = digestOf([&] {
            sprite->draw(1, Vector(10, 5));
        });
        const std::uint32_t glyphs = digestOf([&] {
            for (int i = 0; i < 6; i++)
                DisplayManager::getInstance().drawGlyph(Vector(9 + i % 3, 4 + i / 3), c.art[i], CYAN);
        });
        EXPECT_EQ(drawn, glyphs);
        rm.unloadSprite("art");
    }
}

// Art of ASCII only is the same art through either loader: same text, same painted frame.
TEST_F(Utf8SpriteTest, AsciiArtPaintsAlikeThroughEitherLoader)
{
    writeFile("ascii.txt", "2\r\n3\r\n2\r\n1\r\nred\r\n/-\\\r\n\\_/\r\n#  \r\n ##\r\n");
    ResourceManager& rm = ResourceManager::getInstance();
    ASSERT_EQ(rm.loadSprite("ascii.txt", "bytes"), 0);
    ASSERT_EQ(rm.loadUtf8Sprite("ascii.txt", "utf8"), 0);
    for (int f = 1; f <= 2; f++)
    {
        EXPECT_EQ(rm.getSprite("utf8")->getFrame(f - 1).getString(),
                  rm.getSprite("bytes")->getFrame(f - 1).getString());
        EXPECT_EQ(digestOf([&] {
                      rm.getSprite("utf8")->draw(f, Vector(40, 12));
                  }),
                  digestOf([&] {
                      rm.getSprite("bytes")->draw(f, Vector(40, 12));
                  }))
            << f;
    }
}

TEST_F(Utf8SpriteTest, BadRowsAreRefusedWithOneLineNamingRowFrameAndByte)
{
    const std::string rowAt = std::to_string(HEADER.size()); // offset of the first row
    const std::string second = std::to_string(HEADER.size() + std::string("┌─┐\r\n│").size());
    // Rows after the header, the one log line.
    const std::pair<std::string, std::string> cases[] = {
        {"┌─┐\r\n│\x80│\r\n", "Error in loading in sprite on line 2 frame 1: byte 0x80 at offset " + second +
                                  " is not UTF-8, sprite bad "
                                  "not loaded"},
        // The overlong form of '/'
        {"\xC0\xAF\xC0\xAF\r\n", "Error in loading in sprite on line 1 frame 1: byte 0xc0 at offset " + rowAt +
                                     " is not UTF-8, sprite bad "
                                     "not loaded"},
        // A sequence cut short by the line end, and one by the end of the file.
        {"ab\xE2\x94\r\n", "Error in loading in sprite on line 1 frame 1: byte 0xe2 at offset " +
                               std::to_string(HEADER.size() + 2) + " is not UTF-8, sprite bad not loaded"},
        {"┌─┐\r\n└─\xE2\x94", "Error in loading in sprite on line 2 frame 1: byte 0xe2 at offset " +
                                  std::to_string(HEADER.size() + std::string("┌─┐\r\n└─").size()) +
                                  " is not UTF-8, sprite bad not loaded"},
        // A surrogate, and a value past U+10FFFF
        {"\xED\xA0\x80xx\r\n", "Error in loading in sprite on line 1 frame 1: byte 0xed at offset " + rowAt +
                                   " is not UTF-8, sprite bad "
                                   "not loaded"},
        {"\xF4\x90\x80\x80xx\r\n", "Error in loading in sprite on line 1 frame 1: byte 0xf4 at offset " + rowAt +
                                       " is not UTF-8, sprite bad "
                                       "not loaded"},
        // Lengths count code points: four bytes or nine, a row of two characters is short.
        {"┌─\r\n",
         "Error in loading in sprite on line 1 frame 1 it had length 3 expeted 3 sprite bad not loaded. error line: "
         "┌─\r"},
        {"┌─┐\r\nab┘┘\r\n",
         "Error in loading in sprite on line 2 frame 1 it had length 5 expeted 3 sprite bad not loaded. error line: "
         "ab┘┘\r"},
        {"┌─┐\r\n",
         "Failed reading from sprite file, tried to acces line that does not exist. height is likely set to high, or "
         "framcount is likely set to high"},
    };
    ResourceManager& rm = ResourceManager::getInstance();
    writeFile("good.txt", HEADER + "┌─┐\r\n└─┘\r\n");
    for (const auto& [rows, line] : cases)
    {
        writeFile("bad.txt", HEADER + rows);
        const std::size_t before = logMessages().size();
        EXPECT_EQ(rm.loadUtf8Sprite("bad.txt", "bad"), -1);
        const std::vector<std::string> log = logMessages();
        EXPECT_EQ(std::vector<std::string>(log.begin() + static_cast<std::ptrdiff_t>(before), log.end()),
                  std::vector<std::string>{line});
        // Nothing stored, and the next file loads.
        EXPECT_EQ(rm.getSprite("bad"), nullptr);
        ASSERT_EQ(rm.loadUtf8Sprite("good.txt", "good"), 0);
        EXPECT_EQ(rm.getSprite("good")->getFrame(0).getCodePoints(), U"┌─┐└─┘");
        rm.unloadSprite("good");
    }
}

// A sprite loaded as UTF-8 is read as UTF-8 again when its file changes, also after an
// earlier sprite's unloading has moved it down.
TEST_F(Utf8SpriteTest, ReloadingReadsUtf8ArtAsUtf8)
{
    ResourceManager& rm = ResourceManager::getInstance();
    writeFile("first.txt", "1\r\n1\r\n1\r\n0\r\nred\r\n#\r\n");
    writeFile("art.txt", HEADER + "┌─┐\r\n└─┘\r\n");
    ASSERT_EQ(rm.loadSprite("first.txt", "first"), 0);
    ASSERT_EQ(rm.loadUtf8Sprite("art.txt", "art"), 0);
    ASSERT_EQ(rm.unloadSprite("first"), 0);
    writeFile("art.txt", HEADER + "╔═╗\r\n╚═╝\r\n");
    std::filesystem::last_write_time("art.txt", std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
    rm.setSpriteReloading(true);
    EXPECT_EQ(rm.reloadChangedSprites(), 1);
    rm.setSpriteReloading(false);
    EXPECT_EQ(rm.getSprite("art")->getFrame(0).getCodePoints(), U"╔═╗╚═╝");
}

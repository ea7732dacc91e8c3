// kestrane-sprite's commands against the engine they are built on: check says what the loader
// decides and why, show prints the frames, render paints where and how the game paints.
#include "SpriteTool.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "SfmlCompat.h"
#include "TestSupport.h"

#include <chrono>
#include <filesystem>
#include <iterator>
#include <sstream>

using namespace ks;
using ks::test::writeFile;

namespace {

class SpriteTool : public ks::test::InTempDir
{};

// Pixels of exactly this colour in a rectangle of the image.
int pixelsOf(const sf::Image& image, sf::Color color, unsigned left, unsigned top, unsigned width, unsigned height)
{
    int count = 0;
    for (unsigned y = top; y < top + height; y++)
        for (unsigned x = left; x < left + width; x++)
            count += compat::getPixel(image, x, y) == color;
    return count;
}

} // namespace

// Each file is checked, then loaded by the loader itself: check fails exactly when the loader
// does, repeats every line the loader logs, and warns (or hints) only where a case says so.
TEST_F(SpriteTool, CheckAgreesWithTheLoaderAndWarnsAboutLikelyMistakes)
{
    struct Case
    {
        const char* file;
        const char* bytes; // null: no such file
        const char* warning;
    };
    const Case cases[] = {
        {"good.txt", "2\r\n3\r\n1\r\n4\r\ngreen\r\nabc\r\ndef\r\n", nullptr},
        {"lf-only.txt", "2\n3\n1\n4\ngreen\nabc\ndef\n", "hint: no line ends with a carriage return"},
        {"lf-padded.txt", "1\n3\n1\n4\ngreen\nabcd\n", "1 row(s) end without a carriage return"},
        {"space-for-cr.txt", "1\r\n3\r\n1\r\n4\r\nred\r\nabc \n", "1 row(s) end in a space"},
        {"capital.txt", "1\r\n3\r\n1\r\n0\r\nRed\r\nabc\r\n", "warning: Uknown color in sprite capital loaded"},
        // Named as the file names it, and drawn in white.
        {"custom.txt", "1\r\n3\r\n1\r\n0\r\ncustom\r\nabc\r\n",
         ", custom, slowdown 0\n  warning: the colour line is not a colour the game draws; it draws this sprite in "
         "white\n"},
        {"too-few-rows.txt", "3\r\n3\r\n1\r\n4\r\nred\r\nabc\r\n", nullptr},
        {"missing.txt", nullptr, nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.file);
        if (c.bytes != nullptr)
            writeFile(c.file, c.bytes);
        std::ostringstream out;
        const int result = spritetool::check({c.file}, out);
        EXPECT_FALSE(std::filesystem::exists(LOGFILE_NAME));

        LogManager::getInstance().startUp();
        ResourceManager::getInstance().startUp();
        const std::string label = std::filesystem::path(c.file).stem().string();
        const bool loads = ResourceManager::getInstance().loadSprite(c.file, label) == 0;
        EXPECT_EQ(result, loads ? 0 : 1) << out.str();
        EXPECT_EQ(out.str().rfind(std::string(c.file) + (loads ? ": " + label + ", " : ": not loaded\n"), 0), 0u)
            << out.str();
        for (const std::string& message : ks::test::logMessages())
            EXPECT_NE(out.str().find(spritetool::printable(message)), std::string::npos) << message;
        if (c.warning != nullptr)
            EXPECT_NE(out.str().find(c.warning), std::string::npos) << out.str();
        else
            for (const char* word : {"warning", "hint"})
                EXPECT_EQ(out.str().find(word), std::string::npos) << out.str();
        ResourceManager::getInstance().shutDown();
        LogManager::getInstance().shutDown();
        std::filesystem::remove(LOGFILE_NAME);
    }
    std::ostringstream out;
    EXPECT_EQ(spritetool::check({"good.txt"}, out), 0);
    EXPECT_EQ(out.str(), "good.txt: good, 3 x 1, 2 frame(s), green, slowdown 4\n");
    EXPECT_EQ(spritetool::check({"good.txt", "missing.txt", "custom.txt"}, out), 1);
}

TEST_F(SpriteTool, ShowPrintsTheFramesOneAfterAnotherInTheSpritesColourOnATerminal)
{
    writeFile("two.txt", "2\r\n3\r\n2\r\n4\r\ncyan\r\n/o\\\r\n| |\r\n\\o/\r\n| |\r\n");
    std::ostringstream plain, coloured, err;
    EXPECT_EQ(spritetool::show("two.txt", false, plain, err), 0);
    EXPECT_EQ(plain.str(), "/o\\\n| |\n\n\\o/\n| |\n");
    EXPECT_EQ(spritetool::show("two.txt", true, coloured, err), 0);
    EXPECT_EQ(coloured.str().rfind("\x1b[1;36;40m/o\\\x1b[0m\n", 0), 0u) << coloured.str();
    std::string stripped = coloured.str(); // without its colour escapes
    for (std::size_t at; (at = stripped.find('\x1b')) != std::string::npos;)
        stripped.erase(at, stripped.find('m', at) - at + 1);
    EXPECT_EQ(stripped, plain.str());
    EXPECT_EQ(spritetool::show("absent.txt", false, plain, err), 1);
    EXPECT_NE(err.str().find("error opening sprite file for absent"), std::string::npos) << err.str();
}

// show --watch: each save that loads shows the frames again; one that does not leaves them,
// with the loader's reason; a file that never loaded is not watched.
TEST_F(SpriteTool, WatchShowsEachSaveThatLoadsAndKeepsTheLastFramesOtherwise)
{
    const std::string file = std::filesystem::absolute("w.txt").string();
    writeFile(file, "1\r\n2\r\n1\r\n0\r\nred\r\nab\r\n");
    const char* const saves[] = {"1\r\n2\r\n1\r\n0\r\nred\r\ncd\r\n", "1\r\n2\r\n1\r\n0\r\nred\r\nefg\r\n", nullptr,
                                 "1\r\n2\r\n1\r\n0\r\nred\r\ngh\r\n"};
    int looks = 0;
    std::ostringstream out, err;
    const int result = spritetool::watch(file, false, out, err, [&] {
        if (looks == static_cast<int>(std::size(saves)))
            return false;
        const char* save = saves[looks++];
        if (save != nullptr)
        {
            writeFile(file, save);
            std::filesystem::last_write_time(file,
                                             std::filesystem::file_time_type::clock::now() + std::chrono::hours(looks));
        }
        return true;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(out.str(), "ab\n\n" + file + ": reloaded\ncd\n\n" + file + ": reloaded\ngh\n");
    EXPECT_EQ(err.str(), file +
                             ": not reloaded, the frames shown are the last that loaded\n"
                             "  Error in loading in sprite on line 1 frame 1 it had length 4 expeted 2 sprite w not "
                             "loaded. error line: efg\\r\n"
                             "  Sprite w not reloaded from " +
                             file + ", keeping the old one\n");
    std::ostringstream none;
    EXPECT_EQ(spritetool::watch("absent.txt", false, none, none,
                                [] {
                                    return true;
                                }),
              1);
}

// Frame 1 has its block in the left cell, frame 2 in the right one. The sheet holds the frames
// side by side, 4 pixels apart, each from half a cell left of and above its top-left cell.
TEST_F(SpriteTool, RenderPaintsTheSpriteColourInTheCellsTheGamePaints)
{
    ks::test::installFont();
    writeFile("blocks.txt", "2\r\n2\r\n1\r\n7\r\nmagenta\r\n# \r\n #\r\n");
    std::ostringstream err;
    ASSERT_EQ(spritetool::render({"blocks.txt"}, "blocks.png", err), 0) << err.str();
    ASSERT_EQ(spritetool::render({"blocks.txt"}, "blocks.gif", err), 0) << err.str();
    sf::Image sheet, gif;
    ASSERT_TRUE(sheet.loadFromFile("blocks.png"));
    ASSERT_TRUE(gif.loadFromFile("blocks.gif")); // the first frame
    const unsigned frameWidth = 3 * 12, frameHeight = 2 * 32;
    ASSERT_EQ(sheet.getSize(), sf::Vector2u(4 + 2 * (frameWidth + 4), 4 + frameHeight + 4));
    ASSERT_EQ(gif.getSize(), sf::Vector2u(frameWidth, frameHeight));
    const sf::Color magenta(255, 0, 255);
    for (unsigned frame = 0; frame < 2; frame++)
        for (unsigned cell = 0; cell < 2; cell++)
        {
            // The cell's box: 12 x 32 pixels, 1.2 left of and 6.4 below the cell (inner part).
            const unsigned left = 4 + frame * (frameWidth + 4) + 6 + cell * 12, top = 4 + 16 + 7;
            const int painted = pixelsOf(sheet, magenta, left, top, 10, 31);
            EXPECT_EQ(painted > 20, frame == cell) << "frame " << frame << " cell " << cell << ": " << painted;
            if (frame == 0)
            {
                EXPECT_EQ(pixelsOf(gif, magenta, left - 4, top - 4, 10, 31), painted);
            }
        }
}

// --utf8: every command reads the files as UTF-8 art; check, reading bytes, says when a file
// it refuses loads that way.
TEST_F(SpriteTool, Utf8ReadsTheFilesAsUtf8Art)
{
    writeFile("box.txt", "1\r\n3\r\n2\r\n0\r\ncyan\r\n┌─┐\r\n└█┘\r\n");
    writeFile("cut.txt", "1\r\n3\r\n1\r\n0\r\ncyan\r\n┌─\xE2\x94\r\n");
    // Files, whether read as UTF-8, the result and check's whole output.
    const struct
    {
        std::vector<std::string> files;
        bool utf8;
        int result;
        std::string out;
    } cases[] = {
        {{"box.txt"}, true, 0, "box.txt: box, 3 x 2, 1 frame(s), cyan, slowdown 0\n"},
        {{"box.txt"},
         false,
         1,
         "box.txt: not loaded\n  Error in loading in sprite on line 1 frame 1 it had length 10 expeted 3 sprite box "
         "not loaded. error line: \\xe2\\x94\\x8c\\xe2\\x94\\x80\\xe2\\x94\\x90\\r\n  hint: it loads as UTF-8 art, "
         "with --utf8 (and in a game with ResourceManager::loadUtf8Sprite)\n"},
        {{"cut.txt"},
         true,
         1,
         "cut.txt: not loaded\n  Error in loading in sprite on line 1 frame 1: byte 0xe2 at offset 24 is not UTF-8, "
         "sprite cut not loaded\n"},
    };
    for (const auto& c : cases)
    {
        std::ostringstream out;
        EXPECT_EQ(spritetool::check(c.files, out, c.utf8), c.result);
        EXPECT_EQ(out.str(), c.out);
    }
    std::ostringstream shown, err;
    EXPECT_EQ(spritetool::show("box.txt", false, shown, err, true), 0);
    EXPECT_EQ(shown.str(), "┌─┐\n└█┘\n");

    // The full block fills the middle cell of the lower row, and nothing of the kind is painted as bytes.
    ks::test::installFont();
    ASSERT_EQ(spritetool::render({"box.txt"}, "box.png", err, true), 0) << err.str();
    EXPECT_EQ(spritetool::render({"box.txt"}, "bytes.png", err), 1);
    sf::Image sheet;
    ASSERT_TRUE(sheet.loadFromFile("box.png"));
    EXPECT_GT(pixelsOf(sheet, sf::Color(0, 255, 255), 4 + 6 + 12 + 2, 4 + 16 + 32 + 4, 8, 24), 100);
}

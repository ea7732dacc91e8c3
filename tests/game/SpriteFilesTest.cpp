// The sprite files the game ships: CRLF text that the resource manager loads silently as its
// header declares, each picture sized for its place on the 80 x 24 grid, the title naming
// every control.
#include "LogManager.h"
#include "ResourceManager.h"
#include "TestSupport.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace ks;

// Read here without the engine, then loaded: size, slowdown, colour and every frame agree
// with the file, and nothing is logged.
TEST(SpriteFiles, EveryFileLoadsAsItsHeaderDeclaresAndFitsItsPlace)
{
    struct File
    {
        const char* file;
        const char* label;
        int maxWidth, maxHeight, minFrames;
    };
    const File files[] = {
        // A bullet is one cell, painted exactly at its position; the zombie shambles.
        {"bullet-spr.txt", "bullet", 1, 1, 1},
        {"zombie-spr.txt", "zombie", 7, 4, 2},
        {"hunter-spr.txt", "player", 5, 4, 1},
        {"reticle.txt", "reticle", 5, 3, 1},
        {"medicine-spr.txt", "healthpack", 7, 3, 1},
        {"powerup-magazine.txt", "bulletpack", 7, 3, 1},
        // Centred on (40, 12), the title stays inside the grid, and the game-over picture leaves
        // the head-up display in rows 1 and 2 readable.
        {"title-spr.txt", "title", 80, 24, 1},
        {"gameover-spr.txt", "gameoversprite", 80, 16, 1},
    };
    const std::vector<std::string> colors = {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"};
    ks::test::TempDir temp;
    LogManager::getInstance().startUp();
    ResourceManager& resources = ResourceManager::getInstance();
    resources.startUp();
    for (const File& f : files)
    {
        SCOPED_TRACE(f.file);
        const std::string path = std::string(KS_SOURCE_DIR) + "/data/" + f.file;
        std::ifstream in(path, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0) << "no final CR LF";
        std::vector<std::string> lines; // without their CR LF, each only printable ASCII
        for (size_t start = 0, end = 0; start < bytes.size(); start = end + 2)
        {
            end = std::min(bytes.find("\r\n", start), bytes.size());
            lines.push_back(bytes.substr(start, end - start));
            for (char c : lines.back())
                EXPECT_TRUE(c >= 0x20 && c <= 0x7e) << "byte " << int(c) << " on line " << lines.size();
        }
        ASSERT_GE(lines.size(), 5u);
        const int frames = std::stoi(lines[0]), width = std::stoi(lines[1]), height = std::stoi(lines[2]);
        // Not black: every character is painted on a black box, so it would be invisible.
        const long color = std::find(colors.begin(), colors.end(), lines[4]) - colors.begin();
        EXPECT_TRUE(color > BLACK && color <= WHITE) << "colour \"" << lines[4] << "\"";
        EXPECT_TRUE(width >= 1 && width <= f.maxWidth && height >= 1 && height <= f.maxHeight)
            << width << "x" << height;
        EXPECT_GE(frames, f.minFrames);
        // No stray lines after the last row: what is there is what is drawn.
        ASSERT_EQ(lines.size(), 5u + static_cast<size_t>(frames * height));
        for (size_t i = 5; i < lines.size(); i++)
            EXPECT_EQ(lines[i].size(), static_cast<size_t>(width)) << "line " << i + 1;

        ASSERT_EQ(resources.loadSprite(path, f.label), 0);
        const Sprite* sprite = resources.getSprite(f.label);
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(std::vector<int>({sprite->getFrameCount(), sprite->getWidth(), sprite->getHeight(),
                                    sprite->getSlowdown(), static_cast<int>(sprite->getColor())}),
                  std::vector<int>({frames, width, height, std::stoi(lines[3]), static_cast<int>(color)}));
        for (int frame = 0; frame < frames; frame++)
        {
            std::string expected, shown; // shown: row by row, so no word runs on into the next row
            for (int row = 0; row < height; row++)
            {
                expected += lines[5 + static_cast<size_t>(frame * height + row)];
                shown += lines[5 + static_cast<size_t>(frame * height + row)] + "\n";
            }
            EXPECT_EQ(sprite->getFrame(frame).getString(), expected) << "frame " << frame + 1;
            // The title tells a new player every control, whichever frame is showing.
            for (const char* word : {"W A S D", "walk", "mouse", "aim", "left", "fire", "right", "reload", "SPACE",
                                     "start", "Escape", "quit"})
                EXPECT_TRUE(f.label != std::string("title") || shown.find(word) != std::string::npos) << word;
        }
    }
    EXPECT_EQ(ks::test::logLines(), std::vector<std::string>());
}

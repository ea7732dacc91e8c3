// The eight sprite files the game ships: each is well-formed CRLF text that the resource
// manager loads silently as its header declares, and each picture suits its place in the game.
#include "LogManager.h"
#include "ResourceManager.h"
#include "TestSupport.h"

#include <fstream>
#include <iterator>
#include <sstream>

using namespace ks;

namespace {

struct SpriteFile
{
    const char* file;
    const char* label;
};

const SpriteFile SPRITE_FILES[] = {
    {"bullet-spr.txt", "bullet"},       {"zombie-spr.txt", "zombie"},
    {"hunter-spr.txt", "player"},       {"gameover-spr.txt", "gameoversprite"},
    {"title-spr.txt", "title"},         {"reticle.txt", "reticle"},
    {"medicine-spr.txt", "healthpack"}, {"powerup-magazine.txt", "bulletpack"},
};

std::string dataPath(const std::string& file)
{
    return std::string(KS_SOURCE_DIR) + "/data/" + file;
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file as the game's players would expect it, read here without the engine: every line
// ends with CR LF, and the lines are returned without them.
std::vector<std::string> crlfLines(const std::string& bytes, std::string& problem)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size())
    {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
        {
            problem = "last line has no CR LF";
            break;
        }
        const std::string line = bytes.substr(start, end - start);
        for (char c : line)
            if (c < 0x20 || c > 0x7e)
                problem = "byte " + std::to_string(static_cast<unsigned char>(c)) + " in \"" + line + "\"";
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

struct Header
{
    int frames, width, height, slowdown;
    Color color;
};

Color colorNamed(const std::string& word)
{
    const char* const names[] = {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"};
    for (int i = 0; i < 8; i++)
        if (word == names[i])
            return static_cast<Color>(i);
    return UNDEFINED_COLOR;
}

class SpriteFiles : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        LogManager::getInstance().startUp();
        ResourceManager::getInstance().startUp();
    }

    void TearDown() override
    {
        ResourceManager::getInstance().shutDown();
        LogManager::getInstance().shutDown();
    }

    const Sprite* load(const SpriteFile& entry)
    {
        EXPECT_EQ(ResourceManager::getInstance().loadSprite(dataPath(entry.file), entry.label), 0) << entry.file;
        return ResourceManager::getInstance().getSprite(entry.label);
    }

    // The rows of one frame, top to bottom.
    static std::vector<std::string> rows(const Sprite& sprite, int position)
    {
        const std::string text = sprite.getFrame(position).getString();
        std::vector<std::string> out;
        for (int r = 0; r < sprite.getHeight(); r++)
            out.push_back(text.substr(static_cast<std::size_t>(r * sprite.getWidth()), sprite.getWidth()));
        return out;
    }
};

} // namespace

// Read independently of the loader, then loaded: size, slowdown, colour and every frame's
// characters agree with the file, and nothing is logged.
TEST_F(SpriteFiles, EveryFileIsCrlfTextThatLoadsAsItsHeaderDeclares)
{
    for (const SpriteFile& entry : SPRITE_FILES)
    {
        SCOPED_TRACE(entry.file);
        std::string problem;
        const std::vector<std::string> lines = crlfLines(readBytes(dataPath(entry.file)), problem);
        EXPECT_EQ(problem, "");
        ASSERT_GE(lines.size(), 5u);
        const Header header{std::stoi(lines[0]), std::stoi(lines[1]), std::stoi(lines[2]), std::stoi(lines[3]),
                            colorNamed(lines[4])};
        EXPECT_NE(header.color, UNDEFINED_COLOR) << "colour line \"" << lines[4] << "\"";
        // Not black: every character is painted on a black box, so it would be invisible.
        EXPECT_NE(header.color, BLACK);
        ASSERT_GT(header.frames, 0);
        ASSERT_GT(header.width, 0);
        ASSERT_GT(header.height, 0);
        // No stray lines after the last row: what is there is what is drawn.
        ASSERT_EQ(lines.size(), 5u + static_cast<std::size_t>(header.frames * header.height));
        for (std::size_t i = 5; i < lines.size(); i++)
            EXPECT_EQ(lines[i].size(), static_cast<std::size_t>(header.width)) << "line " << i + 1;

        const Sprite* sprite = load(entry);
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->getWidth(), header.width);
        EXPECT_EQ(sprite->getHeight(), header.height);
        EXPECT_EQ(sprite->getFrameCount(), header.frames);
        EXPECT_EQ(sprite->getSlowdown(), header.slowdown);
        EXPECT_EQ(sprite->getColor(), header.color);
        for (int f = 0; f < header.frames; f++)
        {
            std::string expected;
            for (int r = 0; r < header.height; r++)
                expected += lines[5 + static_cast<std::size_t>(f * header.height + r)];
            EXPECT_EQ(sprite->getFrame(f).getString(), expected) << "frame " << f + 1;
        }
    }
    EXPECT_EQ(ks::test::logLines(), std::vector<std::string>());
}

// Sizes that the game's layout depends on.
TEST_F(SpriteFiles, PicturesFitTheirPlacesOnTheGrid)
{
    struct Limits
    {
        const char* label;
        int minWidth, maxWidth, minHeight, maxHeight, minFrames;
    };
    const Limits limits[] = {
        // A bullet is one cell, painted exactly at its position.
        {"bullet", 1, 1, 1, 1, 1},
        // The zombie shambles: more than one frame.
        {"zombie", 3, 7, 2, 4, 2},
        {"player", 3, 5, 2, 4, 1},
        {"reticle", 1, 5, 1, 3, 1},
        {"healthpack", 3, 7, 1, 3, 1},
        {"bulletpack", 3, 7, 1, 3, 1},
        // Centred on (40, 12), the title must stay inside the 80 x 24 grid.
        {"title", 40, 80, 12, 24, 1},
        // Centred on the dead player at (40, 12), the game-over picture must leave the
        // head-up display in rows 1 and 2 readable: its top row no higher than 4.
        {"gameoversprite", 20, 80, 5, 16, 1},
    };
    for (const SpriteFile& entry : SPRITE_FILES)
        load(entry);
    for (const Limits& l : limits)
    {
        SCOPED_TRACE(l.label);
        const Sprite* sprite = ResourceManager::getInstance().getSprite(l.label);
        ASSERT_NE(sprite, nullptr);
        EXPECT_GE(sprite->getWidth(), l.minWidth);
        EXPECT_LE(sprite->getWidth(), l.maxWidth);
        EXPECT_GE(sprite->getHeight(), l.minHeight);
        EXPECT_LE(sprite->getHeight(), l.maxHeight);
        EXPECT_GE(sprite->getFrameCount(), l.minFrames);
    }
    const Sprite* zombie = ResourceManager::getInstance().getSprite("zombie");
    ASSERT_NE(zombie, nullptr);
    // Slow enough to see each frame, fast enough to look alive (33 ms per draw).
    EXPECT_GE(zombie->getSlowdown(), 2);
    EXPECT_LE(zombie->getSlowdown(), 10);
}

// The title tells a new player every control in every frame of its animation, and the two
// power-ups can be told apart at a glance.
TEST_F(SpriteFiles, TitleNamesTheControlsAndPowerUpsDiffer)
{
    for (const SpriteFile& entry : SPRITE_FILES)
        load(entry);
    const Sprite* title = ResourceManager::getInstance().getSprite("title");
    ASSERT_NE(title, nullptr);
    const char* const words[] = {"W A S D", "walk",   "mouse", "aim",   "left",   "fire",
                                 "right",   "reload", "SPACE", "start", "Escape", "quit"};
    for (int f = 0; f < title->getFrameCount(); f++)
    {
        std::string text;
        for (const std::string& row : rows(*title, f))
            text += row + "\n";
        for (const char* word : words)
            EXPECT_NE(text.find(word), std::string::npos) << "frame " << f + 1 << " lacks \"" << word << "\"";
    }

    const Sprite* health = ResourceManager::getInstance().getSprite("healthpack");
    const Sprite* ammo = ResourceManager::getInstance().getSprite("bulletpack");
    ASSERT_NE(health, nullptr);
    ASSERT_NE(ammo, nullptr);
    EXPECT_NE(health->getColor(), ammo->getColor());
    for (int h = 0; h < health->getFrameCount(); h++)
        for (int a = 0; a < ammo->getFrameCount(); a++)
            EXPECT_NE(health->getFrame(h).getString(), ammo->getFrame(a).getString());
}

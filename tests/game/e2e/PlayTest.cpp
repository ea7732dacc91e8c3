// The game as a person plays it: the real program in its folder, keys and mouse through the
// X server, results read from the screen, the log file and the exit status.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "GameRun.h"
#include "SfmlCompat.h"

namespace fs = std::filesystem;
using namespace ks::e2e;

namespace {

// ---- what the screen should show ----

// The title picture is 72 by 19 cells centred on (40, 12).
PixelRect titleArea()
{
    return {cellBox(4, 3).left, cellBox(4, 3).top, cellBox(75, 21).right, cellBox(75, 21).bottom};
}

PixelRect wholeWindow()
{
    return {0, 0, 1024, 768};
}

// One line of the head-up display: its text, where it starts and its colour.
struct HudLine
{
    const char* text;
    int column;
    int row;
    bool (*colour)(sf::Color);
    const char* colourName;
};

// "Score: 0" is right-aligned so that it ends in column 79.
const HudLine HUD[] = {
    {"Health: 3", 1, 1, isRed, "red"},
    {"Ammo: 5", 1, 2, isWhite, "white"},
    {"Score: 0", 72, 1, isGreen, "green"},
};

// Empty if the three lines are where they belong, else what is wrong. Every visible character
// must have glyph pixels of its colour inside its cell, and the colour must not show up on
// the same row outside the line (one cell to the right is allowed for the last glyph's
// overhang, since no later box covers it).
std::string hudProblems(const sf::Image& shot)
{
    std::ostringstream problems;
    for (const HudLine& line : HUD)
    {
        const std::string text = line.text;
        const int last = line.column + static_cast<int>(text.size()) - 1;
        for (size_t i = 0; i < text.size(); ++i)
        {
            const int column = line.column + static_cast<int>(i);
            const int found = countPixels(shot, cellBox(column, line.row), line.colour);
            if (text[i] != ' ' && found < 8)
                problems << "'" << text[i] << "' of \"" << text << "\": only " << found << ' ' << line.colourName
                         << " pixels in cell (" << column << ", " << line.row << ")\n";
        }
        const PixelRect row = rowSpan(line.row, 0, 85);
        const PixelRect before = {row.left, row.top, cellBox(line.column, line.row).left, row.bottom};
        const PixelRect after = {cellBox(last + 2, line.row).left, row.top, row.right, row.bottom};
        const int stray = countPixels(shot, before, line.colour) + countPixels(shot, after, line.colour);
        if (stray > 0)
            problems << stray << ' ' << line.colourName << " pixels on row " << line.row << " outside \"" << text
                     << "\"\n";
    }
    return problems.str();
}

bool hudShown(const sf::Image& shot)
{
    return hudProblems(shot).empty();
}

bool titleShown(const sf::Image& shot)
{
    return countPixels(shot, titleArea(), isYellow) > 1000;
}

// Where the hunter (the only cyan thing on the screen) is, in pixels; x < 0 when not seen.
sf::Vector2f hunterCentre(const sf::Image& shot)
{
    double sx = 0, sy = 0;
    int n = 0;
    for (unsigned y = 0; y < shot.getSize().y; ++y)
        for (unsigned x = 0; x < shot.getSize().x; ++x)
            if (isCyan(ks::compat::getPixel(shot, x, y)))
            {
                sx += x;
                sy += y;
                ++n;
            }
    if (n == 0)
        return {-1.f, -1.f};
    return {static_cast<float>(sx / n), static_cast<float>(sy / n)};
}

// ---- the ammunition digit, read by comparison with our own rendering of each digit ----

// The digit of "Ammo: N" sits in column 7 of row 2; the strip reaches past the box to take
// in the glyph's overhang.
PixelRect ammoDigit()
{
    const PixelRect cell = cellBox(7, 2);
    return {cell.left, cell.top, cell.right + 8, cell.bottom};
}

// Each digit drawn the way the game draws a character (black box, then a bold glyph of size
// 24 at the cell's corner) with the game's own font, in a window of the game's size.
std::vector<sf::Image> renderDigits()
{
    sf::Font font;
    if (!ks::compat::openFont(font, KS_TEST_FONT))
        return {};
    auto window = ks::compat::makeWindow(1024, 768, 32, "ks-e2e-reference", sf::Style::Titlebar);
    sf::RectangleShape box({12.f, 32.f});
    box.setFillColor(sf::Color::Black);
    box.setPosition({12.f * 7 - 1.2f, 32.f * 2 + 6.4f});
    sf::Text text = ks::compat::makeText(font, "", 24);
    text.setStyle(sf::Text::Bold);
    text.setFillColor(sf::Color::White);
    text.setPosition({12.f * 7, 32.f * 2});
    std::vector<sf::Image> digits;
    for (char d = '0'; d <= '9'; ++d)
    {
        window->clear(sf::Color::Black);
        window->draw(box);
        text.setString(sf::String(d, std::locale()));
        window->draw(text);
        digits.push_back(ks::compat::captureWindow(*window));
    }
    window->close();
    return digits;
}

// The digit whose rendering is nearest to what the screen shows, or -1 when none is clearly
// nearer than the others (a zombie walking over the cell, say).
int readAmmo(const sf::Image& shot, const std::vector<sf::Image>& digits)
{
    std::vector<std::pair<long, int>> ranked;
    for (int d = 0; d < static_cast<int>(digits.size()); ++d)
        ranked.push_back({difference(shot, digits[d], ammoDigit()), d});
    if (ranked.size() < 2)
        return -1;
    std::sort(ranked.begin(), ranked.end());
    return ranked[0].first * 3 < ranked[1].first ? ranked[0].second : -1;
}

// "exit status 0", "signal 6 (Aborted)".
std::string describe(const Exit& end)
{
    if (end.exited)
        return "exit status " + std::to_string(end.status);
    return "signal " + std::to_string(end.status) + " (" + strsignal(end.status) + ")";
}

// The one-minute load average divided by the number of processors.
double loadPerCore()
{
    double load = 0;
    std::ifstream("/proc/loadavg") >> load;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return load / cores;
}

// ---- the log ----

const char* const PREFIX = " Message : ";

std::vector<std::string> messages(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const std::string& line : lines)
        out.push_back(line.rfind(PREFIX, 0) == 0 ? line.substr(std::string(PREFIX).size()) : line);
    return out;
}

// The lines a failed load writes; none may appear when every file is there.
bool isLoadFailure(const std::string& message)
{
    return message.rfind("error opening sprite file for ", 0) == 0 || message == "failed to load sound" ||
           message == "Unable to load from file" || message == "failed to load music from file" ||
           message == "failed to open font file";
}

// What a folder holding nothing but the program logs up to "Game start", in order: the font
// first (display start-up), then one failure per resource in the order the game loads them.
std::vector<std::string> expectedFailuresWithoutData()
{
    std::vector<std::string> lines = {"failed to open font file"};
    for (const char* label :
         {"bullet", "zombie", "player", "gameoversprite", "title", "reticle", "healthpack", "bulletpack"})
        lines.push_back(std::string("error opening sprite file for ") + label);
    auto sound = [&lines] {
        lines.push_back("failed to load sound");
        lines.push_back("Unable to load from file");
    };
    for (int i = 0; i < 8; ++i)
        sound();
    lines.push_back("failed to load music from file");
    lines.push_back("Unable to load from file");
    sound(); // the game-over sound is loaded after the music
    lines.push_back("Game start");
    return lines;
}

// ---- the fixture ----

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* display = std::getenv("DISPLAY");
        ASSERT_TRUE(display != nullptr && *display != '\0') << "these tests need an X display in DISPLAY";
        hold = std::make_unique<DisplayHold>();
        ASSERT_TRUE(hold->connected()) << "cannot connect to the display " << display;
        ASSERT_EQ(shell("xdotool version >/dev/null 2>&1"), 0) << "xdotool is missing";
        // A test killed while holding a key leaves it down on the server for everyone after.
        shell("xdotool keyup w a s d");
        ASSERT_TRUE(fs::exists(fs::path(KS_GAME_DIR) / "kestrane")) << "no game built in " << KS_GAME_DIR;
    }

    void TearDown() override
    {
        if (game && HasFailure())
        {
            game->saveScreenshots();
            std::cout << "log, program output and screenshots: " << game->folder() << std::endl;
        }
        game.reset();
    }

    // Starts the game in a fresh folder and waits for its window (window() stays 0 if none
    // appeared).
    GameRun& launch(bool withData)
    {
        game = std::make_unique<GameRun>(gameFolder(withData));
        game->waitForWindow();
        return *game;
    }

    // A fresh folder for this test under the build tree, kept afterwards. With data it
    // mirrors the game folder through links; without, it holds a copy of the program and
    // nothing else.
    std::string gameFolder(bool withData)
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const fs::path folder = fs::path(KS_E2E_WORK_DIR) / (std::string(info->test_suite_name()) + "." + info->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        const fs::path game = KS_GAME_DIR;
        if (!withData)
        {
            fs::copy_file(game / "kestrane", folder / "kestrane");
            return folder.string();
        }
        for (const auto& entry : fs::directory_iterator(game))
        {
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && name != "Kestrane Log.log" && entry.path().extension() != ".png")
                fs::create_symlink(entry.path(), folder / name);
        }
        return folder.string();
    }

    // Escape ends the program with status 0 within a second, from the title or from play.
    static void expectEscapeQuits(GameRun& game)
    {
        if (!game.running())
            FAIL() << "the game ended before Escape: " << describe(game.waitForExit(Millis(0)));
        game.key("Escape");
        const Exit end = game.waitForExit(Millis(5000));
        EXPECT_TRUE(end.exited && end.status == 0) << describe(end) << " (SIGKILL: still running after 5 s)";
        // A second is the promise. On a machine whose run queue is far longer than its cores
        // the game does not get the processor to keep it, so there the allowance is wider.
        const double load = loadPerCore();
        const long allowed = load > 2.0 ? 3000 : 1000;
        EXPECT_LE(end.after.count(), allowed)
            << "Escape took " << end.after.count() << " ms to end the program (load per core " << load << ")";
        std::cout << "Escape ended the program in " << end.after.count() << " ms, load per core " << load << std::endl;
    }

    static void settle(Millis time = Millis(200))
    {
        std::this_thread::sleep_for(time);
    }

    std::unique_ptr<DisplayHold> hold; // outlives the game: released by the fixture last
    std::unique_ptr<GameRun> game;
};

TEST_F(EndToEnd, TitleScreenShowsTheTitleAndEscapeQuits)
{
    GameRun& game = launch(true);
    ASSERT_NE(game.window(), 0u) << "no window titled Kestrane appeared";

    const sf::Image title = game.screenshotUntil("title", titleShown);
    EXPECT_GT(countPixels(title, titleArea(), isYellow), 1000) << "no title picture in the middle of the window";
    // Nothing of a game yet: the rows of the head-up display are empty, and nothing is drawn
    // outside the title.
    EXPECT_EQ(countPixels(title, {0, 0, 1024, cellBox(0, 3).top - 1}, isNotBlack), 0);
    EXPECT_EQ(countPixels(title, {cellBox(77, 0).left, 0, 1024, 768}, isNotBlack), 0);

    // With every file present nothing fails to load.
    const std::vector<std::string> log = messages(game.logLines());
    EXPECT_NE(std::find(log.begin(), log.end(), "Game start"), log.end());
    for (const std::string& line : log)
        EXPECT_FALSE(isLoadFailure(line)) << "logged: " << line;

    // A person reads the title for a moment before quitting; the first second also holds the
    // graphics driver's one-off start-up work, which a busy machine stretches out.
    settle(Millis(1000));
    expectEscapeQuits(game);
}

TEST_F(EndToEnd, SpaceStartsPlayAndWasdWalksTheHunter)
{
    GameRun& game = launch(true);
    ASSERT_NE(game.window(), 0u) << "no window titled Kestrane appeared";
    ASSERT_TRUE(titleShown(game.screenshotUntil("title", titleShown)));

    game.key("space");
    const sf::Image play = game.screenshotUntil("play", hudShown, Millis(3000));
    EXPECT_EQ(hudProblems(play), "");
    EXPECT_LT(countPixels(play, titleArea(), isYellow), 50) << "the title is still drawn";
    EXPECT_GT(countPixels(play, rowSpan(12, 39, 41), isCyan), 20) << "no hunter in the middle";

    // A held key walks the hunter its way (1 cell a step sideways, 0.3 up and down) and
    // releasing it stops him. How far he gets depends on how many steps pass, so the key is
    // held until he has clearly moved, however slowly the machine runs the game.
    struct Walk
    {
        const char* key;
        int dx, dy; // direction of the expected motion
    };
    sf::Vector2f from = hunterCentre(play);
    ASSERT_GE(from.x, 0.f) << "hunter not seen";
    for (const Walk walk : {Walk{"d", 1, 0}, Walk{"s", 0, 1}, Walk{"a", -1, 0}, Walk{"w", 0, -1}})
    {
        SCOPED_TRACE(walk.key);
        const std::string key = walk.key;
        const float least = walk.dx != 0 ? 24.f : 16.f; // two steps or more
        auto along = [&](sf::Vector2f at) {
            return (at.x - from.x) * walk.dx + (at.y - from.y) * walk.dy;
        };
        auto across = [&](sf::Vector2f at) {
            return std::abs((at.x - from.x) * walk.dy + (at.y - from.y) * walk.dx);
        };
        auto farEnough = [&](const sf::Image& shot) {
            const sf::Vector2f at = hunterCentre(shot);
            return at.x >= 0 && along(at) >= least;
        };

        game.keyDown(key);
        game.screenshotUntil("walking-" + key, farEnough, Millis(4000));
        game.keyUp(key);
        settle(Millis(300));
        const sf::Vector2f stopped = hunterCentre(game.screenshot("stopped-" + key));
        settle(Millis(300));
        const sf::Vector2f still = hunterCentre(game.screenshot("still-" + key));

        ASSERT_GE(stopped.x, 0.f) << "hunter not seen";
        ASSERT_GE(still.x, 0.f) << "hunter not seen";
        EXPECT_GE(along(stopped), least) << "moved " << stopped.x - from.x << ", " << stopped.y - from.y;
        EXPECT_LE(across(stopped), 8.f) << "moved " << stopped.x - from.x << ", " << stopped.y - from.y;
        EXPECT_LE(std::abs(still.x - stopped.x) + std::abs(still.y - stopped.y), 1.f)
            << "still walking after the key was released";
        from = still;
    }

    expectEscapeQuits(game);
}

TEST_F(EndToEnd, LeftClickSpendsOneShotAndRightClickReloads)
{
    const std::vector<sf::Image> digits = renderDigits();
    ASSERT_EQ(digits.size(), 10u) << "cannot render reference digits with " << KS_TEST_FONT;

    GameRun& game = launch(true);
    ASSERT_NE(game.window(), 0u) << "no window titled Kestrane appeared";
    ASSERT_TRUE(titleShown(game.screenshotUntil("title", titleShown)));
    game.key("space");
    const sf::Image full = game.screenshotUntil("play", hudShown, Millis(3000));
    ASSERT_EQ(hudProblems(full), "");
    ASSERT_EQ(readAmmo(full, digits), 5);

    // Aim down and to the right, away from the head-up display, then fire once.
    game.moveMouse(700, 650);
    settle();
    game.click(1);
    auto showing = [&digits](int n) {
        return [&digits, n](const sf::Image& s) {
            return readAmmo(s, digits) == n;
        };
    };
    const sf::Image fired = game.screenshotUntil("fired", showing(4), Millis(3000));
    EXPECT_EQ(readAmmo(fired, digits), 4) << "\"Ammo: 4\" expected after one shot";
    EXPECT_GT(difference(full, fired, ammoDigit()), 0);

    // An early reload empties the magazine, and it is full again a moment later.
    game.click(3);
    const sf::Image emptied = game.screenshotUntil("reloading", showing(0), Millis(3000));
    EXPECT_EQ(readAmmo(emptied, digits), 0) << "\"Ammo: 0\" expected during the reload";
    const sf::Image refilled = game.screenshotUntil("reloaded", showing(5), Millis(6000));
    EXPECT_EQ(readAmmo(refilled, digits), 5) << "\"Ammo: 5\" expected after the reload";

    expectEscapeQuits(game);
}

TEST_F(EndToEnd, WithoutDataFilesEveryLoadFailureIsLoggedAndTheGameStillRuns)
{
    GameRun& game = launch(false);
    ASSERT_NE(game.window(), 0u) << "no window titled Kestrane appeared";

    // Every load has failed by the time the loop runs, each with its line, before "Game start".
    std::vector<std::string> failures;
    for (int i = 0; i < 100; ++i)
    {
        const std::vector<std::string> log = messages(game.logLines());
        if (std::find(log.begin(), log.end(), "Game start") != log.end())
        {
            failures.clear();
            for (const std::string& line : log)
            {
                if (isLoadFailure(line) || line == "Game start")
                    failures.push_back(line);
                if (line == "Game start")
                    break;
            }
            break;
        }
        settle(Millis(50));
    }
    EXPECT_EQ(failures, expectedFailuresWithoutData());

    // No font and no title picture: the cells paint only black boxes.
    settle();
    const sf::Image title = game.screenshot("title");
    ASSERT_EQ(title.getSize().x, 1024u);
    EXPECT_EQ(countPixels(title, wholeWindow(), isNotBlack), 0);

    // A game with nothing to show or play still starts, walks, fires and reloads.
    game.key("space");
    settle();
    game.moveMouse(700, 650);
    game.keyDown("d");
    settle();
    game.keyUp("d");
    game.click(1);
    game.click(3);
    settle();
    if (!game.running())
        FAIL() << "the game ended while playing without its files: " << describe(game.waitForExit(Millis(0)));
    // Nothing but the head-up display is drawn, and without a font its characters leave at
    // most a speck each: the rest of the window stays black.
    const sf::Image play = game.screenshot("play");
    EXPECT_EQ(countPixels(play, {0, cellBox(0, 3).top, 1024, 768}, isNotBlack), 0);
    EXPECT_LT(countPixels(play, wholeWindow(), isNotBlack), 24 * 4) << "more than a speck per character";

    expectEscapeQuits(game);
}

} // namespace

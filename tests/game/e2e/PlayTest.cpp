// The real program played through the X server, judged by its screen, its log and its exit status.
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

#include "GameRun.h"
#include "SfmlCompat.h"

namespace fs = std::filesystem;
using namespace ks::e2e;
using std::this_thread::sleep_for;

namespace {

struct PixelRect
{
    int left, top, right, bottom; // half-open
};

// The glyph of cell (c, r) is drawn from pixel (12c, 32r) and its black box covers x from
// 12c - 1.2 and y from 32r + 6.4, 12 by 32 pixels: these are the pixels wholly inside the box.
constexpr PixelRect cellBox(int column, int row)
{
    return {12 * column - 1, 32 * row + 7, 12 * column + 10, 32 * row + 38};
}

constexpr PixelRect WHOLE_WINDOW = {0, 0, 1024, 768};
// The title picture is 72 by 19 cells centred on (40, 12).
constexpr PixelRect TITLE = {cellBox(4, 3).left, cellBox(4, 3).top, cellBox(75, 21).right, cellBox(75, 21).bottom};

// Whether a pixel is of a glyph in `target` (channels full or off; Transparent: anything not black):
// anti-aliased edges are dimmer, so lit channels need only be bright and alike, the others far darker.
const sf::Color ANY = sf::Color::Transparent;
bool looksLike(sf::Color c, sf::Color target)
{
    if (target == ANY)
        return c.r + c.g + c.b > 30;
    int low = 255, high = 0, dark = 0;
    for (auto [value, wanted] : {std::pair{c.r, target.r}, {c.g, target.g}, {c.b, target.b}})
        if (wanted != 0)
            low = std::min<int>(low, value), high = std::max<int>(high, value);
        else
            dark = std::max<int>(dark, value);
    return low >= 96 && high - low <= 40 && dark * 4 <= low;
}

// Calls f(x, y, colour) for the pixels of `rect` that lie in the image.
template <typename F>
void eachPixel(const sf::Image& image, PixelRect rect, F f)
{
    const int width = int(image.getSize().x), height = int(image.getSize().y);
    for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, height); ++y)
        for (int x = std::max(rect.left, 0); x < std::min(rect.right, width); ++x)
            f(x, y, ks::compat::getPixel(image, unsigned(x), unsigned(y)));
}

int countPixels(const sf::Image& image, PixelRect rect, sf::Color colour)
{
    int count = 0;
    eachPixel(image, rect, [&](int, int, sf::Color c) {
        count += looksLike(c, colour);
    });
    return count;
}

// What is wrong with the HUD: each character needs pixels of its colour in its cell, and the colour may
// show nowhere else on the row but one cell right of the text (the last glyph's overhang).
std::string hudProblems(const sf::Image& shot)
{
    struct Line
    {
        std::string text;
        int column, row;
        sf::Color colour;
    };
    std::ostringstream problems;
    for (const Line& line : {Line{"Health: 3", 1, 1, sf::Color::Red}, Line{"Ammo: 5", 1, 2, sf::Color::White},
                             Line{"Score: 0", 72, 1, sf::Color::Green}}) // ends in column 79
    {
        const int last = line.column + int(line.text.size()) - 1;
        for (int column = line.column; column <= last; ++column)
        {
            const int found = countPixels(shot, cellBox(column, line.row), line.colour);
            if (line.text[column - line.column] != ' ' && found < 8)
                problems << "only " << found << " pixels of its colour in cell (" << column << ", " << line.row
                         << ") of \"" << line.text << "\"\n";
        }
        const int top = cellBox(0, line.row).top, bottom = cellBox(0, line.row).bottom;
        const int stray =
            countPixels(shot, {0, top, 1024, bottom}, line.colour) -
            countPixels(shot, {cellBox(line.column, 0).left, top, cellBox(last + 2, 0).left, bottom}, line.colour);
        if (stray > 0)
            problems << stray << " pixels of the colour of \"" << line.text << "\" on row " << line.row
                     << " outside it\n";
    }
    return problems.str();
}

bool hudShown(const sf::Image& shot)
{
    return hudProblems(shot).empty();
}

bool titleShown(const sf::Image& shot)
{
    return countPixels(shot, TITLE, sf::Color::Yellow) > 1000;
}

// Where the hunter (the only cyan thing on the screen) is, in pixels; x < 0 when not seen.
sf::Vector2f hunterCentre(const sf::Image& shot)
{
    double sx = 0, sy = 0;
    int n = 0;
    eachPixel(shot, WHOLE_WINDOW, [&](int x, int y, sf::Color c) {
        if (looksLike(c, sf::Color::Cyan))
            sx += x, sy += y, ++n;
    });
    return n == 0 ? sf::Vector2f(-1.f, -1.f) : sf::Vector2f(float(sx / n), float(sy / n));
}

// The digit of "Ammo: N" in column 7 of row 2, with the glyph's overhang past the box.
constexpr PixelRect AMMO_DIGIT = {cellBox(7, 2).left, cellBox(7, 2).top, cellBox(7, 2).right + 8, cellBox(7, 2).bottom};

// Each digit drawn the game's way (bold, size 24, at the cell's corner, game's font and window size).
std::vector<sf::Image> renderDigits()
{
    sf::Font font;
    if (!ks::compat::openFont(font, KS_TEST_FONT))
        return {};
    auto window = ks::compat::makeWindow(1024, 768, 32, "ks-e2e-reference", sf::Style::Titlebar);
    sf::Text text = ks::compat::makeText(font, "", 24);
    text.setStyle(sf::Text::Bold);
    text.setPosition({12.f * 7, 32.f * 2});
    std::vector<sf::Image> digits;
    for (char d = '0'; d <= '9'; ++d)
    {
        window->clear(sf::Color::Black);
        text.setString(sf::String(d, std::locale()));
        window->draw(text);
        digits.push_back(ks::compat::captureWindow(*window));
    }
    return digits;
}

// The digit drawn nearest to the screen's, or -1 if none is clearly nearest (a zombie over it, say).
int readAmmo(const sf::Image& shot, const std::vector<sf::Image>& digits)
{
    std::vector<std::pair<long, int>> ranked;
    for (int d = 0; d < int(digits.size()); ++d)
    {
        ranked.push_back({0, d});
        eachPixel(shot, AMMO_DIGIT, [&](int x, int y, sf::Color p) {
            const sf::Color q = ks::compat::getPixel(digits[d], unsigned(x), unsigned(y));
            ranked.back().first += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        });
    }
    std::sort(ranked.begin(), ranked.end());
    return ranked.size() >= 2 && ranked[0].first * 3 < ranked[1].first ? ranked[0].second : -1;
}

bool isLoadFailure(const std::string& message)
{
    return message.rfind("error opening sprite file for ", 0) == 0 || message == "failed to load sound" ||
           message == "Unable to load from file" || message == "failed to load music from file" ||
           message == "failed to open font file";
}

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(holdDisplay()) << "no X display to connect to in DISPLAY";
        // A test killed while holding a key leaves it down on the server for everyone after.
        ASSERT_EQ(shell("xdotool keyup w a s d"), 0) << "xdotool is missing";
    }

    void TearDown() override
    {
        if (game && HasFailure())
        {
            for (const auto& [name, image] : game->shots)
                static_cast<void>(image.saveToFile(game->dir + "/" + name + ".png"));
            std::cout << "log, program output and screenshots: " << game->dir << std::endl;
        }
    }

    // Starts the game in a fresh folder of the test's own holding links to the data files or only
    // the program; with `play`, Space then leaves the title and `shot` shows the HUD.
    void launch(bool withData, bool play = false)
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const fs::path folder = fs::path(KS_E2E_WORK_DIR) / (std::string(info->test_suite_name()) + "." + info->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const auto& entry : fs::directory_iterator(KS_GAME_DIR))
        {
            const fs::path name = entry.path().filename();
            if (!withData && name == "kestrane")
                fs::copy_file(entry.path(), folder / name);
            else if (withData && entry.is_regular_file() && name != "Kestrane Log.log" && name.extension() != ".png")
                fs::create_symlink(entry.path(), folder / name);
        }
        game = std::make_unique<GameRun>(folder.string());
        ASSERT_TRUE(game->waitForWindow()) << "no window titled Kestrane appeared";
        if (!play)
            return;
        ASSERT_TRUE(titleShown(game->screenshotUntil("title", titleShown)));
        game->xdotool("key space");
        shot = game->screenshotUntil("play", hudShown, Millis(3000));
        ASSERT_EQ(hudProblems(shot), "");
    }

    // Escape ends the program with status 0 within a second, from the title or from play.
    void expectEscapeQuits()
    {
        ASSERT_TRUE(game->running()) << "the game ended before Escape: " << game->waitForExit(Millis(0));
        game->xdotool("key Escape");
        const auto begin = Clock::now();
        EXPECT_EQ(game->waitForExit(Millis(5000)), "exit status 0");
        const auto ms = std::chrono::duration_cast<Millis>(Clock::now() - begin).count();
        // Where the run queue is far longer than the cores the game may not get the processor in time.
        double load = 0;
        std::ifstream("/proc/loadavg") >> load;
        load /= std::max(1u, std::thread::hardware_concurrency());
        EXPECT_LE(ms, load > 2.0 ? 3000 : 1000) << "Escape took " << ms << " ms (load per core " << load << ")";
    }

    std::unique_ptr<GameRun> game;
    sf::Image shot;
};

TEST_F(EndToEnd, TitleScreenShowsTheTitleAndEscapeQuits)
{
    ASSERT_NO_FATAL_FAILURE(launch(true));
    const sf::Image title = game->screenshotUntil("title", titleShown);
    EXPECT_TRUE(titleShown(title)) << "no title picture in the middle of the window";
    // No game yet: the rows of the head-up display are empty, and nothing is right of the title.
    EXPECT_EQ(countPixels(title, {0, 0, 1024, cellBox(0, 3).top - 1}, ANY), 0);
    EXPECT_EQ(countPixels(title, {cellBox(77, 0).left, 0, 1024, 768}, ANY), 0);

    // With every file present nothing fails to load.
    const std::vector<std::string> log = game->logMessages();
    EXPECT_NE(std::find(log.begin(), log.end(), "Game start"), log.end());
    for (const std::string& line : log)
        EXPECT_FALSE(isLoadFailure(line)) << "logged: " << line;

    // A person reads the title a moment; the first second also holds the driver's start-up work.
    sleep_for(Millis(1000));
    expectEscapeQuits();
}

TEST_F(EndToEnd, SpaceStartsPlayAndWasdWalksTheHunter)
{
    ASSERT_NO_FATAL_FAILURE(launch(true, true));
    EXPECT_LT(countPixels(shot, TITLE, sf::Color::Yellow), 50) << "the title is still drawn";
    // Cells 39 to 41 of row 12.
    EXPECT_GT(countPixels(shot, {467, 391, 502, 422}, sf::Color::Cyan), 20) << "no hunter in the middle";

    // A held key walks the hunter its way (1 cell a step sideways, 0.3 up and down), held until he has
    // clearly moved however slowly the game runs; releasing it stops him.
    sf::Vector2f from = hunterCentre(shot);
    ASSERT_GE(from.x, 0.f) << "hunter not seen";
    for (const auto& [key, dx, dy] : {std::tuple{"d", 1, 0}, {"s", 0, 1}, {"a", -1, 0}, {"w", 0, -1}})
    {
        SCOPED_TRACE(key);
        const float least = dx != 0 ? 24.f : 16.f; // two steps or more
        auto along = [&, dx = dx, dy = dy](sf::Vector2f at) {
            return (at.x - from.x) * dx + (at.y - from.y) * dy;
        };
        game->xdotool(std::string("keydown ") + key);
        auto walked = [&](const sf::Image& picture) {
            return hunterCentre(picture).x >= 0 && along(hunterCentre(picture)) >= least;
        };
        game->screenshotUntil(std::string("walking-") + key, walked, Millis(4000));
        shell(std::string("xdotool keyup ") + key);
        sleep_for(Millis(300));
        const sf::Vector2f stopped = hunterCentre(game->screenshot(std::string("stopped-") + key));
        sleep_for(Millis(300));
        const sf::Vector2f still = hunterCentre(game->screenshot(std::string("still-") + key));
        ASSERT_GE(std::min(stopped.x, still.x), 0.f) << "hunter not seen";
        const sf::Vector2f moved = stopped - from;
        EXPECT_GE(along(stopped), least) << "moved " << moved.x << ", " << moved.y;
        EXPECT_LE(std::abs(moved.x * dy + moved.y * dx), 8.f) << "moved " << moved.x << ", " << moved.y;
        EXPECT_LE(std::abs(still.x - stopped.x) + std::abs(still.y - stopped.y), 1.f)
            << "still walking after the key was released";
        from = still;
    }
    expectEscapeQuits();
}

TEST_F(EndToEnd, LeftClickSpendsOneShotAndRightClickReloads)
{
    const std::vector<sf::Image> digits = renderDigits();
    ASSERT_EQ(digits.size(), 10u) << "cannot render reference digits with " << KS_TEST_FONT;
    ASSERT_NO_FATAL_FAILURE(launch(true, true));

    // Aim down and to the right, away from the head-up display, fire once, then reload early:
    // that empties the magazine, and it is full again a moment later.
    game->xdotool("mousemove --window " + std::to_string(game->window) + " 700 650");
    sleep_for(Millis(200));
    for (const auto& [button, ammo, when, limit] : {std::tuple{"", 5, "at the start", 3000},
                                                    {"click 1", 4, "after one shot", 3000},
                                                    {"click 3", 0, "during the reload", 3000},
                                                    {"", 5, "after the reload", 6000}})
    {
        if (*button != 0)
            game->xdotool(button);
        auto showing = [&, ammo = ammo](const sf::Image& picture) {
            return readAmmo(picture, digits) == ammo;
        };
        EXPECT_EQ(readAmmo(game->screenshotUntil(when, showing, Millis(limit)), digits), ammo)
            << "\"Ammo: " << ammo << "\" expected " << when;
    }
    expectEscapeQuits();
}

TEST_F(EndToEnd, WithoutDataFilesEveryLoadFailureIsLoggedAndTheGameStillRuns)
{
    ASSERT_NO_FATAL_FAILURE(launch(false));

    // Every load fails with its line before "Game start": the font (display start-up), then the
    // sprites, eight sounds, the music and the game-over sound, in the order the game loads them.
    std::vector<std::string> expected = {"failed to open font file"};
    for (const char* label :
         {"bullet", "zombie", "player", "gameoversprite", "title", "reticle", "healthpack", "bulletpack"})
        expected.push_back(std::string("error opening sprite file for ") + label);
    for (int i = 0; i < 10; ++i)
        expected.insert(expected.end(), {i == 8 ? "failed to load music from file" : "failed to load sound",
                                         "Unable to load from file"});
    expected.push_back("Game start");
    std::vector<std::string> log;
    for (int i = 0;
         i < 100 && (log = game->logMessages(), std::find(log.begin(), log.end(), "Game start") == log.end()); ++i)
        sleep_for(Millis(50));
    std::vector<std::string> failures;
    const auto start = std::find(log.begin(), log.end(), "Game start");
    std::copy_if(log.begin(), start, std::back_inserter(failures), isLoadFailure);
    failures.insert(failures.end(), start, std::min(start + 1, log.end()));
    EXPECT_EQ(failures, expected);

    // No font and no title picture: the cells paint only black boxes.
    sleep_for(Millis(200));
    const sf::Image title = game->screenshot("title");
    ASSERT_EQ(title.getSize().x, 1024u);
    EXPECT_EQ(countPixels(title, WHOLE_WINDOW, ANY), 0);
    expectEscapeQuits();
}

} // namespace

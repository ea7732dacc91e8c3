// The player's step handler: reloads counted in steps, and walking with held keys. Each step
// reads the live keyboard, so these tests keep a window open; the walking test holds keys
// on the X server with xdotool.
#include "GameTest.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <SFML/Window/Keyboard.hpp>

#include "DisplayManager.h"
#include "player.h"
#include "reticle.h"

namespace ks::test {
namespace {

class PlayerSteps : public GameTest
{
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        installFont();
        DisplayManager::getInstance().startUp();
        new reticle;
    }
    void TearDown() override
    {
        GameTest::TearDown();
        DisplayManager::getInstance().shutDown();
    }
};

// Left clicks until one makes no bullet; the number of shots that came out.
int emptyMagazine(Object* hunter)
{
    const int before = countOf("bullet");
    for (int i = 0; i < 20; i++)
        click(hunter, Mouse::LEFT);
    return countOf("bullet") - before;
}

TEST_F(PlayerSteps, MagazineRefillsSixtyStepsAfterTheLastShotOrFortyFiveAfterARightClick)
{
    const struct { int shots; bool rightClick; int steps; } rows[] = {{5, false, 60}, {2, true, 45}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.steps);
        Object* hunter = new player;
        const int reloads = soundsPlayed("reload");
        for (int i = 0; i < row.shots; i++)
            click(hunter, Mouse::LEFT);
        if (row.rightClick)
            click(hunter, Mouse::RIGHT);
        for (int i = 1; i < row.steps; i++) {
            step(hunter);
            if (i == 10) // clicks during the reload neither fire nor restart it
                click(hunter, Mouse::RIGHT);
        }
        EXPECT_EQ(emptyMagazine(hunter), 0);
        EXPECT_EQ(soundsPlayed("reload"), reloads);
        step(hunter);
        EXPECT_EQ(soundsPlayed("reload"), reloads + 1);
        EXPECT_EQ(emptyMagazine(hunter), 5);
        WorldManager::getInstance().markForDelete(hunter);
        WorldManager::getInstance().update();
    }
    EXPECT_EQ(soundsPlayed("fire"), 17);
}

TEST_F(PlayerSteps, BulletPackGrowsTheClipRefillsItAndCancelsAReload)
{
    Object* hunter = new player;
    Object* pack = thing("bulletpack", Vector(0, 0));
    collide(hunter, hunter, pack); // with a full magazine: 6 of 6
    click(hunter, Mouse::RIGHT);
    for (int i = 0; i < 10; i++)
        step(hunter);
    collide(hunter, pack, hunter); // during the reload: 7 of 7 at once
    EXPECT_EQ(soundsPlayed("bulletpacksound"), 2);
    for (int i = 0; i < 40; i++) // past the end of the cancelled reload
        step(hunter);
    EXPECT_EQ(soundsPlayed("reload"), 0);
    EXPECT_EQ(emptyMagazine(hunter), 7);
    for (int i = 0; i < 60; i++)
        step(hunter);
    EXPECT_EQ(soundsPlayed("reload"), 1);
    EXPECT_EQ(emptyMagazine(hunter), 7);
}

// Holds some of the keys w, a, s, d on the X server while it lives, each time waiting until
// SFML's live keyboard state shows the change.
class HeldKeys
{
public:
    explicit HeldKeys(const std::string& keys) : keys(keys) { change("keydown", true); }
    ~HeldKeys() { change("keyup", false); }

private:
    void change(const std::string& action, bool down) const
    {
        if (!keys.empty()) {
            EXPECT_EQ(std::system(("xdotool " + action + " " + keys).c_str()), 0);
        }
        const sf::Keyboard::Key codes[] = {sf::Keyboard::Key::W, sf::Keyboard::Key::A, sf::Keyboard::Key::S,
                                           sf::Keyboard::Key::D};
        for (int wait = 0; wait < 200; wait++) {
            bool settled = true;
            for (int i = 0; i < 4; i++)
                settled &= keys.find("wasd"[i]) == std::string::npos || sf::Keyboard::isKeyPressed(codes[i]) == down;
            if (settled)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    std::string keys;
};

TEST_F(PlayerSteps, HeldKeysWalkFromTheBoundsTestedBeforeTheMove)
{
    if (std::system("command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "xdotool is needed to hold keys";
    Object* hunter = new player;
    const struct { const char* keys; float x, y, x1, y1, x2, y2; } rows[] = {
        {"w", 40, 12, 40, 12 - 0.3f, 40, 12 - 0.6f},  {"s", 40, 12, 40, 12.3f, 40, 12.6f},
        {"a", 40, 12, 39, 12, 38, 12},                {"d", 40, 12, 41, 12, 42, 12},
        {"w s", 40, 12, 40, 12, 40, 12},              {"w d", 40, 12, 41, 12 - 0.3f, 42, 12 - 0.6f},
        {"w", 40, 0.1f, 40, 0.1f - 0.3f, 40, 0.1f - 0.3f}, {"s", 40, 24, 40, 24.3f, 40, 24.3f},
        {"a", 0, 5, -1, 5, -1, 5},                    {"d", 80, 5, 81, 5, 81, 5},
        {"", 40, 12, 40, 12, 40, 12},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.keys) + " from " + std::to_string(row.x) + "," + std::to_string(row.y));
        HeldKeys held(row.keys);
        hunter->setPosition(Vector(row.x, row.y));
        step(hunter);
        WorldManager::getInstance().update();
        EXPECT_FLOAT_EQ(hunter->getPosition().getX(), row.x1);
        EXPECT_FLOAT_EQ(hunter->getPosition().getY(), row.y1);
        step(hunter);
        WorldManager::getInstance().update();
        EXPECT_FLOAT_EQ(hunter->getPosition().getX(), row.x2);
        EXPECT_FLOAT_EQ(hunter->getPosition().getY(), row.y2);
    }
    // Opposite keys cancel, yet the speed is 1.
    HeldKeys held("a d");
    step(hunter);
    EXPECT_EQ(hunter->getSpeed(), 1);
}

} // namespace
} // namespace ks::test

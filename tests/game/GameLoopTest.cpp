// Rules that play out over steps, where each step reads the live keyboard, so a window is
// open: the player's walk against the edges under held keys, its reloads counted in steps, and one whole game through
// the real loop with the game's own sprites and sounds (the title, a shot zombie, bites until death, the game-over
// sequence, the title again and ESCAPE). Built with the sanitizers, that game also shows that
// a whole game leaks nothing.
#include "GameTest.h"

#include <cstdlib>
#include <string>

#include "DisplayManager.h"
#include "resources.h"

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
    const struct
    {
        int shots;
        bool rightClick;
        int steps;
    } rows[] = {{5, false, 60}, {2, true, 45}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.steps);
        Object* hunter = new player;
        const int reloads = soundsPlayed("reload");
        for (int i = 0; i < row.shots; i++)
            click(hunter, Mouse::LEFT);
        if (row.rightClick)
            click(hunter, Mouse::RIGHT);
        for (int i = 1; i < row.steps; i++)
        {
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

// Held keys come from the keyboard itself (xdotool holds them). Each edge is tested, inclusive,
// on the position before the move: from the edge the hunter takes one more step, then stays.
TEST_F(PlayerSteps, HeldKeysWalkTheHunterOneStepPastAnEdgeAndNoFurther)
{
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xdotool is not installed";
    const struct
    {
        std::string key;
        Vector start, end;
    } rows[] = {{"d", Vector(80, 12), Vector(81, 12)},
                {"a", Vector(0, 12), Vector(-1, 12)},
                {"w", Vector(40, 0), Vector(40, -0.3f)},
                {"s", Vector(40, 24), Vector(40, 24.3f)}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.key);
        Object* hunter = new player;
        hunter->setPosition(row.start);
        ASSERT_EQ(std::system(("timeout 10 xdotool keydown " + row.key).c_str()), 0);
        for (int i = 0; i < 4; i++)
        {
            step(hunter);
            WorldManager::getInstance().update();
        }
        const int released = std::system(("timeout 10 xdotool keyup " + row.key).c_str());
        EXPECT_NEAR(hunter->getPosition().getX(), row.end.getX(), 1e-5);
        EXPECT_NEAR(hunter->getPosition().getY(), row.end.getY(), 1e-5);
        ASSERT_EQ(released, 0);
        WorldManager::getInstance().markForDelete(hunter);
        WorldManager::getInstance().update();
    }
}

TEST_F(PlayerSteps, BulletPackGrowsTheClipRefillsItAndCancelsAReload)
{
    Object* hunter = new player;
    Object* pack = thing("bulletpack");
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

// Outlives the script object, which the game-over sequence deletes.
int steps = 0, deathStep = -1, titleStep = -1, score = 0;

class scripted : public Object
{
public:
    scripted()
    {
        setType("script");
    }
    ~scripted() override
    {
        if (titleStep < 0) // swept away with everything else at the end of the game-over sequence
            new scripted;
    }

    int eventHandler(const Event* event) override
    {
        if (event->getType() != STEP_EVENT || titleStep >= 0)
            return 0;
        player* hunter = static_cast<player*>(firstOf("player"));
        if (++steps == 1)
        {
            press(firstOf("start"), Keyboard::SPACE);
        }
        else if (steps == 2)
        { // a zombie six cells to the right, the reticle beyond it, one shot
            firstOf("zombie")->setPosition(Vector(46, 12));
            firstOf("reticle")->setPosition(Vector(55, 12));
            click(hunter, Mouse::LEFT);
        }
        else if (hunter != nullptr && hunter->isSolid())
        {
            score = hunter->getScore();
            if (score > 0 && steps % 15 == 0) // once the shot has hit, a zombie is led onto the hunter
                firstOf("zombie")->setPosition(hunter->getPosition() + Vector(2, 0));
        }
        else if (hunter != nullptr && deathStep < 0)
        {
            deathStep = steps;
        }
        else if (Object* title = firstOf("start"); title != nullptr || steps > 1000)
        {
            titleStep = steps;
            title != nullptr ? press(title, Keyboard::ESCAPE) : GameManager::getInstance().setGameOver();
        }
        return 0;
    }
};

using WholeGame = InTempDir;

TEST_F(WholeGame, FromTitleToDeathToTitleAgainToEscape)
{
    installFont();
    GameManager& game = GameManager::getInstance();
    game.startUp();
    EXPECT_EQ(loadGameResources(KS_GAME_DIR "/"), 0);
    new scripted;
    new start;
    game.run();
    const int left = WorldManager::getInstance().getAllObjects().getCount();
    game.shutDown();
    EXPECT_EQ(score, 1);
    EXPECT_EQ(titleStep - deathStep, 270);
    EXPECT_EQ(left, 2); // the title and the script, nothing of the lost game
}

} // namespace
} // namespace ks::test

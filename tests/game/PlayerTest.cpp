// The title screen, the player's hits, health and game-over sequence, and the power-ups it
// picks up: rules that need no keyboard.
#include "GameTest.h"

#include <vector>

#include "Sprite.h"

namespace ks::test {
namespace {

using PlayerRules = GameTest;

std::vector<std::string> worldTypes()
{
    std::vector<std::string> types;
    ObjectList all = WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < all.getCount(); i++)
        types.push_back(all[i]->getType());
    return types;
}

TEST_F(PlayerRules, TwoSpacesOnTheTitleInOneFrameStartOneGameEvenWithoutTheTitleSprite)
{
    ResourceManager::getInstance().unloadSprite("title");
    new start;
    EventKeyboard space;
    space.setKey(Keyboard::SPACE);
    space.setKeyboardAction(KEY_PRESSED);
    WorldManager& world = WorldManager::getInstance();
    // The first delivery reaches the title only; the second finds it gone.
    EXPECT_EQ(world.onEvent(&space), 1);
    EXPECT_EQ(world.onEvent(&space), 3);
    world.update();
    EXPECT_EQ(worldTypes(), (std::vector<std::string>{"player", "reticle", "zombie"}));
}

TEST_F(PlayerRules, OnTheTitleAndInPlayPressingEscapeEndsTheGame)
{
    GameManager& game = GameManager::getInstance();
    for (Object* object : {static_cast<Object*>(new start), static_cast<Object*>(new player)})
    {
        press(object, Keyboard::ESCAPE, KEY_RELEASED);
        EXPECT_FALSE(game.getGameOver());
        press(object, Keyboard::ESCAPE);
        EXPECT_TRUE(game.getGameOver());
        game.setGameOver(false);
    }
}

TEST_F(PlayerRules, HealthHasNoCapAndTheLastHitStartsTheGameOver)
{
    new reticle;
    Object* biter = thing("zombie");
    for (int healthPacks : {0, 3})
    {
        SCOPED_TRACE(healthPacks);
        const int hurt = soundsPlayed("hurt") + 3 + healthPacks;
        const int over = soundsPlayed("gameoversound");
        Object* hunter = new player;
        for (int i = 0; i < healthPacks; i++)
            collide(hunter, hunter, new healthpack(Vector(0, 0)));
        for (int hit = 1; hit < 3 + healthPacks; hit++)
            collide(hunter, biter, hunter);
        collide(hunter, biter, hunter);
        EXPECT_EQ(soundsPlayed("hurt"), hurt);
        EXPECT_EQ(soundsPlayed("gameoversound"), over + 1);
        EXPECT_EQ(hunter->getSolidness(), NONSOLID);
        EXPECT_EQ(hunter->getAnimation().getSprite()->getLabel(), "gameoversprite");
        // Dead: hits, pick-ups, clicks and ESCAPE pass it by.
        collide(hunter, biter, hunter);
        collide(hunter, hunter, new bulletpack(Vector(0, 0)));
        click(hunter, Mouse::LEFT);
        press(hunter, Keyboard::ESCAPE);
        EXPECT_EQ(soundsPlayed("hurt"), hurt);
        EXPECT_EQ(soundsPlayed("bulletpacksound") + countOf("bullet"), 0);
        EXPECT_FALSE(GameManager::getInstance().getGameOver());
        WorldManager::getInstance().markForDelete(hunter);
        WorldManager::getInstance().update();
    }
    EXPECT_EQ(soundsPlayed("heal"), 3);
}

TEST_F(PlayerRules, GameOverSequenceClearsTheWorldOnItsLastStepAndBringsBackTheTitle)
{
    WorldManager& world = WorldManager::getInstance();
    player* hunter = new player;
    new reticle;
    new zombie;
    new healthpack(Vector(60, 3));
    Object* biter = thing("zombie");
    // Dying while walking right: the sequence keeps that velocity.
    hunter->setDirection(Vector(1, 0));
    hunter->setSpeed(1);
    for (int hit = 0; hit < 3; hit++)
        collide(hunter, biter, hunter);
    const int total = world.getAllObjects().getCount();
    for (int i = 1; i < 270; i++)
    {
        hunter->setPosition(Vector(7, 7));
        step(hunter);
        world.update();
        ASSERT_EQ(world.getAllObjects().getCount(), total) << "step " << i;
    }
    // Put back at the centre, then moved by the velocity it died with.
    EXPECT_EQ(hunter->getPosition().getX(), 41);
    EXPECT_EQ(hunter->getPosition().getY(), 12);
    step(hunter);
    world.update();
    EXPECT_EQ(worldTypes(), std::vector<std::string>{"start"});
}

TEST_F(PlayerRules, PowerUpWithoutAPositionLogsItAndStandsAtTheOrigin)
{
    for (Object* pack : {static_cast<Object*>(new bulletpack), static_cast<Object*>(new healthpack)})
    {
        EXPECT_EQ(pack->getPosition().getX(), 0);
        EXPECT_EQ(pack->getPosition().getY(), 0);
    }
    EXPECT_EQ(logged("powerup spawned without pos specified"), 2);
}

TEST_F(PlayerRules, PowerUpsAreTakenOnceOnlyByThePlayerWalkingOverThem)
{
    Object* hunter = new player;
    new healthpack(Vector(41, 12));
    new bulletpack(Vector(42, 12));
    Object* packs[] = {new healthpack(Vector(1, 1)), new bulletpack(Vector(1, 1))};
    for (const char* other : {"zombie", "bullet", "healthpack", "bulletpack", "reticle"})
        for (Object* pack : packs)
            collide(pack, thing(other), pack);
    // Walk right by one cell per update, the way a held D moves it.
    hunter->setDirection(Vector(1, 0));
    hunter->setSpeed(1);
    for (int move = 0; move < 4; move++)
        WorldManager::getInstance().update();
    EXPECT_EQ(hunter->getPosition().getX(), 44);
    EXPECT_EQ(soundsPlayed("heal") + soundsPlayed("bulletpacksound"), 2);
    // The two walked over are gone; the two touched by others and four stand-ins are left.
    EXPECT_EQ(countOf("healthpack") + countOf("bulletpack"), 6);
}

} // namespace
} // namespace ks::test

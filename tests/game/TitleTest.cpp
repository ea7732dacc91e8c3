// The title screen and the attributes every game object starts with.
#include "GameTest.h"

#include <vector>

#include "GameManager.h"
#include "Sprite.h"
#include "bullet.h"
#include "bulletpack.h"
#include "healthpack.h"
#include "player.h"
#include "reticle.h"
#include "start.h"
#include "zombie.h"

namespace ks::test {
namespace {

std::vector<std::string> worldTypes()
{
    std::vector<std::string> types;
    ObjectList all = WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < all.getCount(); i++)
        types.push_back(all[i]->getType());
    return types;
}

using TitleScreen = GameTest;

TEST_F(TitleScreen, TwoSpacesInOneFrameStartOneGameAndTheTitleLeaves)
{
    new start;
    EventKeyboard space;
    space.setKey(Keyboard::SPACE);
    space.setKeyboardAction(KEY_PRESSED);
    WorldManager& world = WorldManager::getInstance();
    // The first delivery goes to the title only; the second finds it gone.
    EXPECT_EQ(world.onEvent(&space), 1);
    EXPECT_EQ(world.onEvent(&space), 3);
    world.update();
    EXPECT_EQ(worldTypes(), (std::vector<std::string>{"player", "reticle", "zombie"}));
    EXPECT_FALSE(GameManager::getInstance().getGameOver());
}

TEST_F(TitleScreen, OnlyPressingSpaceOrEscapeActs)
{
    Object* title = new start;
    const struct { Keyboard::Key key; EventKeyboardAction action; } ignored[] = {
        {Keyboard::SPACE, KEY_RELEASED}, {Keyboard::ESCAPE, KEY_RELEASED}, {Keyboard::RETURN, KEY_PRESSED},
        {Keyboard::A, KEY_PRESSED},      {Keyboard::UPARROW, KEY_PRESSED},
    };
    for (const auto& event : ignored)
        press(title, event.key, event.action);
    click(title, Mouse::LEFT);
    step(title);
    WorldManager::getInstance().update();
    EXPECT_EQ(worldTypes(), std::vector<std::string>{"start"});
    EXPECT_FALSE(GameManager::getInstance().getGameOver());

    press(title, Keyboard::ESCAPE);
    EXPECT_TRUE(GameManager::getInstance().getGameOver());
    EXPECT_EQ(worldTypes(), std::vector<std::string>{"start"});
}

TEST_F(TitleScreen, WithoutItsSpriteTheTitleStillStartsAGame)
{
    ResourceManager::getInstance().unloadSprite("title");
    Object* title = new start;
    EXPECT_EQ(title->getAnimation().getSprite(), nullptr);
    press(title, Keyboard::SPACE);
    WorldManager::getInstance().update();
    EXPECT_EQ(worldTypes(), (std::vector<std::string>{"player", "reticle", "zombie"}));
}

using GameObjects = GameTest;

TEST_F(GameObjects, StartWithTheirTypeSpriteSolidnessLayerAndPlace)
{
    Object* hunter = new player; // before the others: the bullet starts on it
    const struct { Object* object; const char* type; Solidness solidness; int altitude; Vector at; } expected[] = {
        {new start, "start", NONSOLID, 0, {40, 12}},
        {hunter, "player", BLOCKING, 2, {40, 12}},
        {new reticle, "reticle", NONSOLID, 3, {10, 20}},
        {new bullet, "bullet", PASSABLE, 1, {40, 12}},
        {new healthpack(Vector(3, 4)), "healthpack", PASSABLE, 0, {3, 4}},
        {new bulletpack(Vector(5, 6)), "bulletpack", PASSABLE, 0, {5, 6}},
    };
    for (const auto& row : expected) {
        SCOPED_TRACE(row.type);
        Sprite* sprite = row.object->getAnimation().getSprite();
        ASSERT_NE(sprite, nullptr);
        std::string label = row.type == std::string("start") ? "title" : row.type;
        EXPECT_EQ(sprite->getLabel(), label);
        EXPECT_EQ(row.object->getType(), row.type);
        EXPECT_EQ(row.object->getSolidness(), row.solidness);
        EXPECT_EQ(row.object->getAltitude(), row.altitude);
        EXPECT_EQ(row.object->getPosition().getX(), row.at.getX());
        EXPECT_EQ(row.object->getPosition().getY(), row.at.getY());
    }
    Object* walker = new zombie;
    EXPECT_EQ(walker->getSolidness(), PASSABLE);
    EXPECT_EQ(walker->getAltitude(), 1);
    EXPECT_EQ(walker->getSpeed(), 0);
}

} // namespace
} // namespace ks::test

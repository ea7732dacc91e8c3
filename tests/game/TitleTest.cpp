// The title screen, and the attributes every game object starts with.
#include "GameTest.h"

#include <cmath>
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

using TitleScreen = GameTest;

std::vector<std::string> worldTypes()
{
    std::vector<std::string> types;
    ObjectList all = WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < all.getCount(); i++)
        types.push_back(all[i]->getType());
    return types;
}

TEST_F(TitleScreen, TwoSpacesInOneFrameStartOneGameEvenWithoutTheTitleSprite)
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

TEST_F(TitleScreen, OnlyPressingSpaceOrEscapeActs)
{
    Object* title = new start;
    const struct { Keyboard::Key key; EventKeyboardAction action; } ignored[] = {
        {Keyboard::SPACE, KEY_RELEASED}, {Keyboard::ESCAPE, KEY_RELEASED}, {Keyboard::RETURN, KEY_PRESSED},
        {Keyboard::A, KEY_PRESSED},      {Keyboard::UPARROW, KEY_PRESSED}};
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

using GameObjects = GameTest;

TEST_F(GameObjects, StartWithTheirSpriteSolidnessLayerAndPlace)
{
    Object* hunter = new player; // first: the bullet starts on it
    const struct { Object* object; const char* sprite; Solidness solidness; int altitude; float x, y; } rows[] = {
        {new start, "title", NONSOLID, 0, 40, 12},
        {hunter, "player", BLOCKING, 2, 40, 12},
        {new reticle, "reticle", NONSOLID, 3, 10, 20},
        {new bullet, "bullet", PASSABLE, 1, 40, 12},
        {new healthpack(Vector(3, 4)), "healthpack", PASSABLE, 0, 3, 4},
        {new bulletpack(Vector(5, 6)), "bulletpack", PASSABLE, 0, 5, 6},
        {new zombie, "zombie", PASSABLE, 1, NAN, NAN}, // its place is rolled
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.sprite);
        ASSERT_NE(row.object->getAnimation().getSprite(), nullptr);
        EXPECT_EQ(row.object->getAnimation().getSprite()->getLabel(), row.sprite);
        EXPECT_EQ(row.object->getSolidness(), row.solidness);
        EXPECT_EQ(row.object->getAltitude(), row.altitude);
        if (!std::isnan(row.x)) {
            EXPECT_EQ(row.object->getPosition().getX(), row.x);
            EXPECT_EQ(row.object->getPosition().getY(), row.y);
        }
    }
}

} // namespace
} // namespace ks::test

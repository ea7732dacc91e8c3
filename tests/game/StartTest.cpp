// The title screen: SPACE starts one game, even without the title's sprite.
#include "GameTest.h"

namespace ks::test {
namespace {

using StartTest = GameTest;

TEST_F(StartTest, TwoSpacesOnTheTitleInOneFrameStartOneGameEvenWithoutTheTitleSprite)
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

} // namespace
} // namespace ks::test

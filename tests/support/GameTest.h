// The game's rule tests: a fresh directory with the log, world and resource managers started
// and a 1 x 1 sprite under every game label. No sounds are loaded, so each sound played
// leaves one "failed to find sound <label>" line in the log: that is how they are counted.
#pragma once

#include <algorithm>
#include <cstdlib>

#include "EventCollision.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventStep.h"
#include "GameManager.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "TestSupport.h"
#include "WorldManager.h"
#include "bullet.h"
#include "bulletpack.h"
#include "healthpack.h"
#include "player.h"
#include "resources.h"
#include "reticle.h"
#include "start.h"
#include "zombie.h"

namespace ks::test {

class GameTest : public InTempDir
{
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        LogManager::getInstance().startUp();
        WorldManager::getInstance().startUp();
        ResourceManager::getInstance().startUp();
        for (const GameResource& r : GAME_RESOURCES)
            if (r.kind == ResourceKind::SPRITE)
            {
                writeFile(r.label, "1\n1\n1\n0\nwhite\nX\r\n");
                ResourceManager::getInstance().loadSprite(r.label, r.label);
            }
    }
    void TearDown() override
    {
        WorldManager::getInstance().shutDown();
        LogManager::getInstance().shutDown();
    }
};

inline int soundsPlayed(const std::string& label)
{
    const std::vector<std::string> log = logMessages();
    return static_cast<int>(std::count(log.begin(), log.end(), "failed to find sound " + label));
}

inline int countOf(const std::string& type)
{
    return WorldManager::getInstance().objectsOfType(type).getCount();
}

inline Object* firstOf(const std::string& type)
{
    ObjectList list = WorldManager::getInstance().objectsOfType(type);
    return list.isEmpty() ? nullptr : list[0];
}

// A plain object standing in for a game object of another type.
inline Object* thing(const std::string& type)
{
    Object* object = new Object;
    object->setType(type);
    return object;
}

inline std::vector<std::string> worldTypes()
{
    std::vector<std::string> types;
    ObjectList all = WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < all.getCount(); i++)
        types.push_back(all[i]->getType());
    return types;
}

// Seeds rand() with the first seed from 1 up whose sequence satisfies fits(), which draws it.
template <typename Fits>
void seedWhere(Fits fits)
{
    unsigned seed = 1;
    while (srand(seed), !fits())
        seed++;
    srand(seed);
}

inline void step(Object* object)
{
    EventStep event(0);
    object->eventHandler(&event);
}

inline void collide(Object* receiver, Object* mover, Object* other)
{
    EventCollision event(mover, other, other->getPosition());
    receiver->eventHandler(&event);
}

inline void press(Object* object, Keyboard::Key key)
{
    EventKeyboard event;
    event.setKey(key);
    event.setKeyboardAction(KEY_PRESSED);
    object->eventHandler(&event);
}

inline void click(Object* object, Mouse::Button button)
{
    EventMouse event;
    event.setMouseAction(CLICKED);
    event.setMouseButton(button);
    object->eventHandler(&event);
}

} // namespace ks::test

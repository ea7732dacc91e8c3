// The game's rule tests: a fresh directory with the log, world and resource managers started
// and a 1 x 1 sprite under every game label. No sounds are loaded, so each sound played
// leaves one "failed to find sound <label>" line in the log: that is how they are counted.
#pragma once

#include <cstdlib>
#include <string>

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
#include "reticle.h"
#include "start.h"
#include "zombie.h"

namespace ks::test {

class GameTest : public InTempDir
{
protected:
    void SetUp() override
    {
        LogManager::getInstance().startUp();
        WorldManager::getInstance().startUp();
        ResourceManager::getInstance().startUp();
        for (const char* label :
             {"bullet", "zombie", "player", "gameoversprite", "title", "reticle", "healthpack", "bulletpack"})
        {
            writeFile(label, "1\n1\n1\n0\nwhite\nX\r\n");
            ResourceManager::getInstance().loadSprite(label, label);
        }
    }
    void TearDown() override
    {
        WorldManager::getInstance().shutDown();
        LogManager::getInstance().shutDown();
    }
};

inline int logged(const std::string& line)
{
    int count = 0;
    for (const std::string& message : logMessages())
        count += message == line;
    return count;
}

inline int soundsPlayed(const std::string& label)
{
    return logged("failed to find sound " + label);
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
inline Object* thing(const std::string& type, Vector position = Vector(0, 0))
{
    Object* object = new Object;
    object->setType(type);
    object->setPosition(position);
    return object;
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

inline void press(Object* object, Keyboard::Key key, EventKeyboardAction action = KEY_PRESSED)
{
    EventKeyboard event;
    event.setKey(key);
    event.setKeyboardAction(action);
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

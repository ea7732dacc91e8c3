#include "start.h"

#include "common.h"

#include "EventKeyboard.h"
#include "GameManager.h"
#include "WorldManager.h"
#include "player.h"
#include "reticle.h"
#include "zombie.h"

namespace ks {

start::start()
{
    setPosition(Vector(40, 12));
    setType("start");
    setSolidness(NONSOLID);
    setSprite("title");
}

start::~start() = default;

int start::eventHandler(const Event* event)
{
    if (!isEventType(event, KEYBOARD_EVENT))
        return 0;
    const EventKeyboard* keyboard = static_cast<const EventKeyboard*>(event);

    if (keyboard->getKey() == Keyboard::ESCAPE)
    {
        if (keyboard->getKeyboardAction() == KEY_PRESSED)
            GameManager::getInstance().setGameOver(true);
        return 0;
    }

    if (keyboard->getKey() == Keyboard::SPACE && keyboard->getKeyboardAction() == KEY_PRESSED)
    {
        new player;
        new reticle;
        new zombie;
        WorldManager& world = WorldManager::getInstance();
        world.removeObject(this);
        // Nothing refers to the title any more; the world's deletion pass frees it at the end
        // of this update, after every delivery that might still hold its pointer.
        world.markForDelete(this);
    }
    return 0;
}

} // namespace ks

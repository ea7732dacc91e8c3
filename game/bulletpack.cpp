#include "bulletpack.h"

#include "common.h"

#include <string>

#include "EventCollision.h"
#include "LogManager.h"
#include "ObjectList.h"
#include "WorldManager.h"

namespace ks {

bulletpack::bulletpack(Vector position)
{
    reclaimIfRefused(this);
    setType("bulletpack");
    setSprite("bulletpack");
    setPosition(position);
    setSolidness(PASSABLE);
}

bulletpack::bulletpack()
{
    reclaimIfRefused(this);
    setType("bulletpack");
    setSprite("bulletpack");
    LogManager::getInstance().writeLog("powerup spawned without pos specified");
    setSolidness(PASSABLE);
}

bulletpack::~bulletpack() = default;

int bulletpack::eventHandler(const Event* event)
{
    if (!isEventType(event, COLLISION_EVENT))
        return 0;
    const EventCollision* collision = static_cast<const EventCollision*>(event);
    // The player applies the effect in its own handler; the pack only has to go.
    if (eitherIs(collision, "player"))
        WorldManager::getInstance().markForDelete(this);
    return 0;
}

} // namespace ks

#include "healthpack.h"

#include "common.h"

#include <string>

#include "EventCollision.h"
#include "LogManager.h"
#include "ObjectList.h"
#include "WorldManager.h"

namespace ks {

healthpack::healthpack(Vector position)
{
    reclaimIfRefused(this);
    setType("healthpack");
    setSprite("healthpack");
    setPosition(position);
    setSolidness(PASSABLE);
}

healthpack::healthpack()
{
    reclaimIfRefused(this);
    setType("healthpack");
    setSprite("healthpack");
    LogManager::getInstance().writeLog("powerup spawned without pos specified");
    // PASSABLE like the positioned one, so that such a pack can still be picked up.
    setSolidness(PASSABLE);
}

healthpack::~healthpack() = default;

int healthpack::eventHandler(const Event* event)
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

#include "healthpack.h"

#include <string>

#include "EventCollision.h"
#include "LogManager.h"
#include "WorldManager.h"

namespace ks {

namespace {

// Event types are recognised by prefix, so a type name that begins with the constant matches.
bool isEventType(const Event* event, const std::string& type)
{
    return event != nullptr && event->getType().compare(0, type.size(), type) == 0;
}

} // namespace

healthpack::healthpack(Vector position)
{
    setType("healthpack");
    setSprite("healthpack");
    setPosition(position);
    setSolidness(PASSABLE);
}

healthpack::healthpack()
{
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
    const Object* first = collision->getObject1();
    const Object* second = collision->getObject2();
    // The player applies the effect in its own handler; the pack only has to go.
    if ((first != nullptr && first->getType() == "player") || (second != nullptr && second->getType() == "player"))
        WorldManager::getInstance().markForDelete(this);
    return 0;
}

} // namespace ks

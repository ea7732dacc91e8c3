#include "bulletpack.h"

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

bulletpack::bulletpack(Vector position)
{
    setType("bulletpack");
    setSprite("bulletpack");
    setPosition(position);
    setSolidness(PASSABLE);
}

bulletpack::bulletpack()
{
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
    const Object* first = collision->getObject1();
    const Object* second = collision->getObject2();
    // The player applies the effect in its own handler; the pack only has to go.
    if ((first != nullptr && first->getType() == "player") || (second != nullptr && second->getType() == "player"))
        WorldManager::getInstance().markForDelete(this);
    return 0;
}

} // namespace ks

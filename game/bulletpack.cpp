#include "bulletpack.h"

#include <string>

#include "EventCollision.h"
#include "LogManager.h"
#include "ObjectList.h"
#include "WorldManager.h"

namespace ks {

namespace {

// Event types are recognised by prefix, so a type name that begins with the constant matches.
bool isEventType(const Event* event, const std::string& type)
{
    return event != nullptr && event->getType().compare(0, type.size(), type) == 0;
}

// A full world refuses a new object without a word; one that did not get in is freed by the
// next deletion pass instead of lingering unseen.
void reclaimIfRefused(Object* object)
{
    WorldManager& world = WorldManager::getInstance();
    const ObjectList all = world.getAllObjects();
    if (!all.isFull())
        return;
    for (int i = all.getCount() - 1; i >= 0; i--)
        if (all[i]->getId() == object->getId())
            return;
    world.markForDelete(object);
}

} // namespace

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
    const Object* first = collision->getObject1();
    const Object* second = collision->getObject2();
    // The player applies the effect in its own handler; the pack only has to go.
    if ((first != nullptr && first->getType() == "player") || (second != nullptr && second->getType() == "player"))
        WorldManager::getInstance().markForDelete(this);
    return 0;
}

} // namespace ks

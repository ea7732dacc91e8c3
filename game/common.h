// Helpers every game object shares.
#pragma once

#include <string>

#include "Event.h"
#include "EventCollision.h"
#include "LogManager.h"
#include "Object.h"
#include "ObjectList.h"
#include "ResourceManager.h"
#include "WorldManager.h"

namespace ks {

// Event types are recognised by prefix, so a type name that begins with the constant matches.
inline bool isEventType(const Event* event, const std::string& type)
{
    return event != nullptr && event->getType().compare(0, type.size(), type) == 0;
}

// A full world refuses a new object without a word; one that did not get in is freed by the
// next deletion pass instead of lingering unseen.
inline void reclaimIfRefused(Object* object)
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

// True when either object of the collision has exactly this type.
inline bool eitherIs(const EventCollision* collision, const std::string& type)
{
    const Object* first = collision->getObject1();
    const Object* second = collision->getObject2();
    return (first != nullptr && first->getType() == type) || (second != nullptr && second->getType() == type);
}

// The resource manager has already logged a missing label; playing nothing is all that is left.
inline void playSound(const std::string& label)
{
    Sound* sound = ResourceManager::getInstance().getSound(label);
    if (sound != nullptr)
        sound->play(false);
}

// The power-ups (bulletpack, healthpack): the label is both type and sprite; they lie still,
// PASSABLE, so that walking over one is a collision and never a block.
inline void becomePowerUp(Object* pack, const std::string& label, const Vector* position)
{
    reclaimIfRefused(pack);
    pack->setType(label);
    pack->setSprite(label);
    if (position != nullptr)
        pack->setPosition(*position);
    else
        LogManager::getInstance().writeLog("powerup spawned without pos specified");
    pack->setSolidness(PASSABLE);
}

// A power-up goes when the player touches it; the player applies the effect in its own handler.
inline int powerUpEvent(Object* pack, const Event* event)
{
    if (isEventType(event, COLLISION_EVENT) && eitherIs(static_cast<const EventCollision*>(event), "player"))
        WorldManager::getInstance().markForDelete(pack);
    return 0;
}

} // namespace ks

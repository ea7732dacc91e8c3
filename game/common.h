// Helpers every game object shares.
#pragma once

#include <string>

#include "Event.h"
#include "Object.h"
#include "ObjectList.h"
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

} // namespace ks

#include "WorldManager.h"

#include "DisplayManager.h"
#include "EventCollision.h"
#include "EventOut.h"
#include "Object.h"
#include "utility.h"

namespace ks {

WorldManager::WorldManager()
{
    setType("WorldManager");
}

WorldManager& WorldManager::getInstance()
{
    static WorldManager instance;
    return instance;
}

int WorldManager::startUp()
{
    Manager::startUp();
    allObjects.clear();
    deleteList.clear();
    return 0;
}

void WorldManager::shutDown()
{
    // A copy, so that a destructor that creates or removes objects does not disturb the walk.
    const ObjectList objects = allObjects;
    for (int i = 0; i < objects.getCount(); i++)
        delete objects[i];
    allObjects.clear();
    Manager::shutDown();
}

int WorldManager::insertObject(Object* p)
{
    // A full world loses the object without a word; the caller cannot do better.
    allObjects.insert(p);
    return 0;
}

int WorldManager::removeObject(Object* p)
{
    allObjects.remove(p);
    return 0;
}

ObjectList WorldManager::getAllObjects() const
{
    return allObjects;
}

ObjectList WorldManager::objectsOfType(std::string type)
{
    ObjectList found;
    for (int i = 0; i < allObjects.getCount(); i++) {
        if (allObjects[i]->getType() == type)
            found.insert(allObjects[i]);
    }
    return found;
}

int WorldManager::markForDelete(Object* p)
{
    if (p == nullptr)
        return 0;
    const int id = p->getId();
    for (int j = 0; j < deleteList.getCount(); j++) {
        if (deleteIds[j] == id)
            return 0;
    }
    if (deleteList.insert(p) == 0)
        deleteIds[deleteList.getCount() - 1] = id;
    return 0;
}

void WorldManager::update()
{
    // The live list, not a copy: objects created by handlers move in this pass too, and a
    // removal at or below i shifts the next object into i, which is then skipped.
    for (int i = 0; i < allObjects.getCount(); i++) {
        Object* p = allObjects[i];
        const Vector from = p->getPosition();
        const Vector to = p->predictPosition();
        // Exact float comparison on purpose: any change at all is a move (NaN included).
        if (to.getX() != from.getX() || to.getY() != from.getY())
            moveObject(p, to);
    }

    // The count is read anew each time: a destructor may mark more objects.
    for (int j = 0; j < deleteList.getCount(); j++) {
        Object* p = deleteList[j];
        allObjects.remove(p);
        delete p;
    }
    deleteList.clear();
}

void WorldManager::draw()
{
    for (int altitude = 0; altitude < MAX_ALTITUDE; altitude++) {
        for (int i = 0; i < allObjects.getCount(); i++) {
            Object* p = allObjects[i];
            if (p->getAltitude() == altitude)
                p->draw();
        }
    }
}

int WorldManager::moveObject(Object* p, Vector where)
{
    if (p->isSolid()) {
        // Taken before any handler runs: what handlers do to the world does not change who is told.
        const ObjectList hit = getCollisions(p, where);
        bool allowed = true;
        for (int i = 0; i < hit.getCount(); i++) {
            Object* q = hit[i];
            EventCollision collision(p, q, where);
            p->eventHandler(&collision);
            q->eventHandler(&collision);
            // Read after the handlers: one that changes its solidness decides this pair.
            if (p->getSolidness() == BLOCKING && q->getSolidness() == BLOCKING)
                allowed = false;
        }
        if (!allowed)
            return -1;
    }

    p->setPosition(where);

    const DisplayManager& display = DisplayManager::getInstance();
    const float width = static_cast<float>(display.getHorizontal());
    const float height = static_cast<float>(display.getVertical());
    const bool out = where.getX() > width || where.getY() > height || where.getX() < 0 || where.getY() < 0;
    if (out) {
        EventOut leaving;
        p->eventHandler(&leaving);
    }
    return 0;
}

ObjectList WorldManager::getCollisions(const Object* p, Vector where) const
{
    ObjectList hit;
    const Box moved = getWorldBox(p, where);
    for (int i = 0; i < allObjects.getCount(); i++) {
        Object* q = allObjects[i];
        if (q->getId() == p->getId())
            continue;
        if (boxIntersectsBox(moved, getWorldBox(q)) && q->isSolid())
            hit.insert(q);
    }
    return hit;
}

} // namespace ks

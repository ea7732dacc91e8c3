#include "WorldManager.h"

#include "DisplayManager.h"
#include "EventCollision.h"
#include "EventOut.h"
#include "Object.h"
#include "Sprite.h"
#include "utility.h"

#include <algorithm>

namespace ks {

WorldManager::WorldManager()
{
    setType("WorldManager");
    setDelivery(&WorldManager::deliver);
}

WorldManager::~WorldManager()
{
    setDelivery(nullptr);
}

WorldManager& WorldManager::getInstance()
{
    static WorldManager instance;
    return instance;
}

ObjectHome& ObjectHome::home()
{
    return WorldManager::getInstance();
}

int WorldManager::deliver(const Event* event)
{
    // A copy, so that handlers may create, remove or mark objects while the event is out:
    // new objects wait for the next event, marked ones still get this one.
    const ObjectList objects = getInstance().getAllObjects();
    for (int i = 0; i < objects.getCount(); i++)
        objects[i]->eventHandler(event);
    return objects.getCount();
}

int WorldManager::startUp()
{
    Manager::startUp();
    allObjects.clear();
    grid.clear();
    deleteList.clear();
    duplicates = false;
    return 0;
}

void WorldManager::shutDown()
{
    // A copy, so that a destructor that creates or removes objects does not disturb the walk.
    const ObjectList objects = allObjects;
    for (int i = 0; i < objects.getCount(); i++)
        delete objects[i];
    allObjects.clear();
    grid.clear();
    duplicates = false;
    Manager::shutDown();
}

int WorldManager::insertObject(Object* p)
{
    if (p != nullptr && slotOf(p) >= 0)
        duplicates = true;
    // A full world loses the object without a word; the caller cannot do better.
    if (allObjects.insert(p) == 0)
    {
        grid.append(p);
        if (p != nullptr)
            slotNote(p) = allObjects.getCount() - 1;
    }
    return 0;
}

int WorldManager::removeObject(Object* p)
{
    removeFromWorld(p);
    return 0;
}

ObjectList WorldManager::getAllObjects() const
{
    return allObjects;
}

ObjectList WorldManager::objectsOfType(std::string type)
{
    ObjectList found;
    for (int i = 0; i < allObjects.getCount(); i++)
    {
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
    for (int j = 0; j < deleteList.getCount(); j++)
    {
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
    for (int i = 0; i < allObjects.getCount(); i++)
    {
        Object* p = allObjects[i];
        const Vector from = p->getPosition();
        const Vector to = p->predictPosition();
        // Exact float comparison on purpose: any change at all is a move (NaN included).
        if (to.getX() != from.getX() || to.getY() != from.getY())
            moveObject(p, to);
    }

    // The count is read anew each time: a destructor may mark more objects.
    for (int j = 0; j < deleteList.getCount(); j++)
    {
        Object* p = deleteList[j];
        removeFromWorld(p);
        delete p;
    }
    deleteList.clear();
}

void WorldManager::draw()
{
    for (int altitude = 0; altitude < MAX_ALTITUDE; altitude++)
    {
        for (int i = 0; i < allObjects.getCount(); i++)
        {
            Object* p = allObjects[i];
            if (p->getAltitude() == altitude)
                p->draw();
        }
    }
}

int WorldManager::moveObject(Object* p, Vector where)
{
    if (p->isSolid())
    {
        // Taken before any handler runs: what handlers do to the world does not change who is told.
        const ObjectList hit = collisionScan ? getCollisionsByScan(p, where) : getCollisions(p, where);
        bool allowed = true;
        for (int i = 0; i < hit.getCount(); i++)
        {
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
    if (out)
    {
        EventOut leaving;
        p->eventHandler(&leaving);
    }
    return 0;
}

ObjectList WorldManager::getCollisions(const Object* p, Vector where) const
{
    ObjectList hit;
    grid.collect(p->getBox(), where, p->getId(), hit);
    return hit;
}

ObjectList WorldManager::getCollisionsByScan(const Object* p, Vector where) const
{
    ObjectList hit;
    const Box moved = getWorldBox(p, where);
    for (int i = 0; i < allObjects.getCount(); i++)
    {
        Object* q = allObjects[i];
        if (q->getId() == p->getId())
            continue;
        if (boxIntersectsBox(moved, getWorldBox(q)) && q->isSolid())
            hit.insert(q);
    }
    return hit;
}

void WorldManager::setCollisionScan(bool byScan)
{
    collisionScan = byScan;
}

int WorldManager::slotOf(Object* p) const
{
    // Removals only ever move an entry down, so an object is at its slot or below it.
    const int slot = slotNote(p);
    for (int i = std::min(slot, allObjects.getCount() - 1); i >= 0; i--)
    {
        if (allObjects[i] == p)
        {
            slotNote(p) = i;
            return i;
        }
    }
    return -1;
}

void WorldManager::boxChanged(Object* p)
{
    if (duplicates)
    {
        for (int i = 0; i < allObjects.getCount(); i++)
            if (allObjects[i] == p)
                grid.refresh(i, p);
        return;
    }
    const int slot = slotOf(p);
    if (slot >= 0)
        grid.refresh(slot, p);
}

void WorldManager::removeFromWorld(Object* p)
{
    // The entry that ObjectList::remove takes out: the first with p's id.
    if (p == nullptr)
        return;
    const int id = p->getId();
    const int count = allObjects.getCount();
    int index = 0;
    while (index < count && (allObjects[index] == nullptr || allObjects[index]->getId() != id))
        index++;
    if (index == count)
        return;
    Object* removed = allObjects[index];
    allObjects.remove(p);
    grid.removeAt(index);
    slotNote(removed) = -1;
}

void WorldManager::spriteReloaded(const Sprite& sprite, int oldWidth, int oldHeight)
{
    const float w = static_cast<float>(oldWidth), h = static_cast<float>(oldHeight);
    for (int i = 0; i < allObjects.getCount(); i++)
    {
        Object* object = allObjects[i];
        Animation animation = object->getAnimation();
        if (animation.getSprite() != &sprite)
            continue;
        if (animation.getIndex() > sprite.getFrameCount())
        {
            animation.setIndex(1);
            object->setAnimation(animation);
        }
        const Box box = object->getBox();
        if (box.getHorizontal() == w && box.getVertical() == h && box.getCorner().getX() == -w / 2 &&
            box.getCorner().getY() == -h / 2)
            object->setBox(animation.getBox());
    }
}

} // namespace ks

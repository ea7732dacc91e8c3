#pragma once

#include <string>

#include "CollisionGrid.h"
#include "Manager.h"
#include "ObjectHome.h"
#include "ObjectList.h"
#include "Vector.h"

namespace ks {

class Sprite;

class Object;

const int MAX_ALTITUDE = 4; ///< layers 0..MAX_ALTITUDE-1 are drawn

/// WorldManager: holds every game object and owns their memory. Each loop iteration
/// update() moves objects by their velocity (with collisions and out events) and deletes
/// the marked ones; draw() paints the altitude layers 0 to 3 in order.
class WorldManager : public Manager, public ObjectHome
{
public:
    /// The one WorldManager, made on first use.
    static WorldManager& getInstance();

    /// Events from onEvent reach no object once the world is gone.
    ~WorldManager() override;

    /// Starts the manager and empties both lists; always 0.
    int startUp() override;

    /// Deletes every object still in the world (walking a copy), then empties the list.
    void shutDown() override;

    /// Appends p to the world; 0 even when the world was full and p was lost.
    int insertObject(Object* p) override;

    /// Takes p out of the world without deleting it; 0 even when p was not there.
    int removeObject(Object* p);

    /// A copy of the list of all objects.
    ObjectList getAllObjects() const;

    /// The objects whose type equals type exactly, in world order.
    ObjectList objectsOfType(std::string type);

    /// Marks p for deletion at the end of the current update (once per object); always 0.
    int markForDelete(Object* p);

    /// Movement pass over the live list, then the deletion pass.
    void update();

    /// Draws the objects of altitude 0, then 1, 2 and 3.
    void draw();

    /// Moves p to where unless two BLOCKING objects would meet. 0 when moved, -1 when refused.
    int moveObject(Object* p, Vector where);

    /// The solid objects that p would overlap if it stood at where, in world order. It tests
    /// the world boxes the manager keeps for its objects (brought up to date whenever an
    /// object's position or box changes) rather than asking every object for its box.
    ObjectList getCollisions(const Object* p, Vector where) const;

    /// The same list found the plain way: every object in the world asked for its box. Slower;
    /// kept as the reference that getCollisions is checked and measured against.
    ObjectList getCollisionsByScan(const Object* p, Vector where) const;

    /// With byScan true, moveObject (and so update) finds contacts with getCollisionsByScan,
    /// for comparisons; false (the default) uses getCollisions.
    void setCollisionScan(bool byScan);

    /// A sprite's art was read again (sprite reloading): objects playing it start again from
    /// its first frame where it has fewer frames now, and those whose box was the sprite's own
    /// extent (oldWidth x oldHeight) take its new one.
    void spriteReloaded(const Sprite& sprite, int oldWidth, int oldHeight);

    WorldManager(const WorldManager&) = delete;
    WorldManager& operator=(const WorldManager&) = delete;

private:
    WorldManager();

    ObjectList allObjects; ///< registration order
    ObjectList deleteList; ///< marked this iteration, each once

    /// Called by Object after its position or box changed: refiles its box in the grid.
    void boxChanged(Object* p) override;
    /// Manager::onEvent's way to the objects: to each object of a copy of the list, in order.
    static int deliver(const Event* event);
    /// p's index in allObjects (refreshing p's note of it), or -1 when p is not in the world.
    int slotOf(Object* p) const;
    /// Takes out the entry that ObjectList::remove would (the first with p's id), with its box.
    void removeFromWorld(Object* p);

    /// allObjects' world boxes, entry for entry, filed for collision searches.
    CollisionGrid grid;
    /// Set once an object was inserted while already in the world: a slot number can then no
    /// longer name all of an object's entries, and changes are looked up by pointer.
    bool duplicates = false;
    bool collisionScan = false;

    /// The ids of deleteList's entries, index for index. The duplicate test reads these
    /// instead of the objects, because a destructor may mark an object while earlier
    /// entries have already been freed.
    int deleteIds[MAX_OBJECTS];
};

} // namespace ks

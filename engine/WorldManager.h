// WorldManager: holds every game object and owns their memory. Each loop iteration
// update() moves objects by their velocity (with collisions and out events) and deletes
// the marked ones; draw() paints the altitude layers 0 to 3 in order.
#pragma once

#include <string>

#include "Manager.h"
#include "ObjectList.h"
#include "Vector.h"

namespace ks {

class Object;

const int MAX_ALTITUDE = 4; // layers 0..MAX_ALTITUDE-1 are drawn

class WorldManager : public Manager
{
public:
    static WorldManager& getInstance();

    // Starts the manager and empties both lists; always 0.
    int startUp() override;

    // Deletes every object still in the world (walking a copy), then empties the list.
    void shutDown() override;

    // Appends p to the world; 0 even when the world was full and p was lost.
    int insertObject(Object* p);

    // Takes p out of the world without deleting it; 0 even when p was not there.
    int removeObject(Object* p);

    // A copy of the list of all objects.
    ObjectList getAllObjects() const;

    // The objects whose type equals type exactly, in world order.
    ObjectList objectsOfType(std::string type);

    // Marks p for deletion at the end of the current update (once per object); always 0.
    int markForDelete(Object* p);

    // Movement pass over the live list, then the deletion pass.
    void update();

    // Draws the objects of altitude 0, then 1, 2 and 3.
    void draw();

    // Moves p to where unless two BLOCKING objects would meet. 0 when moved, -1 when refused.
    int moveObject(Object* p, Vector where);

    // The solid objects that p would overlap if it stood at where, in world order.
    ObjectList getCollisions(const Object* p, Vector where) const;

    WorldManager(const WorldManager&) = delete;
    WorldManager& operator=(const WorldManager&) = delete;

private:
    WorldManager();

    ObjectList allObjects; // registration order
    ObjectList deleteList; // marked this iteration, each once

    // The ids of deleteList's entries, index for index. The duplicate test reads these
    // instead of the objects, because a destructor may mark an object while earlier
    // entries have already been freed.
    int deleteIds[MAX_OBJECTS];
};

} // namespace ks

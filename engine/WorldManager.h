#pragma once

#include <string>
#include <vector>

#include "Box.h"
#include "CollisionGrid.h"
#include "Manager.h"
#include "ObjectHome.h"
#include "ObjectList.h"
#include "Vector.h"

namespace ks {

class Sprite;

class Object;

const int MAX_ALTITUDE = 4;             ///< layers 0..MAX_ALTITUDE-1 are drawn
const int MAX_WORLD_CAPACITY = 1000000; ///< the most objects a world may be raised to hold
const float VIEW_DRAW_MARGIN = 2;       ///< cells around the view where an object's box still gets it drawn

/// WorldManager: holds every game object and owns their memory. Each loop iteration
/// update() moves objects by their velocity (with collisions and out events) and deletes
/// the marked ones; draw() paints the altitude layers 0 to 3 in order.
///
/// The world is the display's grid of cells unless a game gives it bounds of its own; the view
/// is the part of the world that the window's grid shows, and can follow an object:
///
/// @code
/// WorldManager &world = WorldManager::getInstance();
/// world.setBounds(Box(Vector(0, 0), 400, 120)); // out events at these edges
/// world.setViewFollowing(hero);                 // the view keeps the hero in its middle part
/// hud->setScreenFixed();                        // drawn on the screen, not in the world
/// @endcode
class WorldManager : public Manager, public ObjectHome
{
public:
    /// The one WorldManager, made on first use.
    static WorldManager& getInstance();

    /// Events from onEvent reach no object once the world is gone.
    ~WorldManager() override;

    /// Starts the manager and empties both lists, which hold the capacity asked for (see
    /// setCapacity); always 0.
    int startUp() override;

    /// Deletes every object still in the world (walking a copy), then empties the list and
    /// forgets the bounds, the view and what it followed (the capacity asked for stays).
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

    /// The world's bounds, in cells: moveObject sends an out event to an object moved to a
    /// position beyond them (edges count as inside). Default: the display's grid, from (0, 0).
    /// 0, or -1 for a size that is not a positive number or a corner that is not a number: a
    /// log line, and the default bounds.
    ///@{
    int setBounds(Box bounds);
    Box getBounds() const;
    ///@}

    /// The view: the part of the world that the window's grid shows, in cells. draw() paints
    /// objects at their positions relative to its corner and leaves out those whose box lies
    /// wholly outside it (and outside what the window shows), once the game has set bounds or a
    /// view. It never leaves the bounds: the corner is kept inside them, and a view larger than
    /// the world shows it from its corner. Default: the display's grid's size at the bounds'
    /// corner. setView gives 0, or -1 with a log line for a size that is not a positive number
    /// (the default size is used) or larger than the world (cut to the world's size) or a
    /// corner that is not a number (the bounds' corner is used).
    ///@{
    int setView(Box view);
    Box getView() const;
    ///@}

    /// The object the view follows (null: none, the default). After each update's movement
    /// pass the view moves, by whole cells, just far enough to bring the object back into the
    /// slack region around the view's centre, and stays in the bounds. The world stops
    /// following an object that leaves it. 0, or -1 with a log line when p is not in the world.
    ///@{
    int setViewFollowing(Object* p);
    Object* getViewFollowing() const;
    ///@}

    /// The size of the slack region, centred in the view, in which the followed object moves
    /// without moving the view. Default: half the view's width and height. 0, or -1 with a log
    /// line (and the default) for a size that is negative, not a number, or larger than the view.
    ///@{
    int setViewSlack(float horizontal, float vertical);
    Vector getViewSlack() const;
    ///@}

    /// A position in window pixels (a mouse pointer's) as a position in the world, through the
    /// view, and back. Built on the display's own conversions of pixels and cells.
    ///@{
    Vector pixelsToWorld(Vector pixels) const;
    Vector worldToPixels(Vector world) const;
    ///@}

    /// The most objects the world holds, from its next startUp: MAX_OBJECTS (2000) unless a
    /// game raises it before starting. startUp takes a value outside MAX_OBJECTS to
    /// MAX_WORLD_CAPACITY with a log line and holds MAX_OBJECTS.
    ///@{
    void setCapacity(int objects);
    int getCapacity() const;
    ///@}

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
    /// Moves the view towards the followed object, once per update.
    void follow();
    /// The view's size as asked for or by default, before it is cut to the bounds.
    Vector viewSize() const;
    /// corner kept so that a view of size lies inside the bounds.
    Vector clampToBounds(Vector corner, Vector size) const;
    /// The part of the world draw() paints objects from: the view, widened to what the window
    /// shows around it and by VIEW_DRAW_MARGIN.
    Box drawnArea() const;

    /// allObjects' world boxes, entry for entry, filed for collision searches.
    CollisionGrid grid;
    /// Set once an object was inserted while already in the world: a slot number can then no
    /// longer name all of an object's entries, and changes are looked up by pointer.
    bool duplicates = false;
    bool collisionScan = false;

    /// The ids of deleteList's entries, index for index. The duplicate test reads these
    /// instead of the objects, because a destructor may mark an object while earlier
    /// entries have already been freed.
    std::vector<int> deleteIds;

    int capacity = MAX_OBJECTS;      ///< of the lists, from the last startUp
    int askedCapacity = MAX_OBJECTS; ///< for the next startUp
    bool shaped = false;             ///< a game set bounds or a view: draw() leaves out what is not shown
    bool boundsSet = false;          ///< false: the bounds are the display's grid
    Box bounds;                      ///< when boundsSet
    bool viewSizeSet = false;        ///< false: the view is the grid's size
    Vector viewSizeAsked;            ///< when viewSizeSet
    Vector viewCorner;               ///< as set or followed; getView keeps it in the bounds
    bool slackSet = false;           ///< false: half the view
    Vector slack;                    ///< when slackSet
    Object* following = nullptr;     ///< the object the view follows
    std::vector<Object*> shown;      ///< scratch of draw(): the objects in the drawn area
};

} // namespace ks

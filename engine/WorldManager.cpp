#include "WorldManager.h"

#include "DisplayManager.h"
#include "EventCollision.h"
#include "EventOut.h"
#include "LogManager.h"
#include "Object.h"
#include "Sprite.h"
#include "utility.h"

#include <algorithm>
#include <cmath>

namespace ks {

WorldManager::WorldManager()
{
    setType("WorldManager");
    setDelivery(&WorldManager::deliver);
    grid.shape(getBounds(), capacity);
    deleteIds.assign(static_cast<size_t>(capacity), 0);
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
    // Checked here rather than when asked: a game asks before the log is open.
    if (askedCapacity < MAX_OBJECTS || askedCapacity > MAX_WORLD_CAPACITY)
    {
        LogManager::getInstance().writeLog("WorldManager: capacity %d is not between %d and %d; the world holds %d",
                                           askedCapacity, MAX_OBJECTS, MAX_WORLD_CAPACITY, MAX_OBJECTS);
        askedCapacity = MAX_OBJECTS;
    }
    capacity = askedCapacity;
    allObjects = ObjectList(capacity);
    deleteList = ObjectList(capacity);
    deleteIds.assign(static_cast<size_t>(capacity), 0);
    grid.shape(getBounds(), capacity);
    grid.clear();
    duplicates = false;
    following = nullptr;
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
    // The next game starts on the display's grid again.
    following = nullptr;
    shaped = boundsSet = viewSizeSet = slackSet = false;
    viewCorner = Vector();
    grid.shape(getBounds(), capacity);
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
    ObjectList found(capacity);
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
    // Once, after everything has moved: the frame shows the world as this step left it.
    follow();

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
    DisplayManager& display = DisplayManager::getInstance();
    const Vector corner = getView().getCorner();
    const Vector screen;
    // The origin is set only when it changes: most objects share the view's.
    bool onScreen = true;
    display.setOrigin(screen);
    auto paint = [&](Object* p) {
        if (p->isScreenFixed() != onScreen)
        {
            onScreen = p->isScreenFixed();
            display.setOrigin(onScreen ? screen : corner);
        }
        p->draw();
    };

    if (!shaped)
    {
        // The world is the screen: everything is drawn, wherever it paints.
        for (int altitude = 0; altitude < MAX_ALTITUDE; altitude++)
        {
            for (int i = 0; i < allObjects.getCount(); i++)
            {
                Object* p = allObjects[i];
                if (p->getAltitude() == altitude)
                    paint(p);
            }
        }
    }
    else
    {
        // Only what the view shows, found in the index: a frame costs what is shown, not what
        // the world holds.
        grid.collectShown(drawnArea(), shown);
        for (int altitude = 0; altitude < MAX_ALTITUDE; altitude++)
            for (Object* p : shown)
                if (p->getAltitude() == altitude)
                    paint(p);
    }
    display.setOrigin(screen);
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

    const Box world = getBounds();
    const float x1 = world.getCorner().getX(), y1 = world.getCorner().getY();
    const float x2 = x1 + world.getHorizontal(), y2 = y1 + world.getVertical();
    const bool out = where.getX() > x2 || where.getY() > y2 || where.getX() < x1 || where.getY() < y1;
    if (out)
    {
        EventOut leaving;
        p->eventHandler(&leaving);
    }
    return 0;
}

ObjectList WorldManager::getCollisions(const Object* p, Vector where) const
{
    ObjectList hit(capacity);
    grid.collect(p->getBox(), where, p->getId(), hit);
    return hit;
}

ObjectList WorldManager::getCollisionsByScan(const Object* p, Vector where) const
{
    ObjectList hit(capacity);
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
    if (removed == following)
        following = nullptr;
}

namespace {

bool isNumber(float v)
{
    return std::isfinite(v);
}

} // namespace

int WorldManager::setBounds(Box newBounds)
{
    shaped = true;
    const float w = newBounds.getHorizontal(), h = newBounds.getVertical();
    const Vector c = newBounds.getCorner();
    const bool good = isNumber(w) && isNumber(h) && w > 0 && h > 0 && isNumber(c.getX()) && isNumber(c.getY());
    if (!good)
        LogManager::getInstance().writeLog(
            "WorldManager::setBounds: bounds at (%g, %g) of %g x %g are not a place of positive size; the world is "
            "the display's grid",
            c.getX(), c.getY(), w, h);
    boundsSet = good;
    bounds = newBounds;
    grid.shape(getBounds(), capacity);
    return good ? 0 : -1;
}

Box WorldManager::getBounds() const
{
    if (boundsSet)
        return bounds;
    const DisplayManager& display = DisplayManager::getInstance();
    return Box(Vector(), static_cast<float>(display.getHorizontal()), static_cast<float>(display.getVertical()));
}

int WorldManager::setView(Box view)
{
    shaped = true;
    int result = 0;
    const float w = view.getHorizontal(), h = view.getVertical();
    const Box world = getBounds();
    if (!(isNumber(w) && isNumber(h) && w > 0 && h > 0))
    {
        LogManager::getInstance().writeLog(
            "WorldManager::setView: a view of %g x %g is not of positive size; the view is the display's grid's size",
            w, h);
        viewSizeSet = false;
        result = -1;
    }
    else
    {
        if (w > world.getHorizontal() || h > world.getVertical())
        {
            LogManager::getInstance().writeLog(
                "WorldManager::setView: a view of %g x %g is larger than the world's %g x %g; it is cut to the world",
                w, h, world.getHorizontal(), world.getVertical());
            result = -1;
        }
        viewSizeSet = true;
        viewSizeAsked = Vector(w, h);
    }
    Vector corner = view.getCorner();
    if (!isNumber(corner.getX()) || !isNumber(corner.getY()))
    {
        LogManager::getInstance().writeLog("WorldManager::setView: the corner (%g, %g) is not a place; the view "
                                           "starts at the world's corner",
                                           corner.getX(), corner.getY());
        corner = world.getCorner();
        result = -1;
    }
    viewCorner = corner;
    return result;
}

Box WorldManager::getView() const
{
    const Box world = getBounds();
    const Vector asked = viewSize();
    const Vector size(std::min(asked.getX(), world.getHorizontal()), std::min(asked.getY(), world.getVertical()));
    return Box(clampToBounds(viewCorner, size), size.getX(), size.getY());
}

int WorldManager::setViewFollowing(Object* p)
{
    if (p != nullptr && slotOf(p) < 0)
    {
        LogManager::getInstance().writeLog("WorldManager::setViewFollowing: object %d is not in the world", p->getId());
        following = nullptr;
        return -1;
    }
    following = p;
    return 0;
}

Object* WorldManager::getViewFollowing() const
{
    return following;
}

int WorldManager::setViewSlack(float horizontal, float vertical)
{
    const Box view = getView();
    const bool good =
        horizontal >= 0 && vertical >= 0 && horizontal <= view.getHorizontal() && vertical <= view.getVertical();
    if (!good)
        LogManager::getInstance().writeLog("WorldManager::setViewSlack: %g x %g does not fit a view of %g x %g; "
                                           "the slack is half the view",
                                           horizontal, vertical, view.getHorizontal(), view.getVertical());
    slackSet = good;
    slack = Vector(horizontal, vertical);
    return good ? 0 : -1;
}

Vector WorldManager::getViewSlack() const
{
    if (slackSet)
        return slack;
    const Box view = getView();
    return Vector(view.getHorizontal() / 2, view.getVertical() / 2);
}

Vector WorldManager::pixelsToWorld(Vector pixels) const
{
    const Vector spaces = DisplayManager::getInstance().pixelsToSpaces(pixels);
    return spaces + getView().getCorner();
}

Vector WorldManager::worldToPixels(Vector world) const
{
    const Vector corner = getView().getCorner();
    return DisplayManager::getInstance().spacesToPixels(
        Vector(world.getX() - corner.getX(), world.getY() - corner.getY()));
}

void WorldManager::setCapacity(int objects)
{
    askedCapacity = objects;
    if (isStarted())
        LogManager::getInstance().writeLog("WorldManager::setCapacity: %d objects from the next startUp; the world "
                                           "holds %d until then",
                                           objects, capacity);
}

int WorldManager::getCapacity() const
{
    return capacity;
}

void WorldManager::follow()
{
    if (following == nullptr)
        return;
    const Box view = getView();
    const Vector at = following->getPosition();
    const Vector room = getViewSlack();
    // How far the object stands beyond the slack region, along one axis (0 inside it).
    auto beyond = [](float position, float low, float high) {
        if (position < low)
            return position - low;
        if (position > high)
            return position - high;
        return 0.0f;
    };
    const float centreX = view.getCorner().getX() + view.getHorizontal() / 2;
    const float centreY = view.getCorner().getY() + view.getVertical() / 2;
    const float dx = beyond(at.getX(), centreX - room.getX() / 2, centreX + room.getX() / 2);
    const float dy = beyond(at.getY(), centreY - room.getY() / 2, centreY + room.getY() / 2);
    // Whole cells, so that the world's characters stay on the window's grid of cells.
    if (!isNumber(dx) || !isNumber(dy))
        return;
    const Vector moved(view.getCorner().getX() + std::round(dx), view.getCorner().getY() + std::round(dy));
    viewCorner = clampToBounds(moved, Vector(view.getHorizontal(), view.getVertical()));
}

Vector WorldManager::viewSize() const
{
    if (viewSizeSet)
        return viewSizeAsked;
    const DisplayManager& display = DisplayManager::getInstance();
    return Vector(static_cast<float>(display.getHorizontal()), static_cast<float>(display.getVertical()));
}

Vector WorldManager::clampToBounds(Vector corner, Vector size) const
{
    const Box world = getBounds();
    auto clamp = [](float c, float low, float high) {
        return std::max(low, std::min(c, high));
    };
    const float x1 = world.getCorner().getX(), y1 = world.getCorner().getY();
    return Vector(clamp(corner.getX(), x1, x1 + world.getHorizontal() - size.getX()),
                  clamp(corner.getY(), y1, y1 + world.getVertical() - size.getY()));
}

Box WorldManager::drawnArea() const
{
    const Box view = getView();
    const DisplayManager& display = DisplayManager::getInstance();
    // The window may show more than the view (a strip beyond the grid's last column).
    const Vector first = display.pixelsToSpaces(Vector());
    const Vector last = display.pixelsToSpaces(
        Vector(static_cast<float>(display.getHorizontalPixels()), static_cast<float>(display.getVerticalPixels())));
    const float x1 = std::min(first.getX(), 0.0f) - VIEW_DRAW_MARGIN;
    const float y1 = std::min(first.getY(), 0.0f) - VIEW_DRAW_MARGIN;
    const float x2 = std::max(last.getX(), view.getHorizontal()) + VIEW_DRAW_MARGIN;
    const float y2 = std::max(last.getY(), view.getVertical()) + VIEW_DRAW_MARGIN;
    const Vector corner = view.getCorner();
    return Box(Vector(corner.getX() + x1, corner.getY() + y1), x2 - x1, y2 - y1);
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

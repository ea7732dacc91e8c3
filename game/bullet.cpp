#include "bullet.h"

#include "common.h"

#include <string>

#include "EventCollision.h"
#include "EventOut.h"
#include "EventStep.h"
#include "ObjectList.h"
#include "WorldManager.h"

namespace ks {

namespace {

const float BULLET_SPEED = 1.5f; // cells per step, whatever the direction

} // namespace

bullet::bullet()
{
    reclaimIfRefused(this);
    setType("bullet");
    setSolidness(PASSABLE);
    setSprite("bullet");
    setAltitude(1);

    WorldManager& world = WorldManager::getInstance();
    const ObjectList reticles = world.objectsOfType("reticle");
    const ObjectList players = world.objectsOfType("player");
    if (reticles.isEmpty() || players.isEmpty())
    {
        // Nothing to fire from or at: a shot that lay still could still kill a zombie, so
        // it leaves the world before it is ever moved.
        leaveWorld();
        return;
    }

    const Vector aim = reticles[0]->getPosition();
    const Vector origin = players[0]->getPosition();
    Vector direction(aim.getX() - origin.getX(), aim.getY() - origin.getY());
    direction.normalize();

    setPosition(origin);
    setDirection(direction);
    setSpeed(BULLET_SPEED);
}

bullet::~bullet() = default;

int bullet::eventHandler(const Event* event)
{
    if (isEventType(event, STEP_EVENT))
        return 0;

    if (isEventType(event, OUT_EVENT))
    {
        leaveWorld();
    }
    else if (isEventType(event, COLLISION_EVENT))
    {
        const EventCollision* collision = static_cast<const EventCollision*>(event);
        if (eitherIs(collision, "zombie"))
            leaveWorld();
    }
    return 0;
}

void bullet::leaveWorld()
{
    WorldManager& world = WorldManager::getInstance();
    world.removeObject(this);
    // Out of the world nothing refers to it; the deletion pass frees it at the end of the
    // update, after the move that may still be delivering events to it.
    world.markForDelete(this);
}

} // namespace ks

#include "zombie.h"

#include "common.h"

#include <cstdlib>
#include <string>

#include "EventCollision.h"
#include "EventStep.h"
#include "ObjectList.h"
#include "ResourceManager.h"
#include "Vector.h"
#include "WorldManager.h"
#include "bulletpack.h"
#include "healthpack.h"
#include "player.h"

namespace ks {

namespace {

const double WALK_SPEED = 0.23; // cells per step at the start of a game
const int POINTS_PER_SPEEDUP = 1500;
const int CHARGE_ROLL = 500; // a roll of 0..5 out of 500 starts a charge
const int CHARGE_MAX_ROLL = 5;
const int CHARGE_STEPS_PER_ROLL = 10;
const int DROP_ROLL = 99;

} // namespace

zombie::zombie()
{
    reclaimIfRefused(this);
    chargeCountdown = 0;

    const ObjectList players = WorldManager::getInstance().objectsOfType("player");
    target = players.isEmpty() ? nullptr : static_cast<player*>(players[0]);
    targetId = target != nullptr ? target->getId() : -1;

    const int score = target != nullptr ? target->getScore() : 0;
    baseSpeed = static_cast<float>(WALK_SPEED + score / POINTS_PER_SPEEDUP);

    setType("zombie");
    setSolidness(PASSABLE);
    setSprite("zombie");
    setAltitude(1);

    const int side = rand() % 4;
    const int offset = rand() % 10;
    float x = 0;
    float y = 0;
    switch (side)
    {
    case 0: // below the bottom edge
        x = static_cast<float>(rand() % 80);
        y = static_cast<float>(34 + offset);
        break;
    case 1: // above the top edge
        x = static_cast<float>(rand() % 80);
        y = static_cast<float>(-10 - offset);
        break;
    case 2: // left of the left edge
        x = static_cast<float>(-10 - offset);
        y = static_cast<float>(rand() % 24);
        break;
    default: // right of the right edge
        x = static_cast<float>(90 + offset);
        y = static_cast<float>(rand() % 24);
        break;
    }
    setPosition(Vector(x, y));
}

zombie::~zombie() = default;

int zombie::eventHandler(const Event* event)
{
    if (isEventType(event, STEP_EVENT))
        step();
    else if (isEventType(event, COLLISION_EVENT))
        collide(event);
    return 0;
}

player* zombie::livingTarget() const
{
    // The game-over sequence deletes the player, and a zombie created in that same update
    // outlives it: the pointer is only used while its player exists.
    if (target == nullptr || !player::exists(targetId))
        return nullptr;
    return target;
}

void zombie::step()
{
    if (chargeCountdown > 0)
    {
        chargeCountdown--;
        return;
    }

    const player* chased = livingTarget();
    if (chased == nullptr)
    {
        // Nobody to chase: it stands still and harmless until the world clears it away.
        setSpeed(0);
        return;
    }

    const Vector own = getPosition();
    const Vector goal = chased->getPosition();
    Vector direction(goal.getX() - own.getX(), goal.getY() - own.getY());
    direction.normalize();
    setDirection(direction);
    setSpeed(baseSpeed);

    const int roll = rand() % CHARGE_ROLL;
    if (roll <= CHARGE_MAX_ROLL)
    {
        chargeCountdown = CHARGE_STEPS_PER_ROLL * roll;
        setSpeed(2 * baseSpeed);
        playSound("zombieattack");
    }
}

void zombie::collide(const Event* event)
{
    const EventCollision* collision = static_cast<const EventCollision*>(event);
    WorldManager& world = WorldManager::getInstance();

    if (eitherIs(collision, "bullet"))
    {
        new zombie;
        const int drop = rand() % DROP_ROLL;
        if (drop <= 14)
        {
            new zombie;
            playSound("newzombie");
        }
        else if (drop <= 25)
        {
            new healthpack(getPosition());
        }
        else if (drop <= 40)
        {
            new bulletpack(getPosition());
        }
        playSound("explode");
        player* credited = livingTarget();
        if (credited != nullptr)
            credited->addScore();
    }
    else if (eitherIs(collision, "player"))
    {
        // The player takes the hit in its own handler.
        new zombie;
    }
    else
    {
        return;
    }

    world.removeObject(this);
    // Out of the world nothing refers to it; the deletion pass frees it at the end of the
    // update, after the move that may still be delivering events to it.
    world.markForDelete(this);
}

} // namespace ks

// zombie: the enemy. Starts 10 to 19 cells beyond a random edge of the grid, walks at the
// player re-aiming every step and now and then charges at double speed. Shot, it credits
// the player, is replaced and may bring a second zombie or drop a power-up; reaching the
// player, it is replaced. Random choices come from rand(), in a fixed order.
#pragma once

#include "Object.h"

namespace ks {

class player;

class zombie : public Object
{
public:
    // Enters the world beyond an edge (three rolls: side, offset, place along the edge),
    // standing still until its first step. Its walking speed is fixed here from the
    // player's score: 0.23 plus one for every full 1500 points.
    zombie();
    ~zombie() override;

    // Step and collision events; always 0.
    int eventHandler(const Event* event) override;

private:
    void step();
    void collide(const Event* event);
    player* livingTarget() const;

    int chargeCountdown; // steps left in the current charge; 0 when walking
    float baseSpeed;     // walking speed, cells per step
    player* target;      // the player it chases, not owned; may be gone, see livingTarget
    int targetId;        // id of target, -1 without one
};

} // namespace ks

// bullet: a shot. Flies in a straight line from the player towards the reticle at 1.5
// cells per step and leaves the world when it hits a zombie or goes off the grid; the
// zombie does the scoring on its side of the collision.
#pragma once

#include "Object.h"

namespace ks {

class bullet : public Object
{
public:
    // Enters the world at the first player's position, aimed at the first reticle.
    // Without a player or a reticle it takes itself out again at once.
    bullet();
    ~bullet() override;

    // Out and collision events; always 0.
    int eventHandler(const Event* event) override;

private:
    void leaveWorld();
};

} // namespace ks

#include "healthpack.h"

#include "common.h"

namespace ks {

healthpack::healthpack(Vector position)
{
    becomePowerUp(this, "healthpack", &position);
}

// Stays at (0, 0); PASSABLE like the positioned one, so that it can still be picked up.
healthpack::healthpack()
{
    becomePowerUp(this, "healthpack", nullptr);
}

healthpack::~healthpack() = default;

int healthpack::eventHandler(const Event* event)
{
    return powerUpEvent(this, event);
}

} // namespace ks

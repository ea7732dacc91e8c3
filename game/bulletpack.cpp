#include "bulletpack.h"

#include "common.h"

namespace ks {

bulletpack::bulletpack(Vector position)
{
    becomePowerUp(this, "bulletpack", &position);
}

// Stays at (0, 0); PASSABLE like the positioned one, so that it can still be picked up.
bulletpack::bulletpack()
{
    becomePowerUp(this, "bulletpack", nullptr);
}

bulletpack::~bulletpack() = default;

int bulletpack::eventHandler(const Event* event)
{
    return powerUpEvent(this, event);
}

} // namespace ks

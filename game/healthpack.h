// healthpack: a health power-up left by a shot zombie. It lies still until the player
// walks into it, then removes itself; the player gains one hit point.
#pragma once

#include "Object.h"
#include "Vector.h"

namespace ks {

class healthpack : public Object
{
public:
    // Enters the world at position, PASSABLE, sprite "healthpack".
    explicit healthpack(Vector position);

    // Stays at (0, 0) and logs that no position was given.
    healthpack();

    ~healthpack() override;

    // Marks itself for deletion on touching the player. Always 0.
    int eventHandler(const Event* event) override;
};

} // namespace ks

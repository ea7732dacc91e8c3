// bulletpack: an ammunition power-up left by a shot zombie. It lies still until the player
// walks into it, then removes itself; the player grows and refills its magazine.
#pragma once

#include "Object.h"
#include "Vector.h"

namespace ks {

class bulletpack : public Object
{
public:
    // Enters the world at position, PASSABLE, sprite "bulletpack".
    explicit bulletpack(Vector position);

    // Stays at (0, 0) and logs that no position was given.
    bulletpack();

    ~bulletpack() override;

    // Marks itself for deletion on touching the player. Always 0.
    int eventHandler(const Event* event) override;
};

} // namespace ks

// reticle: the aim marker. Follows the mouse pointer; every bullet flies from the player
// towards where the reticle stands at the moment of the click. Drawn over everything else
// and never collides.
#pragma once

#include "Object.h"

namespace ks {

class reticle : public Object
{
public:
    // Enters the world at (10, 20), NONSOLID, sprite "reticle", altitude 3.
    reticle();
    ~reticle() override;

    // Mouse moves only: places the reticle on the pointer, in cells. Always 0.
    int eventHandler(const Event* event) override;
};

} // namespace ks

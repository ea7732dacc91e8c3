// start: the title screen. Shows the sprite "title" in the middle of the grid and waits
// for a key: SPACE starts a game (player, reticle, first zombie) and takes the title out
// of the world, ESCAPE ends the program.
//
//   new start;   // the world owns it from here on
#pragma once

#include "Object.h"

namespace ks {

class start : public Object
{
public:
    // Enters the world at (40, 12), NONSOLID, sprite "title".
    start();
    ~start() override;

    // Keyboard events only; always 0.
    int eventHandler(const Event* event) override;
};

} // namespace ks

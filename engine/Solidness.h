// Solidness: how an object takes part in collisions.
#pragma once

namespace ks {

enum Solidness
{
    BLOCKING, // collides, and two BLOCKING objects cannot move into each other
    PASSABLE, // collides and receives collision events, never stops a move
    NONSOLID, // never collides; the default
};

} // namespace ks

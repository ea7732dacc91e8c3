#pragma once

namespace ks {

/// Solidness: how an object takes part in collisions.
enum Solidness
{
    BLOCKING, ///< collides, and two BLOCKING objects cannot move into each other
    PASSABLE, ///< collides and receives collision events, never stops a move
    NONSOLID, ///< never collides; the default
};

} // namespace ks

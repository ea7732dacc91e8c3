#pragma once

#include "Vector.h"

namespace ks {

/// Box: an axis-aligned rectangle given by its upper-left corner, width and height.
/// An object's own box is relative to its position; getWorldBox places it in the world.
class Box
{
public:
    /// A box with its upper-left corner and its width and height in cells.
    Box(Vector initCorner, float initHorizontal, float initVertical);
    Box();

    /// Upper-left corner (smallest x and y).
    ///@{
    void setCorner(Vector newCorner);
    Vector getCorner() const;
    ///@}
    /// Width in cells.
    ///@{
    void setHorizontal(float newHorizontal);
    float getHorizontal() const;
    ///@}
    /// Height in cells.
    ///@{
    void setVertical(float newVertical);
    float getVertical() const;
    ///@}

private:
    Vector corner;        ///< smallest x and y
    float horizontal = 0; ///< width in cells
    float vertical = 0;   ///< height in cells
};

} // namespace ks

// Box: an axis-aligned rectangle given by its upper-left corner, width and height.
// An object's own box is relative to its position; getWorldBox places it in the world.
#pragma once

#include "Vector.h"

namespace ks {

class Box
{
public:
    Box(Vector initCorner, float initHorizontal, float initVertical);
    Box();

    void setCorner(Vector newCorner);
    Vector getCorner() const;
    void setHorizontal(float newHorizontal);
    float getHorizontal() const;
    void setVertical(float newVertical);
    float getVertical() const;

private:
    Vector corner;        // smallest x and y
    float horizontal = 0; // width in cells
    float vertical = 0;   // height in cells
};

} // namespace ks

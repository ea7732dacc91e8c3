#include "Box.h"

namespace ks {

Box::Box(Vector initCorner, float initHorizontal, float initVertical)
    : corner(initCorner),
      horizontal(initHorizontal),
      vertical(initVertical)
{}

Box::Box() = default;

void Box::setCorner(Vector newCorner)
{
    corner = newCorner;
}

Vector Box::getCorner() const
{
    return corner;
}

void Box::setHorizontal(float newHorizontal)
{
    horizontal = newHorizontal;
}

float Box::getHorizontal() const
{
    return horizontal;
}

void Box::setVertical(float newVertical)
{
    vertical = newVertical;
}

float Box::getVertical() const
{
    return vertical;
}

} // namespace ks

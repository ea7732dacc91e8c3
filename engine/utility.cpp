#include "utility.h"

#include "DisplayManager.h"
#include "LogManager.h"
#include "Object.h"

#include <cmath>

namespace ks {

namespace {

// The difference truncated toward zero, kept as a float: converting a huge or NaN float
// to int is undefined, and for every representable case the comparison with 1 is the same.
bool fartherThanOneCell(float a, float b)
{
    return std::fabs(std::trunc(a - b)) > 1;
}

// One axis: the first edge of one span lies within the other span, ends included.
bool spansOverlap(float a1, float a2, float b1, float b2)
{
    return (b1 <= a1 && a1 <= b2) || (a1 <= b1 && b1 <= a2);
}

} // namespace

bool positionsIntersect(Vector p1, Vector p2)
{
    if (fartherThanOneCell(p1.getX(), p2.getX()))
        return false;
    if (fartherThanOneCell(p1.getY(), p2.getY()))
        return false;
    return true;
}

bool boxIntersectsBox(Box a, Box b)
{
    const float ax1 = a.getCorner().getX();
    const float ax2 = ax1 + a.getHorizontal();
    const float bx1 = b.getCorner().getX();
    const float bx2 = bx1 + b.getHorizontal();
    const float ay1 = a.getCorner().getY();
    const float ay2 = ay1 + a.getVertical();
    const float by1 = b.getCorner().getY();
    const float by2 = by1 + b.getVertical();
    return spansOverlap(ax1, ax2, bx1, bx2) && spansOverlap(ay1, ay2, by1, by2);
}

Box getWorldBox(const Object* o)
{
    return getWorldBox(o, o->getPosition());
}

Box getWorldBox(const Object* o, Vector where)
{
    Box box = o->getBox();
    const Vector corner = box.getCorner();
    box.setCorner(Vector(corner.getX() + where.getX(), corner.getY() + where.getY()));
    return box;
}

Vector worldToView(Vector v)
{
    return DisplayManager::getInstance().pixelsToSpaces(v);
}

Vector viewToWorld(Vector v)
{
    return DisplayManager::getInstance().spacesToPixels(v);
}

bool valueInRange(float, float, float)
{
    LogManager::getInstance().writeLog("Funtion not implemented");
    return false;
}

std::string toString(int)
{
    LogManager::getInstance().writeLog("Funtion not implemented");
    return "";
}

} // namespace ks

/// @file
/// Free geometric helpers: box overlap, world boxes, the coarse position test and the
/// pixel/cell conversions of the display.
#pragma once

#include <string>

#include "Box.h"
#include "Vector.h"

namespace ks {

class Object;

/// True when the positions are less than two cells apart on both axes (differences are
/// truncated to int before the test).
bool positionsIntersect(Vector p1, Vector p2);

/// True when the boxes overlap or touch; every comparison is inclusive.
bool boxIntersectsBox(Box a, Box b);

/// The object's box moved by its position.
Box getWorldBox(const Object* o);
/// The object's box moved to where, as if it stood there.
Box getWorldBox(const Object* o, Vector where);

/// Window pixels to character cells (through the display manager).
Vector worldToView(Vector v);
/// Character cells to window pixels (through the display manager).
Vector viewToWorld(Vector v);

/// Not implemented: logs "Funtion not implemented" and returns false.
bool valueInRange(float value, float min, float max);
/// Not implemented: logs "Funtion not implemented" and returns an empty string.
std::string toString(int i);

} // namespace ks

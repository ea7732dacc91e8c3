#include "Vector.h"

#include <cmath>

namespace ks {

Vector::Vector(float initX, float initY) : x(initX), y(initY)
{}

Vector::Vector() = default;

void Vector::setX(float newX)
{
    x = newX;
}

float Vector::getX() const
{
    return x;
}

void Vector::setY(float newY)
{
    y = newY;
}

float Vector::getY() const
{
    return y;
}

void Vector::setXY(float newX, float newY)
{
    x = newX;
    y = newY;
}

float Vector::getMagnitude() const
{
    const float sumOfSquares = x * x + y * y;
    return static_cast<float>(std::sqrt(static_cast<double>(sumOfSquares)));
}

void Vector::normalize()
{
    const float length = getMagnitude();
    if (length > 0)
    {
        x /= length;
        y /= length;
    }
}

void Vector::scale(float s)
{
    x *= s;
    y *= s;
}

Vector Vector::operator+(const Vector& other) const
{
    return Vector(x + other.x, y + other.y);
}

} // namespace ks

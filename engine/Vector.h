// Vector: two floats, used for positions, directions and velocities (in character
// cells unless said otherwise). A plain value, always passed by value.
#pragma once

namespace ks {

class Vector
{
public:
    Vector(float initX, float initY);
    Vector();

    void setX(float newX);
    float getX() const;
    void setY(float newY);
    float getY() const;
    void setXY(float newX, float newY);

    // Length; the sum of squares is formed in float, its root taken in double.
    float getMagnitude() const;

    // Scales to length 1 in place; a zero vector stays (0, 0).
    void normalize();

    // Multiplies both components by s in place.
    void scale(float s);

    Vector operator+(const Vector& other) const;

private:
    float x = 0; // horizontal, to the right
    float y = 0; // vertical, downward
};

} // namespace ks

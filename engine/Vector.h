#pragma once

namespace ks {

/// Vector: two floats, used for positions, directions and velocities (in character
/// cells unless said otherwise). A plain value, always passed by value.
class Vector
{
public:
    /// The vector (initX, initY); the default one is (0, 0).
    Vector(float initX, float initY);
    Vector();

    /// Horizontal component, to the right.
    ///@{
    void setX(float newX);
    float getX() const;
    ///@}
    /// Vertical component, downward.
    ///@{
    void setY(float newY);
    float getY() const;
    ///@}
    /// Sets both components.
    void setXY(float newX, float newY);

    /// Length; the sum of squares is formed in float, its root taken in double.
    float getMagnitude() const;

    /// Scales to length 1 in place; a zero vector stays (0, 0).
    void normalize();

    /// Multiplies both components by s in place.
    void scale(float s);

    /// The component-wise sum.
    Vector operator+(const Vector& other) const;

private:
    float x = 0; ///< horizontal, to the right
    float y = 0; ///< vertical, downward
};

} // namespace ks

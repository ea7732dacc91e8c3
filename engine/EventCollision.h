#pragma once

#include "Event.h"
#include "Vector.h"

namespace ks {

class Object;

const std::string COLLISION_EVENT = "ks::collision";

/// EventCollision: object1 (the mover) would overlap object2 at position. Delivered by
/// the world manager to both objects; it does not own them.
class EventCollision : public Event
{
public:
    EventCollision();
    /// o1 moved and met o2 at position p.
    EventCollision(Object* o1, Object* o2, Vector p);

    /// The object that moved.
    ///@{
    void setObject1(Object* newObject1);
    Object* getObject1() const;
    ///@}
    /// The object it met.
    ///@{
    void setObject2(Object* newObject2);
    Object* getObject2() const;
    ///@}
    /// Where the mover was going when the objects met.
    ///@{
    void setPosition(Vector newPosition);
    Vector getPosition() const;
    ///@}

private:
    Vector position;           ///< where the mover was going
    Object* object1 = nullptr; ///< the mover
    Object* object2 = nullptr; ///< the object it ran into
};

} // namespace ks

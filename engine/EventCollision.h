// EventCollision: object1 (the mover) would overlap object2 at position. Delivered by
// the world manager to both objects; it does not own them.
#pragma once

#include "Event.h"
#include "Vector.h"

namespace ks {

class Object;

const std::string COLLISION_EVENT = "ks::collision";

class EventCollision : public Event
{
public:
    EventCollision();
    EventCollision(Object* o1, Object* o2, Vector p);

    void setObject1(Object* newObject1);
    Object* getObject1() const;
    void setObject2(Object* newObject2);
    Object* getObject2() const;
    void setPosition(Vector newPosition);
    Vector getPosition() const;

private:
    Vector position;           // where the mover was going
    Object* object1 = nullptr; // the mover
    Object* object2 = nullptr; // the object it ran into
};

} // namespace ks

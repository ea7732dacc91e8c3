#include "EventCollision.h"

namespace ks {

EventCollision::EventCollision()
{
    setType(COLLISION_EVENT);
}

EventCollision::EventCollision(Object* o1, Object* o2, Vector p) : position(p), object1(o1), object2(o2)
{
    setType(COLLISION_EVENT);
}

void EventCollision::setObject1(Object* newObject1)
{
    object1 = newObject1;
}

Object* EventCollision::getObject1() const
{
    return object1;
}

void EventCollision::setObject2(Object* newObject2)
{
    object2 = newObject2;
}

Object* EventCollision::getObject2() const
{
    return object2;
}

void EventCollision::setPosition(Vector newPosition)
{
    position = newPosition;
}

Vector EventCollision::getPosition() const
{
    return position;
}

} // namespace ks

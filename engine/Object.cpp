#include "Object.h"

#include "ObjectHome.h"
#include "ResourceManager.h"
#include "Sprite.h"

#include <utility>

namespace ks {

Object::Object()
{
    // Ids are handed out once per run and never given back.
    static int idNumber = 0;
    id = idNumber;
    type = "";
    position = Vector();
    idNumber++;
    altitude = 0;
    solidness = NONSOLID;
    // Registered before the derived constructor runs; it sets type, sprite and motion next.
    ObjectHome::home().insertObject(this);
    direction = Vector();
    speed = 0;
}

Object::~Object() = default;

void Object::setId(int newId)
{
    id = newId;
    // The world's index keeps ids beside the boxes.
    ObjectHome::home().boxChanged(this);
}

int Object::getId() const
{
    return id;
}

void Object::setType(std::string newType)
{
    type = std::move(newType);
}

std::string Object::getType() const
{
    return type;
}

void Object::setPosition(Vector newPosition)
{
    position = newPosition;
    ObjectHome::home().boxChanged(this);
}

Vector Object::getPosition() const
{
    return position;
}

int Object::eventHandler(const Event*)
{
    return 0;
}

int Object::draw()
{
    return animation.draw(position);
}

int Object::setAltitude(int newAltitude)
{
    altitude = newAltitude;
    return 0;
}

int Object::getAltitude() const
{
    return altitude;
}

void Object::setSpeed(float newSpeed)
{
    speed = newSpeed;
}

float Object::getSpeed() const
{
    return speed;
}

void Object::setDirection(Vector newDirection)
{
    direction = newDirection;
}

Vector Object::getDirection() const
{
    return direction;
}

void Object::setVelocity(Vector velocity)
{
    speed = velocity.getMagnitude();
    velocity.normalize();
    direction = velocity;
}

Vector Object::getVelocity() const
{
    Vector velocity = direction;
    velocity.scale(speed);
    return velocity;
}

Vector Object::predictPosition()
{
    return position + getVelocity();
}

bool Object::isSolid() const
{
    return solidness != NONSOLID;
}

int Object::setSolidness(Solidness newSolidness)
{
    solidness = newSolidness;
    // The world's index keeps solidness beside the boxes.
    ObjectHome::home().boxChanged(this);
    return 0;
}

Solidness Object::getSolidness() const
{
    return solidness;
}

int Object::setSprite(std::string label)
{
    // An unknown label has already been logged by the resource manager.
    Sprite* sprite = ResourceManager::getInstance().getSprite(label);
    if (sprite == nullptr)
        return -1;
    // The frame index is kept: an object that changes sprite goes on from where it was.
    animation.setSprite(sprite);
    animation.setSlowdownCount(sprite->getSlowdown());
    box = animation.getBox();
    ObjectHome::home().boxChanged(this);
    return 0;
}

void Object::setAnimation(Animation newAnimation)
{
    animation = std::move(newAnimation);
}

Animation Object::getAnimation() const
{
    return animation;
}

void Object::setBox(Box newBox)
{
    box = newBox;
    ObjectHome::home().boxChanged(this);
}

Box Object::getBox() const
{
    return box;
}

void Object::setScreenFixed(bool fixed)
{
    screenFixed = fixed;
    ObjectHome::home().boxChanged(this);
}

bool Object::isScreenFixed() const
{
    return screenFixed;
}

int& ObjectHome::slotNote(Object* p)
{
    return p->homeSlot;
}

} // namespace ks

// Animation: one object's playback state of a sprite (which frame is next, how long the
// current one has been shown). Copies share the sprite.
#pragma once

#include <string>

#include "Box.h"
#include "Vector.h"

namespace ks {

class Sprite;

class Animation
{
public:
    Animation();

    // The index and slowdown count are not touched.
    void setSprite(Sprite* newSprite);
    Sprite* getSprite() const;
    void setName(std::string newName);
    std::string getName() const;
    void setIndex(int newIndex);
    int getIndex() const;
    void setSlowdownCount(int newSlowdownCount);
    int getSlowdownCount() const;

    // Draws the current frame and advances. 0, or -1 without a sprite.
    int draw(Vector position);

    // The sprite's extent centred on the object's position.
    Box getBox() const;

private:
    Sprite* sprite = nullptr; // not owned
    int index = 1;            // frame drawn next, from 1
    int slowdownCount = -1;   // -1 freezes the animation
    std::string name;
};

} // namespace ks

#pragma once

#include <string>

#include "Box.h"
#include "Vector.h"

namespace ks {

class Sprite;

/// Animation: one object's playback state of a sprite (which frame is next, how long the
/// current one has been shown). Copies share the sprite.
class Animation
{
public:
    Animation();

    /// The index and slowdown count are not touched.
    ///@{
    void setSprite(Sprite* newSprite);
    Sprite* getSprite() const;
    ///@}
    /// Name of the animation (free for the game's use).
    ///@{
    void setName(std::string newName);
    std::string getName() const;
    ///@}
    /// Number of the frame drawn next, from 1.
    ///@{
    void setIndex(int newIndex);
    int getIndex() const;
    ///@}
    /// Steps the current frame has been shown; -1 freezes the animation on it.
    ///@{
    void setSlowdownCount(int newSlowdownCount);
    int getSlowdownCount() const;
    ///@}

    /// Draws the current frame and advances. 0, or -1 without a sprite.
    int draw(Vector position);

    /// The sprite's extent centred on the object's position.
    Box getBox() const;

private:
    Sprite* sprite = nullptr; ///< not owned
    int index = 1;            ///< frame drawn next, from 1
    int slowdownCount = -1;   ///< -1 freezes the animation
    std::string name;
};

} // namespace ks

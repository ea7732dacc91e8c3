#include "Animation.h"

#include "LogManager.h"
#include "Sprite.h"

#include <utility>

namespace ks {

Animation::Animation() = default;

void Animation::setSprite(Sprite* newSprite)
{
    sprite = newSprite;
}

Sprite* Animation::getSprite() const
{
    return sprite;
}

void Animation::setName(std::string newName)
{
    name = std::move(newName);
}

std::string Animation::getName() const
{
    return name;
}

void Animation::setIndex(int newIndex)
{
    index = newIndex;
}

int Animation::getIndex() const
{
    return index;
}

void Animation::setSlowdownCount(int newSlowdownCount)
{
    slowdownCount = newSlowdownCount;
}

int Animation::getSlowdownCount() const
{
    return slowdownCount;
}

int Animation::draw(Vector position)
{
    if (sprite == nullptr)
        return -1;

    sprite->draw(index, position);

    // -1 freezes the animation on the frame just drawn.
    if (slowdownCount == -1)
        return 0;

    // Counted wide so that a count at the int limit cannot overflow; a stored count is
    // always below the slowdown, so it fits back into an int.
    long long count = static_cast<long long>(slowdownCount) + 1;
    if (count >= sprite->getSlowdown())
    {
        count = 0;
        // Past the last frame the animation wraps to the first.
        index = index >= sprite->getFrameCount() ? 1 : index + 1;
    }
    slowdownCount = static_cast<int>(count);
    return 0;
}

Box Animation::getBox() const
{
    if (sprite == nullptr)
    {
        LogManager::getInstance().writeLog("No box found, returning box centered newat 0,0");
        return Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f);
    }
    const float width = static_cast<float>(sprite->getWidth());
    const float height = static_cast<float>(sprite->getHeight());
    return Box(Vector(-width / 2.0f, -height / 2.0f), width, height);
}

} // namespace ks

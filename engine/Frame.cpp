#include "Frame.h"

#include "DisplayManager.h"

#include <cstddef>
#include <utility>

namespace ks {

Frame::Frame() = default;

Frame::Frame(int newWidth, int newHeight, std::string newFrameString)
    : width(newWidth),
      height(newHeight),
      frameString(std::move(newFrameString))
{}

void Frame::setWidth(int newWidth)
{
    width = newWidth;
}

int Frame::getWidth() const
{
    return width;
}

void Frame::setHeight(int newHeight)
{
    height = newHeight;
}

int Frame::getHeight() const
{
    return height;
}

void Frame::setString(std::string newFrameString)
{
    frameString = std::move(newFrameString);
}

std::string Frame::getString() const
{
    return frameString;
}

int Frame::draw(Vector position, Color color) const
{
    if (frameString.empty())
        return -1;

    const DisplayManager& display = DisplayManager::getInstance();
    const float halfWidth = static_cast<float>(width / 2);
    const float halfHeight = static_cast<float>(height / 2);
    const std::size_t length = frameString.size();

    for (int y = 0; y < height; y++)
    {
        for (int x = 0; x < width; x++)
        {
            // A text shorter than width * height is painted as far as it goes, never past its end.
            const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x;
            if (at >= length)
                return 0;
            display.drawCh(Vector(position.getX() + x - halfWidth, position.getY() + y - halfHeight), frameString[at],
                           color);
        }
    }
    return 0;
}

} // namespace ks

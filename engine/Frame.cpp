#include "Frame.h"

#include "DisplayManager.h"
#include "Utf8.h"

#include <cstddef>
#include <utility>

namespace ks {

Frame::Frame() = default;

Frame::Frame(int newWidth, int newHeight, std::string newFrameString)
    : width(newWidth),
      height(newHeight),
      frameString(std::move(newFrameString))
{}

Frame::Frame(int newWidth, int newHeight, std::u32string newCodePoints)
    : width(newWidth),
      height(newHeight),
      codePoints(std::move(newCodePoints))
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
    codePoints.clear();
}

std::string Frame::getString() const
{
    if (codePoints.empty())
        return frameString;
    std::string text;
    for (char32_t codePoint : codePoints)
        appendUtf8(text, codePoint);
    return text;
}

std::u32string Frame::getCodePoints() const
{
    return codePoints;
}

int Frame::draw(Vector position, Color color) const
{
    const bool glyphs = !codePoints.empty();
    if (!glyphs && frameString.empty())
        return -1;

    const DisplayManager& display = DisplayManager::getInstance();
    const float halfWidth = static_cast<float>(width / 2);
    const float halfHeight = static_cast<float>(height / 2);
    const std::size_t length = glyphs ? codePoints.size() : frameString.size();

    for (int y = 0; y < height; y++)
    {
        for (int x = 0; x < width; x++)
        {
            // A text shorter than width * height is painted as far as it goes, never past its end.
            const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x;
            if (at >= length)
                return 0;
            const Vector cell(position.getX() + x - halfWidth, position.getY() + y - halfHeight);
            if (glyphs)
                display.drawGlyph(cell, codePoints[at], color);
            else
                display.drawCh(cell, frameString[at], color);
        }
    }
    return 0;
}

} // namespace ks

#include "Sprite.h"

#include "LogManager.h"

#include <utility>

namespace ks {

Sprite::Sprite(int maxFrames)
    // A negative capacity cannot be allocated; it holds no frames instead.
    : maxFrameCount(maxFrames < 0 ? 0 : maxFrames),
      frame(new Frame[maxFrames < 0 ? 0 : maxFrames])
{}

Sprite::~Sprite()
{
    delete[] frame;
}

void Sprite::swap(Sprite& other)
{
    std::swap(width, other.width);
    std::swap(height, other.height);
    std::swap(maxFrameCount, other.maxFrameCount);
    std::swap(frameCount, other.frameCount);
    std::swap(color, other.color);
    std::swap(slowdown, other.slowdown);
    std::swap(frame, other.frame);
    std::swap(label, other.label);
}

void Sprite::setWidth(int newWidth)
{
    width = newWidth;
}

int Sprite::getWidth() const
{
    return width;
}

void Sprite::setHeight(int newHeight)
{
    height = newHeight;
}

int Sprite::getHeight() const
{
    return height;
}

void Sprite::setColor(Color newColor)
{
    color = newColor;
}

Color Sprite::getColor() const
{
    return color;
}

void Sprite::setSlowdown(int newSlowdown)
{
    slowdown = newSlowdown;
}

int Sprite::getSlowdown() const
{
    return slowdown;
}

void Sprite::setLabel(std::string newLabel)
{
    label = std::move(newLabel);
}

std::string Sprite::getLabel() const
{
    return label;
}

int Sprite::getFrameCount() const
{
    return frameCount;
}

int Sprite::addFrame(Frame newFrame)
{
    if (frameCount == maxFrameCount)
    {
        LogManager::getInstance().writeLog("Failed to add frame, already at max frames");
        return -1;
    }
    frame[frameCount] = std::move(newFrame);
    frameCount++;
    return 0;
}

Frame Sprite::getFrame(int position) const
{
    if (position < 0 || position >= frameCount)
        return Frame();
    return frame[position];
}

int Sprite::draw(int frameNumber, Vector position) const
{
    if (frameNumber < 1 || frameNumber > frameCount)
    {
        LogManager::getInstance().writeLog("Failed to draw sprite");
        return -1;
    }
    frame[frameNumber - 1].draw(position, color);
    return 0;
}

} // namespace ks

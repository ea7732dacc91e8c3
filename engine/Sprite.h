// Sprite: a labelled sequence of frames of one size and colour, owned by the resource
// manager and shared by pointer between the animations that play it.
#pragma once

#include <string>

#include "Color.h"
#include "Frame.h"
#include "Vector.h"

namespace ks {

class Sprite
{
public:
    // Room for maxFrames frames (none when maxFrames is negative).
    explicit Sprite(int maxFrames);
    ~Sprite();

    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    void setWidth(int newWidth);
    int getWidth() const;
    void setHeight(int newHeight);
    int getHeight() const;
    void setColor(Color newColor);
    Color getColor() const;
    void setSlowdown(int newSlowdown);
    int getSlowdown() const;
    void setLabel(std::string newLabel);
    std::string getLabel() const;
    int getFrameCount() const;

    // Appends a copy. 0, or -1 with a log line when full.
    int addFrame(Frame newFrame);

    // A copy of the frame at position (from 0), or an empty frame.
    Frame getFrame(int position) const;

    // Draws frame number frameNumber (from 1) in the sprite's colour. 0, or -1 with a log line.
    int draw(int frameNumber, Vector position) const;

private:
    int width = 0;
    int height = 0;
    int maxFrameCount;
    int frameCount = 0;
    Color color = COLOR_DEFAULT;
    int slowdown = 0;       // draws per frame
    Frame* frame = nullptr; // maxFrameCount frames, owned
    std::string label;
};

} // namespace ks

#pragma once

#include <string>

#include "Color.h"
#include "Frame.h"
#include "Vector.h"

namespace ks {

/// Sprite: a labelled sequence of frames of one size and colour, owned by the resource
/// manager and shared by pointer between the animations that play it.
class Sprite
{
public:
    /// Room for maxFrames frames (none when maxFrames is negative).
    explicit Sprite(int maxFrames);
    ~Sprite();

    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    /// Characters per row of every frame.
    ///@{
    void setWidth(int newWidth);
    int getWidth() const;
    ///@}
    /// Rows of every frame.
    ///@{
    void setHeight(int newHeight);
    int getHeight() const;
    ///@}
    /// The colour every frame is drawn in.
    ///@{
    void setColor(Color newColor);
    Color getColor() const;
    ///@}
    /// Steps each frame is shown before the next.
    ///@{
    void setSlowdown(int newSlowdown);
    int getSlowdown() const;
    ///@}
    /// The label the resource manager finds the sprite by.
    ///@{
    void setLabel(std::string newLabel);
    std::string getLabel() const;
    ///@}
    /// Frames added so far.
    int getFrameCount() const;

    /// Appends a copy. 0, or -1 with a log line when full.
    int addFrame(Frame newFrame);

    /// A copy of the frame at position (from 0), or an empty frame.
    Frame getFrame(int position) const;

    /// Draws frame number frameNumber (from 1) in the sprite's colour. 0, or -1 with a log line.
    int draw(int frameNumber, Vector position) const;

    /// Exchanges everything, the label included, with other: a sprite read again from its file
    /// gives its art to the sprite that animations already point to.
    void swap(Sprite& other);

private:
    int width = 0;
    int height = 0;
    int maxFrameCount;
    int frameCount = 0;
    Color color = COLOR_DEFAULT;
    int slowdown = 0;       ///< draws per frame
    Frame* frame = nullptr; ///< maxFrameCount frames, owned
    std::string label;
};

} // namespace ks

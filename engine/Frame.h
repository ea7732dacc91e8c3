// Frame: one text-art picture, width x height characters stored row after row.
#pragma once

#include <string>

#include "Color.h"
#include "Vector.h"

namespace ks {

class Frame
{
public:
    Frame();
    Frame(int newWidth, int newHeight, std::string newFrameString);

    void setWidth(int newWidth);
    int getWidth() const;
    void setHeight(int newHeight);
    int getHeight() const;
    void setString(std::string newFrameString);
    std::string getString() const;

    // Paints every character centred on position. 0, or -1 for an empty frame.
    int draw(Vector position, Color color) const;

private:
    int width = 0;           // characters per row
    int height = 0;          // rows
    std::string frameString; // width * height characters, or empty
};

} // namespace ks

#pragma once

#include <string>

#include "Color.h"
#include "Vector.h"

namespace ks {

/// Frame: one text-art picture, width x height characters stored row after row.
class Frame
{
public:
    Frame();
    /// A frame of newWidth x newHeight characters, given row after row in newFrameString.
    Frame(int newWidth, int newHeight, std::string newFrameString);

    /// Characters per row.
    ///@{
    void setWidth(int newWidth);
    int getWidth() const;
    ///@}
    /// Rows.
    ///@{
    void setHeight(int newHeight);
    int getHeight() const;
    ///@}
    /// The characters, row after row (width * height of them, or empty).
    ///@{
    void setString(std::string newFrameString);
    std::string getString() const;
    ///@}

    /// Paints every character centred on position. 0, or -1 for an empty frame.
    int draw(Vector position, Color color) const;

private:
    int width = 0;           ///< characters per row
    int height = 0;          ///< rows
    std::string frameString; ///< width * height characters, or empty
};

} // namespace ks

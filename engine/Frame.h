#pragma once

#include <string>

#include "Color.h"
#include "Vector.h"

namespace ks {

/// Frame: one text-art picture, width x height characters stored row after row. A frame is
/// made either of characters (bytes, each painted with DisplayManager::drawCh) or of Unicode
/// code points (art read as UTF-8, each painted with DisplayManager::drawGlyph).
class Frame
{
public:
    Frame();
    /// A frame of newWidth x newHeight characters, given row after row in newFrameString.
    Frame(int newWidth, int newHeight, std::string newFrameString);
    /// A frame of newWidth x newHeight code points, given row after row.
    Frame(int newWidth, int newHeight, std::u32string newCodePoints);

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
    /// The characters, row after row (width * height of them, or empty). Setting them makes
    /// a frame of characters; a frame of code points gives their UTF-8 text.
    ///@{
    void setString(std::string newFrameString);
    std::string getString() const;
    ///@}
    /// The code points, row after row, of a frame made of them; empty for one of characters.
    std::u32string getCodePoints() const;

    /// Paints every character centred on position. 0, or -1 for an empty frame.
    int draw(Vector position, Color color) const;

private:
    int width = 0;             ///< characters per row
    int height = 0;            ///< rows
    std::string frameString;   ///< width * height characters, or empty
    std::u32string codePoints; ///< width * height code points, or empty for a frame of characters
};

} // namespace ks

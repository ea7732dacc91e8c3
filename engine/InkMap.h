/// @file InkMap.h
/// Where recorded glyphs may have left ink, for the character batch's box repaints.
#pragma once

#include <vector>

namespace ks {

/// Where the glyphs recorded for the next paint may have put ink on the window, kept as one
/// bounding rectangle per 16 x 16-pixel tile. CharacterBatch asks it which part of a new
/// character's black box lies over such ink: only that part has to be painted again after
/// those glyphs.
///
/// Answers err on the large side (a tile's rectangle bounds all the ink in it), never on the
/// small side: every point of the box inside an added rectangle is inside the answer.
///
///     InkMap ink(1024, 768);
///     ink.add({10, 4, 30, 28});
///     InkMap::Rect over = ink.inkWithin({24, 6, 36, 38}); // {24, 6, 30, 28}
class InkMap
{
public:
    /// A rectangle in pixels: left and top inside, right and bottom just outside.
    struct Rect
    {
        float left, top, right, bottom;

        /// True when the rectangle holds no point.
        bool isEmpty() const;
    };

    /// A map of a width x height window, without ink.
    InkMap(int width, int height);

    /// Forgets all ink.
    void clear();

    /// Notes ink somewhere inside r; what lies outside the window is dropped.
    void add(const Rect& r);

    /// The part of box that may lie over ink: inside box, and holding every point of box that
    /// is inside an added rectangle. Its edges that fall on box's edges are box's own values.
    /// Empty (isEmpty) when no ink reaches the box.
    Rect inkWithin(const Rect& box) const;

private:
    static constexpr int TILE = 16; // pixels

    // The tiles a rectangle clipped to the window covers; false when it covers none.
    bool tileRange(const Rect& r, int& c0, int& r0, int& c1, int& r1) const;

    int width, height;
    int columns, rows;
    std::vector<Rect> tiles;  // row by row; an empty rectangle where there is no ink
    std::vector<int> touched; // tiles that hold ink, to empty them quickly
};

} // namespace ks

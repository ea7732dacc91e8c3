#include "InkMap.h"

#include <algorithm>
#include <cmath>

namespace ks {

namespace {

const InkMap::Rect NO_INK{0, 0, 0, 0};

} // namespace

bool InkMap::Rect::isEmpty() const
{
    return !(left < right && top < bottom);
}

InkMap::InkMap(int width, int height)
    : width(width),
      height(height),
      columns((width + TILE - 1) / TILE),
      rows((height + TILE - 1) / TILE),
      tiles(static_cast<std::size_t>(columns * rows), NO_INK)
{}

void InkMap::clear()
{
    for (int i : touched)
        tiles[static_cast<std::size_t>(i)] = NO_INK;
    touched.clear();
}

bool InkMap::tileRange(const Rect& r, int& c0, int& r0, int& c1, int& r1) const
{
    // Compared as floats first, so that huge or non-finite values never reach an int.
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    if (!(r.right > 0 && r.left < w && r.bottom > 0 && r.top < h) || r.isEmpty())
        return false;
    c0 = static_cast<int>(std::max(r.left, 0.f)) / TILE;
    r0 = static_cast<int>(std::max(r.top, 0.f)) / TILE;
    c1 = std::min(static_cast<int>(std::ceil(std::min(r.right, w))) - 1, width - 1) / TILE;
    r1 = std::min(static_cast<int>(std::ceil(std::min(r.bottom, h))) - 1, height - 1) / TILE;
    return true;
}

void InkMap::add(const Rect& r)
{
    int c0, r0, c1, r1;
    if (!tileRange(r, c0, r0, c1, r1))
        return;
    for (int row = r0; row <= r1; row++)
    {
        for (int column = c0; column <= c1; column++)
        {
            const float tileLeft = static_cast<float>(column * TILE), tileTop = static_cast<float>(row * TILE);
            const Rect part{std::max(r.left, tileLeft), std::max(r.top, tileTop), std::min(r.right, tileLeft + TILE),
                            std::min(r.bottom, tileTop + TILE)};
            const int index = row * columns + column;
            Rect& tile = tiles[static_cast<std::size_t>(index)];
            if (tile.isEmpty())
            {
                tile = part;
                touched.push_back(index);
            }
            else
            {
                tile = Rect{std::min(tile.left, part.left), std::min(tile.top, part.top),
                            std::max(tile.right, part.right), std::max(tile.bottom, part.bottom)};
            }
        }
    }
}

InkMap::Rect InkMap::inkWithin(const Rect& box) const
{
    int c0, r0, c1, r1;
    if (!tileRange(box, c0, r0, c1, r1))
        return NO_INK;
    bool found = false;
    Rect ink = NO_INK;
    for (int row = r0; row <= r1; row++)
    {
        for (int column = c0; column <= c1; column++)
        {
            // Each tile's ink cut to the box first: ink beside the box in one tile and below
            // it in another must not add up to a rectangle across the box.
            const Rect& tile = tiles[static_cast<std::size_t>(row * columns + column)];
            const Rect part{std::max(box.left, tile.left), std::max(box.top, tile.top), std::min(box.right, tile.right),
                            std::min(box.bottom, tile.bottom)};
            if (part.isEmpty())
                continue;
            ink = found ? Rect{std::min(ink.left, part.left), std::min(ink.top, part.top),
                               std::max(ink.right, part.right), std::max(ink.bottom, part.bottom)}
                        : part;
            found = true;
        }
    }
    return found ? ink : NO_INK;
}

} // namespace ks

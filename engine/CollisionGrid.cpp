#include "CollisionGrid.h"

#include "Object.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ks {

namespace {

// One axis of the box test: the first edge of one span lies within the other, ends included.
// The same comparisons, in the same order, as boxIntersectsBox makes.
inline bool spansOverlap(float a1, float a2, float b1, float b2)
{
    return (b1 <= a1 && a1 <= b2) || (a1 <= b1 && b1 <= a2);
}

// The part of an axis where a box can meet another. The test above can only be true at a
// point that lies in both boxes' spans taken this way: from the first edge to the second,
// or the first edge alone when the second lies before it (or is not a number).
inline float farEdge(float e1, float e2)
{
    return e2 >= e1 ? e2 : e1;
}

} // namespace

CollisionGrid::CollisionGrid() = default;

void CollisionGrid::clear()
{
    for (std::vector<std::uint32_t>& square : squares)
        square.clear();
    wide.clear();
    count = 0;
    freeCount = capacity;
    for (int i = 0; i < capacity; i++)
        freeEntries[static_cast<size_t>(i)] = static_cast<std::uint32_t>(capacity - 1 - i);
}

void CollisionGrid::shape(Box bounds, int newCapacity)
{
    square = SQUARE;
    const float width = bounds.getHorizontal() + 2 * MARGIN;
    const float height = bounds.getVertical() + 2 * MARGIN;
    // Larger squares for a world too large for the limit; a square of the usual side at least.
    while (std::ceil(width / square) * std::ceil(height / square) > static_cast<float>(MAX_GRID_SQUARES))
        square *= 2;
    left = bounds.getCorner().getX() - MARGIN;
    top = bounds.getCorner().getY() - MARGIN;
    columns = static_cast<int>(std::ceil(width / square));
    rows = static_cast<int>(std::ceil(height / square));
    squares.assign(static_cast<size_t>(columns) * static_cast<size_t>(rows), {});
    wide.clear();

    if (newCapacity != capacity)
    {
        capacity = newCapacity;
        entries.assign(static_cast<size_t>(capacity), Entry{});
        slots.assign(static_cast<size_t>(capacity), 0);
        freeEntries.assign(static_cast<size_t>(capacity), 0);
        search = 0;
        clear();
        return;
    }
    for (int slot = 0; slot < count; slot++)
    {
        const std::uint32_t e = slots[static_cast<size_t>(slot)];
        Entry& entry = entries[e];
        entry.squares = squaresOf(entry.extent, entry.fixed);
        file(e);
    }
}

void CollisionGrid::append(Object* p)
{
    if (count >= capacity || freeCount == 0)
        return;
    const std::uint32_t e = freeEntries[static_cast<size_t>(--freeCount)];
    Entry& entry = entries[e];
    entry.object = p;
    entry.order = nextOrder++;
    entry.seen = 0;
    if (p != nullptr)
    {
        entry.extent = extentOf(p->getBox(), p->getPosition());
        entry.id = p->getId();
        entry.solid = p->isSolid();
        entry.fixed = p->isScreenFixed();
    }
    else
    {
        const float none = std::numeric_limits<float>::quiet_NaN();
        entry.extent = Extent{none, none, none, none};
        entry.id = -1;
        entry.solid = false;
        entry.fixed = false;
    }
    entry.squares = squaresOf(entry.extent, entry.fixed);
    file(e);
    slots[static_cast<size_t>(count++)] = e;
}

void CollisionGrid::removeAt(int slot)
{
    if (slot < 0 || slot >= count)
        return;
    const std::uint32_t e = slots[static_cast<size_t>(slot)];
    unfile(e);
    freeEntries[static_cast<size_t>(freeCount++)] = e;
    for (int i = slot; i < count - 1; i++)
        slots[i] = slots[i + 1];
    count--;
}

void CollisionGrid::refresh(int slot, Object* p)
{
    if (slot < 0 || slot >= count)
        return;
    const std::uint32_t e = slots[static_cast<size_t>(slot)];
    Entry& entry = entries[e];
    entry.object = p;
    entry.extent = extentOf(p->getBox(), p->getPosition());
    entry.id = p->getId();
    entry.solid = p->isSolid();
    entry.fixed = p->isScreenFixed();
    const Squares now = squaresOf(entry.extent, entry.fixed);
    const Squares& was = entry.squares;
    // Most moves stay within the same squares: only the copy of the box changes then.
    if (now.c1 == was.c1 && now.r1 == was.r1 && now.c2 == was.c2 && now.r2 == was.r2)
        return;
    unfile(e);
    entry.squares = now;
    file(e);
}

void CollisionGrid::collect(Box box, Vector where, int moverId, ObjectList& hit) const
{
    const Extent mover = extentOf(box, where);
    // A first edge that is not a number fails every comparison: nothing can be hit.
    if (!(mover.x1 == mover.x1) || !(mover.y1 == mover.y1))
        return;

    startSearch();
    const int c1 = column(mover.x1), c2 = column(farEdge(mover.x1, mover.x2));
    const int r1 = row(mover.y1), r2 = row(farEdge(mover.y1, mover.y2));
    for (int r = r1; r <= r2; r++)
        for (int c = c1; c <= c2; c++)
            for (std::uint32_t e : squares[static_cast<size_t>(r * columns + c)])
                candidate(e, mover, moverId);
    for (std::uint32_t e : wide)
        candidate(e, mover, moverId);

    std::sort(found.begin(), found.end(),
              [](const std::pair<std::uint64_t, Object*>& a, const std::pair<std::uint64_t, Object*>& b) {
                  return a.first < b.first;
              });
    for (const std::pair<std::uint64_t, Object*>& f : found)
        hit.insert(f.second);
}

void CollisionGrid::collectShown(Box area, std::vector<Object*>& shown) const
{
    shown.clear();
    const Extent a = extentOf(area, Vector());
    startSearch();
    auto consider = [&](std::uint32_t e) {
        const Entry& entry = entries[e];
        if (entry.seen == search)
            return;
        entry.seen = search;
        const Extent& other = entry.extent;
        if (entry.object != nullptr && (entry.fixed || (spansOverlap(a.x1, a.x2, other.x1, other.x2) &&
                                                        spansOverlap(a.y1, a.y2, other.y1, other.y2))))
            found.emplace_back(entry.order, entry.object);
    };
    if (a.x1 == a.x1 && a.y1 == a.y1)
    {
        const int c1 = column(a.x1), c2 = column(farEdge(a.x1, a.x2));
        const int r1 = row(a.y1), r2 = row(farEdge(a.y1, a.y2));
        for (int r = r1; r <= r2; r++)
            for (int c = c1; c <= c2; c++)
                for (std::uint32_t e : squares[static_cast<size_t>(r * columns + c)])
                    consider(e);
    }
    for (std::uint32_t e : wide)
        consider(e);
    std::sort(found.begin(), found.end(),
              [](const std::pair<std::uint64_t, Object*>& x, const std::pair<std::uint64_t, Object*>& y) {
                  return x.first < y.first;
              });
    for (const std::pair<std::uint64_t, Object*>& f : found)
        shown.push_back(f.second);
}

int CollisionGrid::getCount() const
{
    return count;
}

CollisionGrid::Extent CollisionGrid::extentOf(Box box, Vector where)
{
    Extent e;
    e.x1 = box.getCorner().getX() + where.getX();
    e.x2 = e.x1 + box.getHorizontal();
    e.y1 = box.getCorner().getY() + where.getY();
    e.y2 = e.y1 + box.getVertical();
    return e;
}

CollisionGrid::Squares CollisionGrid::squaresOf(const Extent& e, bool fixed) const
{
    // Fixed to the screen: every search for what is shown must meet it, wherever it stands.
    if (fixed)
        return Squares{WIDE, 0, 0, 0};
    if (!(e.x1 == e.x1) || !(e.y1 == e.y1))
        return Squares{-1, -1, -1, -1};
    Squares s{column(e.x1), row(e.y1), column(farEdge(e.x1, e.x2)), row(farEdge(e.y1, e.y2))};
    if ((s.c2 - s.c1 + 1) * (s.r2 - s.r1 + 1) > MAX_SQUARES)
        s.c1 = WIDE;
    return s;
}

// Square numbers never decrease as x grows, and everything beyond the grid falls into its
// border squares: two spans that share a point always share a square.
int CollisionGrid::column(float x) const
{
    const float t = (x - left) / square;
    if (!(t >= 0))
        return 0;
    if (t >= static_cast<float>(columns))
        return columns - 1;
    return static_cast<int>(t);
}

int CollisionGrid::row(float y) const
{
    const float t = (y - top) / square;
    if (!(t >= 0))
        return 0;
    if (t >= static_cast<float>(rows))
        return rows - 1;
    return static_cast<int>(t);
}

void CollisionGrid::file(std::uint32_t e)
{
    const Squares& s = entries[e].squares;
    if (s.c1 == WIDE)
    {
        wide.push_back(e);
        return;
    }
    if (s.c1 < 0)
        return;
    for (int r = s.r1; r <= s.r2; r++)
        for (int c = s.c1; c <= s.c2; c++)
            squares[static_cast<size_t>(r * columns + c)].push_back(e);
}

void CollisionGrid::unfile(std::uint32_t e)
{
    // Order within a square does not matter (hits are sorted), so the last entry fills the gap.
    auto drop = [e](std::vector<std::uint32_t>& list) {
        for (std::size_t i = 0; i < list.size(); i++)
        {
            if (list[i] == e)
            {
                list[i] = list.back();
                list.pop_back();
                return;
            }
        }
    };
    const Squares& s = entries[e].squares;
    if (s.c1 == WIDE)
    {
        drop(wide);
        return;
    }
    if (s.c1 < 0)
        return;
    for (int r = s.r1; r <= s.r2; r++)
        for (int c = s.c1; c <= s.c2; c++)
            drop(squares[static_cast<size_t>(r * columns + c)]);
}

void CollisionGrid::startSearch() const
{
    if (++search == 0)
    {
        for (const Entry& entry : entries)
            entry.seen = 0;
        search = 1;
    }
    found.clear();
}

void CollisionGrid::candidate(std::uint32_t e, const Extent& mover, int moverId) const
{
    const Entry& entry = entries[e];
    if (entry.seen == search)
        return;
    entry.seen = search;
    const Extent& other = entry.extent;
    if (!spansOverlap(mover.x1, mover.x2, other.x1, other.x2) || !spansOverlap(mover.y1, mover.y2, other.y1, other.y2))
        return;
    if (entry.id != moverId && entry.solid)
        found.emplace_back(entry.order, entry.object);
}

} // namespace ks

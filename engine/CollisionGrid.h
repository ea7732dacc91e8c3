#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "Box.h"
#include "ObjectList.h"
#include "Vector.h"

namespace ks {

class Object;

/// CollisionGrid: the world manager's index of its objects' boxes, for collision searches and
/// for finding what the view shows. It keeps a copy of the world box of every entry of the
/// world's object list, in the list's order, and files each box under the squares of a uniform
/// grid that the box covers. A search then tests only the boxes filed under the squares the
/// searched box covers, with the same comparisons as the plain box test, and returns the hits
/// in list order: the same list a scan of the whole world gives, found in time that grows with
/// the crowd around the box, not with the world.
///
/// Entries are numbered like the list's (0..count-1); the world manager calls append, removeAt
/// and refresh as the list and the objects change, and shape when the world's bounds or
/// capacity change.
///
/// @code
/// grid.append(object);            // after allObjects.insert(object)
/// grid.refresh(slot, object);     // after the object's position or box changed
/// grid.collect(box, where, id, hit);
/// @endcode
class CollisionGrid
{
public:
    /// A grid over the display's default grid of cells, for MAX_OBJECTS entries.
    CollisionGrid();

    /// Forgets every entry.
    void clear();

    /// Covers bounds (with MARGIN cells around them) for capacity entries; the entries there
    /// are kept and filed anew when only the bounds change, and forgotten when the capacity does.
    void shape(Box bounds, int capacity);

    /// A new last entry for p (which may be null: such an entry is never hit). Ignored when
    /// capacity entries are already there, as the world's list refuses the object then.
    void append(Object* p);

    /// Takes out the entry at slot; the entries after it move down by one.
    void removeAt(int slot);

    /// Takes p's current position, box, id and solidness (and whether it is fixed to the screen)
    /// for the entry at slot.
    void refresh(int slot, Object* p);

    /// Appends to hit, in list order, every solid object whose box overlaps box moved to
    /// where (the box test's rules: edges included, the mover's box first), skipping objects
    /// whose id is moverId.
    void collect(Box box, Vector where, int moverId, ObjectList& hit) const;

    /// Fills shown, in list order, with every object whose box overlaps area (edges included)
    /// and every object fixed to the screen.
    void collectShown(Box area, std::vector<Object*>& shown) const;

    /// Number of entries.
    int getCount() const;

    /// Cells around the bounds that the squares cover too: objects that have just left the
    /// world stay spread out. Boxes beyond that are filed under the border squares, so nothing
    /// is lost.
    static constexpr float MARGIN = 32;
    /// Side of a square in cells, unless the world is so large that squares must be larger to
    /// keep their number below MAX_GRID_SQUARES.
    static constexpr float SQUARE = 4;
    static constexpr int MAX_GRID_SQUARES = 1 << 16;
    /// A box covering more squares than this is kept on a list that every search reads.
    static constexpr int MAX_SQUARES = 16;

private:
    /// A box as the box test sees it: edges computed from corner and size as it computes them.
    struct Extent
    {
        float x1, x2, y1, y2;
    };

    /// Squares [c1, c2] x [r1, r2]; c1 == WIDE when the box is on the wide list, and any other
    /// c1 < 0 when it is filed nowhere (it can never be hit).
    struct Squares
    {
        int c1, r1, c2, r2;
    };

    struct Entry
    {
        Object* object;
        int id;              ///< the object's id, read when its box was
        bool solid;          ///< the same for its solidness
        bool fixed;          ///< drawn fixed to the screen: always shown
        std::uint64_t order; ///< increases along the list
        Extent extent;
        Squares squares;
        /// The search that last met this entry (an entry filed under several squares is met
        /// several times); kept here, beside what the search reads next.
        mutable std::uint32_t seen;
    };

    static constexpr int WIDE = -2;

    static Extent extentOf(Box box, Vector where);
    Squares squaresOf(const Extent& e, bool fixed) const;
    int column(float x) const;
    int row(float y) const;
    void file(std::uint32_t entry);
    void unfile(std::uint32_t entry);
    void candidate(std::uint32_t entry, const Extent& mover, int moverId) const;
    void startSearch() const;

    // Geometry: squares of side square from (left, top), columns x rows of them.
    float left = 0, top = 0, square = SQUARE;
    int columns = 1, rows = 1;
    int capacity = 0;

    std::vector<Entry> entries;
    std::vector<std::uint32_t> slots; ///< slot -> entry
    std::vector<std::uint32_t> freeEntries;
    int freeCount = 0;
    int count = 0;
    std::uint64_t nextOrder = 0;

    std::vector<std::vector<std::uint32_t>> squares;
    std::vector<std::uint32_t> wide;

    /// Scratch for one search: its number, and the hits before they are put in list order.
    mutable std::uint32_t search = 0;
    mutable std::vector<std::pair<std::uint64_t, Object*>> found;
};

} // namespace ks

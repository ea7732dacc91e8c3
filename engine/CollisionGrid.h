#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "Box.h"
#include "ObjectList.h"
#include "Vector.h"

namespace ks {

class Object;

/// CollisionGrid: the world manager's index for collision searches. It keeps a copy of the
/// world box of every entry of the world's object list, in the list's order, and files each
/// box under the squares of a uniform grid that the box covers. A search then tests only the
/// boxes filed under the squares the searched box covers, with the same comparisons as the
/// plain box test, and returns the hits in list order: the same list a scan of the whole
/// world gives, found in time that grows with the crowd around the box, not with the world.
///
/// Entries are numbered like the list's (0..count-1); the world manager calls append, removeAt
/// and refresh as the list and the objects change.
///
/// @code
/// grid.append(object);            // after allObjects.insert(object)
/// grid.refresh(slot, object);     // after the object's position or box changed
/// grid.collect(box, where, id, hit);
/// @endcode
class CollisionGrid
{
public:
    CollisionGrid();

    /// Forgets every entry.
    void clear();

    /// A new last entry for p (which may be null: such an entry is never hit). Ignored when
    /// MAX_OBJECTS entries are already there, as the world's list refuses the object then.
    void append(Object* p);

    /// Takes out the entry at slot; the entries after it move down by one.
    void removeAt(int slot);

    /// Takes p's current position and box for the entry at slot.
    void refresh(int slot, Object* p);

    /// Appends to hit, in list order, every solid object whose box overlaps box moved to
    /// where (the box test's rules: edges included, the mover's box first), skipping objects
    /// whose id is moverId.
    void collect(Box box, Vector where, int moverId, ObjectList& hit) const;

    /// Number of entries.
    int getCount() const;

    /// Grid geometry, in cells: squares of SQUARE x SQUARE from (LEFT, TOP), COLUMNS x ROWS of
    /// them. Boxes beyond the grid are filed under its border squares, so nothing is lost;
    /// the grid only has to cover where objects usually are (the screen and what lies just
    /// beyond its edges).
    ///@{
    static constexpr float SQUARE = 4;
    static constexpr float LEFT = -32;
    static constexpr float TOP = -32;
    static constexpr int COLUMNS = 36;
    static constexpr int ROWS = 22;
    ///@}
    /// A box covering more squares than this is kept on a list that every search reads.
    static constexpr int MAX_SQUARES = 16;

private:
    /// A box as the box test sees it: edges computed from corner and size as it computes them.
    struct Extent
    {
        float x1, x2, y1, y2;
    };

    /// Squares [c1, c2] x [r1, r2]; c1 < 0 when the box is filed nowhere (it can never be hit)
    /// and c1 == WIDE when it is on the wide list.
    struct Squares
    {
        int c1, r1, c2, r2;
    };

    struct Entry
    {
        Object* object;
        std::uint64_t order; ///< increases along the list
        Extent extent;
        Squares squares;
    };

    static constexpr int WIDE = COLUMNS;

    static Extent extentOf(Box box, Vector where);
    static Squares squaresOf(const Extent& e);
    static int column(float x);
    static int row(float y);
    void file(std::uint16_t entry);
    void unfile(std::uint16_t entry);
    void candidate(std::uint16_t entry, const Extent& mover, int moverId) const;

    Entry entries[MAX_OBJECTS];
    std::uint16_t slots[MAX_OBJECTS]; ///< slot -> entry
    std::uint16_t freeEntries[MAX_OBJECTS];
    int freeCount = 0;
    int count = 0;
    std::uint64_t nextOrder = 0;

    std::vector<std::uint16_t> squares[COLUMNS * ROWS];
    std::vector<std::uint16_t> wide;

    /// Scratch for one search: which entries were seen (an entry filed under several
    /// squares is met several times), and the hits before they are put in list order.
    mutable std::uint32_t seen[MAX_OBJECTS];
    mutable std::uint32_t search = 0;
    mutable std::vector<std::pair<std::uint64_t, Object*>> found;
};

} // namespace ks

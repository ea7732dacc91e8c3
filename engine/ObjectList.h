#pragma once

namespace ks {

class Object;

/// Capacity of an object list, and so of the world.
const int MAX_OBJECTS = 2000;

/// ObjectList: a fixed array of MAX_OBJECTS object pointers with a count, copied by
/// value. It never owns, creates or deletes the objects. Walk it with an index:
///
/// @code
/// ObjectList list = WorldManager::getInstance().getAllObjects();
/// for (int i = 0; i < list.getCount(); i++)
///     list[i]->eventHandler(&ev);
/// @endcode
class ObjectList
{
public:
    ObjectList();

    /// Appends p. 0, or -1 when the list is full.
    int insert(Object* p);

    /// Removes the first entry with p's id, keeping the order of the rest. 0, or -1 if none matched.
    int remove(Object* p);

    /// Empties the list.
    void clear();
    /// Entries in use.
    int getCount() const;
    /// True with no entries.
    bool isEmpty() const;
    /// True with MAX_OBJECTS entries.
    bool isFull() const;

    /// The entry at index; throws std::out_of_range("invalid index") outside 0..count-1.
    Object* operator[](int index) const;

private:
    int count = 0;                ///< entries in use
    Object* objects[MAX_OBJECTS]; ///< entries 0..count-1 in insertion order
};

} // namespace ks

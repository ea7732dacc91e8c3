#pragma once

#include <vector>

namespace ks {

class Object;

/// Capacity of an object list, and so of the world unless a game raises the world's capacity.
const int MAX_OBJECTS = 2000;

/// ObjectList: an array of object pointers with a count and a fixed capacity, copied by value.
/// It keeps its first MAX_OBJECTS entries inside itself, so that a list of the usual capacity
/// never touches the heap; a list made larger (for a world whose capacity was raised) keeps the
/// entries past those on the heap.
/// It never owns, creates or deletes the objects. Walk it with an index:
///
/// @code
/// ObjectList list = WorldManager::getInstance().getAllObjects();
/// for (int i = 0; i < list.getCount(); i++)
///     list[i]->eventHandler(&ev);
/// @endcode
class ObjectList
{
public:
    /// An empty list of MAX_OBJECTS entries.
    ObjectList();

    /// An empty list that holds capacity entries (never fewer than MAX_OBJECTS).
    explicit ObjectList(int capacity);

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
    /// True with getCapacity() entries.
    bool isFull() const;
    /// Entries the list can hold: MAX_OBJECTS unless it was made larger.
    int getCapacity() const;

    /// The entry at index; throws std::out_of_range("invalid index") outside 0..count-1.
    Object* operator[](int index) const;

private:
    Object*& entry(int index);

    int count = 0;                  ///< entries in use
    int capacity = MAX_OBJECTS;     ///< entries it can hold
    Object* objects[MAX_OBJECTS];   ///< entries 0..MAX_OBJECTS-1 of 0..count-1, in insertion order
    std::vector<Object*> moreItems; ///< entries MAX_OBJECTS..count-1 of a list made larger
};

} // namespace ks

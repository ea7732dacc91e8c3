#include "ObjectList.h"

#include "Object.h"

#include <stdexcept>

namespace ks {

ObjectList::ObjectList() = default;

ObjectList::ObjectList(int newCapacity) : capacity(newCapacity > MAX_OBJECTS ? newCapacity : MAX_OBJECTS)
{}

int ObjectList::insert(Object* p)
{
    if (count >= capacity)
        return -1;
    if (isLarge())
        largeItems.push_back(p);
    else
        objects[count] = p;
    count++;
    return 0;
}

int ObjectList::remove(Object* p)
{
    // Lists compare ids, not pointers; a null pointer has no id and matches nothing.
    if (p == nullptr)
        return -1;
    const int id = p->getId();
    Object** items = isLarge() ? largeItems.data() : objects;
    for (int i = 0; i < count; i++)
    {
        if (items[i] != nullptr && items[i]->getId() == id)
        {
            for (int j = i; j < count - 1; j++)
                items[j] = items[j + 1];
            count--;
            if (isLarge())
                largeItems.pop_back();
            return 0;
        }
    }
    return -1;
}

void ObjectList::clear()
{
    count = 0;
    largeItems.clear();
}

int ObjectList::getCount() const
{
    return count;
}

bool ObjectList::isEmpty() const
{
    return count == 0;
}

bool ObjectList::isFull() const
{
    return count == capacity;
}

int ObjectList::getCapacity() const
{
    return capacity;
}

Object* ObjectList::operator[](int index) const
{
    if (index < 0 || index >= count)
        throw std::out_of_range("invalid index");
    return isLarge() ? largeItems[static_cast<size_t>(index)] : objects[index];
}

bool ObjectList::isLarge() const
{
    return capacity > MAX_OBJECTS;
}

} // namespace ks

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
    if (count < MAX_OBJECTS)
        objects[count] = p;
    else
        moreItems.push_back(p);
    count++;
    return 0;
}

int ObjectList::remove(Object* p)
{
    // Lists compare ids, not pointers; a null pointer has no id and matches nothing.
    if (p == nullptr)
        return -1;
    const int id = p->getId();
    for (int i = 0; i < count; i++)
    {
        Object* q = entry(i);
        if (q != nullptr && q->getId() == id)
        {
            for (int j = i; j < count - 1; j++)
                entry(j) = entry(j + 1);
            count--;
            if (count >= MAX_OBJECTS)
                moreItems.pop_back();
            return 0;
        }
    }
    return -1;
}

void ObjectList::clear()
{
    count = 0;
    moreItems.clear();
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
    return index < MAX_OBJECTS ? objects[index] : moreItems[static_cast<size_t>(index - MAX_OBJECTS)];
}

Object*& ObjectList::entry(int index)
{
    return index < MAX_OBJECTS ? objects[index] : moreItems[static_cast<size_t>(index - MAX_OBJECTS)];
}

} // namespace ks

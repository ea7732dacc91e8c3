#include "ObjectList.h"

#include "Object.h"

#include <stdexcept>

namespace ks {

ObjectList::ObjectList() = default;

int ObjectList::insert(Object* p)
{
    if (count >= MAX_OBJECTS)
        return -1;
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
    for (int i = 0; i < count; i++)
    {
        if (objects[i] != nullptr && objects[i]->getId() == id)
        {
            for (int j = i; j < count - 1; j++)
                objects[j] = objects[j + 1];
            count--;
            return 0;
        }
    }
    return -1;
}

void ObjectList::clear()
{
    count = 0;
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
    return count == MAX_OBJECTS;
}

Object* ObjectList::operator[](int index) const
{
    if (index < 0 || index >= count)
        throw std::out_of_range("invalid index");
    return objects[index];
}

} // namespace ks

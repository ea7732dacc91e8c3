// Object lists: insertion order, removal by id, independent copies, range checks and capacity.
#include <stdexcept>

#include "ObjectList.h"
#include "Probe.h"

using namespace ks;
using ObjectListTest = ks::test::WorldTest;

namespace {

std::vector<Object*> entries(const ObjectList& list)
{
    std::vector<Object*> all;
    for (int i = 0; i < list.getCount(); i++)
        all.push_back(list[i]);
    return all;
}

} // namespace

TEST_F(ObjectListTest, KeepsOrderRemovesByIdAndCopiesIndependently)
{
    // The usual list keeps its entries inside itself; a larger one (a raised world's) on the heap.
    EXPECT_EQ(ObjectList(5).getCapacity(), MAX_OBJECTS);
    for (const int capacity : {MAX_OBJECTS, 3 * MAX_OBJECTS / 2})
    {
        SCOPED_TRACE(capacity);
        fresh();
        Object* a = new Object;
        Object* b = new Object;
        Object* c = new Object;
        ObjectList list(capacity);
        for (Object* o : {a, b, c, a})
            list.insert(o);
        const ObjectList copy = list;
        EXPECT_EQ(list.remove(b), 0);
        EXPECT_EQ(list.remove(b), -1);
        // Only the first of two entries goes, and the rest keep their order.
        EXPECT_EQ(list.remove(a), 0);
        EXPECT_EQ(entries(list), (std::vector<Object*>{c, a}));
        EXPECT_EQ(entries(copy), (std::vector<Object*>{a, b, c, a}));
        // Ids, not pointers, decide what matches.
        Object* twin = new Object;
        twin->setId(c->getId());
        EXPECT_EQ(list.remove(twin), 0);
        EXPECT_EQ(entries(list), std::vector<Object*>{a});
        EXPECT_THROW((void)list[-1], std::out_of_range);
        EXPECT_THROW((void)list[1], std::out_of_range); // one past the end

        list.clear();
        for (int i = 0; i < capacity; i++)
            ASSERT_EQ(list.insert(i == capacity - 1 ? b : a), 0);
        EXPECT_TRUE(list.isFull());
        EXPECT_EQ(list.insert(c), -1);
        EXPECT_EQ(list[capacity - 1], b);
        EXPECT_EQ(list.remove(b), 0);
        EXPECT_EQ(list.insert(c), 0);
        EXPECT_EQ(list[capacity - 1], c);
    }
}

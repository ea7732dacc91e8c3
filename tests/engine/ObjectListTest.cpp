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
    Object* a = new Object;
    Object* b = new Object;
    Object* c = new Object;
    ObjectList list;
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
    for (int i = 0; i < MAX_OBJECTS; i++)
        ASSERT_EQ(list.insert(a), 0);
    EXPECT_TRUE(list.isFull());
    EXPECT_EQ(list.insert(b), -1);
    EXPECT_EQ(list[MAX_OBJECTS - 1], a);
}

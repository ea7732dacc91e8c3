// Game objects and object lists: ids, motion, sprites and boxes; the fixed list's
// capacity, removal by id and independent copies.
#include "Object.h"
#include "ObjectList.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "TestSupport.h"
#include "WorldManager.h"

#include <stdexcept>
#include <vector>

using namespace ks;

namespace {

// Objects enter the world on construction and the world deletes them at shutDown.
class World : public ::testing::Test
{
protected:
    void SetUp() override { WorldManager::getInstance().startUp(); }
    void TearDown() override { WorldManager::getInstance().shutDown(); }
};

void expectVector(Vector v, float x, float y)
{
    EXPECT_FLOAT_EQ(v.getX(), x);
    EXPECT_FLOAT_EQ(v.getY(), y);
}

std::vector<int> idsOf(const ObjectList& list)
{
    std::vector<int> ids;
    for (int i = 0; i < list.getCount(); i++)
        ids.push_back(list[i]->getId());
    return ids;
}

} // namespace

TEST_F(World, ObjectsTakeConsecutiveIdsAndEnterTheWorldAtOnce)
{
    Object* a = new Object;
    EXPECT_EQ(WorldManager::getInstance().getAllObjects().getCount(), 1);
    Object* b = new Object;
    Object* c = new Object;
    EXPECT_EQ(b->getId(), a->getId() + 1);
    EXPECT_EQ(c->getId(), a->getId() + 2);
    EXPECT_EQ(idsOf(WorldManager::getInstance().getAllObjects()), (std::vector<int>{a->getId(), b->getId(), c->getId()}));

    // A deleted object's id is not handed out again.
    WorldManager::getInstance().markForDelete(c);
    WorldManager::getInstance().update();
    EXPECT_EQ((new Object)->getId(), a->getId() + 3);
}

TEST_F(World, NewObjectIsAStillNonSolidPointAtTheOrigin)
{
    Object* o = new Object;
    EXPECT_EQ(o->getType(), "");
    expectVector(o->getPosition(), 0, 0);
    expectVector(o->getDirection(), 0, 0);
    EXPECT_EQ(o->getSpeed(), 0);
    EXPECT_EQ(o->getAltitude(), 0);
    EXPECT_EQ(o->getSolidness(), NONSOLID);
    EXPECT_FALSE(o->isSolid());
    expectVector(o->getBox().getCorner(), 0, 0);
    EXPECT_EQ(o->getBox().getHorizontal(), 0);
    EXPECT_EQ(o->getAnimation().getSprite(), nullptr);
    o->setPosition(Vector(4, 5));
    expectVector(o->predictPosition(), 4, 5);
    // Objects without a sprite draw nothing and say so by the result alone.
    EXPECT_EQ(o->draw(), -1);
}

TEST_F(World, VelocitySplitsIntoSpeedAndUnitDirection)
{
    struct Case {
        Vector velocity;
        float speed;
        Vector direction;
    };
    const Case cases[] = {
        {Vector(3, 4), 5, Vector(0.6f, 0.8f)},
        {Vector(0, -0.5f), 0.5f, Vector(0, -1)},
        {Vector(0, 0), 0, Vector(0, 0)},
        {Vector(-2, 0), 2, Vector(-1, 0)},
    };
    Object* o = new Object;
    o->setPosition(Vector(10, 10));
    for (const Case& c : cases) {
        o->setVelocity(c.velocity);
        EXPECT_FLOAT_EQ(o->getSpeed(), c.speed);
        expectVector(o->getDirection(), c.direction.getX(), c.direction.getY());
        expectVector(o->getVelocity(), c.velocity.getX(), c.velocity.getY());
        expectVector(o->predictPosition(), 10 + c.velocity.getX(), 10 + c.velocity.getY());
    }

    // A direction is stored as given: (1, 1) at speed 1 steps a whole cell on each axis.
    o->setDirection(Vector(1, 1));
    o->setSpeed(1);
    expectVector(o->getVelocity(), 1, 1);
    o->setSpeed(0.5f);
    expectVector(o->predictPosition(), 10.5f, 10.5f);

    EXPECT_EQ(o->setAltitude(7), 0);
    EXPECT_EQ(o->getAltitude(), 7);
    EXPECT_EQ(o->setSolidness(PASSABLE), 0);
    EXPECT_TRUE(o->isSolid());
}

class ObjectSprite : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        // Two frames of 3 x 2; each row carries one extra character that the reader drops.
        ks::test::writeFile("rock.txt", "2\n3\n2\n4\nred\nabc|\ndef|\nghi|\njkl|\n");
        ResourceManager::getInstance().startUp();
        WorldManager::getInstance().startUp();
        ASSERT_EQ(ResourceManager::getInstance().loadSprite("rock.txt", "rock"), 0);
    }
    void TearDown() override
    {
        WorldManager::getInstance().shutDown();
        ResourceManager::getInstance().shutDown();
    }
};

TEST_F(ObjectSprite, SpriteGivesAnimationAndCentredBox)
{
    Object* o = new Object;
    Animation playing;
    playing.setIndex(2);
    o->setAnimation(playing);

    ASSERT_EQ(o->setSprite("rock"), 0);
    const Animation animation = o->getAnimation();
    EXPECT_EQ(animation.getSprite(), ResourceManager::getInstance().getSprite("rock"));
    EXPECT_EQ(animation.getSlowdownCount(), 4);
    // The frame index carries over from the previous animation.
    EXPECT_EQ(animation.getIndex(), 2);
    expectVector(o->getBox().getCorner(), -1.5f, -1);
    EXPECT_EQ(o->getBox().getHorizontal(), 3);
    EXPECT_EQ(o->getBox().getVertical(), 2);
}

TEST_F(ObjectSprite, UnknownSpriteChangesNothing)
{
    Object* o = new Object;
    o->setBox(Box(Vector(1, 2), 3, 4));
    EXPECT_EQ(o->setSprite("boulder"), -1);
    EXPECT_EQ(o->getAnimation().getSprite(), nullptr);
    expectVector(o->getBox().getCorner(), 1, 2);
    EXPECT_EQ(o->getBox().getVertical(), 4);

    ASSERT_EQ(o->setSprite("rock"), 0);
    EXPECT_EQ(o->setSprite("boulder"), -1);
    EXPECT_EQ(o->getAnimation().getSprite(), ResourceManager::getInstance().getSprite("rock"));
    EXPECT_EQ(o->getBox().getHorizontal(), 3);
}

TEST_F(World, ListHoldsExactlyMaxObjects)
{
    // Lists hold pointers only, so one object can fill a whole list.
    Object* o = new Object;
    ObjectList list;
    EXPECT_TRUE(list.isEmpty());
    EXPECT_FALSE(list.isFull());
    for (int i = 0; i < MAX_OBJECTS; i++)
        ASSERT_EQ(list.insert(o), 0) << i;
    EXPECT_TRUE(list.isFull());
    EXPECT_EQ(list.insert(o), -1);
    EXPECT_EQ(list.getCount(), 2000);

    list.clear();
    EXPECT_TRUE(list.isEmpty());
    Object* p = new Object;
    EXPECT_EQ(list.insert(p), 0);
    EXPECT_EQ(list[0], p);
}

TEST_F(World, RemovalMatchesTheFirstEntryByIdAndKeepsOrder)
{
    Object* a = new Object;
    Object* b = new Object;
    Object* c = new Object;
    ObjectList list;
    list.insert(a);
    list.insert(b);
    list.insert(c);
    list.insert(a);

    EXPECT_EQ(list.remove(b), 0);
    EXPECT_EQ(idsOf(list), (std::vector<int>{a->getId(), c->getId(), a->getId()}));
    EXPECT_EQ(list.remove(b), -1);
    EXPECT_EQ(list.getCount(), 3);

    // Only the first of two entries for one object goes.
    EXPECT_EQ(list.remove(a), 0);
    EXPECT_EQ(idsOf(list), (std::vector<int>{c->getId(), a->getId()}));

    // A different pointer with the same id counts as the same object.
    Object* twin = new Object;
    twin->setId(c->getId());
    EXPECT_EQ(list.remove(twin), 0);
    EXPECT_EQ(idsOf(list), (std::vector<int>{a->getId()}));
}

TEST_F(World, IndexOutsideTheListThrowsInvalidIndex)
{
    Object* a = new Object;
    Object* b = new Object;
    ObjectList list;
    list.insert(a);
    list.insert(b);
    EXPECT_EQ(list[1], b);
    for (int bad : {-1, 2, 3, MAX_OBJECTS}) {
        try {
            (void)list[bad];
            ADD_FAILURE() << "no exception for " << bad;
        } catch (const std::out_of_range& e) {
            EXPECT_STREQ(e.what(), "invalid index");
        }
    }
    // Stale slots past the count stay out of reach after a removal.
    list.remove(b);
    EXPECT_THROW((void)list[1], std::out_of_range);
}

TEST_F(World, CopiesAreIndependent)
{
    Object* a = new Object;
    Object* b = new Object;
    Object* c = new Object;
    ObjectList original;
    original.insert(a);
    original.insert(b);
    const ObjectList copy = original;
    ObjectList assigned;
    assigned = original;

    original.remove(a);
    original.insert(c);
    EXPECT_EQ(idsOf(original), (std::vector<int>{b->getId(), c->getId()}));
    EXPECT_EQ(idsOf(copy), (std::vector<int>{a->getId(), b->getId()}));
    EXPECT_EQ(idsOf(assigned), (std::vector<int>{a->getId(), b->getId()}));
}

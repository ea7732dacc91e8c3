// Health and bullet packs: who takes them.
#include "GameTest.h"

namespace ks::test {
namespace {

using PowerUpTest = GameTest;

TEST_F(PowerUpTest, TakenOnceOnlyByThePlayerWalkingOverIt)
{
    Object* hunter = new player;
    new healthpack(Vector(41, 12));
    new bulletpack(Vector(42, 12));
    Object* packs[] = {new healthpack(Vector(1, 1)), new bulletpack(Vector(1, 1))};
    for (const char* other : {"zombie", "bullet", "healthpack", "bulletpack", "reticle"})
        for (Object* pack : packs)
            collide(pack, thing(other), pack);
    // Walk right by one cell per update, the way a held D moves it.
    hunter->setDirection(Vector(1, 0));
    hunter->setSpeed(1);
    for (int move = 0; move < 4; move++)
        WorldManager::getInstance().update();
    EXPECT_EQ(hunter->getPosition().getX(), 44);
    EXPECT_EQ(soundsPlayed("heal") + soundsPlayed("bulletpacksound"), 2);
    // The two walked over are gone; the two touched by others and four stand-ins are left.
    EXPECT_EQ(countOf("healthpack") + countOf("bulletpack"), 6);
}

} // namespace
} // namespace ks::test

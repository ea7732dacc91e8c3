// The game at the world's limit of 2000 objects: a hunter, a reticle and zombies up to the
// limit, played by the real game loop with the game's data, until the zombies have killed the
// hunter and the game-over sequence has cleared the world. The loop must keep stepping, the
// world never holds more than 2000 objects, and the title screen comes back, although the
// world is full at the very step that creates it.
//
// The world is filled with health packs far outside the screen at altitude 4, which is never
// drawn: they hold their places without moving, so a step stays cheap enough for a test.
// Every object refused or taken out during play is replaced by a zombie at the start of the
// next step. Three drawn zombies stand next to the hunter and kill it at once.
//
// With KS_POPULATION_FILL=zombies in the environment the filling is done with zombies
// instead: 2000 zombies walking in and piling up on the hunter, every move colliding with
// every zombie already there. That is the game's real worst case, far too slow for the
// suite (seconds per step), and is run by hand.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "DisplayManager.h"
#include "EventMouse.h"
#include "EventStep.h"
#include "GameManager.h"
#include "LogManager.h"
#include "ObjectList.h"
#include "TestSupport.h"
#include "WorldManager.h"
#include "healthpack.h"
#include "player.h"
#include "resources.h"
#include "reticle.h"
#include "zombie.h"

using namespace ks;

namespace {

struct Watched
{
    int largest = 0;
    int steps = 0;
    int stepsAtLimit = 0;
    int lastStep = 0;
};

const int HIDDEN = MAX_ALTITUDE; // an altitude that is never drawn

// Zombies up to the limit, while a hunter is there for them to chase.
void fillWorld()
{
    WorldManager& world = WorldManager::getInstance();
    if (world.objectsOfType("player").isEmpty())
        return;
    while (world.getAllObjects().getCount() < MAX_OBJECTS)
        (new zombie)->setAltitude(HIDDEN);
}

bool fillWithZombies()
{
    const char* fill = std::getenv("KS_POPULATION_FILL");
    return fill != nullptr && std::string(fill) == "zombies";
}

// Health packs up to the limit, in a row far left of the screen where nothing comes.
void fillWorldWithPacks()
{
    WorldManager& world = WorldManager::getInstance();
    for (int i = 0; world.getAllObjects().getCount() < MAX_OBJECTS; i++)
        (new healthpack(Vector(-1000.0f - 2 * i, 12)))->setAltitude(HIDDEN);
}

// Watches the world from inside the loop: it keeps the world full at the start of every step
// (it is the first object, so it runs before the hunter), counts the largest population seen
// and the steps run, and hands the hunter a left click now and then (its bullets are born
// into a full world).
// The game-over sequence deletes every object, this one too: it leaves a successor behind,
// so that somebody is still there to end the loop.
class Watcher : public Object
{
public:
    explicit Watcher(Watched& into) : seen(into)
    {
        setType("watcher");
    }
    ~Watcher() override
    {
        if (!GameManager::getInstance().getGameOver())
            new Watcher(seen);
    }

    int eventHandler(const Event* event) override
    {
        if (event->getType() != STEP_EVENT)
            return 0;
        WorldManager& world = WorldManager::getInstance();
        fillWorld();
        const int count = world.getAllObjects().getCount();
        seen.largest = std::max(seen.largest, count);
        if (count == MAX_OBJECTS)
            seen.stepsAtLimit++;
        seen.steps++;
        ObjectList hunters = world.objectsOfType("player");
        if (seen.steps % 20 == 0 && !hunters.isEmpty())
        {
            EventMouse click;
            click.setMouseAction(CLICKED);
            click.setMouseButton(Mouse::LEFT);
            hunters[0]->eventHandler(&click);
        }
        if (static_cast<const EventStep*>(event)->getStepCount() >= seen.lastStep)
            GameManager::getInstance().setGameOver(true);
        return 0;
    }

private:
    Watched& seen;
};

void copyGameFolder()
{
    namespace fs = std::filesystem;
    for (const fs::directory_entry& entry : fs::directory_iterator(KS_GAME_DIR))
    {
        const std::string ext = entry.path().extension().string();
        if (ext == ".txt" || ext == ".wav" || ext == ".ttf")
            fs::copy_file(entry.path(), entry.path().filename());
    }
}

} // namespace

TEST(PopulationLimit, GameKeepsRunningWithTwoThousandObjects)
{
    ks::test::TempDir dir;
    copyGameFolder();
    GameManager& game = GameManager::getInstance();
    ASSERT_EQ(game.startUp(), 0);
    ASSERT_EQ(loadGameResources(), 0);
    srand(7);

    // Three hits kill the hunter in the first steps; the game-over sequence then lasts 270
    // steps, and the title screen follows.
    Watched seen;
    seen.lastStep = 320;
    new Watcher(seen);
    new player;
    new reticle;
    for (float dx : {-3.0f, 3.0f, 0.0f})
        (new zombie)->setPosition(Vector(40 + dx, dx == 0 ? 14.0f : 12.0f));
    if (fillWithZombies())
        fillWorld();
    else
        fillWorldWithPacks();
    WorldManager& world = WorldManager::getInstance();
    ASSERT_EQ(world.getAllObjects().getCount(), MAX_OBJECTS);

    game.run();

    EXPECT_EQ(seen.steps, seen.lastStep + 1);
    EXPECT_EQ(seen.largest, MAX_OBJECTS);
    EXPECT_GT(seen.stepsAtLimit, 10);
    // The hunter died and the world was cleared: the title screen is back, no hunter is left.
    EXPECT_EQ(world.objectsOfType("player").getCount(), 0);
    EXPECT_EQ(world.objectsOfType("start").getCount(), 1);
    EXPECT_LT(world.getAllObjects().getCount(), 50);
    std::vector<std::string> log = ks::test::logMessages();
    EXPECT_EQ(std::count(log.begin(), log.end(), "found music"), 1);
    game.shutDown();
}

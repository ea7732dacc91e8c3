// One whole game through the real loop with the game's own sprites and sounds: the title, a
// shot zombie, bites until death, the game-over sequence, the title again and ESCAPE. Built
// with the sanitizers, it also shows that a whole game leaks nothing.
#include "GameTest.h"
#include "resources.h"

namespace ks::test {
namespace {

// Outlives the script object, which the game-over sequence deletes.
int steps = 0, deathStep = -1, titleStep = -1, score = 0;

class scripted : public Object
{
public:
    scripted()
    {
        setType("script");
    }
    ~scripted() override
    {
        if (titleStep < 0) // swept away with everything else at the end of the game-over sequence
            new scripted;
    }

    int eventHandler(const Event* event) override
    {
        if (event->getType() != STEP_EVENT || titleStep >= 0)
            return 0;
        player* hunter = static_cast<player*>(firstOf("player"));
        if (++steps == 1)
        {
            press(firstOf("start"), Keyboard::SPACE);
        }
        else if (steps == 2)
        { // a zombie six cells to the right, the reticle beyond it, one shot
            firstOf("zombie")->setPosition(Vector(46, 12));
            firstOf("reticle")->setPosition(Vector(55, 12));
            click(hunter, Mouse::LEFT);
        }
        else if (hunter != nullptr && hunter->isSolid())
        {
            score = hunter->getScore();
            if (score > 0 && steps % 15 == 0) // once the shot has hit, a zombie is led onto the hunter
                firstOf("zombie")->setPosition(hunter->getPosition() + Vector(2, 0));
        }
        else if (hunter != nullptr && deathStep < 0)
        {
            deathStep = steps;
        }
        else if (Object* title = firstOf("start"); title != nullptr || steps > 1000)
        {
            titleStep = steps;
            title != nullptr ? press(title, Keyboard::ESCAPE) : GameManager::getInstance().setGameOver();
        }
        return 0;
    }
};

using WholeGameTest = InTempDir;

TEST_F(WholeGameTest, FromTitleToDeathToTitleAgainToEscape)
{
    installFont();
    GameManager& game = GameManager::getInstance();
    game.startUp();
    EXPECT_EQ(loadGameResources(KS_GAME_DIR "/"), 0);
    new scripted;
    new start;
    game.run();
    const int left = WorldManager::getInstance().getAllObjects().getCount();
    game.shutDown();
    EXPECT_EQ(score, 1);
    EXPECT_EQ(titleStep - deathStep, 270);
    EXPECT_EQ(left, 2); // the title and the script, nothing of the lost game
}

} // namespace
} // namespace ks::test

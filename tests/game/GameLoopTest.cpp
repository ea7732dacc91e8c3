// One whole game through the real loop, with the game's own sprites and sounds: the title,
// a shot zombie, three bites, the game-over sequence, the title again and ESCAPE. A script
// object in the world acts at each step as a player would; under the sanitizers this run
// also shows that a whole game leaks nothing.
#include "GameTest.h"

#include "DisplayManager.h"
#include "GameManager.h"
#include "player.h"
#include "start.h"

namespace ks::test {
namespace {

struct Script
{
    int phase = 0;
    int steps = 0;
    int phaseStart = 0;
    int deathStep = -1;
    int titleStep = -1;
    int score = 0;
    bool done = false;
};
Script script; // outlives the script object, which the game-over sequence deletes

void send(Keyboard::Key key)
{
    EventKeyboard event;
    event.setKey(key);
    event.setKeyboardAction(KEY_PRESSED);
    WorldManager::getInstance().onEvent(&event);
}

void sendMouse(EventMouseAction action, Vector pixels)
{
    EventMouse event;
    event.setMouseAction(action);
    event.setMouseButton(Mouse::LEFT);
    event.setMousePosition(pixels);
    WorldManager::getInstance().onEvent(&event);
}

class scripted : public Object
{
public:
    scripted() { setType("script"); }
    // Swept away with everything else at the end of the game-over sequence: come back.
    ~scripted() override
    {
        if (!script.done)
            new scripted;
    }

    int eventHandler(const Event* event) override
    {
        if (event->getType() == STEP_EVENT)
            act();
        return 0;
    }

private:
    void next(int phase)
    {
        script.phase = phase;
        script.phaseStart = script.steps;
    }

    void act()
    {
        script.steps++;
        player* hunter = static_cast<player*>(firstOf("player"));
        Object* walker = firstOf("zombie");
        const int inPhase = script.steps - script.phaseStart;
        if (script.steps > 1000) { // a stuck script still ends the loop
            send(Keyboard::ESCAPE);
            script.done = true;
            GameManager::getInstance().setGameOver(true);
            return;
        }
        switch (script.phase) {
        case 0:
            send(Keyboard::SPACE);
            next(1);
            break;
        case 1: // a zombie six cells to the right, the reticle beyond it, one shot
            walker->setPosition(Vector(hunter->getPosition().getX() + 6, hunter->getPosition().getY()));
            sendMouse(MOVED, DisplayManager::getInstance().spacesToPixels(Vector(55, 12)));
            sendMouse(CLICKED, Vector(0, 0));
            next(2);
            break;
        case 2:
            if (hunter->getScore() > 0) {
                script.score = hunter->getScore();
                next(3);
            }
            break;
        case 3: // zombies led onto the hunter until it dies
            if (!hunter->isSolid()) {
                script.deathStep = script.steps;
                next(4);
            } else if (inPhase % 15 == 1) {
                walker->setPosition(Vector(hunter->getPosition().getX() + 2, hunter->getPosition().getY()));
            }
            break;
        case 4:
            if (firstOf("start") != nullptr) {
                script.titleStep = script.steps;
                script.done = true;
                send(Keyboard::ESCAPE);
            }
            break;
        }
    }
};

using WholeGame = InTempDir;

TEST_F(WholeGame, FromTitleToDeathToTitleAgainToEscape)
{
    installFont();
    GameManager& game = GameManager::getInstance();
    game.startUp();
    ResourceManager& resources = ResourceManager::getInstance();
    const std::string dir = std::string(KS_GAME_DIR) + "/";
    const char* sprites[][2] = {{"bullet-spr.txt", "bullet"},         {"zombie-spr.txt", "zombie"},
                                {"hunter-spr.txt", "player"},         {"gameover-spr.txt", "gameoversprite"},
                                {"title-spr.txt", "title"},           {"reticle.txt", "reticle"},
                                {"medicine-spr.txt", "healthpack"},   {"powerup-magazine.txt", "bulletpack"}};
    for (const auto& sprite : sprites)
        EXPECT_EQ(resources.loadSprite(dir + sprite[0], sprite[1]), 0) << sprite[0];
    const char* sounds[][2] = {{"gun-shot.wav", "fire"},           {"gun-reload.wav", "reload"},
                               {"human-damage.wav", "hurt"},       {"medecine.wav", "heal"},
                               {"powerup-magazin.wav", "bulletpacksound"}, {"zombie-dying.wav", "explode"},
                               {"zombie-attack.wav", "zombieattack"},      {"zombie-voice.wav", "newzombie"},
                               {"bomb-explosion.wav", "gameoversound"}};
    for (const auto& sound : sounds)
        EXPECT_EQ(resources.loadSound(dir + sound[0], sound[1]), 0) << sound[0];
    EXPECT_EQ(resources.loadMusic(dir + "background-music.wav", "music"), 0);

    new scripted;
    new start;
    game.run();
    const ObjectList left = WorldManager::getInstance().getAllObjects();
    game.shutDown();

    EXPECT_LT(script.steps, 1000) << "stuck in phase " << script.phase;
    EXPECT_EQ(script.score, 1);
    EXPECT_EQ(script.titleStep - script.deathStep, 270);
    ASSERT_EQ(left.getCount(), 2); // the title and the script, nothing of the lost game
}

} // namespace
} // namespace ks::test

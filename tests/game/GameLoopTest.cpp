// One whole game through the real loop with the game's own sprites and sounds: the title, a
// shot zombie, three bites, the game-over sequence, the title again and ESCAPE. A script
// object in the world acts at each step as a player would; built with the sanitizers, this
// run also shows that a whole game leaks nothing.
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
    int deathStep = -1;
    int titleStep = -1;
    int score = 0;
    bool done = false;
} script; // outlives the script object, which the game-over sequence deletes

void send(Event& event)
{
    WorldManager::getInstance().onEvent(&event);
}

class scripted : public Object
{
public:
    scripted() { setType("script"); }
    // Swept away with everything else at the end of the game-over sequence: it comes back.
    ~scripted() override
    {
        if (!script.done)
            new scripted;
    }

    int eventHandler(const Event* event) override
    {
        if (event->getType() == STEP_EVENT && !script.done)
            act(++script.steps);
        return 0;
    }

private:
    void act(int steps)
    {
        player* hunter = static_cast<player*>(firstOf("player"));
        Object* walker = firstOf("zombie");
        EventKeyboard key;
        key.setKeyboardAction(KEY_PRESSED);
        EventMouse mouse;
        if (script.phase == 0) {
            key.setKey(Keyboard::SPACE);
            send(key);
            script.phase = 1;
        } else if (script.phase == 1) { // a zombie six cells to the right, the reticle beyond it, one shot
            walker->setPosition(Vector(46, 12));
            mouse.setMouseAction(MOVED);
            mouse.setMousePosition(DisplayManager::getInstance().spacesToPixels(Vector(55, 12)));
            send(mouse);
            mouse.setMouseAction(CLICKED);
            mouse.setMouseButton(Mouse::LEFT);
            send(mouse);
            script.phase = 2;
        } else if (script.phase == 2 && hunter->getScore() > 0) {
            script.score = hunter->getScore();
            script.phase = 3;
        } else if (script.phase == 3 && !hunter->isSolid()) {
            script.deathStep = steps;
            script.phase = 4;
        } else if (script.phase == 3 && steps % 15 == 0) { // a zombie led onto the hunter
            walker->setPosition(Vector(hunter->getPosition().getX() + 2, hunter->getPosition().getY()));
        } else if ((script.phase == 4 && firstOf("start") != nullptr) || steps > 1000) {
            script.titleStep = steps;
            script.done = true;
            key.setKey(Keyboard::ESCAPE);
            send(key);
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
    const std::string media[][2] = {
        {"bullet-spr.txt", "bullet"},       {"zombie-spr.txt", "zombie"},
        {"hunter-spr.txt", "player"},       {"gameover-spr.txt", "gameoversprite"},
        {"title-spr.txt", "title"},         {"reticle.txt", "reticle"},
        {"medicine-spr.txt", "healthpack"}, {"powerup-magazine.txt", "bulletpack"},
        {"gun-shot.wav", "fire"},           {"gun-reload.wav", "reload"},
        {"human-damage.wav", "hurt"},       {"medecine.wav", "heal"},
        {"powerup-magazin.wav", "bulletpacksound"}, {"zombie-dying.wav", "explode"},
        {"zombie-attack.wav", "zombieattack"},      {"zombie-voice.wav", "newzombie"},
        {"bomb-explosion.wav", "gameoversound"}};
    for (const auto& [file, label] : media) {
        const std::string path = std::string(KS_GAME_DIR) + "/" + file;
        const bool sprite = file.find(".txt") != std::string::npos;
        EXPECT_EQ(sprite ? resources.loadSprite(path, label) : resources.loadSound(path, label), 0) << file;
    }
    EXPECT_EQ(resources.loadMusic(std::string(KS_GAME_DIR) + "/background-music.wav", "music"), 0);

    new scripted;
    new start;
    game.run();
    const int left = WorldManager::getInstance().getAllObjects().getCount();
    game.shutDown();

    EXPECT_EQ(script.phase, 4) << "stuck";
    EXPECT_EQ(script.score, 1);
    EXPECT_EQ(script.titleStep - script.deathStep, 270);
    EXPECT_EQ(left, 2); // the title and the script, nothing of the lost game
}

} // namespace
} // namespace ks::test

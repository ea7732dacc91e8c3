// The zombie shooter's entry: brings the engine up, loads every sprite, sound and the
// music under the labels the game objects use, shows the title screen and runs the loop
// until ESCAPE.
#include <cstdlib>
#include <ctime>

#include "GameManager.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "start.h"

int main()
{
    using namespace ks;

    srand(static_cast<unsigned>(time(nullptr)));

    GameManager& game = GameManager::getInstance();
    game.startUp();

    // A file that fails to load is logged by the resource manager and simply stays missing.
    ResourceManager& resources = ResourceManager::getInstance();
    resources.loadSprite("bullet-spr.txt", "bullet");
    resources.loadSprite("zombie-spr.txt", "zombie");
    resources.loadSprite("hunter-spr.txt", "player");
    resources.loadSprite("gameover-spr.txt", "gameoversprite");
    resources.loadSprite("title-spr.txt", "title");
    resources.loadSprite("reticle.txt", "reticle");
    resources.loadSprite("medicine-spr.txt", "healthpack");
    resources.loadSprite("powerup-magazine.txt", "bulletpack");
    resources.loadSound("gun-shot.wav", "fire");
    resources.loadSound("gun-reload.wav", "reload");
    resources.loadSound("human-damage.wav", "hurt");
    resources.loadSound("medecine.wav", "heal");
    resources.loadSound("powerup-magazin.wav", "bulletpacksound");
    resources.loadSound("zombie-dying.wav", "explode");
    resources.loadSound("zombie-attack.wav", "zombieattack");
    resources.loadSound("zombie-voice.wav", "newzombie");
    resources.loadMusic("background-music.wav", "music");
    resources.loadSound("bomb-explosion.wav", "gameoversound");

    new start;
    LogManager::getInstance().writeLog("Game start");

    game.run();
    game.shutDown();
    return 0;
}

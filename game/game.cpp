// The zombie shooter's entry: brings the engine up, loads every sprite, sound and the
// music under the labels the game objects use, shows the title screen and runs the loop
// until ESCAPE.
#include <cstdlib>
#include <ctime>

#include "GameManager.h"
#include "LogManager.h"
#include "resources.h"
#include "start.h"

int main()
{
    using namespace ks;

    srand(static_cast<unsigned>(time(nullptr)));

    GameManager& game = GameManager::getInstance();
    game.startUp();

    // A file that fails to load is logged by the resource manager and simply stays missing.
    loadGameResources();

    new start;
    LogManager::getInstance().writeLog("Game start");

    game.run();
    game.shutDown();
    return 0;
}

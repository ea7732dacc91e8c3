// The zombie shooter's entry: brings the engine up, loads every sprite, sound and the
// music under the labels the game objects use, shows the title screen and runs the loop
// until ESCAPE.
#include <cstdlib>
#include <ctime>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "DisplayManager.h"
#include "GameManager.h"
#include "LogManager.h"
#include "resources.h"
#include "start.h"

int main()
{
    using namespace ks;

    srand(static_cast<unsigned>(time(nullptr)));

#if defined(__GLIBC__)
    // Mesa's software renderer allocates its tile bins during a frame and frees them when the
    // frame is shown; glibc would hand the freed top of the heap back to the system and fault
    // it in again on the next frame. The game keeps up to 64 MiB of free heap instead
    // (kestrane-bench shows what that is worth).
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif

    // F11 and Alt+Enter switch between the window and fullscreen; the game uses neither.
    DisplayManager::getInstance().setFullscreenKeys(true);

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

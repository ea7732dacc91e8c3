// The zombie shooter's entry: brings the engine up with its capture and overlay keys, loads
// every sprite, sound and the music under the labels the game objects use, shows the title
// screen and runs the loop until ESCAPE.
#include <cstdlib>
#include <ctime>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

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

    GameManager& game = GameManager::getInstance();
    game.startUp();
    // The player's keys: F12 a screenshot, F9 the last ten seconds as a GIF, F3 the frame overlay.
    game.setCaptureKeys(true);
    game.setOverlayKey(true);

    // A file that fails to load is logged by the resource manager and simply stays missing.
    loadGameResources();

    new start;
    LogManager::getInstance().writeLog("Game start");

    game.run();
    game.shutDown();
    return 0;
}

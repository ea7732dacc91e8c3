// The zombie shooter's entry: brings the engine up with its capture and overlay keys, loads
// every sprite, sound and the music under the labels the game objects use, shows the title
// screen and runs the loop until ESCAPE. Without arguments it is the game as it always was;
// the options are in options.cpp.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "DisplayManager.h"
#include "GameManager.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "options.h"
#include "resources.h"
#include "start.h"

int main(int argc, char* argv[])
{
    using namespace ks;

    options opts;
    std::string error;
    if (parseOptions(argc, argv, opts, error) == -1)
    {
        fprintf(stderr, "kestrane: %s\n", error.c_str());
        return 2;
    }
    if (opts.help)
    {
        fputs(optionsHelp().c_str(), stdout);
        return 0;
    }

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
    // Recordings name the game, whatever the program file is called.
    game.setGameName("kestrane");
    game.setRecording(opts.recordFile);
    game.setReplay(opts.replayFile, opts.replayExit || opts.headless);
    game.setFast(opts.fast);
    DisplayManager::getInstance().setHeadless(opts.headless);
    DisplayManager::getInstance().setScale(opts.scale);
    DisplayManager::getInstance().setFullscreen(opts.fullscreen);
    game.startUp();
    // The player's keys: F12 a screenshot, F9 the last ten seconds as a GIF, F3 the frame overlay.
    game.setCaptureKeys(true);
    game.setOverlayKey(true);
    ResourceManager::getInstance().setSpriteReloading(opts.watch);
    // Without a window nobody could play on: a replay that did not start ends the game.
    if (opts.headless && !game.isReplaying())
        game.setGameOver(true);

    // A file that fails to load is logged by the resource manager and simply stays missing.
    loadGameResources();

    new start;
    LogManager::getInstance().writeLog("Game start");

    game.run();
    game.shutDown();
    return 0;
}

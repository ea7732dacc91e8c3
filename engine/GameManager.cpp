#include "GameManager.h"

#include "Clock.h"
#include "DisplayManager.h"
#include "EventStep.h"
#include "InputManager.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "WorldManager.h"

#include <ctime>

namespace ks {

GameManager::GameManager()
{
    setType("GameManager");
}

GameManager& GameManager::getInstance()
{
    static GameManager instance;
    return instance;
}

int GameManager::startUp()
{
    if (Manager::startUp() == -1)
        return -1;
    setGameOver(false);

    // The log first, so everyone after it can report; the display before the input manager,
    // which refuses to start without it. A manager that fails has logged why; go on regardless.
    LogManager::getInstance().startUp();
    WorldManager::getInstance().startUp();
    DisplayManager::getInstance().startUp();
    InputManager::getInstance().startUp();
    ResourceManager::getInstance().startUp();
    return 0;
}

void GameManager::shutDown()
{
    Manager::shutDown();
    setGameOver(true);

    // The resource manager keeps its sprites, sounds and music until the program exits.
    LogManager::getInstance().shutDown();
    WorldManager::getInstance().shutDown();
    DisplayManager::getInstance().shutDown();
    InputManager::getInstance().shutDown();
}

void GameManager::run()
{
    int stepCount = 0;
    Clock clock;

    // The flag is read only here: the iteration that sets it still runs to its end.
    while (!GameManager::getInstance().getGameOver())
    {
        clock.delta();

        EventStep step(stepCount);
        onEvent(&step);
        InputManager::getInstance().getInput();
        WorldManager::getInstance().update();
        WorldManager::getInstance().draw();
        DisplayManager::getInstance().swapBuffers();
        stepCount++;

        const int sleepMs = sleepTimeFor(clock.split());
        if (sleepMs >= 0)
        {
            const timespec pause{0, static_cast<long>(sleepMs) * 1000000L};
            nanosleep(&pause, nullptr);
        }
    }
}

void GameManager::setGameOver(bool newGameOver)
{
    gameOver = newGameOver;
}

bool GameManager::getGameOver() const
{
    return gameOver;
}

int GameManager::getFrameTime() const
{
    return frameTime;
}

int GameManager::sleepTimeFor(int64_t workMicroseconds) const
{
    // Whole milliseconds of work; the sub-millisecond rest is not slept away.
    const int workMs = static_cast<int>(workMicroseconds / 1000);
    return getFrameTime() - workMs;
}

} // namespace ks

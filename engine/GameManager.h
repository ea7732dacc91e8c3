#pragma once

#include <cstdint>

#include "Manager.h"

namespace ks {

const int FRAME_TIME_DEFAULT = 33; ///< milliseconds per loop iteration

/// GameManager: brings the engine up and down and runs the fixed-rate game loop.
///
/// @code
/// GameManager &game = GameManager::getInstance();
/// game.startUp();   // log, world, display, input, resources
/// ... load resources, create the first object ...
/// game.run();       // until setGameOver(true)
/// game.shutDown();
/// @endcode
class GameManager : public Manager
{
public:
    /// The one GameManager, made on first use.
    static GameManager& getInstance();

    /// Starts the log, world, display, input and resource managers in that order; their
    /// results are not looked at. 0 on success, -1 if the base start-up fails.
    int startUp() override;

    /// Sets the game-over flag and stops the log, world, display and input managers in that
    /// order. The resource manager stays started.
    void shutDown() override;

    /// Runs the game loop until the game-over flag is found set at the top of an iteration.
    void run();

    /// The game-over flag: run() stops before its next iteration once it is set.
    ///@{
    void setGameOver(bool newGameOver = true);
    bool getGameOver() const;
    ///@}

    /// Target duration of one iteration in milliseconds.
    int getFrameTime() const;

    /// Milliseconds left to sleep after an iteration that worked workMicroseconds: the work is
    /// truncated to whole milliseconds first. 0 means a zero sleep; a negative result means the
    /// work overran the frame and the loop goes on without sleeping.
    int sleepTimeFor(int64_t workMicroseconds) const;

    GameManager(const GameManager&) = delete;
    GameManager& operator=(const GameManager&) = delete;

private:
    GameManager();

    bool gameOver = false;              ///< the loop stops before its next iteration when true
    int frameTime = FRAME_TIME_DEFAULT; ///< milliseconds
};

} // namespace ks

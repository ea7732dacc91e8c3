#pragma once

#include <cstdint>
#include <memory>

#include "Manager.h"

namespace ks {

const int FRAME_TIME_DEFAULT = 33; ///< milliseconds per loop iteration
const int SPRITE_CHECK_STEPS = 10; ///< steps between looks at sprite files when reloading is on

class EventKeyboard;
class FrameOverlay;
class ScreenCapture;

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

    /// Waits for captures still being written.
    ~GameManager() override;

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

    /// Keys for players and makers, off until a game turns them on (a game that does not sees
    /// the same events, log lines and pixels as without them). The keys still reach the
    /// objects as well.
    ///
    /// Capture: F12 saves the next frame as a PNG, F9 the last ten seconds as an animated GIF
    /// (at half the window's size, ten frames a second), both into the working directory
    /// (the player's folder for the installed game), each with a log line naming the file
    /// once it is written. Files are written by a thread of their own, so the loop keeps its
    /// pace. Turning capture off waits for the files still being written.
    void setCaptureKeys(bool on);
    bool getCaptureKeys() const;

    /// F3 shows and hides the frame overlay (FrameOverlay.h), hidden at first.
    void setOverlayKey(bool on);
    bool getOverlayKey() const;

    GameManager(const GameManager&) = delete;
    GameManager& operator=(const GameManager&) = delete;

private:
    GameManager();

    void onKey(const EventKeyboard& key);
    void listen();

    bool gameOver = false;              ///< the loop stops before its next iteration when true
    int frameTime = FRAME_TIME_DEFAULT; ///< milliseconds

    std::unique_ptr<ScreenCapture> capture; ///< while capture keys are on
    std::unique_ptr<FrameOverlay> overlay;  ///< while the overlay key is on
};

} // namespace ks

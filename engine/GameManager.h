#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "EventKeyboard.h"
#include "Manager.h"

namespace ks {

class Recorder;
class Replayer;

const int FRAME_TIME_DEFAULT = 33; ///< milliseconds per loop iteration
const int SPRITE_CHECK_STEPS = 10; ///< steps between looks at sprite files when reloading is on

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
///
/// Recording and replaying a session, for any game: set them before startUp.
/// @code
/// game.setRecording("run.ksr");        // every input and each frame's digest, as it goes
/// game.setReplay("run.ksr", true);     // or: the inputs come from the file; stop at its end
/// game.setFast(true);                  // replay without sleeping between steps
/// DisplayManager::getInstance().setHeadless(true); // and without a window, if wanted
/// game.startUp();                      // seeds rand() itself when recording or replaying
/// @endcode
/// A game that records or replays must draw no random numbers before startUp: startUp seeds
/// rand() (with the time, or the recording's seed) so that the replay draws the same ones.
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

    /// Before startUp: record the session into file ("" for none, the default). A file that
    /// cannot be written gets a log line and the game plays on unrecorded.
    void setRecording(const std::string& file);

    /// Before startUp: replay file ("" for none, the default). At its end the game goes on
    /// live, or ends (the game-over flag) when exitAtEnd. A file that cannot be replayed gets
    /// one log line and the game plays live.
    void setReplay(const std::string& file, bool exitAtEnd = false);

    /// While a replay runs: true skips the sleep between steps. False by default.
    void setFast(bool newFast);

    /// The name recordings carry and a replay must match; the program's name by default.
    void setGameName(const std::string& name);
    const std::string& getGameName() const;

    /// True while a replay feeds the input.
    bool isReplaying() const;

    GameManager(const GameManager&) = delete;
    GameManager& operator=(const GameManager&) = delete;

private:
    GameManager();
    ~GameManager() override;

    /// startUp's part for recording and replaying: opens the files and seeds rand().
    void startSession();
    /// One step's end for the session: the frame's digest checked and recorded.
    void endSessionStep();

    void onKey(Keyboard::Key key);
    void listen();

    bool gameOver = false;              ///< the loop stops before its next iteration when true
    int frameTime = FRAME_TIME_DEFAULT; ///< milliseconds
    std::string recordFile;             ///< setRecording's file, "" for none
    std::string replayFile;             ///< setReplay's file, "" for none
    bool replayExit = false;            ///< end the game when the replay ends
    bool fast = false;                  ///< no sleeping while replaying
    std::string gameName;               ///< the program's name unless set
    std::unique_ptr<Recorder> recorder; ///< made by startUp when recording
    std::unique_ptr<Replayer> replayer; ///< made by startUp when replaying

    std::unique_ptr<ScreenCapture> capture; ///< while capture keys are on
    std::unique_ptr<FrameOverlay> overlay;  ///< while the overlay key is on
};

} // namespace ks

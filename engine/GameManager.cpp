#include "GameManager.h"

#include "Clock.h"
#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "EventStep.h"
#include "FrameOverlay.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Recorder.h"
#include "Replayer.h"
#include "ResourceManager.h"
#include "ScreenCapture.h"
#include "WorldManager.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace ks {

GameManager::GameManager() : gameName(program_invocation_short_name)
{
    setType("GameManager");
}

GameManager::~GameManager() = default;

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
    startSession();
    return 0;
}

void GameManager::startSession()
{
    InputManager& input = InputManager::getInstance();
    unsigned seed = static_cast<unsigned>(time(nullptr));
    const bool seeded = !recordFile.empty() || !replayFile.empty();
    if (!replayFile.empty())
    {
        replayer = std::make_unique<Replayer>();
        if (replayer->open(replayFile, gameName) == 0)
        {
            seed = replayer->getHeader().seed;
            input.setReplayer(replayer.get());
            // A recording of no whole step has ended before it starts.
            if (!replayer->isActive() && replayExit)
                setGameOver(true);
        }
        else
        {
            replayer.reset();
        }
    }
    if (seeded)
        srand(seed);
    if (!recordFile.empty())
    {
        const DisplayManager& display = DisplayManager::getInstance();
        RecordingHeader header;
        header.game = gameName;
        header.seed = seed;
        header.frameTime = getFrameTime();
        header.width = display.getHorizontalPixels();
        header.height = display.getVerticalPixels();
        header.columns = display.getHorizontal();
        header.rows = display.getVertical();
        recorder = std::make_unique<Recorder>();
        if (recorder->open(recordFile, header) == 0)
            input.setRecorder(recorder.get());
        else
            recorder.reset();
    }
}

void GameManager::endSessionStep()
{
    const uint32_t digest = DisplayManager::getInstance().getFrameDigest();
    if (replayer != nullptr && replayer->endStep(digest))
    {
        InputManager::getInstance().setReplayer(nullptr);
        if (replayExit)
            setGameOver(true);
    }
    if (recorder != nullptr)
        recorder->endStep(digest);
}

void GameManager::shutDown()
{
    Manager::shutDown();
    setGameOver(true);
    // Captures still being written get their log lines while the log is open.
    if (capture)
        capture->finish();

    // The recording's end mark while the log can still say what went wrong.
    InputManager::getInstance().setRecorder(nullptr);
    InputManager::getInstance().setReplayer(nullptr);
    recorder.reset();
    replayer.reset();

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

        // Does nothing unless a game turned sprite reloading on.
        if (stepCount % SPRITE_CHECK_STEPS == 0)
            ResourceManager::getInstance().reloadChangedSprites([](Sprite& sprite, int oldWidth, int oldHeight) {
                WorldManager::getInstance().spriteReloaded(sprite, oldWidth, oldHeight);
            });

        if (replayer != nullptr)
            replayer->beginStep(stepCount);
        EventStep step(stepCount);
        onEvent(&step);
        InputManager::getInstance().getInput();
        WorldManager::getInstance().update();
        WorldManager::getInstance().draw();
        if (overlay)
            overlay->draw();
        DisplayManager::getInstance().swapBuffers();
        if (capture)
            capture->reportFinished();
        if (recorder != nullptr || replayer != nullptr)
            endSessionStep();
        stepCount++;

        const int64_t work = clock.split();
        if (overlay)
            overlay->frameWorked(work);
        const int sleepMs = sleepTimeFor(work);
        if (sleepMs >= 0 && !(fast && isReplaying()))
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

void GameManager::setRecording(const std::string& file)
{
    recordFile = file;
}

void GameManager::setReplay(const std::string& file, bool exitAtEnd)
{
    replayFile = file;
    replayExit = exitAtEnd;
}

void GameManager::setFast(bool newFast)
{
    fast = newFast;
}

void GameManager::setGameName(const std::string& name)
{
    gameName = name;
}

const std::string& GameManager::getGameName() const
{
    return gameName;
}

bool GameManager::isReplaying() const
{
    return replayer != nullptr && replayer->isActive();
}

void GameManager::setCaptureKeys(bool on)
{
    if (on == (capture != nullptr))
        return;
    if (on)
    {
        capture = std::make_unique<ScreenCapture>(frameTime);
        DisplayManager::getInstance().setFrameListener([this](const sf::RenderWindow& window) {
            capture->frameDrawn(window);
        });
    }
    else
    {
        DisplayManager::getInstance().setFrameListener(nullptr);
        capture->finish();
        capture.reset();
    }
    listen();
}

bool GameManager::getCaptureKeys() const
{
    return capture != nullptr;
}

void GameManager::setOverlayKey(bool on)
{
    if (on == (overlay != nullptr))
        return;
    overlay = on ? std::make_unique<FrameOverlay>(frameTime) : nullptr;
    listen();
}

bool GameManager::getOverlayKey() const
{
    return overlay != nullptr;
}

void GameManager::onKey(Keyboard::Key key)
{
    if (capture && key == Keyboard::F12)
        capture->requestScreenshot();
    else if (capture && key == Keyboard::F9)
        capture->requestClip();
    else if (overlay && key == Keyboard::F3)
        overlay->toggle();
}

// The input manager tells the game manager about keys only while one of its keys is on.
void GameManager::listen()
{
    if (capture || overlay)
        InputManager::getInstance().setKeyListener([this](Keyboard::Key key) {
            onKey(key);
        });
    else
        InputManager::getInstance().setKeyListener(nullptr);
}

int GameManager::sleepTimeFor(int64_t workMicroseconds) const
{
    // Whole milliseconds of work; the sub-millisecond rest is not slept away.
    const int workMs = static_cast<int>(workMicroseconds / 1000);
    return getFrameTime() - workMs;
}

} // namespace ks

// Real input: xdotool presses keys and moves and clicks
// the mouse on the display manager's window, and the events must reach an object in the world
// through getInput as the engine's events. Needs an X display and xdotool.
#include "TestSupport.h"

#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Object.h"
#include "SfmlCompat.h"
#include "WorldManager.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;

// What the handler saw, copied out of each event while it was alive.
class Recorder : public ks::Object
{
public:
    int eventHandler(const ks::Event* event) override
    {
        const auto* key = dynamic_cast<const ks::EventKeyboard*>(event);
        const auto* mouse = dynamic_cast<const ks::EventMouse*>(event);
        if (key && event->getType() == ks::KEYBOARD_EVENT)
            keys.push_back({key->getKeyboardAction(), key->getKey()});
        else if (mouse && event->getType() == ks::MSE_EVENT)
            mice.push_back({float(mouse->getMouseAction()), float(mouse->getMouseButton()),
                            mouse->getMousePosition().getX(), mouse->getMousePosition().getY()});
        if (key && onKey)
            onKey();
        return 0;
    }

    std::vector<std::vector<int>> keys;   // {action, key}
    std::vector<std::vector<float>> mice; // {action, button, x, y}
    std::function<void()> onKey;
};

class InputManagerTest : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
        ASSERT_EQ(ks::WorldManager::getInstance().startUp(), 0);
        ks::test::installFont();
        ASSERT_EQ(ks::DisplayManager::getInstance().startUp(), 0);
        ASSERT_EQ(input.startUp(), 0);
        // Our own window by its X id, in case other programs share the display.
        window = std::to_string(ks::compat::nativeHandle(*ks::DisplayManager::getInstance().getWindow()));
        ASSERT_TRUE(drive("")) << "xdotool cannot focus the window";
        recorder = new Recorder;
        // Opening the window may move the pointer into it; the tests start after that.
        pumpFor(300ms);
        recorder->mice.clear();
    }

    void TearDown() override
    {
        ks::WorldManager::getInstance().shutDown();
        ks::DisplayManager::getInstance().shutDown();
    }

    // Runs xdotool commands on our window, raised and focused in the same call: there is no
    // window manager to give it the focus, and a window another test opens meanwhile takes it.
    bool drive(const std::string& commands)
    {
        const std::string command = "timeout 10 xdotool windowraise " + window + " windowfocus --sync " + window;
        return std::system((command + " " + commands + " >/dev/null 2>&1").c_str()) == 0;
    }

    // Polls the input manager until done() holds or the time is up; true if it held.
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5000ms)
    {
        for (const auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;)
        {
            input.getInput();
            if (done())
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    // Polls for a while, for events that may still come.
    void pumpFor(std::chrono::milliseconds time)
    {
        pumpUntil(
            [] {
                return false;
            },
            time);
    }

    ks::InputManager& input = ks::InputManager::getInstance();
    std::string window;
    Recorder* recorder = nullptr; // owned by the world
};

// Without a started display there is no window to read input from.
TEST(InputManagerWithoutDisplay, RefusesToStartAndSaysWhy)
{
    ks::test::TempDir temp;
    ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    ks::InputManager& input = ks::InputManager::getInstance();
    EXPECT_EQ(input.startUp(), -1);
    EXPECT_FALSE(input.isStarted());
    EXPECT_EQ(ks::test::logMessages(),
              std::vector<std::string>{"Could not start input manager because display manager is not started"});
}

TEST_F(InputManagerTest, KeysArriveInOrderWithEngineCodesAndAHeldKeyPressesOnce)
{
    ASSERT_TRUE(drive("keydown a keyup a key 0 key 1 key BackSpace keydown space"));
    // Long enough for the X server's auto-repeat to start.
    pumpFor(1500ms);
    ASSERT_TRUE(drive("keyup space"));
    ASSERT_TRUE(pumpUntil([&] {
        return recorder->keys.size() >= 10;
    }));
    pumpFor(200ms); // anything more that comes

    // {action, key}: A, Num0, Num1, Backspace (sent, but unnamed), Space.
    const int P = ks::KEY_PRESSED, R = ks::KEY_RELEASED;
    const std::vector<std::vector<int>> expected = {{P, 31}, {R, 31}, {P, 66}, {R, 66}, {P, 57},
                                                    {R, 57}, {P, -1}, {R, -1}, {P, 0},  {R, 0}};
    EXPECT_EQ(recorder->keys, expected);
    EXPECT_TRUE(recorder->mice.empty());
}

TEST_F(InputManagerTest, MouseMovesReportWindowPixelsAndClicksOneEventWithoutPosition)
{
    // Via another point, in case the pointer already rests at the target. Pixels, not cells:
    // the receiver converts.
    ASSERT_TRUE(drive("mousemove --window " + window + " 100 100 mousemove --window " + window + " 600 300"));
    const std::vector<float> moved = {ks::MOVED, ks::Mouse::UNDEFINED_MOUSE_BUTTON, 600, 300};
    ASSERT_TRUE(pumpUntil([&] {
        return !recorder->mice.empty() && recorder->mice.back() == moved;
    }));
    const size_t moves = recorder->mice.size();
    // X buttons 3, 1, 2 and 8 are SFML's Right, Left, Middle and first extra button.
    ASSERT_TRUE(drive("click 3 click 1 click 2 click 8"));
    ASSERT_TRUE(pumpUntil([&] {
        return recorder->mice.size() >= moves + 4;
    }));
    pumpFor(200ms); // anything more that comes

    // One event per click (releases send nothing), without a position.
    const float C = ks::CLICKED;
    const std::vector<std::vector<float>> clicks = {
        {C, ks::Mouse::RIGHT, 0, 0}, {C, ks::Mouse::LEFT, 0, 0}, {C, ks::Mouse::MIDDLE, 0, 0}, {C, -1, 0, 0}};
    EXPECT_EQ(std::vector<std::vector<float>>(recorder->mice.begin() + moves, recorder->mice.end()), clicks);
    EXPECT_TRUE(recorder->keys.empty());
}

// A handler may shut the display down; the rest of the queue goes with the window.
TEST_F(InputManagerTest, HandlerClosingTheDisplayEndsTheInputPhase)
{
    recorder->onKey = [] {
        ks::DisplayManager::getInstance().shutDown();
    };
    ASSERT_TRUE(drive("keydown c keyup c"));
    // Let both events reach the queue before the first poll.
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(pumpUntil([&] {
        return ks::DisplayManager::getInstance().getWindow() == nullptr;
    }));
    input.getInput();
    EXPECT_EQ(recorder->keys, (std::vector<std::vector<int>>{{ks::KEY_PRESSED, ks::Keyboard::C}}));
}

} // namespace

namespace {

// F11 and Alt+Enter switch a game that enables them to fullscreen and back; a pointer over any
// cell, moved there in the letterbox (1280 x 1024 display: scale 1.25, 32 black rows above) or
// in the window, converts to that cell.
TEST_F(InputManagerTest, FullscreenKeysToggleAndThePointerStaysOverItsCell)
{
    ks::DisplayManager& dm = ks::DisplayManager::getInstance();
    dm.setFullscreenKeys(true);
    struct Step
    {
        const char* keys;
        bool fullscreen;
        unsigned width, height;
    };
    const Step steps[] = {{"key F11", true, 1280, 1024},
                          {"key alt+Return", false, 1024, 768},
                          {"key alt+Return", true, 1280, 1024},
                          {"key F11", false, 1024, 768}};
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.keys);
        ASSERT_TRUE(drive(step.keys));
        ASSERT_TRUE(pumpUntil([&] {
            return dm.isFullscreen() == step.fullscreen;
        }));
        // The window is made again: xdotool needs its new id.
        window = std::to_string(ks::compat::nativeHandle(*dm.getWindow()));
        pumpFor(200ms);
        EXPECT_EQ(dm.getWindow()->getSize(), sf::Vector2u(step.width, step.height));
        EXPECT_FLOAT_EQ(dm.spacesToPixels(ks::Vector(0, 0)).getY(), step.fullscreen ? 32 : 0);
        const int cells[][2] = {{0, 0}, {79, 23}, {40, 12}, {7, 19}};
        for (const auto& cell : cells)
        {
            // The cell's first pixel and its last.
            for (const float inside : {0.f, 1.f})
            {
                const ks::Vector corner =
                    dm.spacesToPixels(ks::Vector(float(cell[0]) + inside, float(cell[1]) + inside));
                const int x = int(corner.getX()) - int(inside), y = int(corner.getY()) - int(inside);
                recorder->mice.clear();
                ASSERT_TRUE(drive("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y)));
                ASSERT_TRUE(pumpUntil([&] {
                    return !recorder->mice.empty() && recorder->mice.back()[2] == float(x) &&
                           recorder->mice.back()[3] == float(y);
                })) << "pointer at "
                    << x << ", " << y;
                const ks::Vector spaces = dm.pixelsToSpaces(ks::Vector(float(x), float(y)));
                EXPECT_EQ(int(std::floor(spaces.getX())), cell[0]) << x << ", " << y;
                EXPECT_EQ(int(std::floor(spaces.getY())), cell[1]) << x << ", " << y;
            }
        }
    }
    EXPECT_FLOAT_EQ(dm.getScale(), 1);
}

} // namespace

// Real input: xdotool presses keys and moves and clicks the mouse on the display manager's
// window, and the events must reach an object in the world through getInput as the
// engine's keyboard and mouse events. Needs an X display and xdotool.
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
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// What a handler saw, copied out of the event while it was alive.
struct Seen {
    std::string type;
    int action = -99;
    int code = -99; // key or button
    float x = -1, y = -1;
    bool rightClass = false; // the object really was the class its type name claims
};

class Recorder : public ks::Object
{
public:
    Recorder() { setType("recorder"); }

    int eventHandler(const ks::Event* event) override
    {
        Seen seen;
        seen.type = event->getType();
        if (seen.type == ks::KEYBOARD_EVENT) {
            const auto* keyboard = dynamic_cast<const ks::EventKeyboard*>(event);
            seen.rightClass = keyboard != nullptr;
            if (keyboard) {
                seen.action = keyboard->getKeyboardAction();
                seen.code = keyboard->getKey();
            }
        } else if (seen.type == ks::MSE_EVENT) {
            const auto* mouse = dynamic_cast<const ks::EventMouse*>(event);
            seen.rightClass = mouse != nullptr;
            if (mouse) {
                seen.action = mouse->getMouseAction();
                seen.code = mouse->getMouseButton();
                seen.x = mouse->getMousePosition().getX();
                seen.y = mouse->getMousePosition().getY();
            }
        }
        events.push_back(seen);
        if (onEach)
            onEach(seen);
        return 0;
    }

    std::vector<Seen> keys() const { return only(ks::KEYBOARD_EVENT, -2); }
    std::vector<Seen> clicks() const { return only(ks::MSE_EVENT, ks::CLICKED); }
    std::vector<Seen> moves() const { return only(ks::MSE_EVENT, ks::MOVED); }

    std::vector<Seen> events;
    std::function<void(const Seen&)> onEach;

private:
    std::vector<Seen> only(const std::string& type, int action) const
    {
        std::vector<Seen> out;
        for (const Seen& s : events)
            if (s.type == type && (action == -2 || s.action == action))
                out.push_back(s);
        return out;
    }
};

std::string runAndRead(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

bool xdotool(const std::string& args)
{
    return std::system(("timeout 10 xdotool " + args + " >/dev/null 2>&1").c_str()) == 0;
}

class LiveInput : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        if (std::system("command -v xdotool >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "xdotool is not installed";
        ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
        ASSERT_EQ(ks::WorldManager::getInstance().startUp(), 0);
        ks::test::installFont();
        ASSERT_EQ(ks::DisplayManager::getInstance().startUp(), 0);
        ASSERT_EQ(input.startUp(), 0);

        // Our own window by its X id, in case other programs share the display.
        windowId = std::to_string(ks::compat::nativeHandle(*ks::DisplayManager::getInstance().getWindow()));
        ASSERT_EQ(runAndRead("xdotool getwindowname " + windowId), "Kestrane");
        focus();

        recorder = new Recorder;
        // Whatever the window reported while opening (resize, focus) is not input.
        pump(300ms);
        EXPECT_TRUE(recorder->keys().empty());
        EXPECT_TRUE(recorder->clicks().empty());
        recorder->events.clear();
    }

    void TearDown() override
    {
        ks::WorldManager::getInstance().shutDown();
        ks::DisplayManager::getInstance().shutDown();
    }

    // Without a window manager, focus has to be given explicitly.
    void focus()
    {
        ASSERT_TRUE(xdotool("windowraise " + windowId + " windowfocus --sync " + windowId));
    }

    // Runs xdotool commands on our window, raised and focused in the same call: a window
    // that another program opens on this display meanwhile takes the focus.
    bool drive(const std::string& commands)
    {
        return xdotool("windowraise " + windowId + " windowfocus --sync " + windowId + " " + commands);
    }

    // Polls the input manager until done() holds or the time is up; true if it held.
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5000ms)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            input.getInput();
            if (done())
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    void pump(std::chrono::milliseconds duration)
    {
        pumpUntil([] { return false; }, duration);
    }

    ks::InputManager& input = ks::InputManager::getInstance();
    std::string windowId;
    Recorder* recorder = nullptr; // owned by the world
};

TEST_F(LiveInput, KeyPressesAndReleasesArriveInOrderWithEngineCodes)
{
    ASSERT_TRUE(drive("keydown a keyup a key 0 key 1 key BackSpace"));
    ASSERT_TRUE(pumpUntil([&] { return recorder->keys().size() >= 8; }));
    pump(200ms);

    struct Expected {
        int action, key;
    };
    const Expected expected[] = {
        {ks::KEY_PRESSED, 31}, {ks::KEY_RELEASED, 31}, // A
        {ks::KEY_PRESSED, 66}, {ks::KEY_RELEASED, 66}, // Num0
        {ks::KEY_PRESSED, 57}, {ks::KEY_RELEASED, 57}, // Num1
        {ks::KEY_PRESSED, -1}, {ks::KEY_RELEASED, -1}, // Backspace: sent, but unnamed
    };
    const std::vector<Seen> keys = recorder->keys();
    ASSERT_EQ(keys.size(), std::size(expected));
    for (size_t i = 0; i < keys.size(); i++) {
        SCOPED_TRACE(testing::Message() << "event " << i);
        EXPECT_TRUE(keys[i].rightClass);
        EXPECT_EQ(keys[i].action, expected[i].action);
        EXPECT_EQ(keys[i].code, expected[i].key);
    }
    // Nothing but key events was delivered.
    EXPECT_EQ(recorder->events.size(), keys.size());
}

TEST_F(LiveInput, HeldKeyGivesOnePressAndOneRelease)
{
    ASSERT_TRUE(drive("keydown space"));
    // Long enough for the X server's auto-repeat to start.
    pump(1500ms);
    ASSERT_TRUE(drive("keyup space"));
    ASSERT_TRUE(pumpUntil([&] { return !recorder->keys().empty() && recorder->keys().back().action == ks::KEY_RELEASED; }));
    pump(200ms);

    const std::vector<Seen> keys = recorder->keys();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].action, ks::KEY_PRESSED);
    EXPECT_EQ(keys[0].code, ks::Keyboard::SPACE);
    EXPECT_EQ(keys[1].action, ks::KEY_RELEASED);
    EXPECT_EQ(keys[1].code, ks::Keyboard::SPACE);
}

TEST_F(LiveInput, MouseMoveReportsWindowPixels)
{
    // Via another point, in case the pointer already rests at the target.
    ASSERT_TRUE(drive("mousemove --window " + windowId + " 100 100 mousemove --window " + windowId + " 600 300"));
    ASSERT_TRUE(pumpUntil([&] {
        const std::vector<Seen> moves = recorder->moves();
        return !moves.empty() && moves.back().x == 600.0f && moves.back().y == 300.0f;
    }));
    pump(200ms);

    for (const Seen& move : recorder->moves()) {
        EXPECT_TRUE(move.rightClass);
        EXPECT_EQ(move.code, ks::Mouse::UNDEFINED_MOUSE_BUTTON);
    }
    // Pixels, not cells: the receiver converts.
    const Seen last = recorder->moves().back();
    EXPECT_EQ(last.x, 600.0f);
    EXPECT_EQ(last.y, 300.0f);
    EXPECT_TRUE(recorder->clicks().empty());
    EXPECT_TRUE(recorder->keys().empty());
}

TEST_F(LiveInput, ClicksGiveOneEventPerPressWithoutPosition)
{
    // X buttons 3, 1, 2 and 8 are SFML's Right, Left, Middle and first extra button.
    ASSERT_TRUE(drive("mousemove --window " + windowId + " 600 300 click 3 click 1 click 2 click 8"));
    ASSERT_TRUE(pumpUntil([&] { return recorder->clicks().size() >= 4; }));
    pump(200ms);

    const int expected[] = {ks::Mouse::RIGHT, ks::Mouse::LEFT, ks::Mouse::MIDDLE, ks::Mouse::UNDEFINED_MOUSE_BUTTON};
    const std::vector<Seen> clicks = recorder->clicks();
    // Releases send nothing, so one event per click.
    ASSERT_EQ(clicks.size(), std::size(expected));
    for (size_t i = 0; i < clicks.size(); i++) {
        SCOPED_TRACE(testing::Message() << "click " << i);
        EXPECT_TRUE(clicks[i].rightClass);
        EXPECT_EQ(clicks[i].code, expected[i]);
        EXPECT_EQ(clicks[i].x, 0.0f);
        EXPECT_EQ(clicks[i].y, 0.0f);
    }
}

// A handler may shut the display down; the rest of the queue goes with the window.
TEST_F(LiveInput, HandlerClosingTheDisplayEndsTheInputPhase)
{
    recorder->onEach = [](const Seen& seen) {
        if (seen.type == ks::KEYBOARD_EVENT && seen.action == ks::KEY_PRESSED)
            ks::DisplayManager::getInstance().shutDown();
    };
    ASSERT_TRUE(drive("keydown c keyup c"));
    // Let both events reach the queue before the first poll.
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(pumpUntil([&] { return ks::DisplayManager::getInstance().getWindow() == nullptr; }));
    input.getInput();

    ASSERT_EQ(recorder->keys().size(), 1u);
    EXPECT_EQ(recorder->keys()[0].code, ks::Keyboard::C);
}

} // namespace

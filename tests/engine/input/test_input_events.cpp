// The translation of SFML's keys and buttons into the engine's codes, the input events
// themselves, and the input manager's start-up rule. No window is needed.
#include "TestSupport.h"

#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "InputManager.h"
#include "LogManager.h"
#include "SfmlCompat.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using SK = sf::Keyboard::Key;

struct KeyCase {
    SK sfml;
    int engine; // the engine's value, written as a number on purpose
};

// Every SFML key, each with the engine code it must become.
const KeyCase KEY_TABLE[] = {
    {SK::Space, 0}, {SK::Enter, 1}, {SK::Escape, 2}, {SK::Tab, 3},
    {SK::Left, 4}, {SK::Right, 5}, {SK::Up, 6}, {SK::Down, 7},
    {SK::Pause, 8}, {SK::Hyphen, 9}, {SK::Equal, 10},
    {SK::Period, 12}, {SK::Comma, 13}, {SK::Slash, 14},
    {SK::LControl, 15}, {SK::RControl, 16}, {SK::LShift, 17}, {SK::RShift, 18},
    {SK::F1, 19}, {SK::F2, 20}, {SK::F3, 21}, {SK::F4, 22}, {SK::F5, 23}, {SK::F6, 24},
    {SK::F7, 25}, {SK::F8, 26}, {SK::F9, 27}, {SK::F10, 28}, {SK::F11, 29}, {SK::F12, 30},
    {SK::A, 31}, {SK::B, 32}, {SK::C, 33}, {SK::D, 34}, {SK::E, 35}, {SK::F, 36}, {SK::G, 37},
    {SK::H, 38}, {SK::I, 39}, {SK::J, 40}, {SK::K, 41}, {SK::L, 42}, {SK::M, 43}, {SK::N, 44},
    {SK::O, 45}, {SK::P, 46}, {SK::Q, 47}, {SK::R, 48}, {SK::S, 49}, {SK::T, 50}, {SK::U, 51},
    {SK::V, 52}, {SK::W, 53}, {SK::X, 54}, {SK::Y, 55}, {SK::Z, 56},
    {SK::Num1, 57}, {SK::Num2, 58}, {SK::Num3, 59}, {SK::Num4, 60}, {SK::Num5, 61},
    {SK::Num6, 62}, {SK::Num7, 63}, {SK::Num8, 64}, {SK::Num9, 65}, {SK::Num0, 66},
    // Keys the engine has no name for.
    {SK::LAlt, -1}, {SK::RAlt, -1}, {SK::LSystem, -1}, {SK::RSystem, -1}, {SK::Menu, -1},
    {SK::LBracket, -1}, {SK::RBracket, -1}, {SK::Semicolon, -1}, {ks::compat::key::Apostrophe, -1},
    {SK::Backslash, -1}, {ks::compat::key::Grave, -1}, {SK::Backspace, -1},
    {SK::PageUp, -1}, {SK::PageDown, -1}, {SK::End, -1}, {SK::Home, -1}, {SK::Insert, -1}, {SK::Delete, -1},
    {SK::Add, -1}, {SK::Subtract, -1}, {SK::Multiply, -1}, {SK::Divide, -1},
    {SK::Numpad0, -1}, {SK::Numpad1, -1}, {SK::Numpad2, -1}, {SK::Numpad3, -1}, {SK::Numpad4, -1},
    {SK::Numpad5, -1}, {SK::Numpad6, -1}, {SK::Numpad7, -1}, {SK::Numpad8, -1}, {SK::Numpad9, -1},
    {SK::F13, -1}, {SK::F14, -1}, {SK::F15, -1}, {SK::Unknown, -1},
};

TEST(KeyTranslation, EverySfmlKeyGetsItsEngineCode)
{
    ks::EventKeyboard event;
    std::map<int, int> engineToSfml;
    for (const KeyCase& c : KEY_TABLE) {
        const int code = static_cast<int>(c.sfml);
        EXPECT_EQ(static_cast<int>(event.convertKey(c.sfml)), c.engine) << "SFML key " << code;
        if (c.engine != -1) {
            EXPECT_TRUE(engineToSfml.emplace(c.engine, code).second) << "engine code " << c.engine << " twice";
        }
    }

    // The table above covers every key SFML has, so a key added to the table's left
    // column by mistake or missing from it shows here.
    std::set<int> covered;
    for (const KeyCase& c : KEY_TABLE)
        covered.insert(static_cast<int>(c.sfml));
    for (int code = -1; code < static_cast<int>(ks::compat::key::Count); code++)
        EXPECT_EQ(covered.count(code), 1u) << "SFML key " << code << " not in the test table";

    // 0..66 without 11, each reached by exactly one SFML key.
    for (int engine = 0; engine <= 66; engine++)
        EXPECT_EQ(engineToSfml.count(engine), engine == 11 ? 0u : 1u) << "engine code " << engine;
}

TEST(KeyTranslation, CodesOutsideSfmlsRangeAreUndefined)
{
    ks::EventKeyboard event;
    for (int code : {static_cast<int>(ks::compat::key::Count), 120, -2}) {
        EXPECT_EQ(event.convertKey(static_cast<SK>(code)), ks::Keyboard::UNDEFINED_KEY) << "code " << code;
    }
}

TEST(ButtonTranslation, EverySfmlButtonGetsItsEngineCode)
{
    struct Case {
        sf::Mouse::Button sfml;
        int engine;
    };
    const Case cases[] = {
        {sf::Mouse::Button::Left, 0},
        {sf::Mouse::Button::Right, 1},
        {sf::Mouse::Button::Middle, 2},
        {ks::compat::mouse::Extra1, -1},
        {ks::compat::mouse::Extra2, -1},
        {static_cast<sf::Mouse::Button>(ks::compat::mouse::Count), -1},
    };
    ks::EventMouse event;
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<int>(event.convertKey(c.sfml)), c.engine) << "SFML button " << static_cast<int>(c.sfml);
}

TEST(InputEvents, NewEventsCarryTheirTypeAndNothingElse)
{
    ks::EventKeyboard keyboard;
    EXPECT_EQ(keyboard.getType(), "ks::keyboard");
    EXPECT_EQ(keyboard.getKey(), ks::Keyboard::UNDEFINED_KEY);
    EXPECT_EQ(keyboard.getKeyboardAction(), ks::UNDEFINED_KEYBOARD_ACTION);

    ks::EventMouse mouse;
    EXPECT_EQ(mouse.getType(), "ks::mouse");
    EXPECT_EQ(mouse.getMouseAction(), ks::UNDEFINED_MOUSE_ACTION);
    EXPECT_EQ(mouse.getMouseButton(), ks::Mouse::UNDEFINED_MOUSE_BUTTON);
    EXPECT_EQ(mouse.getMousePosition().getX(), 0.0f);
    EXPECT_EQ(mouse.getMousePosition().getY(), 0.0f);

    // Translating is a lookup only: the event keeps what it was given.
    keyboard.setKey(ks::Keyboard::Z);
    keyboard.setKeyboardAction(ks::KEY_RELEASED);
    EXPECT_EQ(keyboard.convertKey(SK::A), ks::Keyboard::A);
    EXPECT_EQ(keyboard.getKey(), ks::Keyboard::Z);
    EXPECT_EQ(keyboard.getKeyboardAction(), ks::KEY_RELEASED);

    mouse.setMouseAction(ks::MOVED);
    mouse.setMouseButton(ks::Mouse::MIDDLE);
    mouse.setMousePosition(ks::Vector(600, 300));
    EXPECT_EQ(mouse.convertKey(sf::Mouse::Button::Left), ks::Mouse::LEFT);
    EXPECT_EQ(mouse.getMouseAction(), ks::MOVED);
    EXPECT_EQ(mouse.getMouseButton(), ks::Mouse::MIDDLE);
    EXPECT_EQ(mouse.getMousePosition().getX(), 600.0f);
    EXPECT_EQ(mouse.getMousePosition().getY(), 300.0f);
}

class InputStartUp : public ks::test::InTempDir
{
protected:
    void SetUp() override { ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0); }
};

TEST_F(InputStartUp, RefusedUntilTheDisplayIsStarted)
{
    ks::InputManager& input = ks::InputManager::getInstance();
    EXPECT_EQ(input.getType(), "InputManager");
    ASSERT_FALSE(ks::DisplayManager::getInstance().isStarted());

    EXPECT_EQ(input.startUp(), -1);
    EXPECT_FALSE(input.isStarted());
    EXPECT_EQ(ks::test::logMessages(),
              std::vector<std::string>{"Could not start input manager because display manager is not started"});

    // The display's flag is all it asks about; whether a window exists does not matter.
    ks::DisplayManager::getInstance().Manager::startUp();
    EXPECT_EQ(input.startUp(), 0);
    EXPECT_TRUE(input.isStarted());
    input.shutDown();
    EXPECT_FALSE(input.isStarted());
    EXPECT_EQ(ks::test::logMessages().size(), 1u);
}

} // namespace

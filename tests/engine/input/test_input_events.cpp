// The translation of SFML's keys and buttons into the engine's codes, and the input manager's
// start-up rule. No window is needed.
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
#include <utility>
#include <vector>

namespace {

using SK = sf::Keyboard::Key;

// SFML keys with the engine value each must become, written as numbers on purpose.
const std::pair<SK, int> NAMED_KEYS[] = {
    {SK::Space, 0},  {SK::Enter, 1},  {SK::Escape, 2},    {SK::Tab, 3},       {SK::Left, 4},    {SK::Right, 5},
    {SK::Up, 6},     {SK::Down, 7},   {SK::Pause, 8},     {SK::Hyphen, 9},    {SK::Equal, 10},  {SK::Period, 12},
    {SK::Comma, 13}, {SK::Slash, 14}, {SK::LControl, 15}, {SK::RControl, 16}, {SK::LShift, 17}, {SK::RShift, 18},
    {SK::F1, 19},    {SK::F2, 20},    {SK::F3, 21},       {SK::F4, 22},       {SK::F5, 23},     {SK::F6, 24},
    {SK::F7, 25},    {SK::F8, 26},    {SK::F9, 27},       {SK::F10, 28},      {SK::F11, 29},    {SK::F12, 30},
    {SK::A, 31},     {SK::B, 32},     {SK::C, 33},        {SK::D, 34},        {SK::E, 35},      {SK::F, 36},
    {SK::G, 37},     {SK::H, 38},     {SK::I, 39},        {SK::J, 40},        {SK::K, 41},      {SK::L, 42},
    {SK::M, 43},     {SK::N, 44},     {SK::O, 45},        {SK::P, 46},        {SK::Q, 47},      {SK::R, 48},
    {SK::S, 49},     {SK::T, 50},     {SK::U, 51},        {SK::V, 52},        {SK::W, 53},      {SK::X, 54},
    {SK::Y, 55},     {SK::Z, 56},     {SK::Num1, 57},     {SK::Num2, 58},     {SK::Num3, 59},   {SK::Num4, 60},
    {SK::Num5, 61},  {SK::Num6, 62},  {SK::Num7, 63},     {SK::Num8, 64},     {SK::Num9, 65},   {SK::Num0, 66},
};

// Keys the engine has no name for, and codes outside SFML's range.
const SK UNNAMED_KEYS[] = {
    SK::LAlt,
    SK::RAlt,
    SK::LSystem,
    SK::RSystem,
    SK::Menu,
    SK::LBracket,
    SK::RBracket,
    SK::Semicolon,
    ks::compat::key::Apostrophe,
    SK::Backslash,
    ks::compat::key::Grave,
    SK::Backspace,
    SK::PageUp,
    SK::PageDown,
    SK::End,
    SK::Home,
    SK::Insert,
    SK::Delete,
    SK::Add,
    SK::Subtract,
    SK::Multiply,
    SK::Divide,
    SK::Numpad0,
    SK::Numpad1,
    SK::Numpad2,
    SK::Numpad3,
    SK::Numpad4,
    SK::Numpad5,
    SK::Numpad6,
    SK::Numpad7,
    SK::Numpad8,
    SK::Numpad9,
    SK::F13,
    SK::F14,
    SK::F15,
    SK::Unknown,
    static_cast<SK>(ks::compat::key::Count),
    static_cast<SK>(120),
    static_cast<SK>(-2),
};

TEST(KeyTranslation, EverySfmlKeyGetsItsEngineCode)
{
    ks::EventKeyboard event;
    std::set<int> covered;
    std::map<int, int> engineToSfml;
    for (const auto& [sfml, engine] : NAMED_KEYS)
    {
        covered.insert(static_cast<int>(sfml));
        EXPECT_EQ(static_cast<int>(event.convertKey(sfml)), engine) << "SFML key " << static_cast<int>(sfml);
        EXPECT_TRUE(engineToSfml.emplace(engine, static_cast<int>(sfml)).second) << "engine code " << engine;
    }
    for (SK sfml : UNNAMED_KEYS)
    {
        covered.insert(static_cast<int>(sfml));
        EXPECT_EQ(event.convertKey(sfml), ks::Keyboard::UNDEFINED_KEY) << "SFML key " << static_cast<int>(sfml);
    }
    // The tables hold every key SFML has, and the engine's codes are 0..66 without 11.
    for (int code = -1; code < static_cast<int>(ks::compat::key::Count); code++)
        EXPECT_EQ(covered.count(code), 1u) << "SFML key " << code << " not in the tables";
    for (int engine = 0; engine <= 66; engine++)
        EXPECT_EQ(engineToSfml.count(engine), engine == 11 ? 0u : 1u) << "engine code " << engine;
}

TEST(ButtonTranslation, EverySfmlButtonGetsItsEngineCode)
{
    const std::pair<sf::Mouse::Button, int> cases[] = {
        {sf::Mouse::Button::Left, 0},    {sf::Mouse::Button::Right, 1},
        {sf::Mouse::Button::Middle, 2},  {ks::compat::mouse::Extra1, -1},
        {ks::compat::mouse::Extra2, -1}, {static_cast<sf::Mouse::Button>(ks::compat::mouse::Count), -1},
    };
    ks::EventMouse event;
    for (const auto& [sfml, engine] : cases)
        EXPECT_EQ(static_cast<int>(event.convertKey(sfml)), engine) << "SFML button " << static_cast<int>(sfml);
}

using InputStartUp = ks::test::InTempDir;

TEST_F(InputStartUp, RefusedUntilTheDisplayIsStarted)
{
    ASSERT_EQ(ks::LogManager::getInstance().startUp(), 0);
    ks::InputManager& input = ks::InputManager::getInstance();
    EXPECT_EQ(input.startUp(), -1);
    EXPECT_FALSE(input.isStarted());
    EXPECT_EQ(ks::test::logMessages(),
              std::vector<std::string>{"Could not start input manager because display manager is not started"});

    // The display's flag is all it asks about; whether a window exists does not matter.
    ks::DisplayManager::getInstance().Manager::startUp();
    EXPECT_EQ(input.startUp(), 0);
    EXPECT_TRUE(input.isStarted());
    EXPECT_EQ(ks::test::logMessages().size(), 1u);
}

} // namespace

// The translation of SFML's keys into the engine's codes; no window needed.
#include <map>

#include <gtest/gtest.h>

#include "EventKeyboard.h"
#include "SfmlCompat.h"

namespace {

using SK = sf::Keyboard::Key;

int code(SK key)
{
    return static_cast<int>(key);
}

} // namespace

// Every SFML key with an engine name gets its code (written as numbers on purpose); every
// other key, and codes outside SFML's range, are undefined.
TEST(EventKeyboardTest, EverySfmlKeyGetsItsEngineCode)
{
    std::map<int, int> named = {
        {code(SK::Space), 0},   {code(SK::Enter), 1},   {code(SK::Escape), 2},    {code(SK::Tab), 3},
        {code(SK::Left), 4},    {code(SK::Right), 5},   {code(SK::Up), 6},        {code(SK::Down), 7},
        {code(SK::Pause), 8},   {code(SK::Hyphen), 9},  {code(SK::Equal), 10},    {code(SK::Period), 12},
        {code(SK::Comma), 13},  {code(SK::Slash), 14},  {code(SK::LControl), 15}, {code(SK::RControl), 16},
        {code(SK::LShift), 17}, {code(SK::RShift), 18}, {code(SK::Num0), 66}};
    for (int i = 0; i < 26; i++)
        named[code(SK::A) + i] = 31 + i;
    for (int i = 0; i < 12; i++)
        named[code(SK::F1) + i] = 19 + i;
    for (int i = 0; i < 9; i++)
        named[code(SK::Num1) + i] = 57 + i;
    ks::EventKeyboard event;
    for (int sfml = -2; sfml <= static_cast<int>(ks::compat::key::Count) + 20; sfml++)
    {
        const auto it = named.find(sfml);
        EXPECT_EQ(static_cast<int>(event.convertKey(static_cast<SK>(sfml))), it == named.end() ? -1 : it->second)
            << "SFML key " << sfml;
    }
}

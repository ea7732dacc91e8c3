// The translation of SFML's mouse buttons into the engine's codes.
#include <gtest/gtest.h>

#include "EventMouse.h"
#include "SfmlCompat.h"

TEST(EventMouseTest, EverySfmlButtonGetsItsEngineCode)
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

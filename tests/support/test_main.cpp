// Test entry: audio goes to a silent device so that sound tests run the same on a machine
// without a sound card, and SFML's own chatter stays out of the test output.
#include <gtest/gtest.h>

#include "SfmlCompat.h"

int main(int argc, char** argv)
{
    ks::compat::useNullAudioDevice();
    sf::err().rdbuf(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

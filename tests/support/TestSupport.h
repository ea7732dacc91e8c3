// Helpers shared by the tests: each test runs in a fresh temporary working directory (the
// engine reads and writes relative to it), writes its input files and reads back the log.
#pragma once

#include <string>
#include <vector>

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include "TempDir.h"

namespace ks::test {

using ks::tools::TempDir;

// Fixture: every test body runs in its own TempDir.
class InTempDir : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(temp.path().empty()) << "no temporary directory";
    }
    TempDir temp{"kestrane-test"};
};

// Writes bytes to a file, unchanged.
void writeFile(const std::string& name, const std::string& bytes);

// A file's bytes (empty if it cannot be read).
std::string readFile(const std::string& name);

// Copies the game font into the working directory as "ks-font.ttf".
void installFont();

// The lines of "Kestrane Log.log" without their line feeds (empty if there is none).
std::vector<std::string> logLines();

// The log's lines with the " Message : " prefix removed.
std::vector<std::string> logMessages();

// Links the built game's program, and with withData its font, sprites and sounds, into the
// working directory.
void linkGameFolder(bool withData = true);

// Runs the game program of the working directory with args, its output into "output.txt",
// with no X display and silent audio unless windowed; the exit status, or -1 if it did not
// exit.
int runGame(const std::string& args, bool windowed = false);

// A recording of a short scripted game of `game` (seed 1): Space, walking with held keys,
// aiming, firing and reloading over `steps` steps, and a digest of 0 for every frame (so a
// replay of it logs that the first frame differs). Without its end mark when cut.
std::string scriptedRecording(const std::string& game = "kestrane", int steps = 300, bool cut = false);

// How two images differ: the pixels where some channel differs by more than tolerance, the
// largest difference in any channel, and the first such pixel. Images of different sizes, or
// empty ones, differ in every pixel, and `first` names the sizes.
struct ImageDifference
{
    int count = 0;
    int largest = 0;
    std::string first;
};
ImageDifference compareImages(const sf::Image& a, const sf::Image& b, int tolerance = 0);

// Pixels of the image that are not black.
int inkedPixels(const sf::Image& image);

// What the X server shows of a window (its native handle) right now, read from the screen
// rather than from the renderer; empty if it cannot be read.
sf::Image shownOnScreen(unsigned long window);

} // namespace ks::test

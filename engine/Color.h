#pragma once

#include <cstdint>

namespace ks {

/// Color: the engine's colours. drawCh paints BLACK..WHITE as themselves and anything
/// else as white, with a log line.
enum Color : int
{
    UNDEFINED_COLOR = -1,
    BLACK = 0,
    RED,
    GREEN,
    YELLOW,
    BLUE,
    MAGENTA,
    CYAN,
    WHITE,
    CUSTOM,
};

const Color COLOR_DEFAULT = WHITE;

/// Any colour, by its red, green and blue (each 0-255), drawn opaque.
struct Rgb
{
    std::uint8_t r = 255, g = 255, b = 255;
};

} // namespace ks

#pragma once

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

} // namespace ks

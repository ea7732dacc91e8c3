// The cave's map: a text file of rows of characters, one row a line, all as wide as the
// first. '#' is rock, '@' where the explorer starts, '*' a gem, 'b' a bat's roost, 'X' the way
// out; anything else is open floor. The map keeps only rock, floor and the way out; gems, bats
// and the start come out as lists of places.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace cave {

struct Place
{
    int x = 0, y = 0;
};

struct CaveMap
{
    int width = 0, height = 0;
    std::vector<std::string> rows; ///< '#' rock, 'X' the way out, ' ' floor
    Place start;
    std::vector<Place> gems;
    std::vector<Place> bats;

    /// The cell at (x, y), rock outside the map.
    char at(int x, int y) const;
    bool isRock(int x, int y) const;
};

/// The largest map read, in cells along either side.
const int MAX_MAP_SIDE = 4000;

/// Reads a map. Each thing wrong with the text (no rows, ragged or overlong rows, a second
/// start, no start) adds a line to problems and is mended: short rows are filled with rock,
/// rows and columns past MAX_MAP_SIDE are dropped, a missing start is the first open cell (or
/// a cell made open). The result has at least one row and column and its start on open floor.
CaveMap readCaveMap(std::istream& in, std::vector<std::string>& problems);

} // namespace cave

// The cave example's map reader: a good map as it is, and each thing wrong with a map mended
// with one line saying what.
#include "CaveMap.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sstream>
#include <tuple>

namespace {

std::string shape(const cave::CaveMap& map)
{
    std::string out = std::to_string(map.width) + "x" + std::to_string(map.height) + " @" +
                      std::to_string(map.start.x) + "," + std::to_string(map.start.y) + " gems " +
                      std::to_string(map.gems.size()) + " bats " + std::to_string(map.bats.size());
    for (const std::string& row : map.rows)
        out += "|" + row;
    return out;
}

TEST(CaveMap, GoodMapsReadAsTheyAreAndBadOnesAreMendedWithALine)
{
    // Text, the map read, the start of each problem line.
    const std::tuple<std::string, std::string, std::vector<std::string>> cases[] = {
        {"####\r\n#@*#\n#bX#\n####\n", "4x4 @1,1 gems 1 bats 1|####|#  #|# X#|####", {}},
        {"###\n#@\n#@##\n",
         "3x3 @1,1 gems 0 bats 0|###|# #|# #",
         {"row 2 is 2 cells wide, not 3", "row 3 is 4 cells wide, not 3", "a second start at column 2 row 3"}},
        {"", "1x1 @0,0 gems 0 bats 0| ", {"no map", "no start"}},
        {"##\n#.\n", "2x2 @1,1 gems 0 bats 0|##|# ", {"no start"}},
        {"##\n##\n", "2x2 @0,0 gems 0 bats 0| #|##", {"no start"}},
        {std::string(cave::MAX_MAP_SIDE + 5, '@'),
         "4000x1 @0,0 gems 0 bats 0|" + std::string(cave::MAX_MAP_SIDE, ' '),
         {"a second start", "row 1 is 4005 cells wide"}},
    };
    for (const auto& [text, read, lines] : cases)
    {
        std::istringstream in(text);
        std::vector<std::string> problems;
        EXPECT_EQ(shape(cave::readCaveMap(in, problems)), read) << text.substr(0, 40);
        // Only the first lines of a kind are compared; a long row of starts has many.
        ASSERT_GE(problems.size(), lines.size()) << text.substr(0, 40);
        for (const std::string& line : lines)
            EXPECT_TRUE(std::any_of(problems.begin(), problems.end(), [&](const std::string& p) {
                return p.rfind(line, 0) == 0;
            })) << line;
    }
}

} // namespace

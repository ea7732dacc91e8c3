// libFuzzer target: every input is read as a cave map (examples/cave); whatever the text, the
// map must come out whole: at least one cell, every row as wide as the map and made of rock,
// floor and the way out only, and the start, gems and bats inside it, the start on open floor.
#include "CaveMap.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

void broken(const char* promise)
{
    std::fprintf(stderr, "cave map: %s\n", promise);
    std::abort();
}

bool inside(const cave::CaveMap& map, cave::Place p)
{
    return p.x >= 0 && p.y >= 0 && p.x < map.width && p.y < map.height;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<std::string> problems;
    const cave::CaveMap map = cave::readCaveMap(in, problems);
    if (map.width < 1 || map.height < 1 || map.width > cave::MAX_MAP_SIDE || map.height > cave::MAX_MAP_SIDE)
        broken("size out of range");
    if (static_cast<int>(map.rows.size()) != map.height)
        broken("row count differs from the height");
    for (const std::string& row : map.rows)
        if (static_cast<int>(row.size()) != map.width || row.find_first_not_of("#X ") != std::string::npos)
            broken("a row of another width or with other cells");
    if (!inside(map, map.start) || map.isRock(map.start.x, map.start.y))
        broken("start outside or in rock");
    for (const auto* places : {&map.gems, &map.bats})
        for (cave::Place p : *places)
            if (!inside(map, p))
                broken("a gem or bat outside");
    return 0;
}

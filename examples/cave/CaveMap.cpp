#include "CaveMap.h"

#include <algorithm>

namespace cave {

char CaveMap::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return '#';
    return rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
}

bool CaveMap::isRock(int x, int y) const
{
    return at(x, y) == '#';
}

CaveMap readCaveMap(std::istream& in, std::vector<std::string>& problems)
{
    CaveMap map;
    bool started = false;
    std::string line;
    while (std::getline(in, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const int y = static_cast<int>(map.rows.size());
        if (y >= MAX_MAP_SIDE)
        {
            problems.push_back("rows past " + std::to_string(MAX_MAP_SIDE) + " dropped");
            break;
        }
        if (y == 0)
            map.width = static_cast<int>(std::min<size_t>(line.size(), MAX_MAP_SIDE));
        if (static_cast<int>(line.size()) != map.width)
            problems.push_back("row " + std::to_string(y + 1) + " is " + std::to_string(line.size()) +
                               " cells wide, not " + std::to_string(map.width) + "; cut or filled with rock");
        line.resize(static_cast<size_t>(map.width), '#');
        for (int x = 0; x < map.width; x++)
        {
            char& c = line[static_cast<size_t>(x)];
            switch (c)
            {
            case '#':
            case 'X': break;
            case '@':
                if (started)
                    problems.push_back("a second start at column " + std::to_string(x + 1) + " row " +
                                       std::to_string(y + 1) + " is left out");
                else
                    map.start = Place{x, y};
                started = true;
                c = ' ';
                break;
            case '*':
                map.gems.push_back(Place{x, y});
                c = ' ';
                break;
            case 'b':
                map.bats.push_back(Place{x, y});
                c = ' ';
                break;
            default: c = ' '; break;
            }
        }
        map.rows.push_back(line);
    }
    if (map.rows.empty() || map.width == 0)
    {
        problems.push_back("no map: the cave is one open cell");
        map.rows.assign(1, " ");
        map.width = 1;
    }
    map.height = static_cast<int>(map.rows.size());
    if (!started)
    {
        problems.push_back("no start ('@'): the explorer starts in the first open cell");
        for (int i = 0; i < map.width * map.height && !started; i++)
            if (!map.isRock(i % map.width, i / map.width) && map.at(i % map.width, i / map.width) != 'X')
            {
                map.start = Place{i % map.width, i / map.width};
                started = true;
            }
        if (!started)
            map.rows[0][0] = ' ';
    }
    return map;
}

} // namespace cave

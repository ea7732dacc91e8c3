// Cave, a scrolling game built on the installed Kestrane engine.
//
// An explorer walks a cave of 400 x 120 cells, many screens wide and tall, read from
// cave-map.txt. The view follows the explorer; the arrow keys walk. Gems are there to be found,
// bats to be avoided (a bite costs a point of health), and the way out lies in the far corner.
// A status line fixed to the top of the screen counts gems and health. Escape quits.
#include <kestrane/DisplayManager.h>
#include <kestrane/EventCollision.h>
#include <kestrane/EventKeyboard.h>
#include <kestrane/EventStep.h>
#include <kestrane/GameManager.h>
#include <kestrane/LogManager.h>
#include <kestrane/Object.h>
#include <kestrane/ResourceManager.h>
#include <kestrane/WorldManager.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "CaveMap.h"

namespace {

const char* const MAP_FILE = "cave-map.txt";
const int HEALTH = 5;
const int BITE_PAUSE = 30;   // steps after a bite before the next one counts
const int BAT_RANGE = 6;     // cells a bat flutters either side of its roost
const int STEPS_PER_ROW = 2; // cells are almost three times as tall as wide: rows take longer

ks::LogManager& gameLog()
{
    return ks::LogManager::getInstance();
}

bool isType(const ks::Event* event, const std::string& type)
{
    return event->getType() == type;
}

// The rock and the way out, painted where the view is: the one object as large as the world.
class Rock : public ks::Object
{
public:
    explicit Rock(const cave::CaveMap& map) : map(map)
    {
        setType("rock");
        setBox(ks::Box(ks::Vector(0, 0), static_cast<float>(map.width), static_cast<float>(map.height)));
    }

    // Only the cells the window shows; the display puts world cells where the view has them.
    int draw() override
    {
        const ks::DisplayManager& display = ks::DisplayManager::getInstance();
        const ks::Box view = ks::WorldManager::getInstance().getView();
        const ks::Vector shown = display.pixelsToSpaces(ks::Vector(static_cast<float>(display.getHorizontalPixels()),
                                                                   static_cast<float>(display.getVerticalPixels())));
        const int x1 = static_cast<int>(std::floor(view.getCorner().getX())) - 1;
        const int y1 = static_cast<int>(std::floor(view.getCorner().getY())) - 1;
        const int x2 = x1 + static_cast<int>(std::ceil(shown.getX())) + 2;
        const int y2 = y1 + static_cast<int>(std::ceil(shown.getY())) + 2;
        for (int y = std::max(y1, 0); y < std::min(y2, map.height); y++)
            for (int x = std::max(x1, 0); x < std::min(x2, map.width); x++)
            {
                const char c = map.at(x, y);
                if (c == '#')
                    display.drawCh(ks::Vector(static_cast<float>(x), static_cast<float>(y)), '#', ks::BLUE);
                else if (c == 'X')
                    display.drawCh(ks::Vector(static_cast<float>(x), static_cast<float>(y)), 'X', ks::MAGENTA);
            }
        return 0;
    }

private:
    const cave::CaveMap& map;
};

class Gem : public ks::Object
{
public:
    explicit Gem(cave::Place at)
    {
        setType("gem");
        setSprite("gem");
        setSolidness(ks::PASSABLE);
        setPosition(ks::Vector(static_cast<float>(at.x), static_cast<float>(at.y)));
    }
};

// Flutters back and forth along its row, turning at rock or at the end of its range.
class Bat : public ks::Object
{
public:
    Bat(cave::Place roost, const cave::CaveMap& map) : roost(roost), map(map)
    {
        setType("bat");
        setSprite("bat");
        setSolidness(ks::PASSABLE);
        setAltitude(2);
        setPosition(ks::Vector(static_cast<float>(roost.x), static_cast<float>(roost.y)));
    }

    int eventHandler(const ks::Event* event) override
    {
        if (!isType(event, ks::STEP_EVENT))
            return 0;
        const int x = static_cast<int>(getPosition().getX());
        const int next = x + heading;
        if (map.isRock(next, roost.y) || std::abs(next - roost.x) > BAT_RANGE)
            heading = -heading;
        setVelocity(ks::Vector(static_cast<float>(map.isRock(x + heading, roost.y) ? 0 : heading), 0));
        return 1;
    }

private:
    cave::Place roost;
    const cave::CaveMap& map;
    int heading = 1;
};

class Explorer : public ks::Object
{
public:
    explicit Explorer(const cave::CaveMap& map) : map(map)
    {
        setType("explorer");
        setSprite("explorer");
        setSolidness(ks::PASSABLE);
        setAltitude(3);
        setPosition(ks::Vector(static_cast<float>(map.start.x), static_cast<float>(map.start.y)));
    }

    int gems = 0;
    int health = HEALTH;
    bool out = false;

    int eventHandler(const ks::Event* event) override
    {
        if (isType(event, ks::KEYBOARD_EVENT))
            return key(static_cast<const ks::EventKeyboard*>(event));
        if (isType(event, ks::STEP_EVENT))
            return step(static_cast<const ks::EventStep*>(event)->getStepCount());
        if (isType(event, ks::COLLISION_EVENT))
        {
            const auto* hit = static_cast<const ks::EventCollision*>(event);
            ks::Object* other = hit->getObject1() == this ? hit->getObject2() : hit->getObject1();
            if (other->getType() == "gem")
            {
                gems++;
                ks::WorldManager::getInstance().markForDelete(other);
            }
            else if (other->getType() == "bat" && biteWait == 0 && health > 0)
            {
                health--;
                biteWait = BITE_PAUSE;
            }
            return 1;
        }
        return 0;
    }

private:
    const cave::CaveMap& map;
    int right = 0, left = 0, up = 0, down = 0; // arrow keys held
    int biteWait = 0;

    int key(const ks::EventKeyboard* key)
    {
        const int held = key->getKeyboardAction() == ks::KEY_PRESSED ? 1 : 0;
        switch (key->getKey())
        {
        case ks::Keyboard::LEFTARROW: left = held; break;
        case ks::Keyboard::RIGHTARROW: right = held; break;
        case ks::Keyboard::UPARROW: up = held; break;
        case ks::Keyboard::DOWNARROW: down = held; break;
        case ks::Keyboard::ESCAPE: ks::GameManager::getInstance().setGameOver(); break;
        default: return 0;
        }
        return 1;
    }

    // Two columns a step, a row every other step, as far as the rock lets the explorer go.
    int step(int count)
    {
        biteWait = biteWait > 0 ? biteWait - 1 : 0;
        const int x = static_cast<int>(getPosition().getX());
        const int y = static_cast<int>(getPosition().getY());
        out = map.at(x, y) == 'X';
        int dx = 0, dy = 0;
        if (health > 0)
        {
            const int sideways = right - left;
            while (dx != 2 * sideways && !map.isRock(x + dx + sideways, y))
                dx += sideways;
            const int upways = count % STEPS_PER_ROW == 0 ? down - up : 0;
            if (upways != 0 && !map.isRock(x + dx, y + upways))
                dy = upways;
        }
        setVelocity(ks::Vector(static_cast<float>(dx), static_cast<float>(dy)));
        return 1;
    }
};

// The status line, fixed to the top of the screen wherever the view is.
class Status : public ks::Object
{
public:
    Status(const Explorer* explorer, int allGems) : explorer(explorer), allGems(allGems)
    {
        setType("status");
        setScreenFixed();
        setAltitude(3);
    }

    int draw() override
    {
        std::string text = "Gems " + std::to_string(explorer->gems) + "/" + std::to_string(allGems) + "   Health " +
                           std::to_string(explorer->health);
        if (explorer->health == 0)
            text += "   The bats got you. Escape quits.";
        else if (explorer->out)
            text += explorer->gems == allGems ? "   You are out, with every gem!" : "   The way out. More gems inside?";
        // A blank row first, as wide as the window, over the map's row beneath.
        const ks::DisplayManager& display = ks::DisplayManager::getInstance();
        const float width =
            display.pixelsToSpaces(ks::Vector(static_cast<float>(display.getHorizontalPixels()), 0)).getX();
        display.drawString(ks::Vector(0, 0), std::string(static_cast<size_t>(std::ceil(width)) + 1, ' '),
                           LEFT_JUSTIFIED, ks::CYAN);
        display.drawString(ks::Vector(1, 0), text, LEFT_JUSTIFIED, ks::CYAN);
        return 0;
    }

private:
    const Explorer* explorer;
    int allGems;
};

} // namespace

int main()
{
    ks::GameManager& game = ks::GameManager::getInstance();
    game.startUp(); // opens the window, reads ks-font.ttf from the working directory
    ks::ResourceManager& resources = ks::ResourceManager::getInstance();
    resources.loadSprite("explorer-spr.txt", "explorer");
    resources.loadSprite("gem-spr.txt", "gem");
    resources.loadSprite("bat-spr.txt", "bat");

    std::ifstream file(MAP_FILE);
    if (!file)
        gameLog().writeLog("Cave: no %s here; the cave is one open cell", MAP_FILE);
    std::vector<std::string> problems;
    const cave::CaveMap map = cave::readCaveMap(file, problems);
    for (const std::string& problem : problems)
        gameLog().writeLog("Cave: %s: %s", MAP_FILE, problem.c_str());

    // The world is the map; the view follows the explorer.
    ks::WorldManager& world = ks::WorldManager::getInstance();
    world.setBounds(ks::Box(ks::Vector(0, 0), static_cast<float>(map.width), static_cast<float>(map.height)));
    new Rock(map);
    for (cave::Place at : map.gems)
        new Gem(at);
    for (cave::Place at : map.bats)
        new Bat(at, map);
    Explorer* explorer = new Explorer(map);
    world.setViewFollowing(explorer);
    new Status(explorer, static_cast<int>(map.gems.size()));

    game.run();
    gameLog().writeLog("Cave quit at column %d row %d with %d gems", static_cast<int>(explorer->getPosition().getX()),
                       static_cast<int>(explorer->getPosition().getY()), explorer->gems);
    game.shutDown();
    return 0;
}

// kestrane-demo: a few text-art objects bouncing around the window on the real engine
// loop, colliding with each other. The mouse moves a cross-hair, a left click adds an
// object where it points, Escape quits.
//
// It runs from any directory: it works in a fresh temporary directory, into which it
// copies the font from the game folder and writes its own sprite files.
#include "DisplayManager.h"
#include "EventCollision.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventStep.h"
#include "GameManager.h"
#include "LogManager.h"
#include "Object.h"
#include "ResourceManager.h"
#include "TempDir.h"
#include "WorldManager.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct SpriteArt
{
    const char* label;
    int width, height, slowdown;
    const char* color;
    std::vector<std::vector<std::string>> frames;
};

const SpriteArt SPRITES[] = {
    {"blob", 5, 3, 12, "cyan", {{"/---\\", "|o o|", "\\---/"}, {"/---\\", "|- -|", "\\---/"}}},
    {"star", 3, 3, 5, "yellow", {{" | ", "-*-", " | "}, {"\\ /", " * ", "/ \\"}}},
    {"crate", 4, 2, 0, "magenta", {{"[##]", "[##]"}}},
    {"fish", 5, 1, 6, "green", {{"><(o>"}, {"><(O>"}}},
    {"ghost", 3, 2, 9, "white", {{".-.", "|o|"}, {".-.", "|O|"}}},
    {"spark", 1, 1, 3, "red", {{"*"}, {"+"}}},
    {"cross", 1, 1, 0, "red", {{"+"}}},
};

const char* const BOUNCERS[] = {"blob", "star", "crate", "fish", "ghost", "spark"};

// Sprite file: frames, width, height, slowdown, colour, then every row with one extra
// character (dropped by the loader) before the line feed.
bool writeSpriteFile(const SpriteArt& art, const std::string& filename)
{
    std::ofstream out(filename, std::ios::binary);
    out << art.frames.size() << '\n'
        << art.width << '\n'
        << art.height << '\n'
        << art.slowdown << '\n'
        << art.color << '\n';
    for (const auto& frame : art.frames)
        for (const std::string& row : frame)
            out << row << "\r\n";
    return static_cast<bool>(out);
}

float randomIn(float low, float high)
{
    return low + (high - low) * static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX);
}

int collisions = 0;

class Bouncer : public ks::Object
{
public:
    Bouncer(const std::string& label, ks::Vector where)
    {
        setType("bouncer");
        setSprite(label);
        setSolidness(ks::BLOCKING);
        setAltitude(1);
        setPosition(where);
        // Cells are three times as tall as wide: slower rows keep diagonal motion even.
        setVelocity(ks::Vector(randomIn(0.25f, 0.6f) * (std::rand() % 2 ? 1 : -1),
                               randomIn(0.1f, 0.25f) * (std::rand() % 2 ? 1 : -1)));
    }

    int eventHandler(const ks::Event* event) override
    {
        if (event->getType() == ks::STEP_EVENT)
        {
            keepInside();
            return 1;
        }
        if (event->getType() == ks::COLLISION_EVENT)
        {
            const auto* hit = static_cast<const ks::EventCollision*>(event);
            const ks::Object* other = hit->getObject1() == this ? hit->getObject2() : hit->getObject1();
            moveAwayFrom(other);
            if (hit->getObject1() == this)
                collisions++;
            return 1;
        }
        return 0;
    }

private:
    // Turns back before the next step would carry any part of the box off the grid.
    void keepInside()
    {
        const ks::DisplayManager& display = ks::DisplayManager::getInstance();
        const ks::Box box = getBox();
        ks::Vector v = getVelocity();
        const ks::Vector next = predictPosition();
        const float halfW = box.getHorizontal() / 2, halfH = box.getVertical() / 2;
        if (next.getX() - halfW < 0)
            v.setX(std::fabs(v.getX()));
        if (next.getX() + halfW > static_cast<float>(display.getHorizontal()))
            v.setX(-std::fabs(v.getX()));
        // Row 0 holds the caption.
        if (next.getY() - halfH < 1)
            v.setY(std::fabs(v.getY()));
        if (next.getY() + halfH > static_cast<float>(display.getVertical()))
            v.setY(-std::fabs(v.getY()));
        setVelocity(v);
    }

    // Heads away from the other object on both axes. Turning on one axis only can leave two
    // blocking objects pushing into each other on the other axis, every move refused.
    void moveAwayFrom(const ks::Object* other)
    {
        ks::Vector v = getVelocity();
        const float dx = getPosition().getX() - other->getPosition().getX();
        const float dy = getPosition().getY() - other->getPosition().getY();
        if (dx != 0)
            v.setX(dx > 0 ? std::fabs(v.getX()) : -std::fabs(v.getX()));
        if (dy != 0)
            v.setY(dy > 0 ? std::fabs(v.getY()) : -std::fabs(v.getY()));
        setVelocity(v);
    }
};

// Follows the mouse, adds a bouncer on a left click, ends the demo on Escape and draws the
// caption.
class Pointer : public ks::Object
{
public:
    Pointer()
    {
        setType("pointer");
        setSprite("cross");
        setSolidness(ks::NONSOLID);
        setAltitude(3);
        setPosition(ks::Vector(40, 12));
    }

    int eventHandler(const ks::Event* event) override
    {
        if (event->getType() == ks::KEYBOARD_EVENT)
        {
            const auto* key = static_cast<const ks::EventKeyboard*>(event);
            if (key->getKey() == ks::Keyboard::ESCAPE && key->getKeyboardAction() == ks::KEY_PRESSED)
                ks::GameManager::getInstance().setGameOver();
            return 1;
        }
        if (event->getType() == ks::MSE_EVENT)
        {
            const auto* mouse = static_cast<const ks::EventMouse*>(event);
            if (mouse->getMouseAction() == ks::MOVED)
                setPosition(ks::DisplayManager::getInstance().pixelsToSpaces(mouse->getMousePosition()));
            else if (mouse->getMouseAction() == ks::CLICKED && mouse->getMouseButton() == ks::Mouse::LEFT)
                addBouncer();
            return 1;
        }
        return 0;
    }

    int draw() override
    {
        char caption[100];
        std::snprintf(caption, sizeof caption, "Kestrane demo - click adds, Esc quits - %d objects, %d bumps",
                      ks::WorldManager::getInstance().objectsOfType("bouncer").getCount(), collisions);
        ks::DisplayManager::getInstance().drawString(ks::Vector(40, 0), caption, CENTER_JUSTIFIED, ks::WHITE);
        return Object::draw();
    }

private:
    // Only where it overlaps nothing: two blocking objects that start inside each other
    // could never move apart.
    void addBouncer()
    {
        const char* label = BOUNCERS[std::rand() % (sizeof BOUNCERS / sizeof BOUNCERS[0])];
        Bouncer* b = new Bouncer(label, getPosition());
        if (!ks::WorldManager::getInstance().getCollisions(b, getPosition()).isEmpty())
            ks::WorldManager::getInstance().markForDelete(b);
    }
};

} // namespace

int main()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    const ks::tools::TempDir dir("kestrane-demo");
    if (dir.path().empty())
        std::fprintf(stderr, "kestrane-demo: no temporary directory, working in the current one\n");
    std::error_code ec;
    fs::copy_file(fs::path(KS_DEMO_GAME_DIR) / "ks-font.ttf", "ks-font.ttf", fs::copy_options::overwrite_existing, ec);
    if (ec)
        std::fprintf(stderr, "kestrane-demo: no font in %s (build the game folder first)\n", KS_DEMO_GAME_DIR);

    ks::GameManager& game = ks::GameManager::getInstance();
    game.startUp();

    ks::ResourceManager& resources = ks::ResourceManager::getInstance();
    for (const SpriteArt& art : SPRITES)
    {
        const std::string file = std::string(art.label) + "-spr.txt";
        if (writeSpriteFile(art, file))
            resources.loadSprite(file, art.label);
    }

    // Starting points spread over the grid, apart from each other.
    const ks::Vector starts[] = {{12, 5}, {40, 5}, {68, 5}, {12, 17}, {40, 17}, {68, 17}, {26, 11}, {54, 11}};
    int n = 0;
    for (const ks::Vector& at : starts)
        new Bouncer(BOUNCERS[n++ % (sizeof BOUNCERS / sizeof BOUNCERS[0])], at);
    new Pointer;

    ks::LogManager::getInstance().writeLog("Demo start");
    game.run();
    game.shutDown();
    return 0;
}

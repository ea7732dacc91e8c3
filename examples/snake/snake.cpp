// Snake, a small game built on the installed Kestrane engine.
//
// The arrow keys steer the snake; an apple makes it one segment longer. Running into its own
// tail or off the field ends the round with a bang, and a new snake starts. Escape quits.
//
// The program reads its font and sprite files from the working directory, like every
// Kestrane game, and writes its two sounds there on its first run.
#include <kestrane/DisplayManager.h>
#include <kestrane/EventCollision.h>
#include <kestrane/EventKeyboard.h>
#include <kestrane/EventStep.h>
#include <kestrane/GameManager.h>
#include <kestrane/LogManager.h>
#include <kestrane/Object.h>
#include <kestrane/ResourceManager.h>
#include <kestrane/WorldManager.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <fstream>
#include <string>

namespace {

const int START_LENGTH = 4;
// Steps between two moves. Cells are almost three times as tall as wide, so rows take longer.
const int STEPS_PER_COLUMN = 2;
const int STEPS_PER_ROW = 5;
const int TOP_ROW = 1; // row 0 holds the score

// A square-wave tone sliding from one pitch to another, as a 16-bit mono WAV file. Nothing
// is written when the file is already there.
void writeTone(const std::string& filename, double fromHz, double toHz, double seconds)
{
    if (std::ifstream(filename))
        return;
    const std::uint32_t rate = 22050, samples = static_cast<std::uint32_t>(rate * seconds);
    std::ofstream out(filename, std::ios::binary);
    auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; i++)
            out.put(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    out << "RIFF";
    put(36 + samples * 2, 4);
    out << "WAVEfmt ";
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2);
    out << "data";
    put(samples * 2, 4);
    double phase = 0;
    for (std::uint32_t i = 0; i < samples; i++)
    {
        const double t = static_cast<double>(i) / samples;
        phase += (fromHz + (toHz - fromHz) * t) / rate;
        const double loudness = 6000 * (1 - t); // fades out
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::fmod(phase, 1) < 0.5 ? loudness : -loudness)), 2);
    }
}

void playSound(const char* label)
{
    if (ks::Sound* sound = ks::ResourceManager::getInstance().getSound(label))
        sound->play();
}

bool isEvent(const ks::Event* event, const std::string& type)
{
    return event->getType() == type;
}

// One cell of the snake's body, or its head: a small box in the middle of the cell, so that
// neighbouring cells do not touch.
class Cell : public ks::Object
{
public:
    Cell(const char* type, const char* sprite, ks::Vector where)
    {
        setType(type);
        setSprite(sprite);
        setBox(ks::Box(ks::Vector(-0.25f, -0.25f), 0.5f, 0.5f));
        setSolidness(ks::PASSABLE);
        setAltitude(2);
        setPosition(where);
    }
};

// A random free cell of the field.
ks::Vector freeCell(const ks::Object* object)
{
    const ks::DisplayManager& display = ks::DisplayManager::getInstance();
    for (;;)
    {
        const ks::Vector where(static_cast<float>(std::rand() % display.getHorizontal()),
                               static_cast<float>(TOP_ROW + std::rand() % (display.getVertical() - TOP_ROW)));
        if (ks::WorldManager::getInstance().getCollisions(object, where).isEmpty())
            return where;
    }
}

class Apple : public Cell
{
public:
    Apple() : Cell("apple", "apple", ks::Vector())
    {
        setPosition(freeCell(this));
    }
};

// Shown where the snake crashed for as long as its animation runs once.
class Bang : public ks::Object
{
public:
    explicit Bang(ks::Vector where)
    {
        setType("bang");
        setSprite("bang");
        setAltitude(3);
        setPosition(where);
    }

    int eventHandler(const ks::Event* event) override
    {
        if (isEvent(event, ks::STEP_EVENT) && --stepsLeft == 0)
            ks::WorldManager::getInstance().markForDelete(this);
        return 0;
    }

private:
    int stepsLeft = 12; // three frames of four steps
};

class Snake : public Cell
{
public:
    Snake() : Cell("snake", "head", ks::Vector(40, 12))
    {
        restart();
    }

    int eventHandler(const ks::Event* event) override
    {
        if (isEvent(event, ks::KEYBOARD_EVENT))
            return steer(static_cast<const ks::EventKeyboard*>(event));
        if (isEvent(event, ks::STEP_EVENT))
        {
            if (--stepsToMove <= 0)
                move();
            return 1;
        }
        if (isEvent(event, ks::COLLISION_EVENT))
        {
            const auto* hit = static_cast<const ks::EventCollision*>(event);
            ks::Object* other = hit->getObject1() == this ? hit->getObject2() : hit->getObject1();
            if (other->getType() == "apple")
                eat(other);
            else if (other->getType() == "tail")
                crashed = true;
            return 1;
        }
        return 0;
    }

    int draw() override
    {
        const std::string score = "apples " + std::to_string(apples) + "   length " + std::to_string(tail.size() + 1);
        ks::DisplayManager::getInstance().drawString(ks::Vector(0, 0), score, LEFT_JUSTIFIED, ks::WHITE);
        return Object::draw();
    }

private:
    std::deque<Cell*> tail; // nearest to the head first
    ks::Vector heading{1, 0}, nextHeading{1, 0};
    int stepsToMove = 0, growth = 0;
    int keys = 0, apples = 0, crashes = 0;
    bool crashed = false;

    int steer(const ks::EventKeyboard* key)
    {
        if (key->getKeyboardAction() != ks::KEY_PRESSED)
            return 0;
        ks::Vector want;
        switch (key->getKey())
        {
        case ks::Keyboard::ESCAPE:
            ks::LogManager::getInstance().writeLog("Snake quit: %d steering keys, %d apples, %d crashes", keys, apples,
                                                   crashes);
            ks::GameManager::getInstance().setGameOver();
            return 1;
        case ks::Keyboard::UPARROW: want = ks::Vector(0, -1); break;
        case ks::Keyboard::DOWNARROW: want = ks::Vector(0, 1); break;
        case ks::Keyboard::LEFTARROW: want = ks::Vector(-1, 0); break;
        case ks::Keyboard::RIGHTARROW: want = ks::Vector(1, 0); break;
        default: return 0;
        }
        keys++;
        // No turning back into the neck.
        if (want.getX() != -heading.getX() || want.getY() != -heading.getY())
            nextHeading = want;
        return 1;
    }

    void move()
    {
        heading = nextHeading;
        stepsToMove = heading.getX() != 0 ? STEPS_PER_COLUMN : STEPS_PER_ROW;
        const ks::Vector from = getPosition();
        const ks::Vector to(from.getX() + heading.getX(), from.getY() + heading.getY());
        // The tail follows the head: its last segment moves to where the head was, or a new
        // one appears there while the snake grows.
        if (growth > 0 || tail.empty())
        {
            growth = growth > 0 ? growth - 1 : 0;
            tail.push_front(new Cell("tail", "tail", from));
        }
        else
        {
            tail.push_front(tail.back());
            tail.pop_back();
            tail.front()->setPosition(from);
        }
        const ks::DisplayManager& display = ks::DisplayManager::getInstance();
        const bool outside = to.getX() < 0 || to.getX() >= display.getHorizontal() || to.getY() < TOP_ROW ||
                             to.getY() >= display.getVertical();
        ks::WorldManager::getInstance().moveObject(this, to);
        if (outside || crashed)
            crash();
    }

    void eat(ks::Object* apple)
    {
        apples++;
        growth++;
        playSound("bite");
        apple->setPosition(freeCell(apple));
        ks::LogManager::getInstance().writeLog("Snake ate apple %d", apples);
    }

    void crash()
    {
        crashes++;
        playSound("crash");
        new Bang(getPosition());
        ks::LogManager::getInstance().writeLog("Snake crashed at length %d", static_cast<int>(tail.size()) + 1);
        restart();
    }

    // A new snake of START_LENGTH cells in the middle of the field, heading right.
    void restart()
    {
        for (Cell* cell : tail)
            ks::WorldManager::getInstance().markForDelete(cell);
        tail.clear();
        crashed = false;
        heading = nextHeading = ks::Vector(1, 0);
        setPosition(ks::Vector(40, 12));
        for (int i = 1; i < START_LENGTH; i++)
            tail.push_back(new Cell("tail", "tail", ks::Vector(static_cast<float>(40 - i), 12)));
    }
};

} // namespace

int main()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    ks::GameManager& game = ks::GameManager::getInstance();
    game.startUp();

    ks::ResourceManager& resources = ks::ResourceManager::getInstance();
    for (const char* name : {"head", "tail", "apple", "bang"})
        resources.loadSprite(std::string(name) + "-spr.txt", name);
    writeTone("bite.wav", 880, 1760, 0.08);
    writeTone("crash.wav", 220, 55, 0.4);
    resources.loadSound("bite.wav", "bite");
    resources.loadSound("crash.wav", "crash");

    new Snake;
    new Apple;
    new Apple;
    ks::LogManager::getInstance().writeLog("Snake start");
    game.run();
    game.shutDown();
    return 0;
}

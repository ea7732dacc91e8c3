#include "player.h"

#include "common.h"

#include <set>
#include <string>

#include "Color.h"
#include "DisplayManager.h"
#include "EventCollision.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventStep.h"
#include "GameManager.h"
#include "InputManager.h"
#include "ObjectList.h"
#include "ResourceManager.h"
#include "Vector.h"
#include "WorldManager.h"
#include "bullet.h"
#include "start.h"

namespace ks {

namespace {

const int START_HEALTH = 3;
const int START_CLIP = 5;
const int RELOAD_STEPS = 60;       // after the last shot of a magazine
const int EARLY_RELOAD_STEPS = 45; // after a right click
const int DEATH_STEPS = 270;       // length of the game-over sequence
const float VERTICAL_STEP = 0.3f;  // rows per step; a row is much taller than a column is wide

// The ids of the players that exist: one in a game, none between games.
std::set<int>& livingPlayers()
{
    static std::set<int> ids;
    return ids;
}

} // namespace

player::player()
{
    livingPlayers().insert(getId());
    score = 0;
    setType("player");
    health = START_HEALTH;
    setPosition(Vector(40, 12));
    setSolidness(BLOCKING);

    // Every new game starts the background music again.
    Music* music = ResourceManager::getInstance().getMusic("music");
    if (music != nullptr)
        music->play(true);

    setSprite("player");

    upHeld = false;
    downHeld = false;
    leftHeld = false;
    rightHeld = false;
    reloadCountdown = 0;
    ammo = START_CLIP;
    clipSize = START_CLIP;
    dead = false;
    deathCountdown = DEATH_STEPS;

    setAltitude(2);
}

bool player::exists(int id)
{
    return livingPlayers().count(id) > 0;
}

player::~player()
{
    livingPlayers().erase(getId());
}

int player::eventHandler(const Event* event)
{
    if (event == nullptr)
        return 0;
    if (isEventType(event, STEP_EVENT))
    {
        step();
        return 0;
    }
    // A dead hunter only counts down its game-over sequence.
    if (dead)
        return 0;
    if (isEventType(event, KEYBOARD_EVENT))
        keyboard(event);
    else if (isEventType(event, MSE_EVENT))
        mouse(event);
    else if (isEventType(event, COLLISION_EVENT))
        collide(event);
    return 0;
}

int player::getScore() const
{
    return score;
}

void player::addScore()
{
    score++;
}

void player::drawHud() const
{
    const DisplayManager& display = DisplayManager::getInstance();
    display.drawString(Vector(80, 1), "Score: " + std::to_string(score), RIGHT_JUSTIFIED, GREEN);
    display.drawString(Vector(1, 1), "Health: " + std::to_string(health), LEFT_JUSTIFIED, RED);
    display.drawString(Vector(1, 2), "Ammo: " + std::to_string(ammo), LEFT_JUSTIFIED, WHITE);
}

void player::step()
{
    drawHud();
    Vector movement(0, 0);

    if (dead)
    {
        deathCountdown--;
        // Placed directly; the velocity it died with still applies in this step's update.
        setPosition(Vector(40, 12));
        if (deathCountdown < 1)
        {
            WorldManager& world = WorldManager::getInstance();
            const ObjectList everything = world.getAllObjects();
            for (int i = 0; i < everything.getCount(); i++)
                world.markForDelete(everything[i]);
            // A full world would refuse the title without a word; the hunter, deleted at the
            // end of this update anyway, gives up its place to it.
            if (everything.isFull())
                world.removeObject(this);
            new start;
        }
        return;
    }

    if (reloadCountdown > 0)
    {
        reloadCountdown--;
        if (reloadCountdown == 0)
        {
            playSound("reload");
            ammo = clipSize;
        }
    }

    setSpeed(0);
    // Held keys come from the keyboard's state (live, or a replay's): the input events only
    // report edges.
    const InputManager& input = InputManager::getInstance();
    upHeld = input.isKeyPressed(Keyboard::W);
    downHeld = input.isKeyPressed(Keyboard::S);
    leftHeld = input.isKeyPressed(Keyboard::A);
    rightHeld = input.isKeyPressed(Keyboard::D);

    // The bounds are tested before the move, so the hunter can end one step beyond them.
    const Vector position = getPosition();
    if (upHeld && position.getY() >= 0)
    {
        movement = movement + Vector(0, -VERTICAL_STEP);
        setSpeed(1);
    }
    if (downHeld && position.getY() <= 24)
    {
        movement = movement + Vector(0, VERTICAL_STEP);
        setSpeed(1);
    }
    if (leftHeld && position.getX() >= 0)
    {
        movement = movement + Vector(-1, 0);
        setSpeed(1);
    }
    if (rightHeld && position.getX() <= 80)
    {
        movement = movement + Vector(1, 0);
        setSpeed(1);
    }
    // Not normalised: speed 1 moves by the vector itself.
    setDirection(movement);
}

void player::keyboard(const Event* event)
{
    const EventKeyboard* key = static_cast<const EventKeyboard*>(event);
    if (key->getKey() == Keyboard::ESCAPE && key->getKeyboardAction() == KEY_PRESSED)
        GameManager::getInstance().setGameOver(true);
}

void player::mouse(const Event* event)
{
    const EventMouse* click = static_cast<const EventMouse*>(event);
    if (click->getMouseAction() != CLICKED || ammo <= 0)
        return;

    if (click->getMouseButton() == Mouse::LEFT)
    {
        new bullet;
        playSound("fire");
        ammo--;
        if (ammo == 0)
            reloadCountdown = RELOAD_STEPS;
    }
    else if (click->getMouseButton() == Mouse::RIGHT)
    {
        // The shots still in the magazine are thrown away.
        ammo = 0;
        reloadCountdown = EARLY_RELOAD_STEPS;
    }
}

void player::collide(const Event* event)
{
    const EventCollision* collision = static_cast<const EventCollision*>(event);

    if (eitherIs(collision, "zombie"))
    {
        health--;
        playSound("hurt");
        if (health == 0)
        {
            setSprite("gameoversprite");
            playSound("gameoversound");
            setSolidness(NONSOLID);
            dead = true;
        }
    }
    else if (eitherIs(collision, "bulletpack"))
    {
        // Cancels a running reload, whose sound then never plays.
        reloadCountdown = 0;
        clipSize++;
        ammo = clipSize;
        playSound("bulletpacksound");
    }
    else if (eitherIs(collision, "healthpack"))
    {
        health++;
        playSound("heal");
    }
}

} // namespace ks

// A first Kestrane game: a ship that the arrow keys move around. Escape quits.
#include <kestrane/EventKeyboard.h>
#include <kestrane/GameManager.h>
#include <kestrane/Object.h>
#include <kestrane/ResourceManager.h>

class Ship : public ks::Object
{
public:
    Ship()
    {
        setSprite("ship");
        setPosition(ks::Vector(40, 12));
    }

    // Each event comes here; a held arrow key gives the ship a velocity in cells per step.
    int eventHandler(const ks::Event* event) override
    {
        if (event->getType() != ks::KEYBOARD_EVENT)
            return 0;
        const auto* key = static_cast<const ks::EventKeyboard*>(event);
        const float speed = key->getKeyboardAction() == ks::KEY_PRESSED ? 0.5f : 0;
        switch (key->getKey())
        {
        case ks::Keyboard::LEFTARROW: setVelocity(ks::Vector(-speed, 0)); break;
        case ks::Keyboard::RIGHTARROW: setVelocity(ks::Vector(speed, 0)); break;
        case ks::Keyboard::UPARROW: setVelocity(ks::Vector(0, -speed / 2)); break;
        case ks::Keyboard::DOWNARROW: setVelocity(ks::Vector(0, speed / 2)); break;
        case ks::Keyboard::ESCAPE: ks::GameManager::getInstance().setGameOver(); break;
        default: return 0;
        }
        return 1;
    }
};

int main()
{
    ks::GameManager& game = ks::GameManager::getInstance();
    game.startUp(); // opens the window, reads ks-font.ttf from the working directory
    ks::ResourceManager::getInstance().loadSprite("ship-spr.txt", "ship");
    new Ship; // the world owns it from here on
    game.run();
    game.shutDown();
    return 0;
}

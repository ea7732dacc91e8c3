#include "InputManager.h"

#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "LogManager.h"
#include "SfmlCompat.h"

namespace ks {

InputManager::InputManager()
{
    setType("InputManager");
}

InputManager& InputManager::getInstance()
{
    static InputManager instance;
    return instance;
}

int InputManager::startUp()
{
    if (!DisplayManager::getInstance().isStarted())
    {
        LogManager::getInstance().writeLog("Could not start input manager because display manager is not started");
        return -1;
    }
    return Manager::startUp();
}

void InputManager::shutDown()
{
    Manager::shutDown();
}

void InputManager::getInput() const
{
    // The window is fetched again before every poll: a handler run by the previous
    // delivery may have shut the display down.
    while (sf::RenderWindow* window = DisplayManager::getInstance().getWindow())
    {
        const auto ev = compat::pollEvent(*window);
        if (!ev)
            return;

        if (const auto* pressed = ev->getIf<compat::Event::KeyPressed>())
        {
            DisplayManager::getInstance().fullscreenKey(static_cast<int>(pressed->code), pressed->alt);
            EventKeyboard keyboard;
            keyboard.setKeyboardAction(KEY_PRESSED);
            keyboard.setKey(keyboard.convertKey(pressed->code));
            if (keyListener)
                keyListener(keyboard);
            onEvent(&keyboard);
        }
        else if (const auto* released = ev->getIf<compat::Event::KeyReleased>())
        {
            EventKeyboard keyboard;
            keyboard.setKeyboardAction(KEY_RELEASED);
            keyboard.setKey(keyboard.convertKey(released->code));
            if (keyListener)
                keyListener(keyboard);
            onEvent(&keyboard);
        }
        else if (const auto* moved = ev->getIf<compat::Event::MouseMoved>())
        {
            // Window pixels; receivers convert to cells when they need them.
            EventMouse mouse;
            mouse.setMouseAction(MOVED);
            mouse.setMousePosition(
                Vector(static_cast<float>(moved->position.x), static_cast<float>(moved->position.y)));
            onEvent(&mouse);
        }
        else if (const auto* clicked = ev->getIf<compat::Event::MouseButtonPressed>())
        {
            // The click's own position is not passed on; the event keeps (0, 0).
            EventMouse mouse;
            mouse.setMouseAction(CLICKED);
            mouse.setMouseButton(mouse.convertKey(clicked->button));
            onEvent(&mouse);
        }
        // Everything else (close requests, focus, resizing, text, wheel, releases) is dropped.
    }
}

void InputManager::setKeyListener(std::function<void(const EventKeyboard&)> listener)
{
    keyListener = std::move(listener);
}

} // namespace ks

#include "EventMouse.h"

namespace ks {

EventMouse::EventMouse()
{
    setType(MSE_EVENT);
}

void EventMouse::setMouseAction(EventMouseAction newAction)
{
    mouseAction = newAction;
}

EventMouseAction EventMouse::getMouseAction() const
{
    return mouseAction;
}

void EventMouse::setMouseButton(Mouse::Button newButton)
{
    mouseButton = newButton;
}

Mouse::Button EventMouse::getMouseButton() const
{
    return mouseButton;
}

void EventMouse::setMousePosition(Vector newPosition)
{
    mousePosition = newPosition;
}

Vector EventMouse::getMousePosition() const
{
    return mousePosition;
}

Mouse::Button EventMouse::convertKey(sf::Mouse::Button button)
{
    switch (button)
    {
    case sf::Mouse::Button::Left: return Mouse::LEFT;
    case sf::Mouse::Button::Right: return Mouse::RIGHT;
    case sf::Mouse::Button::Middle: return Mouse::MIDDLE;
    // The two side buttons, and anything out of range.
    default: return Mouse::UNDEFINED_MOUSE_BUTTON;
    }
}

} // namespace ks

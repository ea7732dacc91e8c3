// EventMouse: the mouse moved (position in window pixels) or a button was pressed
// (position left at (0, 0)).
#pragma once

#include <SFML/Window/Mouse.hpp>

#include "Event.h"
#include "Vector.h"

namespace ks {

const std::string MSE_EVENT = "ks::mouse";

enum EventMouseAction : int
{
    UNDEFINED_MOUSE_ACTION = -1,
    CLICKED,
    MOVED,
};

namespace Mouse {
enum Button : int
{
    UNDEFINED_MOUSE_BUTTON = -1,
    LEFT,
    RIGHT,
    MIDDLE,
};
} // namespace Mouse

class EventMouse : public Event
{
public:
    EventMouse();

    void setMouseAction(EventMouseAction newAction);
    EventMouseAction getMouseAction() const;
    void setMouseButton(Mouse::Button newButton);
    Mouse::Button getMouseButton() const;
    void setMousePosition(Vector newPosition);
    Vector getMousePosition() const;

    // The engine's code for an SFML button; UNDEFINED_MOUSE_BUTTON for the extra buttons.
    Mouse::Button convertKey(sf::Mouse::Button button);

private:
    EventMouseAction mouseAction = UNDEFINED_MOUSE_ACTION;
    Mouse::Button mouseButton = Mouse::UNDEFINED_MOUSE_BUTTON;
    Vector mousePosition; // window pixels
};

} // namespace ks

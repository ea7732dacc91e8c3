#pragma once

#include <SFML/Window/Mouse.hpp>

#include "Event.h"
#include "Vector.h"

namespace ks {

/// Type name of EventMouse.
const std::string MSE_EVENT = "ks::mouse";

/// What the mouse did.
enum EventMouseAction : int
{
    UNDEFINED_MOUSE_ACTION = -1,
    CLICKED,
    MOVED,
};

/// The engine's mouse button codes.
namespace Mouse {
/// A mouse button; UNDEFINED_MOUSE_BUTTON for the extra ones.
enum Button : int
{
    UNDEFINED_MOUSE_BUTTON = -1,
    LEFT,
    RIGHT,
    MIDDLE,
};
} // namespace Mouse

/// EventMouse: the mouse moved (position in window pixels) or a button was pressed
/// (position left at (0, 0)).
class EventMouse : public Event
{
public:
    EventMouse();

    /// Moved or clicked.
    ///@{
    void setMouseAction(EventMouseAction newAction);
    EventMouseAction getMouseAction() const;
    ///@}
    /// The button clicked.
    ///@{
    void setMouseButton(Mouse::Button newButton);
    Mouse::Button getMouseButton() const;
    ///@}
    /// Where the mouse moved to, in window pixels.
    ///@{
    void setMousePosition(Vector newPosition);
    Vector getMousePosition() const;
    ///@}

    /// The engine's code for an SFML button; UNDEFINED_MOUSE_BUTTON for the extra buttons.
    Mouse::Button convertKey(sf::Mouse::Button button);

private:
    EventMouseAction mouseAction = UNDEFINED_MOUSE_ACTION;
    Mouse::Button mouseButton = Mouse::UNDEFINED_MOUSE_BUTTON;
    Vector mousePosition; ///< window pixels
};

} // namespace ks

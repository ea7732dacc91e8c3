#pragma once

#include <SFML/Window/Keyboard.hpp>

#include "Event.h"

namespace ks {

/// Type name of EventKeyboard.
const std::string KEYBOARD_EVENT = "ks::keyboard";

/// Whether a key went down or up.
enum EventKeyboardAction : int
{
    UNDEFINED_KEYBOARD_ACTION = -1,
    KEY_PRESSED,
    KEY_RELEASED,
};

/// The engine's key codes.
namespace Keyboard {
/// A key of the keyboard; UNDEFINED_KEY for one the engine does not know.
enum Key : int
{
    UNDEFINED_KEY = -1,
    SPACE,
    RETURN,
    ESCAPE,
    TAB,
    LEFTARROW,
    RIGHTARROW,
    UPARROW,
    DOWNARROW,
    PAUSE,
    MINUS,
    EQUAL,
    PERIOD = 12,
    COMMA,
    SLASH,
    LEFTCONTROL,
    RIGHTCONTROL,
    LEFTSHIFT,
    RIGHTSHIFT,
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    A,
    B,
    C,
    D,
    E,
    F,
    G,
    H,
    I,
    J,
    K,
    L,
    M,
    N,
    O,
    P,
    Q,
    R,
    S,
    T,
    U,
    V,
    W,
    X,
    Y,
    Z,
    NUM1,
    NUM2,
    NUM3,
    NUM4,
    NUM5,
    NUM6,
    NUM7,
    NUM8,
    NUM9,
    NUM0,
};
} // namespace Keyboard

/// EventKeyboard: a key was pressed or released. Keys are the engine's own codes.
class EventKeyboard : public Event
{
public:
    EventKeyboard();

    /// The key.
    ///@{
    void setKey(Keyboard::Key newKey);
    Keyboard::Key getKey() const;
    ///@}
    /// Pressed or released.
    ///@{
    void setKeyboardAction(EventKeyboardAction newAction);
    EventKeyboardAction getKeyboardAction() const;
    ///@}

    /// The engine's code for an SFML key; UNDEFINED_KEY when it has none.
    Keyboard::Key convertKey(sf::Keyboard::Key key);

private:
    Keyboard::Key key = Keyboard::UNDEFINED_KEY;
    EventKeyboardAction keyboardAction = UNDEFINED_KEYBOARD_ACTION;
};

} // namespace ks

#include "EventKeyboard.h"

namespace ks {

EventKeyboard::EventKeyboard()
{
    setType(KEYBOARD_EVENT);
}

void EventKeyboard::setKey(Keyboard::Key newKey)
{
    key = newKey;
}

Keyboard::Key EventKeyboard::getKey() const
{
    return key;
}

void EventKeyboard::setKeyboardAction(EventKeyboardAction newAction)
{
    keyboardAction = newAction;
}

EventKeyboardAction EventKeyboard::getKeyboardAction() const
{
    return keyboardAction;
}

Keyboard::Key EventKeyboard::convertKey(sf::Keyboard::Key sfmlKey)
{
    using SK = sf::Keyboard::Key;
    const int code = static_cast<int>(sfmlKey);

    // Letters, function keys and digits are contiguous runs in SFML (the same values in
    // SFML 2 and 3) and in our table; NUM0 comes after NUM9 in ours but first in SFML's.
    if (code >= static_cast<int>(SK::A) && code <= static_cast<int>(SK::Z))
        return static_cast<Keyboard::Key>(Keyboard::A + (code - static_cast<int>(SK::A)));
    if (code >= static_cast<int>(SK::F1) && code <= static_cast<int>(SK::F12))
        return static_cast<Keyboard::Key>(Keyboard::F1 + (code - static_cast<int>(SK::F1)));
    if (code >= static_cast<int>(SK::Num1) && code <= static_cast<int>(SK::Num9))
        return static_cast<Keyboard::Key>(Keyboard::NUM1 + (code - static_cast<int>(SK::Num1)));

    switch (sfmlKey)
    {
    case SK::Num0: return Keyboard::NUM0;
    case SK::Space: return Keyboard::SPACE;
    case SK::Enter: return Keyboard::RETURN;
    case SK::Escape: return Keyboard::ESCAPE;
    case SK::Tab: return Keyboard::TAB;
    case SK::Left: return Keyboard::LEFTARROW;
    case SK::Right: return Keyboard::RIGHTARROW;
    case SK::Up: return Keyboard::UPARROW;
    case SK::Down: return Keyboard::DOWNARROW;
    case SK::Pause: return Keyboard::PAUSE;
    case SK::Hyphen: return Keyboard::MINUS;
    case SK::Equal: return Keyboard::EQUAL;
    case SK::Period: return Keyboard::PERIOD;
    case SK::Comma: return Keyboard::COMMA;
    case SK::Slash: return Keyboard::SLASH;
    case SK::LControl: return Keyboard::LEFTCONTROL;
    case SK::RControl: return Keyboard::RIGHTCONTROL;
    case SK::LShift: return Keyboard::LEFTSHIFT;
    case SK::RShift: return Keyboard::RIGHTSHIFT;
    // Alt, system, brackets, editing and numpad keys, F13..F15, Unknown and any code out
    // of SFML's range: the engine has no name for them.
    default: return Keyboard::UNDEFINED_KEY;
    }
}

} // namespace ks

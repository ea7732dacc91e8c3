#include "InputManager.h"

#include "DisplayManager.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "LogManager.h"
#include "Recorder.h"
#include "Replayer.h"
#include "SfmlCompat.h"

#include <array>

namespace ks {

namespace {

// The SFML key of each engine key (-1 for none), found through the one translation table
// the other way round.
sf::Keyboard::Key sfmlKeyOf(Keyboard::Key key)
{
    static const auto table = [] {
        std::array<int, Keyboard::NUM0 + 1> keys;
        keys.fill(-1);
        EventKeyboard convert;
        for (unsigned code = 0; code < compat::key::Count; code++)
        {
            const Keyboard::Key k = convert.convertKey(static_cast<sf::Keyboard::Key>(code));
            if (k >= 0 && k < static_cast<int>(keys.size()) && keys[static_cast<size_t>(k)] == -1)
                keys[static_cast<size_t>(k)] = static_cast<int>(code);
        }
        return keys;
    }();
    const bool known = key >= 0 && key < static_cast<int>(table.size()) && table[static_cast<size_t>(key)] != -1;
    return static_cast<sf::Keyboard::Key>(known ? table[static_cast<size_t>(key)] : -1);
}

} // namespace

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
    const bool replaying = replayer != nullptr && replayer->isActive();
    if (replaying)
    {
        // The recording's inputs in place of the window's. Mouse positions are in the pixels of
        // the recording's drawing area: a grid of another scale gets them scaled to its own,
        // and a letterboxed one moved past its border.
        const DisplayManager& display = DisplayManager::getInstance();
        const RecordingHeader& header = replayer->getHeader();
        const float scaleX = static_cast<float>(display.getHorizontalPixels()) / static_cast<float>(header.width);
        const float scaleY = static_cast<float>(display.getVerticalPixels()) / static_cast<float>(header.height);
        const Vector border = display.spacesToPixels(Vector(0, 0));
        int count = 0;
        const RecordedInput* in = replayer->inputs(count);
        for (int i = 0; i < count; i++)
        {
            EventKeyboard keyboard;
            EventMouse mouse;
            switch (in[i].kind)
            {
            case RecordedInput::KEY:
                keyboard.setKeyboardAction(static_cast<EventKeyboardAction>(in[i].value));
                keyboard.setKey(static_cast<Keyboard::Key>(in[i].key));
                deliver(&keyboard);
                break;
            case RecordedInput::MOUSE_MOVED:
                mouse.setMouseAction(MOVED);
                mouse.setMousePosition(Vector(border.getX() + static_cast<float>(in[i].x) * scaleX,
                                              border.getY() + static_cast<float>(in[i].y) * scaleY));
                deliver(&mouse);
                break;
            case RecordedInput::MOUSE_CLICKED:
                mouse.setMouseAction(CLICKED);
                mouse.setMouseButton(static_cast<Mouse::Button>(in[i].key));
                deliver(&mouse);
                break;
            case RecordedInput::KEY_HELD: break; // answered by isKeyPressed
            }
        }
    }

    // The window is fetched again before every poll: a handler run by the previous
    // delivery may have shut the display down.
    while (sf::RenderWindow* window = DisplayManager::getInstance().getWindow())
    {
        const auto ev = compat::pollEvent(*window);
        if (!ev)
            return;
        // The window's own keys work during a replay too; the game's input is the recording's.
        const auto* pressed = ev->getIf<compat::Event::KeyPressed>();
        if (pressed != nullptr)
            DisplayManager::getInstance().fullscreenKey(static_cast<int>(pressed->code), pressed->alt);
        if (pressed != nullptr && keyListener)
            keyListener(EventKeyboard().convertKey(pressed->code));
        if (replaying)
            continue;

        if (pressed != nullptr)
        {
            EventKeyboard keyboard;
            keyboard.setKeyboardAction(KEY_PRESSED);
            keyboard.setKey(keyboard.convertKey(pressed->code));
            deliver(&keyboard);
        }
        else if (const auto* released = ev->getIf<compat::Event::KeyReleased>())
        {
            EventKeyboard keyboard;
            keyboard.setKeyboardAction(KEY_RELEASED);
            keyboard.setKey(keyboard.convertKey(released->code));
            deliver(&keyboard);
        }
        else if (const auto* moved = ev->getIf<compat::Event::MouseMoved>())
        {
            // Window pixels; receivers convert to cells when they need them.
            EventMouse mouse;
            mouse.setMouseAction(MOVED);
            mouse.setMousePosition(
                Vector(static_cast<float>(moved->position.x), static_cast<float>(moved->position.y)));
            deliver(&mouse);
        }
        else if (const auto* clicked = ev->getIf<compat::Event::MouseButtonPressed>())
        {
            // The click's own position is not passed on; the event keeps (0, 0).
            EventMouse mouse;
            mouse.setMouseAction(CLICKED);
            mouse.setMouseButton(mouse.convertKey(clicked->button));
            deliver(&mouse);
        }
        // Everything else (close requests, focus, resizing, text, wheel, releases) is dropped.
    }
}

void InputManager::setKeyListener(std::function<void(Keyboard::Key)> listener)
{
    keyListener = std::move(listener);
}

} // namespace ks

namespace ks {

bool InputManager::isKeyPressed(Keyboard::Key key) const
{
    bool held;
    if (replayer != nullptr && replayer->isActive())
    {
        held = replayer->keyHeld(key);
    }
    else
    {
        // Headless there is no keyboard, and SFML would need an X display only to say no.
        const sf::Keyboard::Key sfmlKey = sfmlKeyOf(key);
        held = !DisplayManager::getInstance().isHeadless() && static_cast<int>(sfmlKey) != -1 &&
               sf::Keyboard::isKeyPressed(sfmlKey);
    }
    // A replay recorded again keeps its held keys too.
    return recorder != nullptr ? recorder->keyHeld(key, held) : held;
}

void InputManager::setRecorder(Recorder* newRecorder)
{
    recorder = newRecorder;
}

void InputManager::setReplayer(Replayer* newReplayer)
{
    replayer = newReplayer;
}

void InputManager::deliver(Event* event) const
{
    if (recorder != nullptr)
    {
        RecordedInput recorded;
        if (event->getType() == KEYBOARD_EVENT)
        {
            const auto* keyboard = static_cast<const EventKeyboard*>(event);
            recorded.kind = RecordedInput::KEY;
            recorded.key = keyboard->getKey();
            recorded.value = keyboard->getKeyboardAction();
        }
        else
        {
            const auto* mouse = static_cast<const EventMouse*>(event);
            recorded.kind =
                mouse->getMouseAction() == MOVED ? RecordedInput::MOUSE_MOVED : RecordedInput::MOUSE_CLICKED;
            recorded.key = mouse->getMouseButton();
            // Drawing-area pixels: a letterbox's border is the window's, not the game's.
            const Vector border = DisplayManager::getInstance().spacesToPixels(Vector(0, 0));
            recorded.x = static_cast<int32_t>(mouse->getMousePosition().getX() - border.getX());
            recorded.y = static_cast<int32_t>(mouse->getMousePosition().getY() - border.getY());
        }
        recorder->input(recorded);
    }
    onEvent(event);
}

} // namespace ks

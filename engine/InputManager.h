#pragma once

#include <functional>

#include "Manager.h"

namespace ks {

class EventKeyboard;

/// InputManager: once per loop iteration empties the window's event queue, turning key
/// presses and releases, mouse moves and clicks into engine events for every object.
class InputManager : public Manager
{
public:
    /// The one InputManager, made on first use.
    static InputManager& getInstance();

    /// 0, or -1 with a log line when the display manager is not started.
    int startUp() override;
    void shutDown() override;

    /// Delivers every pending window input as EventKeyboard / EventMouse; drops the rest.
    void getInput() const;

    /// Called with every keyboard event getInput makes, before the objects get it; none after
    /// construction, an empty function removes it. The engine's opt-in keys (capture, the
    /// frame overlay) listen here.
    void setKeyListener(std::function<void(const EventKeyboard&)> listener);

    InputManager(const InputManager&) = delete;
    InputManager& operator=(const InputManager&) = delete;

private:
    InputManager();

    std::function<void(const EventKeyboard&)> keyListener;
};

} // namespace ks

#pragma once

#include "Manager.h"

namespace ks {

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

    InputManager(const InputManager&) = delete;
    InputManager& operator=(const InputManager&) = delete;

private:
    InputManager();
};

} // namespace ks

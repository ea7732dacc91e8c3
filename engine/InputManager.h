#pragma once

#include <functional>

#include "EventKeyboard.h"
#include "Manager.h"

namespace ks {

class Recorder;
class Replayer;

/// InputManager: once per loop iteration empties the window's event queue, turning key
/// presses and releases, mouse moves and clicks into engine events for every object.
///
/// With a recorder set, every event delivered and every answer of isKeyPressed is recorded;
/// with a replayer set (and steps left in it), the recorded inputs replace the window's,
/// which are taken off the queue and dropped. GameManager sets both (setRecording,
/// setReplay there).
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

    /// Whether key is held down now, for a game that reads held keys rather than their
    /// events: the live keyboard (always false headless), or the replayed recording.
    bool isKeyPressed(Keyboard::Key key) const;

    /// Where inputs are recorded to and replayed from; null (the default) for neither. The
    /// caller keeps them alive while they are set.
    void setRecorder(Recorder* newRecorder);
    void setReplayer(Replayer* newReplayer);

    /// Called with every key pressed on the window, before the objects get it and also while
    /// a replay feeds them the recording's keys instead (the window's own keys, like those of
    /// the display); none after construction, an empty function removes it. The engine's
    /// opt-in keys (capture, the frame overlay) listen here.
    void setKeyListener(std::function<void(Keyboard::Key)> listener);

    InputManager(const InputManager&) = delete;
    InputManager& operator=(const InputManager&) = delete;

private:
    InputManager();

    /// Delivers one event, recording it when recording.
    void deliver(Event* event) const;

    Recorder* recorder = nullptr;
    Replayer* replayer = nullptr;

    std::function<void(Keyboard::Key)> keyListener;
};

} // namespace ks

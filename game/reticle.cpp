#include "reticle.h"

#include <string>

#include "DisplayManager.h"
#include "EventMouse.h"

namespace ks {

namespace {

// Event types are recognised by prefix, so a type name that begins with the constant matches.
bool isEventType(const Event* event, const std::string& type)
{
    return event != nullptr && event->getType().compare(0, type.size(), type) == 0;
}

} // namespace

reticle::reticle()
{
    setType("reticle");
    setPosition(Vector(10, 20));
    setSolidness(NONSOLID);
    setSprite("reticle");
    setAltitude(3);
}

reticle::~reticle() = default;

int reticle::eventHandler(const Event* event)
{
    if (!isEventType(event, MSE_EVENT))
        return 0;
    const EventMouse* mouse = static_cast<const EventMouse*>(event);
    if (mouse->getMouseAction() == MOVED) {
        // Kept fractional, so a shot aims at the exact point under the pointer.
        setPosition(DisplayManager::getInstance().pixelsToSpaces(mouse->getMousePosition()));
    }
    return 0;
}

} // namespace ks

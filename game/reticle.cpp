#include "reticle.h"

#include "common.h"

#include <string>

#include "DisplayManager.h"
#include "EventMouse.h"

namespace ks {

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
    if (mouse->getMouseAction() == MOVED)
    {
        // Kept fractional, so a shot aims at the exact point under the pointer.
        setPosition(DisplayManager::getInstance().pixelsToSpaces(mouse->getMousePosition()));
    }
    return 0;
}

} // namespace ks

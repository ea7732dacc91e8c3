#include "Manager.h"

#include "Object.h"
#include "ObjectList.h"
#include "WorldManager.h"

#include <utility>

namespace ks {

Manager::Manager() = default;

Manager::~Manager()
{
    started = false;
}

int Manager::startUp()
{
    started = true;
    return 0;
}

void Manager::shutDown()
{
    started = false;
}

std::string Manager::getType() const
{
    return type;
}

bool Manager::isStarted() const
{
    return started;
}

int Manager::onEvent(const Event* event) const
{
    // A copy, so that handlers may create, remove or mark objects while the event is out:
    // new objects wait for the next event, marked ones still get this one.
    const ObjectList objects = WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < objects.getCount(); i++)
        objects[i]->eventHandler(event);
    return objects.getCount();
}

void Manager::setType(std::string newType)
{
    type = std::move(newType);
}

} // namespace ks

#include "Manager.h"

#include <utility>

namespace ks {

namespace {

// Set by the world manager for its lifetime.
int (*delivery)(const Event*) = nullptr;

} // namespace

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
    return delivery != nullptr ? delivery(event) : 0;
}

void Manager::setType(std::string newType)
{
    type = std::move(newType);
}

void Manager::setDelivery(Delivery deliver)
{
    delivery = deliver;
}

} // namespace ks

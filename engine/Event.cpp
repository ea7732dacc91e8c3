#include "Event.h"

#include <utility>

namespace ks {

Event::Event() : type(UNDEFINED_EVENT)
{}

Event::~Event() = default;

void Event::setType(std::string newType)
{
    type = std::move(newType);
}

std::string Event::getType() const
{
    return type;
}

} // namespace ks

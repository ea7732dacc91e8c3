#pragma once

#include "Event.h"

namespace ks {

const std::string OUT_EVENT = "ks::out";

/// EventOut: the receiving object's last move ended outside the display grid.
class EventOut : public Event
{
public:
    EventOut();
};

} // namespace ks

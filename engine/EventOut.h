// EventOut: the receiving object's last move ended outside the display grid.
#pragma once

#include "Event.h"

namespace ks {

const std::string OUT_EVENT = "ks::out";

class EventOut : public Event
{
public:
    EventOut();
};

} // namespace ks

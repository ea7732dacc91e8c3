// EventStep: sent once per game-loop iteration to every object, numbered from 0.
#pragma once

#include "Event.h"

namespace ks {

const std::string STEP_EVENT = "ks::step";

class EventStep : public Event
{
public:
    EventStep();
    explicit EventStep(int initStepCount);

    void setStepCount(int newStepCount);
    int getStepCount() const;

private:
    int stepCount = 0; // number of the loop iteration that sent the event
};

} // namespace ks

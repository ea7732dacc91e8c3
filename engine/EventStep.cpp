#include "EventStep.h"

namespace ks {

EventStep::EventStep() : EventStep(0)
{}

EventStep::EventStep(int initStepCount) : stepCount(initStepCount)
{
    setType(STEP_EVENT);
}

void EventStep::setStepCount(int newStepCount)
{
    stepCount = newStepCount;
}

int EventStep::getStepCount() const
{
    return stepCount;
}

} // namespace ks

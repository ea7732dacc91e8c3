#pragma once

#include "Event.h"

namespace ks {

/// Type name of EventStep.
const std::string STEP_EVENT = "ks::step";

/// EventStep: sent once per game-loop iteration to every object, numbered from 0.
class EventStep : public Event
{
public:
    EventStep();
    /// The step event of loop iteration initStepCount.
    explicit EventStep(int initStepCount);

    /// Number of the loop iteration that sent the event, from 0.
    ///@{
    void setStepCount(int newStepCount);
    int getStepCount() const;
    ///@}

private:
    int stepCount = 0; ///< number of the loop iteration that sent the event
};

} // namespace ks

#pragma once

#include <string>

namespace ks {

/// Type name of an event that set none.
const std::string UNDEFINED_EVENT = "ks::undefined";

/// Event: the base of all events handed to Object::eventHandler. An event carries
/// only a type name; handlers tell events apart by comparing it with the constants.
class Event
{
public:
    /// An event of type UNDEFINED_EVENT.
    Event();
    virtual ~Event();

    /// The event's type name, one of the engine's constants (STEP_EVENT...) or a game's own.
    ///@{
    void setType(std::string newType);
    std::string getType() const;
    ///@}

private:
    std::string type; ///< UNDEFINED_EVENT after construction
};

} // namespace ks

// Event: the base of all events handed to Object::eventHandler. An event carries
// only a type name; handlers tell events apart by comparing it with the constants.
#pragma once

#include <string>

namespace ks {

const std::string UNDEFINED_EVENT = "ks::undefined";

class Event
{
public:
    Event();
    virtual ~Event();

    void setType(std::string newType);
    std::string getType() const;

private:
    std::string type; // UNDEFINED_EVENT after construction
};

} // namespace ks

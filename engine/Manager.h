#pragma once

#include <string>

namespace ks {

class Event;

/// Manager: the base of every engine service (log, game, world, display, input,
/// resources). Each derived manager is a singleton reached through its own static
/// getInstance(), started with startUp() and stopped with shutDown().
class Manager
{
public:
    Manager();
    virtual ~Manager();

    /// Every manager is a singleton; a copy would be a second one.
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    /// Sets the started flag. 0 on success (the base never fails), -1 on failure in derived managers.
    virtual int startUp();

    /// Clears the started flag.
    virtual void shutDown();

    /// The manager's class name, e.g. "WorldManager".
    std::string getType() const;

    /// True between a successful startUp() and shutDown().
    bool isStarted() const;

    /// Hands the event to every object in the world, walking a copy of the world's list.
    /// Returns the number of objects it was delivered to.
    int onEvent(const Event* event) const;

protected:
    /// Derived constructors only.
    void setType(std::string type);

    /// How onEvent reaches the objects: the manager that holds them (the world) sets it when it
    /// is made and clears it (null) when it goes. Until then there are no objects to tell, and
    /// onEvent tells none.
    using Delivery = int (*)(const Event* event);
    static void setDelivery(Delivery deliver);

private:
    std::string type;     ///< empty after construction
    bool started = false; ///< false after construction
};

} // namespace ks

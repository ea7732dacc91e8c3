// Probe: a test object that writes what happens to it into a shared journal, so a test
// can check the exact order in which the world visits objects. Hooks let a test make a
// probe change the world from inside a handler, a placement or a destructor.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Event.h"
#include "EventCollision.h"
#include "EventOut.h"
#include "EventStep.h"
#include "Object.h"

namespace ks::test {

using Journal = std::vector<std::string>;

class Probe : public Object
{
public:
    Probe(Journal& journal, std::string name, Vector at = Vector(), Solidness solid = NONSOLID)
        : journal(journal)
        , name(std::move(name))
    {
        Object::setPosition(at);
        setSolidness(solid);
    }

    ~Probe() override
    {
        journal.push_back("~" + name);
        if (onDestroy)
            onDestroy();
    }

    // Entries: "step <name> <n>", "hit <name> <mover>><other> @x,y", "out <name> @x,y",
    // "<other type> <name>"; the position in an out entry is the probe's own at that moment.
    int eventHandler(const Event* event) override
    {
        const std::string type = event->getType();
        if (type == STEP_EVENT) {
            journal.push_back("step " + name + " " + std::to_string(static_cast<const EventStep*>(event)->getStepCount()));
        } else if (type == COLLISION_EVENT) {
            const auto* c = static_cast<const EventCollision*>(event);
            journal.push_back("hit " + name + " " + nameOf(c->getObject1()) + ">" + nameOf(c->getObject2()) + " @" +
                              at(c->getPosition()));
        } else if (type == OUT_EVENT) {
            journal.push_back("out " + name + " @" + at(getPosition()));
        } else {
            journal.push_back(type + " " + name);
        }
        if (onEvent)
            onEvent(event);
        return 0;
    }

    void setPosition(Vector where) override
    {
        journal.push_back("place " + name + " @" + at(where));
        Object::setPosition(where);
    }

    int draw() override
    {
        journal.push_back("draw " + name);
        return Object::draw();
    }

    static std::string at(Vector v)
    {
        auto num = [](float f) {
            std::string s = std::to_string(f);
            s.erase(s.find_last_not_of('0') + 1);
            if (s.back() == '.')
                s.pop_back();
            return s;
        };
        return num(v.getX()) + "," + num(v.getY());
    }

    Journal& journal;
    std::string name;
    std::function<void(const Event*)> onEvent;
    std::function<void()> onDestroy;

private:
    static std::string nameOf(Object* o)
    {
        auto* p = dynamic_cast<Probe*>(o);
        return p != nullptr ? p->name : "?";
    }
};

// The journal entries that start with prefix, in order.
inline Journal only(const Journal& journal, const std::string& prefix)
{
    Journal kept;
    for (const std::string& entry : journal)
        if (entry.compare(0, prefix.size(), prefix) == 0)
            kept.push_back(entry);
    return kept;
}

} // namespace ks::test

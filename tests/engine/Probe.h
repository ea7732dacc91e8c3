// Probe: a test object that journals what the world does to it ("step P 3", "hit P P>Q @5,5",
// "out P @81,5", "place P @81,5", "draw P", "~P"), so a test can check the exact order of
// visits. Hooks let a probe change the world from inside a handler or its destructor.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "EventCollision.h"
#include "EventOut.h"
#include "EventStep.h"
#include "Object.h"

namespace ks::test {

using Journal = std::vector<std::string>;

inline std::string at(Vector v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%g,%g", v.getX(), v.getY());
    return text;
}

class Probe : public Object
{
public:
    Probe(Journal& journal, std::string name, Vector where = Vector(), Solidness solid = NONSOLID)
        : journal(journal),
          name(std::move(name))
    {
        Object::setPosition(where);
        setSolidness(solid);
    }

    ~Probe() override
    {
        journal.push_back("~" + name);
        if (onDestroy)
            onDestroy();
    }

    int eventHandler(const Event* e) override
    {
        if (e->getType() == STEP_EVENT)
        {
            journal.push_back("step " + name + " " + std::to_string(static_cast<const EventStep*>(e)->getStepCount()));
        }
        else if (e->getType() == COLLISION_EVENT)
        {
            const auto* c = static_cast<const EventCollision*>(e);
            journal.push_back("hit " + name + " " + static_cast<Probe*>(c->getObject1())->name + ">" +
                              static_cast<Probe*>(c->getObject2())->name + " @" + at(c->getPosition()));
        }
        else if (e->getType() == OUT_EVENT)
        {
            journal.push_back("out " + name + " @" + at(getPosition()));
        }
        if (onEvent)
            onEvent(e);
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

    Journal& journal;
    std::string name;
    std::function<void(const Event*)> onEvent;
    std::function<void()> onDestroy;
};

// The entries of the journal that start with prefix.
inline Journal only(const Journal& journal, const std::string& prefix)
{
    Journal kept;
    for (const std::string& entry : journal)
        if (entry.rfind(prefix, 0) == 0)
            kept.push_back(entry);
    return kept;
}

} // namespace ks::test

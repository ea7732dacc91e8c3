// Probe journals what the world does to it ("step P 3", "hit P P>Q @5,5", "out P @81,5", "place P @81,5",
// "draw P", "~P"); its hooks change the world from a handler or its destructor.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>

#include "EventCollision.h"
#include "EventOut.h"
#include "EventStep.h"
#include "Object.h"
#include "TestSupport.h"
#include "WorldManager.h"

namespace ks::test {

using Journal = std::vector<std::string>;

inline std::string at(Vector v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%g,%g", v.getX(), v.getY());
    return text;
}

inline int stepOf(const Event* e)
{
    return e->getType() == STEP_EVENT ? static_cast<const EventStep*>(e)->getStepCount() : -1;
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
            journal.push_back("step " + name + " " + std::to_string(stepOf(e)));
        else if (const auto* hit = dynamic_cast<const EventCollision*>(e))
            journal.push_back("hit " + name + " " + static_cast<Probe*>(hit->getObject1())->name + ">" +
                              static_cast<Probe*>(hit->getObject2())->name + " @" + at(hit->getPosition()));
        else if (e->getType() == OUT_EVENT)
            journal.push_back("out " + name + " @" + at(getPosition()));
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

class WorldTest : public InTempDir
{
protected:
    void SetUp() override
    {
        world.startUp();
    }
    void TearDown() override
    {
        world.shutDown();
    }
    // Restarts the world for the next case of a table.
    void fresh()
    {
        world.shutDown();
        world.startUp();
        journal.clear();
    }

    WorldManager& world = WorldManager::getInstance();
    Journal journal;
    std::vector<std::unique_ptr<Object>> outside; // taken out of the world by the test
};

} // namespace ks::test

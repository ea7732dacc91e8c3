// The world drawn through its view into a real window, read back before the frame is shown:
// objects on the view's edges are painted, in part, exactly as the display paints them at the
// cells they have in the view; objects wholly outside are left out; screen-fixed ones ignore
// the view; and a world that sets nothing still draws every object wherever it stands.
#include "DisplayManager.h"
#include "LogManager.h"
#include "Probe.h"
#include "ResourceManager.h"
#include "SfmlCompat.h"

using namespace ks;
using namespace ks::test;

namespace {

class WorldViewTest : public WorldTest
{
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        ASSERT_EQ(LogManager::getInstance().startUp(), 0);
        installFont();
        ASSERT_EQ(display.startUp(), 0);
        ResourceManager::getInstance().startUp();
        writeFile("block.txt", "1\n3\n2\n0\nred\nab#.\n#cd.\n");
        ASSERT_EQ(ResourceManager::getInstance().loadSprite("block.txt", "block"), 0);
    }
    void TearDown() override
    {
        WorldTest::TearDown();
        display.shutDown();
    }

    Probe* block(const std::string& name, Vector where, bool fixed = false)
    {
        Probe* p = new Probe(journal, name, where);
        p->setSprite("block");
        p->setScreenFixed(fixed);
        return p;
    }

    // What the window shows now; the next frame starts on a cleared window.
    sf::Image frame()
    {
        const sf::Image image = compat::captureWindow(*display.getWindow());
        display.swapBuffers();
        return image;
    }

    // The frame that painting each object's sprite straight at the given cells gives.
    sf::Image paintedAt(const std::vector<std::pair<Object*, Vector>>& objects)
    {
        for (const auto& [object, cells] : objects)
            object->getAnimation().draw(cells);
        return frame();
    }

    DisplayManager& display = DisplayManager::getInstance();
};

TEST_F(WorldViewTest, ObjectsAreDrawnWhereTheViewPutsThemAndTheRestIsLeftOut)
{
    // The grid's world: every object is drawn, in the strip beyond the last column and far
    // away too, at its own cells.
    Probe* strip = block("strip", Vector(83, 10));
    Probe* far = block("far", Vector(-300, 500));
    world.draw();
    ASSERT_EQ(journal, (Journal{"draw strip", "draw far"}));
    const sf::Image grid = frame();
    EXPECT_EQ(compareImages(grid, paintedAt({{strip, Vector(83, 10)}})).count, 0);
    EXPECT_GT(inkedPixels(grid), 0);
    world.removeObject(outside.emplace_back(strip).get());
    world.removeObject(outside.emplace_back(far).get());

    // A world of 400 x 120 seen from (100, 50).
    ASSERT_EQ(world.setBounds(Box(Vector(0, 0), 400, 120)), 0);
    ASSERT_EQ(world.setView(Box(Vector(100, 50), 80, 24)), 0);
    const std::pair<const char*, Vector> placed[] = {
        {"left", Vector(100.5f, 60)}, // its first column is left of the view
        {"top", Vector(140, 49.5f)},  // its first row is above it
        {"corner", Vector(180, 74)},  // over the bottom right corner
        {"gone", Vector(96, 60)},     // wholly outside, beyond the margin
        {"away", Vector(300, 110)},   // far away
    };
    std::vector<std::pair<Object*, Vector>> expected;
    journal.clear();
    for (const auto& [name, where] : placed)
    {
        Probe* p = block(name, where);
        if (where.getX() > 97 && where.getX() < 200)
            expected.push_back({p, Vector(where.getX() - 100, where.getY() - 50)});
    }
    // Fixed to the screen: at its own cells whatever the view.
    Probe* hud = block("hud", Vector(5, 1), true);
    hud->setAltitude(3);
    expected.push_back({hud, Vector(5, 1)});
    const sf::Image wanted = paintedAt(expected);
    world.draw();
    EXPECT_EQ(journal, (Journal{"draw left", "draw top", "draw corner", "draw hud"}));
    const ImageDifference d = compareImages(frame(), wanted);
    EXPECT_EQ(d.count, 0) << d.first;
    EXPECT_EQ(at(display.getOrigin()), "0,0"); // drawing outside draw() is on the screen's cells
}

} // namespace

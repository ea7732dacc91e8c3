// kestrane-bench: what a frame costs on this machine. It measures, in one run,
//  - a frame (drawing N characters, then showing the frame) painted the plain way, one black
//    rectangle and one sf::Text per character, and by the engine: the first N cells of the
//    grid, and a busy frame of 8,000 characters at random cells, with the ratios between them;
//  - the busy frame against the full grid, both by the engine, taking turns with each other;
//  - a full grid of box-drawing glyphs against one of ASCII, one in 256 RGB colours against one
//    in the eight named colours, the game's frame (the input manager takes the window) against
//    the same frame without input, and the full grid and busy frame at scale 2;
//  - the full grid again with glibc keeping freed heap memory, as the game chooses to;
//  - one world update with N moving PASSABLE objects (and, for comparison, the same world
//    searched for collisions by the plain linear scan);
//  - the game loop's working time (everything but the sleep) in a game with several hundred
//    zombies, made of the game's own classes, and what recording the session adds to it (each
//    character mixed into the frame's digest, the held keys asked for, the step's records
//    written out twice a second) as a share of the step's processor time;
//  - a step of a world 50 screens across (and 4 down) holding 20,000 moving objects spread evenly,
//    100 of them in view: its update and its draw (with the frame shown), the draw against a
//    world holding only the 100, and the view following an object against a fixed view; and
//    the same 20,000 crowded into 50 screens in all (10 across, 5 down).
// Every figure is the median of repeated runs. It prints a table and writes a data file for
// gnuplot (scripts/bench plots it).
//
//   kestrane-bench [--data FILE] [--runs N]
//
// It needs a display (the window is real) and works in a fresh temporary directory that
// links to the game folder's font, sprites and sounds.
#include "DisplayManager.h"
#include "EventOut.h"
#include "EventStep.h"
#include "FrameDigest.h"
#include "GameManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Object.h"
#include "Recorder.h"
#include "SfmlCompat.h"
#include "Sprite.h"
#include "TempDir.h"
#include "TwoDrawPainter.h"
#include "WorldManager.h"
#include "player.h"
#include "resources.h"
#include "reticle.h"
#include "zombie.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <malloc.h>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The process's processor time (every thread, the renderer's included), which waiting for
// a busy machine does not stretch the way it stretches the clock on the wall.
double processMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Wall-clock and processor milliseconds of one piece of work, or the medians of many.
struct Cost
{
    double wall = 0, cpu = 0;
};

Cost timeOnce(const std::function<void()>& work)
{
    const double cpu = processMilliseconds();
    const Clock::time_point start = Clock::now();
    work();
    return Cost{millisecondsSince(start), processMilliseconds() - cpu};
}

Cost medians(const std::vector<Cost>& costs)
{
    std::vector<double> wall, cpu;
    for (const Cost& c : costs)
    {
        wall.push_back(c.wall);
        cpu.push_back(c.cpu);
    }
    return Cost{median(wall), median(cpu)};
}

// The median cost of runs calls of work, after a few calls that are not counted.
Cost medianTime(int runs, const std::function<void()>& work)
{
    for (int i = 0; i < 3; i++)
        work();
    std::vector<Cost> costs;
    for (int i = 0; i < runs; i++)
        costs.push_back(timeOnce(work));
    return medians(costs);
}

// The one-minute load average (-1 where there is none).
double loadAverage()
{
    double oneMinute = -1;
    if (FILE* load = std::fopen("/proc/loadavg", "r"))
    {
        if (std::fscanf(load, "%lf", &oneMinute) != 1)
            oneMinute = -1;
        std::fclose(load);
    }
    return oneMinute;
}

using ks::reference::Cell;
using ks::reference::TwoDrawPainter;

// A box that drifts at constant velocity and wraps around a world larger than the screen.
class Drifter : public ks::Object
{
public:
    Drifter(ks::Vector where, ks::Vector velocity, ks::Box box)
    {
        setType("drifter");
        setSolidness(ks::PASSABLE);
        setBox(box);
        setPosition(where);
        setVelocity(velocity);
    }

    int eventHandler(const ks::Event* event) override
    {
        if (event->getType() == ks::OUT_EVENT)
        {
            ks::Vector p = getPosition();
            p.setX(wrap(p.getX(), LEFT, RIGHT));
            p.setY(wrap(p.getY(), TOP, BOTTOM));
            setPosition(p);
        }
        return 0;
    }

    static constexpr float LEFT = -20, RIGHT = 100, TOP = -20, BOTTOM = 44;

private:
    static float wrap(float v, float low, float high)
    {
        if (v < low)
            return v + (high - low);
        if (v >= high)
            return v - (high - low);
        return v;
    }
};

// Walks back and forth: a few steps one way, as many the other, so that it stays where it was
// put (in the view or out of it) while always moving.
class Pacer : public ks::Object
{
public:
    Pacer(ks::Vector where, ks::Vector velocity)
    {
        setType("pacer");
        setSprite("zombie");
        setSolidness(ks::PASSABLE);
        setPosition(where);
        setVelocity(velocity);
    }

    int eventHandler(const ks::Event* event) override
    {
        if (event->getType() == ks::STEP_EVENT && ++steps % 8 == 0)
        {
            ks::Vector back = getVelocity();
            back.scale(-1);
            setVelocity(back);
        }
        return 0;
    }

private:
    int steps = 0;
};

// A world of many screens with its view in the middle, filled with inView pacers well inside
// the view and outOfView ones spread over the rest, well clear of what the window shows;
// always the same ones. The pacers in view are returned.
std::vector<ks::Object*> populateLarge(ks::Box world, int inView, int outOfView)
{
    std::mt19937 random(7);
    auto in = [&random](float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    };
    const float width = world.getHorizontal(), height = world.getVertical();
    const float vx = std::round(width / 2 - 40), vy = std::round(height / 2 - 12);
    ks::WorldManager::getInstance().setBounds(world);
    ks::WorldManager::getInstance().setView(ks::Box(ks::Vector(vx, vy), 80, 24));
    std::vector<ks::Object*> shown;
    for (int i = 0; i < inView; i++)
        shown.push_back(new Pacer(ks::Vector(std::round(in(vx + 6, vx + 74)), std::round(in(vy + 5, vy + 19))),
                                  ks::Vector(in(-0.3f, 0.3f), in(-0.1f, 0.1f))));
    for (int i = 0; i < outOfView; i++)
    {
        ks::Vector at;
        do
            at = ks::Vector(in(4, width - 4), in(4, height - 4));
        while (at.getX() > vx - 12 && at.getX() < vx + 100 && at.getY() > vy - 10 && at.getY() < vy + 34);
        new Pacer(at, ks::Vector(in(-0.3f, 0.3f), in(-0.1f, 0.1f)));
    }
    return shown;
}

struct FrameRow
{
    const char* name;
    int characters;
    Cost twoDraw, engine;
};

struct WorldRow
{
    int objects;
    Cost update, linear;
};

// Fills the world with n drifters (boxes of 1x1 to 5x3 cells, the sizes of the game's
// sprites), always the same ones for a given n.
void populate(int n)
{
    std::mt19937 random(static_cast<unsigned>(n));
    std::uniform_real_distribution<float> x(Drifter::LEFT, Drifter::RIGHT), y(Drifter::TOP, Drifter::BOTTOM);
    std::uniform_real_distribution<float> angle(0, 6.2831853f), speed(0.1f, 0.6f);
    std::uniform_int_distribution<int> width(1, 5), height(1, 3);
    for (int i = 0; i < n; i++)
    {
        const float a = angle(random), s = speed(random);
        const int w = width(random), h = height(random);
        new Drifter(ks::Vector(x(random), y(random)), ks::Vector(s * std::cos(a), s * std::sin(a)),
                    ks::Box(ks::Vector(-static_cast<float>(w / 2), -static_cast<float>(h / 2)), static_cast<float>(w),
                            static_cast<float>(h)));
    }
}

void clearWorld()
{
    ks::WorldManager::getInstance().shutDown();
    ks::WorldManager::getInstance().startUp();
}

// Characters the world's draw hands to the display: every cell of every drawn object's frame.
double charactersDrawn()
{
    const ks::ObjectList all = ks::WorldManager::getInstance().getAllObjects();
    int count = 0;
    for (int i = 0; i < all.getCount(); i++)
    {
        const ks::Sprite* sprite = all[i]->getAnimation().getSprite();
        const int altitude = all[i]->getAltitude();
        if (sprite != nullptr && altitude >= 0 && altitude < ks::MAX_ALTITUDE)
            count += sprite->getWidth() * sprite->getHeight();
    }
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    std::string dataFile;
    int runs = 31;
    for (int i = 1; i < argc; i++)
    {
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc)
        {
            dataFile = argv[++i];
        }
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
        {
            runs = std::max(1, std::atoi(argv[++i]));
        }
        else
        {
            std::fprintf(stderr, "usage: %s [--data FILE] [--runs N]\n", argv[0]);
            return 2;
        }
    }
    if (std::getenv("DISPLAY") == nullptr)
    {
        std::fprintf(stderr, "kestrane-bench: needs a display (DISPLAY is not set)\n");
        return 1;
    }
    if (!dataFile.empty())
        dataFile = fs::absolute(dataFile).string();

    // Silent audio on machines without a sound card, and no SFML chatter in the table.
    setenv("ALSOFT_DRIVERS", "null", 0);
    ks::compat::useNullAudioDevice();
    sf::err().rdbuf(nullptr);

    // A fresh working directory that sees the game folder's files under their own names.
    const ks::tools::TempDir workDir("kestrane-bench");
    if (workDir.path().empty())
    {
        std::fprintf(stderr, "kestrane-bench: cannot make a working directory\n");
        return 1;
    }
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(KS_BENCH_GAME_DIR, error))
        fs::create_symlink(entry.path(), entry.path().filename(), error);

    ks::GameManager& game = ks::GameManager::getInstance();
    game.startUp();
    ks::DisplayManager& display = ks::DisplayManager::getInstance();
    sf::RenderWindow* window = display.getWindow();
    sf::Font font;
    if (window == nullptr || !ks::compat::openFont(font, ks::FONT_FILE_DEFAULT))
    {
        std::fprintf(stderr, "kestrane-bench: no window or no font (is %s built?)\n", KS_BENCH_GAME_DIR);
        return 1;
    }

    std::printf("Kestrane benchmark: SFML %d.%d, median of %d runs, times in milliseconds\n", ks::compat::SFML_MAJOR,
                ks::compat::SFML_MINOR, runs);
    // Other work on the machine stretches every figure: say how busy it was.
    std::printf("load average at the start: %.2f on %u cores\n\n", loadAverage(), std::thread::hardware_concurrency());

    // ---- frames ----
    // Two ways of painting take turns, so that whatever else the machine is doing weighs on
    // both alike. Each turn is a few frames of which only the last is timed: the software
    // renderer is slower for a while after frames drawn the other way (it is still settling
    // their memory), and a game only ever draws one way.
    auto takeTurns = [&](const std::function<void()>& first, const std::function<void()>& second) {
        const int framesPerTurn = 3;
        std::vector<Cost> a, b;
        for (int i = -2; i < runs; i++)
        {
            for (int f = 1; f < framesPerTurn; f++)
                first();
            const Cost ta = timeOnce(first);
            for (int f = 1; f < framesPerTurn; f++)
                second();
            const Cost tb = timeOnce(second);
            if (i >= 0)
            {
                a.push_back(ta);
                b.push_back(tb);
            }
        }
        return std::make_pair(medians(a), medians(b));
    };
    auto byEngine = [&](const std::vector<Cell>& cells) {
        return [&display, &cells] {
            for (const Cell& c : cells)
                display.drawCh(c.position, c.ch, c.color);
            display.swapBuffers();
        };
    };
    auto timeFrames = [&](const char* name, const std::vector<Cell>& cells) {
        TwoDrawPainter painter(&font);
        auto twoDraw = [&] {
            for (const Cell& c : cells)
                painter.draw(*window, c);
            window->display();
            window->clear(ks::WINDOW_BACKGROUND_COLOR_DEFAULT);
        };
        const auto [plain, engine] = takeTurns(twoDraw, byEngine(cells));
        return FrameRow{name, static_cast<int>(cells.size()), plain, engine};
    };
    const std::vector<Cell> gridFrame = ks::reference::gridCells(1920), busyFrame = ks::reference::busyCells(8000, 1);
    std::vector<FrameRow> frames;
    for (int n : {0, 100, 480})
        frames.push_back(timeFrames("grid cells", ks::reference::gridCells(n)));
    frames.push_back(timeFrames("full grid", gridFrame));
    frames.push_back(timeFrames("busy frame", busyFrame));
    const FrameRow& fullGrid = frames[3];
    // The busy frame against the full grid, both by the engine, taking turns with each other
    // (beside the plain way, each also pays for the memory the plain frames left behind).
    const auto [gridAlone, busyAlone] = takeTurns(byEngine(gridFrame), byEngine(busyFrame));
    // Mesa's software renderer allocates its tile bins during a frame and frees them when the
    // frame is shown; glibc hands the freed top of the heap back to the system and faults it in
    // again on the next frame. The game keeps up to 64 MiB of free heap instead (its main).
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    const FrameRow keptHeap = timeFrames("full grid, heap kept", gridFrame);

    // Glyphs beyond ASCII and colours beyond the eight named ones, each against the same full
    // grid of ASCII in named colours; and the game's own frame, in which the input manager takes
    // the window before anything is drawn.
    auto byEngineGlyphs = [&display](const std::vector<Cell>& cells, char32_t first, char32_t count, int colors) {
        return [&display, &cells, first, count, colors] {
            for (std::size_t i = 0; i < cells.size(); i++)
            {
                const auto k = static_cast<unsigned>(i % static_cast<std::size_t>(colors));
                const ks::Rgb rgb{static_cast<std::uint8_t>(k * 37), static_cast<std::uint8_t>(255 - k * 5),
                                  static_cast<std::uint8_t>(k * 101)};
                const char32_t glyph = count > 0 ? first + static_cast<char32_t>(i % count) : char32_t(cells[i].ch);
                if (colors > 8)
                    display.drawGlyph(cells[i].position, glyph, rgb);
                else
                    display.drawGlyph(cells[i].position, glyph, cells[i].color);
            }
            display.swapBuffers();
        };
    };
    const auto [asciiFrame, boxFrame] =
        takeTurns(byEngineGlyphs(gridFrame, 0, 0, 8), byEngineGlyphs(gridFrame, 0x2500, 0xA0, 8));
    const auto [namedFrame, rgbFrame] =
        takeTurns(byEngineGlyphs(gridFrame, 0, 0, 8), byEngineGlyphs(gridFrame, 0, 0, 256));
    const auto [apartFrame, gameFrame] = takeTurns(byEngine(gridFrame), [&] {
        ks::InputManager::getInstance().getInput();
        byEngine(gridFrame)();
    });

    // Scale 2: a window of 2048 x 1536, four times the pixels.
    display.shutDown();
    display.setScale(2);
    display.startUp();
    const auto [gridAt2, busyAt2] = takeTurns(byEngine(gridFrame), byEngine(busyFrame));
    display.shutDown();
    display.setScale(1);
    display.startUp();
    window = display.getWindow();

    std::printf("wall-clock milliseconds (processor milliseconds of all the program's threads)\n\n");
    std::printf("frame: draw + show              two draws/char        engine           two-draw/engine\n");
    for (const FrameRow& r : frames)
        std::printf("  %5d characters, %-10s %8.2f (%7.2f)   %8.2f (%7.2f)   %6.2fx (%5.2fx)\n", r.characters, r.name,
                    r.twoDraw.wall, r.twoDraw.cpu, r.engine.wall, r.engine.cpu, r.twoDraw.wall / r.engine.wall,
                    r.twoDraw.cpu / r.engine.cpu);
    std::printf("  busy frame / full grid, engine, the two taking turns: %.2f (%.2f) / %.2f (%.2f) = %.2fx (%.2fx)\n",
                busyAlone.wall, busyAlone.cpu, gridAlone.wall, gridAlone.cpu, busyAlone.wall / gridAlone.wall,
                busyAlone.cpu / gridAlone.cpu);
    auto ratioRow = [](const char* what, Cost a, Cost b) {
        std::printf("  %s: %.2f (%.2f) / %.2f (%.2f) = %.2fx (%.2fx)\n", what, a.wall, a.cpu, b.wall, b.cpu,
                    a.wall / b.wall, a.cpu / b.cpu);
    };
    ratioRow("box-drawing and block glyphs / ASCII, full grid, engine", boxFrame, asciiFrame);
    ratioRow("256 RGB colours / the eight named ones, full grid, engine", rgbFrame, namedFrame);
    ratioRow("the game's frame (the input manager polls the window first) / the same without", gameFrame, apartFrame);
    ratioRow("scale 2 (2048 x 1536), full grid / scale 1 full grid, engine", gridAt2, gridAlone);
    ratioRow("scale 2, busy frame / full grid, the two taking turns", busyAt2, gridAt2);
    std::printf("  full grid with the heap kept (as the game sets glibc): two draws %.2f (%.2f), engine %.2f (%.2f), "
                "%.2fx (%.2fx); engine %.0f%% faster than without\n",
                keptHeap.twoDraw.wall, keptHeap.twoDraw.cpu, keptHeap.engine.wall, keptHeap.engine.cpu,
                keptHeap.twoDraw.wall / keptHeap.engine.wall, keptHeap.twoDraw.cpu / keptHeap.engine.cpu,
                100 * (fullGrid.engine.wall / keptHeap.engine.wall - 1));

    // ---- world updates ----
    ks::WorldManager& world = ks::WorldManager::getInstance();
    std::vector<WorldRow> updates;
    for (int n : {100, 500, 1000, 2000})
    {
        WorldRow row{n, Cost{}, Cost{}};
        clearWorld();
        populate(n);
        row.update = medianTime(runs, [&] {
            world.update();
        });
        clearWorld();
        populate(n);
        world.setCollisionScan(true);
        row.linear = medianTime(runs, [&] {
            world.update();
        });
        world.setCollisionScan(false);
        updates.push_back(row);
    }
    clearWorld();
    std::printf("\nworld update, PASSABLE movers   engine (grid)       linear scan          linear/engine\n");
    for (const WorldRow& r : updates)
        std::printf("  %5d objects             %8.2f (%7.2f)   %8.2f (%7.2f)   %6.1fx\n", r.objects, r.update.wall,
                    r.update.cpu, r.linear.wall, r.linear.cpu, r.linear.wall / r.update.wall);

    // ---- a heavy game ----
    ks::loadGameResources();
    for (int zombies : {200, 500})
    {
        clearWorld();
        std::srand(1);
        new ks::player;
        new ks::reticle;
        for (int i = 0; i < zombies; i++)
            new ks::zombie;
        int stepCount = 0;
        std::vector<double> total, totalCpu, stepping, input, updating, drawing, showing, characters;
        // Zombies start beyond the edges and walk in: the first steps are not counted.
        for (int i = 0; i < 40 + runs; i++)
        {
            const double cpu = processMilliseconds();
            const Clock::time_point start = Clock::now();
            ks::EventStep step(stepCount++);
            game.onEvent(&step);
            const double a = millisecondsSince(start);
            ks::InputManager::getInstance().getInput();
            const double b = millisecondsSince(start);
            world.update();
            const double c = millisecondsSince(start);
            world.draw();
            const double d = millisecondsSince(start);
            display.swapBuffers();
            const double e = millisecondsSince(start);
            if (i < 40)
                continue;
            total.push_back(e);
            totalCpu.push_back(processMilliseconds() - cpu);
            stepping.push_back(a);
            input.push_back(b - a);
            updating.push_back(c - b);
            drawing.push_back(d - c);
            showing.push_back(e - d);
            characters.push_back(charactersDrawn());
        }
        const double work = median(total);
        std::printf("\ngame loop work, %d zombies (%d objects at the end, %.0f sprite characters a frame)\n", zombies,
                    world.getAllObjects().getCount(), median(characters));
        std::printf("  whole iteration %.2f (%.2f), %.0f%% of the %d ms frame\n", work, median(totalCpu),
                    100 * work / game.getFrameTime(), game.getFrameTime());
        std::printf("  step events %.2f   input %.2f   update %.2f   draw %.2f   show %.2f\n", median(stepping),
                    median(input), median(updating), median(drawing), median(showing));

        // Recording, alone: a second of steps of this game's characters, repeated.
        const int perStep = static_cast<int>(median(characters));
        ks::Recorder recorder;
        ks::RecordingHeader header;
        header.game = "kestrane-bench";
        header.frameTime = header.width = header.height = header.columns = header.rows = 1;
        recorder.open("bench.ksr", header);
        ks::FrameDigest digest;
        const int steps = 30;
        const Cost recording = medianTime(runs, [&] {
            for (int step = 0; step < steps; step++)
            {
                for (int i = 0; i < perStep; i++)
                    digest.add(static_cast<float>(i % 80), static_cast<float>(i / 80 % 24), 'Z', 0xFF00FFFFu);
                for (int key : {ks::Keyboard::W, ks::Keyboard::S, ks::Keyboard::A, ks::Keyboard::D})
                    recorder.keyHeld(key, (step + key) % 7 == 0);
                recorder.endStep(digest.finish());
            }
        });
        recorder.close();
        const double recordingCpu = recording.cpu / steps;
        std::printf("  recording adds %.1f us (%.1f us) a step: %.2f%% of the step's processor time\n",
                    1000 * recording.wall / steps, 1000 * recordingCpu, 100 * recordingCpu / median(totalCpu));
    }

    // ---- a world of 50 screens ----
    // Wall milliseconds of each part, and the processor milliseconds of the update, of the draw
    // and of the whole step (which a busy machine stretches much less than the wall's).
    struct LargeStep
    {
        double step, update, draw, updateCpu, drawCpu, wholeCpu;
    };
    // One step at a time, runs times: the step event, the update, the draw with the frame shown.
    auto largeSteps = [&] {
        std::vector<double> stepping, updating, drawing, updatingCpu, drawingCpu, wholeCpu;
        int stepCount = 0;
        for (int i = 0; i < 3 + runs; i++)
        {
            const double cpu0 = processMilliseconds();
            const Clock::time_point start = Clock::now();
            ks::EventStep step(stepCount++);
            game.onEvent(&step);
            const double a = millisecondsSince(start);
            const double cpu1 = processMilliseconds();
            world.update();
            const double b = millisecondsSince(start);
            const double cpu2 = processMilliseconds();
            world.draw();
            display.swapBuffers();
            const double c = millisecondsSince(start);
            const double cpu3 = processMilliseconds();
            if (i < 3)
                continue;
            stepping.push_back(a);
            updating.push_back(b - a);
            drawing.push_back(c - b);
            updatingCpu.push_back(cpu2 - cpu1);
            drawingCpu.push_back(cpu3 - cpu2);
            wholeCpu.push_back(cpu3 - cpu0);
        }
        return LargeStep{median(stepping),    median(updating),   median(drawing),
                         median(updatingCpu), median(drawingCpu), median(wholeCpu)};
    };
    auto largeWorld = [&](ks::Box bounds, int capacity, int outOfView) {
        world.shutDown();
        world.setCapacity(capacity);
        world.startUp();
        return populateLarge(bounds, 100, outOfView);
    };
    // 50 screens across and 4 down: 20,000 spread evenly leave about 100 to each screen.
    const ks::Box across(ks::Vector(0, 0), 4000, 96);
    largeWorld(across, 20000, 19900);
    const LargeStep crowded = largeSteps();
    const std::vector<ks::Object*> shown = largeWorld(across, 20000, 19900);
    // The view follows one of the objects in it with no slack: it moves whenever the object does.
    world.setViewSlack(0, 0);
    world.setViewFollowing(shown[0]);
    const LargeStep following = largeSteps();
    largeWorld(across, ks::MAX_OBJECTS, 0);
    const LargeStep alone = largeSteps();
    // 50 screens in all, 10 across and 5 down: four times as crowded outside the view.
    largeWorld(ks::Box(ks::Vector(0, 0), 800, 120), 20000, 19900);
    const LargeStep packed = largeSteps();
    world.shutDown();
    world.setCapacity(ks::MAX_OBJECTS);
    world.startUp();
    auto whole = [](const LargeStep& s) {
        return s.step + s.update + s.draw;
    };
    std::printf("\nworld of 50 x 4 screens (4000 x 96 cells), 20,000 moving objects, 100 in view\n");
    std::printf("  one step: step event %.2f + update %.2f (%.2f) + draw and show %.2f (%.2f) = %.2f (%.2f), %.0f%% "
                "(%.0f%%) of the %d ms frame\n",
                crowded.step, crowded.update, crowded.updateCpu, crowded.draw, crowded.drawCpu, whole(crowded),
                crowded.wholeCpu, 100 * whole(crowded) / game.getFrameTime(),
                100 * crowded.wholeCpu / game.getFrameTime(), game.getFrameTime());
    std::printf("  draw and show: %.2f (%.2f) against %.2f (%.2f) with only the 100 in the world: %.2fx (%.2fx)\n",
                crowded.draw, crowded.drawCpu, alone.draw, alone.drawCpu, crowded.draw / alone.draw,
                crowded.drawCpu / alone.drawCpu);
    std::printf("  view following an object: update %.2f (%.2f) against %.2f (%.2f) fixed, %.2fx (%.2fx); draw %.2f "
                "(%.2f) against %.2f (%.2f), %.2fx (%.2fx)\n",
                following.update, following.updateCpu, crowded.update, crowded.updateCpu,
                following.update / crowded.update, following.updateCpu / crowded.updateCpu, following.draw,
                following.drawCpu, crowded.draw, crowded.drawCpu, following.draw / crowded.draw,
                following.drawCpu / crowded.drawCpu);
    std::printf("  the same 20,000 in 10 x 5 screens (800 x 120 cells): one step %.2f (%.2f), update %.2f (%.2f)\n",
                whole(packed), packed.wholeCpu, packed.update, packed.updateCpu);

    std::printf("\nload average at the end: %.2f\n", loadAverage());
    game.shutDown();

    if (!dataFile.empty())
    {
        FILE* out = std::fopen(dataFile.c_str(), "w");
        if (out == nullptr)
        {
            std::fprintf(stderr, "kestrane-bench: cannot write %s\n", dataFile.c_str());
            return 1;
        }
        std::fprintf(out, "# SFML %d.%d; median of %d runs; milliseconds\n", ks::compat::SFML_MAJOR,
                     ks::compat::SFML_MINOR, runs);
        std::fprintf(out, "# block 0: characters (the first n grid cells; 8000: the busy frame), wall ms two-draw and "
                          "engine, processor ms two-draw and engine\n");
        for (const FrameRow& r : frames)
            if (r.characters > 0)
                std::fprintf(out, "%d %.3f %.3f %.3f %.3f\n", r.characters, r.twoDraw.wall, r.engine.wall,
                             r.twoDraw.cpu, r.engine.cpu);
        std::fprintf(out, "\n\n# block 1: objects, wall ms grid and linear scan, processor ms grid and linear scan\n");
        for (const WorldRow& r : updates)
            std::fprintf(out, "%d %.3f %.3f %.3f %.3f\n", r.objects, r.update.wall, r.linear.wall, r.update.cpu,
                         r.linear.cpu);
        std::fclose(out);
    }
    return 0;
}

#include "FrameOverlay.h"

#include "DisplayManager.h"
#include "WorldManager.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace ks {

FrameOverlay::FrameOverlay(int frameTime)
    : frameTime(frameTime),
      times(static_cast<std::size_t>(std::max(1, 1000 / std::max(frameTime, 1))))
{}

void FrameOverlay::toggle()
{
    shown = !shown;
}

bool FrameOverlay::isShown() const
{
    return shown;
}

void FrameOverlay::frameWorked(std::int64_t micros)
{
    times[static_cast<std::size_t>(next)] = micros;
    const int second = static_cast<int>(times.size());
    next = (next + 1) % second;
    recorded = std::min(recorded + 1, second);
}

std::string FrameOverlay::text(int objects, int characters) const
{
    const auto last = times.begin() + recorded;
    const double mean =
        recorded == 0 ? 0
                      : static_cast<double>(std::accumulate(times.begin(), last, std::int64_t{0})) / recorded / 1000.0;
    const double worst = recorded == 0 ? 0 : static_cast<double>(*std::max_element(times.begin(), last)) / 1000.0;
    const int share = static_cast<int>(mean * 100.0 / frameTime + 0.5);
    char line[128];
    std::snprintf(line, sizeof line, "frame %.1f ms mean %.1f ms worst %d%% of %d ms  %d objects  %d chars", mean,
                  worst, share, frameTime, objects, characters);
    return line;
}

void FrameOverlay::draw() const
{
    if (!shown)
        return;
    const DisplayManager& display = DisplayManager::getInstance();
    const std::string line = text(WorldManager::getInstance().getAllObjects().getCount(), display.getCharacterCount());
    // Its figures are the machine's, not the game's: a replay's frames must match without them.
    display.drawUncounted([&] {
        display.drawString(Vector(0, ROW), line, LEFT_JUSTIFIED, YELLOW);
    });
}

} // namespace ks

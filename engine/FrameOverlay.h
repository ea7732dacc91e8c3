/// @file FrameOverlay.h
/// What a frame costs, shown over the game: the working time of the loop's iterations (mean
/// and worst of the last second), the share of the frame time that is, and how many objects
/// and characters the frame holds.
///
/// The game manager owns one while a game has turned its overlay key on
/// (GameManager::setOverlayKey); F3 shows and hides it. Hidden, it draws nothing, so the
/// frame is exactly the game's.
///
///     FrameOverlay overlay(33);
///     overlay.toggle();
///     overlay.frameWorked(4200);  // after each iteration, its working time in microseconds
///     overlay.draw();             // after the world is drawn, before the frame is shown
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

class FrameOverlay
{
public:
    static constexpr int ROW = 23; ///< the grid row it is drawn on

    /// For a loop of frameTime milliseconds an iteration, hidden.
    explicit FrameOverlay(int frameTime);

    /// Shows a hidden overlay, hides a shown one.
    void toggle();
    /// Whether draw() draws anything; false after construction.
    bool isShown() const;

    /// Records the working time of one iteration, in microseconds.
    void frameWorked(std::int64_t micros);

    /// The line shown for a frame of objects and characters, from the last second's times:
    /// "frame 4.2 ms mean 7.9 ms worst 13% of 33 ms  12 objects  1840 chars".
    std::string text(int objects, int characters) const;

    /// When shown, draws text() for the world's objects and the characters drawn so far this
    /// frame on ROW, over whatever is there.
    void draw() const;

private:
    int frameTime;                   // milliseconds
    std::vector<std::int64_t> times; // a second's iterations, microseconds; the first `recorded` hold times
    int next = 0;
    int recorded = 0;
    bool shown = false;
};

} // namespace ks

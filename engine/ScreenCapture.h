/// @file ScreenCapture.h
/// Screenshots and clips of the last seconds, written beside the game without stalling it.
///
/// The game manager owns one while a game has turned its capture keys on
/// (GameManager::setCaptureKeys): F12 asks for a screenshot, F9 for a clip, and the display
/// manager hands every finished frame to frameDrawn() before showing it.
///
/// A clip keeps every CLIP_EVERY-th frame of the last ten seconds (CLIP_FRAMES), at 1/CLIP_SCALE of the
/// window's size each way, as one byte a pixel in a fixed palette: the engine paints every
/// pixel as one of its colours times a glyph's coverage over black, so a hue and a brightness
/// say almost all of it. Ten seconds are then about 20 MB instead of the 900 MB of full RGBA
/// frames. Reading a frame back is the only work left on the game's thread; PNG and GIF
/// files are encoded by a worker thread at low priority, to a hidden name renamed when done.
///
///     ScreenCapture capture(33);
///     capture.requestClip();
///     capture.frameDrawn(window);  // before window.display()
///     capture.reportFinished();    // logs "Clip saved: ..." once the worker is done
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace sf {
class RenderWindow;
}

namespace ks {

class ScreenCapture
{
public:
    static constexpr int CLIP_EVERY = 3;    ///< steps per kept frame: 10 frames a second at 33 ms
    static constexpr int CLIP_FRAMES = 100; ///< frames of a clip: the last 300 steps, 9.9 s at 33 ms
    static constexpr int CLIP_SCALE = 2;    ///< a kept frame is this many times smaller each way
    static constexpr int MAX_PENDING = 3;   ///< captures waiting for the worker before more are refused

    /// The 256 colours of a clip's frames (0xRRGGBB): black, then seven hues in 36 steps.
    static const std::vector<std::uint32_t>& clipPalette();
    /// The palette index nearest to a colour.
    static std::uint8_t clipIndex(std::uint8_t r, std::uint8_t g, std::uint8_t b);

    /// For a loop of frameTime milliseconds an iteration; captures go into folder (the working
    /// directory when empty).
    explicit ScreenCapture(int frameTime, std::string folder = "");
    /// Finishes the captures asked for; their log lines are not written (see finish()).
    ~ScreenCapture();
    ScreenCapture(const ScreenCapture&) = delete;
    ScreenCapture& operator=(const ScreenCapture&) = delete;

    /// The next frame drawn is saved as a PNG of the window's size.
    void requestScreenshot();
    /// The frames kept so far (the last ten seconds) are saved as an animated GIF after the
    /// next frame drawn.
    void requestClip();

    /// A frame is finished in window and about to be shown: kept for clips every CLIP_EVERY
    /// frames, and read for a screenshot asked for.
    void frameDrawn(const sf::RenderWindow& window);

    /// Logs a line for every capture the worker has finished since the last call: the file
    /// saved, or why not.
    void reportFinished();

    /// Waits for every capture asked for, then reports them.
    void finish();

    /// Frames a clip would hold now.
    int keptFrames() const;

private:
    using ClipFrame = std::vector<std::uint8_t>; // clip palette indices, row by row
    using Job = std::function<std::string()>;    // returns the log line

    void readFrame(const sf::RenderWindow& window);
    sf::Image topDownImage() const;
    std::size_t rowAt(unsigned y) const;
    void keep();
    void startClip();
    bool enqueue(Job job);
    std::string newName(const char* extension);
    void work();

    int clipDelay; // hundredths of a second each clip frame is shown
    std::string folder;
    // When OpenGL's reading is not to be had; made on first use, as a texture needs a display
    // and a game without a window (headless) has none.
    std::unique_ptr<sf::Texture> readBack;
    std::vector<std::uint8_t> pixels; // the frame last read, RGBA
    unsigned frameWidth = 0, frameHeight = 0;
    bool bottomUp = false; // pixels' rows are bottom first
    bool screenshotWanted = false;
    bool clipWanted = false;
    long frameCount = 0;
    unsigned clipWidth = 0, clipHeight = 0;
    std::deque<std::shared_ptr<const ClipFrame>> clip;
    std::set<std::string> names; // given out in this run, maybe not written yet

    std::mutex mutex; // guards what follows
    std::condition_variable wake;
    std::deque<Job> jobs;
    int pending = 0; // queued or being written
    std::vector<std::string> done;
    bool stopping = false;
    std::thread worker;
};

} // namespace ks

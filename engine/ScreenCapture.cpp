#include "ScreenCapture.h"

#include "GifWriter.h"
#include "LogManager.h"
#include "SfmlCompat.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

#include <SFML/Window/Context.hpp>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace ks {

namespace {

const int LEVELS = 36; // brightness steps of each hue: 7 hues x 36 and black fill 253 entries

// Written under a hidden name and renamed when complete, so that nobody sees half a file.
std::string hiddenName(const std::string& path)
{
    const std::filesystem::path p(path);
    return (p.parent_path() / ("." + p.filename().string())).string();
}

// glReadPixels, looked up through SFML so that the engine links no OpenGL library itself.
using ReadPixels = void (*)(int, int, int, int, unsigned, unsigned, void*);
const unsigned GL_RGBA_FORMAT = 0x1908;
const unsigned GL_UNSIGNED_BYTE_TYPE = 0x1401;

std::string finishFile(bool written, const std::string& temporary, const std::string& path)
{
    std::error_code error;
    if (written)
        std::filesystem::rename(temporary, path, error);
    if (!written || error)
    {
        std::filesystem::remove(temporary, error);
        return "";
    }
    return path;
}

} // namespace

const std::vector<std::uint32_t>& ScreenCapture::clipPalette()
{
    static const std::vector<std::uint32_t> palette = [] {
        std::vector<std::uint32_t> colors(256, 0);
        for (int hue = 1; hue < 8; hue++)
            for (int level = 1; level <= LEVELS; level++)
            {
                const std::uint32_t v = static_cast<std::uint32_t>(level * 255 / LEVELS);
                colors[static_cast<std::size_t>(1 + (hue - 1) * LEVELS + level - 1)] =
                    (hue & 1 ? v << 16 : 0) | (hue & 2 ? v << 8 : 0) | (hue & 4 ? v : 0);
            }
        return colors;
    }();
    return palette;
}

std::uint8_t ScreenCapture::clipIndex(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    const int top = std::max({r, g, b});
    const int level = (top * LEVELS + 127) / 255;
    if (level == 0)
        return 0;
    // The channels near the brightest one make the hue; a glyph's coverage dims them together.
    const int hue = (2 * r > top ? 1 : 0) | (2 * g > top ? 2 : 0) | (2 * b > top ? 4 : 0);
    return static_cast<std::uint8_t>(1 + (hue - 1) * LEVELS + level - 1);
}

ScreenCapture::ScreenCapture(int frameTime, std::string newFolder)
    // GIF counts in hundredths of a second: 10 for three steps of 33 ms.
    : clipDelay((CLIP_EVERY * frameTime + 5) / 10),
      folder(std::move(newFolder))
{
    worker = std::thread([this] {
        work();
    });
}

ScreenCapture::~ScreenCapture()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    worker.join();
}

void ScreenCapture::requestScreenshot()
{
    screenshotWanted = true;
}

void ScreenCapture::requestClip()
{
    clipWanted = true;
}

void ScreenCapture::frameDrawn(const sf::RenderWindow& window)
{
    const bool keepThis = frameCount++ % CLIP_EVERY == 0;
    if (!keepThis && !screenshotWanted && !clipWanted)
        return;
    if (keepThis || screenshotWanted)
    {
        readFrame(window);
        if (keepThis)
            keep();
        if (screenshotWanted)
        {
            screenshotWanted = false;
            const std::string path = newName("png");
            auto shot = std::make_shared<sf::Image>(topDownImage());
            if (!enqueue([shot, path] {
                    const std::string temporary = hiddenName(path);
                    const std::string saved = finishFile(shot->saveToFile(temporary), temporary, path);
                    return saved.empty() ? "Screenshot not saved: could not write " + path
                                         : "Screenshot saved: " + saved;
                }))
                LogManager::getInstance().writeLog("Screenshot not saved: still writing earlier captures");
        }
    }
    if (clipWanted)
    {
        clipWanted = false;
        startClip();
    }
}

// Reading the back buffer straight into memory takes about 1.3 ms a frame with Mesa's
// software renderer here; through a texture (update, then copyToImage) it took about 10 ms.
// OpenGL gives the rows bottom first.
void ScreenCapture::readFrame(const sf::RenderWindow& window)
{
    static const auto readPixels = reinterpret_cast<ReadPixels>(sf::Context::getFunction("glReadPixels"));
    frameWidth = window.getSize().x;
    frameHeight = window.getSize().y;
    if (readPixels != nullptr)
    {
        pixels.resize(static_cast<std::size_t>(frameWidth) * frameHeight * 4);
        readPixels(0, 0, static_cast<int>(frameWidth), static_cast<int>(frameHeight), GL_RGBA_FORMAT,
                   GL_UNSIGNED_BYTE_TYPE, pixels.data());
        bottomUp = true;
        return;
    }
    if (!readBack)
        readBack = std::make_unique<sf::Texture>();
    const sf::Image image = compat::captureWindow(window, *readBack);
    pixels.assign(image.getPixelsPtr(), image.getPixelsPtr() + static_cast<std::size_t>(frameWidth) * frameHeight * 4);
    bottomUp = false;
}

sf::Image ScreenCapture::topDownImage() const
{
    const std::size_t stride = static_cast<std::size_t>(frameWidth) * 4;
    std::vector<std::uint8_t> rows(pixels.size());
    for (unsigned y = 0; y < frameHeight; y++)
        std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(rowAt(y) * stride), stride,
                    rows.begin() + static_cast<std::ptrdiff_t>(y * stride));
    return compat::makeImage(frameWidth, frameHeight, rows.data());
}

std::size_t ScreenCapture::rowAt(unsigned y) const
{
    return bottomUp ? frameHeight - 1 - y : y;
}

void ScreenCapture::keep()
{
    const unsigned width = frameWidth / CLIP_SCALE;
    const unsigned height = frameHeight / CLIP_SCALE;
    if (width != clipWidth || height != clipHeight)
    {
        // A window of another size starts a new clip.
        clip.clear();
        clipWidth = width;
        clipHeight = height;
    }
    auto frame = std::make_shared<ClipFrame>(static_cast<std::size_t>(width) * height);
    // Each kept pixel is the mean of a CLIP_SCALE x CLIP_SCALE square.
    const std::size_t stride = static_cast<std::size_t>(frameWidth) * 4;
    const int area = CLIP_SCALE * CLIP_SCALE;
    std::uint8_t* out = frame->data();
    for (unsigned y = 0; y < height; y++)
    {
        for (unsigned x = 0; x < width; x++)
        {
            int sum[3] = {0, 0, 0};
            for (int dy = 0; dy < CLIP_SCALE; dy++)
            {
                const std::uint8_t* p = pixels.data() + rowAt(y * CLIP_SCALE + static_cast<unsigned>(dy)) * stride +
                                        std::size_t{x} * CLIP_SCALE * 4;
                for (int dx = 0; dx < CLIP_SCALE; dx++, p += 4)
                {
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                }
            }
            *out++ = clipIndex(static_cast<std::uint8_t>(sum[0] / area), static_cast<std::uint8_t>(sum[1] / area),
                               static_cast<std::uint8_t>(sum[2] / area));
        }
    }
    clip.push_back(std::move(frame));
    if (clip.size() > CLIP_FRAMES)
        clip.pop_front();
}

void ScreenCapture::startClip()
{
    // The frame just drawn is kept first when it is the first, so a clip is never empty. The worker shares the frames;
    // the game goes on keeping new ones.
    std::vector<std::shared_ptr<const ClipFrame>> frames(clip.begin(), clip.end());
    const std::string path = newName("gif");
    const unsigned width = clipWidth, height = clipHeight;
    const int delay = clipDelay;
    const bool queued = enqueue([frames, path, width, height, delay] {
        const std::string temporary = hiddenName(path);
        GifWriter gif;
        bool ok = gif.open(temporary, width, height);
        for (std::size_t i = 0; ok && i < frames.size(); i++)
            ok = gif.addFrame(frames[i]->data(), clipPalette(), delay);
        ok = gif.close() && ok;
        const std::string saved = finishFile(ok, temporary, path);
        if (saved.empty())
            return "Clip not saved: " + (gif.error().empty() ? "could not write " + path : gif.error());
        return "Clip saved: " + saved + " (" + std::to_string(frames.size()) + " frames)";
    });
    if (!queued)
        LogManager::getInstance().writeLog("Clip not saved: still writing earlier captures");
}

bool ScreenCapture::enqueue(Job job)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (pending >= MAX_PENDING)
            return false;
        pending++;
        jobs.push_back(std::move(job));
    }
    wake.notify_all();
    return true;
}

// kestrane-YYYYMMDD-HHMMSS.ext, with -2, -3... when that name is taken.
std::string ScreenCapture::newName(const char* extension)
{
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "kestrane-%Y%m%d-%H%M%S", &local);
    const std::filesystem::path base = std::filesystem::path(folder) / stamp;
    std::string name;
    for (int n = 1;; n++)
    {
        name = base.string() + (n > 1 ? "-" + std::to_string(n) : "") + "." + extension;
        std::error_code error;
        if (names.count(name) == 0 && !std::filesystem::exists(name, error))
            break;
    }
    names.insert(name);
    return name;
}

void ScreenCapture::reportFinished()
{
    std::vector<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (done.empty())
            return;
        lines.swap(done);
    }
    for (const std::string& line : lines)
        LogManager::getInstance().writeLog("%s", line.c_str());
}

void ScreenCapture::finish()
{
    {
        std::unique_lock<std::mutex> lock(mutex);
        wake.wait(lock, [this] {
            return pending == 0;
        });
    }
    reportFinished();
}

int ScreenCapture::keptFrames() const
{
    return static_cast<int>(clip.size());
}

void ScreenCapture::work()
{
    // Encoding gives way to the game's thread on a busy machine.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
    std::unique_lock<std::mutex> lock(mutex);
    for (;;)
    {
        wake.wait(lock, [this] {
            return stopping || !jobs.empty();
        });
        if (jobs.empty())
            return;
        Job job = std::move(jobs.front());
        jobs.pop_front();
        lock.unlock();
        std::string line = job();
        lock.lock();
        done.push_back(std::move(line));
        pending--;
        wake.notify_all();
    }
}

} // namespace ks

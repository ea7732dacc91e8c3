#include "TestSupport.h"

#include "EventKeyboard.h"
#include "EventMouse.h"
#include "Recording.h"
#include "SfmlCompat.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <sys/wait.h>

// Last: Xlib's macros (None, Status, Bool) would clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace ks::test {

void writeFile(const std::string& name, const std::string& bytes)
{
    std::ofstream out(name, std::ios::binary);
    out << bytes;
}

std::string readFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void installFont()
{
    std::filesystem::copy_file(KS_TEST_FONT, "ks-font.ttf", std::filesystem::copy_options::overwrite_existing);
}

std::vector<std::string> logLines()
{
    std::vector<std::string> lines;
    std::ifstream in("Kestrane Log.log", std::ios::binary);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> logMessages()
{
    const std::string prefix = " Message : ";
    std::vector<std::string> messages;
    for (const std::string& line : logLines())
        messages.push_back(line.compare(0, prefix.size(), prefix) == 0 ? line.substr(prefix.size()) : line);
    return messages;
}

ImageDifference compareImages(const sf::Image& a, const sf::Image& b, int tolerance)
{
    ImageDifference d;
    // Every pixel of images of different sizes counts as different, and an empty image (a
    // capture that failed) differs from everything.
    if (a.getSize() != b.getSize() || a.getSize().x == 0 || a.getSize().y == 0)
    {
        d.count = static_cast<int>(std::max(a.getSize().x * a.getSize().y, b.getSize().x * b.getSize().y)) + 1;
        d.largest = 255;
        std::ostringstream out;
        out << "sizes " << a.getSize().x << "x" << a.getSize().y << " against " << b.getSize().x << "x"
            << b.getSize().y;
        d.first = out.str();
        return d;
    }
    for (unsigned y = 0; y < a.getSize().y; y++)
    {
        for (unsigned x = 0; x < a.getSize().x; x++)
        {
            const sf::Color pa = compat::getPixel(a, x, y), pb = compat::getPixel(b, x, y);
            const int most = std::max({std::abs(pa.r - pb.r), std::abs(pa.g - pb.g), std::abs(pa.b - pb.b)});
            d.largest = std::max(d.largest, most);
            if (most <= tolerance || d.count++ > 0)
                continue;
            std::ostringstream out;
            out << "(" << x << ", " << y << ") " << int(pa.r) << "," << int(pa.g) << "," << int(pa.b) << " against "
                << int(pb.r) << "," << int(pb.g) << "," << int(pb.b);
            d.first = out.str();
        }
    }
    return d;
}

int inkedPixels(const sf::Image& image)
{
    int count = 0;
    for (unsigned y = 0; y < image.getSize().y; y++)
        for (unsigned x = 0; x < image.getSize().x; x++)
            count += compat::getPixel(image, x, y) != sf::Color::Black;
    return count;
}

sf::Image shownOnScreen(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return sf::Image();
    XWindowAttributes attributes;
    XImage* image = nullptr;
    if (XGetWindowAttributes(display, window, &attributes) != 0)
        image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    sf::Image shown;
    if (image != nullptr)
    {
        std::vector<std::uint8_t> rgba;
        for (int y = 0; y < attributes.height; y++)
        {
            for (int x = 0; x < attributes.width; x++)
            {
                const unsigned long pixel = XGetPixel(image, x, y);
                rgba.insert(rgba.end(),
                            {std::uint8_t(pixel >> 16), std::uint8_t(pixel >> 8), std::uint8_t(pixel), 255});
            }
        }
        shown = compat::makeImage(unsigned(attributes.width), unsigned(attributes.height), rgba.data());
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return shown;
}

void linkGameFolder(bool withData)
{
    for (const auto& entry : std::filesystem::directory_iterator(KS_GAME_DIR))
        if (entry.path().filename() == "kestrane" || (withData && entry.path().extension() != ".log"))
            std::filesystem::create_symlink(entry.path(), entry.path().filename());
}

int runGame(const std::string& args, bool windowed)
{
    const std::string command = std::string(windowed ? "" : "env -u DISPLAY ") + "ALSOFT_DRIVERS=null ./kestrane " +
                                args + " > output.txt 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string scriptedRecording(const std::string& game, int steps, bool cut)
{
    RecordingHeader header;
    header.game = game;
    header.seed = 1;
    header.frameTime = 33;
    header.width = 1024;
    header.height = 768;
    header.columns = 80;
    header.rows = 24;
    using I = RecordedInput;
    // step, input: a game started, a walk right and up, shots at two places, a reload.
    const std::vector<std::pair<int, I>> script = {
        {20, {I::KEY, Keyboard::SPACE, KEY_PRESSED}}, {22, {I::KEY, Keyboard::SPACE, KEY_RELEASED}},
        {40, {I::MOUSE_MOVED, -1, 0, 700, 500}},      {50, {I::KEY_HELD, Keyboard::D, 1}},
        {60, {I::MOUSE_CLICKED, Mouse::LEFT}},        {70, {I::MOUSE_CLICKED, Mouse::LEFT}},
        {80, {I::KEY_HELD, Keyboard::D, 0}},          {90, {I::MOUSE_CLICKED, Mouse::RIGHT}},
        {100, {I::KEY_HELD, Keyboard::W, 1}},         {100, {I::KEY_HELD, Keyboard::A, 1}},
        {130, {I::KEY_HELD, Keyboard::W, 0}},         {140, {I::MOUSE_MOVED, -1, 0, 100, 120}},
        {150, {I::KEY_HELD, Keyboard::A, 0}},         {160, {I::MOUSE_CLICKED, Mouse::LEFT}},
        {170, {I::MOUSE_CLICKED, Mouse::LEFT}},       {200, {I::KEY_HELD, Keyboard::S, 1}},
        {230, {I::KEY_HELD, Keyboard::S, 0}},         {240, {I::MOUSE_MOVED, -1, 0, 900, 60}},
        {250, {I::MOUSE_CLICKED, Mouse::LEFT}},
    };
    // Blocks of 100 steps, as a game writes about every three seconds.
    std::string file = Recording::encodeStart(header), records;
    size_t next = 0;
    for (int step = 0; step < steps; step++)
    {
        for (; next < script.size() && script[next].first == step; next++)
            Recording::encodeInput(records, script[next].second);
        Recording::encodeFrame(records, 0);
        if (step + 1 == steps && !cut)
            Recording::encodeEnd(records, static_cast<uint32_t>(steps));
        if ((step + 1) % 100 == 0 || step + 1 == steps)
            file += Recording::encodeBlock(records), records.clear();
    }
    if (cut)
        file.resize(file.size() - 3);
    return file;
}

} // namespace ks::test

#include "GameRun.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "SfmlCompat.h"

// Xlib last: its macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace ks::e2e {

namespace {

// Xlib's own handler ends the process, and our window can vanish between two requests when
// the game quits: a failed request yields no picture instead.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

Display* display()
{
    static Display* connection = nullptr;
    const auto deadline = Clock::now() + Millis(10000);
    while (connection == nullptr && (connection = XOpenDisplay(nullptr)) == nullptr && Clock::now() < deadline)
        std::this_thread::sleep_for(Millis(50));
    XSetErrorHandler(ignoreXError);
    return connection;
}

} // namespace

int shell(const std::string& command, int limitSeconds)
{
    // -k: a tool that ignores SIGTERM is killed two seconds later.
    const int raw = std::system(("timeout -k 2 " + std::to_string(limitSeconds) + " " + command).c_str());
    return raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool holdDisplay()
{
    return display() != nullptr;
}

std::vector<unsigned long> kestraneWindows()
{
    std::vector<unsigned long> ids;
    FILE* found = popen("timeout -k 2 10 xdotool search --onlyvisible --classname '^kestrane$' 2>/dev/null", "r");
    for (unsigned long id; found != nullptr && display() != nullptr && std::fscanf(found, "%lu", &id) == 1;)
    {
        char* title = nullptr;
        if (XFetchName(display(), id, &title) != 0 && title != nullptr && std::string(title) == "Kestrane")
            ids.push_back(id);
        if (title != nullptr)
            XFree(title);
    }
    if (found != nullptr)
        pclose(found);
    return ids;
}

sf::Image GameRun::screenshot(const std::string& name)
{
    // Read from the server rather than by a screenshot tool: quicker, which matters on a busy
    // machine where every capture slows the game down too.
    Display* x = display();
    XImage* shot = nullptr;
    XWindowAttributes at{};
    if (x != nullptr && window != 0)
    {
        // Without a compositor the picture is what the screen shows: ours goes on top first.
        XRaiseWindow(x, window);
        XSync(x, False);
        if (XGetWindowAttributes(x, window, &at) != 0)
            shot = XGetImage(x, window, 0, 0, unsigned(at.width), unsigned(at.height), AllPlanes, ZPixmap);
    }
    if (shot == nullptr)
    {
        if (!toldCaptureFailure) // once: a test seeing only blank pictures needs to know why
            std::cerr << "screenshot of window " << window << " failed" << std::endl;
        toldCaptureFailure = true;
        return {};
    }
    auto channel = [](unsigned long pixel, unsigned long mask) {
        const int shift = mask == 0 ? 0 : __builtin_ctzl(mask);
        return std::uint8_t(mask == 0 ? 0 : ((pixel & mask) >> shift) * 255 / (mask >> shift));
    };
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < at.height; ++y)
        for (int x = 0; x < at.width; ++x)
        {
            const unsigned long pixel = XGetPixel(shot, x, y);
            rgba.insert(rgba.end(), {channel(pixel, shot->red_mask), channel(pixel, shot->green_mask),
                                     channel(pixel, shot->blue_mask), 255});
        }
    XDestroyImage(shot);
    sf::Image image = compat::makeImage(unsigned(at.width), unsigned(at.height), rgba.data());
    // Writing a PNG takes longer than taking the picture: they wait in memory for a failure.
    if (shots.size() == 24)
        shots.erase(shots.begin());
    shots.emplace_back(name, image);
    return image;
}

} // namespace ks::e2e

// render: frames painted by the engine's DisplayManager, read back from its window.
#include "SpriteTool.h"

#include "DisplayManager.h"
#include "Picture.h"
#include "SfmlCompat.h"
#include "Sprite.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <ostream>

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ks::spritetool {

namespace {

// Frames on a PNG sheet are this many pixels apart, on this grey, so that their black
// margins do not run together.
const unsigned SHEET_GAP = 4;
const std::uint8_t SHEET_GREY = 64;

pid_t privateServer = -1;

void stopPrivateServer()
{
    if (privateServer > 0)
    {
        kill(privateServer, SIGTERM);
        waitpid(privateServer, nullptr, 0);
        privateServer = -1;
    }
}

bool displayAnswers()
{
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0')
        return false;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    XCloseDisplay(display);
    return true;
}

// DISPLAY when an X server answers there; otherwise a private Xvfb, which stays up until the
// program exits: SFML keeps its connection to the server until its own statics go, and the
// server is stopped only after them (the exit handler is registered before SFML's first
// window).
bool ensureDisplay(std::ostream& err)
{
    if (privateServer > 0 || displayAnswers())
        return true;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0)
    {
        prctl(PR_SET_PDEATHSIG, SIGTERM); // no orphaned server if this program is killed
        const int quiet = open("/dev/null", O_RDWR);
        dup2(quiet, STDIN_FILENO);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        fcntl(fds[1], F_SETFD, 0);
        const std::string fd = std::to_string(fds[1]);
        // -noreset: the server must not reset (and refuse connections) when no client is left.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    if (child > 0)
    {
        privateServer = child;
        std::atexit(stopPrivateServer);
        // Xvfb writes its display number and a line feed once it accepts connections.
        pollfd in = {fds[0], POLLIN, 0};
        char c;
        while (poll(&in, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
    }
    close(fds[0]);
    if (number.empty())
    {
        stopPrivateServer();
        err << "kestrane-sprite: no X display answers and Xvfb did not start (the Debian package is xvfb)\n";
        return false;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

// One frame as the game paints it, with the top-left cell at column 1, row 1, cut out of the
// window with half a cell of margin (the black box of a cell reaches a little left of it and
// below it).
Picture paintFrame(const Sprite& sprite, int index, DisplayManager& display)
{
    const float cellWidth = display.charWidth(), cellHeight = display.charHeight();
    sprite.draw(index + 1,
                Vector(static_cast<float>(1 + sprite.getWidth() / 2), static_cast<float>(1 + sprite.getHeight() / 2)));
    // getWindow paints what drawCh recorded, so the capture holds the frame before it is shown.
    const sf::Image shot = compat::captureWindow(*display.getWindow());
    display.swapBuffers();

    const unsigned left = static_cast<unsigned>(cellWidth / 2), top = static_cast<unsigned>(cellHeight / 2);
    const unsigned right = std::min(
        static_cast<unsigned>(cellWidth * static_cast<float>(sprite.getWidth() + 1) + cellWidth / 2), shot.getSize().x);
    const unsigned bottom =
        std::min(static_cast<unsigned>(cellHeight * static_cast<float>(sprite.getHeight() + 1) + cellHeight / 2),
                 shot.getSize().y);
    Picture picture(right - left, bottom - top, 0, 0, 0);
    const std::uint8_t* pixels = shot.getPixelsPtr();
    for (unsigned y = 0; y < picture.height; y++)
        std::copy_n(pixels + (static_cast<std::size_t>(y + top) * shot.getSize().x + left) * 4, picture.width * 4,
                    picture.rgba.begin() + static_cast<std::ptrdiff_t>(y) * picture.width * 4);
    return picture;
}

// Rows of frames, one row per strip, SHEET_GAP apart.
Picture sheet(const std::vector<std::vector<Picture>>& strips)
{
    unsigned width = 0, height = SHEET_GAP;
    for (const std::vector<Picture>& strip : strips)
    {
        unsigned rowWidth = SHEET_GAP, rowHeight = 0;
        for (const Picture& frame : strip)
        {
            rowWidth += frame.width + SHEET_GAP;
            rowHeight = std::max(rowHeight, frame.height);
        }
        width = std::max(width, rowWidth);
        height += rowHeight + SHEET_GAP;
    }
    Picture result(width, height, SHEET_GREY, SHEET_GREY, SHEET_GREY);
    unsigned y = SHEET_GAP;
    for (const std::vector<Picture>& strip : strips)
    {
        unsigned x = SHEET_GAP, rowHeight = 0;
        for (const Picture& frame : strip)
        {
            result.paste(frame, x, y);
            x += frame.width + SHEET_GAP;
            rowHeight = std::max(rowHeight, frame.height);
        }
        y += rowHeight + SHEET_GAP;
    }
    return result;
}

bool writePng(const std::string& filename, const Picture& picture)
{
    return compat::makeImage(picture.width, picture.height, picture.rgba.data()).saveToFile(filename);
}

} // namespace

int render(const std::vector<std::string>& files, const std::string& output, std::ostream& err, bool utf8)
{
    std::string extension = std::filesystem::path(output).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) {
        return static_cast<char>(std::tolower(c));
    });
    const bool gif = extension == ".gif";
    if ((!gif && extension != ".png") || files.empty() || (gif && files.size() != 1))
    {
        err << "kestrane-sprite: render writes FILE... to a .png, or one FILE to a .gif\n";
        return 1;
    }

    Workspace workspace(utf8);
    const std::string target = workspace.resolve(output);
    std::vector<std::string> messages;
    for (const std::string& file : files)
    {
        const Sprite* sprite = workspace.load(file, messages);
        if (sprite == nullptr)
        {
            notLoaded(file, messages, err, utf8);
            return 1;
        }
        if (sprite->getFrameCount() == 0)
        {
            err << file << ": no frames to render\n";
            return 1;
        }
    }
    if (!workspace.linkFont())
    {
        err << "kestrane-sprite: no font found at " << KS_SPRITE_FONT << " or " << KS_SPRITE_FALLBACK_FONT << '\n';
        return 1;
    }
    if (!ensureDisplay(err))
        return 1;

    DisplayManager& display = DisplayManager::getInstance();
    if (display.startUp() != 0)
    {
        err << "kestrane-sprite: the display did not start\n";
        for (const std::string& message : workspace.newLogMessages())
            err << "  " << printable(message) << '\n';
        display.shutDown();
        return 1;
    }
    display.swapBuffers(); // a cleared surface to paint the first frame on

    std::vector<std::vector<Picture>> strips;
    std::vector<int> delays;
    for (const std::string& file : files)
    {
        const Sprite* sprite = workspace.load(file, messages);
        if (sprite->getWidth() + 2 > display.getHorizontalPixels() / static_cast<int>(display.charWidth()) ||
            sprite->getHeight() + 2 > display.getVertical())
            err << file << ": frames larger than the window are cut at its edge\n";
        // An animation that never moves on shows its first frame only.
        const int millis = frameMillis(sprite->getSlowdown());
        const int frames = gif && millis < 0 ? 1 : sprite->getFrameCount();
        strips.emplace_back();
        for (int f = 0; f < frames; f++)
        {
            strips.back().push_back(paintFrame(*sprite, f, display));
            delays.push_back(millis < 0 ? 0 : (millis + 5) / 10);
        }
    }
    display.shutDown();

    const bool written = gif ? writeGif(target, strips[0], delays) : writePng(target, sheet(strips));
    if (!written)
    {
        err << "kestrane-sprite: cannot write " << output << '\n';
        return 1;
    }
    return 0;
}

} // namespace ks::spritetool

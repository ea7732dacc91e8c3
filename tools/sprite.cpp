// kestrane-sprite: checks, shows and pictures sprite files with the engine's own loader and
// renderer, so that what it says and shows is what a game gets.
#include "SfmlCompat.h"
#include "SpriteTool.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

const char* const USAGE = "usage: kestrane-sprite check [--utf8] FILE...\n"
                          "       kestrane-sprite show [--utf8] FILE [--play | --watch]\n"
                          "       kestrane-sprite render [--utf8] FILE... -o OUT.png\n"
                          "       kestrane-sprite render [--utf8] FILE -o OUT.gif\n"
                          "check: loads each file as a game does and says what it holds, or the engine's reason\n"
                          "  why not; exit status 1 when any does not load. show: the frames in the terminal,\n"
                          "  --play animates them at the sprite's speed until a key, --watch shows them again\n"
                          "  whenever the file is saved, until Ctrl-C. render: the frames as the\n"
                          "  game paints them, a row of frames per file (PNG) or the animation (GIF).\n"
                          "--utf8: the files are UTF-8 art (box drawing, blocks, arrows...), read as\n"
                          "  ResourceManager::loadUtf8Sprite reads them: row lengths count characters, not bytes.\n";

int usage()
{
    std::cerr << USAGE;
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Nothing here plays sound, and SFML's notes (about vertical sync on a virtual display,
    // say) are not the user's business.
    setenv("ALSOFT_DRIVERS", "null", 0);
    ks::compat::useNullAudioDevice();
    sf::err().rdbuf(nullptr);

    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h")
        return args.empty() ? usage() : (std::cout << USAGE, 0);
    const std::string command = args[0];
    args.erase(args.begin());
    const auto utf8Option = std::find(args.begin(), args.end(), "--utf8");
    const bool utf8 = utf8Option != args.end();
    if (utf8)
        args.erase(utf8Option);

    if (command == "check" && !args.empty())
        return ks::spritetool::check(args, std::cout, utf8);
    if (command == "show")
    {
        const auto play = std::find(args.begin(), args.end(), "--play");
        const bool playing = play != args.end();
        if (playing)
            args.erase(play);
        const auto watch = std::find(args.begin(), args.end(), "--watch");
        const bool watching = watch != args.end();
        if (watching)
            args.erase(watch);
        if (args.size() != 1 || (playing && watching))
            return usage();
        if (playing)
            return ks::spritetool::play(args[0], std::cerr, utf8);
        if (watching)
            // A look at the file four times a second, until Ctrl-C.
            return ks::spritetool::watch(
                args[0], isatty(STDOUT_FILENO) != 0, std::cout, std::cerr,
                [] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(250));
                    return true;
                },
                utf8);
        return ks::spritetool::show(args[0], isatty(STDOUT_FILENO) != 0, std::cout, std::cerr, utf8);
    }
    if (command == "render")
    {
        std::vector<std::string> files;
        std::string output;
        for (std::size_t i = 0; i < args.size(); i++)
        {
            if (args[i] == "-o" && i + 1 < args.size())
                output = args[++i];
            else
                files.push_back(args[i]);
        }
        if (output.empty() || files.empty())
            return usage();
        return ks::spritetool::render(files, output, std::cerr, utf8);
    }
    return usage();
}

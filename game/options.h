// The game's command line: one table row per option (name, argument, help text), so that
// --help, the parser and the manual page list the same options. No arguments leave every
// field at its default, which is the game as it always was.
//
//     options opts;
//     std::string error;
//     if (parseOptions(argc, argv, opts, error) == -1) { print error; exit 2; }
#pragma once

#include <string>

namespace ks {

// What the command line asked for.
struct options
{
    std::string recordFile;  ///< record the session into this file; empty: no recording
    std::string replayFile;  ///< replay this recording; empty: live input only
    bool replayExit = false; ///< quit at the end of the replay instead of going on live
    bool fast = false;       ///< no sleeping between steps during a replay
    bool headless = false;   ///< no window (a replay that quits at its end)
    float scale = 1;         ///< window, cells and glyphs scaled by this
    bool fullscreen = false; ///< start in fullscreen
    bool watch = false;      ///< sprite files saved while the game runs are loaded again
    bool help = false;       ///< print the options and exit
};

// One row of the option table. An option without an argument names the flag it sets; one with
// an argument has apply() store its value into the options, returning false with a message in
// error when the value is bad.
struct OptionRow
{
    const char* name;     ///< "--record"
    const char* argument; ///< "FILE", or nullptr for an option without an argument
    const char* help;     ///< one line for --help
    bool (*apply)(options& opts, const std::string& value, std::string& error);
    bool options::*flag = nullptr; ///< set to true instead, for an option without an argument
};

// The option table, in the order --help lists it.
const OptionRow* optionTable(int& count);

// Parses argv[1..argc-1] into opts; "--name VALUE" and "--name=VALUE" both work. 0 on
// success; -1 with a one-line message in error for an unknown option, a missing or bad
// value, an option given twice or options that do not go together.
int parseOptions(int argc, const char* const* argv, options& opts, std::string& error);

// The usage text that --help prints: a synopsis line and one line per table row.
std::string optionsHelp();

} // namespace ks

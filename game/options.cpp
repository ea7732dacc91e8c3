#include "options.h"

#include "DisplayManager.h"

#include <cstdlib>
#include <set>

namespace ks {
namespace {

bool setFile(std::string& field, const char* name, const std::string& value, std::string& error)
{
    if (value.empty())
    {
        error = std::string(name) + " needs a file name";
        return false;
    }
    field = value;
    return true;
}

// A number from WINDOW_SCALE_MIN to WINDOW_SCALE_MAX, all of the value.
bool setScale(float& field, const std::string& value, std::string& error)
{
    char* end = nullptr;
    const float scale = std::strtof(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !(scale >= WINDOW_SCALE_MIN && scale <= WINDOW_SCALE_MAX))
    {
        error = "--scale needs a number from " + std::to_string(WINDOW_SCALE_MIN).substr(0, 4) + " to " +
                std::to_string(static_cast<int>(WINDOW_SCALE_MAX)) + ", not '" + value + "'";
        return false;
    }
    field = scale;
    return true;
}

const OptionRow OPTION_TABLE[] = {
    {"--record", "FILE", "record the session (every input, the random seed) into FILE",
     [](options& o, const std::string& v, std::string& e) {
         return setFile(o.recordFile, "--record", v, e);
     }},
    {"--replay", "FILE", "replay the session recorded in FILE, then go on live",
     [](options& o, const std::string& v, std::string& e) {
         return setFile(o.replayFile, "--replay", v, e);
     }},
    {"--replay-exit", nullptr, "quit when the replay ends instead of going on live", nullptr, &options::replayExit},
    {"--fast", nullptr, "replay as fast as the machine can (no waiting between steps)", nullptr, &options::fast},
    {"--headless", nullptr, "with --replay: no window and no display at all; quit when the replay ends", nullptr,
     &options::headless},
    {"--scale", "S", "draw the window, cells and glyphs S times as large (2: 2048 x 1536; 1.5 works too)",
     [](options& o, const std::string& v, std::string& e) {
         return setScale(o.scale, v, e);
     }},
    {"--fullscreen", nullptr, "start in fullscreen (F11 or Alt+Enter switches back and forth)", nullptr,
     &options::fullscreen},
    {"--watch", nullptr, "load a sprite file again whenever it is saved while the game runs", nullptr, &options::watch},
    {"--help", nullptr, "print these options and exit", nullptr, &options::help},
};

const OptionRow* findOption(const std::string& name)
{
    for (const OptionRow& row : OPTION_TABLE)
        if (name == row.name)
            return &row;
    return nullptr;
}

} // namespace

const OptionRow* optionTable(int& count)
{
    count = static_cast<int>(sizeof OPTION_TABLE / sizeof OPTION_TABLE[0]);
    return OPTION_TABLE;
}

int parseOptions(int argc, const char* const* argv, options& opts, std::string& error)
{
    std::set<std::string> seen;
    for (int i = 1; i < argc; i++)
    {
        std::string word = argv[i];
        std::string value;
        bool inlineValue = false;
        const std::string::size_type equals = word.find('=');
        if (word.compare(0, 2, "--") == 0 && equals != std::string::npos)
        {
            value = word.substr(equals + 1);
            word.erase(equals);
            inlineValue = true;
        }
        const OptionRow* row = findOption(word);
        if (row == nullptr)
        {
            error = "unknown option '" + word + "' (try --help)";
            return -1;
        }
        if (!seen.insert(row->name).second)
        {
            error = std::string(row->name) + " given twice";
            return -1;
        }
        if (row->argument == nullptr && inlineValue)
        {
            error = std::string(row->name) + " takes no value";
            return -1;
        }
        if (row->argument != nullptr && !inlineValue)
        {
            if (i + 1 >= argc)
            {
                error = std::string(row->name) + " needs " + row->argument;
                return -1;
            }
            value = argv[++i];
        }
        if (row->flag != nullptr)
            opts.*(row->flag) = true;
        else if (!row->apply(opts, value, error))
            return -1;
    }
    for (const char* needsReplay : {"--replay-exit", "--fast", "--headless"})
        if (opts.replayFile.empty() && seen.count(needsReplay) != 0)
        {
            error = std::string(needsReplay) + " needs --replay FILE";
            return -1;
        }
    return 0;
}

std::string optionsHelp()
{
    std::string text = "usage: kestrane [OPTION]...\nTop-down zombie shooter in coloured text art.\n\n";
    for (const OptionRow& row : OPTION_TABLE)
    {
        std::string left = std::string("  ") + row.name + (row.argument ? std::string(" ") + row.argument : "");
        left.resize(left.size() < 22 ? 22 : left.size() + 1, ' ');
        text += left + row.help + "\n";
    }
    return text;
}

} // namespace ks

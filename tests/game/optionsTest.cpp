// The game's command line: what each word does, and every way to get it wrong.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "options.h"

namespace ks::test {
namespace {

struct Parsed
{
    int result;
    options opts;
    std::string error;
};

Parsed parse(std::vector<const char*> words)
{
    words.insert(words.begin(), "kestrane");
    Parsed p;
    p.result = parseOptions(static_cast<int>(words.size()), words.data(), p.opts, p.error);
    return p;
}

TEST(optionsTest, GoodCommandLinesSetTheirFields)
{
    struct Case
    {
        std::vector<const char*> words;
        std::string record, replay;
        bool replayExit, fast, help;
        bool watch = false;
    } cases[] = {
        {{}, "", "", false, false, false},
        {{"--record", "a.ksr"}, "a.ksr", "", false, false, false},
        {{"--record=a.ksr"}, "a.ksr", "", false, false, false},
        {{"--replay", "b", "--replay-exit", "--fast"}, "", "b", true, true, false},
        {{"--fast", "--replay=--odd"}, "", "--odd", false, true, false},
        {{"--replay", "b", "--record", "c"}, "c", "b", false, false, false},
        {{"--help"}, "", "", false, false, true},
        {{"--watch", "--replay", "b"}, "", "b", false, false, false, true},
    };
    for (const Case& c : cases)
    {
        const Parsed p = parse(c.words);
        SCOPED_TRACE(c.words.empty() ? "(none)" : c.words[0]);
        EXPECT_EQ(p.result, 0) << p.error;
        EXPECT_EQ(p.opts.recordFile, c.record);
        EXPECT_EQ(p.opts.replayFile, c.replay);
        EXPECT_EQ(p.opts.replayExit, c.replayExit);
        EXPECT_EQ(p.opts.fast, c.fast);
        EXPECT_EQ(p.opts.help, c.help);
        EXPECT_EQ(p.opts.watch, c.watch);
    }
    // {words, scale, fullscreen}
    const std::tuple<std::vector<const char*>, float, bool> display[] = {
        {{}, 1, false}, {{"--scale", "1.5"}, 1.5f, false}, {{"--scale=2", "--fullscreen"}, 2, true}};
    for (const auto& [words, scale, fullscreen] : display)
    {
        const Parsed p = parse(words);
        EXPECT_EQ(p.result, 0) << p.error;
        EXPECT_EQ(p.opts.scale, scale);
        EXPECT_EQ(p.opts.fullscreen, fullscreen);
    }
}

TEST(optionsTest, BadCommandLinesFailWithOneMessage)
{
    struct Case
    {
        std::vector<const char*> words;
        std::string error;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus' (try --help)"},
        {{"record"}, "unknown option 'record' (try --help)"},
        {{"-h"}, "unknown option '-h' (try --help)"},
        {{"--record"}, "--record needs FILE"},
        {{"--record="}, "--record needs a file name"},
        {{"--replay", ""}, "--replay needs a file name"},
        {{"--fast=yes"}, "--fast takes no value"},
        {{"--watch=yes"}, "--watch takes no value"},
        {{"--record", "a", "--record", "b"}, "--record given twice"},
        {{"--fast"}, "--fast needs --replay FILE"},
        {{"--replay-exit"}, "--replay-exit needs --replay FILE"},
        {{"--record", "a", "--headless"}, "--headless needs --replay FILE"},
        {{"--scale", "0"}, "--scale needs a number from 0.25 to 8, not '0'"},
        {{"--scale=2x"}, "--scale needs a number from 0.25 to 8, not '2x'"},
        {{"--scale", "9"}, "--scale needs a number from 0.25 to 8, not '9'"},
        {{"--scale", "nan"}, "--scale needs a number from 0.25 to 8, not 'nan'"},
        {{"--fullscreen=1"}, "--fullscreen takes no value"},
    };
    for (const Case& c : cases)
    {
        const Parsed p = parse(c.words);
        EXPECT_EQ(p.result, -1) << c.words[0];
        EXPECT_EQ(p.error, c.error);
    }
}

TEST(optionsTest, HelpListsEveryRowOfTheTable)
{
    int count = 0;
    const OptionRow* rows = optionTable(count);
    const std::string help = optionsHelp();
    for (int i = 0; i < count; i++)
    {
        EXPECT_NE(help.find(rows[i].name), std::string::npos) << rows[i].name;
        EXPECT_NE(help.find(rows[i].help), std::string::npos) << rows[i].name;
    }
}

} // namespace
} // namespace ks::test

// libFuzzer target: every input is written out as a sprite file and loaded; any broken
// promise of the loader aborts with a description, so libFuzzer keeps the input.
#include "SpriteLoaderOracle.h"

#include "SfmlCompat.h"
#include "TempDir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

// The loader reads and the log writes in the working directory: they get a scratch directory
// of their own, entered only around each load so that libFuzzer's own paths (corpus,
// artifacts) stay relative to where it was started.
std::unique_ptr<ks::tools::TempDir> scratch;
std::string home;

void enter(const std::string& dir)
{
    if (chdir(dir.c_str()) != 0)
    {
        std::perror(dir.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    home = std::filesystem::current_path().string();
    scratch = std::make_unique<ks::tools::TempDir>("kestrane-fuzz"); // removed at exit
    if (scratch->path().empty())
    {
        std::perror("kestrane fuzz: scratch directory");
        std::abort();
    }
    ks::compat::useNullAudioDevice();
    ks::fuzz::prepareLoader();
    enter(home);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    enter(scratch->path());
    std::string broken = ks::fuzz::checkSpriteBytes(std::string(reinterpret_cast<const char*>(data), size));
    enter(home);
    if (!broken.empty())
    {
        std::fprintf(stderr, "sprite loader broke a promise: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

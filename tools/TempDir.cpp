#include "TempDir.h"

#include <filesystem>
#include <system_error>

#include <stdlib.h>

namespace fs = std::filesystem;

namespace ks::tools {

TempDir::TempDir(const std::string& prefix)
{
    std::error_code ec;
    previous = fs::current_path(ec).string();
    std::string pattern = (fs::temp_directory_path(ec) / (prefix + "-XXXXXX")).string();
    if (ec || mkdtemp(pattern.data()) == nullptr)
        return;
    fs::current_path(pattern, ec);
    if (ec)
        fs::remove(pattern, ec);
    else
        dir = pattern;
}

TempDir::~TempDir()
{
    if (dir.empty())
        return;
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(dir, ignored);
}

} // namespace ks::tools

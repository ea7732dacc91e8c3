// A fresh directory under the system's temporary one, made the working directory for the
// life of the object; then the previous working directory is restored and the directory
// removed. The demo and the tests work in one.
#pragma once

#include <string>

namespace ks::tools {

class TempDir
{
public:
    explicit TempDir(const std::string& prefix = "kestrane");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Empty if no directory could be made or entered; the working directory is then unchanged.
    const std::string& path() const
    {
        return dir;
    }

    // The working directory before this one.
    const std::string& previousPath() const
    {
        return previous;
    }

private:
    std::string dir;
    std::string previous;
};

} // namespace ks::tools

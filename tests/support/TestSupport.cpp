#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace ks::test {

TempDir::TempDir()
{
    previous = fs::current_path().string();
    std::string pattern = (fs::temp_directory_path() / "kestrane-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (made == nullptr)
        throw std::runtime_error("mkdtemp failed");
    dir = made;
    fs::current_path(dir);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(dir, ignored);
}

void writeFile(const std::string& name, const std::string& bytes)
{
    std::ofstream out(name, std::ios::binary);
    out << bytes;
}

void installFont()
{
    fs::copy_file(KS_TEST_FONT, "ks-font.ttf", fs::copy_options::overwrite_existing);
}

std::vector<std::string> logLines()
{
    std::vector<std::string> lines;
    std::ifstream in("Kestrane Log.log", std::ios::binary);
    std::string line;
    while (std::getline(in, line))
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

} // namespace ks::test

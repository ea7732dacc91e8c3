#include "TestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace ks::test {

void writeFile(const std::string& name, const std::string& bytes)
{
    std::ofstream out(name, std::ios::binary);
    out << bytes;
}

std::string readFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void installFont()
{
    std::filesystem::copy_file(KS_TEST_FONT, "ks-font.ttf", std::filesystem::copy_options::overwrite_existing);
}

std::vector<std::string> logLines()
{
    std::vector<std::string> lines;
    std::ifstream in("Kestrane Log.log", std::ios::binary);
    for (std::string line; std::getline(in, line);)
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

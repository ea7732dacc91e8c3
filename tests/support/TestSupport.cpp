#include "TestSupport.h"

#include "SfmlCompat.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

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

ImageDifference compareImages(const sf::Image& a, const sf::Image& b, int tolerance)
{
    ImageDifference d;
    for (unsigned y = 0; y < a.getSize().y; y++)
    {
        for (unsigned x = 0; x < a.getSize().x; x++)
        {
            const sf::Color pa = compat::getPixel(a, x, y), pb = compat::getPixel(b, x, y);
            const int most = std::max({std::abs(pa.r - pb.r), std::abs(pa.g - pb.g), std::abs(pa.b - pb.b)});
            d.largest = std::max(d.largest, most);
            if (most <= tolerance || d.count++ > 0)
                continue;
            std::ostringstream out;
            out << "(" << x << ", " << y << ") " << int(pa.r) << "," << int(pa.g) << "," << int(pa.b) << " against "
                << int(pb.r) << "," << int(pb.g) << "," << int(pb.b);
            d.first = out.str();
        }
    }
    return d;
}

int inkedPixels(const sf::Image& image)
{
    int count = 0;
    for (unsigned y = 0; y < image.getSize().y; y++)
        for (unsigned x = 0; x < image.getSize().x; x++)
            count += compat::getPixel(image, x, y) != sf::Color::Black;
    return count;
}

} // namespace ks::test

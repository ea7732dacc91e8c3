#include "Picture.h"

#include "GifWriter.h"

#include <algorithm>
#include <unordered_map>

namespace ks::spritetool {

namespace {

// A frame as indices into a palette of at most 256 colours (0xRRGGBB).
struct Indexed
{
    std::vector<std::uint32_t> palette;
    std::vector<std::uint8_t> indices;
};

// Exact colours when there are at most 256 of them; otherwise colours that agree in all but
// the lowest bits of each channel share an entry, dropping one more bit until they fit.
Indexed indexColors(const Picture& picture)
{
    Indexed result;
    for (int drop = 0; drop <= 8; drop++)
    {
        const std::uint32_t channelMask = (0xffu << drop) & 0xffu;
        const std::uint32_t mask = channelMask << 16 | channelMask << 8 | channelMask;
        std::unordered_map<std::uint32_t, std::uint8_t> slots;
        result.palette.clear();
        result.indices.clear();
        bool fits = true;
        for (std::size_t i = 0; i + 3 < picture.rgba.size(); i += 4)
        {
            const std::uint32_t rgb =
                std::uint32_t{picture.rgba[i]} << 16 | std::uint32_t{picture.rgba[i + 1]} << 8 | picture.rgba[i + 2];
            const auto found = slots.find(rgb & mask);
            if (found != slots.end())
            {
                result.indices.push_back(found->second);
                continue;
            }
            if (result.palette.size() == 256)
            {
                fits = false;
                break;
            }
            slots.emplace(rgb & mask, static_cast<std::uint8_t>(result.palette.size()));
            result.indices.push_back(static_cast<std::uint8_t>(result.palette.size()));
            result.palette.push_back(rgb);
        }
        if (fits)
            break;
    }
    return result;
}

} // namespace

Picture::Picture(unsigned w, unsigned h, std::uint8_t r, std::uint8_t g, std::uint8_t b)
    : width(w),
      height(h),
      rgba(static_cast<std::size_t>(w) * h * 4)
{
    for (std::size_t i = 0; i < rgba.size(); i += 4)
    {
        rgba[i] = r;
        rgba[i + 1] = g;
        rgba[i + 2] = b;
        rgba[i + 3] = 255;
    }
}

void Picture::paste(const Picture& from, unsigned x, unsigned y)
{
    for (unsigned row = 0; row < from.height && y + row < height; row++)
    {
        const unsigned count = x < width ? std::min(from.width, width - x) : 0;
        std::copy_n(from.rgba.begin() + static_cast<std::ptrdiff_t>(row) * from.width * 4, count * 4,
                    rgba.begin() + (static_cast<std::ptrdiff_t>(y + row) * width + x) * 4);
    }
}

bool writeGif(const std::string& filename, const std::vector<Picture>& frames, const std::vector<int>& delays)
{
    if (frames.empty())
        return false;
    GifWriter gif;
    bool ok = gif.open(filename, frames[0].width, frames[0].height);
    for (std::size_t f = 0; ok && f < frames.size(); f++)
    {
        const Indexed indexed = indexColors(frames[f]);
        ok = gif.addFrame(indexed.indices.data(), indexed.palette, f < delays.size() ? delays[f] : 0);
    }
    return gif.close() && ok;
}

} // namespace ks::spritetool

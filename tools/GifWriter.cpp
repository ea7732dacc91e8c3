#include "GifWriter.h"

#include <algorithm>
#include <fstream>
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

// Variable-width codes, least significant bit first, as GIF packs them.
class CodeWriter
{
public:
    explicit CodeWriter(std::vector<std::uint8_t>& out) : out(out)
    {}

    void put(unsigned code, int size)
    {
        bits |= code << count;
        count += size;
        while (count >= 8)
        {
            out.push_back(static_cast<std::uint8_t>(bits & 0xffu));
            bits >>= 8;
            count -= 8;
        }
    }

    void finish()
    {
        if (count > 0)
            out.push_back(static_cast<std::uint8_t>(bits & 0xffu));
        bits = 0;
        count = 0;
    }

private:
    std::vector<std::uint8_t>& out;
    std::uint32_t bits = 0;
    int count = 0;
};

// GIF's LZW: codes grow from minCodeSize + 1 bits up to 12, and the table starts again (after
// a clear code) when it is full.
std::vector<std::uint8_t> compress(const std::vector<std::uint8_t>& indices, int minCodeSize)
{
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    std::vector<std::uint8_t> out;
    CodeWriter writer(out);
    std::unordered_map<std::uint32_t, unsigned> table; // (prefix code << 8 | index) -> code
    int codeSize = minCodeSize + 1;
    unsigned lastCode = end;
    writer.put(clear, codeSize);
    bool started = false;
    unsigned prefix = 0;
    for (std::uint8_t index : indices)
    {
        if (!started)
        {
            prefix = index;
            started = true;
            continue;
        }
        const std::uint32_t key = prefix << 8 | index;
        const auto found = table.find(key);
        if (found != table.end())
        {
            prefix = found->second;
            continue;
        }
        writer.put(prefix, codeSize);
        table.emplace(key, ++lastCode);
        if (lastCode >= (1u << codeSize))
            codeSize++;
        if (lastCode == 4095)
        {
            writer.put(clear, codeSize);
            table.clear();
            codeSize = minCodeSize + 1;
            lastCode = end;
        }
        prefix = index;
    }
    if (started)
        writer.put(prefix, codeSize);
    writer.put(end, codeSize);
    writer.finish();
    return out;
}

void put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xffu));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xffu));
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
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, frames[0].width);
    put16(out, frames[0].height);
    out.insert(out.end(), {0x00, 0x00, 0x00}); // no global colour table
    // Loop for ever.
    out.insert(out.end(),
               {0x21, 0xff, 0x0b, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03, 0x01, 0x00, 0x00, 0x00});
    for (std::size_t f = 0; f < frames.size(); f++)
    {
        const Indexed indexed = indexColors(frames[f]);
        int bits = 1; // the table holds 2^bits colours
        while ((1u << bits) < indexed.palette.size())
            bits++;

        // Graphic control: each frame replaces the one before; the delay.
        out.insert(out.end(), {0x21, 0xf9, 0x04, 0x04});
        put16(out, static_cast<unsigned>(std::max(f < delays.size() ? delays[f] : 0, 0)));
        out.insert(out.end(), {0x00, 0x00});

        out.push_back(0x2c);
        put16(out, 0);
        put16(out, 0);
        put16(out, frames[f].width);
        put16(out, frames[f].height);
        out.push_back(static_cast<std::uint8_t>(0x80 | (bits - 1))); // a local colour table
        for (unsigned i = 0; i < (1u << bits); i++)
        {
            const std::uint32_t rgb = i < indexed.palette.size() ? indexed.palette[i] : 0;
            out.insert(out.end(), {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                                   static_cast<std::uint8_t>(rgb)});
        }

        const int minCodeSize = std::max(bits, 2);
        out.push_back(static_cast<std::uint8_t>(minCodeSize));
        const std::vector<std::uint8_t> data = compress(indexed.indices, minCodeSize);
        for (std::size_t at = 0; at < data.size(); at += 255)
        {
            const std::size_t length = std::min<std::size_t>(255, data.size() - at);
            out.push_back(static_cast<std::uint8_t>(length));
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                       data.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
        out.push_back(0x00);
    }
    out.push_back(0x3b);

    std::ofstream file(filename, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

} // namespace ks::spritetool

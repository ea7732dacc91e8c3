#include "Wav.h"

namespace ks::tools {

std::string wavBytes(const std::vector<std::int16_t>& samples, std::uint32_t rate)
{
    std::string bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; i++)
            bytes += static_cast<char>((value >> (8 * i)) & 0xFFu);
    };
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    bytes += "RIFF";
    put(36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    put(16, 4);       // format chunk size
    put(1, 2);        // PCM
    put(1, 2);        // mono
    put(rate, 4);     // samples per second
    put(rate * 2, 4); // bytes per second
    put(2, 2);        // bytes per sample frame
    put(16, 2);       // bits per sample
    bytes += "data";
    put(dataBytes, 4);
    for (std::int16_t sample : samples)
        put(static_cast<std::uint16_t>(sample), 2);
    return bytes;
}

} // namespace ks::tools

// The bytes of a 16-bit mono PCM WAV file: the synthesiser writes the game's sounds with it,
// and the tests make good and broken sound files with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks::tools {

std::string wavBytes(const std::vector<std::int16_t>& samples, std::uint32_t rate);

} // namespace ks::tools

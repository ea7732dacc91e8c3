#include "FrameDigest.h"

#include <cstring>

namespace ks {

namespace {

// A 64-bit multiply-and-rotate mix per word: a few cycles per character, and a change of any
// bit of any character, or of their order, changes the result.
constexpr uint64_t MULTIPLIER = 0x9E3779B97F4A7C15ull;

uint64_t mix(uint64_t state, uint64_t word)
{
    state ^= word * MULTIPLIER;
    state = (state << 27) | (state >> 37);
    return state * 5 + 0x52DCE729;
}

uint32_t bitsOf(float value)
{
    // -0 and 0 draw the same place.
    if (value == 0)
        value = 0;
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

void FrameDigest::add(float x, float y, uint32_t codePoint, uint32_t rgba)
{
    state = mix(state, (static_cast<uint64_t>(bitsOf(x)) << 32) | bitsOf(y));
    state = mix(state, (static_cast<uint64_t>(codePoint) << 32) | rgba);
    count++;
}

uint32_t FrameDigest::finish()
{
    // Fold in the count, so that an empty frame and one of characters that mix to 0 differ,
    // then fold 64 bits to 32.
    const uint64_t last = mix(state, static_cast<uint64_t>(count));
    state = 0;
    count = 0;
    const uint64_t spread = last * MULTIPLIER;
    return static_cast<uint32_t>(spread >> 32) ^ static_cast<uint32_t>(spread);
}

int FrameDigest::getCount() const
{
    return count;
}

} // namespace ks

// Pictures as plain RGBA pixels, and animated GIFs of them: every frame full size with a
// palette of its own (its exact colours when there are at most 256) and a delay of its own,
// written by the engine's GifWriter (giflib).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks::spritetool {

struct Picture
{
    unsigned width = 0;
    unsigned height = 0;
    std::vector<std::uint8_t> rgba; // width * height pixels, row by row

    Picture() = default;
    Picture(unsigned w, unsigned h, std::uint8_t r, std::uint8_t g, std::uint8_t b);

    // Copies `from` with its top-left corner at (x, y); what falls outside is cut off.
    void paste(const Picture& from, unsigned x, unsigned y);
};

// Frames of one size; delays in hundredths of a second, one per frame. False when the file
// cannot be written.
bool writeGif(const std::string& filename, const std::vector<Picture>& frames, const std::vector<int>& delays);

} // namespace ks::spritetool

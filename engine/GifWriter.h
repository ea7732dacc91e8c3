/// @file GifWriter.h
/// An animated GIF written frame by frame through giflib (Debian's libgif).
///
/// Frames are palette indices, one byte a pixel, with a palette of their own; the animation
/// loops for ever. giflib does the LZW coding and the file's blocks; what colours to use is
/// the caller's business (the screen clip's fixed palette, kestrane-sprite's exact colours).
///
///     GifWriter gif;
///     gif.open("clip.gif", 512, 384);
///     gif.addFrame(indices.data(), palette, 10);
///     gif.close();
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GifFileType;

namespace ks {

class GifWriter
{
public:
    GifWriter() = default;
    /// Closes a file still open.
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    /// Creates filename for frames of width x height pixels. False (reason in error()) when
    /// the file cannot be made.
    bool open(const std::string& filename, unsigned width, unsigned height);

    /// Appends a frame: width * height palette indices row by row, a palette of at most 256
    /// colours (0xRRGGBB each), shown for delay hundredths of a second. False on a write error
    /// or when an index lies outside the palette.
    bool addFrame(const std::uint8_t* indices, const std::vector<std::uint32_t>& palette, int delay);

    /// Ends the file. False when anything since open failed.
    bool close();

    /// Why the last call failed (empty when none did).
    const std::string& error() const;

private:
    bool fail(const std::string& what, int code);

    GifFileType* file = nullptr;
    unsigned width = 0;
    unsigned height = 0;
    bool failed = false;
    std::string reason;
};

} // namespace ks

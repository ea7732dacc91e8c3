#include "GifWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <gif_lib.h>

namespace ks {

namespace {

// The application extension that makes browsers and viewers loop the animation for ever.
const GifByteType LOOP_NAME[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
const GifByteType LOOP_FOREVER[] = {0x01, 0x00, 0x00};

} // namespace

GifWriter::~GifWriter()
{
    close();
}

bool GifWriter::open(const std::string& filename, unsigned newWidth, unsigned newHeight)
{
    close();
    failed = false;
    reason.clear();
    width = newWidth;
    height = newHeight;
    // Opened here rather than by giflib, which would make the file readable by its owner only.
    const int handle = ::open(filename.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (handle < 0)
        return fail("cannot create " + filename + " (" + std::strerror(errno) + ")", 0);
    int code = 0;
    file = EGifOpenFileHandle(handle, &code);
    if (file == nullptr)
    {
        ::close(handle);
        return fail("cannot create " + filename, code);
    }
    // Frame delays and the loop extension are GIF89a's.
    EGifSetGifVersion(file, true);
    if (EGifPutScreenDesc(file, static_cast<int>(width), static_cast<int>(height), 8, 0, nullptr) == GIF_ERROR)
        return fail("cannot write the screen of " + filename, file->Error);
    if (EGifPutExtensionLeader(file, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(file, sizeof LOOP_NAME, LOOP_NAME) == GIF_ERROR ||
        EGifPutExtensionBlock(file, sizeof LOOP_FOREVER, LOOP_FOREVER) == GIF_ERROR ||
        EGifPutExtensionTrailer(file) == GIF_ERROR)
        return fail("cannot write the loop of " + filename, file->Error);
    return true;
}

bool GifWriter::addFrame(const std::uint8_t* indices, const std::vector<std::uint32_t>& palette, int delay)
{
    if (file == nullptr || failed)
        return false;
    if (palette.empty() || palette.size() > 256)
        return fail("a palette of " + std::to_string(palette.size()) + " colours", 0);
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    if (std::any_of(indices, indices + pixels, [&](std::uint8_t i) {
            return i >= palette.size();
        }))
        return fail("a pixel outside its palette", 0);

    // giflib wants a power of two colours; the rest of the table stays black.
    int size = 2;
    while (static_cast<std::size_t>(size) < palette.size())
        size *= 2;
    ColorMapObject* map = GifMakeMapObject(size, nullptr);
    if (map == nullptr)
        return fail("out of memory for a palette", 0);
    for (std::size_t i = 0; i < palette.size(); i++)
        map->Colors[i] = GifColorType{static_cast<GifByteType>(palette[i] >> 16),
                                      static_cast<GifByteType>(palette[i] >> 8), static_cast<GifByteType>(palette[i])};

    // Each frame replaces the whole picture before it.
    GraphicsControlBlock control = {};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = std::max(delay, 0);
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    bool ok = EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_ERROR &&
              EGifPutImageDesc(file, 0, 0, static_cast<int>(width), static_cast<int>(height), false, map) != GIF_ERROR;
    GifFreeMapObject(map);
    // giflib takes rows through a non-const pointer but does not change them.
    auto* row = const_cast<GifPixelType*>(indices);
    for (unsigned y = 0; ok && y < height; y++, row += width)
        ok = EGifPutLine(file, row, static_cast<int>(width)) != GIF_ERROR;
    return ok || fail("cannot write a frame", file->Error);
}

bool GifWriter::close()
{
    if (file == nullptr)
        return !failed;
    int code = 0;
    if (EGifCloseFile(file, &code) == GIF_ERROR && !failed)
        fail("cannot finish the file", code);
    file = nullptr;
    return !failed;
}

const std::string& GifWriter::error() const
{
    return reason;
}

bool GifWriter::fail(const std::string& what, int code)
{
    failed = true;
    reason = what;
    if (code != 0 && GifErrorString(code) != nullptr)
        reason += std::string(" (") + GifErrorString(code) + ")";
    return false;
}

} // namespace ks

#include "Raster.h"

#include <algorithm>
#include <cstring>

namespace pwt::pdf {

Raster orient(const Raster& source, Orientation orientation)
{
    if (orientation.upright())
        return source;
    const int width = orientation.transposed ? source.height : source.width;
    const int height = orientation.transposed ? source.width : source.height;
    Raster out(width, height, source.channels, 0);
    const auto channels = static_cast<std::size_t>(source.channels);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* to = out.row(y);
        const int shownY = orientation.mirrorY ? height - 1 - y : y;
        for (int x = 0; x < width; ++x) {
            const int shownX = orientation.mirrorX ? width - 1 - x : x;
            const int sx = orientation.transposed ? shownY : shownX;
            const int sy = orientation.transposed ? shownX : shownY;
            std::memcpy(to + static_cast<std::size_t>(x) * channels,
                        source.row(sy) + static_cast<std::size_t>(sx) * channels, channels);
        }
    }
    return out;
}

Raster withAlpha(Raster raster)
{
    if (raster.channels == 4)
        return raster;
    Raster out(raster.width, raster.height, 4, 0xFF);
    const std::size_t count = static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height);
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(out.pixels.data() + i * 4, raster.pixels.data() + i * static_cast<std::size_t>(raster.channels), 3);
    return out;
}

void dropUnusedChannels(Raster& raster)
{
    if (raster.channels < 3)
        return;
    const auto channels = static_cast<std::size_t>(raster.channels);
    const bool hasAlpha = channels == 4;
    const std::size_t count = raster.pixels.size() / channels;
    bool grey = true, opaque = true;
    for (std::size_t i = 0; i < count && (grey || (hasAlpha && opaque)); ++i) {
        const std::uint8_t* p = raster.pixels.data() + i * channels;
        grey = grey && p[0] == p[1] && p[1] == p[2];
        opaque = opaque && (!hasAlpha || p[3] == 0xFF);
    }
    const bool keepAlpha = hasAlpha && !opaque;
    const std::size_t kept = (grey ? 1 : 3) + (keepAlpha ? 1 : 0);
    if (kept == channels)
        return;
    // In place: each pixel moves to an offset no later than its own.
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* from = raster.pixels.data() + i * channels;
        std::uint8_t* to = raster.pixels.data() + i * kept;
        const std::uint8_t alpha = hasAlpha ? from[3] : 0xFF;
        std::memmove(to, from, grey ? 1 : 3);
        if (keepAlpha)
            to[kept - 1] = alpha;
    }
    raster.pixels.resize(count * kept);
    raster.channels = static_cast<int>(kept);
}

} // namespace pwt::pdf

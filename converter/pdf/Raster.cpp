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

void dropOpaqueAlpha(Raster& raster)
{
    if (raster.channels != 4)
        return;
    const std::size_t count = raster.pixels.size() / 4;
    for (std::size_t i = 0; i < count; ++i)
        if (raster.pixels[i * 4 + 3] != 0xFF)
            return;
    for (std::size_t i = 0; i < count; ++i)
        std::memmove(raster.pixels.data() + i * 3, raster.pixels.data() + i * 4, 3);
    raster.pixels.resize(count * 3);
    raster.channels = 3;
}

} // namespace pwt::pdf

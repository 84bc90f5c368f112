#pragma once
// Decoded pixels on their way to a PNG: 8-bit RGB or RGBA, rows top to
// bottom without padding. Plain C++: filled from poppler, encoded by libpng.
#include <cstdint>
#include <vector>

namespace pwt::pdf {

struct Raster {
    int width = 0;
    int height = 0;
    int channels = 3; // 1: grey, 2: grey and alpha, 3: RGB, 4: RGBA (straight alpha)
    std::vector<std::uint8_t> pixels;

    Raster() = default;
    Raster(int w, int h, int ch, std::uint8_t fill)
        : width(w), height(h), channels(ch),
          pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * static_cast<std::size_t>(ch), fill)
    {
    }
    std::uint8_t* row(int y)
    {
        return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    }
    const std::uint8_t* row(int y) const
    {
        return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    }
    bool empty() const { return width <= 0 || height <= 0; }
};

// How an image's pixel grid lies on the page, to the nearest quarter turn:
// `transposed` swaps rows and columns (a quarter turn), then `mirrorX` and
// `mirrorY` reverse the columns and rows as shown.
struct Orientation {
    bool transposed = false;
    bool mirrorX = false;
    bool mirrorY = false;
    bool upright() const { return !transposed && !mirrorX && !mirrorY; }
    int code() const { return (transposed ? 4 : 0) | (mirrorX ? 2 : 0) | (mirrorY ? 1 : 0); }
};

// The pixels as they are shown on the page.
Raster orient(const Raster& source, Orientation orientation);

// The same pixels with an opaque alpha channel.
Raster withAlpha(Raster raster);

// Drops the alpha channel when every pixel is opaque, and the colour when
// every pixel is grey (scans, stencils in black): a smaller PNG, made faster.
void dropUnusedChannels(Raster& raster);

} // namespace pwt::pdf

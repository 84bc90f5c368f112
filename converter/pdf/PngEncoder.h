#pragma once
// Encodes pixels as a PNG file in memory with libpng.
#include "Raster.h"

#include <cstdint>
#include <vector>

namespace pwt::pdf {

// A PNG of `raster` (grey or RGB, with or without alpha); empty when libpng fails.
std::vector<std::uint8_t> encodePng(const Raster& raster);

// The same for rows that lie `stride` bytes apart in memory (a renderer's
// bitmap), `channels` bytes a pixel.
std::vector<std::uint8_t> encodePng(const std::uint8_t* rows, int width, int height, int channels, std::size_t stride);

} // namespace pwt::pdf

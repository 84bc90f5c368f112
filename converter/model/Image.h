#pragma once
// An image as the Word document stores it. The reader fills it, the layout
// places it and the .doc writer stores it. Plain C++: no Qt, no poppler.
#include <cstdint>
#include <vector>

namespace pwt {

// JPEG data is kept as the PDF carried it (no loss, no time spent); every
// other image is encoded losslessly as PNG.
enum class ImageFormat { Jpeg, Png };

struct ImageData {
    ImageFormat format = ImageFormat::Png;
    std::vector<std::uint8_t> bytes; // a whole JPEG or PNG file
    int pixelWidth = 0;
    int pixelHeight = 0;
};

} // namespace pwt

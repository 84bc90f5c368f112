#pragma once
// One inline picture as Word 97-2003 stores it in the Data stream
// (PICFAndOfficeArtData): the PICF header with the displayed size, then an
// OfficeArtInlineSpContainer, a picture frame shape whose properties point at
// the BLIP that follows it, an OfficeArtFBSE holding the JPEG or PNG bytes.
#include "ByteBuffer.h"
#include "model/Image.h"

#include <array>
#include <cstdint>

namespace pwt::doc {

// An identifier of the image's bytes that readers use to tell images apart.
using ImageUid = std::array<std::uint8_t, 16>;

// How the picture is shown: its full (uncropped) size at 100 %, the scaling
// applied to it and the share cut off each side.
struct PictureFrame {
    int goalWidth = 0;  // twips, dxaGoal
    int goalHeight = 0; // twips, dyaGoal
    int scaleX = 1000;  // 1/1000ths, mx
    int scaleY = 1000;  // my
    // Cropping as 16.16 fixed-point fractions of the image, as OfficeArt stores it.
    std::int32_t cropLeft = 0, cropTop = 0, cropRight = 0, cropBottom = 0;
    std::uint32_t shapeId = 0;

    auto operator<=>(const PictureFrame&) const = default;
};

// PICF (0x44 bytes) followed by the shape and its BLIP.
ByteBuffer encodeInlinePicture(const ImageData& image, const ImageUid& uid, const PictureFrame& frame);

} // namespace pwt::doc

#pragma once
// The Data stream of the document: each inline picture's PICF, shape and
// image. A picture already stored with the same image (the same ImageData or
// equal bytes), the same displayed size and the same cropping is stored once,
// and later pictures point at it.
#include "ByteBuffer.h"
#include "InlinePicture.h"
#include "PropertyEncoder.h"
#include "model/Document.h"

#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace pwt::doc {

class PictureStore {
public:
    // Stores the picture, scaled down to fit `room` when it is larger; the
    // offset of its PICF in the Data stream, or nothing for a picture with
    // no image or nothing to show.
    std::optional<std::uint32_t> place(const Picture& picture, TextArea room);

    // The Data stream's bytes, handed over once every picture is placed.
    ByteBuffer releaseStream() { return std::move(data_); }

private:
    struct StoredImage {
        const ImageData* image;
        ImageUid uid;
    };
    // The index of the image among the distinct images seen.
    std::size_t imageIndex(const ImageData& image);

    ByteBuffer data_;
    std::vector<StoredImage> images_;
    std::unordered_map<const ImageData*, std::size_t> byAddress_;
    std::unordered_multimap<std::size_t, std::size_t> byContentHash_;
    std::map<std::pair<std::size_t, PictureFrame>, std::uint32_t> stored_;
};

} // namespace pwt::doc

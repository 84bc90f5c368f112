#pragma once
// A JPEG image kept as the PDF carries it: its encoded bytes go into the
// document as they are, with no decoding and no loss.
#include <cstdint>
#include <optional>
#include <vector>

class Stream;
class GfxImageColorMap;

namespace pwt::pdf {

// A JPEG file larger than this is decoded (and sampled down) instead: its
// pixels would pass the decoding cap anyway.
inline constexpr std::size_t kMaxPassedJpegBytes = std::size_t{64} << 20;

// Whether the image is plain JPEG that a word processor shows as the PDF
// does: DCT-encoded grey or RGB (device or ICC-based), with the default
// Decode array.
bool isPlainJpeg(Stream* str, GfxImageColorMap* colorMap);

// The JPEG file under the DCT filter of `str` when it is whole and declares
// the image's own size and components; nothing otherwise (the image is then
// decoded). Reads the encoded stream from its start.
std::optional<std::vector<std::uint8_t>> readJpeg(Stream* str, int width, int height, int components);

// Checks the markers of a JPEG file: a baseline, extended or progressive
// Huffman frame of `width` x `height` and `components`, ending in EOI.
// Returns the file without anything after its EOI.
std::optional<std::vector<std::uint8_t>> checkedJpeg(std::vector<std::uint8_t> bytes, int width, int height,
                                                     int components);

} // namespace pwt::pdf

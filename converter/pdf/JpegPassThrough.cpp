#include "JpegPassThrough.h"

#include <GfxState.h>
#include <Stream.h>

#include <cmath>

namespace pwt::pdf {

namespace {

constexpr int kReadChunk = 64 * 1024;
// After its EOI a JPEG may carry padding; this much is looked through.
constexpr std::size_t kTrailerWindow = 4096;

constexpr std::uint8_t kMarkerPrefix = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;

bool isStandalone(std::uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// Frames every reader decodes: baseline, extended and progressive Huffman.
bool isCommonFrame(std::uint8_t marker)
{
    return marker == 0xC0 || marker == 0xC1 || marker == 0xC2;
}

// The other start-of-frame markers (lossless, hierarchical, arithmetic).
bool isOtherFrame(std::uint8_t marker)
{
    return marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

int read16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return (b[at] << 8) | b[at + 1];
}

} // namespace

bool isPlainJpeg(Stream* str, GfxImageColorMap* colorMap)
{
    if (!str || str->getKind() != strDCT || !colorMap || !colorMap->isOk() || colorMap->getBits() != 8)
        return false;
    GfxColorSpace* space = colorMap->getColorSpace();
    const int comps = colorMap->getNumPixelComps();
    const GfxColorSpaceMode mode = space->getMode();
    const bool plainSpace = mode == csDeviceGray || mode == csDeviceRGB || mode == csCalGray || mode == csCalRGB
                            || mode == csICCBased;
    if (!plainSpace || (comps != 1 && comps != 3))
        return false;
    for (int c = 0; c < comps; ++c) {
        // An inverting (or any other) Decode array changes the colours.
        constexpr double kSame = 1e-9;
        if (std::abs(colorMap->getDecodeLow(c)) > kSame || std::abs(colorMap->getDecodeHigh(c) - 1.0) > kSame)
            return false;
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> readJpeg(Stream* str, int width, int height, int components)
{
    Stream* encoded = str ? str->getNextStream() : nullptr;
    if (!encoded)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    encoded->reset();
    for (;;) {
        const std::size_t at = bytes.size();
        if (at > kMaxPassedJpegBytes)
            break;
        bytes.resize(at + kReadChunk);
        const int got = encoded->doGetChars(kReadChunk, bytes.data() + at);
        bytes.resize(at + static_cast<std::size_t>(std::max(got, 0)));
        if (got <= 0)
            break;
    }
    encoded->close();
    if (bytes.size() > kMaxPassedJpegBytes)
        return std::nullopt;
    return checkedJpeg(std::move(bytes), width, height, components);
}

std::optional<std::vector<std::uint8_t>> checkedJpeg(std::vector<std::uint8_t> bytes, int width, int height,
                                                     int components)
{
    if (bytes.size() < 4 || bytes[0] != kMarkerPrefix || bytes[1] != kStartOfImage)
        return std::nullopt;
    bool frameFits = false;
    std::size_t at = 2;
    for (;;) {
        while (at < bytes.size() && bytes[at] == kMarkerPrefix && at + 1 < bytes.size() && bytes[at + 1] == kMarkerPrefix)
            ++at; // fill bytes
        if (at + 1 >= bytes.size() || bytes[at] != kMarkerPrefix)
            return std::nullopt;
        const std::uint8_t marker = bytes[at + 1];
        at += 2;
        if (isStandalone(marker))
            continue;
        if (marker == kEndOfImage || at + 2 > bytes.size())
            return std::nullopt;
        const auto length = static_cast<std::size_t>(read16(bytes, at));
        if (length < 2 || at + length > bytes.size())
            return std::nullopt;
        if (isOtherFrame(marker))
            return std::nullopt;
        if (isCommonFrame(marker)) {
            if (length < 8)
                return std::nullopt;
            frameFits = bytes[at + 2] == 8 && read16(bytes, at + 3) == height && read16(bytes, at + 5) == width
                        && bytes[at + 7] == components;
            if (!frameFits)
                return std::nullopt;
        }
        if (marker == kStartOfScan)
            break;
        at += length;
    }
    if (!frameFits)
        return std::nullopt;
    // The entropy-coded data runs to the EOI near the end.
    const std::size_t searchFrom = bytes.size() > kTrailerWindow ? bytes.size() - kTrailerWindow : at;
    for (std::size_t end = bytes.size(); end >= searchFrom + 2 && end >= at + 2; --end) {
        if (bytes[end - 2] == kMarkerPrefix && bytes[end - 1] == kEndOfImage) {
            bytes.resize(end);
            return bytes;
        }
    }
    return std::nullopt;
}

} // namespace pwt::pdf

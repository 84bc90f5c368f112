#pragma once
// Decodes a PDF image's samples through poppler into RGB(A) pixels, sampled
// down while reading so that no image takes more than kMaxDecodedPixels,
// whatever size it declares.
#include "Raster.h"

#include <cstdint>
#include <functional>
#include <string>

class Stream;
class GfxImageColorMap;

namespace pwt::pdf {

// An image is decoded into at most this many pixels (4 bytes each while it
// is worked on): 25 million keeps a 300 dpi scan of an A3 page (17 million)
// whole, and one image's raster at 100 MB, which the 4 GiB address-space
// ceiling bears; larger images are sampled down while their rows are read.
inline constexpr double kMaxDecodedPixels = 25e6;
// Images wider or taller than this (pixels) are not read at all: even a
// single row of such a width is beyond what any real image holds, and a row
// is what poppler allocates.
inline constexpr int kMaxImageSide = 1 << 20;
// Nor when their samples take more than this many bytes: poppler reads an
// image's samples in full however little of it is kept (Splash reads every
// row to scale it down; sampling down reads the rows it skips), so a
// 100000-pixel square that declares 30 GB would take minutes whichever way
// it is drawn. 512 MiB holds a 1200 dpi colour scan of an A4 page (418 MB),
// which poppler reads in a few seconds.
inline constexpr double kMaxImageSampleBytes = 512.0 * 1024 * 1024;
// Nor more than this many pixels per inch of the size the page shows it at:
// print shows no more (a laser printer's 600 dpi), and a 3000-pixel logo
// shown an inch wide would otherwise cost its full decoding and encoding on
// every document it is in. JPEG data kept as it is is not touched.
inline constexpr double kMaxPictureDpi = 600.0;

// Whether an image of `width` x `height` pixels, `comps` components of
// `bits` bits each, is within the bounds above (kMaxImageSide,
// kMaxImageSampleBytes): only then are its samples read.
bool readableImageSize(int width, int height, int comps, int bits);

// The pixels an image shown `widthPt` x `heightPt` points is worth decoding.
double pixelBudget(double widthPt, double heightPt);

enum class DecodeStatus {
    Whole,      // every row was read
    CutShort,   // the data ended early: the missing rows are blank
    NoData,     // not one row could be read (damaged or unreadable data)
    TooLarge,   // beyond kMaxImageSide or kMaxImageSampleBytes
    OutOfTime,  // the page's time ran out while reading
};

struct DecodedImage {
    Raster raster;
    DecodeStatus status = DecodeStatus::NoData;
    bool usable() const { return status == DecodeStatus::Whole || status == DecodeStatus::CutShort; }
};

// The size an image of `width` x `height` is decoded at, within `maxPixels`.
void sampledSize(int width, int height, int& sampledWidth, int& sampledHeight, double maxPixels = kMaxDecodedPixels);

class ImageDecoder {
public:
    // `expired` tells when the page's time is up; it is asked every few rows.
    // Images are sampled down to at most `maxPixels` (pixelBudget()).
    explicit ImageDecoder(std::function<bool()> expired, double maxPixels = kMaxDecodedPixels);

    // A colour image; pixels whose samples fall in `maskColors` (colour key
    // masking, min/max pairs per component) become transparent.
    DecodedImage decodeColour(Stream* str, int width, int height, GfxImageColorMap* colorMap,
                              const int* maskColors) const;

    // A stencil mask painted in `fillRgb` (0xRRGGBB) where its samples paint.
    DecodedImage decodeStencil(Stream* str, int width, int height, bool invert, std::uint32_t fillRgb) const;

    // Sets the alpha of `image` (RGBA) from a stencil mask or a soft mask of
    // any size: the mask is sampled to the image's decoded size.
    DecodeStatus applyStencilMask(Raster& image, Stream* mask, int width, int height, bool invert) const;
    DecodeStatus applySoftMask(Raster& image, Stream* mask, int width, int height, GfxImageColorMap* colorMap) const;

private:
    // Reads the rows of `str` that sample it down to `sampledHeight` rows,
    // handing each to `onRow(sampledRow, samples)`.
    DecodeStatus readRows(Stream* str, int width, int height, int comps, int bits, int sampledHeight,
                          const std::function<void(int, unsigned char*)>& onRow) const;

    // Reads a mask into the alpha of `image`: `toAlpha(samples, alphaRow)`
    // turns one sampled row of the mask into alpha.
    DecodeStatus readAlpha(Raster& image, Stream* mask, int width, int height, int comps, int bits,
                           const std::function<void(unsigned char*, std::uint8_t*)>& toAlpha) const;

    std::function<bool()> m_expired;
    double m_maxPixels = kMaxDecodedPixels;
};

// The names of the filters on an image's stream that poppler does not know,
// comma-separated; empty when all are known.
std::string unknownFilters(Stream* str);

} // namespace pwt::pdf

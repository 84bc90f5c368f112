#pragma once
// A PDF page as pixels, for recognising the text of scanned pages: renders a
// page in 8-bit grey and tells how much of it is covered by images.
//
// Each renderer opens its own copy of the document: poppler's documents
// cannot be drawn from two threads at once, so every recognition thread has
// its renderer.
#include "PdfReader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pwt::pdf {

// The resolution text is recognised at: Tesseract reads body text best at
// 300 dpi, where a 10 pt x-height is about 20 pixels.
inline constexpr double kRecognitionDpi = 300.0;
// A page is rendered at a lower resolution when it would otherwise take
// more than this many pixels (A2 at 300 dpi is 35 million; a PDF page may be
// 200 inches a side, which would take gigabytes)...
inline constexpr double kMaxRenderedPixels = 40e6;
// ...or more than this many pixels on one side (Tesseract keeps coordinates
// in 16 bits).
inline constexpr int kMaxRenderedSide = 16000;
// Pages smaller than this on a side (points) have no room for text.
inline constexpr double kMinPageSidePt = 1.0;

// Grey pixels, 0 black to 255 white, rows top to bottom without padding.
struct GreyImage {
    int width = 0;
    int height = 0;
    double dpi = 0;     // pixels per inch of the page
    std::vector<std::uint8_t> pixels;
    bool empty() const { return width <= 0 || height <= 0; }
};

// The resolution a page of this size (points) is rendered at: `wanted`,
// or less where the page would break the size caps above.
double cappedDpi(double widthPt, double heightPt, double wanted);

class PageRenderer {
public:
    PageRenderer();
    ~PageRenderer();
    PageRenderer(const PageRenderer&) = delete;
    PageRenderer& operator=(const PageRenderer&) = delete;

    ReadFailure open(const std::string& path);
    int pageCount() const;

    // Page 1..pageCount() as shown (its own rotation applied), at
    // cappedDpi(kRecognitionDpi) unless a lower `dpi` is given. Empty when
    // poppler cannot draw the page or it is too small to hold text.
    GreyImage render(int number, double dpi = kRecognitionDpi);

    // The share (0..1) of page 1..pageCount() that images cover, overlaps
    // counted once. Images are not decoded: this only follows the page's
    // drawing instructions.
    double imageCoverage(int number);

    // Whether page 1..pageCount() draws anything at all (text, paths,
    // images, shadings, visible or not), again without drawing it: a page
    // that draws nothing is blank, which no rendering needs to find out.
    bool drawsAnything(int number);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace pwt::pdf

#pragma once
// Draws a region of a PDF page as poppler shows it (paths, text, images, on
// white paper) into a PNG picture: vector figures become pictures this way.
#include "PageText.h"
#include "model/Image.h"

#include <memory>

class PDFDoc;

namespace pwt::pdf {

class BoundedSplashOutputDev;

// A region is drawn into at most this many pixels (3 bytes each, twice over
// while it is encoded): a whole A3 page at 200 dpi is 7.8 million; a larger
// region is drawn at a lower resolution.
inline constexpr double kMaxRegionPixels = 16e6;
// Drawing a region stops after this long; a figure that takes longer is
// not drawn at all rather than drawn in part.
inline constexpr double kRegionBudgetSeconds = 10.0;

// The resolution a region of `widthPt` x `heightPt` is drawn at: `wanted`,
// or less where it would take more than kMaxRegionPixels.
double regionDpi(double widthPt, double heightPt, double wanted);

class RegionRenderer {
public:
    explicit RegionRenderer(PDFDoc& doc);
    ~RegionRenderer();
    RegionRenderer(const RegionRenderer&) = delete;
    RegionRenderer& operator=(const RegionRenderer&) = delete;

    // `region` of page 1..n in points from the top-left of the page as shown
    // (as PageText has it), cut to the page; null when it is empty, the page
    // cannot be drawn or its time runs out.
    // Drawing stops (null) after `budgetSeconds`, at most kRegionBudgetSeconds.
    std::shared_ptr<const ImageData> render(int page, const Box& region, double dpi,
                                            double budgetSeconds = kRegionBudgetSeconds);

private:
    PDFDoc& m_doc;
    std::unique_ptr<BoundedSplashOutputDev> m_out; // made on first use: it loads fonts
};

} // namespace pwt::pdf

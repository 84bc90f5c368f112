#pragma once
// Whether a page's own text layer is real or the page must be recognised:
// a page without text, whose text is garbage (glyphs that map to no
// characters), or that is mostly an image carrying too little text for its
// size (a scan with a stamp or a "scanned by" line on it) is recognised. A
// page recognised before carries its text over the scan, invisible: that
// text is real and is used as it is.
#include "PageText.h"

#include <functional>

namespace pwt::ocr {

// A page's text is garbage when more than this share of its characters map
// to nothing readable (U+FFFD, private-use code points, control codes).
inline constexpr double kGarbageShare = 0.5;
// Images covering at least this share of the page make it a possible scan...
inline constexpr double kScanImageShare = 0.5;
// ...whose text is too little when it has fewer characters than this per
// square inch of image. A page of body text has about 30; a scan's stamp,
// page number or "scanned by" line has well under one.
inline constexpr double kMinCharsPerImageSquareInch = 1.0;

struct TextLayerStats {
    std::size_t characters = 0; // not counting spaces
    std::size_t garbage = 0;
};

TextLayerStats measureTextLayer(const pdf::PageText& page);

// Unreadable: U+FFFD, private use, C0/C1 controls, unpaired surrogates.
bool isGarbageCharacter(char32_t c);

// `imageCoverage` is asked only when the answer depends on it (it makes
// poppler follow the page's drawing once more).
bool needsRecognition(const pdf::PageText& page, const std::function<double()>& imageCoverage);

} // namespace pwt::ocr

#pragma once
// Tesseract's result for a page, read into the reader's page text: its
// blocks become flows, its paragraphs blocks, then lines and words.
#include "PageText.h"

#include <string>

namespace tesseract {
class ResultIterator;
}

namespace pwt::ocr {

// A line's font size is its height from the tops of capitals and ascenders
// to the bottoms of descenders (Tesseract's row height) over this share of
// the em, which Latin text fonts fill...
inline constexpr double kLatinRowHeightPerEm = 0.92;
// ...and its ideographs' height over this share, for lines of Chinese.
inline constexpr double kCjkGlyphHeightPerEm = 0.90;
// Recognised sizes are rounded to this step: scans blur the half points.
inline constexpr double kFontSizeStepPt = 0.5;
// Chinese needs no spaces; a gap of at least this many ems between words
// still marks one (a form's label and its entry).
inline constexpr double kCjkSpaceGapEm = 0.6;

// How one recognised word joins the next on its line.
bool spaceBetween(const std::u32string& left, const std::u32string& right, double gapPt, double fontSizePt);

// Font size (points) of a line from Tesseract's row height or, for lines
// of Chinese, the median height of its ideographs' boxes.
double lineFontSize(double rowHeightPt, double medianCjkHeightPt);

std::u32string fromUtf8(const std::string& text);

// Reads the words of a recognised page; `pointsPerPixel` scales the
// engine's pixel boxes to the page. Lines whose words' mean confidence is
// under `minLineConfidence` are left out.
void readRecognizedPage(tesseract::ResultIterator& words, double pointsPerPixel, float minLineConfidence,
                        pdf::PageText& page);

} // namespace pwt::ocr

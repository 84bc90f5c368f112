#pragma once
// Tesseract's result for a page, read into the reader's page text: its
// blocks become flows, its paragraphs blocks, then lines and words.
#include "PageText.h"

#include <string>

namespace tesseract {
class ResultIterator;
}

namespace pwt::ocr {

// A line's font size is its row's height from the tops of capitals and
// ascenders to the bottoms of descenders (Tesseract's row height) over this
// share of the em for Latin text...
inline constexpr double kLatinRowHeightPerEm = 0.92;
// ...and over this share in Chinese text, whose rows the engine measures
// from the ideographs' full height with room for Latin ascenders and
// descenders around them (11 pt Noto Sans CJK: 13.4 pt rows).
inline constexpr double kCjkRowHeightPerEm = 1.22;
// Recognised sizes are rounded to this step: scans blur the half points.
inline constexpr double kFontSizeStepPt = 0.5;
// Chinese needs no spaces; a gap of at least this many ems between words
// still marks one (a form's label and its entry). The engine's word boxes
// in Chinese leave gaps of up to half an em between characters set solid.
inline constexpr double kCjkSpaceGapEm = 1.0;

// How one recognised word joins the next on its line.
bool spaceBetween(const std::u32string& left, const std::u32string& right, double gapPt, double fontSizePt);

// Font size (points) of a line from Tesseract's row height, in a block of
// Chinese or of Latin text.
double lineFontSize(double rowHeightPt, bool chinese);

std::u32string fromUtf8(const std::string& text);

// Reads the words of a recognised page; `pointsPerPixel` scales the
// engine's pixel boxes to the page. Lines whose words' mean confidence is
// under `minLineConfidence` are left out.
void readRecognizedPage(tesseract::ResultIterator& words, double pointsPerPixel, float minLineConfidence,
                        pdf::PageText& page);

} // namespace pwt::ocr

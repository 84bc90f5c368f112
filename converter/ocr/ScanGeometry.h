#pragma once
// The recognised page's geometry made as regular as a text layer's, so that
// the layout's rules apply to it: lines that Tesseract read across a narrow
// gap between two columns are split into their columns, and the pixel
// jitter of sizes and line edges within a block is taken out.
#include "PageText.h"

#include <vector>

namespace pwt::ocr {

// A gap between two words of at least this many ems is a gap between
// columns (word spaces in justified text stay under one em).
inline constexpr double kColumnGapEm = 1.5;
// A gap is a column gap when at least this many lines of the page have one
// there: one line's gap is more often a word the engine could not read.
inline constexpr int kMinColumnGapLines = 2;
// A piece of a line belongs to the one column it overlaps by more than this
// share of its width; one that overlaps two so spans them (a heading).
inline constexpr double kInColumnShare = 0.1;
// Line edges within this of each other (points) are one edge: a scan at
// 300 dpi places a glyph's edge to a pixel or two (0.24 pt each).
inline constexpr double kEdgeJitterPt = 1.2;
// Lines of one paragraph whose sizes differ by at most this share of the
// block's typical size are taken to be in that size.
inline constexpr double kSameSizeShare = 0.15;

// A page's flows with each flow whose lines cross a column gap turned into
// one flow per column (in reading order: down each run of columns, a
// spanning line between runs).
std::vector<pdf::TextFlow> splitAtColumnGaps(std::vector<pdf::TextFlow> flows);

// Tesseract may end a block inside a paragraph (a line it could not place).
// A flow whose first line sits less than this many ems below the last line of
// an earlier flow, in the same column, continues that flow's last block.
inline constexpr double kCutBlockGapEm = 0.9;
// Same column: the two blocks overlap by this share of the narrower one.
inline constexpr double kSameColumnOverlap = 0.8;

// Joins the flows that continue one another so (see kCutBlockGapEm).
void joinCutBlocks(std::vector<pdf::TextFlow>& flows);

// Evens the sizes and the left and right edges of a block's lines.
void regularise(pdf::TextBlock& block);

} // namespace pwt::ocr

#pragma once
// Decides where the paragraphs of one block of lines begin.
#include "Lines.h"

#include <cstddef>
#include <vector>

namespace pwt::layout {

// All thresholds are fractions of the line's font size (an "em") unless named
// otherwise; a PDF carries no paragraph marks, only positions.

// A baseline step this much larger than the block's usual pitch is a paragraph gap.
inline constexpr double kParagraphGapRatio = 1.35;
// Evenly spaced lines further apart than this (in ems) are separate items, not spacing.
inline constexpr double kMaxSpacedPitchEm = 2.6;
// Words of running text stand at most this far apart (ems), justified or
// not; a wider gap sets apart a formula and its number, or cells.
inline constexpr double kMaxWordGapEm = 3.0;
// A line starting this far right of the block's left edge is indented.
inline constexpr double kIndentEm = 0.8;
// A line starting within this of the left edge is flush with it.
inline constexpr double kFlushEm = 0.4;
// Width of the space the next line's first word would need beside it.
inline constexpr double kSpaceEm = 0.25;
// Measuring slack before room at a line's end counts as "the next word fitted".
inline constexpr double kFitSlackEm = 0.3;
// Sizes differing by more than this share belong to different text classes.
inline constexpr double kSizeChangeRatio = 0.08;
// Two lines whose centres lie this close are centred on one axis.
inline constexpr double kSameCentreEm = 0.5;
// Left-aligned lines start at the same x to within this (points): poppler
// measures from the glyphs' origins, which the typesetter lined up exactly.
inline constexpr double kSameEdgePt = 0.1;
// A contents entry wraps leaving at most this much room (the page numbers' column).
inline constexpr double kEntryWrapRoomEm = 6.0;
// A word this far above or below its line's baseline is a raised or lowered mark.
inline constexpr double kOffBaselineEm = 0.1;

// Indices of the lines that open a paragraph; the first is always 0.
// `column` is the width the lines were set in: a centred line continues a
// paragraph only when the line before had no room in it for its first word.
std::vector<std::size_t> paragraphStarts(const std::vector<Line>& lines, const ColumnBounds& column);
// The same with the block's own width as its column.
std::vector<std::size_t> paragraphStarts(const std::vector<Line>& lines);

// Sizes of different text classes (kSizeChangeRatio apart).
bool sizesDiffer(double a, double b);

// Whether the first word of `next` would have fitted in `room` at the end of
// `previous`: then the writer broke the line on purpose.
bool nextWordFitted(const Line& previous, const Line& next, double room);

// Whether the line reads as running text: no gap between its words wider than kMaxWordGapEm.
bool runningText(const Line& line);

// The usual distance between consecutive baselines of these lines.
double typicalPitch(const std::vector<Line>& lines);
// The same for lines [first, last).
double typicalPitch(const std::vector<Line>& lines, std::size_t first, std::size_t last);

} // namespace pwt::layout

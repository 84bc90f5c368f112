#pragma once
// Takes out the numbers a line-numbering package sets beside the lines of a
// manuscript (every fifth line, in the margin and in the gutter between
// columns). They are no text of the document: poppler sticks them to the
// nearest line's words ("placing floats where205"), where they tie the two
// columns together and land in the middle of sentences.
#include "Lines.h"

namespace pwt::layout {

// A line number is a plain integer of at most this many digits...
inline constexpr std::size_t kLineNumberMaxDigits = 5;
// ...set smaller than the page's usual text (at most this share of its size)...
inline constexpr double kLineNumberSizeShare = 0.85;
// ...on the baseline of the prose beside it, if any, give or take this
// many ems (a note's mark is raised)...
inline constexpr double kLineNumberBaselineEm = 0.15;
// ...first or last on its line, with at least this many like it one under
// another, their left or right edges within this many ems...
inline constexpr std::size_t kMinLineNumbers = 4;
inline constexpr double kLineNumberAlignEm = 0.3;
// ...rising down the page at least this share of the time, by about one for
// each line: from one to the next the distance down per unit of the number
// lies between these many times the usual text size (a contents page's
// numbers rise by pages, many per line).
inline constexpr double kLineNumbersRisingShare = 0.8;
inline constexpr double kMinPitchPerNumber = 0.7;
inline constexpr double kMaxPitchPerNumber = 2.5;

void removeLineNumbers(PageLines& page);

} // namespace pwt::layout

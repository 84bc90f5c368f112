#pragma once
// Takes out the numbers a line-numbering package sets beside the lines of a
// manuscript (each line or every fifth, in the margin and in the gutter between
// columns). They are no text of the document: poppler sticks them to the
// nearest line's words ("placing floats where205"), where they tie the two
// columns together and land in the middle of sentences.
#include "Lines.h"

namespace pwt::layout {

// A line number is a plain integer of at most this many digits...
inline constexpr std::size_t kLineNumberMaxDigits = 5;
// ...set smaller than the page's usual text and the words beside it (at
// most this share of their size)...
inline constexpr double kLineNumberSizeShare = 0.85;
// ...on the baseline of the prose beside it, if any, give or take this
// many ems (a note's mark is raised)...
inline constexpr double kLineNumberBaselineEm = 0.15;
// ...first or last on its line, with at least this many like it one under
// another (most of them beside prose), their left or right edges within
// this many ems...
inline constexpr std::size_t kMinLineNumbers = 4;
inline constexpr double kLineNumberAlignEm = 0.3;
// ...rising down the page at least this share of the time, by at most one
// for each line: from one to the next the distance down per unit of the
// number is at least this many times the usual text size (a contents
// page's numbers rise by pages, many per line; lines of figures, tables and
// gaps take no numbers).
inline constexpr double kLineNumbersRisingShare = 0.8;
inline constexpr double kMinPitchPerNumber = 0.7;

void removeLineNumbers(PageLines& page);

} // namespace pwt::layout

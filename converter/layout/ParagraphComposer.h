#pragma once
// Joins the lines of one paragraph into runs of equal character format.
#include "Lines.h"

#include <cstddef>

namespace pwt::layout {

// Super- and subscripts: a word this much smaller than its line...
inline constexpr double kScriptSizeRatio = 0.85;
// ...whose baseline sits at least this far (in ems of the line) above or below.
inline constexpr double kScriptShiftEm = 0.15;

// Lines [first, last) of `lines` as one paragraph: the text joined across line
// ends (hyphens rejoined, no space between CJK lines), words of one format
// merged into one run.
Paragraph composeParagraph(const std::vector<Line>& lines, std::size_t first, std::size_t last);

} // namespace pwt::layout

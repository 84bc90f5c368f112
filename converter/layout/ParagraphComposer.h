#pragma once
// Joins the lines of one paragraph into runs of equal character format.
#include "Lines.h"

#include <cstddef>

namespace pwt::layout {

// Super- and subscripts: a word this much smaller than its line...
inline constexpr double kScriptSizeRatio = 0.85;
// ...whose baseline sits at least this far (in ems of the line) above or below.
inline constexpr double kScriptShiftEm = 0.15;
// A contents entry's page number has at most this many characters ("xviii", "1024")...
inline constexpr std::size_t kMaxReferenceChars = 5;
// ...and its leaders at least this many dots set apart, or this many in a
// row ("..." before a number is an ellipsis).
inline constexpr std::size_t kMinLeaderGroups = 3;
inline constexpr std::size_t kMinLeaderRow = 5;

// Lines [first, last) of `lines` as one paragraph: the text joined across line
// ends (hyphens rejoined, no space between CJK lines), words of one format
// merged into one run.
Paragraph composeParagraph(const std::vector<Line>& lines, std::size_t first, std::size_t last);

// A contents entry ("Introduction . . . . . 12", or a page number set apart
// by a gap): the leaders or the gap become a tab to a right-aligned stop at
// the right edge of the text (`textWidthPt` from its left), so that the
// number stays there however Word sets the title. Returns whether it did; `setApart` says the page number stood
// apart from the title without leaders.
bool tabToReference(Paragraph& p, double textWidthPt, bool setApart);

} // namespace pwt::layout

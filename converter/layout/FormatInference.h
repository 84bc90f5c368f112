#pragma once
// Infers a paragraph's alignment, indents and spacing from its lines' positions.
#include "Lines.h"

#include <cstddef>

namespace pwt::layout {

// Fractions of the paragraph's font size (ems).
inline constexpr double kEdgeToleranceEm = 0.5;   // a line ends "at" an edge within this
inline constexpr double kTwoLineJustifyEm = 0.2;  // stricter for a two-line paragraph: one line to judge by
inline constexpr double kCenterToleranceEm = 1.0; // line centre off the column centre by at most this
inline constexpr double kAwayFromEdgeEm = 2.0;    // centred or right-aligned text keeps this off the left edge
inline constexpr double kMinSpaceEm = 0.2;        // extra space before a paragraph smaller than this is noise

ParagraphFormat inferParagraphFormat(const std::vector<Line>& lines, std::size_t first, std::size_t last,
                                     const ColumnBounds& column);

// Extra space, in twips, between the previous paragraph's last baseline and
// this one's first beyond the normal line pitch of this paragraph.
int spaceBetween(double previousBaseline, double baseline, double fontSize, double pitch);

} // namespace pwt::layout

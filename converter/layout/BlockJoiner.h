#pragma once
// Joins blocks that poppler split inside one paragraph. Poppler starts a new
// block where the font size changes between two lines, and where lines stand
// further apart than one and a half times their size: a line that mixes
// sizes, and every line of a paragraph set at 1.5 or double spacing, would
// otherwise each make a paragraph of their own.
#include "Lines.h"

namespace pwt::layout {

// Steps between baselines this close (in ems) are the same pitch.
inline constexpr double kSamePitchEm = 0.1;
// Blocks are joined only in columns at least this many ems wide: narrower
// ones hold figures, marks and table cells, not running text.
inline constexpr double kMinJoinedColumnEm = 12;
// A line that runs on leaves at most this much room (in ems) at its end.
inline constexpr double kMaxRoomLeftEm = 6;
// Lines ending this close (in ems) end at one right edge: a justified
// paragraph's own, short of the column's when it is indented on the right.
inline constexpr double kSameRightEm = 0.3;
// A paragraph's first line is indented by at most this many ems.
inline constexpr double kMaxFirstLineIndentEm = 4;

// Joins, in place, each block to the one before it in reading order where
// the earlier one's last line runs on into the later one's first: the line
// is full, the next starts at the same left edge, and they are set either at
// the usual distance for their size or at the even pitch of their neighbours.
// Call after orderBlocks(): only blocks of one column are joined.
void joinContinuedBlocks(PageLines& page);

} // namespace pwt::layout

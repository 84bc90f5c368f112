#pragma once
// Puts a page's blocks in reading order: text running across the page
// (titles, abstracts) where it stands, and between two such blocks the
// columns one after the other, each from top to bottom.
#include "Lines.h"

#include <map>
#include <optional>

namespace pwt::layout {

// A block at least this share of the page's text width runs across columns.
inline constexpr double kSpanningShare = 0.6;
// A block of nothing but short numbers (isNumberLike: page references of a
// table of contents, equation numbers, item numbers) belongs to the lines on
// its baselines: numbers standing at most this share of the text width right (or left) of the line...
inline constexpr double kNumberFragmentGapShare = 1.0;
// ...whose baseline lies within this many ems of theirs.
inline constexpr double kSameBaselineEm = 0.3;
// A number at most this many ems before a line opens it (a heading's section
// number), whatever line stands further left: a column gap is wider.
inline constexpr double kLeadingNumberGapEm = 1.5;

// Lines of one block on one baseline whose ends meet within this many ems
// (overlapping or apart) are pieces of one line...
inline constexpr double kSplitLineGapEm = 1.0;
// ...with a space between them where they stand further apart than this.
inline constexpr double kSplitLineSpaceEm = 0.25;

// A line of at most this many Latin letters standing in the gap between two
// words of another line...
inline constexpr std::size_t kStrayGlyphMaxChars = 2;
// ...with its baseline within this many ems of that line's is a letter of it
// set off the baseline (the E of "TeX").
inline constexpr double kStrayBaselineEm = 0.4;
// Closer to a word than this (ems) it joins the word without a space.
inline constexpr double kStrayJoinGapEm = 0.1;

// A block beside a column belongs to it only where the column runs on around
// it: from the block above to the one below at most the block's height and
// this many ems.
inline constexpr double kColumnRunsOnEm = 3.0;
// A block alone on its height under a band of columns carries one of them on
// when it lies within the column's extent give or take this many ems...
inline constexpr double kColumnEdgeSlackEm = 1.0;
// ...and it or a block after it is body text at least this share of the
// column's width.
inline constexpr double kColumnBodyShare = 0.8;

// Body text of a column: a block of at least this many lines...
inline constexpr std::size_t kColumnTextMinLines = 3;
// ...at least this share of the page's text width (a third column is wider),
// half its lines or more filling kColumnBodyShare of its width.
inline constexpr double kColumnTextShare = 0.28;
// A row of short blocks (a formula set in pieces) whose pieces reach into
// the gutter between columns by more than this many ems together runs across
// the page; column text keeps out of the gutter, give or take a hyphen.
inline constexpr double kGutterIntrusionEm = 0.3;

// A block over a gutter whose lines, all but this share, keep out of it is
// text of two columns that poppler joined.
inline constexpr double kMaxCrossingLinesShare = 0.25;

// Column flow id of blocks that belong to no column (they align in the text width).
inline constexpr int kNoColumn = -1;

// First puts back into their lines the fragments poppler set apart (page
// numbers and leaders of contents entries, letters off the baseline) and
// takes margin notes out of the text (MarginNotes.h); they go last.
// Reorders page.blocks and sets each block's flow: one id per detected
// column, kNoColumn for text that spans the page or stands alone.
// `beside`: the boxes of the page's pictures and tables, which stand in
// columns as blocks do.
void orderBlocks(PageLines& page, const std::vector<pdf::Box>& beside = {});

// The extent of the page's upright text (all of it when none is upright).
std::optional<pdf::Box> textExtent(const PageLines& page);

// The column each flow's paragraphs align in, after orderBlocks(): a
// column's own extent, and for kNoColumn the page's text width `body`.
std::map<int, ColumnBounds> columnBounds(const PageLines& page, const pdf::Box& body);

} // namespace pwt::layout

#pragma once
// Takes notes in the page margin out of the lines of text beside them.
// Poppler joins words on one baseline into one line when the gap between
// them is small, so a note set just outside the text column ("see also" in
// the right margin) reads as a word in the middle of the paragraph.
#include "Lines.h"

namespace pwt::layout {

// Lines of at least this many characters tell where the text column ends.
inline constexpr std::size_t kEdgeSampleMinChars = 20;
// ...and an edge is one when this many such lines, and this share of them,
// end (or start) there.
inline constexpr int kEdgeSampleMinLines = 3;
inline constexpr double kEdgeMinShare = 0.3;
// Edges within this many points are one edge.
inline constexpr double kEdgeBinPt = 1.0;
// A word beyond the column's edge by more than this (ems) lies in the margin...
inline constexpr double kPastEdgeEm = 0.3;
// ...when the text before it ends at the edge (punctuation may hang out by
// this many ems) and at least a word space (ems) separates them...
inline constexpr double kHangingEm = 1.0;
inline constexpr double kNoteGapEm = 0.1;
inline constexpr double kNoteGapRatio = 2.0; // times the line's usual gap between words...
inline constexpr std::size_t kMinGapsToCompare = 2; // ...measured on at least this many gaps
// ...and the note is at most this share of the column's width.
inline constexpr double kMaxNoteShare = 0.35;

// Moves the words of notes in the right margin out of the lines beside them
// into blocks of their own, one per note (its lines one below the other), and
// marks them and the blocks of short lines standing wholly outside the page's
// long lines (in either margin) `marginNote`.
void splitMarginNotes(PageLines& page);

} // namespace pwt::layout

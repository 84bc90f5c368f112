#pragma once
// Finds the vector figures of one page (charts, diagrams of boxes and arrows,
// illustrations) among the paths it draws, and tells them from the page's
// furniture: rules and underlines, frames around paragraphs, table lines, page
// borders and shaded boxes behind text. Works on the reader's PageText alone
// (no poppler), in stages:
//   1. scale: the page's body font size is the unit of every distance;
//   2. sort out: invisible paths, page borders and the page colour leave;
//   3. group: paths that touch or lie within a small gap form one drawing;
//      drawings lying over one another join;
//   4. judge: each drawing is a figure, furniture, or a shaded box behind text;
//   5. label: a figure takes in the words drawn over it and the short lines
//      beside it (axis labels, a legend), never a body paragraph.
//
// How a drawing is judged, in this order:
//   - a lone short rule with a centred run of symbols on it and under it,
//     standing clear of other words, is a fraction: a formula figure;
//   - a drawing smaller than kMinFigureSideEm by kMinFigureThicknessEm is
//     furniture: a bullet, a check box, a rule or an underline alone;
//   - one shape alone (one path, or a fill and its outline): coloured and
//     holding words, a shaded box behind text (a Background); outlined, a
//     frame; curved and holding no words, an illustration (a figure);
//   - a curve or a slanted line among several paths makes a figure (a plot,
//     arrow heads, an illustration): furniture is all straight. An outlined
//     shape around words does not count: it may be a table's lines drawn as
//     one path;
//   - straight lines and rectangles only: a chart when coloured rectangles
//     hold no words (bars), a diagram when separate boxes (paths, or four
//     rules each) hold its words; else furniture: rules (underlines, heading
//     and footnote rules, table grids), frames, tables with shaded rows or
//     boxes tiling the drawing (their coloured boxes holding words are
//     Backgrounds);
//   - a drawing holding a paragraph is never a figure but a box around text.
// Before that, paths covering the page leave: a coloured one is the page
// colour (a Background), an outline or rules along its edges a page border.
#include "PageText.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pwt::layout {

// -- 1. Scale ---------------------------------------------------------------
// Distances are in ems of the page's usual font size (the median of its
// words), kept within these bounds so that a page of tiny or huge print, or
// of no text at all, still has a sensible unit.
inline constexpr double kDefaultEmPt = 10.0;
inline constexpr double kMinEmPt = 6.0;
inline constexpr double kMaxEmPt = 24.0;

// -- 2. Sorting out ---------------------------------------------------------
// A fill lighter than this in every channel is white paper: it covers, it
// draws nothing (the white rectangle a PDF lays over the page or behind a
// chart), unless the page has a colour: then it is a white box on it.
inline constexpr std::uint32_t kWhiteChannelMin = 0xF4;
// A filled path covering this share of the page's area is the page colour.
inline constexpr double kPageCoverShare = 0.85;
// A frame spanning this share of the page's width and height is a page
// border, and so is a rule this long (as a share of the page's side) lying
// in the outer kPageEdgeShare of the page.
inline constexpr double kPageBorderShare = 0.8;
inline constexpr double kPageEdgeShare = 0.12;

// -- 3. Grouping ------------------------------------------------------------
// A path no thicker than this (ems), and at least this many times longer
// than thick, is a rule: an underline, a heading's or a footnote's rule, a
// table's line, a chart's axis or an arrow's shaft. A dot is no rule.
inline constexpr double kRuleThicknessEm = 0.3;
inline constexpr double kRuleMinAspect = 3.0;
// Paths whose outlines come this close (ems) belong to one drawing: an arrow
// stopping short of its box, a bar standing on its axis.
inline constexpr double kGroupGapEm = 0.5;
// A rectangle that is only outlined, or that has words inside it, is drawn
// by its edges: what lies inside it without touching them (a paragraph in a
// frame, an icon in a call-out box) is not part of it.
// Grouping sorts the paths into a grid of at most this many cells a side...
inline constexpr int kMaxGridCells = 128;
// ...compares a path only with this many others in each cell (a cell crowded
// with more is solid drawing, and all of it joins)...
inline constexpr std::size_t kDenseCellPaths = 32;
// ...and stops placing paths in cells after this many placements; the paths
// left over (only on pages built to be slow) join one drawing of their own.
inline constexpr std::size_t kMaxCellPlacements = 4'000'000;
// Drawings lying over one another join (the marks of a scatter plot inside
// its axes), and so do figures whose regions overlap once labelled, in at
// most this many rounds each. A frame or a shaded box holding text, and a
// drawing spanning the page (kPageBorderShare), take in nothing this way.
inline constexpr int kMaxOverlapRounds = 4;

// -- 4. Judging -------------------------------------------------------------
// A figure is at least this long on its longer side and this thick on its
// shorter (ems): smaller drawings are bullets, check boxes and ornaments.
inline constexpr double kMinFigureSideEm = 3.0;
inline constexpr double kMinFigureThicknessEm = 1.0;
// Paths whose boxes agree within this many ems are one shape (a rectangle
// filled by one path and outlined by the next).
inline constexpr double kSameShapeEm = 0.2;
// A drawing of rectangles and rules (rectangles drawn as four rules
// count as rectangles) is a chart when at least this many coloured
// rectangles hold no words (bars), ...
inline constexpr std::size_t kMinBars = 2;
// ...and a diagram when at least this many rectangles, covering less than
// this share of the drawing (a table's cells and a frame's box fill it), hold
// nearly all its words (at most this share lies between them: arrow labels,
// where a table's unshaded rows hold half its words).
inline constexpr std::size_t kMinDiagramBoxes = 2;
inline constexpr double kTiledShare = 0.7;
inline constexpr double kDiagramLooseWordShare = 0.34;
// A drawing holding a paragraph (a block with this many lines longer than
// kMaxLabelLengthEm) is a box around text, not a figure, whatever else it
// holds: an icon in the corner of a call-out box leaves its text as text.
inline constexpr std::size_t kParagraphLines = 2;
// A lone horizontal rule is a fraction's bar, and with the words on it and
// under it a formula of any size, when words lie on it and under it within
// this gap (ems), ...
inline constexpr double kFractionGapEm = 0.6;
// ...the bar is at most this long (ems), the words on each side reach past
// its ends by at most this much, centre on it within this much and stand
// at most this far apart (ems; the cells of a table's header row, under
// and over its rules, stand further apart)...
inline constexpr double kMaxFractionEm = 20.0;
inline constexpr double kFractionOverhangEm = 0.25;
inline constexpr double kFractionCentreEm = 0.5;
inline constexpr double kFractionWordGapEm = 1.0;
// ...and no other word stands beside them within this many ems at their
// height: an underlined word has its neighbours on its line.
inline constexpr double kFractionClearEm = 1.0;

// -- 5. Labels --------------------------------------------------------------
// A block of text within this many ems of a figure holds its labels (tick
// labels, an axis title, a legend) when each of its lines either lies within
// that reach of the figure (the tick labels along an axis) or is a short line
// starting there (a legend entry reaching out to the side)...
inline constexpr double kLabelReachEm = 1.5;
inline constexpr double kMaxLabelLengthEm = 12.0;
// ...and it has at most this many lines, or lies wholly within the reach: the
// paragraphs of a column beside the figure have longer lines, and more.
inline constexpr std::size_t kMaxLabelLines = 6;
// Labels are gathered in this many rounds, each reaching on from the last
// (tick labels, then the axis title beyond them). Drawings that are no
// figures (a legend's colour swatches and frame) join the same way.
inline constexpr int kLabelRounds = 3;
// A line beside a figure set larger than this many times the page's text
// size is a heading or a title, not a label: it stays text.
inline constexpr double kMaxLabelSizeRatio = 1.1;
// No label is taken in when the figure's region would then cover a word it
// does not take: the text around a figure stays whole.
// A figure holding more than this share of the page's words is no figure
// (a form or a whole page in a frame) once the page has this many words.
inline constexpr double kMaxFigureWordShare = 0.6;
inline constexpr std::size_t kMinWordsToJudgeShare = 30;
// Regions keep this many points around the drawing, for the half of a thick
// stroke that lies outside a path's box, on the sides where that takes in
// no word.
inline constexpr double kRegionPaddingPt = 2.0;

// A filled box behind text, with its colour: the layout shades the
// paragraphs on it, so light text stays readable.
struct Background {
    pdf::Box box;
    std::uint32_t rgb = 0; // 0xRRGGBB
};

struct FigureRegions {
    std::vector<pdf::Box> figures;       // vector figures to render as pictures (with their labels)
    std::vector<Background> backgrounds; // filled boxes behind text, in drawing order
};

FigureRegions findFigures(const pdf::PageText& page);

// Removes the words that lie inside a figure (they are drawn into its
// picture), and the lines, blocks and flows left empty.
void removeWordsInside(pdf::PageText& page, const std::vector<pdf::Box>& figures);

} // namespace pwt::layout

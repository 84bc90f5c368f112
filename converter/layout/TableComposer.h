#pragma once
// Makes Word tables of the tables found on a page (TableGrid.h): each cell's
// words become its paragraphs, the grid its rows, cell widths and merges, the
// drawn lines its borders; the table's words leave the page's running text.
#include "Lines.h"
#include "TableGrid.h"

#include <vector>

namespace pwt::layout {

// A grid with more columns than Word allows stays text; so does one of more
// rows than this (a page of tiny boxes is not a table anyone edits).
inline constexpr std::size_t kMaxTableRows = 1000;
// A cell's lines whose left (right, centre) edges lie within this many
// points of each other are aligned on that edge.
inline constexpr double kAlignedEdgePt = 1.0;
// Alone in its cell, text is centred when the room on its two sides differs
// by less than this many ems and each side has at least kCentredRoomEm...
inline constexpr double kCentredDifferenceEm = 0.6;
inline constexpr double kCentredRoomEm = 1.0;
// ...and set right when the room on its left is this many ems more than on its right.
inline constexpr double kRightRoomEm = 1.5;
// Word pads a cell's text by this much on either side (its default 108
// twips), and a line needs this much more not to wrap where the PDF's did not.
inline constexpr double kWordCellPaddingPt = 5.4;
inline constexpr double kCellFitSlackPt = 1.0;
// A table on a new page continues the one that ended the page before when
// their column edges lie this close (points).
inline constexpr double kContinuedEdgePt = 3.0;

// A table of one page, laid out, to be placed among the page's text.
struct PageTable {
    pdf::Box box;
    Table table;                     // cell widths in twips as the PDF has them
    std::vector<double> columnEdges; // points, left to right, as the PDF has them
    // The Word width of each column (twips), and how many columns each cell
    // of each row spans: a continuation's rows are set in the first part's columns.
    std::vector<int> columnWidths;
    std::vector<std::vector<std::size_t>> spans;
    // Reading-order position among the page's blocks (after orderBlocks):
    // the table goes before block `beforeBlock` (blocks.size(): at the end).
    std::size_t beforeBlock = 0;
};

struct PageTables {
    std::vector<PageTable> tables; // top to bottom
    pdf::PageText rest;            // the page without the tables' words; only set when tables were found
};

// Finds the page's drawn tables and tables of aligned text and makes Word
// tables of them.
PageTables takeTables(const pdf::PageText& page, FontCache& fonts);

// Fits the table into `column` (points): its left edge where the PDF has it,
// narrowed proportionally when wider than the column.
void fitTable(PageTable& table, const ColumnBounds& column);

// Whether `next`, at the top of a new page, carries on `previous` (the same
// columns): then its rows are appended to `previous`, less a header repeated
// at its top.
bool continueTable(PageTable& previous, const PageTable& next);

// The plain text of a cell, for comparing rows.
std::u16string cellText(const TableCell& cell);

} // namespace pwt::layout

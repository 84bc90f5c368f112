#pragma once
// The properties of a table's paragraphs: each cell paragraph is marked as in
// the table, and each row's end mark carries the row's table properties
// (cell edges, merges, borders, shading, header row, height), as Word 97
// stores a table.
#include "Grpprl.h"
#include "model/Document.h"

#include <vector>

namespace pwt::doc {

inline constexpr char16_t kCellMark = 0x0007; // ends a cell's last paragraph, and a row

// Word's default gap between a cell's edge and its text, in twips.
inline constexpr int kCellPadding = 108;
// A table of narrow cells gets less: at most this share of its narrowest
// cell on each side, so that readers need not widen the cells for it.
inline constexpr int kNarrowestCellPerPadding = 4;

// The gap between the cells' edges and their text for a table of these rows.
int tablePadding(const std::vector<TableRow>& rows);

// A row as it can be written: at most kMaxTableColumns cells (the text of the
// cells beyond goes into the last one, which widens to cover them), widths
// at least kMinCellWidth, a merge continued only below a cell.
TableRow writableRow(const TableRow& row, bool firstRow);
inline constexpr int kMinCellWidth = 20; // twips; narrower cells vanish in some readers

// The sprms that put a paragraph of the given format into a cell (GrpPrlAndIstd).
Grpprl encodeCellParagraph(const ParagraphFormat& format, bool pageBreakBefore);

// The sprms that mark a paragraph as a row's end; a row end's properties
// begin with them, after the style.
Grpprl rowEndMarks();

// GrpPrlAndIstd of a row's end mark. `header`: the row repeats on each page;
// `padding`: the table's, from tablePadding.
Grpprl encodeRowEnd(const TableRow& row, int leftIndent, bool header, int padding);

} // namespace pwt::doc

#pragma once
// A table as the finders see it on one page: a grid of rows and columns, the
// cells that cover it (a cell may span several), the lines drawn around the
// cells and their shading. The cells' words are not part of it: whoever
// builds the table takes the page's words whose centres lie in a cell.
#include "PageText.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pwt::layout {

// A drawn edge of a cell; width 0: not drawn.
struct GridLine {
    double width = 0;        // points
    std::uint32_t rgb = 0;   // 0xRRGGBB
};

struct GridCell {
    std::size_t row = 0, column = 0;            // its top-left slot
    std::size_t rowSpan = 1, columnSpan = 1;
    pdf::Box box;                               // the slots it covers
    GridLine top, bottom, left, right;
    bool shaded = false;                        // a filled box behind it
    std::uint32_t shadingRgb = 0xFFFFFF;
};

struct TableGrid {
    pdf::Box box;
    std::vector<double> columnEdges; // x, left to right: columns + 1 of them
    std::vector<double> rowEdges;    // y, top to bottom: rows + 1 of them
    // Every slot covered by exactly one cell; ordered by row, then column.
    std::vector<GridCell> cells;
    // The rows at the top that head the table (set off by a rule, bold or
    // shaded): Word repeats them on each page the table runs on to.
    std::size_t headerRows = 0;
    bool ruled = false; // from drawn lines; otherwise from the text's alignment

    std::size_t rows() const { return rowEdges.empty() ? 0 : rowEdges.size() - 1; }
    std::size_t columns() const { return columnEdges.empty() ? 0 : columnEdges.size() - 1; }
};

// Tables drawn with lines or shaded rows (TableRules.cpp).
std::vector<TableGrid> findRuledTables(const pdf::PageText& page);

// Tables of text set in aligned columns without lines (AlignedTables.cpp);
// the areas in `taken` (ruled tables, figures) are left alone.
std::vector<TableGrid> findAlignedTables(const pdf::PageText& page, const std::vector<pdf::Box>& taken);

} // namespace pwt::layout

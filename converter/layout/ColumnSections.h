#pragma once
// A page set in columns becomes Word columns: each band of the page whose
// blocks stand in columns (between text running across the page) is a
// section with that many columns, their widths and gaps; a column that ends
// short of the band's foot ends with a column break, so the next column's
// text starts at its top as in the PDF.
#include "Lines.h"

#include <map>
#include <vector>

namespace pwt::layout {

// At most this many Word columns; more side by side is a table or a form.
inline constexpr std::size_t kMaxWordColumns = 4;
// A column narrower than this (points) holds labels or numbers beside the
// text, not running text: the band stays one column.
inline constexpr double kMinColumnWidthPt = 90.0;
// The columns together (gaps included) reach over at least this share of the
// text band; narrower side-by-side blocks (two authors under a title) are
// not a column layout.
inline constexpr double kMinColumnsSpanShare = 0.75;
// Word needs a gap between columns; a measured gap below this is widened to it.
inline constexpr double kMinColumnGapPt = 6.0;
// A figure up to this much wider than a column still stands in it (a
// picture reaching a little into the gutter); a wider one runs across columns.
inline constexpr double kColumnFigureSlack = 1.1;
// A column whose text ends within this share of its band's height above the
// band's foot is full: the text flows on into the next column by itself.
inline constexpr double kFullColumnShare = 0.08;

// For the blocks of `page` (in reading order, after orderBlocks()), each
// block's Word columns and where column breaks go. `cols` as columnBounds().
struct PageColumns {
    std::vector<std::vector<TextColumn>> columnsOf; // per block; empty: one column
    std::vector<std::size_t> columnIndex;           // per block: its Word column, left to right
    std::vector<bool> breakBefore;                  // per block
};
// `pictures`: the boxes of the page's figures, which end a column as text does.
PageColumns planColumns(const PageLines& page, const std::map<int, ColumnBounds>& cols, const ColumnBounds& frame,
                        const std::vector<pdf::Box>& pictures = {});

// The width (points) of Word column `index` of `columns`; the frame's
// width where there are no columns.
double columnWidthPt(const std::vector<TextColumn>& columns, std::size_t index, const ColumnBounds& frame);

} // namespace pwt::layout

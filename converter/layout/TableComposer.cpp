#include "TableComposer.h"

#include "ParagraphComposer.h"
#include "ParagraphSplitter.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <tuple>

namespace pwt::layout {

namespace {

// Lines of one cell whose baselines lie this many ems apart are one line
// (poppler may cut a cell's line in pieces).
constexpr double kSameBaselineEm = 0.3;

// Grids whose boxes overlap by this share of the smaller one are one table.
constexpr double kSameTableShare = 0.5;

bool sameTable(const pdf::Box& a, const pdf::Box& b)
{
    const double w = std::min(a.xMax, b.xMax) - std::max(a.xMin, b.xMin);
    const double h = std::min(a.yMax, b.yMax) - std::max(a.yMin, b.yMin);
    if (w <= 0 || h <= 0)
        return false;
    const double smaller = std::min(a.width() * a.height(), b.width() * b.height());
    return w * h >= kSameTableShare * smaller;
}

// Which slot of the grid a point falls in; npos outside.
std::size_t slotOf(const std::vector<double>& edges, double v)
{
    if (edges.size() < 2 || !std::isfinite(v) || v < edges.front() || v > edges.back())
        return std::string::npos;
    const auto it = std::upper_bound(edges.begin(), edges.end(), v);
    const std::size_t i = static_cast<std::size_t>(it - edges.begin());
    return std::min(i == 0 ? 0 : i - 1, edges.size() - 2);
}

// The words of each cell of one grid, as lines in reading order.
struct CellWords {
    std::vector<std::vector<pdf::TextLine>> lines; // per cell of grid.cells
};

// The cell covering each slot, row by row.
std::vector<std::size_t> slotOwners(const TableGrid& grid)
{
    std::vector<std::size_t> owner(grid.rows() * grid.columns(), std::string::npos);
    for (std::size_t i = 0; i < grid.cells.size(); ++i) {
        const GridCell& c = grid.cells[i];
        for (std::size_t r = c.row; r < std::min(c.row + c.rowSpan, grid.rows()); ++r)
            for (std::size_t k = c.column; k < std::min(c.column + c.columnSpan, grid.columns()); ++k)
                owner[r * grid.columns() + k] = i;
    }
    return owner;
}

// Sorts a cell's pieces of lines by baseline and joins those on one baseline.
std::vector<pdf::TextLine> joinCellLines(std::vector<pdf::TextLine> pieces)
{
    auto baseline = [](const pdf::TextLine& l) { return l.words.front().baseline; };
    std::stable_sort(pieces.begin(), pieces.end(), [&](const pdf::TextLine& a, const pdf::TextLine& b) {
        return baseline(a) < baseline(b);
    });
    std::vector<pdf::TextLine> lines;
    for (pdf::TextLine& piece : pieces) {
        if (!lines.empty()
            && std::abs(baseline(lines.back()) - baseline(piece)) < kSameBaselineEm * piece.words.front().fontSize) {
            auto& words = lines.back().words;
            words.back().spaceAfter = true;
            words.insert(words.end(), piece.words.begin(), piece.words.end());
            std::stable_sort(words.begin(), words.end(),
                             [](const pdf::TextWord& a, const pdf::TextWord& b) { return a.box.xMin < b.box.xMin; });
        } else {
            lines.push_back(std::move(piece));
        }
    }
    return lines;
}

// The alignment of one line alone in a cell, from the room on its sides.
Alignment alignmentInCell(const Line& line, const pdf::Box& cell)
{
    const double em = line.fontSize;
    const double leftRoom = line.left() - cell.xMin, rightRoom = cell.xMax - line.right();
    if (leftRoom >= kCentredRoomEm * em && rightRoom >= kCentredRoomEm * em
        && std::abs(leftRoom - rightRoom) < kCentredDifferenceEm * em)
        return Alignment::Center;
    if (leftRoom - rightRoom > kRightRoomEm * em)
        return Alignment::Right;
    return Alignment::Left;
}

// The alignment shared by a column's lines: the edge on which they all lie.
// Columns of one line or of lines of equal width say nothing (not known).
struct SharedAlignment {
    bool known = false;
    Alignment alignment = Alignment::Left;
};

SharedAlignment columnAlignment(const std::vector<const Line*>& lines)
{
    if (lines.size() < 2)
        return {};
    auto spread = [&](auto value) {
        double lo = value(*lines.front()), hi = lo;
        for (const Line* l : lines) {
            lo = std::min(lo, value(*l));
            hi = std::max(hi, value(*l));
        }
        return hi - lo;
    };
    const double lefts = spread([](const Line& l) { return l.left(); });
    const double rights = spread([](const Line& l) { return l.right(); });
    const double centres = spread([](const Line& l) { return (l.left() + l.right()) / 2; });
    if (lefts <= kAlignedEdgePt && rights <= kAlignedEdgePt)
        return {};
    if (lefts <= kAlignedEdgePt)
        return {true, Alignment::Left};
    if (rights <= kAlignedEdgePt)
        return {true, Alignment::Right};
    if (centres <= kAlignedEdgePt)
        return {true, Alignment::Center};
    return {};
}

CellBorder borderOf(const GridLine& line)
{
    if (line.width <= 0)
        return {};
    // Word draws borders of 1/4 to 12 points (2..96 eighths).
    return {std::clamp(static_cast<int>(std::lround(line.width * 8)), 2, 96), line.rgb};
}

// A cell's text laid out: its lines, their paragraphs.
struct LaidOutCell {
    std::vector<Line> lines;
    std::vector<std::size_t> starts; // first line of each paragraph, then lines.size()
};

LaidOutCell layOutCell(std::vector<pdf::TextLine> pieces, FontCache& fonts)
{
    LaidOutCell out;
    if (pieces.empty())
        return out;
    pdf::PageText cellPage;
    pdf::TextBlock& block = cellPage.flows.emplace_back().blocks.emplace_back();
    block.lines = joinCellLines(std::move(pieces));
    block.box = block.lines.front().words.front().box;
    for (const auto& l : block.lines)
        for (const auto& w : l.words) {
            block.box.xMin = std::min(block.box.xMin, w.box.xMin);
            block.box.yMin = std::min(block.box.yMin, w.box.yMin);
            block.box.xMax = std::max(block.box.xMax, w.box.xMax);
            block.box.yMax = std::max(block.box.yMax, w.box.yMax);
        }
    PageLines laid = collectLines(cellPage, fonts);
    for (Block& b : laid.blocks)
        for (Line& l : b.lines)
            out.lines.push_back(std::move(l));
    if (out.lines.empty())
        return out;
    out.starts = paragraphStarts(out.lines);
    out.starts.push_back(out.lines.size());
    return out;
}

// Whether every character of the row's text is bold; rows without text are not.
bool allBold(const TableRow& row)
{
    bool any = false;
    for (const TableCell& c : row.cells)
        for (const Paragraph& p : c.paragraphs)
            for (const Run& r : p.runs) {
                const bool blank = std::all_of(r.text.begin(), r.text.end(), [](char16_t ch) { return ch == u' '; });
                if (blank)
                    continue;
                if (!r.format.bold)
                    return false;
                any = true;
            }
    return any;
}

// Where the finder saw no header, bold rows at the top over rows that are
// not bold head the table, with the rows their cells reach down into.
void markBoldHeader(Table& table)
{
    if (std::any_of(table.rows.begin(), table.rows.end(), [](const TableRow& r) { return r.header; }))
        return;
    std::size_t bold = 0;
    while (bold < table.rows.size() && allBold(table.rows[bold]))
        ++bold;
    if (bold == 0 || bold == table.rows.size())
        return;
    auto reachesDown = [&](std::size_t r) {
        return r < table.rows.size() && std::any_of(table.rows[r].cells.begin(), table.rows[r].cells.end(), [](const TableCell& c) {
                   return c.verticalMerge == VerticalMerge::Continue;
               });
    };
    while (reachesDown(bold))
        ++bold;
    if (bold >= table.rows.size())
        return;
    for (std::size_t r = 0; r < bold; ++r)
        table.rows[r].header = true;
}

// Column edges (points) where each column holds its widest line and Word's
// cell padding: columns the PDF set tighter than Word pads its cells take
// the room from columns with room to spare, the table's width staying.
std::vector<double> roomyEdges(const TableGrid& grid, const std::vector<LaidOutCell>& cells)
{
    const std::size_t n = grid.columns();
    std::vector<double> width(n), need(n, 0);
    for (std::size_t k = 0; k < n; ++k)
        width[k] = grid.columnEdges[k + 1] - grid.columnEdges[k];
    for (std::size_t i = 0; i < grid.cells.size(); ++i) {
        const GridCell& c = grid.cells[i];
        if (c.columnSpan != 1 || c.column >= n)
            continue;
        for (const Line& l : cells[i].lines)
            need[c.column] = std::max(need[c.column], l.box.width() + 2 * kWordCellPaddingPt + kCellFitSlackPt);
    }
    double lacking = 0, spare = 0;
    for (std::size_t k = 0; k < n; ++k) {
        lacking += std::max(0.0, need[k] - width[k]);
        spare += std::max(0.0, width[k] - need[k]);
    }
    if (lacking > 0 && spare > 0) {
        const double share = std::min(1.0, lacking / spare);
        for (std::size_t k = 0; k < n; ++k)
            width[k] = need[k] > width[k] ? width[k] + (need[k] - width[k]) * std::min(1.0, spare / lacking)
                                          : width[k] - (width[k] - need[k]) * share;
    }
    std::vector<double> edges{grid.columnEdges.front()};
    for (double w : width)
        edges.push_back(edges.back() + w);
    return edges;
}

void fillTable(PageTable& out, const TableGrid& grid, std::vector<LaidOutCell>& cells)
{
    const std::vector<double> edges = roomyEdges(grid, cells);
    for (std::size_t k = 0; k + 1 < edges.size(); ++k)
        out.columnWidths.push_back(twips(edges[k + 1] - edges[k]));
    out.spans.assign(grid.rows(), {});
    // Each column's alignment, from its body cells of one column.
    std::vector<SharedAlignment> columnAligns(grid.columns());
    for (std::size_t k = 0; k < grid.columns(); ++k) {
        std::vector<const Line*> lines;
        for (std::size_t i = 0; i < grid.cells.size(); ++i) {
            const GridCell& c = grid.cells[i];
            if (c.column == k && c.columnSpan == 1 && c.row >= grid.headerRows)
                for (const Line& l : cells[i].lines)
                    lines.push_back(&l);
        }
        columnAligns[k] = columnAlignment(lines);
    }
    Table table;
    table.rows.resize(grid.rows());
    for (std::size_t r = 0; r < grid.rows(); ++r) {
        TableRow& row = table.rows[r];
        row.header = r < grid.headerRows;
        if (grid.ruled)
            row.height = twips(grid.rowEdges[r + 1] - grid.rowEdges[r]);
    }
    const std::vector<std::size_t> owner = slotOwners(grid);
    for (std::size_t r = 0; r < grid.rows(); ++r) {
        for (std::size_t k = 0; k < grid.columns();) {
            const std::size_t index = owner[r * grid.columns() + k];
            if (index == std::string::npos) { // a gap in the grid: an empty cell of one slot
                TableCell empty;
                empty.width = twips(edges[k + 1] - edges[k]);
                table.rows[r].cells.push_back(std::move(empty));
                out.spans[r].push_back(1);
                ++k;
                continue;
            }
            const GridCell& g = grid.cells[index];
            const std::size_t span = std::max<std::size_t>(1, std::min(g.columnSpan, grid.columns() - k));
            TableCell cell;
            cell.width = twips(edges[k + span] - edges[k]);
            cell.top = borderOf(g.top);
            cell.bottom = borderOf(g.bottom);
            cell.left = borderOf(g.left);
            cell.right = borderOf(g.right);
            cell.shaded = g.shaded;
            cell.shadingRgb = g.shadingRgb;
            if (g.rowSpan > 1)
                cell.verticalMerge = g.row == r ? VerticalMerge::Restart : VerticalMerge::Continue;
            if (g.row == r) {
                LaidOutCell& laid = cells[index];
                const SharedAlignment shared = span == 1 && g.row >= grid.headerRows ? columnAligns[k] : SharedAlignment{};
                for (std::size_t p = 0; p + 1 < laid.starts.size(); ++p) {
                    Paragraph para = composeParagraph(laid.lines, laid.starts[p], laid.starts[p + 1]);
                    para.format.alignment = shared.known ? shared.alignment : alignmentInCell(laid.lines[laid.starts[p]], g.box);
                    cell.paragraphs.push_back(std::move(para));
                }
            }
            table.rows[r].cells.push_back(std::move(cell));
            out.spans[r].push_back(span);
            k += span;
        }
    }
    markBoldHeader(table);
    out.table = std::move(table);
}

} // namespace

PageTables takeTables(const pdf::PageText& page, FontCache& fonts)
{
    PageTables out;
    std::vector<TableGrid> grids = findRuledTables(page);
    std::vector<pdf::Box> taken;
    for (const TableGrid& g : grids)
        taken.push_back(g.box);
    for (const pdf::PageImage& image : page.images)
        taken.push_back(image.visible);
    for (TableGrid& g : findAlignedTables(page, taken))
        grids.push_back(std::move(g));
    std::erase_if(grids, [](const TableGrid& g) {
        return g.columns() == 0 || g.rows() == 0 || g.columns() > kMaxTableColumns || g.rows() > kMaxTableRows
            || g.cells.empty();
    });
    // A grid over most of one kept before it is the same table seen twice.
    std::vector<TableGrid> kept;
    for (TableGrid& g : grids)
        if (std::none_of(kept.begin(), kept.end(), [&](const TableGrid& k) { return sameTable(k.box, g.box); }))
            kept.push_back(std::move(g));
    grids = std::move(kept);
    if (grids.empty())
        return out;
    std::sort(grids.begin(), grids.end(), [](const TableGrid& a, const TableGrid& b) { return a.box.yMin < b.box.yMin; });

    // Hand each word to the cell its centre lies in; the others stay on the page.
    std::vector<std::vector<std::size_t>> owners;
    std::vector<std::vector<std::map<std::tuple<std::size_t, std::size_t, std::size_t>, pdf::TextLine>>> pieces;
    for (const TableGrid& g : grids) {
        owners.push_back(slotOwners(g));
        pieces.emplace_back(g.cells.size());
    }
    out.rest = page;
    for (auto& flows : out.rest.flows)
        for (auto& b : flows.blocks)
            for (auto& l : b.lines)
                l.words.clear();
    for (std::size_t f = 0; f < page.flows.size(); ++f)
        for (std::size_t b = 0; b < page.flows[f].blocks.size(); ++b)
            for (std::size_t l = 0; l < page.flows[f].blocks[b].lines.size(); ++l)
                for (const pdf::TextWord& w : page.flows[f].blocks[b].lines[l].words) {
                    const double x = (w.box.xMin + w.box.xMax) / 2, y = (w.box.yMin + w.box.yMax) / 2;
                    bool inTable = false;
                    for (std::size_t t = 0; t < grids.size() && !inTable; ++t) {
                        const std::size_t column = slotOf(grids[t].columnEdges, x), row = slotOf(grids[t].rowEdges, y);
                        if (column == std::string::npos || row == std::string::npos)
                            continue;
                        const std::size_t cell = owners[t][row * grids[t].columns() + column];
                        if (cell == std::string::npos)
                            continue;
                        pieces[t][cell][{f, b, l}].words.push_back(w);
                        inTable = true;
                    }
                    if (!inTable)
                        out.rest.flows[f].blocks[b].lines[l].words.push_back(w);
                }
    // Lines, blocks and flows left empty go; the blocks' boxes shrink to what is left.
    for (auto& flow : out.rest.flows) {
        for (auto& block : flow.blocks) {
            std::erase_if(block.lines, [](const pdf::TextLine& l) { return l.words.empty(); });
            bool first = true;
            for (const auto& l : block.lines)
                for (const auto& w : l.words) {
                    if (std::exchange(first, false))
                        block.box = w.box;
                    block.box.xMin = std::min(block.box.xMin, w.box.xMin);
                    block.box.yMin = std::min(block.box.yMin, w.box.yMin);
                    block.box.xMax = std::max(block.box.xMax, w.box.xMax);
                    block.box.yMax = std::max(block.box.yMax, w.box.yMax);
                }
        }
        std::erase_if(flow.blocks, [](const pdf::TextBlock& b) { return b.lines.empty(); });
    }
    std::erase_if(out.rest.flows, [](const pdf::TextFlow& f) { return f.blocks.empty(); });

    for (std::size_t t = 0; t < grids.size(); ++t) {
        std::vector<LaidOutCell> cells;
        cells.reserve(grids[t].cells.size());
        for (auto& byLine : pieces[t]) {
            std::vector<pdf::TextLine> lines;
            for (auto& [key, line] : byLine)
                lines.push_back(std::move(line));
            cells.push_back(layOutCell(std::move(lines), fonts));
        }
        PageTable pt;
        pt.box = grids[t].box;
        pt.columnEdges = grids[t].columnEdges;
        fillTable(pt, grids[t], cells);
        out.tables.push_back(std::move(pt));
    }
    return out;
}

void fitTable(PageTable& t, const ColumnBounds& column)
{
    int widest = 0;
    for (const TableRow& row : t.table.rows) {
        int w = 0;
        for (const TableCell& c : row.cells)
            w += c.width;
        widest = std::max(widest, w);
    }
    const int room = std::max(twips(column.width()), 1);
    if (widest > room) {
        const double scale = static_cast<double>(room) / widest;
        for (TableRow& row : t.table.rows)
            for (TableCell& c : row.cells)
                c.width = static_cast<int>(std::floor(c.width * scale));
        for (int& w : t.columnWidths)
            w = static_cast<int>(std::floor(w * scale));
        t.table.leftIndent = 0;
    } else {
        t.table.leftIndent = std::clamp(twips(t.box.xMin - column.left), 0, room - widest);
    }
}

std::u16string cellText(const TableCell& cell)
{
    std::u16string text;
    for (const Paragraph& p : cell.paragraphs)
        for (const Run& r : p.runs)
            text += r.text;
    return text;
}

bool continueTable(PageTable& previous, const PageTable& next)
{
    const auto& a = previous.columnEdges;
    const auto& b = next.columnEdges;
    if (a.size() != b.size() || previous.table.rows.empty())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::abs(a[i] - b[i]) > kContinuedEdgePt)
            return false;
    // The header the first part began with, repeated on the new page, goes.
    std::size_t skip = 0;
    auto sameRow = [](const TableRow& x, const TableRow& y) {
        if (x.cells.size() != y.cells.size())
            return false;
        for (std::size_t i = 0; i < x.cells.size(); ++i)
            if (cellText(x.cells[i]) != cellText(y.cells[i]))
                return false;
        return true;
    };
    while (skip < next.table.rows.size() && skip < previous.table.rows.size() && previous.table.rows[skip].header
           && sameRow(previous.table.rows[skip], next.table.rows[skip]))
        ++skip;
    // The rows go on in the first part's columns.
    for (std::size_t r = skip; r < next.table.rows.size(); ++r) {
        TableRow row = next.table.rows[r];
        row.header = false;
        // A merge down from a header row left out starts afresh.
        if (r == skip)
            for (TableCell& c : row.cells)
                if (c.verticalMerge == VerticalMerge::Continue)
                    c.verticalMerge = VerticalMerge::None;
        std::size_t k = 0;
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            const std::size_t span = i < next.spans[r].size() ? next.spans[r][i] : 1;
            int width = 0;
            for (std::size_t j = k; j < std::min(k + span, previous.columnWidths.size()); ++j)
                width += previous.columnWidths[j];
            row.cells[i].width = std::max(width, 1);
            k += span;
        }
        previous.table.rows.push_back(std::move(row));
        previous.spans.push_back(next.spans[r]);
    }
    return true;
}

} // namespace pwt::layout

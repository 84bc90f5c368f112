#include "FigureFinder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <optional>
#include <utility>

namespace pwt::layout {

namespace {

using pdf::Box;

bool finite(const Box& b)
{
    return std::isfinite(b.xMin) && std::isfinite(b.yMin) && std::isfinite(b.xMax) && std::isfinite(b.yMax)
        && b.xMin <= b.xMax && b.yMin <= b.yMax;
}

Box unite(const Box& a, const Box& b)
{
    return {std::min(a.xMin, b.xMin), std::min(a.yMin, b.yMin), std::max(a.xMax, b.xMax), std::max(a.yMax, b.yMax)};
}

Box grown(const Box& b, double by)
{
    return {b.xMin - by, b.yMin - by, b.xMax + by, b.yMax + by};
}

bool touches(const Box& a, const Box& b)
{
    return a.xMin <= b.xMax && b.xMin <= a.xMax && a.yMin <= b.yMax && b.yMin <= a.yMax;
}

double area(const Box& b)
{
    return b.width() * b.height();
}

double overlapArea(const Box& a, const Box& b)
{
    const double w = std::min(a.xMax, b.xMax) - std::max(a.xMin, b.xMin);
    const double h = std::min(a.yMax, b.yMax) - std::max(a.yMin, b.yMin);
    return w > 0 && h > 0 ? w * h : 0.0;
}

bool sameShape(const Box& a, const Box& b, double tolerance)
{
    return std::abs(a.xMin - b.xMin) <= tolerance && std::abs(a.yMin - b.yMin) <= tolerance
        && std::abs(a.xMax - b.xMax) <= tolerance && std::abs(a.yMax - b.yMax) <= tolerance;
}

bool isWhite(std::uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) >= kWhiteChannelMin && ((rgb >> 8) & 0xFF) >= kWhiteChannelMin
        && (rgb & 0xFF) >= kWhiteChannelMin;
}

// Cells over the page, at most kMaxGridCells a side. Anything off the page
// falls into the edge cells, so a query and a placement of one box always
// meet in the same cells.
class CellGrid {
public:
    struct Span {
        int x0, y0, x1, y1;
        std::size_t count() const { return std::size_t(x1 - x0 + 1) * std::size_t(y1 - y0 + 1); }
    };

    CellGrid(const Box& area, double minCell)
        : origin_(area)
    {
        cellW_ = std::max(area.width() / kMaxGridCells, minCell);
        cellH_ = std::max(area.height() / kMaxGridCells, minCell);
        cols_ = std::clamp(static_cast<int>(std::ceil(area.width() / cellW_)), 1, kMaxGridCells);
        rows_ = std::clamp(static_cast<int>(std::ceil(area.height() / cellH_)), 1, kMaxGridCells);
    }

    std::size_t cellCount() const { return std::size_t(cols_) * std::size_t(rows_); }
    int columns() const { return cols_; }
    std::size_t index(int cx, int cy) const { return std::size_t(cy) * std::size_t(cols_) + std::size_t(cx); }

    Span span(const Box& b) const
    {
        return {column(b.xMin), row(b.yMin), column(b.xMax), row(b.yMax)};
    }

    template <typename Visit>
    void forEachCell(const Box& b, Visit&& visit) const
    {
        const Span s = span(b);
        for (int cy = s.y0; cy <= s.y1; ++cy)
            for (int cx = s.x0; cx <= s.x1; ++cx)
                visit(index(cx, cy));
    }

private:
    int column(double x) const { return cell(x - origin_.xMin, cellW_, cols_); }
    int row(double y) const { return cell(y - origin_.yMin, cellH_, rows_); }
    static int cell(double offset, double size, int count)
    {
        const double i = std::floor(offset / size);
        return static_cast<int>(std::clamp(i, 0.0, static_cast<double>(count - 1)));
    }

    Box origin_;
    double cellW_ = 1, cellH_ = 1;
    int cols_ = 1, rows_ = 1;
};

class UnionFind {
public:
    explicit UnionFind(std::size_t n)
        : parent_(n)
    {
        std::iota(parent_.begin(), parent_.end(), std::size_t{0});
    }
    std::size_t root(std::size_t i)
    {
        while (parent_[i] != i)
            i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    bool join(std::size_t a, std::size_t b)
    {
        a = root(a);
        b = root(b);
        if (a == b)
            return false;
        parent_[std::max(a, b)] = std::min(a, b);
        return true;
    }

private:
    std::vector<std::size_t> parent_;
};

// Joins the owners of pieces that touch once each piece is grown by `reach`.
// Pieces are compared only with those sharing a grid cell, and a crowded
// cell joins all its pieces at once, so the work stays near linear.
bool joinTouching(const std::vector<Box>& pieces, const std::vector<std::size_t>& owners, double reach,
    const CellGrid& grid, UnionFind& sets)
{
    std::vector<std::vector<std::size_t>> cells(grid.cellCount());
    std::size_t placements = 0;
    bool joined = false;
    std::size_t overflow = owners.size(); // the first piece that found no room, if any
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        const Box box = grown(pieces[p], reach / 2);
        placements += grid.span(box).count();
        if (placements > kMaxCellPlacements) {
            if (overflow == owners.size())
                overflow = p;
            joined |= sets.join(owners[p], owners[overflow]);
            continue;
        }
        grid.forEachCell(box, [&](std::size_t c) {
            std::vector<std::size_t>& cell = cells[c];
            if (cell.size() >= kDenseCellPaths) {
                joined |= sets.join(owners[p], owners[cell.front()]);
                return;
            }
            for (std::size_t q : cell)
                if (touches(box, grown(pieces[q], reach / 2)))
                    joined |= sets.join(owners[p], owners[q]);
            cell.push_back(p);
        });
    }
    return joined;
}

// -- The page's words ---------------------------------------------------------

struct WordRef {
    Box box;
    double cx = 0, cy = 0;
    std::size_t line = 0; // index into PageWords::lines
};

struct LineRef {
    Box box;
    std::size_t block = 0; // index into PageWords::blocks
    std::size_t first = 0, count = 0; // its words in PageWords::words
    double size = 0;       // its largest font size
};

struct BlockRef {
    Box box;
    std::size_t first = 0, count = 0; // its lines in PageWords::lines
};

// The words, lines and blocks of a page with their boxes, and a grid of the
// words' centres to find those inside a box.
class PageWords {
public:
    PageWords(const pdf::PageText& page, const CellGrid& grid)
        : grid_(grid), cells_(grid.cellCount())
    {
        for (const auto& flow : page.flows)
            for (const auto& block : flow.blocks) {
                BlockRef blockRef{{}, lines.size(), 0};
                for (const auto& line : block.lines) {
                    LineRef ref{{}, blocks.size(), words.size(), 0, 0};
                    for (const auto& w : line.words) {
                        if (!finite(w.box))
                            continue;
                        ref.box = ref.count == 0 ? w.box : unite(ref.box, w.box);
                        ++ref.count;
                        words.push_back({w.box, (w.box.xMin + w.box.xMax) / 2, (w.box.yMin + w.box.yMax) / 2, lines.size()});
                        if (std::isfinite(w.fontSize) && w.fontSize > 0) {
                            sizes_.push_back(w.fontSize);
                            ref.size = std::max(ref.size, w.fontSize);
                        }
                    }
                    if (ref.count == 0)
                        continue;
                    blockRef.box = blockRef.count == 0 ? ref.box : unite(blockRef.box, ref.box);
                    ++blockRef.count;
                    lines.push_back(ref);
                }
                if (blockRef.count > 0)
                    blocks.push_back(blockRef);
            }
        for (std::size_t i = 0; i < words.size(); ++i)
            placeWord(i);
        // Words in the cells above and left of each corner, for counting
        // the words of a run of whole cells at once.
        const std::size_t cols = std::size_t(grid_.columns());
        const std::size_t rows = cells_.size() / cols;
        before_.assign((cols + 1) * (rows + 1), 0);
        for (std::size_t y = 0; y < rows; ++y)
            for (std::size_t x = 0; x < cols; ++x)
                before_[(y + 1) * (cols + 1) + x + 1] = cells_[y * cols + x].size() + before_[y * (cols + 1) + x + 1]
                    + before_[(y + 1) * (cols + 1) + x] - before_[y * (cols + 1) + x];
    }

    // The median font size, within bounds.
    double em()
    {
        if (sizes_.empty())
            return kDefaultEmPt;
        auto mid = sizes_.begin() + static_cast<std::ptrdiff_t>(sizes_.size() / 2);
        std::nth_element(sizes_.begin(), mid, sizes_.end());
        return std::clamp(*mid, kMinEmPt, kMaxEmPt);
    }

    // Calls `visit(i)` for every word whose centre lies inside `box`; stops
    // when it returns false.
    template <typename Visit>
    void forEachInside(const Box& box, Visit&& visit) const
    {
        const CellGrid::Span s = grid_.span(box);
        for (int cy = s.y0; cy <= s.y1; ++cy)
            for (int cx = s.x0; cx <= s.x1; ++cx)
                for (std::size_t i : cells_[grid_.index(cx, cy)])
                    if (holdsPoint(box, words[i].cx, words[i].cy) && !visit(i))
                        return;
    }

    // Whether a word's centre lies inside `box`: the cells wholly inside it
    // are counted at once, only the cells on its edges are searched.
    bool anyInside(const Box& box) const
    {
        const CellGrid::Span s = grid_.span(box);
        if (s.x1 - s.x0 >= 2 && s.y1 - s.y0 >= 2 && wordsInCells(s.x0 + 1, s.y0 + 1, s.x1 - 1, s.y1 - 1) > 0)
            return true;
        auto searchCell = [&](int cx, int cy) {
            const std::vector<std::size_t>& cell = cells_[grid_.index(cx, cy)];
            return std::any_of(cell.begin(), cell.end(), [&](std::size_t i) { return holdsPoint(box, words[i].cx, words[i].cy); });
        };
        for (int cx = s.x0; cx <= s.x1; ++cx)
            if (searchCell(cx, s.y0) || searchCell(cx, s.y1))
                return true;
        for (int cy = s.y0 + 1; cy < s.y1; ++cy)
            if (searchCell(s.x0, cy) || searchCell(s.x1, cy))
                return true;
        return false;
    }

    std::vector<WordRef> words;
    std::vector<LineRef> lines;
    std::vector<BlockRef> blocks;

private:
    void placeWord(std::size_t i)
    {
        const Box centre{words[i].cx, words[i].cy, words[i].cx, words[i].cy};
        grid_.forEachCell(centre, [&](std::size_t c) { cells_[c].push_back(i); });
    }

    std::size_t wordsInCells(int x0, int y0, int x1, int y1) const
    {
        const std::size_t stride = std::size_t(grid_.columns()) + 1;
        auto at = [&](int x, int y) { return before_[std::size_t(y) * stride + std::size_t(x)]; };
        return at(x1 + 1, y1 + 1) - at(x0, y1 + 1) - at(x1 + 1, y0) + at(x0, y0);
    }

    const CellGrid& grid_;
    std::vector<std::vector<std::size_t>> cells_;
    std::vector<std::size_t> before_; // (columns + 1) x (rows + 1) running sums of words per cell
    std::vector<double> sizes_;
};

// -- Marks: the visible paths ----------------------------------------------

enum class Role {
    Rule,  // thin and long: underline, rule, table line, axis, arrow shaft
    Box,   // an axis-aligned rectangle: a frame, a bar, a shaded box, a cell
    Shape, // anything else: curves, slanted lines, arrow heads, pie slices
};

struct Mark {
    Box box;
    Role role = Role::Shape;
    bool colourFill = false; // filled with something other than paper white
    std::uint32_t fillRgb = 0;
    bool holdsWords = false; // a word's centre lies inside its box
    std::size_t order = 0;   // its place in the page's drawing order
};

struct Sorted {
    std::vector<Mark> marks;
    std::vector<std::pair<std::size_t, Background>> pageColours; // with their place in the drawing order
};

bool isRule(const Box& b, double em)
{
    const double thin = std::min(b.width(), b.height());
    const double length = std::max(b.width(), b.height());
    return thin <= kRuleThicknessEm * em && length >= kRuleMinAspect * thin && length > 0;
}

bool sizeKnown(const pdf::PageText& page)
{
    const Box pageBox{0, 0, page.width, page.height};
    return finite(pageBox) && area(pageBox) > 0;
}

bool spansPage(const Box& b, const pdf::PageText& page)
{
    return b.width() >= kPageBorderShare * page.width && b.height() >= kPageBorderShare * page.height;
}

// Stage 2: what the page draws, less the paper, the page colour and borders.
Sorted sortOut(const pdf::PageText& page, const PageWords& words, double em)
{
    Sorted out;
    const Box pageBox{0, 0, page.width, page.height};
    const bool pageKnown = sizeKnown(page);
    bool colouredPage = false; // white is paper until a page colour is laid
    for (std::size_t i = 0; i < page.paths.size(); ++i) {
        const pdf::PagePath& p = page.paths[i];
        if (!finite(p.box) || (!p.stroked && !p.filled) || (pageKnown && !touches(p.box, pageBox)))
            continue;
        const bool colourFill = p.filled && (colouredPage || !isWhite(p.fillRgb));
        if (p.filled && !colourFill && !p.stroked)
            continue; // white on white paper
        if (pageKnown && colourFill && overlapArea(p.box, pageBox) >= kPageCoverShare * area(pageBox)) {
            out.pageColours.push_back({i, {p.box, p.fillRgb}});
            colouredPage = !isWhite(p.fillRgb);
            continue;
        }
        if (pageKnown && !colourFill && spansPage(p.box, page))
            continue; // a page border
        if (pageKnown && isRule(p.box, em)) {
            const double edgeX = kPageEdgeShare * page.width;
            const double edgeY = kPageEdgeShare * page.height;
            const bool borderRow = p.box.width() >= kPageBorderShare * page.width && (p.box.yMax <= edgeY || p.box.yMin >= page.height - edgeY);
            const bool borderColumn = p.box.height() >= kPageBorderShare * page.height && (p.box.xMax <= edgeX || p.box.xMin >= page.width - edgeX);
            if (borderRow || borderColumn)
                continue; // a page border drawn as four rules
        }
        Mark m;
        m.box = p.box;
        m.role = isRule(p.box, em) ? Role::Rule : p.rectangle ? Role::Box : Role::Shape;
        m.colourFill = colourFill;
        m.fillRgb = p.fillRgb;
        m.holdsWords = m.role != Role::Rule && words.anyInside(p.box);
        m.order = i;
        out.marks.push_back(m);
    }
    return out;
}

// -- Stage 3: grouping ---------------------------------------------------------

// A rectangle only outlined, or holding words, is drawn by its edges: what
// lies inside it without touching them is no part of it. Anything else is
// drawn all over its box (a bar, a curve through a chart's axes).
bool drawnByEdges(const Mark& m)
{
    return m.role != Role::Rule && ((m.role == Role::Box && !m.colourFill) || m.holdsWords);
}

struct Group {
    std::vector<std::size_t> marks;
    Box box;
};

bool isOneShape(const Group& g, const std::vector<Mark>& marks, double em)
{
    return std::all_of(g.marks.begin(), g.marks.end(), [&](std::size_t i) { return sameShape(marks[i].box, g.box, kSameShapeEm * em); });
}

std::vector<Group> collect(const std::vector<Mark>& marks, UnionFind& sets)
{
    std::vector<Group> groups;
    std::vector<std::size_t> slot(marks.size(), marks.size());
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const std::size_t r = sets.root(i);
        if (slot[r] == marks.size()) {
            slot[r] = groups.size();
            groups.push_back({{}, marks[i].box});
        }
        Group& g = groups[slot[r]];
        g.marks.push_back(i);
        g.box = unite(g.box, marks[i].box);
    }
    return groups;
}

std::vector<Group> groupMarks(const std::vector<Mark>& marks, const pdf::PageText& page, const CellGrid& grid, double em)
{
    std::vector<Box> pieces;
    std::vector<std::size_t> owners;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const Box& b = marks[i].box;
        if (drawnByEdges(marks[i])) {
            for (const Box& edge : {Box{b.xMin, b.yMin, b.xMax, b.yMin}, Box{b.xMin, b.yMax, b.xMax, b.yMax},
                     Box{b.xMin, b.yMin, b.xMin, b.yMax}, Box{b.xMax, b.yMin, b.xMax, b.yMax}}) {
                pieces.push_back(edge);
                owners.push_back(i);
            }
        } else {
            pieces.push_back(b);
            owners.push_back(i);
        }
    }
    UnionFind sets(marks.size());
    joinTouching(pieces, owners, kGroupGapEm * em, grid, sets);

    // Drawings lying over one another are one (a scatter plot's marks inside
    // its axes), but a frame or a shaded box holding text keeps to itself:
    // the paragraph, icon or chart inside it is not part of it.
    for (int round = 0; round < kMaxOverlapRounds; ++round) {
        const std::vector<Group> groups = collect(marks, sets);
        std::vector<Box> boxes;
        std::vector<std::size_t> firsts;
        for (const Group& g : groups) {
            const bool container = isOneShape(g, marks, em)
                && std::any_of(g.marks.begin(), g.marks.end(), [&](std::size_t i) { return marks[i].holdsWords; });
            if (container || spansPage(g.box, page))
                continue;
            boxes.push_back(g.box);
            firsts.push_back(g.marks.front());
        }
        if (!joinTouching(boxes, firsts, 0.0, grid, sets))
            break;
    }
    return collect(marks, sets);
}

// -- Stage 4: judging ----------------------------------------------------------

struct Verdict {
    bool figure = false;
    Box drawing;                          // what the figure's picture shows, before labels
    std::vector<std::size_t> backgrounds; // marks that shade text, when no figure
};

// The rectangles a group draws with four rules each (a frame of rules, a
// table's row between two rules and two column lines): two horizontal rules
// of one extent, next above one another, joined at both ends by vertical ones.
std::vector<Box> rectanglesOfRules(const Group& g, const std::vector<Mark>& marks, double em)
{
    const double tolerance = kSameShapeEm * em;
    std::vector<Box> rows, columns;
    for (std::size_t i : g.marks) {
        const Box& b = marks[i].box;
        if (marks[i].role == Role::Rule)
            (b.width() >= b.height() ? rows : columns).push_back(b);
    }
    auto key = [&](const Box& b) { return std::array{std::round(b.xMin / tolerance), std::round(b.xMax / tolerance), b.yMin}; };
    std::sort(rows.begin(), rows.end(), [&](const Box& a, const Box& b) { return key(a) < key(b); });
    std::sort(columns.begin(), columns.end(), [](const Box& a, const Box& b) { return a.xMin < b.xMin; });
    // A vertical rule at `x` from `top` to `bottom`: looked up among those at
    // about that x, a crowd of them (only on pages built to be slow) cut short.
    auto columnAt = [&](double x, double top, double bottom) {
        auto it = std::lower_bound(columns.begin(), columns.end(), x - tolerance, [](const Box& c, double v) { return c.xMin < v; });
        for (std::size_t seen = 0; it != columns.end() && it->xMin <= x + tolerance && seen < kDenseCellPaths; ++it, ++seen)
            if (std::abs(it->yMin - top) <= tolerance && std::abs(it->yMax - bottom) <= tolerance)
                return true;
        return false;
    };
    std::vector<Box> found;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        const Box& top = rows[i];
        const Box& bottom = rows[i + 1];
        if (!sameShape({top.xMin, 0, top.xMax, 0}, {bottom.xMin, 0, bottom.xMax, 0}, tolerance))
            continue;
        if (columnAt(top.xMin, top.yMin, bottom.yMax) && columnAt(top.xMax, top.yMin, bottom.yMax))
            found.push_back({top.xMin, top.yMin, top.xMax, bottom.yMax});
    }
    return found;
}

// Rectangles, rules and shapes around words only: a chart of bars, a
// diagram of boxes, or else furniture (a table's lines and shading, frames,
// rules).
bool rectilinearFigure(const Group& g, const std::vector<Mark>& marks, const PageWords& words, double em)
{
    std::vector<Box> boxes = rectanglesOfRules(g, marks, em);
    std::size_t bars = 0;
    for (std::size_t i : g.marks) {
        const Mark& m = marks[i];
        if (m.role == Role::Rule || (m.role == Role::Shape && (!m.holdsWords || m.colourFill)))
            continue;
        if (m.colourFill && !m.holdsWords)
            ++bars;
        boxes.push_back(m.box);
    }
    // One box filled by one path and outlined by the next counts once.
    const double snap = kSameShapeEm * em;
    auto snapped = [&](const Box& b) {
        return std::array{std::round(b.xMin / snap), std::round(b.yMin / snap), std::round(b.xMax / snap), std::round(b.yMax / snap)};
    };
    std::sort(boxes.begin(), boxes.end(), [&](const Box& a, const Box& b) { return snapped(a) < snapped(b); });
    boxes.erase(std::unique(boxes.begin(), boxes.end(), [&](const Box& a, const Box& b) { return snapped(a) == snapped(b); }), boxes.end());
    if (bars >= kMinBars)
        return true;
    if (boxes.size() < kMinDiagramBoxes)
        return false;
    double covered = 0;
    for (const Box& b : boxes)
        covered += area(b);
    if (covered >= kTiledShare * area(g.box))
        return false; // cells of a table, boxes in a frame
    // A diagram's words sit in its boxes; a table's sit in its rows, shaded or not.
    std::vector<std::size_t> inBoxes;
    for (const Box& b : boxes)
        words.forEachInside(b, [&](std::size_t w) { return inBoxes.push_back(w), true; });
    std::sort(inBoxes.begin(), inBoxes.end());
    std::size_t all = 0, loose = 0;
    words.forEachInside(g.box, [&](std::size_t w) {
        ++all;
        loose += std::binary_search(inBoxes.begin(), inBoxes.end(), w) ? 0 : 1;
        return true;
    });
    return static_cast<double>(loose) <= kDiagramLooseWordShare * static_cast<double>(all);
}

// A lone short rule with a numerator on it and a denominator under it, both
// centred and standing clear of other words: the bar of a fraction. Returns
// the formula's box (the bar, its numerator and denominator), or nothing.
std::optional<Box> fraction(const Group& g, const std::vector<Mark>& marks, const PageWords& words, double em, bool oneShape)
{
    const Box& bar = g.box;
    const bool rule = std::all_of(g.marks.begin(), g.marks.end(), [&](std::size_t i) { return marks[i].role == Role::Rule; });
    if (!oneShape || !rule || bar.width() <= bar.height() || bar.width() > kMaxFractionEm * em)
        return std::nullopt;
    const double gap = kFractionGapEm * em;
    const double overhang = kFractionOverhangEm * em;
    const double barX = (bar.xMin + bar.xMax) / 2;
    // The words a numerator, a denominator or their neighbours could be.
    std::vector<std::size_t> near;
    constexpr double kSearchEm = 3.0; // they lie within this many ems of the bar
    words.forEachInside(grown(bar, kSearchEm * em), [&](std::size_t w) { return near.push_back(w), true; });
    auto side = [&](bool above) -> std::optional<Box> {
        std::optional<Box> part;
        std::vector<Box> pieces;
        for (std::size_t w : near) {
            const Box& b = words.words[w].box;
            const bool overBar = b.xMax > bar.xMin && b.xMin < bar.xMax;
            const bool onIt = above ? b.yMax >= bar.yMin - gap && b.yMax <= bar.yMax : b.yMin <= bar.yMax + gap && b.yMin >= bar.yMin;
            if (!overBar || !onIt)
                continue;
            if (b.xMin < bar.xMin - overhang || b.xMax > bar.xMax + overhang)
                return std::nullopt; // text running across the rule's end
            part = part ? unite(*part, b) : b;
            pieces.push_back(b);
        }
        // One run of symbols, not the cells of a table's row under its rule.
        std::sort(pieces.begin(), pieces.end(), [](const Box& a, const Box& b) { return a.xMin < b.xMin; });
        double reached = pieces.empty() ? 0 : pieces.front().xMax;
        for (const Box& b : pieces) {
            if (b.xMin - reached > kFractionWordGapEm * em)
                return std::nullopt;
            reached = std::max(reached, b.xMax);
        }
        if (!part || std::abs((part->xMin + part->xMax) / 2 - barX) > kFractionCentreEm * em)
            return std::nullopt;
        const double clear = kFractionClearEm * em;
        for (std::size_t w : near) {
            const WordRef& o = words.words[w];
            const bool atItsHeight = o.cy >= part->yMin && o.cy <= part->yMax;
            const bool beside = (o.box.xMax <= part->xMin && o.box.xMax >= part->xMin - clear)
                || (o.box.xMin >= part->xMax && o.box.xMin <= part->xMax + clear);
            if (atItsHeight && beside)
                return std::nullopt;
        }
        return part;
    };
    const std::optional<Box> numerator = side(true);
    const std::optional<Box> denominator = numerator ? side(false) : std::nullopt;
    if (!denominator)
        return std::nullopt;
    return unite(bar, unite(*numerator, *denominator));
}

bool holdsParagraph(const Box& box, const PageWords& words, double em)
{
    std::vector<std::size_t> longLines;
    words.forEachInside(box, [&](std::size_t w) {
        const Box& line = words.lines[words.words[w].line].box;
        if (std::max(line.width(), line.height()) > kMaxLabelLengthEm * em)
            longLines.push_back(words.words[w].line);
        return true;
    });
    std::sort(longLines.begin(), longLines.end());
    longLines.erase(std::unique(longLines.begin(), longLines.end()), longLines.end());
    std::vector<std::size_t> blocks;
    for (std::size_t l : longLines)
        blocks.push_back(words.lines[l].block);
    std::sort(blocks.begin(), blocks.end());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const auto run = std::upper_bound(blocks.begin(), blocks.end(), blocks[i]) - blocks.begin();
        if (static_cast<std::size_t>(run) - i >= kParagraphLines)
            return true;
    }
    return false;
}

Verdict judge(const Group& g, const std::vector<Mark>& marks, const PageWords& words, double em)
{
    Verdict v;
    v.drawing = g.box;
    const bool oneShape = isOneShape(g, marks, em);
    for (std::size_t i : g.marks) {
        const Mark& m = marks[i];
        if (m.colourFill && m.holdsWords && (m.role == Role::Box || oneShape))
            v.backgrounds.push_back(i);
    }
    if (const std::optional<Box> formula = fraction(g, marks, words, em, oneShape)) {
        // Text alone would lose the bar: a formula is a figure of any size.
        v.figure = true;
        v.drawing = *formula;
        return v;
    }
    const double longSide = std::max(g.box.width(), g.box.height());
    const double shortSide = std::min(g.box.width(), g.box.height());
    if (longSide < kMinFigureSideEm * em || shortSide < kMinFigureThicknessEm * em)
        return v; // a bullet, a check box, an ornament, a rule
    // An outlined shape around words may be all of a table's lines drawn as
    // one path: only filled shapes (a pie's slice) or shapes holding no words
    // tell a drawing.
    const bool curved = std::any_of(g.marks.begin(), g.marks.end(), [&](std::size_t i) {
        return marks[i].role == Role::Shape && (!marks[i].holdsWords || marks[i].colourFill);
    });
    if (oneShape)
        // One shape alone: a frame or a shaded box, or, drawn with curves
        // and holding no text, an illustration (a logo, an outline map).
        v.figure = curved && v.backgrounds.empty()
            && std::none_of(g.marks.begin(), g.marks.end(), [&](std::size_t i) { return marks[i].holdsWords; });
    else
        // Curves and slanted lines among other paths draw a chart's plot,
        // arrow heads, an illustration: furniture is all straight.
        v.figure = curved || rectilinearFigure(g, marks, words, em);
    if (v.figure && holdsParagraph(g.box, words, em))
        v.figure = false;
    if (v.figure)
        v.backgrounds.clear();
    return v;
}

// -- Stage 5: labels -----------------------------------------------------------

double gapBetween(const Box& a, const Box& b)
{
    const double dx = std::max({0.0, a.xMin - b.xMax, b.xMin - a.xMax});
    const double dy = std::max({0.0, a.yMin - b.yMax, b.yMin - a.yMax});
    return std::hypot(dx, dy);
}

// Boxes found by where they lie: the drawings near a figure.
class BoxIndex {
public:
    BoxIndex(const CellGrid& grid, std::vector<Box> boxes)
        : grid_(grid), boxes_(std::move(boxes)), cells_(grid.cellCount()), seen_(boxes_.size(), 0)
    {
        std::size_t placements = 0;
        for (std::size_t i = 0; i < boxes_.size(); ++i) {
            placements += grid_.span(boxes_[i]).count();
            if (placements > kMaxCellPlacements)
                break; // only on pages built to be slow: the rest are not found
            grid_.forEachCell(boxes_[i], [&](std::size_t c) { cells_[c].push_back(i); });
        }
    }

    // Calls `visit(box)` once for every box touching `area`.
    template <typename Visit>
    void forEachTouching(const Box& area, Visit&& visit)
    {
        ++query_;
        grid_.forEachCell(area, [&](std::size_t c) {
            for (std::size_t i : cells_[c])
                if (seen_[i] != query_ && touches(boxes_[i], area)) {
                    seen_[i] = query_;
                    visit(boxes_[i]);
                }
        });
    }

private:
    const CellGrid& grid_;
    std::vector<Box> boxes_;
    std::vector<std::vector<std::size_t>> cells_;
    std::vector<std::size_t> seen_;
    std::size_t query_ = 0;
};

// A block of labels beside `region`, not a paragraph of the text around it.
bool isLabelBlock(const BlockRef& block, const PageWords& words, const Box& region, double em)
{
    const double reachPt = kLabelReachEm * em;
    const Box reach = grown(region, reachPt);
    if (gapBetween(block.box, region) > reachPt)
        return false;
    // Text larger than the page's is a heading or title beside the figure.
    for (std::size_t l = block.first; l < block.first + block.count; ++l)
        if (words.lines[l].size > kMaxLabelSizeRatio * em && !within(words.lines[l].box, region))
            return false;
    if (within(block.box, reach))
        return true;
    if (block.count > kMaxLabelLines)
        return false;
    for (std::size_t l = block.first; l < block.first + block.count; ++l) {
        const Box& line = words.lines[l].box;
        const bool shortLine = std::max(line.width(), line.height()) <= kMaxLabelLengthEm * em;
        if (!within(line, reach) && !(shortLine && gapBetween(line, region) <= reachPt))
            return false;
    }
    return true;
}

// The figure's region: its drawing, the words drawn over it, and the labels
// and small drawings beside it, never so far that it takes in a word of the
// text around. Marks the words it takes in `owner` with `stamp`.
Box gatherLabels(const Box& drawing, const PageWords& words, BoxIndex& otherDrawings, double em,
    std::vector<std::size_t>& owner, std::size_t stamp)
{
    constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);
    struct Candidate {
        Box box;
        std::size_t line = kNoLine;
    };
    Box region = drawing;
    auto take = [&](std::size_t w) { owner[w] = stamp; };
    words.forEachInside(drawing, [&](std::size_t w) { return take(w), true; });
    const double reachPt = kLabelReachEm * em;
    for (int round = 0; round < kLabelRounds; ++round) {
        // Every word a label could bring the region over.
        std::vector<std::size_t> near;
        words.forEachInside(grown(region, reachPt + kMaxLabelLengthEm * em), [&](std::size_t w) {
            if (owner[w] != stamp)
                near.push_back(w);
            return true;
        });
        std::vector<std::size_t> blocks;
        for (std::size_t w : near)
            blocks.push_back(words.lines[words.words[w].line].block);
        std::sort(blocks.begin(), blocks.end());
        blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
        std::vector<Candidate> candidates;
        std::vector<std::size_t> labelBlocks;
        for (std::size_t b : blocks)
            if (isLabelBlock(words.blocks[b], words, region, em)) {
                labelBlocks.push_back(b);
                for (std::size_t l = words.blocks[b].first; l < words.blocks[b].first + words.blocks[b].count; ++l)
                    candidates.push_back({words.lines[l].box, l});
            }
        // The words a label must not bring the region over: the text around.
        std::erase_if(near, [&](std::size_t w) {
            return std::binary_search(labelBlocks.begin(), labelBlocks.end(), words.lines[words.words[w].line].block);
        });
        // Drawings beside it that are no figures themselves: a legend's
        // swatches and frame, like a label line.
        const Box reach = grown(region, reachPt);
        otherDrawings.forEachTouching(reach, [&](const Box& b) {
            const bool small = std::max(b.width(), b.height()) <= kMaxLabelLengthEm * em;
            if ((within(b, reach) || small) && !within(b, region))
                candidates.push_back({b, kNoLine});
        });
        std::stable_sort(candidates.begin(), candidates.end(), [&](const Candidate& a, const Candidate& b) {
            return gapBetween(a.box, region) < gapBetween(b.box, region);
        });
        bool grew = false;
        for (const Candidate& c : candidates) {
            const Box wider = unite(region, c.box);
            // A drawing brings along the few lines it holds (a legend's
            // names in its frame), never a paragraph.
            auto heldLabel = [&](std::size_t w) {
                const BlockRef& block = words.blocks[words.lines[words.words[w].line].block];
                return c.line == kNoLine && within(block.box, c.box) && block.count <= kMaxLabelLines;
            };
            const bool coversText = std::any_of(near.begin(), near.end(), [&](std::size_t w) {
                const WordRef& o = words.words[w];
                return holdsPoint(wider, o.cx, o.cy) && !heldLabel(w);
            });
            if (coversText)
                continue;
            if (c.line != kNoLine)
                for (std::size_t w = words.lines[c.line].first; w < words.lines[c.line].first + words.lines[c.line].count; ++w)
                    take(w);
            for (std::size_t w : near)
                if (heldLabel(w) && holdsPoint(c.box, words.words[w].cx, words.words[w].cy))
                    take(w);
            grew |= !within(c.box, region);
            region = wider;
        }
        if (!grew)
            break;
    }
    return region;
}

// The region with kRegionPaddingPt more on each side where that takes in no
// word: text set right up to a drawing stays out of its picture.
Box padded(const Box& region, const PageWords& words)
{
    const double pad = kRegionPaddingPt;
    Box out = region;
    if (!words.anyInside({region.xMin - pad, region.yMin, region.xMin, region.yMax}))
        out.xMin -= pad;
    if (!words.anyInside({region.xMax, region.yMin, region.xMax + pad, region.yMax}))
        out.xMax += pad;
    if (!words.anyInside({out.xMin, region.yMin - pad, out.xMax, region.yMin}))
        out.yMin -= pad;
    if (!words.anyInside({out.xMin, region.yMax, out.xMax, region.yMax + pad}))
        out.yMax += pad;
    return out;
}

} // namespace

FigureRegions findFigures(const pdf::PageText& page)
{
    FigureRegions out;
    // A page of no usable size still gets a grid, of a letter page.
    const bool pageKnown = sizeKnown(page);
    const Box pageBox = pageKnown ? Box{0, 0, page.width, page.height} : Box{0, 0, 612, 792};
    // Cells no smaller than a small gap: grids of tiny cells cost more than they save.
    constexpr double kMinCellPt = 4.0;
    const CellGrid grid(pageBox, kMinCellPt);
    PageWords words(page, grid);
    const double em = words.em();

    Sorted sorted = sortOut(page, words, em);
    const std::vector<Group> groups = groupMarks(sorted.marks, page, grid, em);

    // Backgrounds keep the page's drawing order: a box drawn later lies on top.
    std::vector<std::pair<std::size_t, Background>> shades = sorted.pageColours;

    std::vector<Box> drawings;
    std::vector<Box> others; // no figures, no shaded boxes: a legend's swatches and frame, rules, frames
    for (const Group& g : groups) {
        const Verdict v = judge(g, sorted.marks, words, em);
        if (v.figure)
            drawings.push_back(v.drawing);
        else if (v.backgrounds.empty())
            others.push_back(g.box);
        for (std::size_t i : v.backgrounds)
            shades.push_back({sorted.marks[i].order, {sorted.marks[i].box, sorted.marks[i].fillRgb}});
    }

    BoxIndex otherDrawings(grid, std::move(others));
    std::vector<std::size_t> owner(words.words.size(), drawings.size());
    const double pageArea = area(pageBox);
    for (std::size_t f = 0; f < drawings.size(); ++f) {
        Box region = gatherLabels(drawings[f], words, otherDrawings, em, owner, f);
        std::size_t taken = 0;
        words.forEachInside(region, [&](std::size_t) { return ++taken, true; });
        const bool mostOfThePage = words.words.size() >= kMinWordsToJudgeShare
            && static_cast<double>(taken) > kMaxFigureWordShare * static_cast<double>(words.words.size());
        if (mostOfThePage)
            continue;
        // An image the drawing lies over is part of the picture (arrows and
        // call-outs on a screenshot), unless it is the page's backdrop.
        for (const pdf::PageImage& image : page.images)
            if (finite(image.visible) && overlapArea(image.visible, drawings[f]) > 0
                && overlapArea(image.visible, pageBox) < kPageCoverShare * pageArea)
                region = unite(region, image.visible);
        region = padded(region, words);
        if (pageKnown)
            region = {std::max(region.xMin, pageBox.xMin), std::max(region.yMin, pageBox.yMin),
                std::min(region.xMax, pageBox.xMax), std::min(region.yMax, pageBox.yMax)};
        if (region.xMin < region.xMax && region.yMin < region.yMax)
            out.figures.push_back(region);
    }

    // Figures whose regions overlap are one picture.
    if (out.figures.size() > 1) {
        UnionFind sets(out.figures.size());
        std::vector<std::size_t> owners(out.figures.size());
        std::iota(owners.begin(), owners.end(), std::size_t{0});
        for (int round = 0; round < kMaxOverlapRounds && joinTouching(out.figures, owners, 0.0, grid, sets); ++round) {
            std::vector<Box> merged;
            for (std::size_t i = 0; i < out.figures.size(); ++i) {
                const std::size_t r = sets.root(i);
                if (r == i)
                    continue;
                out.figures[r] = unite(out.figures[r], out.figures[i]);
            }
            for (std::size_t i = 0; i < out.figures.size(); ++i)
                if (sets.root(i) == i)
                    merged.push_back(out.figures[i]);
            out.figures = std::move(merged);
            sets = UnionFind(out.figures.size());
            owners.resize(out.figures.size());
            std::iota(owners.begin(), owners.end(), std::size_t{0});
        }
    }

    // Shading inside a figure is drawn into its picture.
    std::stable_sort(shades.begin(), shades.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [drawn, shade] : shades) {
        const Box& b = shade.box;
        const bool drawnInAFigure = std::any_of(out.figures.begin(), out.figures.end(), [&](const Box& f) { return within(b, f); });
        if (!drawnInAFigure)
            out.backgrounds.push_back(shade);
    }
    return out;
}

void removeWordsInside(pdf::PageText& page, const std::vector<pdf::Box>& figures)
{
    if (figures.empty())
        return;
    auto inside = [&](const pdf::TextWord& w) {
        const double cx = (w.box.xMin + w.box.xMax) / 2, cy = (w.box.yMin + w.box.yMax) / 2;
        return std::any_of(figures.begin(), figures.end(), [&](const Box& f) { return holdsPoint(f, cx, cy); });
    };
    for (auto& flow : page.flows) {
        for (auto& block : flow.blocks) {
            for (auto& line : block.lines)
                std::erase_if(line.words, inside);
            std::erase_if(block.lines, [](const pdf::TextLine& l) { return l.words.empty(); });
            bool first = true;
            for (const auto& line : block.lines)
                for (const auto& w : line.words) {
                    block.box = first ? w.box : unite(block.box, w.box);
                    first = false;
                }
        }
        std::erase_if(flow.blocks, [](const pdf::TextBlock& b) { return b.lines.empty(); });
    }
    std::erase_if(page.flows, [](const pdf::TextFlow& f) { return f.blocks.empty(); });
}

} // namespace pwt::layout

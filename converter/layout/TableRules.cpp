// Tables drawn with lines or shaded rows, found on one page in stages:
//  1. marks: the horizontal and vertical pieces of line the page draws (thin
//     rectangles, straight lines, the edges of outlined rectangles) and the
//     shaded boxes, whose edges bound cells without being drawn;
//  2. snapping: coordinates that nearly meet become one; collinear pieces
//     join into lines;
//  3. grouping: lines that cross or touch make a candidate table; bare
//     horizontal rules and shaded bands of one width, stacked close, join
//     (three-rule tables, zebra rows);
//  4. the grid: column edges from the vertical lines, or else from the gaps
//     between the words inside; row edges from the horizontal lines, split
//     at the text's lines where the rules hold several;
//  5. cells: slots with no line between them merge; each cell's drawn edges
//     and shading; the header rows;
//  6. judging: a single box (a frame), fewer than 2 rows or columns,
//     fewer than two cells with words, or shaded bars holding no words (a
//     chart) make no table.
// The unit is the page's usual font size (ems), shared with the figure
// finder, which leaves table lines and shading to this finder.
#include "TableGrid.h"

#include "FigureFinder.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <queue>

namespace pwt::layout {

namespace {

using pdf::Box;

// -- Constants ----------------------------------------------------------------
// Stage 1. A stroke of width 0 is the thinnest line the device draws: it
// counts as this wide (points).
constexpr double kHairlinePt = 0.25;
// A piece of line shorter than this (ems) is a dot or a tick, no table line.
constexpr double kMinTableLineEm = 0.5;
// A shaded box smaller than this on a side (ems) is a swatch or a bullet,
// not the shading of a cell or a row.
constexpr double kMinShadeSideEm = 0.8;
// Stage 2. Coordinates this close (ems) are one: lines that stop short of
// each other or overshoot by a little still meet.
constexpr double kSnapEm = 0.2;
// At most this many lines on a page (after joining collinear pieces): a page
// drawing more is a pattern or a plot, and grouping them would cost too much.
constexpr std::size_t kMaxTableLinesPerPage = 8000;
// Stage 3. Bare rules and shaded bands of the same width join into one table
// when the gap between them is at most this many ems (a three-rule table's
// body); rules further apart (a heading's rule and a footnote's), or with no
// words between them, stay apart.
constexpr double kMaxStackGapEm = 30.0;
// Stage 4. A vertical strip free of words this wide (ems) across all the
// rows is a gap between columns (wider than the space between words).
constexpr double kMinColumnGapEm = 1.0;
// A narrower strip, down to this (ems: wider than a space), is one when the
// words beside it line up within kColumnAlignEm in every row: the columns of
// a cramped table, where a paragraph's spaces fall anywhere.
constexpr double kMinAlignedGapEm = 0.4;
constexpr double kColumnAlignEm = 0.3;
// Words whose baselines lie this close (ems) share a line of text.
constexpr double kSameBaselineEm = 0.4;
// Grids with more slots than this are not built (a table of 500 x 500).
constexpr std::size_t kMaxGridSlots = 250'000;
// Stage 5. A line covering this share of a slot's side separates it from its
// neighbour there, and is that side's drawn edge.
constexpr double kSlotCoverShare = 0.5;
// At most this many rows at the top head a table.
constexpr std::size_t kMaxHeaderRows = 3;
// A rule under the header this many times heavier than the body's rules
// sets the header off.
constexpr double kHeavierRuleRatio = 1.2;
// Stage 6. This many shaded boxes with no words in any is a chart's bars.
constexpr std::size_t kMinChartBars = 2;

// -- Helpers ------------------------------------------------------------------

bool finiteBox(const Box& b)
{
    return std::isfinite(b.xMin) && std::isfinite(b.yMin) && std::isfinite(b.xMax) && std::isfinite(b.yMax)
        && b.xMin <= b.xMax && b.yMin <= b.yMax;
}

bool isWhiteRgb(std::uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) >= kWhiteChannelMin && ((rgb >> 8) & 0xFF) >= kWhiteChannelMin
        && (rgb & 0xFF) >= kWhiteChannelMin;
}

struct Word {
    Box box;
    double cx = 0, cy = 0;
    double baseline = 0;
    bool bold = false;
};

std::vector<Word> collectWords(const pdf::PageText& page)
{
    std::vector<Word> out;
    for (const auto& f : page.flows)
        for (const auto& b : f.blocks)
            for (const auto& l : b.lines)
                for (const auto& w : l.words)
                    if (finiteBox(w.box) && std::isfinite(w.baseline))
                        out.push_back({w.box, (w.box.xMin + w.box.xMax) / 2, (w.box.yMin + w.box.yMax) / 2, w.baseline, w.bold});
    return out;
}

double pageEm(const pdf::PageText& page)
{
    std::vector<double> sizes;
    for (const auto& f : page.flows)
        for (const auto& b : f.blocks)
            for (const auto& l : b.lines)
                for (const auto& w : l.words)
                    if (std::isfinite(w.fontSize) && w.fontSize > 0)
                        sizes.push_back(w.fontSize);
    if (sizes.empty())
        return kDefaultEmPt;
    auto mid = sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2);
    std::nth_element(sizes.begin(), mid, sizes.end());
    return std::clamp(*mid, kMinEmPt, kMaxEmPt);
}

std::vector<double> uniqueSorted(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

// -- Stage 1: marks -----------------------------------------------------------

// A piece of a horizontal or vertical line.
struct Piece {
    double pos = 0;           // y of a horizontal piece, x of a vertical one
    double from = 0, to = 0;  // along it
    double width = 0;         // 0: the edge of a shaded box, not drawn
    std::uint32_t rgb = 0;
};

struct Fill {
    Box box;
    std::uint32_t rgb = 0;
    bool white = false; // paints cells back to paper
};

struct Marks {
    std::vector<Piece> horizontal, vertical;
    std::vector<Fill> fills; // in drawing order
};

void addEdges(Marks& m, const Box& b, double width, std::uint32_t rgb, double em)
{
    if (b.width() >= kMinTableLineEm * em) {
        m.horizontal.push_back({b.yMin, b.xMin, b.xMax, width, rgb});
        m.horizontal.push_back({b.yMax, b.xMin, b.xMax, width, rgb});
    }
    if (b.height() >= kMinTableLineEm * em) {
        m.vertical.push_back({b.xMin, b.yMin, b.yMax, width, rgb});
        m.vertical.push_back({b.xMax, b.yMin, b.yMax, width, rgb});
    }
}

double strokeWidth(const pdf::PagePath& p)
{
    return p.lineWidth > 0 ? p.lineWidth : kHairlinePt;
}

Marks collectMarks(const pdf::PageText& page, double em)
{
    Marks m;
    const bool pageKnown = std::isfinite(page.width) && std::isfinite(page.height) && page.width > 0 && page.height > 0;
    for (const pdf::PagePath& p : page.paths) {
        if (!finiteBox(p.box) || (!p.stroked && !p.filled) || !p.rectangle)
            continue; // curves and slanted lines are drawings
        const Box& b = p.box;
        const double thin = std::min(b.width(), b.height());
        const double length = std::max(b.width(), b.height());
        const bool spansPage = pageKnown && b.width() >= kPageBorderShare * page.width && b.height() >= kPageBorderShare * page.height;
        if (thin <= kRuleThicknessEm * em && length >= kRuleMinAspect * thin && length >= kMinTableLineEm * em) {
            if (pageKnown) {
                const bool borderRow = b.width() >= kPageBorderShare * page.width
                    && (b.yMax <= kPageEdgeShare * page.height || b.yMin >= (1 - kPageEdgeShare) * page.height);
                const bool borderColumn = b.height() >= kPageBorderShare * page.height
                    && (b.xMax <= kPageEdgeShare * page.width || b.xMin >= (1 - kPageEdgeShare) * page.width);
                if (borderRow || borderColumn)
                    continue; // a page border drawn as four rules
            }
            const double stroke = p.stroked ? strokeWidth(p) : 0.0;
            const double width = (p.filled ? thin : 0.0) + stroke;
            const std::uint32_t rgb = p.stroked ? p.strokeRgb : p.fillRgb;
            if (width <= 0 || !std::isfinite(width) || isWhiteRgb(rgb))
                continue; // nothing drawn on paper
            if (b.width() >= b.height())
                m.horizontal.push_back({(b.yMin + b.yMax) / 2, b.xMin, b.xMax, width, rgb});
            else
                m.vertical.push_back({(b.xMin + b.xMax) / 2, b.yMin, b.yMax, width, rgb});
            continue;
        }
        if (spansPage)
            continue; // a page border, the page's colour
        if (p.filled && b.width() >= kMinShadeSideEm * em && b.height() >= kMinShadeSideEm * em) {
            const bool white = isWhiteRgb(p.fillRgb);
            m.fills.push_back({b, p.fillRgb, white});
            if (!white)
                addEdges(m, b, 0.0, p.fillRgb, em);
        }
        if (p.stroked && !isWhiteRgb(p.strokeRgb) && std::isfinite(p.lineWidth))
            addEdges(m, b, strokeWidth(p), p.strokeRgb, em);
    }
    return m;
}

// -- Stage 2: snapping and lines ------------------------------------------------

// Coordinates gathered into clusters no wider than the tolerance, each
// replaced by its mean.
class Snapper {
public:
    Snapper(std::vector<double> values, double tolerance)
    {
        std::sort(values.begin(), values.end());
        std::size_t i = 0;
        while (i < values.size()) {
            std::size_t j = i;
            double sum = 0;
            while (j < values.size() && values[j] - values[i] <= tolerance)
                sum += values[j++];
            lows_.push_back(values[i]);
            means_.push_back(sum / static_cast<double>(j - i));
            i = j;
        }
    }

    // `v` must be one of the values given.
    double operator()(double v) const
    {
        auto it = std::upper_bound(lows_.begin(), lows_.end(), v);
        return it == lows_.begin() ? v : means_[static_cast<std::size_t>(it - lows_.begin()) - 1];
    }

private:
    std::vector<double> lows_, means_;
};

void snapAll(Marks& m, double tolerance)
{
    std::vector<double> xs, ys;
    for (const Piece& p : m.horizontal) {
        ys.push_back(p.pos);
        xs.push_back(p.from);
        xs.push_back(p.to);
    }
    for (const Piece& p : m.vertical) {
        xs.push_back(p.pos);
        ys.push_back(p.from);
        ys.push_back(p.to);
    }
    for (const Fill& f : m.fills) {
        xs.insert(xs.end(), {f.box.xMin, f.box.xMax});
        ys.insert(ys.end(), {f.box.yMin, f.box.yMax});
    }
    const Snapper x(std::move(xs), tolerance), y(std::move(ys), tolerance);
    for (Piece& p : m.horizontal)
        p = {y(p.pos), x(p.from), x(p.to), p.width, p.rgb};
    for (Piece& p : m.vertical)
        p = {x(p.pos), y(p.from), y(p.to), p.width, p.rgb};
    for (Fill& f : m.fills)
        f.box = {x(f.box.xMin), y(f.box.yMin), x(f.box.xMax), y(f.box.yMax)};
}

struct Line {
    double pos = 0, from = 0, to = 0;
};

// The pieces of one direction joined into lines, and flattened into disjoint
// segments per position, each showing the heaviest piece drawn there, so
// that what covers a stretch is found by a binary search whatever the
// pieces overlap.
class Direction {
public:
    Direction(std::vector<Piece> pieces, double tolerance)
    {
        std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
            return a.pos != b.pos ? a.pos < b.pos : a.from < b.from;
        });
        std::size_t begin = 0;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const Piece& p = pieces[i];
            const bool newPos = i == 0 || pieces[i - 1].pos != p.pos;
            if (newPos && i > 0) {
                flatten(pieces, begin, i);
                begin = i;
            }
            if (newPos || p.from > lines_.back().to + tolerance)
                lines_.push_back({p.pos, p.from, p.to});
            else
                lines_.back().to = std::max(lines_.back().to, p.to);
        }
        if (!pieces.empty())
            flatten(pieces, begin, pieces.size());
    }

    const std::vector<Line>& lines() const { return lines_; }

    // Whether the pieces at `pos` cover enough of [a, b]; `drawnOnly`: counting
    // only drawn pieces, the one drawn over most of it then reported in `edge`.
    bool covers(double pos, double a, double b, bool drawnOnly, GridLine* edge = nullptr) const
    {
        const auto less = [](const Piece& x, const Piece& y) { return x.pos != y.pos ? x.pos < y.pos : x.to < y.to; };
        auto it = std::upper_bound(segments_.begin(), segments_.end(), Piece{pos, a, a, 0, 0}, less);
        double covered = 0, bestOverlap = 0;
        const Piece* best = nullptr;
        for (; it != segments_.end() && it->pos == pos && it->from < b; ++it) {
            const double overlap = std::min(b, it->to) - std::max(a, it->from);
            if (overlap <= 0 || (drawnOnly && it->width <= 0))
                continue;
            covered += overlap;
            if (overlap > bestOverlap) {
                bestOverlap = overlap;
                best = &*it;
            }
        }
        const bool enough = best && covered >= kSlotCoverShare * (b - a);
        if (enough && edge)
            *edge = {best->width, best->rgb};
        return enough;
    }

private:
    // The pieces [begin, end) at one position, sorted by start, as disjoint
    // segments: between each two of their ends, the heaviest piece there.
    void flatten(const std::vector<Piece>& pieces, std::size_t begin, std::size_t end)
    {
        std::vector<double> ends;
        for (std::size_t i = begin; i < end; ++i)
            ends.insert(ends.end(), {pieces[i].from, pieces[i].to});
        ends = uniqueSorted(std::move(ends));
        // Pieces still open, heaviest first; closed ones are dropped lazily.
        auto lighter = [&](std::size_t x, std::size_t y) { return pieces[x].width < pieces[y].width; };
        std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(lighter)> open(lighter);
        std::size_t next = begin;
        for (std::size_t k = 0; k + 1 < ends.size(); ++k) {
            const double lo = ends[k], hi = ends[k + 1];
            while (next < end && pieces[next].from <= lo)
                open.push(next++);
            while (!open.empty() && pieces[open.top()].to <= lo)
                open.pop();
            if (open.empty())
                continue;
            const Piece& top = pieces[open.top()];
            Piece* last = segments_.empty() ? nullptr : &segments_.back();
            if (last && last->pos == top.pos && last->to == lo && last->width == top.width && last->rgb == top.rgb)
                last->to = hi;
            else
                segments_.push_back({top.pos, lo, hi, top.width, top.rgb});
        }
    }

    std::vector<Piece> segments_; // by position, then along it
    std::vector<Line> lines_;
};

// -- Stage 3: grouping ----------------------------------------------------------

class UnionFind {
public:
    explicit UnionFind(std::size_t n)
        : parent_(n)
    {
        std::iota(parent_.begin(), parent_.end(), std::size_t{0});
    }
    std::size_t find(std::size_t i)
    {
        while (parent_[i] != i)
            i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    void unite(std::size_t a, std::size_t b) { parent_[find(a)] = find(b); }

private:
    std::vector<std::size_t> parent_;
};

struct Candidate {
    std::vector<std::size_t> horizontal, vertical; // line indices
    Box box;
    bool interiorVertical = false;
};

std::vector<Candidate> components(const std::vector<Line>& hs, const std::vector<Line>& vs, UnionFind& sets, double tolerance)
{
    std::vector<Candidate> out;
    std::vector<std::size_t> slot(hs.size() + vs.size(), static_cast<std::size_t>(-1));
    auto add = [&](std::size_t id, const Box& b) -> Candidate& {
        std::size_t& s = slot[sets.find(id)];
        if (s == static_cast<std::size_t>(-1)) {
            s = out.size();
            out.push_back({{}, {}, b, false});
        }
        Candidate& c = out[s];
        c.box = {std::min(c.box.xMin, b.xMin), std::min(c.box.yMin, b.yMin), std::max(c.box.xMax, b.xMax), std::max(c.box.yMax, b.yMax)};
        return c;
    };
    for (std::size_t i = 0; i < hs.size(); ++i)
        add(i, {hs[i].from, hs[i].pos, hs[i].to, hs[i].pos}).horizontal.push_back(i);
    for (std::size_t i = 0; i < vs.size(); ++i)
        add(hs.size() + i, {vs[i].pos, vs[i].from, vs[i].pos, vs[i].to}).vertical.push_back(i);
    for (Candidate& c : out)
        c.interiorVertical = std::any_of(c.vertical.begin(), c.vertical.end(), [&](std::size_t i) {
            return vs[i].pos > c.box.xMin + tolerance && vs[i].pos < c.box.xMax - tolerance;
        });
    return out;
}

// Whether a word's centre lies in the box; `byHeight`: the words sorted by
// the height of their centres.
bool anyWordIn(const std::vector<const Word*>& byHeight, const Box& box)
{
    auto it = std::lower_bound(byHeight.begin(), byHeight.end(), box.yMin, [](const Word* w, double y) { return w->cy < y; });
    for (; it != byHeight.end() && (*it)->cy <= box.yMax; ++it)
        if (holdsPoint(box, (*it)->cx, (*it)->cy))
            return true;
    return false;
}

std::vector<Candidate> group(const std::vector<Line>& hs, const std::vector<Line>& vs, const std::vector<Word>& words, double em)
{
    const double tol = kSnapEm * em;
    UnionFind sets(hs.size() + vs.size());
    // Crossing or touching lines: the horizontal lines are sorted by position.
    for (std::size_t v = 0; v < vs.size(); ++v) {
        auto it = std::lower_bound(hs.begin(), hs.end(), vs[v].from - tol, [](const Line& l, double y) { return l.pos < y; });
        for (; it != hs.end() && it->pos <= vs[v].to + tol; ++it)
            if (vs[v].pos >= it->from - tol && vs[v].pos <= it->to + tol)
                sets.unite(hs.size() + v, static_cast<std::size_t>(it - hs.begin()));
    }
    // Bare rules and bands of one width stacked close: one table.
    std::vector<Candidate> first = components(hs, vs, sets, tol);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < first.size(); ++i)
        if (!first[i].interiorVertical && !first[i].horizontal.empty())
            open.push_back(i);
    std::sort(open.begin(), open.end(), [&](std::size_t a, std::size_t b) {
        const Box &p = first[a].box, &q = first[b].box;
        if (p.xMin != q.xMin)
            return p.xMin < q.xMin;
        return p.xMax != q.xMax ? p.xMax < q.xMax : p.yMin < q.yMin;
    });
    // Nothing written between them: the end of one table and the start of
    // the next.
    std::vector<const Word*> byHeight;
    for (const Word& w : words)
        byHeight.push_back(&w);
    std::sort(byHeight.begin(), byHeight.end(), [](const Word* a, const Word* b) { return a->cy < b->cy; });
    for (std::size_t k = 1; k < open.size(); ++k) {
        const Box &p = first[open[k - 1]].box, &q = first[open[k]].box;
        if (std::abs(p.xMin - q.xMin) <= tol && std::abs(p.xMax - q.xMax) <= tol && q.yMin - p.yMax <= kMaxStackGapEm * em
            && anyWordIn(byHeight, {p.xMin, p.yMax, p.xMax, q.yMin}))
            sets.unite(first[open[k - 1]].horizontal.front(), first[open[k]].horizontal.front());
    }
    return components(hs, vs, sets, tol);
}

// -- Stage 4: the grid ----------------------------------------------------------

struct TextLineSpan {
    double baseline = 0, yMin = 0, yMax = 0;
};

// The text's lines among the words whose centres lie in the box, top down.
std::vector<TextLineSpan> textLines(const std::vector<const Word*>& words, double yMin, double yMax, double em)
{
    std::vector<const Word*> in;
    for (const Word* w : words)
        if (w->cy > yMin && w->cy < yMax)
            in.push_back(w);
    std::sort(in.begin(), in.end(), [](const Word* a, const Word* b) { return a->baseline < b->baseline; });
    std::vector<TextLineSpan> out;
    for (const Word* w : in) {
        if (out.empty() || w->baseline - out.back().baseline > kSameBaselineEm * em)
            out.push_back({w->baseline, w->box.yMin, w->box.yMax});
        else
            out.back() = {out.back().baseline, std::min(out.back().yMin, w->box.yMin), std::max(out.back().yMax, w->box.yMax)};
    }
    return out;
}

// Whether the words beside a narrow gap line up in every row that has some:
// the ends of those before it (text set flush right, numbers) or the starts
// of those after it (text set flush left).
bool linedUpBeside(const std::vector<const Word*>& words, const std::vector<double>& rows, double lo, double hi, double em)
{
    const std::size_t bands = rows.size() - 1;
    std::vector<std::optional<double>> end(bands), start(bands);
    for (const Word* w : words) {
        const auto above = std::lower_bound(rows.begin(), rows.end(), w->cy);
        if (above == rows.begin() || above == rows.end())
            continue;
        const auto r = static_cast<std::size_t>(above - rows.begin()) - 1;
        if (w->box.xMax <= lo)
            end[r] = std::max(end[r].value_or(w->box.xMax), w->box.xMax);
        if (w->box.xMin >= hi)
            start[r] = std::min(start[r].value_or(w->box.xMin), w->box.xMin);
    }
    std::vector<double> ends, starts;
    for (std::size_t r = 0; r < bands; ++r) {
        if (end[r])
            ends.push_back(*end[r]);
        if (start[r])
            starts.push_back(*start[r]);
    }
    auto tight = [&](const std::vector<double>& v) {
        const auto [a, b] = std::minmax_element(v.begin(), v.end());
        return v.size() >= 2 && *b - *a <= kColumnAlignEm * em;
    };
    return tight(ends) || tight(starts);
}

// Column edges inside (xMin, xMax) at the middles of word-free strips: wide
// ones, or narrower ones the words beside line up along.
std::vector<double> columnGaps(const std::vector<const Word*>& words, const std::vector<double>& rows, double xMin, double xMax, double em)
{
    std::vector<std::pair<double, double>> spans;
    for (const Word* w : words)
        spans.push_back({w->box.xMin, w->box.xMax});
    std::sort(spans.begin(), spans.end());
    std::vector<double> out;
    double reach = xMin;
    bool any = false;
    for (const auto& [lo, hi] : spans) {
        const double gap = lo - reach;
        if (any && lo < xMax
            && (gap >= kMinColumnGapEm * em || (gap >= kMinAlignedGapEm * em && linedUpBeside(words, rows, reach, lo, em))))
            out.push_back((reach + lo) / 2);
        reach = any ? std::max(reach, hi) : hi;
        any = true;
    }
    return out;
}

struct Grid {
    std::vector<double> columns, rows; // edges
    std::vector<bool> columnRuled, rowRuled; // an edge from drawn or shaded lines
};

Grid buildGrid(const Candidate& c, const std::vector<Line>& hs, const std::vector<Line>& vs, const std::vector<Word>& words,
    bool zebra, double em)
{
    Grid g;
    std::vector<double> ys{c.box.yMin, c.box.yMax};
    for (std::size_t i : c.horizontal)
        ys.push_back(hs[i].pos);
    g.rows = uniqueSorted(std::move(ys));
    g.rowRuled.assign(g.rows.size(), true);
    Box box = c.box;
    std::vector<const Word*> inside;
    for (const Word& w : words)
        if (holdsPoint(box, w.cx, w.cy))
            inside.push_back(&w);

    if (!c.interiorVertical) {
        // Shaded bands alternate with bare ones: the last bare row may lie
        // below the last band, as high as the bands. It is taken when its
        // words keep to the table's columns (found below).
        std::vector<const Word*> below;
        double belowEnd = box.yMax;
        if (zebra && g.rows.size() >= 3) {
            std::vector<double> heights;
            for (std::size_t r = 0; r + 1 < g.rows.size(); ++r)
                heights.push_back(g.rows[r + 1] - g.rows[r]);
            std::nth_element(heights.begin(), heights.begin() + static_cast<std::ptrdiff_t>(heights.size() / 2), heights.end());
            belowEnd = box.yMax + heights[heights.size() / 2];
            for (const Word& w : words)
                if (pdf::holdsPoint({box.xMin, box.yMax, box.xMax, belowEnd}, w.cx, w.cy) && w.cy > box.yMax)
                    below.push_back(&w);
        }
        // Rules holding several lines of text each (a three-rule table's
        // body): each line a row.
        std::size_t bands = g.rows.size() - 1, crowded = 0;
        std::vector<std::vector<TextLineSpan>> perBand;
        for (std::size_t r = 0; r < bands; ++r) {
            perBand.push_back(textLines(inside, g.rows[r], g.rows[r + 1], em));
            crowded += perBand.back().size() > 1;
        }
        if (crowded > 0 && crowded * 2 >= bands) {
            std::vector<double> rows{g.rows.front()};
            std::vector<bool> ruled{g.rowRuled.front()};
            for (std::size_t r = 0; r < bands; ++r) {
                const auto& lines = perBand[r];
                for (std::size_t k = 1; k < lines.size(); ++k) {
                    rows.push_back((lines[k - 1].yMax + lines[k].yMin) / 2);
                    ruled.push_back(false);
                }
                rows.push_back(g.rows[r + 1]);
                ruled.push_back(g.rowRuled[r + 1]);
            }
            g.rows = std::move(rows);
            g.rowRuled = std::move(ruled);
        }
        g.columns = {box.xMin};
        for (double x : columnGaps(inside, g.rows, box.xMin, box.xMax, em))
            g.columns.push_back(x);
        g.columns.push_back(box.xMax);
        g.columnRuled.assign(g.columns.size(), false);
        g.columnRuled.front() = g.columnRuled.back() = true;
        const bool keepsToColumns = std::none_of(below.begin(), below.end(), [&](const Word* w) {
            return std::any_of(g.columns.begin(), g.columns.end(), [&](double x) { return w->box.xMin < x && w->box.xMax > x; });
        });
        if (!below.empty() && keepsToColumns) {
            g.rows.push_back(belowEnd);
            g.rowRuled.push_back(false);
        }
    } else {
        std::vector<double> xs{c.box.xMin, c.box.xMax};
        for (std::size_t i : c.vertical)
            xs.push_back(vs[i].pos);
        g.columns = uniqueSorted(std::move(xs));
        g.columnRuled.assign(g.columns.size(), true);
    }
    return g;
}

// -- Stage 5: cells ---------------------------------------------------------------

struct Slots {
    std::size_t rows = 0, columns = 0;
    std::vector<std::size_t> owner; // the cell covering each slot
    std::vector<std::optional<std::uint32_t>> shade;
    std::size_t at(std::size_t r, std::size_t c) const { return r * columns + c; }
};

// Slots with no line between them merge into rectangular cells, row by row.
std::vector<GridCell> mergeSlots(const Grid& g, const Direction& h, const Direction& v, Slots& s)
{
    constexpr std::size_t kFree = static_cast<std::size_t>(-1);
    s.owner.assign(s.rows * s.columns, kFree);
    // Whether a line separates slot (r, c) from (r, c + 1), and (r, c) from (r + 1, c).
    auto apartAcross = [&](std::size_t r, std::size_t c) {
        return !g.columnRuled[c + 1] || v.covers(g.columns[c + 1], g.rows[r], g.rows[r + 1], false);
    };
    auto apartDown = [&](std::size_t r, std::size_t c) {
        return !g.rowRuled[r + 1] || h.covers(g.rows[r + 1], g.columns[c], g.columns[c + 1], false);
    };
    std::vector<GridCell> cells;
    for (std::size_t r = 0; r < s.rows; ++r)
        for (std::size_t c = 0; c < s.columns; ++c) {
            if (s.owner[s.at(r, c)] != kFree)
                continue;
            std::size_t w = 1;
            while (c + w < s.columns && s.owner[s.at(r, c + w)] == kFree && !apartAcross(r, c + w - 1))
                ++w;
            std::size_t hgt = 1;
            auto canGrow = [&](std::size_t rr) {
                for (std::size_t k = 0; k < w; ++k)
                    if (s.owner[s.at(rr, c + k)] != kFree || apartDown(rr - 1, c + k))
                        return false;
                for (std::size_t k = 1; k < w; ++k)
                    if (apartAcross(rr, c + k - 1))
                        return false;
                return true;
            };
            while (r + hgt < s.rows && canGrow(r + hgt))
                ++hgt;
            GridCell cell;
            cell.row = r;
            cell.column = c;
            cell.rowSpan = hgt;
            cell.columnSpan = w;
            cell.box = {g.columns[c], g.rows[r], g.columns[c + w], g.rows[r + hgt]};
            for (std::size_t rr = r; rr < r + hgt; ++rr)
                for (std::size_t k = 0; k < w; ++k)
                    s.owner[s.at(rr, c + k)] = cells.size();
            if (g.rowRuled[r])
                h.covers(cell.box.yMin, cell.box.xMin, cell.box.xMax, true, &cell.top);
            if (g.rowRuled[r + hgt])
                h.covers(cell.box.yMax, cell.box.xMin, cell.box.xMax, true, &cell.bottom);
            if (g.columnRuled[c])
                v.covers(cell.box.xMin, cell.box.yMin, cell.box.yMax, true, &cell.left);
            if (g.columnRuled[c + w])
                v.covers(cell.box.xMax, cell.box.yMin, cell.box.yMax, true, &cell.right);
            cells.push_back(cell);
        }
    return cells;
}

// Fills painted over the slots whose centres they cover, in drawing order;
// a white fill paints back to paper.
void shadeSlots(const Grid& g, const std::vector<Fill>& fills, Slots& s)
{
    s.shade.assign(s.rows * s.columns, std::nullopt);
    std::vector<double> cx, cy;
    for (std::size_t c = 0; c < s.columns; ++c)
        cx.push_back((g.columns[c] + g.columns[c + 1]) / 2);
    for (std::size_t r = 0; r < s.rows; ++r)
        cy.push_back((g.rows[r] + g.rows[r + 1]) / 2);
    for (const Fill& f : fills) {
        const auto c0 = static_cast<std::size_t>(std::lower_bound(cx.begin(), cx.end(), f.box.xMin) - cx.begin());
        const auto c1 = static_cast<std::size_t>(std::upper_bound(cx.begin(), cx.end(), f.box.xMax) - cx.begin());
        const auto r0 = static_cast<std::size_t>(std::lower_bound(cy.begin(), cy.end(), f.box.yMin) - cy.begin());
        const auto r1 = static_cast<std::size_t>(std::upper_bound(cy.begin(), cy.end(), f.box.yMax) - cy.begin());
        for (std::size_t r = r0; r < r1; ++r)
            for (std::size_t c = c0; c < c1; ++c)
                s.shade[s.at(r, c)] = f.white ? std::nullopt : std::optional<std::uint32_t>(f.rgb);
    }
}

struct RowText {
    bool any = false, allBold = true;
};

std::size_t headerRows(const Grid& g, const Direction& h, const Slots& s, const std::vector<RowText>& text)
{
    const std::size_t rows = s.rows;
    const std::size_t most = std::min(kMaxHeaderRows, rows - 1);
    // A rule under the header heavier than the body's, or where the body has none.
    std::vector<double> weight(rows, 0.0); // of the rule under each row
    for (std::size_t r = 0; r + 1 < rows; ++r) {
        GridLine edge;
        if (g.rowRuled[r + 1] && h.covers(g.rows[r + 1], g.columns.front(), g.columns.back(), true, &edge))
            weight[r] = edge.width;
    }
    for (std::size_t k = 1; k <= most; ++k) {
        if (weight[k - 1] <= 0)
            continue;
        double heaviest = 0;
        std::size_t drawn = 0, edges = 0;
        for (std::size_t r = k; r + 1 < rows; ++r) {
            heaviest = std::max(heaviest, weight[r]);
            drawn += weight[r] > 0;
            ++edges;
        }
        if (edges > 0 && (weight[k - 1] > kHeavierRuleRatio * heaviest || drawn * 2 < edges))
            return k;
        break; // the first rule decides
    }
    // Rows shaded otherwise than every body row.
    auto rowShade = [&](std::size_t r) -> std::optional<std::optional<std::uint32_t>> {
        for (std::size_t c = 1; c < s.columns; ++c)
            if (s.shade[s.at(r, c)] != s.shade[s.at(r, 0)])
                return std::nullopt; // mixed
        return s.shade[s.at(r, 0)];
    };
    const auto top = rowShade(0);
    if (top && *top) {
        std::size_t k = 1;
        while (k < most && rowShade(k) == top)
            ++k;
        bool differs = true;
        for (std::size_t r = k; r < rows && differs; ++r)
            differs = rowShade(r) != top;
        if (differs)
            return k;
    }
    // Rows of bold words over a body that is not all bold.
    std::size_t k = 0;
    while (k < most && text[k].any && text[k].allBold)
        ++k;
    for (std::size_t r = k; k > 0 && r < rows; ++r)
        if (text[r].any && !text[r].allBold)
            return k;
    return 0;
}

std::size_t slotOf(const std::vector<double>& edges, double v)
{
    const auto it = std::upper_bound(edges.begin(), edges.end(), v);
    return static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(it - edges.begin() - 1, 0, static_cast<std::ptrdiff_t>(edges.size()) - 2));
}

// -- Stage 6: judging and building ------------------------------------------------

std::optional<TableGrid> buildTable(const Candidate& c, const std::vector<Line>& hs, const std::vector<Line>& vs,
    const Direction& h, const Direction& v, const Marks& marks, const std::vector<Word>& words, double em)
{
    // Shaded boxes within the candidate (their edges are its lines) and over it.
    std::vector<Fill> fills;
    std::size_t colouredInside = 0;
    bool colouredHoldsWords = false;
    for (const Fill& f : marks.fills) {
        const bool over = f.box.xMin < c.box.xMax && f.box.xMax > c.box.xMin && f.box.yMin < c.box.yMax && f.box.yMax > c.box.yMin;
        if (!over)
            continue;
        fills.push_back(f);
        if (!f.white && within(f.box, c.box)) {
            ++colouredInside;
            colouredHoldsWords = colouredHoldsWords
                || std::any_of(words.begin(), words.end(), [&](const Word& w) { return holdsPoint(f.box, w.cx, w.cy); });
        }
    }
    if (colouredInside >= kMinChartBars && !colouredHoldsWords)
        return std::nullopt; // bars with no text: a chart
    const bool zebra = colouredInside >= 2 && !c.interiorVertical;

    const Grid g = buildGrid(c, hs, vs, words, zebra, em);
    if (g.rows.size() < 3 || g.columns.size() < 3)
        return std::nullopt;
    Slots s;
    s.rows = g.rows.size() - 1;
    s.columns = g.columns.size() - 1;
    if (s.rows * s.columns > kMaxGridSlots)
        return std::nullopt;

    TableGrid t;
    t.cells = mergeSlots(g, h, v, s);
    shadeSlots(g, fills, s);
    for (GridCell& cell : t.cells) {
        const auto& shade = s.shade[s.at(cell.row, cell.column)];
        cell.shaded = shade.has_value();
        cell.shadingRgb = shade.value_or(0xFFFFFF);
    }
    const Box box{g.columns.front(), g.rows.front(), g.columns.back(), g.rows.back()};
    std::vector<bool> cellHasWords(t.cells.size(), false);
    std::vector<RowText> text(s.rows);
    for (const Word& w : words) {
        if (!holdsPoint(box, w.cx, w.cy))
            continue;
        const std::size_t r = slotOf(g.rows, w.cy), col = slotOf(g.columns, w.cx);
        cellHasWords[s.owner[s.at(r, col)]] = true;
        text[r].any = true;
        text[r].allBold = text[r].allBold && w.bold;
    }
    if (std::count(cellHasWords.begin(), cellHasWords.end(), true) < 2)
        return std::nullopt;
    t.box = box;
    t.columnEdges = g.columns;
    t.rowEdges = g.rows;
    t.headerRows = headerRows(g, h, s, text);
    t.ruled = true;
    return t;
}

} // namespace

std::vector<TableGrid> findRuledTables(const pdf::PageText& page)
{
    const double em = pageEm(page);
    const double tol = kSnapEm * em;
    Marks marks = collectMarks(page, em);
    snapAll(marks, tol);
    const Direction h(std::move(marks.horizontal), tol);
    const Direction v(std::move(marks.vertical), tol);
    const std::vector<Line>& hs = h.lines();
    const std::vector<Line>& vs = v.lines();
    if (hs.size() + vs.size() > kMaxTableLinesPerPage)
        return {};
    const std::vector<Word> words = collectWords(page);

    std::vector<TableGrid> out;
    for (const Candidate& c : group(hs, vs, words, em)) {
        std::vector<double> ys;
        for (std::size_t i : c.horizontal)
            ys.push_back(hs[i].pos);
        const std::size_t rules = uniqueSorted(std::move(ys)).size();
        if (rules < 2)
            continue; // a lone rule, a rule between columns
        if (rules == 2 && !c.vertical.empty() && !c.interiorVertical)
            continue; // one box around text, outlined or shaded: a frame
        if (auto t = buildTable(c, hs, vs, h, v, marks, words, em))
            out.push_back(std::move(*t));
    }
    std::sort(out.begin(), out.end(), [](const TableGrid& a, const TableGrid& b) {
        return a.box.yMin != b.box.yMin ? a.box.yMin < b.box.yMin : a.box.xMin < b.box.xMin;
    });
    return out;
}

} // namespace pwt::layout

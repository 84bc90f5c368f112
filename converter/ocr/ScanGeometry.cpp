#include "ScanGeometry.h"

#include <algorithm>
#include <cmath>

namespace pwt::ocr {

namespace {

struct Piece {
    pdf::TextLine line;
    double left = 0, right = 0;
    int column = -1; // -1: spans columns
};

struct Interval {
    double left, right;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    const auto mid = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}

bool overlaps(const Interval& a, const Interval& b)
{
    return a.left < b.right && b.left < a.right;
}

// Gaps of at least kColumnGapEm between the words of a line.
std::vector<Interval> gapsIn(const pdf::TextLine& line)
{
    std::vector<Interval> gaps;
    for (std::size_t i = 1; i < line.words.size(); ++i) {
        const pdf::Box& before = line.words[i - 1].box;
        const pdf::Box& after = line.words[i].box;
        if (after.xMin - before.xMax >= kColumnGapEm * line.words[i].fontSize)
            gaps.push_back(Interval{before.xMax, after.xMin});
    }
    return gaps;
}

// The line cut at its gaps that lie in one of `columnGaps`.
std::vector<Piece> piecesOf(const pdf::TextLine& line, const std::vector<Interval>& columnGaps)
{
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i < line.words.size(); ++i) {
        const pdf::TextWord& w = line.words[i];
        bool cut = false;
        if (i > 0 && w.box.xMin - line.words[i - 1].box.xMax >= kColumnGapEm * w.fontSize) {
            const Interval gap{line.words[i - 1].box.xMax, w.box.xMin};
            cut = std::any_of(columnGaps.begin(), columnGaps.end(), [&](const Interval& g) { return overlaps(g, gap); });
        }
        if (pieces.empty() || cut) {
            if (!pieces.empty())
                pieces.back().line.words.back().spaceAfter = false;
            pieces.push_back(Piece{{}, w.box.xMin, w.box.xMax});
        }
        pieces.back().right = std::max(pieces.back().right, w.box.xMax);
        pieces.back().line.words.push_back(w);
    }
    return pieces;
}

pdf::Box boxOf(const std::vector<pdf::TextLine>& lines)
{
    pdf::Box box = lines.front().words.front().box;
    for (const auto& line : lines)
        for (const auto& w : line.words) {
            box.xMin = std::min(box.xMin, w.box.xMin);
            box.yMin = std::min(box.yMin, w.box.yMin);
            box.xMax = std::max(box.xMax, w.box.xMax);
            box.yMax = std::max(box.yMax, w.box.yMax);
        }
    return box;
}

pdf::TextFlow flowOf(std::vector<pdf::TextLine> lines)
{
    pdf::TextFlow flow;
    pdf::TextBlock& block = flow.blocks.emplace_back();
    block.box = boxOf(lines);
    block.lines = std::move(lines);
    return flow;
}

// Edges within kEdgeJitterPt of their neighbours become the group's median.
template <typename Get, typename Set>
void evenEdges(std::vector<pdf::TextLine>& lines, Get get, Set set)
{
    std::vector<std::pair<double, std::size_t>> edges;
    for (std::size_t i = 0; i < lines.size(); ++i)
        edges.emplace_back(get(lines[i]), i);
    std::sort(edges.begin(), edges.end());
    for (std::size_t start = 0; start < edges.size();) {
        std::size_t end = start + 1;
        while (end < edges.size() && edges[end].first - edges[end - 1].first <= kEdgeJitterPt)
            ++end;
        std::vector<double> group;
        for (std::size_t k = start; k < end; ++k)
            group.push_back(edges[k].first);
        const double typical = median(group);
        for (std::size_t k = start; k < end; ++k)
            set(lines[edges[k].second], typical);
        start = end;
    }
}

// One flow's lines cut at the page's column gaps, regrouped by column.
std::vector<pdf::TextFlow> splitFlow(pdf::TextFlow flow, const std::vector<Interval>& columnGaps)
{
    std::vector<std::vector<Piece>> lines;
    std::vector<Interval> columns;
    for (const pdf::TextBlock& block : flow.blocks)
        for (const pdf::TextLine& line : block.lines) {
            lines.push_back(piecesOf(line, columnGaps));
            if (lines.back().size() > 1)
                for (const Piece& p : lines.back())
                    columns.push_back(Interval{p.left, p.right});
        }
    if (columns.empty())
        return {std::move(flow)};

    // Columns: the pieces of split lines, overlapping ones merged.
    std::sort(columns.begin(), columns.end(), [](const Interval& a, const Interval& b) { return a.left < b.left; });
    std::vector<Interval> merged;
    for (const Interval& c : columns) {
        if (!merged.empty() && c.left <= merged.back().right)
            merged.back().right = std::max(merged.back().right, c.right);
        else
            merged.push_back(c);
    }

    std::vector<pdf::TextFlow> flows;
    std::vector<std::vector<pdf::TextLine>> run(merged.size());
    auto flushRun = [&] {
        for (auto& column : run)
            if (!column.empty())
                flows.push_back(flowOf(std::move(column)));
        run.assign(merged.size(), {});
    };
    for (std::vector<Piece>& line : lines)
        for (Piece& piece : line) {
            const double width = std::max(piece.right - piece.left, 1e-6);
            int overlapped = 0;
            for (std::size_t c = 0; c < merged.size(); ++c) {
                const double overlap = std::min(piece.right, merged[c].right) - std::max(piece.left, merged[c].left);
                if (overlap > kInColumnShare * width) {
                    piece.column = static_cast<int>(c);
                    ++overlapped;
                }
            }
            if (overlapped != 1)
                piece.column = -1;
            if (piece.column < 0) {
                flushRun();
                flows.push_back(flowOf({std::move(piece.line)}));
            } else {
                run[static_cast<std::size_t>(piece.column)].push_back(std::move(piece.line));
            }
        }
    flushRun();
    return flows;
}

} // namespace

std::vector<pdf::TextFlow> splitAtColumnGaps(std::vector<pdf::TextFlow> flows)
{
    // A gap is a column's when other lines of the page have one there too.
    std::vector<Interval> gaps;
    for (const pdf::TextFlow& flow : flows)
        for (const pdf::TextBlock& block : flow.blocks)
            for (const pdf::TextLine& line : block.lines)
                for (const Interval& g : gapsIn(line))
                    gaps.push_back(g);
    std::vector<Interval> columnGaps;
    for (const Interval& g : gaps) {
        const auto alike = std::count_if(gaps.begin(), gaps.end(), [&](const Interval& other) { return overlaps(g, other); });
        if (alike >= kMinColumnGapLines)
            columnGaps.push_back(g);
    }
    std::vector<pdf::TextFlow> split;
    for (pdf::TextFlow& flow : flows)
        for (pdf::TextFlow& column : splitFlow(std::move(flow), columnGaps))
            split.push_back(std::move(column));
    return split;
}

void joinCutBlocks(std::vector<pdf::TextFlow>& flows)
{
    std::vector<pdf::TextFlow> joined;
    for (pdf::TextFlow& flow : flows) {
        if (flow.blocks.empty())
            continue;
        const pdf::TextBlock& first = flow.blocks.front();
        const pdf::Box top = boxOf({first.lines.front()});
        const double em = first.lines.front().words.front().fontSize;
        pdf::TextFlow* above = nullptr;
        for (pdf::TextFlow& earlier : joined) {
            const pdf::TextBlock& last = earlier.blocks.back();
            const pdf::Box bottom = boxOf({last.lines.back()});
            const double overlap = std::min(last.box.xMax, first.box.xMax) - std::max(last.box.xMin, first.box.xMin);
            const double narrower = std::min(last.box.width(), first.box.width());
            const double gap = top.yMin - bottom.yMax;
            if (overlap >= kSameColumnOverlap * narrower && gap > -0.5 * em && gap < kCutBlockGapEm * em)
                above = &earlier;
        }
        if (!above) {
            joined.push_back(std::move(flow));
            continue;
        }
        pdf::TextBlock& last = above->blocks.back();
        for (pdf::TextLine& line : flow.blocks.front().lines)
            last.lines.push_back(std::move(line));
        last.box = boxOf(last.lines);
        for (std::size_t b = 1; b < flow.blocks.size(); ++b)
            above->blocks.push_back(std::move(flow.blocks[b]));
    }
    flows = std::move(joined);
}

void regularise(pdf::TextBlock& block)
{
    std::vector<double> sizes;
    for (const pdf::TextLine& line : block.lines)
        sizes.push_back(line.words.front().fontSize);
    const double typical = median(sizes);
    for (pdf::TextLine& line : block.lines) {
        if (std::abs(line.words.front().fontSize - typical) > kSameSizeShare * typical)
            continue;
        for (pdf::TextWord& w : line.words)
            w.fontSize = typical;
    }
    evenEdges(block.lines, [](const pdf::TextLine& l) { return l.words.front().box.xMin; },
              [](pdf::TextLine& l, double x) { l.words.front().box.xMin = x; });
    evenEdges(block.lines, [](const pdf::TextLine& l) { return l.words.back().box.xMax; },
              [](pdf::TextLine& l, double x) { l.words.back().box.xMax = x; });
}

} // namespace pwt::ocr

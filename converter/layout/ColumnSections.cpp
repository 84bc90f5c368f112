#include "ColumnSections.h"

#include "ReadingOrder.h"

#include <algorithm>

namespace pwt::layout {

namespace {

// A band: consecutive blocks [first, last) that stand in columns.
struct Band {
    std::size_t first = 0;
    std::size_t last = 0;
};

std::vector<Band> columnBands(const PageLines& page)
{
    std::vector<Band> bands;
    const auto& blocks = page.blocks;
    for (std::size_t k = 0; k < blocks.size();) {
        if (blocks[k].flow == kNoColumn || blocks[k].marginNote) {
            ++k;
            continue;
        }
        Band band{k, k};
        while (band.last < blocks.size() && blocks[band.last].flow != kNoColumn && !blocks[band.last].marginNote)
            ++band.last;
        bands.push_back(band);
        k = band.last;
    }
    return bands;
}

// The band's columns left to right as Word sets them, or none.
std::vector<TextColumn> wordColumnsOf(const PageLines& page, const Band& band, const std::map<int, ColumnBounds>& cols,
                                      const ColumnBounds& frame)
{
    std::vector<ColumnBounds> bounds;
    std::vector<int> seen;
    for (std::size_t k = band.first; k < band.last; ++k) {
        const int flow = page.blocks[k].flow;
        if (std::find(seen.begin(), seen.end(), flow) != seen.end())
            continue;
        seen.push_back(flow);
        if (seen.size() > kMaxWordColumns)
            return {};
        bounds.push_back(cols.at(flow));
    }
    if (bounds.size() < 2 || bounds.size() > kMaxWordColumns)
        return {};
    std::sort(bounds.begin(), bounds.end(), [](const ColumnBounds& a, const ColumnBounds& b) { return a.left < b.left; });
    for (std::size_t i = 0; i < bounds.size(); ++i) {
        if (bounds[i].width() < kMinColumnWidthPt)
            return {};
        if (i > 0 && bounds[i].left < bounds[i - 1].right)
            return {}; // overlapping: not columns side by side
    }
    if (bounds.back().right - bounds.front().left < kMinColumnsSpanShare * frame.width())
        return {};

    // Stretch the outer columns to the frame's edges and keep each gap at
    // least kMinColumnGapPt: Word's columns fill the text width exactly.
    bounds.front().left = std::min(bounds.front().left, frame.left);
    bounds.back().right = std::max(bounds.back().right, frame.right);
    std::vector<TextColumn> columns;
    int used = 0;
    const int total = twips(frame.width());
    for (std::size_t i = 0; i < bounds.size(); ++i) {
        TextColumn c;
        const double gap = i + 1 < bounds.size() ? std::max(kMinColumnGapPt, bounds[i + 1].left - bounds[i].right) : 0.0;
        c.spaceAfter = twips(gap);
        c.width = i + 1 < bounds.size() ? twips(bounds[i].width()) : total - used;
        if (c.width <= 0)
            return {};
        used += c.width + c.spaceAfter;
        columns.push_back(c);
    }
    return columns;
}

} // namespace

PageColumns planColumns(const PageLines& page, const std::map<int, ColumnBounds>& cols, const ColumnBounds& frame,
                        const std::vector<pdf::Box>& pictures)
{
    const auto& blocks = page.blocks;
    PageColumns plan;
    plan.columnsOf.resize(blocks.size());
    plan.columnIndex.assign(blocks.size(), 0);
    plan.breakBefore.assign(blocks.size(), false);
    for (const Band& band : columnBands(page)) {
        const std::vector<TextColumn> columns = wordColumnsOf(page, band, cols, frame);
        if (columns.empty())
            continue;
        // The band's flows left to right (at most kMaxWordColumns of them).
        std::vector<std::pair<double, int>> flows;
        for (std::size_t k = band.first; k < band.last; ++k) {
            const int flow = blocks[k].flow;
            if (std::none_of(flows.begin(), flows.end(), [&](const auto& f) { return f.second == flow; }))
                flows.emplace_back(cols.at(flow).left, flow);
        }
        std::sort(flows.begin(), flows.end());
        double top = blocks[band.first].box.yMin, foot = blocks[band.first].box.yMax;
        for (std::size_t k = band.first; k < band.last; ++k) {
            plan.columnsOf[k] = columns;
            const auto at = std::find_if(flows.begin(), flows.end(), [&](const auto& f) { return f.second == blocks[k].flow; });
            plan.columnIndex[k] = static_cast<std::size_t>(at - flows.begin());
            top = std::min(top, blocks[k].box.yMin);
            foot = std::max(foot, blocks[k].box.yMax);
        }
        // Where each column's text and pictures end: a column that ends in a
        // figure is as full as one that ends in text.
        std::map<int, double> columnFoot;
        for (std::size_t k = band.first; k < band.last; ++k) {
            double& f = columnFoot[blocks[k].flow];
            f = std::max(f, blocks[k].box.yMax);
        }
        for (const pdf::Box& p : pictures) {
            if (p.yMax < top || p.yMin > foot)
                continue; // not in this band
            for (auto& [flow, f] : columnFoot) {
                const ColumnBounds& c = cols.at(flow);
                if (p.xMax > c.left && p.xMin < c.right && p.width() <= c.width() * kColumnFigureSlack)
                    f = std::max(f, p.yMax);
            }
        }
        for (const auto& [flow, f] : columnFoot)
            foot = std::max(foot, f);
        const double fullFrom = foot - kFullColumnShare * (foot - top);
        for (std::size_t k = band.first + 1; k < band.last; ++k)
            plan.breakBefore[k] = blocks[k].flow != blocks[k - 1].flow && columnFoot[blocks[k - 1].flow] < fullFrom;
    }
    return plan;
}

double columnWidthPt(const std::vector<TextColumn>& columns, std::size_t index, const ColumnBounds& frame)
{
    return index < columns.size() ? points(columns[index].width) : frame.width();
}

} // namespace pwt::layout

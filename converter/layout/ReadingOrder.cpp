#include "ReadingOrder.h"

#include <algorithm>

namespace pwt::layout {

namespace {

bool overlapsVertically(const pdf::Box& a, const pdf::Box& b)
{
    return a.yMin < b.yMax && b.yMin < a.yMax;
}

// Columns of a band: blocks grouped while their horizontal extents overlap.
std::vector<std::vector<Block>> columnsOf(std::vector<Block> band)
{
    std::sort(band.begin(), band.end(), [](const Block& a, const Block& b) { return a.box.xMin < b.box.xMin; });
    std::vector<std::vector<Block>> columns;
    double right = 0;
    for (Block& b : band) {
        if (columns.empty() || b.box.xMin >= right) {
            columns.emplace_back();
            right = b.box.xMax;
        } else {
            right = std::max(right, b.box.xMax);
        }
        columns.back().push_back(std::move(b));
    }
    for (auto& c : columns)
        std::stable_sort(c.begin(), c.end(), [](const Block& a, const Block& b) { return a.box.yMin < b.box.yMin; });
    return columns;
}

} // namespace

void orderBlocks(PageLines& page)
{
    if (page.blocks.empty())
        return;
    double left = page.blocks.front().box.xMin, right = page.blocks.front().box.xMax;
    for (const Block& b : page.blocks) {
        left = std::min(left, b.box.xMin);
        right = std::max(right, b.box.xMax);
    }
    const double width = right - left;

    std::vector<Block> blocks = std::move(page.blocks);
    std::stable_sort(blocks.begin(), blocks.end(), [](const Block& a, const Block& b) { return a.box.yMin < b.box.yMin; });
    std::vector<bool> separator(blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        bool alone = true;
        for (std::size_t j = 0; j < blocks.size() && alone; ++j)
            alone = i == j || !overlapsVertically(blocks[i].box, blocks[j].box);
        separator[i] = alone || blocks[i].box.width() >= kSpanningShare * width || blocks[i].rotation != 0;
    }

    page.blocks.clear();
    int nextColumn = 0;
    std::vector<Block> band;
    auto flushBand = [&] {
        if (band.empty())
            return;
        auto columns = columnsOf(std::move(band));
        band.clear();
        for (auto& column : columns) {
            const int id = columns.size() > 1 ? nextColumn++ : kNoColumn;
            for (Block& b : column) {
                b.flow = id;
                page.blocks.push_back(std::move(b));
            }
        }
    };
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (separator[i]) {
            flushBand();
            blocks[i].flow = kNoColumn;
            page.blocks.push_back(std::move(blocks[i]));
        } else {
            band.push_back(std::move(blocks[i]));
        }
    }
    flushBand();
}

} // namespace pwt::layout

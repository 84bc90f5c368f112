#include "BlockJoiner.h"

#include "Links.h"
#include "ParagraphSplitter.h"
#include "ReadingOrder.h"
#include "TextRules.h"

#include <algorithm>
#include <cmath>

namespace pwt::layout {

namespace {

bool sameClass(const Line& a, const Line& b) { return !sizesDiffer(a.fontSize, b.fontSize) && a.bold == b.bold; }

double stepBetween(const Line& upper, const Line& lower) { return lower.baseline - upper.baseline; }

// The right edge the earlier block's last line was set against: the
// column's, or the paragraph's own where it is indented on the right (a
// block quotation) and another of its lines ends at the same x, the line
// before it or the one after. Such a line has no room left. `before` is the
// line before a block of one line, if known.
double measureRight(const Block& earlier, const Line* before, const Line& next, double columnRight, double em)
{
    const Line& last = earlier.lines.back();
    const auto endsWith = [&](const Line& other) {
        return std::abs(other.right() - last.right()) < kSameRightEm * em && other.right() - other.left() >= kMinJoinedColumnEm * em;
    };
    const std::size_t n = earlier.lines.size();
    if (n >= 2)
        before = &earlier.lines[n - 2];
    if ((before && endsWith(*before)) || endsWith(next))
        return std::min(columnRight, last.right());
    return columnRight;
}

// The next line starts where the earlier one does, or where the earlier
// block's lines do, or it is the second line of a paragraph whose first line
// is indented: it starts left of the first, at the column's edge.
bool startsInLine(const Block& earlier, const Line& next, double columnLeft, double em)
{
    const Line& last = earlier.lines.back();
    if (std::abs(next.left() - last.left()) < kFlushEm * em || std::abs(next.left() - earlier.box.xMin) < kFlushEm * em)
        return true;
    const double indent = last.left() - next.left();
    return earlier.lines.size() == 1 && std::abs(next.left() - columnLeft) < kFlushEm * em && indent > 0
        && indent <= kMaxFirstLineIndentEm * em;
}

// The earlier block's last line runs on into the later block's first line:
// the line had no room left in its column for the next one's first word.
// (Cells of a table, one below the other, have room beside them.)
bool runsOn(const Block& earlier, const Block& later, const ColumnBounds& column, const Line* before = nullptr)
{
    const Line& last = earlier.lines.back();
    const Line& next = later.lines.front();
    // The lines of a listing are lines: poppler's blocks stay as they are.
    if (last.fixedWidth || next.fixedWidth)
        return false;
    const double em = std::max(std::min(last.fontSize, next.fontSize), 1.0);
    const double room = measureRight(earlier, before, next, column.right, em) - last.right();
    // (A line of a listing may also end far short of the edge before a long word.)
    const bool full = room < kMaxRoomLeftEm * em && !nextWordFitted(last, next, room);
    const bool sameLeft = startsInLine(earlier, next, column.left, em) || linkRunsOn(last, next);
    const bool ended = last.endsWithReference || endsWithLeaders(last.text) || startsListItem(next.text);
    return full && sameLeft && !ended && stepBetween(last, next) > 0;
}

// Set at the usual distance: poppler split them for a change of size
// within the paragraph (a line mixing sizes).
bool atUsualDistance(const Block& earlier, const Block& later)
{
    const Line& last = earlier.lines.back();
    const Line& next = later.lines.front();
    const double size = std::max(last.fontSize, next.fontSize);
    const double pitch = earlier.lines.size() >= 3 ? typicalPitch(earlier.lines) : size * kDefaultPitchEm;
    return stepBetween(last, next) <= kParagraphGapRatio * pitch;
}

// Set at the even pitch of the lines around them: a paragraph at 1.5 or
// double spacing, one line per block. `after` is the block after `later`.
bool atEvenPitch(const Block& earlier, const Block& later, const Block* after, const ColumnBounds& column)
{
    const Line& last = earlier.lines.back();
    const Line& next = later.lines.front();
    if (!sameClass(last, next))
        return false;
    const double em = std::max(next.fontSize, 1.0);
    const double step = stepBetween(last, next);
    if (step > kMaxSpacedPitchEm * em)
        return false;
    const auto same = [&](double other) { return std::abs(other - step) <= kSamePitchEm * em; };
    const std::size_t n = earlier.lines.size();
    if (n >= 2)
        return same(stepBetween(earlier.lines[n - 2], last));
    // The first two lines of such a paragraph: the lines after them must
    // keep the pitch, unless the second line ends the paragraph (a full line
    // has no room left, so a paragraph of two spaced lines is one).
    if (later.lines.size() >= 2)
        return same(stepBetween(next, later.lines[1]));
    if (after && runsOn(later, *after, column, &last))
        return same(stepBetween(next, after->lines.front()));
    return runningText(last);
}

} // namespace

void joinContinuedBlocks(PageLines& page)
{
    const auto extent = textExtent(page);
    if (!extent)
        return;
    const auto columns = columnBounds(page, *extent);
    std::vector<Block> joined;
    joined.reserve(page.blocks.size());
    for (std::size_t i = 0; i < page.blocks.size(); ++i) {
        Block& block = page.blocks[i];
        const Block* after = i + 1 < page.blocks.size() && page.blocks[i + 1].flow == block.flow ? &page.blocks[i + 1] : nullptr;
        if (!joined.empty()) {
            Block& earlier = joined.back();
            const ColumnBounds& column = columns.at(block.flow);
            const bool wide = column.width() >= kMinJoinedColumnEm * std::max(block.lines.front().fontSize, 1.0);
            if (wide && earlier.flow == block.flow && earlier.rotation == 0 && block.rotation == 0 && runsOn(earlier, block, column)
                && (linkRunsOn(earlier.lines.back(), block.lines.front())
                    || (!sameClass(earlier.lines.back(), block.lines.front()) ? atUsualDistance(earlier, block)
                                                                              : atEvenPitch(earlier, block, after, column)))) {
                earlier.lines.insert(earlier.lines.end(), std::make_move_iterator(block.lines.begin()),
                                     std::make_move_iterator(block.lines.end()));
                growBox(earlier.box, block.box);
                continue;
            }
        }
        joined.push_back(std::move(block));
    }
    page.blocks = std::move(joined);
}

} // namespace pwt::layout

#include "ReadingOrder.h"

#include "ListItems.h"
#include "MarginNotes.h"
#include "TextRules.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <span>
#include <utility>
#include <string_view>

namespace pwt::layout {

namespace {

bool overlapsVertically(const pdf::Box& a, const pdf::Box& b)
{
    return a.yMin < b.yMax && b.yMin < a.yMax;
}

bool overlapsHorizontally(const pdf::Box& a, const pdf::Box& b)
{
    return a.xMin < b.xMax && b.xMin < a.xMax;
}

// Whether block i stands beside a column that runs on above and below it: a
// heading of the left column that happens to meet a gap between two blocks
// of the right one. Such a block belongs to its column, not across the page.
// The column must run on around it: blocks far above and below (a running
// head over a table across the page) make no column beside a caption.
bool besideAColumn(const std::vector<Block>& blocks, std::size_t i)
{
    const pdf::Box& me = blocks[i].box;
    const double em = blocks[i].lines.empty() ? 10.0 : blocks[i].lines.front().fontSize;
    for (std::size_t j = 0; j < blocks.size(); ++j) {
        const pdf::Box& above = blocks[j].box;
        if (j == i || overlapsHorizontally(me, above) || above.yMax > me.yMax)
            continue;
        for (std::size_t k = 0; k < blocks.size(); ++k) {
            const pdf::Box& below = blocks[k].box;
            if (k != i && k != j && !overlapsHorizontally(me, below) && below.yMin >= me.yMin
                && overlapsHorizontally(above, below) && below.yMin - above.yMax <= me.height() + kColumnRunsOnEm * em)
                return true;
        }
    }
    return false;
}

// Whether the block lies right of a gutter, inside a later column: text
// across the page straddles the gutters, so such a block alone on its
// height (at the top of the right column, beside a figure of the left one
// that is no text) starts or carries on its column.
bool rightOfAGutter(const Block& block, const std::vector<std::pair<double, double>>& gaps)
{
    const double em = block.lines.empty() ? 10.0 : block.lines.front().fontSize;
    return std::any_of(gaps.begin(), gaps.end(), [&](const auto& gap) { return block.box.xMin >= gap.second - kColumnEdgeSlackEm * em; });
}

// The horizontal extents of a band's columns: blocks grouped while their
// extents overlap, as columnsOf groups them.
std::vector<std::pair<double, double>> columnExtents(const std::vector<const Block*>& band)
{
    std::vector<std::pair<double, double>> spans;
    for (const Block* b : band)
        spans.emplace_back(b->box.xMin, b->box.xMax);
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<double, double>> columns;
    for (const auto& [left, right] : spans) {
        if (columns.empty() || left >= columns.back().second)
            columns.emplace_back(left, right);
        else
            columns.back().second = std::max(columns.back().second, right);
    }
    return columns;
}

// Body text of a column: lines enough, wide enough but not across the page
// (an abstract over two columns), most of them filling the block (a
// formula's stacked pieces do not).
bool isColumnText(const Block& b, double width)
{
    if (b.rotation != 0 || b.lines.size() < kColumnTextMinLines || b.box.width() < kColumnTextShare * width
        || b.box.width() >= kSpanningShare * width)
        return false;
    const auto full = std::count_if(b.lines.begin(), b.lines.end(),
                                    [&](const Line& l) { return l.box.width() >= kColumnBodyShare * b.box.width(); });
    return 2 * static_cast<std::size_t>(full) >= b.lines.size();
}

// The gaps between the columns of body text: the stretches across the text
// width that no block of column text covers.
std::vector<std::pair<double, double>> gutters(const std::vector<Block>& blocks, double width)
{
    std::vector<const Block*> body;
    for (const Block& b : blocks)
        if (isColumnText(b, width))
            body.push_back(&b);
    const auto columns = columnExtents(body);
    std::vector<std::pair<double, double>> out;
    for (std::size_t i = 1; i < columns.size(); ++i)
        out.emplace_back(columns[i - 1].second, columns[i].first);
    return out;
}

// Whether block i lies inside one column that runs on right above and below
// it: a code line between two paragraphs of the right column while the left
// column holds a picture there. It stays in its column. Text across the page
// under or over it, or a block reaching out of the column, ends the column;
// on a page without gutters between columns of text there are no columns
// (boxes of code beside their results are rows).
bool insideAColumn(const std::vector<Block>& blocks, std::size_t i, double width,
                   const std::vector<std::pair<double, double>>& gaps)
{
    const pdf::Box& me = blocks[i].box;
    const double em = blocks[i].lines.empty() ? 10.0 : blocks[i].lines.front().fontSize;
    const double slack = kColumnEdgeSlackEm * em;
    const auto straddles = [&](const pdf::Box& b) {
        return std::any_of(gaps.begin(), gaps.end(), [&](const auto& gap) { return b.xMin < gap.first && b.xMax > gap.second; });
    };
    if (gaps.empty() || straddles(me))
        return false;
    const auto holds = [&](const pdf::Box& column) {
        return column.width() < kSpanningShare * width && !straddles(column) && column.xMin <= me.xMin + slack
            && me.xMax <= column.xMax + slack;
    };
    const auto near = [&](double gap) { return gap >= -slack && gap <= kColumnRunsOnEm * em; };
    for (const Block& above : blocks) {
        if (&above == &blocks[i] || !holds(above.box) || !near(me.yMin - above.box.yMax))
            continue;
        for (const Block& below : blocks)
            if (&below != &blocks[i] && holds(below.box) && near(below.box.yMin - me.yMax) && overlapsHorizontally(above.box, below.box))
                return true;
    }
    return false;
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

// Whether a block other than the two stands between x `from` and `to` on the fragment's line.
bool crossesBlock(const PageLines& page, const Block& own, const Block& owner, double from, double to, const Line& fragment)
{
    for (const Block& b : page.blocks)
        if (&b != &own && &b != &owner && b.box.xMin < to && b.box.xMax > from && b.box.yMin < fragment.box.yMax
            && b.box.yMax > fragment.box.yMin)
            return true;
    return false;
}

// The nearest line of another block on `fragment`'s baseline on one side
// of it (`before`: left of it, the line it ends), not across another block;
// its gap in `gap`.
Line* nearestBeside(PageLines& page, const Block& own, const Line& fragment, double maxGap, bool before, Block** owner,
                    double& gap)
{
    Line* best = nullptr;
    gap = maxGap;
    const double slack = kSameBaselineEm * fragment.fontSize;
    for (Block& b : page.blocks) {
        if (&b == &own || b.rotation != 0)
            continue;
        for (Line& l : b.lines) {
            if (std::abs(l.baseline - fragment.baseline) > slack)
                continue;
            const double g = before ? fragment.left() - l.right() : l.left() - fragment.right();
            if (g < -slack || g > gap)
                continue;
            const double from = before ? l.right() : fragment.right();
            const double to = before ? fragment.left() : l.left();
            if (crossesBlock(page, own, b, from, to, fragment))
                continue; // never across another column
            best = &l;
            gap = g;
            *owner = &b;
        }
    }
    return best;
}

// The line of another block on `fragment`'s baseline that it ends (the
// nearest line left of it) or, failing that, opens (the nearest right of it).
// A number close before a line (`mayOpen`) opens it even when a line further
// left would take it: the section number of a heading in the next column.
Line* lineBeside(PageLines& page, const Block& own, const Line& fragment, double maxGap, bool mayOpen, Block** owner,
                 bool& before)
{
    Block* leftOwner = nullptr;
    Block* rightOwner = nullptr;
    double leftGap = 0, rightGap = 0;
    Line* left = nearestBeside(page, own, fragment, maxGap, true, &leftOwner, leftGap);
    Line* right = mayOpen ? nearestBeside(page, own, fragment, maxGap, false, &rightOwner, rightGap) : nullptr;
    const bool opens = right && (!left || (rightGap <= kLeadingNumberGapEm * fragment.fontSize && rightGap < leftGap));
    before = !opens;
    *owner = opens ? rightOwner : leftOwner;
    return opens ? right : left;
}

// From the left of the leftmost block to the right of the rightmost.
double blocksWidth(const std::vector<Block>& blocks)
{
    double left = blocks.front().box.xMin, right = blocks.front().box.xMax;
    for (const Block& b : blocks) {
        left = std::min(left, b.box.xMin);
        right = std::max(right, b.box.xMax);
    }
    return right - left;
}

// Poppler puts the page numbers of a table of contents (set apart by a gap or
// dot leaders) into a block of their own, which would read as a column of
// numbers after the entries. Each goes back to the end of its entry's line.
// Dot leaders and their number cut off from an entry's title (by a raised or
// lowered letter in the title) go back the same way.
void rejoinNumberFragments(PageLines& page)
{
    if (page.blocks.empty())
        return;
    const double textWidth = blocksWidth(page.blocks);
    // Never across a gutter: a reference's number of the left column is no
    // part of the right column's line on its baseline.
    const auto gaps = gutters(page.blocks, textWidth);
    const auto acrossAGutter = [&](const pdf::Box& a, const pdf::Box& b) {
        const pdf::Box& left = a.xMin < b.xMin ? a : b;
        const pdf::Box& right = a.xMin < b.xMin ? b : a;
        return std::any_of(gaps.begin(), gaps.end(),
                           [&](const auto& gap) { return left.xMax <= gap.second && right.xMin >= gap.first; });
    };
    for (Block& block : page.blocks) {
        if (block.rotation != 0 || block.lines.empty())
            continue;
        const bool allNumbers = std::all_of(block.lines.begin(), block.lines.end(), [](const Line& l) { return isNumberLike(l.text); });
        std::erase_if(block.lines, [&](Line& fragment) {
            if (!allNumbers && !isLeadersOnly(fragment.text))
                return false;
            Block* owner = nullptr;
            bool before = true;
            Line* target = lineBeside(page, block, fragment, kNumberFragmentGapShare * textWidth, allNumbers, &owner, before);
            if (!target || (!allNumbers && !before) || acrossAGutter(fragment.box, target->box))
                return false;
            if (before) {
                target->words.back().spaceAfter = true;
                target->words.insert(target->words.end(), fragment.words.begin(), fragment.words.end());
                target->endsWithReference = true;
            } else {
                // An item's number at its left (a numbered question in a list of contents).
                fragment.words.back().spaceAfter = true;
                target->words.insert(target->words.begin(), fragment.words.begin(), fragment.words.end());
            }
            measureLine(*target);
            growBox(owner->box, target->box);
            return true;
        });
        fitBlockBox(block);
    }
    std::erase_if(page.blocks, [](const Block& b) { return b.lines.empty(); });
}

// Poppler sometimes cuts one line of a paragraph into lines side by side on
// one baseline (at full-width quotes set in another font); they read as one
// line, or the paragraph would break at each cut.
void joinSideBySideLines(PageLines& page)
{
    for (Block& block : page.blocks) {
        if (block.rotation != 0 || block.lines.size() < 2)
            continue;
        bool joinedAny = false;
        for (std::size_t i = 0; i < block.lines.size(); ++i) {
            for (std::size_t j = i + 1; j < block.lines.size(); ++j) {
                Line& a = block.lines[i];
                Line& b = block.lines[j];
                if (a.words.empty() || b.words.empty())
                    continue;
                const double em = std::max(a.fontSize, b.fontSize);
                const bool aFirst = a.left() <= b.left();
                const Line& left = aFirst ? a : b;
                const Line& right = aFirst ? b : a;
                const double gap = right.left() - left.right();
                if (std::abs(a.baseline - b.baseline) > kSameBaselineEm * em || std::abs(gap) > kSplitLineGapEm * em
                    || right.right() <= left.right())
                    continue;
                std::vector<Word> words = left.words;
                words.back().spaceAfter = gap > kSplitLineSpaceEm * em;
                words.insert(words.end(), right.words.begin(), right.words.end());
                a.words = std::move(words);
                b.words.clear();
                measureLine(a);
                joinedAny = true;
                j = i; // the longer line may meet another piece
            }
        }
        if (joinedAny) {
            std::erase_if(block.lines, [](const Line& l) { return l.words.empty(); });
            fitBlockBox(block);
        }
    }
}

// The line whose gap between two words `glyph` fills, on about its baseline.
Line* lineAround(PageLines& page, const Line& glyph, const std::vector<std::vector<bool>>& joined)
{
    for (std::size_t bi = 0; bi < page.blocks.size(); ++bi) {
        Block& b = page.blocks[bi];
        if (b.rotation != 0)
            continue;
        for (std::size_t li = 0; li < b.lines.size(); ++li) {
            Line& l = b.lines[li];
            if (&l == &glyph || joined[bi][li] || std::abs(l.baseline - glyph.baseline) > kStrayBaselineEm * l.fontSize)
                continue;
            if (l.left() >= glyph.left() || l.right() <= glyph.right())
                continue;
            // Kerned in, it may overlap its neighbours a little (T and E of "TeX").
            const double centre = (glyph.left() + glyph.right()) / 2;
            const bool inAGap = std::none_of(l.words.begin(), l.words.end(), [&](const Word& w) {
                return w.box.xMin < centre && centre < w.box.xMax;
            });
            if (inAGap)
                return &l;
        }
    }
    return nullptr;
}

// TeX sets the E of "TeX" and the A of "LaTeX" off the baseline; poppler
// sometimes makes such a letter a line of its own ("LAT X" and a lone "E").
// It goes back into the gap it was drawn in.
void rejoinStrayGlyphs(PageLines& page)
{
    // Lines are only marked here and removed at the end, so that the lines
    // found as targets stay where they are meanwhile.
    std::vector<std::vector<bool>> joined(page.blocks.size());
    for (std::size_t b = 0; b < page.blocks.size(); ++b)
        joined[b].assign(page.blocks[b].lines.size(), false);
    for (std::size_t b = 0; b < page.blocks.size(); ++b) {
        Block& block = page.blocks[b];
        if (block.rotation != 0)
            continue;
        for (std::size_t i = 0; i < block.lines.size(); ++i) {
            const Line& glyph = block.lines[i];
            const bool letters = std::all_of(glyph.text.begin(), glyph.text.end(),
                                             [](char32_t c) { return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z'); });
            if (glyph.text.size() > kStrayGlyphMaxChars || !letters)
                continue;
            Line* target = lineAround(page, glyph, joined);
            if (!target)
                continue;
            const double centre = (glyph.left() + glyph.right()) / 2;
            auto at = std::find_if(target->words.begin(), target->words.end(),
                                   [&](const Word& w) { return w.box.xMin >= centre; });
            const double join = kStrayJoinGapEm * target->fontSize;
            if (at != target->words.begin())
                std::prev(at)->spaceAfter = glyph.left() - std::prev(at)->box.xMax > join;
            std::vector<Word> words = glyph.words;
            words.back().spaceAfter = at != target->words.end() && at->box.xMin - glyph.right() > join;
            target->words.insert(at, words.begin(), words.end());
            measureLine(*target);
            joined[b][i] = true;
        }
    }
    for (std::size_t b = 0; b < page.blocks.size(); ++b) {
        auto& lines = page.blocks[b].lines;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (joined[b][i])
                continue;
            if (kept != i)
                lines[kept] = std::move(lines[i]);
            ++kept;
        }
        lines.resize(kept);
    }
    std::erase_if(page.blocks, [](const Block& b) { return b.lines.empty(); });
}

void orderTextBlocks(PageLines& page, const std::vector<pdf::Box>& beside);

} // namespace

void orderBlocks(PageLines& page, const std::vector<pdf::Box>& beside)
{
    if (page.blocks.empty())
        return;
    joinSideBySideLines(page);
    rejoinListLabels(page);
    rejoinStrayGlyphs(page);
    rejoinNumberFragments(page);
    splitMarginNotes(page);
    // Notes in the margin are read after the page's text, top to bottom.
    std::vector<Block> notes;
    for (Block& b : page.blocks)
        if (b.marginNote)
            notes.push_back(std::move(b));
    std::erase_if(page.blocks, [](const Block& b) { return b.marginNote; });
    std::stable_sort(notes.begin(), notes.end(), [](const Block& a, const Block& b) { return a.box.yMin < b.box.yMin; });
    for (Block& n : notes)
        n.flow = kNoColumn;
    orderTextBlocks(page, beside);
    page.blocks.insert(page.blocks.end(), std::make_move_iterator(notes.begin()), std::make_move_iterator(notes.end()));
}

namespace {

// Blocks alone on their height (nothing beside them) under a band of
// columns, each within one of its columns, carry that column on once the
// other column has ended (an appendix under the references of a paper's
// last page, whose right column is short): they join the band and are read
// in their column, not after the whole band. Only a run of them that holds
// body text as wide as the column does; a lone short line (a heading over
// text across the page) stays where it stands.
void keepColumnsRunningOn(const std::vector<Block>& blocks, std::vector<bool>& separator, const std::vector<bool>& wide)
{
    std::vector<const Block*> band;
    for (std::size_t i = 0; i < blocks.size();) {
        if (!separator[i]) {
            band.push_back(&blocks[i++]);
            continue;
        }
        const auto columns = columnExtents(band);
        const auto within = [&](const Block& b) -> const std::pair<double, double>* {
            const double slack = kColumnEdgeSlackEm * (b.lines.empty() ? 10.0 : b.lines.front().fontSize);
            for (const auto& c : columns)
                if (b.box.xMin >= c.first - slack && b.box.xMax <= c.second + slack)
                    return &c;
            return nullptr;
        };
        const auto* column = columns.size() > 1 && !wide[i] ? within(blocks[i]) : nullptr;
        if (!column) {
            band.clear();
            ++i;
            continue;
        }
        std::size_t end = i;
        bool bodyText = false;
        for (; end < blocks.size() && separator[end] && !wide[end] && within(blocks[end]) == column; ++end)
            bodyText = bodyText
                       || (blocks[end].lines.size() > 1
                           && blocks[end].box.width() >= kColumnBodyShare * (column->second - column->first));
        if (bodyText) {
            for (std::size_t k = i; k < end; ++k) {
                separator[k] = false;
                band.push_back(&blocks[k]);
            }
        } else {
            band.clear();
        }
        i = end;
    }
}

// A wide formula often comes as pieces none of which is wide alone, standing
// in a row across the gutter: the row runs across the page, with the columns
// above it ending there and starting again under it. Text of two columns on
// one height keeps out of the gutter; pieces of one formula reach into it. A
// row with column text in it is left alone: one line sticking out of a column
// does not end it. `blocks` in order of their tops; the row's pieces are put
// left to right and marked wide.
void markRowsAcrossGutters(std::vector<Block>& blocks, std::vector<bool>& wide, double width,
                           const std::vector<std::pair<double, double>>& gaps)
{
    if (gaps.empty())
        return;
    for (std::size_t first = 0; first < blocks.size();) {
        // A row: the blocks that overlap one another's height, one after another.
        std::size_t end = first + 1;
        double bottom = blocks[first].box.yMax;
        for (; end < blocks.size() && blocks[end].box.yMin < bottom; ++end)
            bottom = std::max(bottom, blocks[end].box.yMax);
        const auto row = std::span(blocks).subspan(first, end - first);
        const bool columnText = std::any_of(row.begin(), row.end(), [&](const Block& b) { return isColumnText(b, width); });
        const double em = row.front().lines.empty() ? 10.0 : row.front().lines.front().fontSize;
        const bool across = !columnText && row.size() > 1 && std::any_of(gaps.begin(), gaps.end(), [&](const auto& gap) {
            const double centre = (gap.first + gap.second) / 2;
            double leftEdge = -1e9, rightEdge = 1e9;
            for (const Block& b : row) {
                if (b.rotation != 0)
                    continue;
                if (b.box.xMax <= centre)
                    leftEdge = std::max(leftEdge, b.box.xMax);
                else if (b.box.xMin >= centre)
                    rightEdge = std::min(rightEdge, b.box.xMin);
            }
            return leftEdge > -1e9 && rightEdge < 1e9
                && (leftEdge - gap.first) + (gap.second - rightEdge) > kGutterIntrusionEm * em;
        });
        if (across) {
            std::stable_sort(row.begin(), row.end(), [](const Block& a, const Block& b) { return a.box.xMin < b.box.xMin; });
            for (std::size_t i = first; i < end; ++i)
                wide[i] = true;
        }
        first = end;
    }
}

// Poppler sometimes makes one block of text of both columns (a formula of
// the left column running over into the right one ties them), or one line
// of two lines of code that stand side by side on one baseline
// ("\bibliography{bib}" and "..."). A block reaching over a gutter whose
// lines keep their words out of it, all but a few, is cut there into two
// blocks; a line with a word in the gutter goes whole to the side it starts
// on. Text across the page has words in the gutter on most of its lines.
void splitBlocksAtGutters(std::vector<Block>& blocks, const std::vector<std::pair<double, double>>& gaps)
{
    std::vector<Block> cut;
    for (Block& b : blocks) {
        if (b.rotation != 0)
            continue;
        for (const auto& gap : gaps) {
            if (b.box.xMin >= gap.first || b.box.xMax <= gap.second)
                continue;
            const double em = b.lines.empty() ? 10.0 : b.lines.front().fontSize;
            const double slack = kGutterIntrusionEm * em;
            const auto leftOfGap = [&](const Word& w) { return w.box.xMax <= gap.first + slack; };
            const auto rightOfGap = [&](const Word& w) { return w.box.xMin >= gap.second - slack; };
            const auto crosses = [&](const Line& l) {
                return std::any_of(l.words.begin(), l.words.end(), [&](const Word& w) { return !leftOfGap(w) && !rightOfGap(w); });
            };
            const auto crossing = std::count_if(b.lines.begin(), b.lines.end(), crosses);
            if (static_cast<double>(crossing) > kMaxCrossingLinesShare * static_cast<double>(b.lines.size()))
                continue;
            Block right{{}, b.box, b.rotation, b.flow, b.marginNote};
            for (Line& l : b.lines) {
                if (crosses(l)) {
                    if (rightOfGap(l.words.front()))
                        right.lines.push_back(std::exchange(l, Line{}));
                    continue;
                }
                Line r = l;
                std::erase_if(l.words, rightOfGap);
                std::erase_if(r.words, leftOfGap);
                if (!r.words.empty()) {
                    measureLine(r);
                    right.lines.push_back(std::move(r));
                }
                if (!l.words.empty())
                    measureLine(l);
            }
            std::erase_if(b.lines, [](const Line& l) { return l.words.empty(); });
            if (!b.lines.empty())
                fitBlockBox(b);
            if (!right.lines.empty()) {
                fitBlockBox(right);
                cut.push_back(std::move(right));
            }
            break;
        }
    }
    std::erase_if(blocks, [](const Block& b) { return b.lines.empty(); });
    blocks.insert(blocks.end(), std::make_move_iterator(cut.begin()), std::make_move_iterator(cut.end()));
}

void orderTextBlocks(PageLines& page, const std::vector<pdf::Box>& beside)
{
    if (page.blocks.empty())
        return;
    const double width = blocksWidth(page.blocks);

    std::vector<Block> blocks = std::move(page.blocks);
    const auto gaps = gutters(blocks, width);
    splitBlocksAtGutters(blocks, gaps);
    std::stable_sort(blocks.begin(), blocks.end(), [](const Block& a, const Block& b) { return a.box.yMin < b.box.yMin; });
    std::vector<bool> separator(blocks.size());
    std::vector<bool> wide(blocks.size()); // across the page or turned: always a separator
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        bool alone = true;
        for (std::size_t j = 0; j < blocks.size() && alone; ++j)
            alone = i == j || !overlapsVertically(blocks[i].box, blocks[j].box);
        // A figure or table at the top of the next column is a column's
        // start too: the text beside it is in a column, not across the page.
        for (const pdf::Box& other : beside)
            alone = alone && (!overlapsVertically(blocks[i].box, other) || overlapsHorizontally(blocks[i].box, other));
        wide[i] = blocks[i].box.width() >= kSpanningShare * width || blocks[i].rotation != 0;
        separator[i] = (alone && !besideAColumn(blocks, i) && !insideAColumn(blocks, i, width, gaps)
                        && !rightOfAGutter(blocks[i], gaps))
            || wide[i];
    }
    markRowsAcrossGutters(blocks, wide, width, gaps);
    for (std::size_t i = 0; i < blocks.size(); ++i)
        separator[i] = separator[i] || wide[i];

    keepColumnsRunningOn(blocks, separator, wide);

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

} // namespace

// The extent of the page's text. Turned text (a stamp up the margin) is
// left out when there is other text: it would widen the column that centred
// and right-aligned lines are measured in.
std::optional<pdf::Box> textExtent(const PageLines& page)
{
    const auto inColumn = [](const Block& b) { return b.rotation == 0 && !b.marginNote; };
    const bool anyInColumn = std::any_of(page.blocks.begin(), page.blocks.end(), inColumn);
    std::optional<pdf::Box> box;
    for (const Block& b : page.blocks) {
        if (anyInColumn && !inColumn(b))
            continue;
        if (!box) {
            box = b.box;
            continue;
        }
        growBox(*box, b.box);
    }
    return box;
}

// The column each block's paragraphs align in: its column when the page has
// columns, else the whole text width of the page.
std::map<int, ColumnBounds> columnBounds(const PageLines& page, const pdf::Box& body)
{
    std::map<int, ColumnBounds> cols;
    cols[kNoColumn] = ColumnBounds{body.xMin, body.xMax};
    for (const Block& b : page.blocks) {
        if (b.flow == kNoColumn)
            continue;
        auto [it, fresh] = cols.try_emplace(b.flow, ColumnBounds{b.box.xMin, b.box.xMax});
        if (!fresh) {
            it->second.left = std::min(it->second.left, b.box.xMin);
            it->second.right = std::max(it->second.right, b.box.xMax);
        }
    }
    return cols;
}

} // namespace pwt::layout

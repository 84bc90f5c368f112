#include "MarginNotes.h"

#include "ParagraphSplitter.h"
#include "StructureAnalysis.h"
#include "TextRules.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace pwt::layout {

namespace {

// The x where most long lines end (or start): the column's edge.
std::optional<double> commonEdge(const PageLines& page, bool right)
{
    std::map<long, int> votes;
    int lines = 0;
    for (const Block& b : page.blocks) {
        if (b.rotation != 0)
            continue;
        for (const Line& l : b.lines)
            if (l.text.size() >= kEdgeSampleMinChars && !isLeadersOnly(l.text)) {
                ++votes[std::lround((right ? l.right() : l.left()) / kEdgeBinPt)];
                ++lines;
            }
    }
    const auto best = std::max_element(votes.begin(), votes.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    // Justified text ends at one edge; ragged text has none to go by.
    if (best == votes.end() || best->second < kEdgeSampleMinLines || best->second < kEdgeMinShare * lines)
        return std::nullopt;
    return static_cast<double>(best->first) * kEdgeBinPt;
}

Line lineOf(std::vector<Word> words)
{
    Line l;
    l.words = std::move(words);
    measureLine(l);
    return l;
}

Block blockOf(Line line)
{
    Block b;
    b.box = line.box;
    b.marginNote = true;
    b.lines.push_back(std::move(line));
    return b;
}

// Lines of notes one below the other, overlapping, at about a line's
// distance, are one note.
std::vector<Block> groupNotes(std::vector<Block> pieces)
{
    std::stable_sort(pieces.begin(), pieces.end(), [](const Block& a, const Block& b) { return a.box.yMin < b.box.yMin; });
    std::vector<Block> notes;
    for (Block& piece : pieces) {
        if (!notes.empty()) {
            Block& note = notes.back();
            const Line& last = note.lines.back();
            const Line& next = piece.lines.front();
            const double step = next.baseline - last.baseline;
            const bool below = step > 0 && step <= kParagraphGapRatio * kDefaultPitchEm * std::max(last.fontSize, next.fontSize);
            if (below && note.box.xMin < piece.box.xMax && piece.box.xMin < note.box.xMax) {
                note.lines.push_back(std::move(piece.lines.front()));
                fitBlockBox(note);
                continue;
            }
        }
        notes.push_back(std::move(piece));
    }
    return notes;
}

// Whether text runs on the far side of the right edge: a long line wholly
// right of it, as in a page of two columns. Then there is no margin there.
bool textBeyond(const PageLines& page, double rightEdge)
{
    for (const Block& b : page.blocks)
        for (const Line& l : b.lines)
            if (b.rotation == 0 && l.text.size() >= kEdgeSampleMinChars && l.left() > rightEdge)
                return true;
    return false;
}

// Short lines of words: page numbers and leaders beside a contents entry
// belong to it, not to the margin.
bool noteText(const Line& l)
{
    return l.text.size() < kEdgeSampleMinChars && !isNumberLike(l.text) && !isLeadersOnly(l.text);
}

bool allShort(const Block& b)
{
    return std::all_of(b.lines.begin(), b.lines.end(), noteText);
}

// Where a note in the right margin starts in a line (0: none): the first
// word past the column's edge when the words before it end at the edge, as
// a justified line does, and a gap wider than the line's word spaces (twice
// their usual width; just a word space after Chinese, which has none to go
// by) sets it apart. A table row or a listing runs past the edge otherwise.
std::size_t noteStart(const Line& line, double right, double columnWidth)
{
    const auto& words = line.words;
    const double em = std::max(line.fontSize, 1.0);
    for (std::size_t k = 1; k < words.size(); ++k) {
        if (words[k].box.xMin <= right + kPastEdgeEm * em)
            continue;
        const Word& last = words[k - 1];
        if (std::abs(last.box.xMax - right) > kHangingEm * em)
            return 0;
        const double gap = words[k].box.xMin - last.box.xMax;
        std::vector<double> gaps;
        for (std::size_t i = 1; i < k; ++i)
            gaps.push_back(words[i].box.xMin - words[i - 1].box.xMax);
        double needed = kNoteGapEm * em;
        if (gaps.size() >= kMinGapsToCompare) {
            std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
            needed = std::max(needed, kNoteGapRatio * gaps[gaps.size() / 2]);
        } else if (last.text.empty() || !isCjk(last.text.back())) {
            return 0;
        }
        if (gap <= needed)
            return 0;
        const Line note = lineOf({words.begin() + static_cast<std::ptrdiff_t>(k), words.end()});
        return note.box.width() <= kMaxNoteShare * columnWidth && noteText(note) ? k : 0;
    }
    return 0;
}

// The extent of the page's long lines, margin notes left out.
std::optional<ColumnBounds> longLineExtent(const PageLines& page)
{
    std::optional<ColumnBounds> extent;
    for (const Block& b : page.blocks) {
        if (b.rotation != 0 || b.marginNote)
            continue;
        for (const Line& l : b.lines) {
            if (l.text.size() < kEdgeSampleMinChars || isLeadersOnly(l.text))
                continue;
            if (!extent)
                extent = ColumnBounds{l.left(), l.right()};
            extent->left = std::min(extent->left, l.left());
            extent->right = std::max(extent->right, l.right());
        }
    }
    return extent;
}

// A block of short lines wholly outside the extent of the page's long lines
// and beyond the column's common edge. Not in the head or foot zone: a head
// seen on one page only (a chapter's first) may stand out of the column.
void markStandingNotes(PageLines& page, double commonLeft, double commonRight, double maxWidth)
{
    const auto extent = longLineExtent(page);
    if (!extent)
        return;
    for (Block& b : page.blocks) {
        if (b.rotation != 0 || b.marginNote || !allShort(b) || b.box.width() > maxWidth)
            continue;
        if (b.box.yMax < kRunningZoneShare * page.height || b.box.yMin > (1 - kRunningZoneShare) * page.height)
            continue;
        const double em = std::max(b.lines.front().fontSize, 1.0);
        b.marginNote = (b.box.xMin > extent->right && b.box.xMin > commonRight + kPastEdgeEm * em)
            || (b.box.xMax < extent->left - kPastEdgeEm * em && b.box.xMax < commonLeft - kPastEdgeEm * em);
    }
}

} // namespace

void splitMarginNotes(PageLines& page)
{
    const auto left = commonEdge(page, false);
    const auto right = commonEdge(page, true);
    if (!left || !right || *right <= *left)
        return;
    const double width = *right - *left;
    // Only the right margin is looked at within lines: at the left, the
    // labels and numbers of lists and contents stand out of the text as well.
    const bool rightMargin = !textBeyond(page, *right);
    std::vector<Block> pieces;
    for (Block& block : page.blocks) {
        if (block.rotation != 0)
            continue;
        bool changed = false;
        for (Line& line : block.lines) {
            if (!rightMargin || line.fixedWidth)
                continue;
            const std::size_t k = noteStart(line, *right, width);
            if (k == 0)
                continue;
            auto& words = line.words;
            pieces.push_back(blockOf(lineOf({words.begin() + static_cast<std::ptrdiff_t>(k), words.end()})));
            words.erase(words.begin() + static_cast<std::ptrdiff_t>(k), words.end());
            words.back().spaceAfter = false;
            measureLine(line);
            changed = true;
        }
        if (changed)
            fitBlockBox(block);
    }
    for (Block& note : groupNotes(std::move(pieces)))
        page.blocks.push_back(std::move(note));
    markStandingNotes(page, *left, *right, kMaxNoteShare * width);
}

} // namespace pwt::layout

#include "ParagraphSplitter.h"

#include "BlockJoiner.h"
#include "Links.h"
#include "TextRules.h"

#include <algorithm>
#include <cmath>

namespace pwt::layout {

namespace {

bool onBaseline(const Word& w, const Line& line)
{
    return std::abs(w.baseline - line.baseline) <= kOffBaselineEm * line.fontSize;
}

// The text on either side of a line break, passing over raised or lowered marks.
const Word& lastTextWord(const Line& line)
{
    for (auto it = line.words.rbegin(); it != line.words.rend(); ++it)
        if (onBaseline(*it, line))
            return *it;
    return line.words.back();
}

const Word& firstTextWord(const Line& line)
{
    for (const Word& w : line.words)
        if (onBaseline(w, line))
            return w;
    return line.words.front();
}

// A change of size or weight between two lines (a heading and its text).
// A line that mixes sizes within a paragraph is judged by the text at the
// break: "... at fourteen points before settling back" / "at eleven" is one
// paragraph although most of the first line is larger. (A bold line ending
// in a roman command name is still a heading over roman text.)
bool differentClass(const Line& a, const Line& b)
{
    if (a.bold != b.bold)
        return true;
    if (!sizesDiffer(a.fontSize, b.fontSize))
        return false;
    return sizesDiffer(lastTextWord(a).fontSize, firstTextWord(b).fontSize);
}

bool endsEntry(const Line& l) { return l.endsWithReference || endsWithLeaders(l.text); }

// A contents entry too long for one line goes on, indented, on the next,
// which ends with the leaders and the page number: one paragraph.
bool continuesContentsEntry(const Line& previous, const Line& next, double blockRight, double em)
{
    // The entry's first line ran up to the room kept for the page numbers (a
    // short line before it is a heading of its own: "Appendices", "bool commands:").
    if (blockRight - previous.right() > kEntryWrapRoomEm * em)
        return false;
    // Its page number closes it ("..." closing a line of code or a formula is no entry).
    const bool numbered = next.endsWithReference
        || (endsWithLeaders(next.text) && !next.text.empty() && next.text.back() != U'.' && next.text.back() != U' ');
    return numbered && !next.fixedWidth && !endsEntry(previous)
        && next.left() - previous.left() > kIndentEm * em;
}

double centreOf(const Line& l) { return (l.left() + l.right()) / 2; }

// A block of centred lines only: every line on one centre, and no two
// starting at the same x. (Ragged-right lines under an indented first line
// can share a centre by chance, but they start where the column does.)
bool centredBlock(const std::vector<Line>& lines, double blockLeft)
{
    if (lines.size() < 2)
        return false;
    const double centre = centreOf(lines.front());
    const bool oneCentre = std::all_of(lines.begin(), lines.end(), [&](const Line& l) {
        return std::abs(centreOf(l) - centre) <= kSameCentreEm * std::max(l.fontSize, 1.0);
    });
    const auto atLeftEdge = std::count_if(lines.begin(), lines.end(), [&](const Line& l) { return l.left() - blockLeft < kSameEdgePt; });
    return oneCentre && atLeftEdge < 2;
}

// Two lines of centred text: one centre, and one of them clear of both
// edges of the block (in a left-aligned or justified paragraph the lines
// share the left edge instead).
bool centredPair(const Line& previous, const Line& next, double blockLeft, double blockRight, double em)
{
    if (std::abs(centreOf(previous) - centreOf(next)) > kSameCentreEm * em)
        return false;
    const auto clear = [&](const Line& l) { return l.left() - blockLeft > kIndentEm * em && blockRight - l.right() > kIndentEm * em; };
    return clear(previous) || clear(next);
}

// Width the first word of `next` would need at the end of `previous`
// (for CJK text, one character: such lines break anywhere).
double firstWordWidth(const Line& next)
{
    const Word& w = next.words.front();
    if (next.hasCjk && !w.text.empty() && isCjk(w.text.front()))
        return w.box.width() / static_cast<double>(w.text.size());
    return w.box.width();
}

// The previous line ended although the next line's first word would have
// fitted after it: the writer broke the line on purpose.
bool endsShort(const Line& previous, const Line& next, double blockRight)
{
    return nextWordFitted(previous, next, blockRight - previous.right());
}

// A centred line has the room on both of its sides.
bool centredEndsShort(const Line& previous, const Line& next, const ColumnBounds& column)
{
    return nextWordFitted(previous, next, column.width() - (previous.right() - previous.left()));
}

} // namespace

bool sizesDiffer(double a, double b)
{
    return std::abs(a - b) > kSizeChangeRatio * std::max(a, b);
}

bool nextWordFitted(const Line& previous, const Line& next, double room)
{
    if (!previous.text.empty() && isLineEndHyphen(previous.text.back()))
        return false;
    const double em = previous.fontSize;
    const double needed = firstWordWidth(next) + (next.hasCjk ? 0.0 : kSpaceEm * em);
    return room > needed + kFitSlackEm * em;
}

bool runningText(const Line& line)
{
    const double widest = kMaxWordGapEm * std::max(line.fontSize, 1.0);
    for (std::size_t i = 1; i < line.words.size(); ++i)
        if (line.words[i].box.xMin - line.words[i - 1].box.xMax > widest)
            return false;
    return true;
}

double typicalPitch(const std::vector<Line>& lines)
{
    return typicalPitch(lines, 0, lines.size());
}

double typicalPitch(const std::vector<Line>& lines, std::size_t first, std::size_t last)
{
    std::vector<double> steps;
    for (std::size_t i = first + 1; i < last; ++i) {
        const double step = lines[i].baseline - lines[i - 1].baseline;
        if (step > 0)
            steps.push_back(step);
    }
    if (steps.size() < 2) {
        double size = 0;
        for (std::size_t i = first; i < last; ++i)
            size = std::max(size, lines[i].fontSize);
        return size * kDefaultPitchEm;
    }
    std::nth_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2), steps.end());
    // The lower median: in a block of two paragraphs the normal steps outnumber the gap.
    return steps[steps.size() / 2];
}

namespace {

ColumnBounds extentOf(const std::vector<Line>& lines)
{
    ColumnBounds c{lines.front().left(), lines.front().right()};
    for (const Line& l : lines) {
        c.left = std::min(c.left, l.left());
        c.right = std::max(c.right, l.right());
    }
    return c;
}

} // namespace

std::vector<std::size_t> paragraphStarts(const std::vector<Line>& lines)
{
    if (lines.empty())
        return {};
    return paragraphStarts(lines, extentOf(lines));
}

std::vector<std::size_t> paragraphStarts(const std::vector<Line>& lines, const ColumnBounds& givenColumn)
{
    std::vector<std::size_t> starts;
    if (lines.empty())
        return starts;
    starts.push_back(0);
    const ColumnBounds extent = extentOf(lines);
    const double left = extent.left, right = extent.right;
    const ColumnBounds column{std::min(givenColumn.left, left), std::max(givenColumn.right, right)};
    const double pitch = typicalPitch(lines);
    // Two lines, one step between them: a paragraph of two spaced lines (the
    // block joiner put them together) when the first is running text with no
    // room left in the column; the step is their pitch, no gap.
    const bool spacedPair = lines.size() == 2 && !sizesDiffer(lines[0].fontSize, lines[1].fontSize)
        && lines[0].right() - lines[0].left() >= kMinJoinedColumnEm * std::max(lines[0].fontSize, 1.0) && runningText(lines[0])
        && lines[1].baseline - lines[0].baseline <= kMaxSpacedPitchEm * std::max(lines[1].fontSize, 1.0)
        && !nextWordFitted(lines[0], lines[1], column.right - lines[0].right());
    bool inListItem = startsListItem(lines.front().text);
    bool italicSoFar = lines.front().allItalic; // the paragraph so far is all italic
    const bool centred = centredBlock(lines, left);

    for (std::size_t i = 1; i < lines.size(); ++i) {
        const Line& prev = lines[i - 1];
        const Line& cur = lines[i];
        const double em = std::max(cur.fontSize, 1.0);
        const bool curFlush = cur.left() - left < kFlushEm * em;
        const bool prevFlush = prev.left() - left < kFlushEm * em;
        const bool curIndented = cur.left() - left > kIndentEm * em;

        bool opens = false;
        if (linkRunsOn(prev, cur)) {
            opens = false; // a link broken over the two lines
        } else if (startsListItem(cur.text)) {
            opens = true;
        } else if ((cur.baseline - prev.baseline > pitch * kParagraphGapRatio && !spacedPair) || cur.baseline < prev.baseline) {
            opens = true; // a gap, or a line that goes back up (another column)
        } else if (differentClass(prev, cur)) {
            opens = true;
        } else if (italicSoFar && !cur.italic) {
            opens = true; // an italic heading over its roman paragraph, no gap between them
        } else if (prev.endsWithReference || endsWithLeaders(prev.text)) {
            opens = true; // each entry of a table of contents is a paragraph
        } else if (continuesContentsEntry(prev, cur, right, em)) {
            opens = false;
        } else if (centred && centredPair(prev, cur, left, right, em)) {
            opens = centredEndsShort(prev, cur, column);
        } else if (endsShort(prev, cur, right)) {
            opens = true;
        } else if (curIndented && prevFlush && !inListItem) {
            // A first-line indent: the line after it returns to the left edge
            // (in a hanging indent the following lines stay indented).
            const bool nextReturns = i + 1 >= lines.size() || lines[i + 1].left() - left < kFlushEm * em;
            opens = nextReturns;
        } else if (curFlush && inListItem && !prevFlush) {
            opens = true; // back at the left edge after a hanging-indented item
        }
        if (opens) {
            starts.push_back(i);
            inListItem = startsListItem(cur.text);
            italicSoFar = cur.allItalic;
        } else {
            italicSoFar = italicSoFar && cur.allItalic;
        }
    }
    return starts;
}

} // namespace pwt::layout

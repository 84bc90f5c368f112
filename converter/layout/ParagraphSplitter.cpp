#include "ParagraphSplitter.h"

#include "TextRules.h"

#include <algorithm>
#include <cmath>

namespace pwt::layout {

namespace {

bool differentClass(const Line& a, const Line& b)
{
    const double larger = std::max(a.fontSize, b.fontSize);
    if (std::abs(a.fontSize - b.fontSize) > kSizeChangeRatio * larger)
        return true;
    return a.bold != b.bold;
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
    if (!previous.text.empty() && isLineEndHyphen(previous.text.back()))
        return false;
    const double em = previous.fontSize;
    const double room = blockRight - previous.right();
    const double needed = firstWordWidth(next) + (next.hasCjk ? 0.0 : kSpaceEm * em);
    return room > needed + kFitSlackEm * em;
}

} // namespace

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

std::vector<std::size_t> paragraphStarts(const std::vector<Line>& lines)
{
    std::vector<std::size_t> starts;
    if (lines.empty())
        return starts;
    starts.push_back(0);
    double left = lines.front().left(), right = lines.front().right();
    for (const Line& l : lines) {
        left = std::min(left, l.left());
        right = std::max(right, l.right());
    }
    const double pitch = typicalPitch(lines);
    bool inListItem = startsListItem(lines.front().text);
    bool italicSoFar = lines.front().allItalic; // the paragraph so far is all italic

    for (std::size_t i = 1; i < lines.size(); ++i) {
        const Line& prev = lines[i - 1];
        const Line& cur = lines[i];
        const double em = std::max(cur.fontSize, 1.0);
        const bool curFlush = cur.left() - left < kFlushEm * em;
        const bool prevFlush = prev.left() - left < kFlushEm * em;
        const bool curIndented = cur.left() - left > kIndentEm * em;

        bool opens = false;
        if (startsListItem(cur.text)) {
            opens = true;
        } else if (cur.baseline - prev.baseline > pitch * kParagraphGapRatio || cur.baseline < prev.baseline) {
            opens = true; // a gap, or a line that goes back up (another column)
        } else if (differentClass(prev, cur)) {
            opens = true;
        } else if (italicSoFar && !cur.italic) {
            opens = true; // an italic heading over its roman paragraph, no gap between them
        } else if (prev.endsWithReference || endsWithLeaders(prev.text)) {
            opens = true; // each entry of a table of contents is a paragraph
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

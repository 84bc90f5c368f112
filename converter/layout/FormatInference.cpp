#include "FormatInference.h"

#include "ParagraphSplitter.h"

#include <algorithm>
#include <cmath>

namespace pwt::layout {

namespace {

constexpr int kMaxSpaceTwips = 1440;              // one inch: beyond it a gap is layout, not spacing
constexpr int kSpacingSnap = 24;                  // within a tenth of single: single
constexpr int kMinSpacing = 200, kMaxSpacing = 720;

Alignment alignmentOf(const std::vector<Line>& lines, std::size_t first, std::size_t last, const ColumnBounds& col, double em)
{
    const std::size_t n = last - first;
    const double edge = kEdgeToleranceEm * em;
    const double away = kAwayFromEdgeEm * em;
    bool allCentred = true, allRight = true, anyAway = false;
    for (std::size_t i = first; i < last; ++i) {
        const Line& l = lines[i];
        const double centre = (l.left() + l.right()) / 2;
        allCentred = allCentred && std::abs(centre - col.center()) < kCenterToleranceEm * em;
        allRight = allRight && col.right - l.right() < edge;
        anyAway = anyAway || l.left() - col.left > away;
    }
    if (n >= 2) {
        const double strict = n == 2 ? kTwoLineJustifyEm * em : edge;
        bool justified = true;
        for (std::size_t i = first; i + 1 < last; ++i)
            justified = justified && col.right - lines[i].right() < strict;
        const Line& lastLine = lines[last - 1];
        // A justified paragraph's last line is left-aligned and usually short.
        if (justified && !(allCentred && anyAway) && lastLine.left() - col.left < away)
            return Alignment::Justify;
        // A block quotation, indented on both sides: its lines end together
        // short of the column's edge. Two or more such lines are needed to tell.
        if (n >= 3 && !(allCentred && anyAway)) {
            double ownRight = lines[first].right(), ownLeft = lines[first].left();
            for (std::size_t i = first; i + 1 < last; ++i) {
                ownRight = std::max(ownRight, lines[i].right());
                ownLeft = std::min(ownLeft, lines[i].left());
            }
            bool together = true;
            for (std::size_t i = first; i + 1 < last; ++i)
                together = together && ownRight - lines[i].right() < kTwoLineJustifyEm * em;
            if (together && lastLine.right() < ownRight + kTwoLineJustifyEm * em && lastLine.left() - ownLeft < away)
                return Alignment::Justify;
        }
    }
    if (allCentred && anyAway)
        return Alignment::Center;
    if (allRight && anyAway)
        return Alignment::Right;
    return Alignment::Left;
}

} // namespace

int spaceBetween(double previousBaseline, double baseline, double fontSize, double pitch)
{
    const double extra = (baseline - previousBaseline) - pitch;
    if (extra < kMinSpaceEm * fontSize)
        return 0;
    return std::min(twips(extra), kMaxSpaceTwips);
}

ParagraphFormat inferParagraphFormat(const std::vector<Line>& lines, std::size_t first, std::size_t last,
                                     const ColumnBounds& column)
{
    ParagraphFormat f;
    if (first >= last)
        return f;
    double em = 0;
    for (std::size_t i = first; i < last; ++i)
        em = std::max(em, lines[i].fontSize);
    em = std::max(em, 1.0);
    f.alignment = alignmentOf(lines, first, last, column, em);
    if (f.alignment == Alignment::Center || f.alignment == Alignment::Right)
        return f;

    const Line& firstLine = lines[first];
    double restLeft = firstLine.left();
    if (last - first >= 2) {
        restLeft = lines[first + 1].left();
        for (std::size_t i = first + 1; i < last; ++i)
            restLeft = std::min(restLeft, lines[i].left());
    }
    const double flush = kFlushEm * em;
    const double leftIndent = restLeft - column.left;
    if (leftIndent > flush)
        f.leftIndent = twips(leftIndent);
    const double firstOffset = firstLine.left() - restLeft;
    if (std::abs(firstOffset) > flush)
        f.firstLineIndent = twips(firstOffset);
    if (f.leftIndent == 0 && f.firstLineIndent < 0) {
        // The first line sits left of the column edge we measured: keep it in.
        f.leftIndent = -f.firstLineIndent;
    }
    if (f.alignment == Alignment::Justify) {
        double right = 0;
        for (std::size_t i = first; i < last; ++i)
            right = std::max(right, lines[i].right());
        if (column.right - right > kAwayFromEdgeEm * em)
            f.rightIndent = twips(column.right - right);
    }

    if (last - first >= 2) {
        const double pitch = typicalPitch(lines, first, last);
        // A CJK font's own line height differs from reader to reader (the font
        // Word substitutes for the PDF's sets lines apart by 1.3 to 1.5 ems), so
        // Chinese text keeps the PDF's distance between lines exactly.
        const bool cjk = std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(first),
                                     lines.begin() + static_cast<std::ptrdiff_t>(last), [](const Line& l) { return l.hasCjk; });
        if (cjk && pitch > em) {
            f.exactLineSpacing = twips(pitch);
            return f;
        }
        int spacing = static_cast<int>(std::lround(kSingleLineSpacing * pitch / (kSingleLineEm * em)));
        if (std::abs(spacing - kSingleLineSpacing) <= kSpacingSnap)
            spacing = kSingleLineSpacing;
        f.lineSpacing = std::clamp(spacing, kMinSpacing, kMaxSpacing);
    }
    return f;
}

} // namespace pwt::layout

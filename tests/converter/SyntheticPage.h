#pragma once
// Builds pages of words at chosen positions, as poppler would report them,
// so the layout rules can be tested without a PDF.
#include "PageText.h"

#include <string>

namespace pwt::test {

// Advance of one character, in ems: close enough to a proportional font.
inline constexpr double kCharEm = 0.5;

struct LineSpec {
    std::u32string text;
    double x = 72;          // left edge
    double baseline = 100;
    double size = 10;
    bool bold = false;
    bool italic = false;
    std::string font = "ABCDEF+TimesNewRomanPSMT";
    std::uint32_t color = 0;
};

// Words of `sketch.text` split at spaces; CJK text becomes one word per line.
inline pdf::TextLine makeLine(const LineSpec& sketch)
{
    pdf::TextLine line;
    double x = sketch.x;
    std::size_t start = 0;
    const std::u32string& t = sketch.text;
    while (start <= t.size()) {
        std::size_t end = t.find(U' ', start);
        if (end == std::u32string::npos)
            end = t.size();
        if (end > start) {
            pdf::TextWord w;
            w.text = t.substr(start, end - start);
            const bool wide = w.text.front() >= 0x2E80;
            const double width = static_cast<double>(w.text.size()) * sketch.size * (wide ? 1.0 : kCharEm);
            w.box = {x, sketch.baseline - sketch.size * 0.8, x + width, sketch.baseline + sketch.size * 0.2};
            w.baseline = sketch.baseline;
            w.fontSize = sketch.size;
            w.fontName = sketch.font;
            w.bold = sketch.bold;
            w.italic = sketch.italic;
            w.colorRgb = sketch.color;
            w.spaceAfter = end < t.size();
            line.words.push_back(w);
            x += width + sketch.size * kCharEm;
        }
        start = end + 1;
    }
    return line;
}

// One block holding the given lines, in one flow of its own.
inline pdf::TextFlow& addBlock(pdf::PageText& page, const std::vector<LineSpec>& lines, int flowIndex = -1)
{
    if (flowIndex < 0 || static_cast<std::size_t>(flowIndex) >= page.flows.size()) {
        page.flows.emplace_back();
        flowIndex = static_cast<int>(page.flows.size()) - 1;
    }
    pdf::TextFlow& flow = page.flows[static_cast<std::size_t>(flowIndex)];
    pdf::TextBlock& block = flow.blocks.emplace_back();
    bool first = true;
    for (const LineSpec& sketch : lines) {
        block.lines.push_back(makeLine(sketch));
        for (const auto& w : block.lines.back().words) {
            if (first) {
                block.box = w.box;
                first = false;
            }
            block.box.xMin = std::min(block.box.xMin, w.box.xMin);
            block.box.yMin = std::min(block.box.yMin, w.box.yMin);
            block.box.xMax = std::max(block.box.xMax, w.box.xMax);
            block.box.yMax = std::max(block.box.yMax, w.box.yMax);
        }
    }
    return flow;
}

} // namespace pwt::test

#include "StructureAnalysis.h"

#include "FormatInference.h"
#include "ParagraphComposer.h"
#include "TextRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <tuple>

namespace pwt::layout {

namespace {

enum class Zone { Head, Foot };

struct Occurrence {
    std::size_t page;
    std::size_t block;
    std::size_t line;
    double y;
};

// Digits stand for any number, so "Page 3" and "Page 4" are one pattern.
std::u32string pattern(const std::u32string& text)
{
    std::u32string p;
    bool lastDigit = false;
    for (char32_t c : text) {
        const bool digit = c >= U'0' && c <= U'9';
        if (digit && lastDigit)
            continue;
        p += digit ? U'#' : c;
        lastDigit = digit;
    }
    return p;
}

bool allDigits(const std::u32string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; });
}

std::vector<Paragraph> runningParagraph(const PageLines& page, const Line& line, bool numberVaries)
{
    std::vector<Line> one{line};
    Paragraph p = composeParagraph(one, 0, 1);
    if (numberVaries) {
        // Rebuild the runs so that the page number stands alone as a PAGE field.
        p.runs.clear();
        for (std::size_t k = 0; k < line.words.size(); ++k) {
            const Word& w = line.words[k];
            Run r;
            r.text = toUtf16(w.text);
            r.format = w.format;
            r.pageNumberField = allDigits(w.text);
            p.runs.push_back(std::move(r));
            if (w.spaceAfter && k + 1 < line.words.size())
                p.runs.push_back(Run{u" ", w.format, false});
        }
    }
    p.format = inferParagraphFormat(one, 0, 1, ColumnBounds{0.1 * page.width, 0.9 * page.width});
    p.format.leftIndent = p.format.firstLineIndent = 0;
    return {std::move(p)};
}

void removeLines(std::vector<PageLines>& pages, std::vector<Occurrence> occurrences)
{
    // Erase from the back so earlier indices stay valid.
    std::sort(occurrences.begin(), occurrences.end(), [](const Occurrence& a, const Occurrence& b) {
        return std::tie(a.page, a.block, a.line) > std::tie(b.page, b.block, b.line);
    });
    for (const Occurrence& o : occurrences) {
        Block& b = pages[o.page].blocks[o.block];
        b.lines.erase(b.lines.begin() + static_cast<std::ptrdiff_t>(o.line));
        if (b.lines.empty())
            continue;
        b.box = b.lines.front().box;
        for (const Line& l : b.lines) {
            b.box.xMin = std::min(b.box.xMin, l.box.xMin);
            b.box.yMin = std::min(b.box.yMin, l.box.yMin);
            b.box.xMax = std::max(b.box.xMax, l.box.xMax);
            b.box.yMax = std::max(b.box.yMax, l.box.yMax);
        }
    }
    for (PageLines& page : pages)
        std::erase_if(page.blocks, [](const Block& b) { return b.lines.empty(); });
}

} // namespace

RunningText extractRunningText(std::vector<PageLines>& pages)
{
    RunningText result;
    if (pages.size() < 2)
        return result;
    std::map<std::pair<Zone, std::u32string>, std::vector<Occurrence>> candidates;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const PageLines& page = pages[p];
        for (std::size_t b = 0; b < page.blocks.size(); ++b) {
            const Block& block = page.blocks[b];
            if (block.rotation != 0)
                continue;
            for (std::size_t l = 0; l < block.lines.size(); ++l) {
                const Line& line = block.lines[l];
                // Feet are measured from the bottom edge, so pages of other
                // heights (a landscape page among portrait ones) still match.
                if (line.box.yMax < kRunningZoneShare * page.height)
                    candidates[{Zone::Head, pattern(line.text)}].push_back({p, b, l, line.baseline});
                else if (line.box.yMin > (1 - kRunningZoneShare) * page.height)
                    candidates[{Zone::Foot, pattern(line.text)}].push_back({p, b, l, page.height - line.baseline});
            }
        }
    }
    const auto needed = static_cast<std::size_t>(std::ceil(kRunningPageShare * static_cast<double>(pages.size())));
    std::vector<Occurrence> running;
    std::size_t bestHead = 0, bestFoot = 0;
    for (auto& [key, occ] : candidates) {
        // Keep the occurrences at the place most of them share.
        const Line& first = pages[occ.front().page].blocks[occ.front().block].lines[occ.front().line];
        const double tolerance = kRunningPositionEm * first.fontSize;
        std::vector<Occurrence> best;
        for (const Occurrence& anchor : occ) {
            std::vector<Occurrence> group;
            for (const Occurrence& o : occ)
                if (std::abs(o.y - anchor.y) <= tolerance && (group.empty() || group.back().page != o.page))
                    group.push_back(o);
            if (group.size() > best.size())
                best = std::move(group);
        }
        occ = std::move(best);
        const std::size_t pagesWith = occ.size();
        if (pagesWith < std::max<std::size_t>(needed, 2))
            continue;
        bool varies = false;
        for (const Occurrence& o : occ)
            varies = varies || pages[o.page].blocks[o.block].lines[o.line].text != first.text;
        auto paragraphs = runningParagraph(pages[occ.front().page], first, varies);
        if (key.first == Zone::Head && pagesWith > bestHead) {
            bestHead = pagesWith;
            result.header = std::move(paragraphs);
        } else if (key.first == Zone::Foot && pagesWith > bestFoot) {
            bestFoot = pagesWith;
            result.footer = std::move(paragraphs);
        }
        running.insert(running.end(), occ.begin(), occ.end());
    }
    removeLines(pages, std::move(running));
    return result;
}

void markHeadings(const std::vector<Paragraph*>& paragraphs, const std::vector<ParagraphMetrics>& metrics)
{
    // The body size is the size most characters are set in.
    std::map<long, std::size_t> charsBySize;
    for (const ParagraphMetrics& m : metrics)
        charsBySize[std::lround(m.fontSize / kHeadingSizeStepPt)] += m.charCount;
    if (charsBySize.empty())
        return;
    const double body = static_cast<double>(std::max_element(charsBySize.begin(), charsBySize.end(), [](const auto& a, const auto& b) {
                                                return a.second < b.second;
                                            })->first) * kHeadingSizeStepPt;

    auto isShort = [](const ParagraphMetrics& m) { return m.lineCount <= kHeadingMaxLines && m.charCount <= kHeadingMaxChars; };
    std::vector<long> sizes; // heading sizes in steps, largest first
    for (const ParagraphMetrics& m : metrics)
        if (isShort(m) && m.fontSize >= body * kHeadingSizeRatio)
            sizes.push_back(std::lround(m.fontSize / kHeadingSizeStepPt));
    std::sort(sizes.begin(), sizes.end(), std::greater<>());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());

    const int maxLevel = 3;
    for (std::size_t i = 0; i < paragraphs.size() && i < metrics.size(); ++i) {
        const ParagraphMetrics& m = metrics[i];
        if (!isShort(m) || paragraphs[i]->runs.empty())
            continue;
        int level = 0;
        if (m.fontSize >= body * kHeadingSizeRatio) {
            const auto it = std::find(sizes.begin(), sizes.end(), std::lround(m.fontSize / kHeadingSizeStepPt));
            level = static_cast<int>(it - sizes.begin()) + 1;
        } else if (m.bold && m.lineCount == 1 && m.charCount <= kBoldHeadingMaxChars && !m.endsWithStop
                   && m.fontSize >= body - kHeadingSizeStepPt) {
            level = static_cast<int>(sizes.size()) + 1;
        }
        if (level > 0)
            paragraphs[i]->format.headingLevel = std::min(level, maxLevel);
    }
}

} // namespace pwt::layout

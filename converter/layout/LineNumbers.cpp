#include "LineNumbers.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pwt::layout {

namespace {

struct Candidate {
    std::size_t block, line, word;
    double left, right, top;
    long value;
    bool besideProse;
};

std::optional<long> plainNumber(const std::u32string& text)
{
    if (text.empty() || text.size() > kLineNumberMaxDigits)
        return std::nullopt;
    long value = 0;
    for (char32_t c : text) {
        if (c < U'0' || c > U'9')
            return std::nullopt;
        value = value * 10 + static_cast<long>(c - U'0');
    }
    return value;
}

double usualTextSize(const PageLines& page)
{
    std::vector<double> sizes;
    for (const Block& b : page.blocks)
        for (const Line& l : b.lines)
            for (const Word& w : l.words)
                sizes.insert(sizes.end(), w.text.size(), w.fontSize);
    if (sizes.empty())
        return 0;
    std::nth_element(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2), sizes.end());
    return sizes[sizes.size() / 2];
}

// Whether most words other than `skip` stand on the baseline of `number`,
// give or take kLineNumberBaselineEm (a logo or a formula may leave it), are
// prose rather than code, and are set larger than it (a note's number set
// on the baseline is as large as the note).
bool proseOnBaseline(const std::vector<Word>& words, const Word* skip, const Word& number, double textSize)
{
    std::size_t others = 0, level = 0, code = 0, larger = 0;
    for (const Word& w : words) {
        if (&w == skip)
            continue;
        ++others;
        level += std::abs(w.baseline - number.baseline) <= kLineNumberBaselineEm * textSize;
        code += w.fixedWidth;
        larger += number.fontSize <= kLineNumberSizeShare * w.fontSize;
    }
    return others > 0 && 2 * level > others && 2 * code < others && 2 * larger > others;
}

// Whether word w of line l stands beside prose on its baseline: the rest
// of its line, or for a number alone, the nearest line on its baseline. A
// note's mark is raised above its note; a listing's numbers (beside lines in
// a typewriter font, most of them) are the listing's own, which an index
// may refer to.
bool besideProse(const PageLines& page, const Line& line, std::size_t w, double textSize)
{
    const Word& number = line.words[w];
    if (line.words.size() > 1)
        return proseOnBaseline(line.words, &number, number, textSize);
    const Line* nearest = nullptr;
    double nearestGap = 0;
    for (const Block& b : page.blocks)
        for (const Line& other : b.lines) {
            if (&other == &line || std::abs(other.baseline - number.baseline) > kLineNumberBaselineEm * textSize)
                continue;
            const double gap = std::max(other.left() - number.box.xMax, number.box.xMin - other.right());
            if (!nearest || gap < nearestGap) {
                nearest = &other;
                nearestGap = gap;
            }
        }
    return nearest && proseOnBaseline(nearest->words, nullptr, number, textSize);
}

// Whether the candidates, one under another, number the lines of prose.
bool numbersLines(std::vector<Candidate> column, double textSize)
{
    const auto prose = std::count_if(column.begin(), column.end(), [](const Candidate& c) { return c.besideProse; });
    if (column.size() < kMinLineNumbers || 2 * static_cast<std::size_t>(prose) <= column.size())
        return false;
    std::sort(column.begin(), column.end(), [](const Candidate& a, const Candidate& b) { return a.top < b.top; });
    std::size_t steady = 0;
    for (std::size_t k = 1; k < column.size(); ++k) {
        const long rise = column[k].value - column[k - 1].value;
        const double down = column[k].top - column[k - 1].top;
        const double pitch = rise > 0 ? down / static_cast<double>(rise) : 0;
        steady += rise > 0 && pitch >= kMinPitchPerNumber * textSize;
    }
    return static_cast<double>(steady) >= kLineNumbersRisingShare * static_cast<double>(column.size() - 1);
}

// Groups of candidates whose edges (`edge` of each) lie within the alignment.
std::vector<std::vector<Candidate>> alignedGroups(std::vector<Candidate> all, double Candidate::*edge, double textSize)
{
    std::sort(all.begin(), all.end(), [&](const Candidate& a, const Candidate& b) { return a.*edge < b.*edge; });
    std::vector<std::vector<Candidate>> groups;
    for (const Candidate& c : all) {
        if (groups.empty() || c.*edge - groups.back().front().*edge > kLineNumberAlignEm * textSize)
            groups.emplace_back();
        groups.back().push_back(c);
    }
    return groups;
}

} // namespace

void removeLineNumbers(PageLines& page)
{
    const double textSize = usualTextSize(page);
    if (textSize <= 0)
        return;
    std::vector<Candidate> candidates;
    for (std::size_t b = 0; b < page.blocks.size(); ++b) {
        const Block& block = page.blocks[b];
        if (block.rotation != 0)
            continue;
        for (std::size_t l = 0; l < block.lines.size(); ++l) {
            const auto& words = block.lines[l].words;
            if (words.empty())
                continue;
            // The first word and, on a line of more than one, the last.
            for (std::size_t w : {std::size_t{0}, words.size() - 1}) {
                const Word& word = words[w];
                const auto value = plainNumber(word.text);
                if (value && word.fontSize <= kLineNumberSizeShare * textSize)
                    candidates.push_back({b, l, w, word.box.xMin, word.box.xMax, word.box.yMin, *value,
                                          besideProse(page, block.lines[l], w, textSize)});
                if (words.size() == 1)
                    break;
            }
        }
    }
    if (candidates.size() < kMinLineNumbers)
        return; // most pages: nothing to group
    std::vector<Candidate> numbers;
    for (double Candidate::*edge : {&Candidate::left, &Candidate::right})
        for (const auto& group : alignedGroups(candidates, edge, textSize))
            if (numbersLines(group, textSize))
                numbers.insert(numbers.end(), group.begin(), group.end());
    if (numbers.empty())
        return;
    std::vector<std::vector<std::vector<bool>>> drop(page.blocks.size());
    for (std::size_t b = 0; b < page.blocks.size(); ++b) {
        drop[b].resize(page.blocks[b].lines.size());
        for (std::size_t l = 0; l < page.blocks[b].lines.size(); ++l)
            drop[b][l].assign(page.blocks[b].lines[l].words.size(), false);
    }
    for (const Candidate& c : numbers)
        drop[c.block][c.line][c.word] = true;
    for (std::size_t b = 0; b < page.blocks.size(); ++b) {
        Block& block = page.blocks[b];
        for (std::size_t l = 0; l < block.lines.size(); ++l) {
            Line& line = block.lines[l];
            const auto& dropped = drop[b][l];
            if (std::none_of(dropped.begin(), dropped.end(), [](bool d) { return d; }))
                continue;
            std::vector<Word> kept;
            for (std::size_t w = 0; w < line.words.size(); ++w)
                if (!dropped[w])
                    kept.push_back(std::move(line.words[w]));
            line.words = std::move(kept);
            if (!line.words.empty())
                measureLine(line);
        }
        std::erase_if(block.lines, [](const Line& l) { return l.words.empty(); });
        if (!block.lines.empty())
            fitBlockBox(block);
    }
    std::erase_if(page.blocks, [](const Block& b) { return b.lines.empty(); });
}

} // namespace pwt::layout

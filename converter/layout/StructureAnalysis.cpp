#include "StructureAnalysis.h"

#include "FormatInference.h"
#include "ParagraphComposer.h"
#include "TextRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

namespace pwt::layout {

namespace {

Run runOf(std::u16string text, const CharFormat& format, bool pageNumberField)
{
    Run run;
    run.text = std::move(text);
    run.format = format;
    run.pageNumberField = pageNumberField;
    return run;
}

enum class Zone { Head, Foot };

// A line in the head or foot zone of a page.
struct Candidate {
    std::size_t page;
    std::size_t block;
    std::size_t line;
    Zone zone;
    double y;           // baseline from the zone's own edge
    std::u32string pattern;
    bool running = false;
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

// A page number as set in a head or foot: digits, perhaps between dashes or
// brackets ("–3–", "[12]"). Returns where the digits start and end, or an
// empty range when the word is not one.
struct NumberSpan {
    std::size_t begin = 0, end = 0;
    bool found() const { return end > begin; }
};

NumberSpan numberIn(const std::u32string& s)
{
    constexpr std::u32string_view kDecoration = U"-–—()[]|·.";
    auto digit = [](char32_t c) { return c >= U'0' && c <= U'9'; };
    NumberSpan n;
    while (n.begin < s.size() && kDecoration.find(s[n.begin]) != std::u32string_view::npos)
        ++n.begin;
    n.end = n.begin;
    while (n.end < s.size() && digit(s[n.end]))
        ++n.end;
    if (n.end - n.begin > 6)
        return {};
    for (std::size_t i = n.end; i < s.size(); ++i)
        if (kDecoration.find(s[i]) == std::u32string_view::npos)
            return {};
    return n;
}

long numberValue(const std::u32string& s)
{
    const NumberSpan n = numberIn(s);
    long v = 0;
    for (std::size_t i = n.begin; i < n.end; ++i)
        v = v * 10 + static_cast<long>(s[i] - U'0');
    return v;
}

const Line& lineOf(const std::vector<PageLines>& pages, const Candidate& c)
{
    return pages[c.page].blocks[c.block].lines[c.line];
}

// Places: candidates of one zone whose baselines lie within a fraction of an
// em of the one before, in order of position.
std::vector<std::vector<Candidate*>> placesOf(const std::vector<PageLines>& pages, std::vector<Candidate>& candidates, Zone zone)
{
    std::vector<Candidate*> inZone;
    for (Candidate& c : candidates)
        if (c.zone == zone)
            inZone.push_back(&c);
    std::sort(inZone.begin(), inZone.end(), [](const Candidate* a, const Candidate* b) { return a->y < b->y; });
    std::vector<std::vector<Candidate*>> places;
    for (Candidate* c : inZone) {
        const double tolerance = kRunningPositionEm * lineOf(pages, *c).fontSize;
        if (places.empty() || c->y - places.back().back()->y > tolerance)
            places.emplace_back();
        places.back().push_back(c);
    }
    return places;
}

using WordKey = std::tuple<std::size_t, std::size_t, std::size_t, std::size_t>; // page, block, line, word

// Numbers that count up with the pages among the running lines of one
// pattern: page numbers, written as PAGE fields. A chapter number in
// "Chapter 3" stays the same over many pages and stays text.
// Lines set at `largeSize` or larger are titles: their numbers are not counted.
void findPageNumbers(const std::vector<PageLines>& pages, const std::vector<Candidate*>& place, double largeSize,
                     std::set<WordKey>& numbers)
{
    // Lines of one pattern, word count and third of the page: a chapter
    // number at the left of a head and the page number at its right are
    // both "#" but count differently.
    std::map<std::tuple<std::u32string, std::size_t, int>, std::vector<const Candidate*>> byPattern;
    for (const Candidate* c : place) {
        const Line& line = lineOf(pages, *c);
        if (line.fontSize >= largeSize)
            continue;
        // Clamped before the conversion: a damaged page may put text far off its edges.
        const double share = (line.left() + line.right()) / 2 / std::max(pages[c->page].width, 1.0);
        const int third = static_cast<int>(3 * (std::isfinite(share) ? std::clamp(share, 0.0, 0.999) : 0.0));
        byPattern[{c->pattern, line.words.size(), third}].push_back(c);
    }
    for (auto& [key, occ] : byPattern) {
        const std::size_t wordCount = std::get<1>(key);
        std::sort(occ.begin(), occ.end(), [](const Candidate* a, const Candidate* b) { return a->page < b->page; });
        for (std::size_t k = 0; k < wordCount; ++k) {
            std::size_t pairs = 0, counting = 0;
            for (std::size_t i = 0; i + 1 < occ.size(); ++i) {
                const std::u32string& a = lineOf(pages, *occ[i]).words[k].text;
                const std::u32string& b = lineOf(pages, *occ[i + 1]).words[k].text;
                if (!numberIn(a).found() || !numberIn(b).found())
                    continue;
                ++pairs;
                const long step = numberValue(b) - numberValue(a);
                counting += step == static_cast<long>(occ[i + 1]->page - occ[i]->page);
            }
            if (pairs == 0 || counting * 2 < pairs)
                continue;
            for (const Candidate* c : occ)
                if (numberIn(lineOf(pages, *c).words[k].text).found())
                    numbers.insert({c->page, c->block, c->line, k});
        }
    }
}

// Marks the candidates of a place as running when the place holds recurring
// text on enough pages: the same words but for the page number. Text seen on
// one page only (the first line of a page's body that happens to stand
// there, a line number of a listing) stays in the body; a title set at
// `largeSize` or larger must stand there on `largeNeeded` pages itself (a
// chapter's title on its first page sits where the other pages' heads do).
void markRunning(const std::vector<PageLines>& pages, std::vector<Candidate*>& place, const std::set<WordKey>& numbers,
                 const std::vector<bool>& hasBody, std::size_t pagesNeeded, std::size_t largeNeeded, double largeSize)
{
    std::map<const Candidate*, std::u32string> keys;
    for (const Candidate* c : place) {
        const Line& line = lineOf(pages, *c);
        std::u32string key;
        for (std::size_t k = 0; k < line.words.size(); ++k)
            key += (numbers.contains({c->page, c->block, c->line, k}) ? U"#" : line.words[k].text) + U" ";
        keys[c] = std::move(key);
    }
    std::map<std::u32string, std::set<std::size_t>> pagesByKey;
    for (const Candidate* c : place)
        pagesByKey[keys[c]].insert(c->page);
    auto recurs = [&](const Candidate* c) {
        const std::size_t on = pagesByKey[keys[c]].size();
        return on >= 2 && (lineOf(pages, *c).fontSize < largeSize || on >= largeNeeded);
    };
    std::set<std::size_t> covered;
    for (const Candidate* c : place)
        if (recurs(c) && hasBody[c->page])
            covered.insert(c->page);
    if (covered.size() < pagesNeeded)
        return;
    for (Candidate* c : place)
        c->running = recurs(c);
}

// The running lines of one place on one page as a paragraph, left to right.
Paragraph runningParagraph(const std::vector<PageLines>& pages, std::vector<const Candidate*> lines, const std::set<WordKey>& numbers)
{
    std::sort(lines.begin(), lines.end(),
              [&](const Candidate* a, const Candidate* b) { return lineOf(pages, *a).left() < lineOf(pages, *b).left(); });
    Paragraph p;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lineOf(pages, *lines[i]);
        if (i > 0)
            p.runs.push_back(runOf(u"\t", line.words.front().format, false));
        for (std::size_t k = 0; k < line.words.size(); ++k) {
            const Word& w = line.words[k];
            auto addText = [&](const std::u32string& text) {
                if (text.empty())
                    return;
                if (!p.runs.empty() && !p.runs.back().pageNumberField && p.runs.back().format == w.format)
                    p.runs.back().text += toUtf16(text);
                else
                    p.runs.push_back(runOf(toUtf16(text), w.format, false));
            };
            if (numbers.contains({lines[i]->page, lines[i]->block, lines[i]->line, k})) {
                // The dashes or brackets around the number stay text beside the field.
                const NumberSpan n = numberIn(w.text);
                addText(w.text.substr(0, n.begin));
                p.runs.push_back(runOf(toUtf16(w.text.substr(n.begin, n.end - n.begin)), w.format, true));
                addText(w.text.substr(n.end));
            } else {
                addText(w.text);
            }
            if (w.spaceAfter && k + 1 < line.words.size())
                p.runs.push_back(runOf(u" ", w.format, false));
        }
    }
    const PageLines& page = pages[lines.front()->page];
    if (lines.size() == 1) {
        const std::vector<Line> one{lineOf(pages, *lines.front())};
        p.format = inferParagraphFormat(one, 0, 1, ColumnBounds{0.1 * page.width, 0.9 * page.width});
        p.format.leftIndent = p.format.firstLineIndent = 0;
        p.format.rightIndent = 0;
    }
    return p;
}

void removeLines(std::vector<PageLines>& pages, std::vector<const Candidate*> occurrences)
{
    // Erase from the back so earlier indices stay valid.
    std::sort(occurrences.begin(), occurrences.end(), [](const Candidate* a, const Candidate* b) {
        return std::tie(a->page, a->block, a->line) > std::tie(b->page, b->block, b->line);
    });
    for (const Candidate* o : occurrences) {
        Block& b = pages[o->page].blocks[o->block];
        b.lines.erase(b.lines.begin() + static_cast<std::ptrdiff_t>(o->line));
        fitBlockBox(b);
    }
    for (PageLines& page : pages)
        std::erase_if(page.blocks, [](const Block& b) { return b.lines.empty(); });
}

} // namespace

namespace {

// The number the page-number field of a page's head or foot stands for.
int printedPageNumber(const RunningText& running)
{
    for (const auto* story : {&running.header, &running.footer})
        for (const Paragraph& p : *story)
            for (const Run& r : p.runs) {
                if (!r.pageNumberField || r.text.empty() || r.text.size() > kMaxPageNumberDigits)
                    continue;
                int n = 0;
                for (char16_t c : r.text) {
                    if (c < u'0' || c > u'9')
                        return 0;
                    n = n * 10 + (c - u'0');
                }
                return n;
            }
    return 0;
}

// Gives runs of pages whose heads and feet alternate between odd and even
// pages (a book's left and right pages) both on every page of the run, so
// that they share one section. A run ends where an odd or an even page shows
// other text than the odd or even pages before it (a new chapter's title).
// A page's parity is that of its printed number, else of the number counted
// on from the last printed one, else of its place in the PDF: Word's parity
// comes from the number each section starts from.
void pairAlternatingPages(std::vector<RunningText>& running, const std::vector<PageLines>& pages)
{
    std::vector<int> numbers(running.size());
    for (std::size_t i = 0; i < running.size(); ++i)
        numbers[i] = running[i].pageNumber > 0 ? running[i].pageNumber : i > 0 ? numbers[i - 1] + 1 : pages[i].number;
    std::size_t start = 0;
    while (start < running.size()) {
        // The first page of each parity in the run, the key its pages
        // share, and how many there are.
        std::size_t first[2] = {running.size(), running.size()};
        std::size_t count[2] = {0, 0};
        std::u16string keys[2];
        std::size_t end = start;
        for (; end < running.size(); ++end) {
            const int parity = numbers[end] % 2 == 0 ? 0 : 1;
            std::u16string key = runningKey(running[end]);
            if (first[parity] == running.size()) {
                first[parity] = end;
                keys[parity] = std::move(key);
            } else if (key != keys[parity]) {
                break;
            }
            ++count[parity];
        }
        if (keys[0] == keys[1] || count[0] == 0 || count[1] == 0) {
            start = end; // one text on all of them (or pages of one parity): nothing to pair
            continue;
        }
        if (count[0] < kMinPagesPerSide || count[1] < kMinPagesPerSide) {
            ++start; // no alternation: the first page keeps its own text, a run may start on the next
            continue;
        }
        const RunningText odd = running[first[1]], even = running[first[0]];
        for (std::size_t i = start; i < end; ++i) {
            RunningText& r = running[i];
            r.header = odd.header;
            r.footer = odd.footer;
            r.evenHeader = even.header;
            r.evenFooter = even.footer;
            r.evenPagesDiffer = true;
        }
        if (running[start].pageNumber == 0)
            running[start].pageNumber = numbers[start];
        start = end;
    }
}

} // namespace

double bodyTextSize(const std::vector<PageLines>& pages)
{
    std::map<long, std::size_t> charsBySize;
    for (const PageLines& page : pages)
        for (const Block& block : page.blocks)
            for (const Line& line : block.lines)
                charsBySize[std::lround(line.fontSize / kHeadingSizeStepPt)] += line.text.size();
    if (charsBySize.empty())
        return 0;
    const auto most = std::max_element(charsBySize.begin(), charsBySize.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return static_cast<double>(most->first) * kHeadingSizeStepPt;
}

std::vector<RunningText> extractRunningText(std::vector<PageLines>& pages)
{
    std::vector<RunningText> result(pages.size());
    if (pages.size() < 2)
        return result;
    std::vector<Candidate> candidates;
    std::vector<bool> hasBody(pages.size(), false); // upright text outside the head and foot zones
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
                    candidates.push_back({p, b, l, Zone::Head, line.baseline, pattern(line.text)});
                else if (line.box.yMin > (1 - kRunningZoneShare) * page.height)
                    candidates.push_back({p, b, l, Zone::Foot, page.height - line.baseline, pattern(line.text)});
                else
                    hasBody[p] = true;
            }
        }
    }
    const std::size_t needed = std::max<std::size_t>(
        kMinRunningPages, static_cast<std::size_t>(std::ceil(kRunningPageShare * static_cast<double>(pages.size()))));
    const std::size_t largeNeeded = std::max<std::size_t>(
        kMinRunningPages, static_cast<std::size_t>(std::ceil(kLargeRunningShare * static_cast<double>(pages.size()))));
    const double body = bodyTextSize(pages);
    const double largeSize = body > 0 ? body * kHeadingSizeRatio : std::numeric_limits<double>::infinity();
    std::set<WordKey> numbers;
    std::vector<std::vector<Candidate*>> places[2];
    for (Zone zone : {Zone::Head, Zone::Foot}) {
        auto& zonePlaces = places[zone == Zone::Head ? 0 : 1];
        zonePlaces = placesOf(pages, candidates, zone);
        for (auto& place : zonePlaces) {
            findPageNumbers(pages, place, largeSize, numbers);
            markRunning(pages, place, numbers, hasBody, needed, largeNeeded, largeSize);
        }
    }
    // Heads from the top down, feet from the top of the foot zone down.
    for (int z = 0; z < 2; ++z) {
        auto& zonePlaces = places[z];
        if (z == 1)
            std::reverse(zonePlaces.begin(), zonePlaces.end());
        for (const auto& place : zonePlaces) {
            std::map<std::size_t, std::vector<const Candidate*>> byPage;
            for (const Candidate* c : place)
                if (c->running)
                    byPage[c->page].push_back(c);
            for (auto& [page, lines] : byPage)
                (z == 0 ? result[page].header : result[page].footer).push_back(runningParagraph(pages, lines, numbers));
        }
    }
    std::vector<const Candidate*> running;
    for (const Candidate& c : candidates) {
        if (!c.running)
            continue;
        running.push_back(&c);
        const pdf::Box& box = lineOf(pages, c).box;
        RunningText& r = result[c.page];
        if (c.zone == Zone::Head)
            r.headTop = r.headTop > 0 ? std::min(r.headTop, box.yMin) : box.yMin;
        else
            r.footBottom = r.footBottom > 0 ? std::min(r.footBottom, pages[c.page].height - box.yMax) : pages[c.page].height - box.yMax;
    }
    removeLines(pages, std::move(running));
    for (RunningText& r : result)
        r.pageNumber = printedPageNumber(r);
    pairAlternatingPages(result, pages);
    return result;
}

std::u16string runningKey(const RunningText& running)
{
    std::u16string key;
    for (const auto* story : {&running.header, &running.footer, &running.evenHeader, &running.evenFooter}) {
        for (const Paragraph& p : *story) {
            for (const Run& r : p.runs)
                key += r.pageNumberField ? u"#" : r.text;
            key += u'\n';
        }
        key += u'\f';
    }
    return key;
}

void markHeadings(std::vector<MeasuredParagraph>& paragraphs)
{
    // The body size is the size most characters are set in.
    std::map<long, std::size_t> charsBySize;
    for (const auto& [paragraph, m] : paragraphs)
        charsBySize[std::lround(m.fontSize / kHeadingSizeStepPt)] += m.charCount;
    if (charsBySize.empty())
        return;
    const double body = static_cast<double>(std::max_element(charsBySize.begin(), charsBySize.end(), [](const auto& a, const auto& b) {
                                                return a.second < b.second;
                                            })->first) * kHeadingSizeStepPt;

    // A heading is short and does not read as sentences: a paragraph of
    // several lines ending in a full stop is body text, however large.
    auto isShort = [](const ParagraphMetrics& m) {
        return m.lineCount <= kHeadingMaxLines && m.charCount <= kHeadingMaxChars && !(m.lineCount > 1 && m.endsWithStop);
    };
    std::vector<long> sizes; // heading sizes in steps, largest first
    for (const auto& [paragraph, m] : paragraphs)
        if (isShort(m) && m.fontSize >= body * kHeadingSizeRatio)
            sizes.push_back(std::lround(m.fontSize / kHeadingSizeStepPt));
    std::sort(sizes.begin(), sizes.end(), std::greater<>());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());

    const int maxLevel = 3;
    for (auto& [paragraph, m] : paragraphs) {
        if (!isShort(m) || paragraph.runs.empty())
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
            paragraph.format.headingLevel = std::min(level, maxLevel);
    }
}

} // namespace pwt::layout

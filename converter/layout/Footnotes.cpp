#include "Footnotes.h"

#include "FormatInference.h"
#include "ParagraphComposer.h"
#include "ParagraphSplitter.h"
#include "StructureAnalysis.h"
#include "TextRules.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>

namespace pwt::layout {

namespace {

// Stand-ins for the marks while the pages are laid out: characters of the
// supplementary private use area (plane 15), one per note. A document whose
// own text holds such characters keeps its notes as text.
constexpr char32_t kStandInFirst = 0xF0000;
constexpr char32_t kStandInLast = 0xFFFFD;

bool isStandIn(char32_t c) { return c >= kStandInFirst && c <= kStandInLast; }

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// U+2217 is the asterisk TeX sets for \thanks.
bool isNoteSymbol(char32_t c) { return std::u32string_view(U"*\u2217†‡§¶‖").find(c) != std::u32string_view::npos; }

// A footnote mark: a short number, or a few note symbols ("*", "**", "†").
bool isMarkText(const std::u32string& t)
{
    if (t.empty() || t.size() > kMaxMarkChars)
        return false;
    return std::all_of(t.begin(), t.end(), isDigit) || std::all_of(t.begin(), t.end(), isNoteSymbol);
}

// A word set smaller than its line and above its baseline: a superscript, as
// the paragraph composer judges it.
bool isRaised(const Word& w, const Line& line)
{
    return w.fontSize < line.fontSize * kScriptSizeRatio && line.baseline - w.baseline > kScriptShiftEm * line.fontSize;
}

// A word set small that starts under the baseline and reaches up above a
// raised word's top: the reader ran a subscript on into the raised digits
// after it ("CO₂" and a mark: "2¹"), the word taking the subscript's baseline.
bool runsOnRaised(const Word& w, const Line& line)
{
    const double shift = kScriptShiftEm * line.fontSize;
    return w.fontSize < line.fontSize * kScriptSizeRatio && w.baseline - line.baseline > shift
        && w.baseline - w.box.yMin > w.fontSize + shift;
}

// The mark opening a note's first line: raised ("¹Text"), or in the line's
// size set apart from its text ("1 Text", "1. Text", "* Text"). Empty: none.
// A line of the mark alone is no note.
std::u32string markOpening(const Line& line)
{
    if (line.words.size() < 2)
        return {};
    const Word& w = line.words.front();
    if (isMarkText(w.text) && isRaised(w, line))
        return w.text;
    if (!w.spaceAfter)
        return {};
    if (isMarkText(w.text))
        return w.text;
    if (w.text.size() >= 2 && w.text.back() == U'.') {
        const std::u32string digits = w.text.substr(0, w.text.size() - 1);
        if (isMarkText(digits) && isDigit(digits.front()))
            return digits;
    }
    return {};
}

// A line of the page as the note finder sees it.
struct PageLine {
    std::size_t block = 0;
    std::size_t line = 0;
    const Line* text = nullptr;
};

bool overlapHorizontally(const pdf::Box& a, const pdf::Box& b) { return a.xMin < b.xMax && b.xMin < a.xMax; }

bool holdsPicture(const Line& line)
{
    return std::any_of(line.words.begin(), line.words.end(), [](const Word& w) { return w.picture != nullptr; });
}

// The upright lines of the page's text (not margin notes), top to bottom.
std::vector<PageLine> uprightLines(const PageLines& page)
{
    std::vector<PageLine> out;
    for (std::size_t b = 0; b < page.blocks.size(); ++b) {
        const Block& block = page.blocks[b];
        if (block.rotation != 0 || block.marginNote)
            continue;
        for (std::size_t l = 0; l < block.lines.size(); ++l)
            out.push_back({b, l, &block.lines[l]});
    }
    std::stable_sort(out.begin(), out.end(), [](const PageLine& a, const PageLine& b) {
        return std::tie(a.text->baseline, a.text->box.xMin) < std::tie(b.text->baseline, b.text->box.xMin);
    });
    return out;
}

bool holdsStandIns(const std::vector<PageLines>& pages)
{
    for (const PageLines& page : pages)
        for (const Block& block : page.blocks)
            for (const Line& line : block.lines)
                if (std::any_of(line.text.begin(), line.text.end(), isStandIn))
                    return true;
    return false;
}

// Moves the line (its words with it) down by `dy` points.
void shiftLine(Line& line, double dy)
{
    for (Word& w : line.words) {
        w.baseline += dy;
        w.box.yMin += dy;
        w.box.yMax += dy;
    }
    measureLine(line);
}

// The notes of one page, found on its lines.
class PageNoteFinder {
public:
    PageNoteFinder(const PageLines& page, double bodySize) : m_page(page), m_lines(uprightLines(page))
    {
        const std::size_t n = m_lines.size();
        m_small.resize(n);
        m_marks.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const Line& l = *m_lines[i].text;
            m_small[i] = l.fontSize <= bodySize * kMaxNoteSizeRatio && !holdsPicture(l);
            if (m_small[i])
                m_marks[i] = markOpening(l);
        }
        // A raised mark the reader set on a line of its own, just left of its note's text.
        for (std::size_t i = 0; i < n; ++i) {
            const Line& mark = *m_lines[i].text;
            if (!m_small[i] || mark.words.size() != 1 || !isMarkText(mark.words.front().text))
                continue;
            for (std::size_t j = 0; j < n; ++j) {
                const Line& text = *m_lines[j].text;
                if (j != i && m_small[j] && onOneLine(mark, text) && text.left() >= mark.left()
                    && text.left() - mark.right() <= kNotePieceGapEm * text.fontSize
                    && mark.words.front().fontSize < text.fontSize * kScriptSizeRatio) {
                    m_marks[i] = mark.words.front().text;
                    break;
                }
            }
        }
    }

    // Two lines standing side by side on one line of the note: a raised mark
    // stands a little above its text's baseline.
    static bool onOneLine(const Line& a, const Line& b)
    {
        return std::abs(a.baseline - b.baseline) <= kNoteMarkRiseEm * std::max(a.fontSize, b.fontSize);
    }

    std::size_t size() const { return m_lines.size(); }
    const PageLine& at(std::size_t i) const { return m_lines[i]; }
    const std::u32string& markOf(std::size_t i) const { return m_marks[i]; }
    bool isSmall(std::size_t i) const { return m_small[i]; }

    // Line i and the lines under it in its column that go on with its note:
    // small, no mark of their own, each close under the one before. The
    // pieces beside the opening line come first: a mark set on a line of its
    // own has its text there, and the note's lines hang under that text.
    std::vector<std::size_t> noteFrom(std::size_t i) const
    {
        std::vector<std::size_t> note{i};
        addPiecesBeside(note, 1);
        pdf::Box extent = m_lines[i].text->box;
        double size = 0;
        double lastBaseline = m_lines[i].text->baseline;
        for (std::size_t k : note) {
            growBox(extent, m_lines[k].text->box);
            size = std::max(size, m_lines[k].text->fontSize);
        }
        for (std::size_t j = i + 1; j < m_lines.size(); ++j) {
            const Line& l = *m_lines[j].text;
            if (std::find(note.begin(), note.end(), j) != note.end() || !overlapHorizontally(l.box, extent))
                continue;
            if (!m_small[j] || !m_marks[j].empty() || l.baseline - lastBaseline > kMaxNotePitchEm * size)
                break;
            note.push_back(j);
            lastBaseline = std::max(lastBaseline, l.baseline);
        }
        // Pieces of its lines that poppler set apart (a formula in the
        // note's text) stand beside them on their baselines.
        addPiecesBeside(note, note.size());
        std::sort(note.begin(), note.end());
        return note;
    }

    // Adds the small unmarked lines standing just right of one of the first
    // `chained` lines of the note, on its baseline.
    void addPiecesBeside(std::vector<std::size_t>& note, std::size_t chained) const
    {
        for (std::size_t j = 0; j < m_lines.size(); ++j) {
            const Line& l = *m_lines[j].text;
            if (!m_small[j] || !m_marks[j].empty() || std::find(note.begin(), note.end(), j) != note.end())
                continue;
            for (std::size_t k = 0; k < chained; ++k) {
                const Line& c = *m_lines[note[k]].text;
                if (onOneLine(l, c) && l.left() >= c.left()
                    && l.left() - c.right() <= kNotePieceGapEm * std::max(l.fontSize, c.fontSize)) {
                    note.push_back(j);
                    break;
                }
            }
        }
    }

    // The lines as the note reads them: pieces on one baseline joined left to right.
    std::vector<Line> joined(const std::vector<std::size_t>& indices) const
    {
        std::vector<const Line*> lines;
        for (std::size_t j : indices)
            lines.push_back(m_lines[j].text);
        std::stable_sort(lines.begin(), lines.end(), [](const Line* a, const Line* b) {
            return std::tie(a->baseline, a->box.xMin) < std::tie(b->baseline, b->box.xMin);
        });
        std::vector<Line> out;
        for (const Line* l : lines) {
            if (!out.empty() && onOneLine(*l, out.back())) {
                out.back().words.back().spaceAfter = true;
                out.back().words.insert(out.back().words.end(), l->words.begin(), l->words.end());
                std::stable_sort(out.back().words.begin(), out.back().words.end(),
                                 [](const Word& a, const Word& b) { return a.box.xMin < b.box.xMin; });
                measureLine(out.back());
            } else {
                out.push_back(*l);
            }
        }
        return out;
    }

    // Whether line i stands at the foot of its column: under it only small
    // lines (notes) and a running foot (a short line in the page's foot zone,
    // or the column's last line).
    bool atFoot(std::size_t i) const
    {
        const Line& first = *m_lines[i].text;
        std::size_t last = i;
        for (std::size_t j = i + 1; j < m_lines.size(); ++j)
            if (overlapHorizontally(m_lines[j].text->box, first.box))
                last = j;
        for (std::size_t j = i + 1; j < m_lines.size(); ++j) {
            const Line& l = *m_lines[j].text;
            if (!overlapHorizontally(l.box, first.box) || m_small[j])
                continue;
            const bool inFootZone = l.box.yMin > (1 - kRunningZoneShare) * m_page.height;
            const bool runningFoot = l.text.size() <= kMaxFootLineChars && (inFootZone || j == last);
            if (!runningFoot)
                return false;
        }
        return true;
    }

private:
    const PageLines& m_page;
    std::vector<PageLine> m_lines;
    std::vector<bool> m_small;
    std::vector<std::u32string> m_marks;
};

// What a raised mark in the body text follows: a word or punctuation, as a
// note's mark does; a short run of letters (x², mc², πr²) or a number (10⁴),
// as a power does.
enum class MarkBase { Word, Letters, Number };

bool isLetter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= 0x370 && c <= 0x3FF) // Greek
        || (c >= 0x1D400 && c <= 0x1D7FF);                                                   // math letters
}

MarkBase baseOf(const Line& line, std::size_t k)
{
    if (k == 0 || line.words[k - 1].spaceAfter || line.words[k - 1].text.empty())
        return MarkBase::Word;
    const std::u32string& before = line.words[k - 1].text;
    if (isDigit(before.back()))
        return MarkBase::Number;
    std::size_t letters = 0;
    while (letters < before.size() && isLetter(before[before.size() - 1 - letters]))
        ++letters;
    return letters > 0 && letters <= kMaxPowerBaseLetters ? MarkBase::Letters : MarkBase::Word;
}

// Whether a rule stands over the notes of candidate c's column: above the
// first of them, at most kMaxNoteRuleGapEm of its size over it.
bool ruleAbove(const PageNoteFinder& finder, const std::vector<std::vector<std::size_t>>& candidates, std::size_t c,
               const std::vector<pdf::Box>& rules)
{
    const Line& opening = *finder.at(candidates[c].front()).text;
    double top = opening.box.yMin;
    for (const auto& other : candidates) {
        const Line& l = *finder.at(other.front()).text;
        if (overlapHorizontally(l.box, opening.box))
            top = std::min(top, l.box.yMin);
    }
    return std::any_of(rules.begin(), rules.end(), [&](const pdf::Box& r) {
        return overlapHorizontally(r, opening.box) && r.yMax <= top && r.yMin >= top - kMaxNoteRuleGapEm * opening.fontSize;
    });
}

// A raised mark in the body text.
struct BodyMark {
    std::size_t block = 0, line = 0, word = 0;
    std::u32string text;
    MarkBase base = MarkBase::Word;
    bool inHeadZone = false; // in the page's head zone: perhaps a running head's, not the text's
    bool used = false;
    bool lowered = false; // a subscript run on into raised digits ("CO₂¹"): marks only at its end
};

bool isMarkLine(const Line& line) { return line.words.size() == 1 && isMarkText(line.words.front().text); }

// A raised mark the reader set on a line of its own in a block of text
// (where the text's line breaks after it or before it) goes back into the
// line it stands beside, so that it is raised there. Only marks of the
// page's notes (`noteMarks`) move. Whether any did.
bool joinLoneMarks(PageLines& page, const std::set<std::u32string>& noteMarks,
                   const std::set<std::pair<std::size_t, std::size_t>>& noteLines)
{
    using Place = std::pair<std::size_t, std::size_t>; // (block, line)
    std::vector<std::pair<Place, Place>> moves;         // a lone mark's line, its text's line
    for (std::size_t b = 0; b < page.blocks.size(); ++b) {
        if (page.blocks[b].rotation != 0)
            continue;
        for (std::size_t l = 0; l < page.blocks[b].lines.size(); ++l) {
            const Line& lone = page.blocks[b].lines[l];
            if (noteLines.contains({b, l}) || lone.words.size() != 1 || !noteMarks.contains(lone.words.front().text))
                continue;
            const Word& mark = lone.words.front();
            bool found = false;
            // The reader may have set it in a block of its own: any upright line of the page.
            for (std::size_t tb = 0; tb < page.blocks.size() && !found; ++tb) {
                if (page.blocks[tb].rotation != 0)
                    continue;
                for (std::size_t t = 0; t < page.blocks[tb].lines.size() && !found; ++t) {
                    const Line& text = page.blocks[tb].lines[t];
                    const double rise = text.baseline - mark.baseline;
                    const double gap = std::max(text.left() - mark.box.xMax, mark.box.xMin - text.right());
                    if (Place{tb, t} != Place{b, l} && !isMarkLine(text) && !noteLines.contains({tb, t})
                        && mark.fontSize < text.fontSize * kScriptSizeRatio && rise > kScriptShiftEm * text.fontSize
                        && rise <= kNoteMarkRiseEm * text.fontSize && gap <= kNotePieceGapEm * text.fontSize) {
                        moves.push_back({{b, l}, {tb, t}});
                        found = true;
                    }
                }
            }
        }
    }
    for (const auto& [from, to] : moves) {
        const Word& mark = page.blocks[from.first].lines[from.second].words.front();
        Line& text = page.blocks[to.first].lines[to.second];
        const auto at = std::find_if(text.words.begin(), text.words.end(),
                                     [&](const Word& w) { return w.box.xMin >= mark.box.xMin; });
        if (at != text.words.begin())
            std::prev(at)->spaceAfter = false; // the mark is glued to what it follows
        Word moved = mark;
        moved.spaceAfter = at != text.words.end() && at->box.xMin - mark.box.xMax > kSpaceGapEm * at->fontSize;
        text.words.insert(at, std::move(moved));
        measureLine(text);
    }
    // From the back, so that the places left to erase stay valid; a block
    // left empty goes with the page's other empty blocks.
    std::sort(moves.begin(), moves.end());
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        Block& block = page.blocks[it->first.first];
        block.lines.erase(block.lines.begin() + static_cast<std::ptrdiff_t>(it->first.second));
        fitBlockBox(block);
    }
    for (const auto& [from, to] : moves)
        fitBlockBox(page.blocks[to.first]);
    return !moves.empty();
}

std::vector<BodyMark> bodyMarks(const PageLines& page, const std::set<std::pair<std::size_t, std::size_t>>& noteLines)
{
    std::vector<BodyMark> marks;
    for (std::size_t b = 0; b < page.blocks.size(); ++b) {
        const Block& block = page.blocks[b];
        if (block.rotation != 0)
            continue;
        for (std::size_t l = 0; l < block.lines.size(); ++l) {
            if (noteLines.contains({b, l}))
                continue;
            const Line& line = block.lines[l];
            for (std::size_t k = 0; k < line.words.size(); ++k) {
                const Word& w = line.words[k];
                const bool lowered = runsOnRaised(w, line);
                if (!isMarkText(w.text) || !(lowered || isRaised(w, line)))
                    continue;
                const bool inHeadZone = line.box.yMax <= kRunningZoneShare * page.height;
                marks.push_back({b, l, k, w.text, baseOf(line, k), inHeadZone, false, lowered});
            }
        }
    }
    return marks;
}

constexpr std::size_t kNoMark = static_cast<std::size_t>(-1);

// Raised digits that run two marks together ("12" for notes 1 and 2 cited
// at one word) or a power and a mark ("x³" then note 2: "32"): an unused
// mark that begins or ends with the note's number.
bool holdsGlued(const BodyMark& m, const std::u32string& mark)
{
    return !m.used && !mark.empty() && isDigit(mark.front()) && m.text.size() > mark.size() && isDigit(m.text.front())
        && (m.text.ends_with(mark) || (m.text.starts_with(mark) && !m.lowered));
}

// The mark in the body that refers to a note with `mark`: one after a word
// before one after a power's letters or a number; at each step one below the
// head zone before one in it (a running head's own raised mark: the text's
// first lines stand there too), and one of the note's text before one glued
// to another.
std::size_t markOrGluedFor(const std::vector<BodyMark>& marks, const std::u32string& mark, bool afterWordOnly)
{
    for (MarkBase base : {MarkBase::Word, MarkBase::Letters, MarkBase::Number})
        if (base == MarkBase::Word || !afterWordOnly)
        for (bool inHeadZone : {false, true})
            for (bool glued : {false, true})
                for (std::size_t i = 0; i < marks.size(); ++i) {
                    const BodyMark& m = marks[i];
                    if (m.base == base && m.inHeadZone == inHeadZone
                        && (glued ? holdsGlued(m, mark) : !m.used && !m.lowered && m.text == mark))
                        return i;
                }
    return kNoMark;
}

// Splits the glued mark's word in two, the note's number (`size`
// characters at its start or end) a word of its own, and returns the mark
// for that word (its index); the rest stays a mark of its own for a later
// note. The marks after it in its line move one word on.
std::size_t splitGlued(PageLines& page, std::vector<BodyMark>& marks, std::size_t index, std::size_t size, bool atEnd)
{
    const BodyMark glued = marks[index];
    Line& line = page.blocks[glued.block].lines[glued.line];
    const std::size_t k = glued.word;
    for (BodyMark& m : marks)
        if (m.block == glued.block && m.line == glued.line && m.word > k)
            ++m.word;
    Word first = line.words[k];
    Word second = first;
    const std::size_t cut = atEnd ? first.text.size() - size : size;
    const double x = first.box.xMin + first.box.width() * static_cast<double>(cut) / static_cast<double>(first.text.size());
    first.text.resize(cut);
    first.box.xMax = x;
    first.spaceAfter = false;
    second.text.erase(0, cut);
    second.box.xMin = x;
    line.words[k] = std::move(first);
    line.words.insert(line.words.begin() + static_cast<std::ptrdiff_t>(k) + 1, std::move(second));
    BodyMark taken = glued;
    BodyMark rest = glued;
    taken.word = atEnd ? k + 1 : k;
    taken.text = line.words[taken.word].text;
    taken.lowered = false;
    rest.word = atEnd ? k : k + 1;
    rest.text = line.words[rest.word].text;
    marks[index] = rest;
    marks.push_back(taken);
    return marks.size() - 1;
}

// Notes that follow one another on the page cited at one place: raised
// digits that end with their numbers run together ("34" for notes 3 and 4,
// "234" after "mc" for a power and both) hold their marks, more surely than
// a lone raised digit after a letter elsewhere, which is most often a power
// (x³). Each note takes its number from the end, the later note first.
void takeRunTogether(PageLines& page, std::vector<BodyMark>& marks, const PageNoteFinder& finder,
                     const std::vector<std::vector<std::size_t>>& candidates, const std::vector<bool>& ruled,
                     std::vector<std::size_t>& markOf)
{
    for (std::size_t c = 0; c + 1 < candidates.size(); ++c) {
        const std::u32string& first = finder.markOf(candidates[c].front());
        const std::u32string& second = finder.markOf(candidates[c + 1].front());
        if (markOf[c] != kNoMark || markOf[c + 1] != kNoMark || !isDigit(first.front()) || !isDigit(second.front()))
            continue;
        const std::u32string together = first + second;
        std::size_t at = kNoMark;
        for (std::size_t i = 0; i < marks.size() && at == kNoMark; ++i) {
            const BodyMark& m = marks[i];
            if (!m.used && m.text.ends_with(together) && (m.base == MarkBase::Word || (ruled[c] && ruled[c + 1])))
                at = i;
        }
        if (at == kNoMark)
            continue;
        markOf[c + 1] = splitGlued(page, marks, at, second.size(), true);
        markOf[c] = marks[at].text == first ? at : splitGlued(page, marks, at, first.size(), true);
        marks[markOf[c]].used = marks[markOf[c + 1]].used = true;
    }
}

// Line texts with their numbers as '#', so that "Page 3" and "Page 4" are one.
std::u32string patternOf(const std::u32string& text)
{
    std::u32string p;
    for (char32_t c : text)
        if (!isDigit(c) || p.empty() || p.back() != U'#')
            p += isDigit(c) ? U'#' : c;
    return p;
}

// Texts of the lines in the pages' foot zones that recur on two pages or
// more: a running foot, never the rest of a note.
std::set<std::u32string> recurringFeet(const std::vector<PageLines>& pages)
{
    std::map<std::u32string, std::set<std::size_t>> pagesOf;
    for (std::size_t p = 0; p < pages.size(); ++p)
        for (const Block& block : pages[p].blocks)
            for (const Line& line : block.lines)
                if (line.box.yMin > (1 - kRunningZoneShare) * pages[p].height)
                    pagesOf[patternOf(line.text)].insert(p);
    std::set<std::u32string> out;
    for (const auto& [text, on] : pagesOf)
        if (on.size() >= 2)
            out.insert(text);
    return out;
}

std::vector<Paragraph> paragraphsOf(const std::vector<Line>& lines)
{
    std::vector<Paragraph> out;
    if (lines.empty())
        return out;
    ColumnBounds column{lines.front().left(), lines.front().right()};
    for (const Line& l : lines) {
        column.left = std::min(column.left, l.left());
        column.right = std::max(column.right, l.right());
    }
    std::vector<std::size_t> starts = paragraphStarts(lines, column);
    starts.push_back(lines.size());
    for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
        Paragraph p = composeParagraph(lines, starts[k], starts[k + 1]);
        p.format = inferParagraphFormat(lines, starts[k], starts[k + 1], column);
        out.push_back(std::move(p));
    }
    return out;
}

// Splits a run at its stand-ins: the text around them stays, each stand-in
// becomes the mark's own run. `onStandIn(index)` returns the mark's run.
template <typename MarkRun>
void splitAtStandIns(const Run& run, std::vector<Run>& out, MarkRun onStandIn)
{
    Run rest = run;
    rest.text.clear();
    for (std::size_t i = 0; i < run.text.size(); ++i) {
        const char16_t c = run.text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < run.text.size()) {
            const char32_t code = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (run.text[i + 1] - 0xDC00);
            if (isStandIn(code)) {
                if (!rest.text.empty())
                    out.push_back(rest);
                rest.text.clear();
                out.push_back(onStandIn(static_cast<std::size_t>(code - kStandInFirst), run.format));
                ++i;
                continue;
            }
        }
        rest.text += c;
    }
    if (!rest.text.empty())
        out.push_back(std::move(rest));
}

} // namespace

std::vector<pdf::Box> noteRulesOf(const pdf::PageText& page)
{
    std::vector<pdf::Box> rules;
    for (const pdf::PagePath& path : page.paths) {
        const pdf::Box& b = path.box;
        const double thickness = std::max(b.height(), path.stroked ? path.lineWidth : 0.0);
        if (path.rectangle && thickness <= kMaxNoteRuleThicknessPt && b.width() >= kMinNoteRuleLengthPt
            && b.width() <= kMaxNoteRuleWidthShare * page.width)
            rules.push_back(b);
    }
    return rules;
}

void Footnotes::addContinuation(Note& note, std::vector<Line> lines) const
{
    // The lines follow on under the note's last line at the note's pitch, so
    // that the paragraph rules join them as one text.
    const Line& last = note.lines.back();
    const double pitch = note.lines.size() >= 2 ? last.baseline - note.lines[note.lines.size() - 2].baseline
                                                : last.fontSize * kDefaultPitchEm;
    const double dy = last.baseline + pitch - lines.front().baseline;
    for (Line& l : lines) {
        shiftLine(l, dy);
        note.lines.push_back(std::move(l));
    }
}

void Footnotes::takeNotes(std::vector<PageLines>& pages, const std::vector<std::vector<pdf::Box>>& rules)
{
    if (holdsStandIns(pages))
        return;
    const double bodySize = bodyTextSize(pages);
    if (bodySize <= 0)
        return;
    const std::set<std::u32string> feet = recurringFeet(pages);
    bool previousPageNotes = false; // the page before ended with a note taken
    for (std::size_t p = 0; p < pages.size(); ++p) {
        PageLines& page = pages[p];
        // Every opening's lines, then the marks in the lines outside them.
        std::optional<PageNoteFinder> finder;
        std::set<std::pair<std::size_t, std::size_t>> noteArea;
        std::vector<std::vector<std::size_t>> candidates;
        auto findNotes = [&] {
            finder.emplace(page, bodySize);
            noteArea.clear();
            candidates.clear();
            for (std::size_t i = 0; i < finder->size(); ++i) {
                if (finder->markOf(i).empty() || !finder->atFoot(i))
                    continue;
                candidates.push_back(finder->noteFrom(i));
                for (std::size_t j : candidates.back())
                    noteArea.insert({finder->at(j).block, finder->at(j).line});
            }
        };
        findNotes();
        std::set<std::u32string> noteMarks;
        for (const auto& lines : candidates)
            noteMarks.insert(finder->markOf(lines.front()));
        if (joinLoneMarks(page, noteMarks, noteArea))
            findNotes(); // the page's lines changed under the finder
        std::vector<BodyMark> marks = bodyMarks(page, noteArea);
        if (m_notes.size() + candidates.size() > kStandInLast - kStandInFirst)
            return;

        std::set<std::pair<std::size_t, std::size_t>> taken; // (block, line) of note lines
        // A line that would go on two notes (a wide line under two columns'
        // notes) leaves the second one as text.
        auto free = [&](const std::vector<std::size_t>& lines) {
            return std::none_of(lines.begin(), lines.end(),
                                [&](std::size_t j) { return taken.contains({finder->at(j).block, finder->at(j).line}); });
        };
        // Each note's mark in the body: first those of their own text after a
        // word, then the others, raised digits that hold the mark glued to
        // another or to a power among them, until no more are found. Small
        // lines with no rule over them (an example set small) take only a
        // mark after a word: a raised number after a letter is a power there.
        std::vector<bool> ruled(candidates.size());
        for (std::size_t c = 0; c < candidates.size(); ++c)
            ruled[c] = p < rules.size() && ruleAbove(*finder, candidates, c, rules[p]);
        std::vector<std::size_t> markOf(candidates.size(), kNoMark);
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            const std::u32string& text = finder->markOf(candidates[c].front());
            const std::size_t at = markOrGluedFor(marks, text, !ruled[c]);
            if (at != kNoMark && marks[at].text == text && marks[at].base == MarkBase::Word && !marks[at].inHeadZone) {
                markOf[c] = at;
                marks[at].used = true;
            }
        }
        takeRunTogether(page, marks, *finder, candidates, ruled, markOf);
        for (bool found = true; found;) {
            found = false;
            for (std::size_t c = 0; c < candidates.size(); ++c) {
                if (markOf[c] != kNoMark)
                    continue;
                const std::u32string& text = finder->markOf(candidates[c].front());
                const std::size_t at = markOrGluedFor(marks, text, !ruled[c]);
                if (at == kNoMark)
                    continue;
                markOf[c] = marks[at].text == text ? at : splitGlued(page, marks, at, text.size(), marks[at].text.ends_with(text));
                marks[markOf[c]].used = true;
                found = true;
            }
        }

        std::vector<std::size_t> openingsTaken;
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            const std::vector<std::size_t>& lines = candidates[c];
            if (markOf[c] == kNoMark)
                continue; // a note with no mark stays text
            const BodyMark& mark = marks[markOf[c]];
            if (!free(lines))
                continue; // its mark stays as raised text
            Note note;
            note.mark = mark.text;
            note.lines = finder->joined(lines);
            for (std::size_t j : lines)
                taken.insert({finder->at(j).block, finder->at(j).line});
            note.lines.front().words.erase(note.lines.front().words.begin());
            measureLine(note.lines.front());
            Word& w = page.blocks[mark.block].lines[mark.line].words[mark.word];
            w.text.assign(1, static_cast<char32_t>(kStandInFirst + m_notes.size()));
            measureLine(page.blocks[mark.block].lines[mark.line]);
            m_notes.push_back(std::move(note));
            openingsTaken.push_back(lines.front());
        }

        // The rest of the last page's note: small lines without a mark right
        // under a rule, above this page's own notes in their column, set in
        // the note's size (not a fraction's small denominator under its bar).
        bool continued = false;
        if (previousPageNotes && p < rules.size()) {
            const std::size_t lastNote = m_notes.size() - openingsTaken.size() - 1;
            const double noteSize = m_notes[lastNote].lines.front().fontSize;
            for (const pdf::Box& rule : rules[p]) {
                std::size_t first = finder->size();
                for (std::size_t i = 0; i < finder->size() && first == finder->size(); ++i)
                    if (finder->at(i).text->box.yMin >= rule.yMin && overlapHorizontally(finder->at(i).text->box, rule))
                        first = i;
                if (first == finder->size() || !finder->isSmall(first) || !finder->markOf(first).empty()
                    || std::abs(finder->at(first).text->fontSize - noteSize) > kNoteSizeStepPt
                    || !finder->atFoot(first) || feet.contains(patternOf(finder->at(first).text->text)))
                    continue;
                const std::vector<std::size_t> restLines = finder->noteFrom(first);
                if (!free(restLines))
                    continue;
                for (std::size_t j : restLines)
                    taken.insert({finder->at(j).block, finder->at(j).line});
                addContinuation(m_notes[lastNote], finder->joined(restLines));
                continued = true;
                break;
            }
        }
        // A note may run on over several pages' feet.
        previousPageNotes = !openingsTaken.empty() || continued;

        // Out of the page, from the back so that earlier places stay valid.
        for (auto it = taken.rbegin(); it != taken.rend(); ++it) {
            const auto& [b, l] = *it;
            Block& block = page.blocks[b];
            block.lines.erase(block.lines.begin() + static_cast<std::ptrdiff_t>(l));
            fitBlockBox(block);
        }
        std::erase_if(page.blocks, [](const Block& b) { return b.lines.empty(); });
    }
}

void Footnotes::placeNotes(Document& document) const
{
    if (m_notes.empty())
        return;
    std::vector<int> placed(m_notes.size(), -1);
    auto referenceRun = [&](std::size_t note, const CharFormat& format) {
        Run r;
        r.format = format;
        r.format.position = VerticalPosition::Superscript;
        if (note >= m_notes.size())
            return r; // no stand-in of ours: dropped
        r.text = toUtf16(m_notes[note].mark);
        if (placed[note] < 0) {
            placed[note] = static_cast<int>(document.footnotes.size());
            r.footnote = placed[note];
            document.footnotes.push_back({paragraphsOf(m_notes[note].lines)});
        }
        return r;
    };
    for (Section& section : document.sections)
        for (Paragraph& paragraph : section.paragraphs) {
            std::vector<Run> runs;
            for (const Run& run : paragraph.runs)
                splitAtStandIns(run, runs, referenceRun);
            std::erase_if(runs, [](const Run& r) { return r.text.empty(); });
            paragraph.runs = std::move(runs);
        }
    if (document.sections.empty())
        return;
    // A note whose mark went elsewhere (into a table, a picture) stays as text.
    auto& end = document.sections.back().paragraphs;
    for (std::size_t k = 0; k < m_notes.size(); ++k) {
        if (placed[k] >= 0)
            continue;
        std::vector<Paragraph> text = paragraphsOf(m_notes[k].lines);
        if (!text.empty() && !text.front().runs.empty())
            text.front().runs.insert(text.front().runs.begin(),
                                     Run(toUtf16(m_notes[k].mark) + u" ", text.front().runs.front().format));
        end.insert(end.end(), text.begin(), text.end());
    }
}

} // namespace pwt::layout

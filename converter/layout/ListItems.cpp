#include "ListItems.h"

#include "TextRules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cwctype>
#include <optional>
#include <string_view>

namespace pwt::layout {

namespace {

// -- Thresholds -----------------------------------------------------------------
// Lengths are in ems of the item's text (its first run's size).

// Labels of one level stand within this many ems of one another; a label
// further right than its level's opens the next level.
constexpr double kSameLevelEm = 1.0;
// A number that runs on a level's numbering joins that level from up to this
// many ems away (a list resumed after a page may sit a little off).
constexpr double kRunOnIndentEm = 2.5;
// A label's character is this wide (Latin digits, letters, bullets); CJK and
// full-width ones take a whole em.
constexpr double kLabelCharEm = 0.55;
// Word needs at least this gap between a label and its text.
constexpr double kLabelGapEm = 0.5;
// A lone item counts when its hanging indent matches its label: at least this
// share of the label's width...
constexpr double kMinHangShare = 0.6;
// ...and at most this many ems (a wider hang is a glossary or a bibliography).
constexpr double kMaxHangEm = 6.0;
// Numbering goes on across at most this many paragraphs that are not items
// nor indented under them (a remark between two items, a page's foot).
constexpr int kMaxInterruptions = 2;
// Items of a dash, asterisk or dot, the marks dialogue and prose also open
// with, need this many in a row when no item of them hangs.
constexpr std::size_t kMinWeakItems = 3;
// Item numbers have at most this many digits: "2020." is a year.
constexpr std::size_t kMaxNumberDigits = 3;
// Roman item numbers go up to this (xxxix).
constexpr int kMaxRomanValue = 39;
// Word's lists nest this deep.
constexpr std::size_t kMaxLevels = 9;
// A label poppler set apart from its item's text opens the line on its
// baseline whose text starts at most this many ems to its right (Word sets a
// bullet and its text a tab apart, a quarter inch and more)...
constexpr double kMaxLabelGapEm = 3.0;
// ...on a baseline within this many ems of its own. A page with more lone
// labels than this is a table of glyphs, not lists (and each label looks
// through the page's lines).
constexpr double kLabelBaselineEm = 0.3;
constexpr std::size_t kMaxLoneLabelsPerPage = 400;

// -- Labels ---------------------------------------------------------------------

// Bullets that mark nothing else.
constexpr std::u16string_view kStrongBullets = u"\u2022\u25E6\u25AA\u25AB\u25A0\u25A1\u25CF\u25CB\u25C6\u25C7\u25BA\u25B6"
                                               u"\u2023\u2043\u2219\u27A2\u27A4\u2713\u2714\u2756\u2666\u2605\u2610\u25C9";
// Bullets that also open dialogue, prose or formulas: a dash, an asterisk, a dot.
constexpr std::u16string_view kWeakBullets = u"\u2012\u2013\u2014-*\u2217\u00B7\u22C5";

constexpr char16_t kFigureDash = 0x2012;
constexpr char16_t kEnDash = 0x2013;

// One way of reading an item's number: "i" is the first roman or the ninth letter.
struct Reading {
    NumberFormat format = NumberFormat::Bullet;
    int value = 0;
};

// The label that opens a paragraph.
struct Label {
    std::vector<Reading> readings;   // a bullet: one reading, NumberFormat::Bullet
    std::u16string prefix, suffix;   // around the number ("(", ")"); a bullet: its character in prefix
    std::vector<int> outer;          // "1.2.3": the numbers before the item's own, {1, 2}
    std::size_t length = 0;          // characters to take out: the label and the space after it
    double widthEm = 0;              // the label's estimated width
    bool weak = false;               // a dash, asterisk or dot bullet
    std::string font;                // a bullet's family when set in a symbol font
    bool chineseMarks = false;       // a Chinese or circled numeral, full-width brackets, "、"
};

bool isAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isSpaceChar(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000 || c == 0x00A0; }
bool isWide(char16_t c) { return c >= 0x2E80; }

// Whether `c` can follow a label directly, with no space: Chinese text.
bool isCjkText(char16_t c) { return isCjk(static_cast<char32_t>(c)); }

int romanValue(std::u16string_view s)
{
    static constexpr std::array<std::pair<std::u16string_view, int>, 13> kParts{{
        {u"m", 1000}, {u"cm", 900}, {u"d", 500}, {u"cd", 400}, {u"c", 100}, {u"xc", 90}, {u"l", 50},
        {u"xl", 40}, {u"x", 10}, {u"ix", 9}, {u"v", 5}, {u"iv", 4}, {u"i", 1}}};
    std::u16string lower(s);
    for (char16_t& c : lower)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    int value = 0;
    std::size_t at = 0;
    // Canonical numerals only: each part at most three times in a row.
    for (const auto& [part, worth] : kParts) {
        int repeats = 0;
        while (lower.compare(at, part.size(), part) == 0 && repeats < 3) {
            value += worth;
            at += part.size();
            ++repeats;
        }
    }
    return at == lower.size() ? value : 0;
}

// "一" .. "九十九"; 0: not a Chinese number.
int chineseValue(std::u16string_view s)
{
    static constexpr std::u16string_view kDigits = u"一二三四五六七八九";
    auto digit = [](char16_t c) {
        const auto at = kDigits.find(c);
        return at == std::u16string_view::npos ? 0 : static_cast<int>(at) + 1;
    };
    const auto ten = s.find(u'十');
    if (ten == std::u16string_view::npos)
        return s.size() == 1 ? digit(s[0]) : 0;
    if (ten > 1 || s.size() > ten + 2)
        return 0;
    const int tens = ten == 0 ? 1 : digit(s[0]);
    const int units = s.size() == ten + 2 ? digit(s[ten + 1]) : 0;
    if (tens == 0 || (s.size() == ten + 2 && units == 0))
        return 0;
    return tens * 10 + units;
}

// A day and month ("3. März"): a number before a month's name is a date.
bool isMonthName(std::u16string_view rest)
{
    static constexpr std::array<std::u16string_view, 22> kMonths{
        u"Januar", u"Jänner", u"Februar", u"März", u"April", u"Mai", u"Juni", u"Juli", u"August",
        u"September", u"Oktober", u"November", u"Dezember", u"Jan.", u"Feb.", u"Mär.", u"Apr.", u"Aug.",
        u"Sep.", u"Okt.", u"Nov.", u"Dez."};
    for (std::u16string_view month : kMonths) {
        if (rest.substr(0, month.size()) == month
            && (rest.size() == month.size() || !std::iswalpha(static_cast<wint_t>(rest[month.size()]))))
            return true;
    }
    return false;
}

double widthOf(std::u16string_view label)
{
    double em = 0;
    for (char16_t c : label)
        em += isWide(c) ? 1.0 : kLabelCharEm;
    return em;
}

// The spaces after a label, or whether the text may follow it directly.
// `alone`: the label is all there is (poppler set it apart from its text).
std::optional<std::size_t> textAfter(std::u16string_view text, std::size_t at, bool directAllowed, bool alone)
{
    std::size_t end = at;
    while (end < text.size() && isSpaceChar(text[end]))
        ++end;
    if (alone)
        return end == text.size() ? std::optional(end) : std::nullopt;
    if (end == text.size())
        return std::nullopt; // a label and nothing else
    if (end == at && !directAllowed)
        return std::nullopt;
    return end;
}

std::optional<Label> bulletLabel(std::u16string_view text, bool alone)
{
    const char16_t c = text[0];
    const bool strong = kStrongBullets.find(c) != std::u16string_view::npos;
    if (!strong && kWeakBullets.find(c) == std::u16string_view::npos)
        return std::nullopt;
    // A strong bullet may touch its text (a word, not a sign); a dash must
    // stand apart ("-5 °C").
    const bool touching = strong && text.size() > 1 && (isCjkText(text[1]) || std::iswalpha(static_cast<wint_t>(text[1])));
    const auto end = textAfter(text, 1, touching, alone);
    if (!end)
        return std::nullopt;
    Label l;
    l.readings = {Reading{NumberFormat::Bullet, 0}};
    // Fonts that draw both dashes with one glyph map it back to the figure
    // dash; as a bullet it is the en dash.
    l.prefix = std::u16string(1, c == kFigureDash ? kEnDash : c);
    l.length = *end;
    l.widthEm = widthOf(l.prefix);
    l.weak = !strong;
    return l;
}

// The number inside a label: digits (and the levels before them: "1.2"), a
// letter, a roman or Chinese numeral, or a circled digit.
struct NumberPart {
    std::vector<Reading> readings;
    std::vector<int> outer;
    std::size_t end = 0;
    bool chinese = false;
};

std::optional<NumberPart> numberAt(std::u16string_view text, std::size_t at)
{
    NumberPart n;
    std::size_t i = at;
    if (i < text.size() && text[i] >= 0x2460 && text[i] <= 0x2473) { // ① .. ⑳
        n.readings = {Reading{NumberFormat::Decimal, text[i] - 0x2460 + 1}};
        n.end = i + 1;
        n.chinese = true;
        return n;
    }
    if (i < text.size() && isAsciiDigit(text[i])) {
        std::vector<int> parts;
        while (true) {
            const std::size_t start = i;
            while (i < text.size() && isAsciiDigit(text[i]))
                ++i;
            if (i == start || i - start > kMaxNumberDigits)
                return std::nullopt;
            parts.push_back(std::stoi(std::string(text.begin() + static_cast<std::ptrdiff_t>(start),
                                                  text.begin() + static_cast<std::ptrdiff_t>(i))));
            // "1.2" goes on to a deeper number; "1." ends the label.
            if (i + 1 < text.size() && text[i] == u'.' && isAsciiDigit(text[i + 1]))
                ++i;
            else
                break;
        }
        n.readings = {Reading{NumberFormat::Decimal, parts.back()}};
        parts.pop_back();
        n.outer = std::move(parts);
        n.end = i;
        return n;
    }
    std::size_t end = i;
    while (end < text.size() && chineseValue(text.substr(at, end + 1 - at)) > 0)
        ++end;
    if (end > at) {
        n.readings = {Reading{NumberFormat::ChineseCounting, chineseValue(text.substr(at, end - at))}};
        n.end = end;
        n.chinese = true;
        return n;
    }
    end = i;
    while (end < text.size() && ((text[end] >= u'a' && text[end] <= u'z') || (text[end] >= u'A' && text[end] <= u'Z')))
        ++end;
    if (end == at)
        return std::nullopt;
    const std::u16string_view word = text.substr(at, end - at);
    const bool upper = word[0] >= u'A' && word[0] <= u'Z';
    if (!std::all_of(word.begin(), word.end(), [&](char16_t c) { return (c >= u'A' && c <= u'Z') == upper; }))
        return std::nullopt;
    const int roman = romanValue(word);
    if (roman > 0 && roman <= kMaxRomanValue)
        n.readings.push_back({upper ? NumberFormat::UpperRoman : NumberFormat::LowerRoman, roman});
    if (word.size() == 1)
        n.readings.push_back({upper ? NumberFormat::UpperLetter : NumberFormat::LowerLetter, (word[0] | 0x20) - u'a' + 1});
    if (n.readings.empty())
        return std::nullopt;
    // "c" reads better as the third letter, "v" as the fifth roman: the smaller first.
    std::sort(n.readings.begin(), n.readings.end(), [](const Reading& a, const Reading& b) { return a.value < b.value; });
    n.end = end;
    return n;
}

std::optional<Label> numberLabel(std::u16string_view text, bool alone)
{
    std::size_t i = 0;
    std::u16string open;
    if (text[0] == u'(' || text[0] == u'（') {
        open = std::u16string(1, text[0]);
        i = 1;
    }
    auto number = numberAt(text, i);
    if (!number)
        return std::nullopt;
    i = number->end;
    const bool circled = number->chinese && number->readings.front().format == NumberFormat::Decimal;
    std::u16string close;
    if (!open.empty()) {
        const char16_t want = open[0] == u'(' ? u')' : u'）';
        if (i >= text.size() || text[i] != want)
            return std::nullopt;
        close = std::u16string(1, want);
        ++i;
    } else if (i < text.size() && std::u16string_view(u".)、．）").find(text[i]) != std::u16string_view::npos) {
        close = std::u16string(1, text[i]);
        ++i;
    } else if (!circled && number->outer.empty()) {
        return std::nullopt; // "2020 was a year": a number needs its mark
    }
    // A hierarchical number needs no mark ("1.2 Scope"); a letter or a roman
    // numeral in front of a word needs one ("I went").
    const bool wideMarks = !open.empty() ? open[0] == u'（' : (!close.empty() && isWide(close[0]));
    const bool direct = (number->chinese || wideMarks || close == u"、") && i < text.size() && !isAsciiDigit(text[i]);
    const auto end = textAfter(text, i, direct, alone);
    if (!end)
        return std::nullopt;
    const Reading first = number->readings.front();
    if (first.format == NumberFormat::Decimal && close == u"." && isMonthName(text.substr(*end)))
        return std::nullopt;
    // A Chinese numeral set before a mark of a Latin list ("一.") stays text.
    if (first.format == NumberFormat::ChineseCounting && close != u"、" && !wideMarks)
        return std::nullopt;
    Label l;
    l.readings = std::move(number->readings);
    l.outer = std::move(number->outer);
    l.prefix = open;
    l.suffix = close;
    if (circled) {
        l.prefix = u"(";
        l.suffix = u")";
    }
    l.length = *end;
    l.widthEm = widthOf(text.substr(0, i));
    l.chineseMarks = number->chinese || wideMarks || close == u"、";
    return l;
}

std::optional<Label> labelOf(std::u16string_view text, bool alone = false)
{
    if (text.empty())
        return std::nullopt;
    if (auto bullet = bulletLabel(text, alone))
        return bullet;
    return numberLabel(text, alone);
}

std::u16string textOf(const Paragraph& p)
{
    std::u16string s;
    for (const Run& r : p.runs)
        s += r.text;
    return s;
}

// Takes the first `count` characters out of the paragraph's runs.
void dropLeading(Paragraph& p, std::size_t count)
{
    for (Run& r : p.runs) {
        if (count == 0)
            break;
        const std::size_t cut = std::min(count, r.text.size());
        r.text.erase(0, cut);
        count -= cut;
    }
    std::erase_if(p.runs, [](const Run& r) { return r.text.empty() && !r.pageNumberField && r.footnote < 0; });
}

// Whether every run with visible text has `property`.
template <typename Property>
bool allRuns(const Paragraph& p, Property property)
{
    return std::all_of(p.runs.begin(), p.runs.end(), [&](const Run& r) {
        return property(r.format) || std::all_of(r.text.begin(), r.text.end(), isSpaceChar);
    });
}

// Headings keep their numbers, contents entries theirs, code its lines.
bool mayBeItem(const Paragraph& p)
{
    const ParagraphFormat& f = p.format;
    return f.headingLevel == 0 && f.referenceTab.position == 0 && f.list < 0 && !p.runs.empty()
        && !allRuns(p, [](const CharFormat& c) { return c.fontKind == FontKind::Typewriter; })
        && !p.runs.front().pageNumberField;
}

// -- Items joined into one paragraph ---------------------------------------------

// Marks that end a sentence, before the next item's bullet.
constexpr std::u16string_view kSentenceEnds = u".!?\u3002\uFF01\uFF1F";

// Where a bulleted paragraph holds the next items: its own bullet again,
// after the end of a sentence, with a space after it. The lines of Chinese
// items fill the column, so nothing in the layout shows where one item ends
// and the next begins. Prose that indents its first line (dialogue opened
// by dashes) is left alone.
std::vector<std::size_t> joinedItemStarts(const Paragraph& p)
{
    if (!mayBeItem(p))
        return {};
    const std::u16string text = textOf(p);
    std::size_t lead = 0;
    while (lead < text.size() && isSpaceChar(text[lead]))
        ++lead;
    const auto label = labelOf(std::u16string_view(text).substr(lead));
    if (!label || label->readings.front().format != NumberFormat::Bullet || (label->weak && p.format.firstLineIndent > 0))
        return {};
    // A note's mark ("*") is no bullet.
    std::vector<bool> noteMark;
    for (const Run& r : p.runs)
        noteMark.insert(noteMark.end(), r.text.size(), r.footnote >= 0);
    const char16_t bullet = text[lead];
    std::vector<std::size_t> starts;
    for (std::size_t at = lead + label->length; at + 2 < text.size(); ++at) {
        if (text[at] != bullet || !isSpaceChar(text[at + 1]) || noteMark[at])
            continue;
        std::size_t before = at;
        while (before > 0 && isSpaceChar(text[before - 1]))
            --before;
        if (before > 0 && kSentenceEnds.find(text[before - 1]) != std::u16string_view::npos)
            starts.push_back(at);
    }
    return starts;
}

// Takes the paragraph's text from character `at` on into a new paragraph of
// its format; the spaces before `at` go.
Paragraph splitOff(Paragraph& p, std::size_t at)
{
    Paragraph rest;
    rest.format = p.format;
    rest.format.spaceBefore = 0;
    std::size_t seen = 0, pictures = 0;
    std::size_t r = 0;
    for (; r < p.runs.size() && seen + p.runs[r].text.size() <= at; ++r) {
        seen += p.runs[r].text.size();
        pictures += static_cast<std::size_t>(std::count(p.runs[r].text.begin(), p.runs[r].text.end(), kInlinePictureMark));
    }
    if (r < p.runs.size() && seen < at) {
        Run& cut = p.runs[r];
        Run tail = cut;
        tail.text = cut.text.substr(at - seen);
        tail.footnote = -1; // a note's mark is one run, never cut
        cut.text.resize(at - seen);
        pictures += static_cast<std::size_t>(std::count(cut.text.begin(), cut.text.end(), kInlinePictureMark));
        rest.runs.push_back(std::move(tail));
        ++r;
    }
    rest.runs.insert(rest.runs.end(), std::make_move_iterator(p.runs.begin() + static_cast<std::ptrdiff_t>(r)),
                     std::make_move_iterator(p.runs.end()));
    p.runs.erase(p.runs.begin() + static_cast<std::ptrdiff_t>(r), p.runs.end());
    while (!p.runs.empty() && !p.runs.back().text.empty() && isSpaceChar(p.runs.back().text.back())) {
        p.runs.back().text.pop_back();
        if (p.runs.back().text.empty() && !p.runs.back().pageNumberField && p.runs.back().footnote < 0)
            p.runs.pop_back();
    }
    pictures = std::min(pictures, p.inlinePictures.size());
    rest.inlinePictures.assign(p.inlinePictures.begin() + static_cast<std::ptrdiff_t>(pictures), p.inlinePictures.end());
    p.inlinePictures.resize(pictures);
    return rest;
}

// Splits the section's paragraphs that hold several bulleted items into one
// paragraph per item; the figures and tables placed after them move along.
void splitJoinedItems(Section& section)
{
    for (std::size_t i = 0; i < section.paragraphs.size(); ++i) {
        const std::vector<std::size_t> starts = joinedItemStarts(section.paragraphs[i]);
        if (starts.empty())
            continue;
        std::vector<Paragraph> items;
        for (auto at = starts.rbegin(); at != starts.rend(); ++at)
            items.insert(items.begin(), splitOff(section.paragraphs[i], *at));
        section.paragraphs.insert(section.paragraphs.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                  std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
        for (Figure& f : section.figures)
            if (f.beforeParagraph > i)
                f.beforeParagraph += items.size();
        for (Table& t : section.tables)
            if (t.beforeParagraph > i)
                t.beforeParagraph += items.size();
        i += items.size();
    }
}

// -- Lists ----------------------------------------------------------------------

// A body paragraph as the list finder sees it.
struct Entry {
    Paragraph* paragraph = nullptr;
    std::optional<Label> label;
    std::size_t leading = 0; // spaces before the label
    int em = 240;            // twips
    int labelIndent = 0;     // where its first line starts
    bool eligible = false;   // not a heading, a contents entry or code
    bool offLeft = false;    // centred or right-aligned: a line the layout took for set apart
};

struct Item {
    std::size_t entry = 0;
    std::size_t level = 0;
    Reading reading;
};

struct LevelState {
    NumberFormat format = NumberFormat::Bullet;
    std::u16string prefix, suffix;
    bool hierarchical = false;       // "1.2"-style numbers
    std::vector<int> literalOuter;   // their outer numbers written out ("2.%1"); empty: from the levels above
    int labelIndent = 0;
    int start = 1;
    int last = 0;                    // the last item's number
};

bool hangMatches(const Entry& e)
{
    const int hang = -e.paragraph->format.firstLineIndent;
    return hang > 0 && hang >= e.label->widthEm * kMinHangShare * e.em && hang <= kMaxHangEm * e.em;
}

class ListFinder {
public:
    explicit ListFinder(Document& document) : m_doc(document) {}

    // Marks the items among `flow`, paragraphs that follow one another.
    void mark(const std::vector<Paragraph*>& flow)
    {
        std::vector<Entry> entries;
        entries.reserve(flow.size());
        for (Paragraph* p : flow)
            entries.push_back(entryOf(*p));
        markEntries(entries);
    }

private:
    static Entry entryOf(Paragraph& p)
    {
        Entry e;
        e.paragraph = &p;
        const ParagraphFormat& f = p.format;
        e.labelIndent = std::max(0, f.leftIndent + f.firstLineIndent);
        if (!p.runs.empty())
            e.em = std::max(p.runs.front().format.halfPoints, 1) * 10;
        e.eligible = mayBeItem(p);
        e.offLeft = f.alignment == Alignment::Center || f.alignment == Alignment::Right;
        if (!e.eligible)
            return e;
        const std::u16string text = textOf(p);
        // A contents entry whose page number was not set apart still ends in leaders.
        if (endsWithLeaders(std::u32string(text.begin(), text.end())))
            return e;
        while (e.leading < text.size() && isSpaceChar(text[e.leading]))
            ++e.leading;
        e.label = labelOf(std::u16string_view(text).substr(e.leading));
        // A number before bold text alone is a heading the heading rule left
        // at body level ("2.13.1 Character tokens"); a bullet may stand before bold words.
        if (e.label && e.label->readings.front().format != NumberFormat::Bullet
            && allRuns(p, [](const CharFormat& c) { return c.bold; }))
            e.label.reset();
        if (e.label && e.label->readings.front().format == NumberFormat::Bullet
            && p.runs.front().format.fontFamily == "Symbol")
            e.label->font = "Symbol";
        return e;
    }

    // A one-line item can stand about the column's middle and read as
    // centred, a hanging item whose lines all reach the right edge as set
    // right: next to an item of its kind it is one, at that item's indent.
    // Other centred or right-aligned lines stay what they are.
    static void placeOffLeftItems(std::vector<Entry>& entries)
    {
        const auto sameKind = [](const Entry& a, const Entry& b) {
            return b.label && !b.offLeft && a.label->prefix == b.label->prefix && a.label->suffix == b.label->suffix
                && a.label->readings.front().format == b.label->readings.front().format;
        };
        for (std::size_t k = 0; k < entries.size(); ++k) {
            Entry& e = entries[k];
            if (!e.offLeft || !e.label)
                continue;
            const Entry* beside = nullptr;
            if (k > 0 && sameKind(e, entries[k - 1]))
                beside = &entries[k - 1];
            else if (k + 1 < entries.size() && sameKind(e, entries[k + 1]))
                beside = &entries[k + 1];
            if (!beside)
                continue;
            e.labelIndent = beside->labelIndent;
            e.offLeft = false;
        }
    }

    void markEntries(std::vector<Entry>& entries)
    {
        m_entries = &entries;
        placeOffLeftItems(entries);
        std::size_t k = 0;
        while (true) {
            if (k >= entries.size()) {
                const auto resume = closeList();
                if (!resume)
                    break;
                k = *resume;
                continue;
            }
            const Entry& e = entries[k];
            std::optional<std::size_t> resume;
            if (e.label && e.eligible && !e.offLeft) {
                if (!m_items.empty() && joinItem(k)) {
                    ++k;
                    continue;
                }
                // A label the list cannot take, set under its items' text,
                // is part of an item ("1.7" opening a wrapped line).
                if (!m_items.empty() && underItems(e)) {
                    ++k;
                    continue;
                }
                resume = closeList();
                if (!resume)
                    openList(k);
            } else if (!m_items.empty()) {
                if (e.paragraph->format.headingLevel > 0 || (!underItems(e) && ++m_interruptions > kMaxInterruptions))
                    resume = closeList();
            }
            k = resume.value_or(k + 1);
        }
    }

    // A paragraph set under the items' text belongs to the item before it.
    bool underItems(const Entry& e) const
    {
        const LevelState& top = m_levels.front();
        return e.labelIndent > top.labelIndent + static_cast<int>(kSameLevelEm * e.em);
    }

    bool sameKind(const LevelState& level, const Label& label, Reading& reading) const
    {
        if (level.prefix != label.prefix || level.suffix != label.suffix || level.hierarchical != !label.outer.empty())
            return false;
        for (const Reading& r : label.readings) {
            if (r.format == level.format) {
                reading = r;
                return true;
            }
        }
        return false;
    }

    // The numbers of levels 0 .. depth-1 as the item at `depth` shows them.
    bool outerMatches(const LevelState& level, std::size_t depth, const Label& label) const
    {
        if (!level.hierarchical)
            return true;
        if (!level.literalOuter.empty())
            return label.outer == level.literalOuter;
        if (label.outer.size() != depth)
            return false;
        for (std::size_t d = 0; d < depth; ++d)
            if (label.outer[d] != m_levels[d].last)
                return false;
        return true;
    }

    // Adds entry k to the open list when its label goes on one of the list's levels.
    bool joinItem(std::size_t k)
    {
        const Entry& e = (*m_entries)[k];
        const Label& label = *e.label;
        // A level of this kind whose numbering the item continues, nearest its indent.
        std::optional<std::size_t> best;
        Reading bestReading;
        int bestDistance = 0;
        for (std::size_t d = 0; d <= m_depth; ++d) {
            Reading r;
            const LevelState& level = m_levels[d];
            if (!sameKind(level, label, r) || !outerMatches(level, d, label))
                continue;
            const bool bullet = r.format == NumberFormat::Bullet;
            if (!bullet && r.value != level.last + 1)
                continue;
            const int distance = std::abs(e.labelIndent - level.labelIndent);
            const double reach = bullet ? kSameLevelEm : kRunOnIndentEm;
            if (distance > static_cast<int>(reach * e.em) || (best && distance >= bestDistance))
                continue;
            best = d;
            bestReading = r;
            bestDistance = distance;
        }
        if (best) {
            addItem(k, *best, bestReading);
            return true;
        }
        // Further right than the deepest level: the next level. So is a
        // numbering of a kind none of the open levels has, starting under a
        // numbered item at its indent (Chinese documents set "一、", "（一）",
        // "1." and "（1）" all at one indent).
        const LevelState& deepest = m_levels[m_depth];
        const bool deeper = e.labelIndent > deepest.labelIndent + static_cast<int>(kSameLevelEm * e.em);
        if (m_depth + 1 >= kMaxLevels || (!deeper && !opensNumberedSublist(k)))
            return false;
        const std::size_t depth = m_depth + 1;
        if (depth < m_levels.size()) {
            // Defined by an earlier item: the same kind, and Word restarts it.
            Reading r;
            const LevelState& level = m_levels[depth];
            if (!sameKind(level, label, r) || !outerMatches(level, depth, label)
                || (r.format != NumberFormat::Bullet && r.value != level.start))
                return false;
            addItem(k, depth, r);
            return true;
        }
        // A new sublist starts at its first number: "1.7" under an item is a
        // cross reference that opens a wrapped line.
        const Reading first = firstReading(label);
        if (first.format != NumberFormat::Bullet && first.value != 1)
            return false;
        m_levels.push_back(levelFor(label, depth, e.labelIndent));
        addItem(k, depth, first);
        return true;
    }

    // Right under a numbered item (no paragraph between them), at its indent.
    // Chinese documents set all their numberings at one indent; another
    // numbering at a list's indent is its sublist only where the list goes
    // on after it ("I." "A." "B." "II."), else a list of its own.
    bool opensNumberedSublist(std::size_t k) const
    {
        const Entry& e = (*m_entries)[k];
        const Label& label = *e.label;
        const Reading first = firstReading(label);
        const LevelState& deepest = m_levels[m_depth];
        if (first.format == NumberFormat::Bullet || first.value != 1 || deepest.format == NumberFormat::Bullet
            || m_interruptions > 0 || std::abs(e.labelIndent - deepest.labelIndent) > static_cast<int>(kSameLevelEm * e.em))
            return false;
        Reading r;
        return std::none_of(m_levels.begin(), m_levels.begin() + static_cast<std::ptrdiff_t>(m_depth) + 1,
                            [&](const LevelState& level) { return sameKind(level, label, r); })
            && (label.chineseMarks || listGoesOnAfter(k));
    }

    // Whether an item after entry k continues one of the open levels'
    // numbering, before the list ends.
    bool listGoesOnAfter(std::size_t k) const
    {
        const auto& entries = *m_entries;
        int interruptions = 0;
        for (std::size_t j = k + 1; j < entries.size(); ++j) {
            const Entry& e = entries[j];
            if (!e.label || !e.eligible || e.offLeft) {
                if (e.paragraph->format.headingLevel > 0 || (!underItems(e) && ++interruptions > kMaxInterruptions))
                    return false;
                continue;
            }
            interruptions = 0;
            for (std::size_t d = 0; d <= m_depth; ++d) {
                Reading r;
                if (sameKind(m_levels[d], *e.label, r) && r.format != NumberFormat::Bullet && r.value == m_levels[d].last + 1)
                    return true;
            }
        }
        return false;
    }

    // How a new level reads its first label.
    static Reading firstReading(const Label& label) { return label.readings.front(); }

    LevelState levelFor(const Label& label, std::size_t depth, int labelIndent) const
    {
        LevelState level;
        const Reading r = firstReading(label);
        level.format = r.format;
        level.prefix = label.prefix;
        level.suffix = label.suffix;
        level.hierarchical = !label.outer.empty();
        level.labelIndent = labelIndent;
        level.start = r.format == NumberFormat::Bullet ? 1 : r.value;
        level.last = level.start - 1;
        if (level.hierarchical) {
            // Word writes the levels above in their own formats: decimal ones only.
            bool fromLevels = label.outer.size() == depth;
            for (std::size_t d = 0; fromLevels && d < depth; ++d)
                fromLevels = m_levels[d].format == NumberFormat::Decimal && m_levels[d].last == label.outer[d];
            if (!fromLevels)
                level.literalOuter = label.outer;
        }
        return level;
    }

    void openList(std::size_t k)
    {
        const Entry& e = (*m_entries)[k];
        // A list opened by "1.5" is a quantity or a section's paragraph;
        // "2.1" opens a list of them.
        if (!e.label->outer.empty() && firstReading(*e.label).value != 1)
            return;
        m_levels.clear();
        m_depth = 0;
        m_levels.push_back(levelFor(*e.label, 0, e.labelIndent));
        addItem(k, 0, firstReading(*e.label));
    }

    void addItem(std::size_t k, std::size_t depth, Reading reading)
    {
        m_depth = depth;
        m_levels[depth].last = reading.format == NumberFormat::Bullet ? 0 : reading.value;
        // Word restarts the deeper levels after each item.
        for (std::size_t d = depth + 1; d < m_levels.size(); ++d)
            m_levels[d].last = m_levels[d].start - 1;
        m_items.push_back({k, depth, reading});
        m_interruptions = 0;
    }

    // Whether the items found make a list: two or more, or one whose hanging
    // indent fits its label; a dash, asterisk or dot list needs more (dialogue).
    bool convincing() const
    {
        const auto& entries = *m_entries;
        const bool anyHang = std::any_of(m_items.begin(), m_items.end(), [&](const Item& i) { return hangMatches(entries[i.entry]); });
        if (entries[m_items.front().entry].label->weak) {
            // Dialogue indents its first lines as prose does; a list's hang.
            const bool indentedFirstLine = std::any_of(m_items.begin(), m_items.end(), [&](const Item& i) {
                return entries[i.entry].paragraph->format.firstLineIndent > 0;
            });
            return !indentedFirstLine && (anyHang || m_items.size() >= kMinWeakItems);
        }
        // The outermost level makes the list: a lone item over a sublist
        // is a paragraph before a list unless it hangs.
        return topItems() >= 2 || std::any_of(m_items.begin(), m_items.end(), [&](const Item& i) {
            return i.level == 0 && hangMatches(entries[i.entry]);
        });
    }

    std::size_t topItems() const
    {
        return static_cast<std::size_t>(std::count_if(m_items.begin(), m_items.end(), [](const Item& i) { return i.level == 0; }));
    }

    // Ends the list being gathered, writing it when it convinces. A list
    // that fails only for its lone first item ("1.5 kg" before a list) is
    // gathered again from its second item: returns where to go on from.
    std::optional<std::size_t> closeList()
    {
        std::optional<std::size_t> resume;
        if (!m_items.empty() && convincing())
            writeList();
        else if (m_items.size() > 1 && topItems() == 1)
            resume = m_items[1].entry;
        m_items.clear();
        m_levels.clear();
        m_depth = 0;
        m_interruptions = 0;
        return resume;
    }

    // The label pattern of a level: "%1.", "(%2)", "%1.%2", "2.%1", a bullet.
    std::u16string patternOf(const LevelState& level, std::size_t depth) const
    {
        if (level.format == NumberFormat::Bullet)
            return level.prefix;
        std::u16string p = level.prefix;
        if (level.hierarchical) {
            if (level.literalOuter.empty()) {
                for (std::size_t d = 0; d < depth; ++d)
                    p += u"%" + std::u16string(1, static_cast<char16_t>(u'1' + d)) + u".";
            } else {
                for (int n : level.literalOuter) {
                    for (char c : std::to_string(n))
                        p += static_cast<char16_t>(c);
                    p += u'.';
                }
            }
        }
        p += u"%" + std::u16string(1, static_cast<char16_t>(u'1' + depth));
        return p + level.suffix;
    }

    void writeList()
    {
        if (m_doc.lists.size() >= kMaxLists)
            return; // no list left to name: the items keep their labels as text
        auto& entries = *m_entries;
        ListDefinition definition;
        const int listIndex = static_cast<int>(m_doc.lists.size());
        for (std::size_t depth = 0; depth < m_levels.size(); ++depth) {
            const LevelState& state = m_levels[depth];
            ListLevel level;
            level.format = state.format;
            level.label = patternOf(state, depth);
            level.start = state.start;
            // The label where the items' first lines start; the text where a
            // hanging item's lines go on, or (one-line items) past the widest label.
            std::optional<int> labelIndent, hangingText, wrappedText;
            int widest = 0;
            for (const Item& item : m_items) {
                if (item.level != depth)
                    continue;
                const Entry& e = entries[item.entry];
                const ParagraphFormat& f = e.paragraph->format;
                if (!labelIndent)
                    labelIndent = e.labelIndent;
                if (f.firstLineIndent < 0 && !hangingText)
                    hangingText = f.leftIndent;
                if (f.firstLineIndent > 0 && !wrappedText)
                    wrappedText = f.leftIndent;
                widest = std::max(widest, static_cast<int>(std::lround((e.label->widthEm + kLabelGapEm) * e.em)));
                if (level.labelFont.empty())
                    level.labelFont = e.label->font;
            }
            level.labelIndent = labelIndent.value_or(0);
            if (hangingText && *hangingText > level.labelIndent)
                level.textIndent = *hangingText;
            else if (wrappedText)
                level.textIndent = *wrappedText; // Chinese items: the lines wrap back under the label
            else
                level.textIndent = level.labelIndent + widest;
            definition.levels.push_back(std::move(level));
        }
        for (const Item& item : m_items) {
            Entry& e = entries[item.entry];
            Paragraph& p = *e.paragraph;
            dropLeading(p, e.leading + e.label->length);
            const ListLevel& level = definition.levels[item.level];
            if (p.format.alignment == Alignment::Center || p.format.alignment == Alignment::Right)
                p.format.alignment = Alignment::Left; // one of the items, not set apart
            p.format.list = listIndex;
            p.format.listLevel = static_cast<int>(item.level);
            p.format.leftIndent = level.textIndent;
            p.format.firstLineIndent = level.labelIndent - level.textIndent;
        }
        m_doc.lists.push_back(std::move(definition));
    }

    Document& m_doc;
    std::vector<Entry>* m_entries = nullptr;
    std::vector<Item> m_items;       // of the list being gathered
    std::vector<LevelState> m_levels; // its levels, outermost first
    std::size_t m_depth = 0;          // the level of its last item
    int m_interruptions = 0;          // paragraphs since its last item
};

// -- Labels set apart from their text --------------------------------------------

// The label a line holds and nothing else.
std::optional<Label> loneLabel(const Line& line)
{
    const std::u16string text = toUtf16(line.text);
    std::size_t start = 0;
    while (start < text.size() && isSpaceChar(text[start]))
        ++start;
    return labelOf(std::u16string_view(text).substr(start), true);
}

// A letter of a word: Latin, Greek, Cyrillic, an ideograph, kana or hangul,
// not a digit, a sign or CJK punctuation.
bool isWordLetter(char32_t c)
{
    if ((c | 0x20) >= U'a' && (c | 0x20) <= U'z')
        return true;
    if (c >= 0xC0 && c <= 0x52F)
        return c != 0xD7 && c != 0xF7; // not × and ÷
    const bool cjkPunctuation = (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFF20) || (c >= 0xFF3B && c <= 0xFF40)
        || (c >= 0xFF5B && c <= 0xFF65);
    return isCjk(c) && !cjkPunctuation;
}

// Whether a line reads as an item's text: a word first, perhaps after an
// opening quote or bracket (a glyph table's code numbers do not).
bool opensWithWord(const std::u32string& text)
{
    static constexpr std::u32string_view kOpening = U"\"'\u201C\u2018([\uFF08\u300C\u300A";
    std::size_t at = 0;
    while (at < text.size() && kOpening.find(text[at]) != std::u32string_view::npos)
        ++at;
    return at < text.size() && isWordLetter(text[at]);
}

// The line a lone label in block `own` opens: the nearest on its baseline to
// its right, within reach. Nullptr when text stands before the label in its
// own block (the label is a piece of a line) or when a number in brackets
// would open a line of another block: an equation's number at a column's
// right edge reads the same, and the next column starts right of it.
Line* lineOpenedBy(PageLines& page, std::size_t own, const Line& label, std::size_t& targetBlock)
{
    const double em = label.fontSize;
    const bool bracketed = !label.text.empty() && label.text.front() == U'(';
    Line* target = nullptr;
    double nearest = kMaxLabelGapEm * em;
    for (std::size_t b = 0; b < page.blocks.size(); ++b) {
        if (page.blocks[b].rotation != 0)
            continue;
        for (Line& l : page.blocks[b].lines) {
            if (&l == &label || l.words.empty() || std::abs(l.baseline - label.baseline) > kLabelBaselineEm * em)
                continue;
            const double before = label.left() - l.right();
            if (b == own && l.left() < label.left() && before <= kMaxLabelGapEm * em)
                return nullptr;
            const double gap = l.left() - label.right();
            if (gap < -kLabelBaselineEm * em || gap > nearest || (bracketed && b != own) || !opensWithWord(l.text))
                continue;
            target = &l;
            nearest = gap;
            targetBlock = b;
        }
    }
    return target;
}

} // namespace

void rejoinListLabels(PageLines& page)
{
    std::size_t loneLabels = 0;
    for (const Block& block : page.blocks)
        for (const Line& line : block.lines)
            if (line.words.size() == 1 && loneLabel(line) && ++loneLabels > kMaxLoneLabelsPerPage)
                return;
    bool moved = false;
    for (std::size_t b = 0; b < page.blocks.size(); ++b) {
        if (page.blocks[b].rotation != 0)
            continue;
        for (Line& label : page.blocks[b].lines) {
            if (label.words.empty() || !loneLabel(label))
                continue;
            std::size_t targetBlock = 0;
            Line* target = lineOpenedBy(page, b, label, targetBlock);
            if (!target)
                continue;
            label.words.back().spaceAfter = true;
            target->words.insert(target->words.begin(), label.words.begin(), label.words.end());
            label.words.clear();
            measureLine(*target);
            growBox(page.blocks[targetBlock].box, target->box);
            moved = true;
        }
    }
    if (!moved)
        return;
    for (Block& block : page.blocks) {
        if (std::erase_if(block.lines, [](const Line& l) { return l.words.empty(); }) > 0 && !block.lines.empty())
            fitBlockBox(block);
    }
    std::erase_if(page.blocks, [](const Block& block) { return block.lines.empty(); });
}

void markListItems(Document& document)
{
    ListFinder finder(document);
    // The body text is one flow across the sections: numbering goes on over
    // a new chapter's head. Each table cell is a flow of its own.
    for (Section& s : document.sections)
        splitJoinedItems(s);
    std::vector<Paragraph*> body;
    for (Section& s : document.sections)
        for (Paragraph& p : s.paragraphs)
            body.push_back(&p);
    finder.mark(body);
    for (Section& s : document.sections)
        for (Table& t : s.tables)
            for (TableRow& row : t.rows)
                for (TableCell& cell : row.cells) {
                    std::vector<Paragraph*> flow;
                    for (Paragraph& p : cell.paragraphs)
                        flow.push_back(&p);
                    finder.mark(flow);
                }
}

} // namespace pwt::layout

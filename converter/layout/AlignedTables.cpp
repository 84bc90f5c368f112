// Tables without drawn lines: text set in columns that line up over several
// rows. In stages, each over the whole page:
//  1. the page's words (outside the areas already taken) grouped into lines
//     by baseline, scripts joined to their line, each line cut into cells at
//     gaps much wider than a word space, and line numbers in the margin
//     taken out;
//  2. the gutter of two-column text, if there is one: lines with prose on
//     one side are cut there so that a table in one text column stands alone;
//  3. runs of consecutive lines whose cells leave the same vertical strips
//     free: the strips are the column gaps;
//  4. each run checked against what is not a table (text columns, contents,
//     lists, code, formulas, centred author blocks) and turned into a grid.
// Every distance is in ems of the text's font size.
#include "LineNumbers.h"
#include "TableGrid.h"

#include "model/Document.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pwt::layout {

namespace {

// Words whose baselines differ by less than this share a line.
constexpr double kBaselineToleranceEm = 0.3;
// Words in a smaller size within this many ems of a line's baseline are
// its superscripts and subscripts, not a line of their own.
constexpr double kScriptSizeShare = 0.85;
constexpr double kScriptOffsetEm = 0.6;
// Consecutive rows of a table are at least this far apart (baseline to
// baseline); closer lines are the parts of a formula (fractions, limits).
constexpr double kMinRowPitchEm = 0.95;
// Line numbers in the margin (a listing's, at the size of its text, which
// removeLineNumbers() leaves): integers alone at the start or end of at least
// this many lines, right edges within kLineNumberAlignEm, rising down the
// page kLineNumbersRisingShare of the time. They are left out before looking
// for columns.
constexpr std::size_t kMinListingLineNumbers = 8;
// Displayed formulas: a run of lines whose words are at least this share in
// math fonts or symbols is mathematics set in place, not a table.
constexpr double kMaxMathShare = 0.3;
// A gap between two words of a line this wide or wider separates cells; a
// word space is 0.25-0.35 em, a justified one rarely reaches 0.8 em, and
// typeset tables keep at least about 1 em between their columns.
constexpr double kCellGapEm = 0.9;
// Column gaps across the rows narrower than this are taken as no gap.
constexpr double kMinColumnGapEm = 0.5;
// A table's rows follow one another this closely (gap between the line boxes);
// further apart, the text below is something else.
constexpr double kMaxRowGapEm = 1.6;
// Rows a table needs; tables of only two columns need more of them, as a
// label and a value column is also how lists and contents are set.
constexpr std::size_t kMinTableRows = 3;
constexpr std::size_t kMinTwoColumnRows = 5;
// Cells of a two-column table are short: at most this many words and ems.
constexpr std::size_t kShortCellWords = 4;
constexpr double kShortCellEm = 15;
// The rows of a two-column table are evenly spaced: the widest baseline
// step at most this many times the narrowest.
constexpr double kRegularPitchRatio = 1.6;
// A line of prose: at least this many words over at least this many ems.
// A column whose median line is prose is a text column; two of them are
// text set in columns, not a table.
constexpr std::size_t kProseWords = 4;
constexpr double kProseLineEm = 12;
// A line of a cell whose other cells on the line are empty continues the
// cell above it (a wrapped cell) when it follows this closely (baseline
// step) and the line above fills its column at least to this share.
constexpr double kWrapPitchEm = 1.6;
constexpr double kWrapFillShare = 0.6;
// A column filled in fewer rows than this is an odd cell, joined to the
// nearer column.
constexpr std::size_t kMinFilledRows = 2;
// Dot leaders: this many dots in a row (in a word or as words of their own).
constexpr std::size_t kLeaderDots = 4;
// The gutter of two text columns: a strip in the middle half of the text
// that at most this share of the lines cross (titles, wide tables), at
// least this wide, with at least this many lines of prose on one side and
// as many lines of any kind on the other.
constexpr double kGutterMaxCrossingShare = 0.3;
constexpr double kGutterMinWidthEm = 1.0;
constexpr std::size_t kGutterMinProseLines = 5;
// Text spread wider than this (points; PDF pages are at most 14,400 wide)
// is not scanned for a gutter: its words lie off any page.
constexpr double kMaxGutterScanPt = 14400;
// A run of more lines than this that is no table is not tried again from
// each of its next lines laid out like its first (a long list is judged
// once); shorter runs are, as their first rows may be what spoilt them.
constexpr std::size_t kMaxRetriedRunLines = 40;
// Blocks of text centred side by side (authors and their addresses): in
// each column the lines' centres stay within kCentreSpreadEm, and in most
// columns their edges differ by more than kEdgeSpreadEm.
constexpr double kEdgeSpreadEm = 1.0;
constexpr double kCentreSpreadEm = 0.5;
// A body column is of numbers when at least this share of its cells are.
constexpr double kNumericColumnShare = 0.66;
// Page numbers in a contents' column stay below this (a column of years is
// no contents).
constexpr long kMaxPageNumber = 999;

struct Segment {
    double left = 0, right = 0;
    std::vector<const pdf::TextWord*> words; // left to right
    std::u32string text() const
    {
        std::u32string t;
        for (const auto* w : words) {
            if (!t.empty())
                t += U' ';
            t += w->text;
        }
        return t;
    }
};

enum class Zone { Whole, Left, Right };

struct PageLine {
    double baseline = 0, top = 0, bottom = 0;
    double fontSize = 10;
    std::vector<Segment> segments;
    bool monospaced = false;
    bool leaders = false;
    Zone zone = Zone::Whole;
};

struct Interval {
    double left = 0, right = 0;
};

bool isMonospacedFont(const pdf::TextWord& w)
{
    if (w.fixedWidth)
        return true;
    std::string name = w.fontName;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (std::string_view mark : {"mono", "courier", "consol", "cmtt", "typewriter", "code", "menlo", "anonymous", "lmtt", "txtt",
             "ectt", "sftt", "pcrr"})
        if (name.find(mark) != std::string::npos)
            return true;
    return false;
}

bool isMathWord(const pdf::TextWord& w)
{
    std::string name = w.fontName;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (std::string_view mark : {"cmmi", "cmsy", "cmex", "msbm", "msam", "math", "symbol", "esint", "rsfs", "eufm", "stix"})
        if (name.find(mark) != std::string::npos)
            return true;
    // Operators and relations (U+2200..U+22FF), Greek letters alone.
    return w.text.size() == 1 && ((w.text[0] >= 0x2200 && w.text[0] <= 0x22FF) || (w.text[0] >= 0x391 && w.text[0] <= 0x3C9));
}

bool isDot(char32_t c) { return c == U'.' || c == U'\u00B7' || c == U'\u2024' || c == U'\u2026' || c == U'\u2219'; }

bool isPlainNumber(const std::u32string& t)
{
    return !t.empty() && std::all_of(t.begin(), t.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; });
}

// Code: every cell of the line in a typewriter font but for numbers (the
// listing's line numbers). A table may have a column of commands, but its
// other cells are in the text's font.
bool mostlyMonospaced(const std::vector<Segment>& segments)
{
    std::size_t cells = 0;
    for (const auto& s : segments) {
        std::size_t chars = 0, fixedChars = 0;
        for (const auto* w : s.words) {
            if (isPlainNumber(w->text))
                continue;
            chars += w->text.size();
            fixedChars += isMonospacedFont(*w) ? w->text.size() : 0;
        }
        if (chars == 0)
            continue;
        if (fixedChars * 2 <= chars)
            return false;
        ++cells;
    }
    return cells > 0;
}

// Stage 1: the words the finder may use, outside `taken` and upright.
std::vector<const pdf::TextWord*> collectWords(const pdf::PageText& page, const std::vector<pdf::Box>& taken)
{
    std::vector<const pdf::TextWord*> words;
    for (const auto& flow : page.flows)
        for (const auto& block : flow.blocks) {
            if (block.rotation != 0)
                continue;
            for (const auto& line : block.lines)
                for (const auto& w : line.words) {
                    const bool finite = std::isfinite(w.box.xMin) && std::isfinite(w.box.xMax) && std::isfinite(w.box.yMin)
                        && std::isfinite(w.box.yMax) && std::isfinite(w.baseline) && std::isfinite(w.fontSize);
                    if (!finite || w.picture || w.text.empty() || !(w.fontSize > 0) || w.box.width() < 0)
                        continue;
                    const double cx = (w.box.xMin + w.box.xMax) / 2, cy = (w.box.yMin + w.box.yMax) / 2;
                    if (std::any_of(taken.begin(), taken.end(), [&](const pdf::Box& b) { return holdsPoint(b, cx, cy); }))
                        continue;
                    words.push_back(&w);
                }
        }
    return words;
}

PageLine makeLine(std::vector<const pdf::TextWord*> words)
{
    std::sort(words.begin(), words.end(), [](const auto* a, const auto* b) { return a->box.xMin < b->box.xMin; });
    PageLine line;
    std::vector<double> sizes;
    std::size_t dotRun = 0;
    line.top = words.front()->box.yMin;
    line.bottom = words.front()->box.yMax;
    line.baseline = words.front()->baseline;
    for (const auto* w : words) {
        sizes.push_back(w->fontSize);
        line.top = std::min(line.top, w->box.yMin);
        line.bottom = std::max(line.bottom, w->box.yMax);
        // Dots in a row, counted across words of their own and inside words.
        for (char32_t c : w->text) {
            dotRun = isDot(c) ? dotRun + 1 : 0;
            line.leaders = line.leaders || dotRun >= kLeaderDots;
        }
        const bool allDots = std::all_of(w->text.begin(), w->text.end(), isDot);
        if (!allDots)
            dotRun = 0;
    }
    std::nth_element(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2), sizes.end());
    line.fontSize = sizes[sizes.size() / 2];
    for (const auto* w : words) {
        const bool newCell = line.segments.empty()
            || w->box.xMin - line.segments.back().right >= kCellGapEm * std::max(w->fontSize, line.segments.back().words.back()->fontSize);
        if (newCell)
            line.segments.push_back({w->box.xMin, w->box.xMax, {}});
        Segment& s = line.segments.back();
        s.right = std::max(s.right, w->box.xMax);
        s.words.push_back(w);
    }
    line.monospaced = mostlyMonospaced(line.segments);
    return line;
}

// Stage 1: lines across the whole page by baseline (poppler's own lines and
// blocks may split a table's rows or join its cells), cut into cells.
std::vector<PageLine> groupLines(std::vector<const pdf::TextWord*> words)
{
    std::sort(words.begin(), words.end(), [](const auto* a, const auto* b) {
        return a->baseline != b->baseline ? a->baseline < b->baseline : a->box.xMin < b->box.xMin;
    });
    using Words = std::vector<const pdf::TextWord*>;
    std::vector<Words> groups;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= words.size(); ++i) {
        if (i < words.size() && words[i]->baseline - words[start]->baseline <= kBaselineToleranceEm * words[start]->fontSize)
            continue;
        if (i > start)
            groups.emplace_back(words.begin() + static_cast<std::ptrdiff_t>(start), words.begin() + static_cast<std::ptrdiff_t>(i));
        start = i;
    }
    // Scripts join the line they are set on.
    auto largest = [](const Words& g) {
        double size = 0;
        for (const auto* w : g)
            size = std::max(size, w->fontSize);
        return size;
    };
    auto carries = [&](const Words& line, const Words& script) {
        const double size = largest(line);
        return largest(script) <= kScriptSizeShare * size
            && std::abs(script.front()->baseline - line.front()->baseline) <= kScriptOffsetEm * size;
    };
    std::vector<Words> joined;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (!joined.empty() && carries(joined.back(), groups[i])) {
            joined.back().insert(joined.back().end(), groups[i].begin(), groups[i].end());
        } else if (i + 1 < groups.size() && carries(groups[i + 1], groups[i])) {
            groups[i + 1].insert(groups[i + 1].end(), groups[i].begin(), groups[i].end());
        } else {
            joined.push_back(std::move(groups[i]));
        }
    }
    std::vector<PageLine> lines;
    for (Words& g : joined)
        lines.push_back(makeLine(std::move(g)));
    return lines;
}

bool isProseSegment(const Segment& s, double fontSize)
{
    return s.words.size() >= kProseWords && s.right - s.left >= kProseLineEm * fontSize;
}

bool isPlainInteger(const Segment& s, long& value)
{
    const std::u32string& t = s.words.front()->text;
    if (s.words.size() != 1 || t.size() > 5 || !isPlainNumber(t))
        return false;
    value = 0;
    for (char32_t c : t)
        value = value * 10 + static_cast<long>(c - U'0');
    return true;
}

// Takes out the numbers a line-numbering package sets beside the text: a
// column of integers rising down the page, beside lines of prose. They would
// otherwise make every line a row of two cells.
void removeLineNumbers(std::vector<PageLine>& lines)
{
    struct Mark {
        std::size_t line;
        double edge;
        long value;
    };
    for (bool leftSide : {true, false}) {
        std::vector<Mark> marks;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const PageLine& l = lines[i];
            long value = 0;
            if (l.segments.size() >= 2 && isPlainInteger(leftSide ? l.segments.front() : l.segments.back(), value))
                marks.push_back({i, leftSide ? l.segments.front().right : l.segments.back().left, value});
        }
        std::sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) { return a.edge < b.edge; });
        std::vector<bool> drop(lines.size(), false);
        for (std::size_t from = 0; from < marks.size();) {
            std::size_t to = from + 1;
            while (to < marks.size() && marks[to].edge - marks[from].edge <= kLineNumberAlignEm * lines[marks[from].line].fontSize)
                ++to;
            std::vector<Mark> column(marks.begin() + static_cast<std::ptrdiff_t>(from), marks.begin() + static_cast<std::ptrdiff_t>(to));
            from = to;
            if (column.size() < kMinListingLineNumbers)
                continue;
            std::sort(column.begin(), column.end(), [](const Mark& a, const Mark& b) { return a.line < b.line; });
            std::size_t rising = 0, beforeProse = 0;
            for (std::size_t k = 0; k < column.size(); ++k) {
                rising += k > 0 && column[k].value > column[k - 1].value;
                const PageLine& l = lines[column[k].line];
                beforeProse += isProseSegment(leftSide ? l.segments[1] : l.segments[l.segments.size() - 2], l.fontSize);
            }
            if (static_cast<double>(rising) < kLineNumbersRisingShare * static_cast<double>(column.size() - 1) || beforeProse * 2 < column.size())
                continue;
            for (const Mark& m : column)
                drop[m.line] = true;
        }
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (drop[i]) {
                auto& segs = lines[i].segments;
                segs.erase(leftSide ? segs.begin() : segs.end() - 1);
            }
    }
}

double medianFontSize(const std::vector<PageLine>& lines)
{
    std::vector<double> sizes;
    for (const auto& l : lines)
        sizes.push_back(l.fontSize);
    std::nth_element(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2), sizes.end());
    return sizes[sizes.size() / 2];
}

// Stage 2: finds the gutter of two text columns and cuts the lines that
// carry prose on one side of it there. Lines that cross it (a title, a
// table across both columns) stay whole.
std::vector<PageLine> splitAtGutter(std::vector<PageLine> lines)
{
    if (lines.size() < 2 * kGutterMinProseLines)
        return lines;
    double textLeft = lines.front().segments.front().left, textRight = lines.front().segments.back().right;
    for (const auto& l : lines) {
        textLeft = std::min(textLeft, l.segments.front().left);
        textRight = std::max(textRight, l.segments.back().right);
    }
    if (textRight - textLeft > kMaxGutterScanPt)
        return lines;
    const auto bins = static_cast<std::size_t>(std::max(0.0, std::ceil(textRight - textLeft))) + 1;
    std::vector<long> crossing(bins + 1, 0); // lines' cells over each point, as differences
    for (const auto& l : lines)
        for (const auto& s : l.segments) {
            crossing[static_cast<std::size_t>(s.left - textLeft)] += 1;
            crossing[std::min(bins, static_cast<std::size_t>(s.right - textLeft) + 1)] -= 1;
        }
    const auto maxCrossing = static_cast<long>(kGutterMaxCrossingShare * static_cast<double>(lines.size()));
    const double minWidth = kGutterMinWidthEm * medianFontSize(lines);
    const auto from = static_cast<std::size_t>(0.25 * static_cast<double>(bins)), to = static_cast<std::size_t>(0.75 * static_cast<double>(bins));
    long count = 0;
    std::size_t bestStart = 0, bestWidth = 0, runStart = 0;
    for (std::size_t x = 0; x < bins; ++x) {
        count += crossing[x];
        const bool free = x >= from && x <= to && count <= maxCrossing;
        if (!free) {
            runStart = x + 1;
            continue;
        }
        if (x + 1 - runStart > bestWidth) {
            bestStart = runStart;
            bestWidth = x + 1 - runStart;
        }
    }
    if (static_cast<double>(bestWidth) < minWidth)
        return lines;
    const double gutterLeft = textLeft + static_cast<double>(bestStart), gutterRight = gutterLeft + static_cast<double>(bestWidth);

    // The two sides of each line, and whether both sides hold prose.
    std::size_t proseLeft = 0, proseRight = 0, linesLeft = 0, linesRight = 0;
    struct Sides {
        std::size_t leftCount = 0, rightCount = 0;
        bool crosses = false;
    };
    std::vector<Sides> sides(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (const auto& s : lines[i].segments) {
            if (s.right <= gutterLeft)
                ++sides[i].leftCount;
            else if (s.left >= gutterRight)
                ++sides[i].rightCount;
            else
                sides[i].crosses = true;
        }
        if (sides[i].crosses)
            continue;
        linesLeft += sides[i].leftCount > 0;
        linesRight += sides[i].rightCount > 0;
        if (sides[i].leftCount == 1 && isProseSegment(lines[i].segments.front(), lines[i].fontSize))
            ++proseLeft;
        if (sides[i].rightCount == 1 && isProseSegment(lines[i].segments.back(), lines[i].fontSize))
            ++proseRight;
    }
    // Prose in one text column at least; the other may hold code or a table.
    if (std::max(proseLeft, proseRight) < kGutterMinProseLines || std::min(linesLeft, linesRight) < kGutterMinProseLines)
        return lines;

    std::vector<PageLine> out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        PageLine& l = lines[i];
        const Sides& s = sides[i];
        if (s.crosses) {
            out.push_back(std::move(l));
        } else if (s.rightCount == 0 || s.leftCount == 0) {
            l.zone = s.rightCount == 0 ? Zone::Left : Zone::Right;
            out.push_back(std::move(l));
        } else if (s.leftCount == 1 || s.rightCount == 1) {
            // Text on one side at least: two lines, one per text column.
            PageLine right = l;
            right.segments.erase(right.segments.begin(), right.segments.begin() + static_cast<std::ptrdiff_t>(s.leftCount));
            right.zone = Zone::Right;
            l.segments.resize(s.leftCount);
            l.zone = Zone::Left;
            l.monospaced = mostlyMonospaced(l.segments);
            right.monospaced = mostlyMonospaced(right.segments);
            out.push_back(std::move(l));
            out.push_back(std::move(right));
        } else {
            out.push_back(std::move(l));
        }
    }
    return out;
}

// Joins intervals that overlap or leave less than a column gap between them.
std::vector<Interval> mergeIntervals(std::vector<Interval> spans, double minGap)
{
    std::sort(spans.begin(), spans.end(), [](const Interval& a, const Interval& b) { return a.left < b.left; });
    std::vector<Interval> merged;
    for (const Interval& s : spans) {
        if (!merged.empty() && s.left - merged.back().right < minGap)
            merged.back().right = std::max(merged.back().right, s.right);
        else
            merged.push_back(s);
    }
    return merged;
}

std::vector<Interval> withLine(std::vector<Interval> spans, const PageLine& line, double minGap)
{
    for (const auto& s : line.segments)
        spans.push_back({s.left, s.right});
    return mergeIntervals(std::move(spans), minGap);
}

std::size_t columnOf(const std::vector<Interval>& columns, const Segment& s)
{
    const double centre = (s.left + s.right) / 2;
    std::size_t best = 0;
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (centre >= columns[c].left)
            best = c;
    return best;
}

// A row of the candidate table: one or more lines (a wrapped cell adds lines).
struct Row {
    std::vector<const PageLine*> lines;
    std::vector<std::vector<const Segment*>> cells; // per column, line segments top to bottom
    std::size_t filled() const
    {
        return static_cast<std::size_t>(std::count_if(cells.begin(), cells.end(), [](const auto& c) { return !c.empty(); }));
    }
    double top() const { return lines.front()->top; }
    double bottom() const
    {
        double b = lines.front()->bottom;
        for (const auto* l : lines)
            b = std::max(b, l->bottom);
        return b;
    }
};

std::u32string cellText(const std::vector<const Segment*>& cell)
{
    std::u32string t;
    for (const auto* s : cell) {
        if (!t.empty())
            t += U' ';
        t += s->text();
    }
    return t;
}

// A number, an amount or a share: digits with signs, separators, currency.
bool isNumeric(const std::u32string& text)
{
    bool digit = false;
    for (char32_t c : text) {
        if (c >= U'0' && c <= U'9')
            digit = true;
        else if (std::u32string_view(U" .,%+-\u2212()$\u20AC\u00A3\u00A5\uFFE5*").find(c) == std::u32string_view::npos)
            return false;
    }
    return digit;
}

// A bullet, an enumerator such as "1.", "a)", "(iv)", or the mark that
// starts each line of a comment or a quotation ("%", "#", ">").
bool isListMarker(const std::u32string& text)
{
    if (text.size() == 1 && std::u32string_view(U"\u2022\u25E6\u25AA\u2023\u2013\u2014-*\u00B7\u25A0\u25A1\u25CF\u25CB\u25BA\u2713\u2043%#>;").find(text[0]) != std::u32string_view::npos)
        return true;
    if (!text.empty() && text.find_first_not_of(U"%#>; ") == std::u32string::npos)
        return true; // "% %": comment marks
    if (text.size() < 2 || text.size() > 6 || text.find(U' ') != std::u32string::npos)
        return false;
    const char32_t last = text.back();
    return last == U'.' || last == U')' || (text.front() == U'(' && last == U')');
}

// An equation number: "(3)", "(2.14)".
bool isEquationNumber(const std::u32string& text)
{
    return text.size() >= 3 && text.front() == U'(' && text.back() == U')' && isNumeric(text.substr(1, text.size() - 2));
}

bool isPageNumber(const std::u32string& text, long& value)
{
    if (text.empty() || text.size() > 4 || !std::all_of(text.begin(), text.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; }))
        return false;
    value = 0;
    for (char32_t c : text)
        value = value * 10 + static_cast<long>(c - U'0');
    return value <= kMaxPageNumber;
}

void assignCells(std::vector<Row>& rows, const std::vector<Interval>& columns)
{
    for (Row& row : rows) {
        row.cells.assign(columns.size(), {});
        for (const auto* line : row.lines)
            for (const auto& s : line->segments)
                row.cells[columnOf(columns, s)].push_back(&s);
    }
}

std::vector<Interval> columnsOf(const std::vector<Row>& rows, double minGap)
{
    std::vector<Interval> spans;
    for (const Row& row : rows)
        for (const auto* line : row.lines)
            for (const auto& s : line->segments)
                spans.push_back({s.left, s.right});
    return mergeIntervals(std::move(spans), minGap);
}

// Lines whose cells are all in one column, under a line that fills that
// column, continue the row above (a wrapped cell) rather than start a row.
std::vector<Row> formRows(const std::vector<const PageLine*>& lines, const std::vector<Interval>& columns)
{
    std::vector<Row> rows;
    for (const PageLine* line : lines) {
        std::vector<std::size_t> used;
        for (const auto& s : line->segments)
            used.push_back(columnOf(columns, s));
        used.erase(std::unique(used.begin(), used.end()), used.end());
        bool continues = false;
        if (!rows.empty() && used.size() == 1) {
            const Row& above = rows.back();
            const PageLine* last = above.lines.back();
            const std::size_t c = used.front();
            const Interval& column = columns[c];
            for (const auto& s : last->segments)
                if (columnOf(columns, s) == c && s.right - s.left >= kWrapFillShare * (column.right - column.left))
                    continues = true;
            continues = continues && line->baseline - last->baseline <= kWrapPitchEm * line->fontSize;
            // The first line of the row spans more than one column.
            std::size_t aboveColumns = 0;
            for (const auto& seg : above.lines.front()->segments)
                aboveColumns += columnOf(columns, seg) != c;
            continues = continues && aboveColumns > 0;
        }
        if (continues)
            rows.back().lines.push_back(line);
        else
            rows.push_back({{line}, {}});
    }
    assignCells(rows, columns);
    return rows;
}

// Joins the columns filled in too few rows to the nearer column beside them.
void joinSparseColumns(std::vector<Row>& rows, std::vector<Interval>& columns)
{
    for (;;) {
        if (columns.size() < 2)
            return;
        std::size_t sparse = columns.size();
        for (std::size_t c = 0; c < columns.size() && sparse == columns.size(); ++c) {
            const auto filled = std::count_if(rows.begin(), rows.end(), [&](const Row& r) { return !r.cells[c].empty(); });
            if (static_cast<std::size_t>(filled) < kMinFilledRows)
                sparse = c;
        }
        if (sparse == columns.size())
            return;
        std::size_t into = sparse == 0 ? 1 : sparse - 1;
        if (sparse > 0 && sparse + 1 < columns.size()
            && columns[sparse + 1].left - columns[sparse].right < columns[sparse].left - columns[sparse - 1].right)
            into = sparse + 1;
        const std::size_t a = std::min(sparse, into), b = std::max(sparse, into);
        columns[a].right = std::max(columns[a].right, columns[b].right);
        columns.erase(columns.begin() + static_cast<std::ptrdiff_t>(b));
        assignCells(rows, columns);
    }
}

bool isProseColumn(const std::vector<Row>& rows, std::size_t c)
{
    std::size_t lines = 0, prose = 0;
    for (const Row& r : rows)
        for (const Segment* s : r.cells[c]) {
            ++lines;
            prose += isProseSegment(*s, r.lines.front()->fontSize);
        }
    return lines > 0 && prose * 2 >= lines;
}

// Every non-empty cell of the column passes `test`.
template <typename Test> bool wholeColumn(const std::vector<Row>& rows, std::size_t c, Test test)
{
    std::size_t seen = 0;
    for (const Row& r : rows) {
        if (r.cells[c].empty())
            continue;
        ++seen;
        if (!test(cellText(r.cells[c])))
            return false;
    }
    return seen > 0;
}

// A contents list: page numbers that never go down in the last column, text
// before them.
bool isContentsColumn(const std::vector<Row>& rows, std::size_t last)
{
    long previous = -1;
    bool ordered = true;
    const bool pages = wholeColumn(rows, last, [&](const std::u32string& t) {
        long value = 0;
        if (!isPageNumber(t, value))
            return false;
        ordered = ordered && value >= previous;
        previous = value;
        return true;
    });
    return pages && ordered && !wholeColumn(rows, last - 1, isNumeric);
}

// Page numbers after text, in any column: contents set in columns too.
bool looksLikeContents(const std::vector<Row>& rows)
{
    for (std::size_t c = 1; c < rows.front().cells.size(); ++c)
        if (isContentsColumn(rows, c))
            return true;
    return false;
}

// Whether the column's lines share a centre; `ragged` tells whether their
// edges differ too (else they are as wide and any alignment fits).
bool isCentredColumn(const std::vector<Row>& rows, std::size_t c, double fontSize, bool& ragged)
{
    double minLeft = 1e9, maxLeft = -1e9, minCentre = 1e9, maxCentre = -1e9;
    std::size_t lines = 0;
    for (const Row& r : rows)
        for (const Segment* s : r.cells[c]) {
            ++lines;
            minLeft = std::min(minLeft, s->left);
            maxLeft = std::max(maxLeft, s->left);
            minCentre = std::min(minCentre, (s->left + s->right) / 2);
            maxCentre = std::max(maxCentre, (s->left + s->right) / 2);
        }
    ragged = maxLeft - minLeft > kEdgeSpreadEm * fontSize;
    return lines >= 2 && maxCentre - minCentre <= kCentreSpreadEm * fontSize;
}

// Side-by-side centred blocks of text, without a number: a title page's
// authors, signatures.
bool looksLikeCentredBlocks(const std::vector<Row>& rows)
{
    const double fontSize = rows.front().lines.front()->fontSize;
    const std::size_t columns = rows.front().cells.size();
    std::size_t raggedColumns = 0;
    for (std::size_t c = 0; c < columns; ++c) {
        bool ragged = false;
        if (!isCentredColumn(rows, c, fontSize, ragged))
            return false;
        raggedColumns += ragged;
    }
    if (raggedColumns * 2 <= columns)
        return false;
    for (const Row& r : rows)
        for (const auto& cell : r.cells)
            if (!cell.empty() && isNumeric(cellText(cell)))
                return false;
    return true;
}

bool isShortCell(const Segment& s, double fontSize)
{
    return s.words.size() <= kShortCellWords && s.right - s.left <= kShortCellEm * fontSize;
}

// Two columns make a table only in many short, evenly spaced rows.
bool isTwoColumnTable(const std::vector<Row>& rows)
{
    if (rows.size() < kMinTwoColumnRows)
        return false;
    double minPitch = 0, maxPitch = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (const auto* line : rows[i].lines)
            for (const auto& s : line->segments)
                if (!isShortCell(s, line->fontSize))
                    return false;
        if (i == 0)
            continue;
        const double pitch = rows[i].lines.front()->baseline - rows[i - 1].lines.front()->baseline;
        minPitch = i == 1 ? pitch : std::min(minPitch, pitch);
        maxPitch = i == 1 ? pitch : std::max(maxPitch, pitch);
    }
    return maxPitch <= kRegularPitchRatio * minPitch;
}

bool mostlyBold(const Row& row)
{
    std::size_t bold = 0, all = 0;
    for (const auto* line : row.lines)
        for (const auto& s : line->segments)
            for (const auto* w : s.words) {
                all += w->text.size();
                bold += w->bold ? w->text.size() : 0;
            }
    return bold * 2 > all;
}

std::size_t headerRowsOf(const std::vector<Row>& rows)
{
    if (mostlyBold(rows.front()) && std::none_of(rows.begin() + 1, rows.end(), mostlyBold))
        return 1;
    // Text over columns of numbers.
    const std::size_t columns = rows.front().cells.size();
    std::size_t numericColumns = 0;
    for (std::size_t c = 0; c < columns; ++c) {
        std::size_t filled = 0, numbers = 0;
        for (std::size_t r = 1; r < rows.size(); ++r)
            if (!rows[r].cells[c].empty()) {
                ++filled;
                numbers += isNumeric(cellText(rows[r].cells[c]));
            }
        const bool numeric = filled > 0 && static_cast<double>(numbers) >= kNumericColumnShare * static_cast<double>(filled);
        if (numeric && !rows.front().cells[c].empty()) {
            if (isNumeric(cellText(rows.front().cells[c])))
                return 0;
            ++numericColumns;
        }
    }
    return numericColumns > 0 ? 1 : 0;
}

TableGrid makeGrid(const std::vector<Row>& rows, const std::vector<Interval>& columns)
{
    TableGrid grid;
    grid.columnEdges.push_back(columns.front().left);
    for (std::size_t c = 1; c < columns.size(); ++c)
        grid.columnEdges.push_back((columns[c - 1].right + columns[c].left) / 2);
    grid.columnEdges.push_back(columns.back().right);
    grid.rowEdges.push_back(rows.front().top());
    for (std::size_t r = 1; r < rows.size(); ++r)
        grid.rowEdges.push_back((rows[r - 1].bottom() + rows[r].top()) / 2);
    grid.rowEdges.push_back(rows.back().bottom());
    grid.box = {grid.columnEdges.front(), grid.rowEdges.front(), grid.columnEdges.back(), grid.rowEdges.back()};
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < columns.size(); ++c) {
            GridCell cell;
            cell.row = r;
            cell.column = c;
            cell.box = {grid.columnEdges[c], grid.rowEdges[r], grid.columnEdges[c + 1], grid.rowEdges[r + 1]};
            grid.cells.push_back(cell);
        }
    grid.headerRows = headerRowsOf(rows);
    grid.ruled = false;
    return grid;
}

// Stage 4: the run of lines as a table, or nothing when it is something else.
bool makeTable(const std::vector<const PageLine*>& run, const std::vector<Interval>& runColumns, double minGap, TableGrid& grid)
{
    std::vector<Row> rows = formRows(run, runColumns);
    // Lines of one cell before and after the table are text around it.
    while (!rows.empty() && rows.back().filled() < 2)
        rows.pop_back();
    std::size_t first = 0;
    while (first < rows.size() && rows[first].filled() < 2)
        ++first;
    rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(first));
    if (rows.size() < kMinTableRows)
        return false;
    std::vector<Interval> columns = columnsOf(rows, minGap);
    assignCells(rows, columns);
    joinSparseColumns(rows, columns);
    if (columns.size() < 2 || columns.size() > kMaxTableColumns)
        return false;
    const auto fullRows = std::count_if(rows.begin(), rows.end(), [](const Row& r) { return r.filled() >= 2; });
    if (static_cast<std::size_t>(fullRows) < kMinTableRows)
        return false;

    std::size_t words = 0, math = 0;
    for (const Row& r : rows)
        for (const auto* line : r.lines)
            for (const auto& s : line->segments)
                for (const auto* w : s.words) {
                    ++words;
                    math += isMathWord(*w);
                }
    if (static_cast<double>(math) >= kMaxMathShare * static_cast<double>(words))
        return false; // displayed formulas

    std::size_t proseColumns = 0;
    for (std::size_t c = 0; c < columns.size(); ++c)
        proseColumns += isProseColumn(rows, c);
    if (proseColumns >= 2)
        return false; // text columns
    if (wholeColumn(rows, 0, isListMarker))
        return false; // a list
    if (wholeColumn(rows, columns.size() - 1, isEquationNumber) || wholeColumn(rows, 0, isEquationNumber))
        return false; // displayed equations
    if (looksLikeContents(rows) || looksLikeCentredBlocks(rows))
        return false;
    if (columns.size() == 2 && !isTwoColumnTable(rows))
        return false;
    grid = makeGrid(rows, columns);
    return true;
}

// Lines of code in columns (aligned comments, declarations) end a run; a
// single cell in a typewriter font may be a table's wrapped command.
bool usable(const PageLine& line) { return !(line.monospaced && line.segments.size() > 1) && !line.leaders; }

// Whether two lines have their cells starting at the same places.
bool sameLayout(const PageLine& a, const PageLine& b)
{
    if (a.segments.size() != b.segments.size())
        return false;
    const double tolerance = kMinColumnGapEm * a.fontSize;
    for (std::size_t k = 0; k < a.segments.size(); ++k)
        if (std::abs(a.segments[k].left - b.segments[k].left) > tolerance)
            return false;
    return true;
}

// Stage 3: runs of lines that keep their column gaps, each offered as a table.
void findInSequence(const std::vector<const PageLine*>& lines, std::vector<TableGrid>& tables)
{
    std::size_t i = 0;
    while (i < lines.size()) {
        const PageLine& start = *lines[i];
        if (!usable(start) || start.segments.size() < 2) {
            ++i;
            continue;
        }
        const double minGap = kMinColumnGapEm * start.fontSize;
        std::vector<Interval> columns = withLine({}, start, minGap);
        std::size_t end = i + 1;
        for (; end < lines.size(); ++end) {
            const PageLine& next = *lines[end];
            const PageLine& above = *lines[end - 1];
            if (!usable(next) || next.top - above.bottom > kMaxRowGapEm * next.fontSize
                || next.baseline - above.baseline < kMinRowPitchEm * std::max(next.fontSize, above.fontSize))
                break;
            std::vector<Interval> merged = withLine(columns, next, minGap);
            if (merged.size() < columns.size())
                break;
            columns = std::move(merged);
        }
        TableGrid grid;
        if (end - i >= kMinTableRows
            && makeTable({lines.begin() + static_cast<std::ptrdiff_t>(i), lines.begin() + static_cast<std::ptrdiff_t>(end)}, columns, minGap, grid)) {
            tables.push_back(std::move(grid));
            i = end;
        } else {
            std::size_t next = i + 1;
            while (end - i > kMaxRetriedRunLines && next < end && sameLayout(*lines[next], start))
                ++next;
            i = next;
        }
    }
}

} // namespace

std::vector<TableGrid> findAlignedTables(const pdf::PageText& page, const std::vector<pdf::Box>& taken)
{
    std::vector<const pdf::TextWord*> words = collectWords(page, taken);
    if (words.empty())
        return {};
    std::vector<PageLine> grouped = groupLines(std::move(words));
    removeLineNumbers(grouped);
    const std::vector<PageLine> lines = splitAtGutter(std::move(grouped));

    // Each text column on its own; lines across the gutter end a run in a
    // text column, and lines of a text column end a run across the page.
    std::vector<TableGrid> tables;
    for (Zone zone : {Zone::Whole, Zone::Left, Zone::Right}) {
        std::vector<const PageLine*> sequence;
        for (const PageLine& line : lines) {
            const bool breaks = zone == Zone::Whole ? line.zone != Zone::Whole : line.zone == Zone::Whole;
            if (line.zone == zone) {
                sequence.push_back(&line);
            } else if (breaks && !sequence.empty()) {
                findInSequence(sequence, tables);
                sequence.clear();
            }
        }
        findInSequence(sequence, tables);
    }
    std::sort(tables.begin(), tables.end(), [](const TableGrid& a, const TableGrid& b) {
        return a.box.yMin != b.box.yMin ? a.box.yMin < b.box.yMin : a.box.xMin < b.box.xMin;
    });
    return tables;
}

} // namespace pwt::layout

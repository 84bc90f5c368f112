// Tables of aligned text on synthetic pages: the tables the finder must see,
// and the pages of aligned text that are not tables (text columns, contents,
// lists, code, equations). No PDF, no poppler.
#include "SyntheticPage.h"
#include "TableGrid.h"

#include <QtTest>

#include <array>
#include <functional>
#include <limits>

using namespace pwt;
using namespace pwt::layout;
using pwt::test::LineSpec;

namespace {

// Where the generator put a word: the cell it must land in.
struct Placed {
    pdf::Box box;
    std::size_t row = 0, column = 0;
};

struct ExpectedTable {
    std::size_t rows = 0, columns = 0, headerRows = 0;
    std::vector<Placed> words;
};

struct Sample {
    pdf::PageText page;
    std::vector<ExpectedTable> tables; // top to bottom
    std::vector<pdf::Box> taken;
};

enum class Align { Left, Right };

struct TableSketch {
    double top = 100;                 // the first row's baseline
    std::vector<double> x;            // per column: its left edge, or its right edge when right-aligned
    std::vector<Align> align;         // Left when missing
    std::vector<std::vector<std::u32string>> rows; // "" an empty cell; "a\nb" a cell of two lines
    std::size_t headerRows = 0;       // what the finder should report
    bool boldHeader = false;
    std::string font = "ABCDEF+TimesNewRomanPSMT";
    double rowPitch = 14;             // baseline to baseline between rows
    double linePitch = 11;            // between the lines of one cell
};

constexpr double kSize = 10;

// One line of text at x (or ending at x), a block of its own; returns its words' boxes.
std::vector<pdf::Box> place(pdf::PageText& page, const std::u32string& text, double x, double baseline,
    Align align = Align::Left, bool bold = false, const std::string& font = "ABCDEF+TimesNewRomanPSMT", double size = kSize)
{
    LineSpec sketch{text, x, baseline, size, bold, false, font};
    if (align == Align::Right) {
        const pdf::TextLine measured = test::makeLine(sketch);
        sketch.x -= measured.words.back().box.xMax - measured.words.front().box.xMin;
    }
    const pdf::TextFlow& flow = test::addBlock(page, {sketch});
    std::vector<pdf::Box> boxes;
    for (const auto& w : flow.blocks.back().lines.back().words)
        boxes.push_back(w.box);
    return boxes;
}

// Each cell a block of its own, as poppler often splits tables.
ExpectedTable addTable(pdf::PageText& page, const TableSketch& t)
{
    ExpectedTable expected{t.rows.size(), t.x.size(), t.headerRows, {}};
    double baseline = t.top;
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        std::size_t lines = 1;
        for (std::size_t c = 0; c < t.rows[r].size(); ++c) {
            const std::u32string& text = t.rows[r][c];
            std::size_t start = 0, line = 0;
            while (start < text.size()) {
                std::size_t end = text.find(U'\n', start);
                if (end == std::u32string::npos)
                    end = text.size();
                const Align align = c < t.align.size() ? t.align[c] : Align::Left;
                for (const pdf::Box& b : place(page, text.substr(start, end - start), t.x[c],
                         baseline + t.linePitch * static_cast<double>(line), align, r == 0 && t.boldHeader, t.font))
                    expected.words.push_back({b, r, c});
                start = end + 1;
                lines = std::max(lines, ++line);
            }
        }
        baseline += t.rowPitch + t.linePitch * static_cast<double>(lines - 1);
    }
    return expected;
}

// Lines of running text `chars` characters wide (5 pt a character), `pitch` apart.
void prose(pdf::PageText& page, double x, double baseline, int lines, std::size_t chars, double pitch = 12)
{
    static const std::u32string kText =
        U"tables of figures are read more easily than the same numbers told in sentences and the reader "
        U"who compares rows finds what changed at a glance while the prose around them explains why ";
    std::vector<LineSpec> sketches;
    for (int i = 0; i < lines; ++i) {
        std::size_t from = (static_cast<std::size_t>(i) * 37) % 60;
        from = kText.find(U' ', from) + 1;
        std::u32string text = kText.substr(from, chars);
        text = text.substr(0, text.find_last_of(U' '));
        sketches.push_back({text, x, baseline + pitch * i});
    }
    test::addBlock(page, sketches);
}

// Words at the given top-left corners, added to the page's last line.
void oddWords(pdf::PageText& page, const std::vector<std::pair<double, double>>& corners)
{
    for (auto [x, y] : corners) {
        pdf::TextWord w;
        w.text = U"odd";
        w.box = {x, y, x + 10, y + 10};
        w.baseline = y + 8;
        page.flows.back().blocks.back().lines.back().words.push_back(w);
    }
}

TableSketch quarterlyTable(double top)
{
    TableSketch t;
    t.top = top;
    t.x = {72, 250, 330, 410};
    t.align = {Align::Left, Align::Right, Align::Right, Align::Right};
    t.rows = {{U"Region", U"First half", U"Second half", U"Total"},
        {U"North", U"1,204", U"980", U"2,184"},
        {U"South east", U"88", U"1,020", U"1,108"},
        {U"West", U"312.5", U"17", U"329.5"},
        {U"Overseas offices", U"4", U"9", U"13"},
        {U"All regions", U"1,608.5", U"2,026", U"3,634.5"}};
    t.boldHeader = true;
    t.headerRows = 1;
    return t;
}

struct Case {
    const char* name;
    std::function<Sample()> sample;
};

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        {"four columns, bold header, numbers aligned right", [] {
             Sample s;
             s.tables.push_back(addTable(s.page, quarterlyTable(100)));
             return s;
         }},
        {"Chinese table", [] {
             Sample s;
             TableSketch t;
             t.x = {72, 200, 320};
             t.align = {Align::Left, Align::Right, Align::Right};
             t.font = "ABCDEF+SimSun";
             t.rows = {{U"项目", U"数量", U"金额"}, {U"苹果", U"12", U"36.00"}, {U"梨子", U"7", U"24.50"},
                 {U"西瓜", U"2", U"30.00"}, {U"合计", U"21", U"90.50"}};
             t.headerRows = 1; // text over numbers
             s.tables.push_back(addTable(s.page, t));
             return s;
         }},
        {"a label wrapped under itself", [] {
             Sample s;
             TableSketch t;
             t.x = {72, 220, 300};
             t.align = {Align::Left, Align::Right, Align::Right};
             t.rows = {{U"Item", U"2023", U"2024"}, {U"Revenue", U"410", U"455"},
                 {U"Net income from\noperations", U"38", U"51"}, {U"Taxes", U"9", U"12"}, {U"Staff", U"120", U"131"}};
             t.boldHeader = true;
             t.headerRows = 1;
             s.tables.push_back(addTable(s.page, t));
             return s;
         }},
        {"empty cells", [] {
             Sample s;
             TableSketch t;
             t.x = {72, 160, 220, 280};
             t.rows = {{U"Name", U"Mon", U"Tue", U"Wed"}, {U"Anna", U"3", U"", U"5"}, {U"Ben", U"", U"2", U"4"},
                 {U"Carl", U"1", U"", U""}, {U"Dora", U"2", U"6", U""}};
             t.headerRows = 1;
             s.tables.push_back(addTable(s.page, t));
             return s;
         }},
        {"commands in a typewriter font, one wrapped alone on its line", [] {
             Sample s;
             TableSketch t;
             t.x = {72, 160, 300};
             t.rows = {{U"Prefix", U"Module", U"Registrant"}, {U"chk", U"l3kernel", U"The LaTeX Project"},
                 {U"coffin", U"l3kernel\nxcoffins", U"The LaTeX Project"}, {U"csl", U"citation", U"Zeping Lee"},
                 {U"ctex", U"ctex", U"Qing Lee"}};
             t.boldHeader = true;
             t.headerRows = 1;
             s.tables.push_back(addTable(s.page, t));
             // The first two columns in a typewriter font.
             for (auto& flow : s.page.flows)
                 for (auto& block : flow.blocks)
                     for (auto& line : block.lines)
                         for (auto& w : line.words)
                             if (w.box.xMin < 250)
                                 w.fontName = "ABCDEF+CourierNewPSMT";
             return s;
         }},
        {"two short columns in many rows", [] {
             Sample s;
             TableSketch t;
             t.x = {72, 200};
             t.rows = {{U"Oslo", U"Norway"}, {U"Lima", U"Peru"}, {U"Quito", U"Ecuador"}, {U"Hanoi", U"Vietnam"},
                 {U"Accra", U"Ghana"}, {U"Bern", U"Switzerland"}};
             s.tables.push_back(addTable(s.page, t));
             return s;
         }},
        {"a table between two paragraphs", [] {
             Sample s;
             prose(s.page, 72, 100, 5, 90);
             TableSketch t;
             t.top = 172;
             t.x = {72, 260, 360};
             t.align = {Align::Left, Align::Right, Align::Right};
             t.rows = {{U"Sample", U"Mass", U"Volume"}, {U"Granite", U"2.75", U"1.00"}, {U"Basalt", U"3.01", U"1.10"},
                 {U"Chalk", U"2.20", U"0.95"}};
             t.headerRows = 1;
             s.tables.push_back(addTable(s.page, t));
             prose(s.page, 72, 240, 5, 90);
             return s;
         }},
        {"a table in one column of two-column text", [] {
             Sample s;
             prose(s.page, 72, 100, 8, 44);
             TableSketch t;
             t.top = 208;
             t.x = {72, 190, 270};
             t.align = {Align::Left, Align::Right, Align::Right};
             t.rows = {{U"Run", U"Time", U"Error"}, {U"First", U"12.1", U"0.31"}, {U"Second", U"11.7", U"0.29"},
                 {U"Third", U"13.0", U"0.35"}};
             t.boldHeader = true;
             t.headerRows = 1;
             s.tables.push_back(addTable(s.page, t));
             prose(s.page, 72, 270, 8, 44);
             prose(s.page, 310, 100, 22, 44);
             return s;
         }},
        {"a table with footnote marks raised above its cells", [] {
             Sample s;
             TableSketch t = quarterlyTable(100);
             s.tables.push_back(addTable(s.page, t));
             // A mark right after the label of rows 1, 3 and 5.
             for (std::size_t row : {1, 3, 5}) {
                 const double labelEnd = 72 + static_cast<double>(t.rows[row][0].size()) * kSize * test::kCharEm;
                 const double baseline = t.top + t.rowPitch * static_cast<double>(row);
                 const pdf::Box mark = place(s.page, U"a", labelEnd + 0.5, baseline - 3.5, Align::Left, false, "ABCDEF+TimesNewRomanPSMT", 7).front();
                 s.tables.back().words.push_back({mark, row, 0});
             }
             return s;
         }},
        {"a table between numbered lines", [] {
             Sample s;
             auto number = [&](int n, double y) {
                 place(s.page, std::u32string(n >= 10 ? 1 : 0, U'1') + std::u32string(1, U'0' + static_cast<char32_t>(n % 10)), 60, y, Align::Right);
             };
             for (int i = 0; i < 8; ++i) {
                 prose(s.page, 72, 100 + 12.0 * i, 1, 90);
                 number(i + 1, 100 + 12.0 * i);
             }
             TableSketch t;
             t.top = 200;
             t.x = {72, 200, 280};
             t.align = {Align::Left, Align::Right, Align::Right};
             t.rows = {{U"Gas", U"Share", U"Mass"}, {U"Nitrogen", U"78.1", U"28.0"}, {U"Oxygen", U"20.9", U"32.0"}, {U"Argon", U"0.9", U"39.9"}};
             t.headerRows = 1;
             s.tables.push_back(addTable(s.page, t));
             for (int i = 0; i < 4; ++i)
                 number(9 + i, 200 + 14.0 * i);
             return s;
         }},
        {"a table and words far off the page", [] {
             Sample s;
             s.tables.push_back(addTable(s.page, quarterlyTable(100)));
             prose(s.page, 72, 300, 12, 90); // enough lines to look for a gutter
             oddWords(s.page, {{1e9, 70}, {-1e9, 80}});
             return s;
         }},
        {"a table and words at no place", [] {
             Sample s;
             s.tables.push_back(addTable(s.page, quarterlyTable(100)));
             prose(s.page, 72, 300, 12, 90);
             const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
             oddWords(s.page, {{nan, 60}, {inf, 70}, {-inf, nan}, {nan, nan}});
             return s;
         }},
        {"a table in an area already taken", [] {
             Sample s;
             addTable(s.page, quarterlyTable(100));
             s.taken.push_back({60, 80, 500, 200});
             return s;
         }},
        {"two-column running text", [] {
             Sample s;
             prose(s.page, 72, 100, 40, 44);
             prose(s.page, 310, 100, 40, 44);
             return s;
         }},
        {"contents with dot leaders", [] {
             Sample s;
             const std::vector<std::pair<std::u32string, std::u32string>> entries = {{U"Introduction", U"1"},
                 {U"Methods", U"4"}, {U"Results", U"9"}, {U"Discussion", U"15"}, {U"Conclusion", U"21"}, {U"References", U"23"}};
             for (std::size_t i = 0; i < entries.size(); ++i) {
                 const double y = 100 + 16.0 * static_cast<double>(i);
                 place(s.page, std::u32string(1, U'1' + static_cast<char32_t>(i)), 72, y);
                 place(s.page, entries[i].first + U" ........................", 90, y);
                 place(s.page, entries[i].second, 500, y, Align::Right);
             }
             return s;
         }},
        {"contents without leaders", [] {
             Sample s;
             const std::vector<std::pair<std::u32string, std::u32string>> entries = {{U"Introduction", U"1"},
                 {U"Methods", U"4"}, {U"Results", U"9"}, {U"Discussion", U"15"}, {U"Conclusion", U"21"}, {U"References", U"23"}};
             for (std::size_t i = 0; i < entries.size(); ++i) {
                 const double y = 100 + 16.0 * static_cast<double>(i);
                 place(s.page, std::u32string(1, U'1' + static_cast<char32_t>(i)), 72, y);
                 place(s.page, entries[i].first, 90, y);
                 place(s.page, entries[i].second, 500, y, Align::Right);
             }
             return s;
         }},
        {"bulleted list", [] {
             Sample s;
             for (int i = 0; i < 6; ++i) {
                 place(s.page, U"\u2022", 72, 100 + 14.0 * i);
                 place(s.page, i % 2 ? U"apples and pears" : U"plums", 88, 100 + 14.0 * i);
             }
             return s;
         }},
        {"numbered list", [] {
             Sample s;
             for (int i = 0; i < 6; ++i) {
                 place(s.page, std::u32string(1, U'1' + static_cast<char32_t>(i)) + U".", 72, 100 + 14.0 * i);
                 place(s.page, i % 2 ? U"check the seals" : U"open the valve", 100, 100 + 14.0 * i);
             }
             return s;
         }},
        {"code listing with aligned declarations", [] {
             Sample s;
             const std::vector<std::array<std::u32string, 3>> code = {{U"int", U"count;", U"// items seen"},
                 {U"double", U"total;", U"// their sum"}, {U"char*", U"name;", U"// of the set"},
                 {U"bool", U"done;", U"// no more"}, {U"long", U"limit;", U"// at most"}};
             for (std::size_t i = 0; i < code.size(); ++i)
                 for (std::size_t c = 0; c < 3; ++c)
                     place(s.page, code[i][c], 72 + 60.0 * static_cast<double>(c), 100 + 11.0 * static_cast<double>(i),
                         Align::Left, false, "ABCDEF+CourierNewPSMT");
             return s;
         }},
        {"code with line numbers", [] {
             Sample s;
             const char32_t* code[] = {U"\\ifdomestic{%", U"\\vspace{\\smallgap}%", U"}%", U"\\else{}%", U"\\fi%"};
             for (int i = 0; i < 5; ++i) {
                 place(s.page, std::u32string(1, U'1' + static_cast<char32_t>(i)), 80, 100 + 11.0 * i, Align::Right);
                 place(s.page, code[i], 100, 100 + 11.0 * i, Align::Left, false, "ABCDEF+Menlo-Regular");
             }
             return s;
         }},
        {"authors centred side by side", [] {
             Sample s;
             const char32_t* authors[][3] = {{U"Ann Lee", U"Bo Chen", U"Carla Diaz"},
                 {U"University of Leeds", U"Tsinghua University", U"Inria Paris"}, {U"Leeds, UK", U"Beijing, China", U"Paris, France"}};
             for (int r = 0; r < 3; ++r)
                 for (int c = 0; c < 3; ++c) {
                     const double width = static_cast<double>(std::u32string(authors[r][c]).size()) * kSize * test::kCharEm;
                     place(s.page, authors[r][c], 150 + 160.0 * c - width / 2, 100 + 13.0 * r);
                 }
             return s;
         }},
        {"a price list with dot leaders", [] {
             Sample s;
             const char32_t* items[] = {U"Coffee", U"Tea", U"Cocoa", U"Juice", U"Water", U"Milk"};
             for (int i = 0; i < 6; ++i) {
                 place(s.page, std::u32string(items[i]) + U" ..........", 72, 100 + 14.0 * i);
                 place(s.page, i % 2 ? U"2.50" : U"1.80", 220, 100 + 14.0 * i, Align::Right);
             }
             return s;
         }},
        {"three-column running text", [] {
             Sample s;
             for (double x : {72.0, 235.0, 398.0})
                 prose(s.page, x, 100, 40, 30);
             return s;
         }},
        {"a table with a title over it and a note under it", [] {
             Sample s;
             place(s.page, U"Table 2", 72, 86);
             TableSketch t = quarterlyTable(100);
             t.rows.resize(4);
             s.tables.push_back(addTable(s.page, t));
             place(s.page, U"Source: survey", 72, 156);
             return s;
         }},
        {"a justified paragraph with one loose line", [] {
             Sample s;
             prose(s.page, 72, 100, 2, 90);
             double x = 72;
             for (const char32_t* w : {U"loosely", U"set", U"words", U"across", U"the", U"measure"}) {
                 x = place(s.page, w, x, 124).back().xMax + 40;
             }
             prose(s.page, 72, 136, 3, 90);
             return s;
         }},
        {"displayed equations with numbers", [] {
             Sample s;
             const char32_t* lines[] = {U"a=b+c", U"d=e\u2212f", U"g=h\u00D7k", U"m=n/p", U"q=r+s", U"t=u+v"};
             for (int i = 0; i < 6; ++i) {
                 place(s.page, lines[i], 250, 100 + 20.0 * i);
                 place(s.page, U"(" + std::u32string(1, U'1' + static_cast<char32_t>(i)) + U")", 520, 100 + 20.0 * i, Align::Right);
             }
             return s;
         }},
        {"aligned formulas", [] {
             Sample s;
             const char32_t* rows[][3] = {{U"x", U"=", U"a+b"}, {U"y", U"=", U"c\u2212d"}, {U"z", U"=", U"e\u00B7f"}, {U"w", U"\u2264", U"g/h"}};
             for (int r = 0; r < 4; ++r)
                 for (int c = 0; c < 3; ++c)
                     place(s.page, rows[r][c], 200 + 30.0 * c, 100 + 16.0 * r, Align::Left, false, "ABCDEF+CMMI10");
             return s;
         }},
        {"a sum with its limits and scripts", [] {
             Sample s;
             // Lines of one formula closer than any two rows of a table.
             for (int r = 0; r < 4; ++r) {
                 place(s.page, U"n", 200, 100 + 6.0 * r);
                 place(s.page, U"k", 230, 100 + 6.0 * r);
                 place(s.page, U"m", 260, 100 + 6.0 * r);
             }
             return s;
         }},
        {"a running head and a centred page number", [] {
             Sample s;
             place(s.page, U"Chapter 2", 72, 60);
             place(s.page, U"Measuring tables", 250, 60);
             place(s.page, U"17", 520, 60, Align::Right);
             prose(s.page, 72, 100, 20, 90);
             place(s.page, U"17", 292, 800);
             return s;
         }},
        {"two short columns in three rows", [] {
             Sample s;
             place(s.page, U"Author:", 72, 100);
             place(s.page, U"J. Smith", 140, 100);
             place(s.page, U"Date:", 72, 114);
             place(s.page, U"May 2024", 140, 114);
             place(s.page, U"Place:", 72, 128);
             place(s.page, U"Leeds", 140, 128);
             return s;
         }},
    };
    return all;
}

bool centreIn(const pdf::Box& word, const pdf::Box& box)
{
    return holdsPoint(box, (word.xMin + word.xMax) / 2, (word.yMin + word.yMax) / 2);
}

const GridCell* cellAt(const TableGrid& grid, std::size_t row, std::size_t column)
{
    for (const GridCell& c : grid.cells)
        if (c.row == row && c.column == column)
            return &c;
    return nullptr;
}

} // namespace

class AlignedTablesTest : public QObject {
    Q_OBJECT

private slots:
    void pages_data()
    {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << static_cast<int>(i);
    }

    void pages()
    {
        QFETCH(int, index);
        const Sample sample = cases()[static_cast<std::size_t>(index)].sample();
        const std::vector<TableGrid> found = findAlignedTables(sample.page, sample.taken);
        QCOMPARE(found.size(), sample.tables.size());
        for (std::size_t t = 0; t < found.size(); ++t) {
            const TableGrid& grid = found[t];
            const ExpectedTable& expected = sample.tables[t];
            QCOMPARE(grid.rows(), expected.rows);
            QCOMPARE(grid.columns(), expected.columns);
            QCOMPARE(grid.headerRows, expected.headerRows);
            QVERIFY(!grid.ruled);
            QCOMPARE(grid.cells.size(), expected.rows * expected.columns);
            for (const GridCell& c : grid.cells)
                QVERIFY(c.top.width == 0 && c.bottom.width == 0 && c.left.width == 0 && c.right.width == 0);
            for (const Placed& p : expected.words) {
                const GridCell* cell = cellAt(grid, p.row, p.column);
                QVERIFY(cell);
                QVERIFY2(centreIn(p.box, cell->box), qPrintable(QStringLiteral("a word of row %1, column %2 lies outside its cell")
                                                                 .arg(p.row).arg(p.column)));
            }
        }
        // No other word of the page lies in a table.
        std::size_t inTables = 0;
        for (const auto& flow : sample.page.flows)
            for (const auto& block : flow.blocks)
                for (const auto& line : block.lines)
                    for (const auto& w : line.words)
                        for (const TableGrid& grid : found)
                            inTables += centreIn(w.box, grid.box);
        std::size_t expectedInTables = 0;
        for (const ExpectedTable& e : sample.tables)
            expectedInTables += e.words.size();
        QCOMPARE(inTables, expectedInTables);
    }

    // 5,000 words in one table of 10 columns: found whole, without comparing
    // every word with every other; 5,000 words of a list: no table.
    void crowdedPageStaysFast()
    {
        pdf::PageText page;
        TableSketch t;
        for (int c = 0; c < 10; ++c)
            t.x.push_back(72 + 50.0 * c);
        for (int r = 0; r < 500; ++r) {
            std::vector<std::u32string> row;
            for (int c = 0; c < 10; ++c)
                row.push_back(std::u32string(1, U'a' + static_cast<char32_t>((r + c) % 26)) + U"x" + std::u32string(1, U'0' + static_cast<char32_t>(c)));
            t.rows.push_back(row);
        }
        addTable(page, t);
        QCOMPARE(page.wordCount(), std::size_t(5000));
        const std::vector<TableGrid> found = findAlignedTables(page, {});
        QCOMPARE(found.size(), std::size_t(1));
        QCOMPARE(found.front().rows(), std::size_t(500));
        QCOMPARE(found.front().columns(), std::size_t(10));

        // 5,000 words of a bulleted list in columns: judged once, no table.
        pdf::PageText list;
        TableSketch items;
        items.x = {72, 90, 200, 300};
        for (int r = 0; r < 1250; ++r)
            items.rows.push_back({U"\u2022", U"item", U"x", U"y"});
        addTable(list, items);
        QCOMPARE(list.wordCount(), std::size_t(5000));
        QVERIFY(findAlignedTables(list, {}).empty());
    }
};

QTEST_APPLESS_MAIN(AlignedTablesTest)
#include "AlignedTablesTest.moc"

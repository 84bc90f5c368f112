// Tables drawn with lines or shaded rows, on synthetic pages: paths built
// directly, words as poppler reports them. No PDF, no poppler.
#include "SyntheticPage.h"
#include "TableGrid.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

using namespace pwt;
using namespace pwt::layout;
using pwt::test::LineSpec;

namespace {

constexpr std::uint32_t kHeaderNavy = 0x1F4E79;
constexpr std::uint32_t kZebraBlue = 0xDDEBF7;
constexpr std::uint32_t kBarBlue = 0x4472C4;
constexpr std::uint32_t kRuleGrey = 0x404040;
constexpr double kThinRule = 0.75;

pdf::PagePath stroke(double x0, double y0, double x1, double y1, double width = kThinRule, std::uint32_t rgb = 0)
{
    pdf::PagePath p;
    p.box = {x0, y0, x1, y1};
    p.stroked = true;
    p.strokeRgb = rgb;
    p.lineWidth = width;
    p.rectangle = true;
    return p;
}

pdf::PagePath filled(pdf::Box box, std::uint32_t rgb)
{
    pdf::PagePath p;
    p.box = box;
    p.filled = true;
    p.fillRgb = rgb;
    p.rectangle = true;
    return p;
}

std::u32string cellText(std::size_t r, std::size_t c)
{
    std::string s = "r" + std::to_string(r) + "c" + std::to_string(c);
    return std::u32string(s.begin(), s.end());
}

// A table of `rows` rows of `rowHeight` points and columns of `widths`, its
// top-left corner at (x, y), with "rXcY" in each cell.
struct Sketch {
    double x = 72, y = 100;
    std::vector<double> widths{90, 90, 90};
    double rowHeight = 18;
    std::size_t rows = 4;
    bool boldHeader = false;
    double headerRule = kThinRule; // the rule under the first row
    // Segments left out: the horizontal one on row edge `edge` over column
    // `slot`, the vertical one on column edge `edge` beside row `slot`.
    std::function<bool(std::size_t edge, std::size_t slot)> skipHorizontal = [](std::size_t, std::size_t) { return false; };
    std::function<bool(std::size_t edge, std::size_t slot)> skipVertical = [](std::size_t, std::size_t) { return false; };
    std::function<bool(std::size_t r, std::size_t c)> hasText = [](std::size_t, std::size_t) { return true; };
    double shortBy = 0; // vertical lines stop this short of the rules, rules start this late

    double column(std::size_t c) const
    {
        double x0 = x;
        for (std::size_t i = 0; i < c; ++i)
            x0 += widths[i];
        return x0;
    }
    double row(std::size_t r) const { return y + rowHeight * static_cast<double>(r); }
    double right() const { return column(widths.size()); }
    double bottom() const { return row(rows); }
};

void addWords(pdf::PageText& page, const Sketch& t)
{
    for (std::size_t r = 0; r < t.rows; ++r)
        for (std::size_t c = 0; c < t.widths.size(); ++c)
            if (t.hasText(r, c))
                test::addBlock(page, {{cellText(r, c), t.column(c) + 4, t.row(r) + t.rowHeight - 5, 10, r == 0 && t.boldHeader}});
}

// Every line drawn slot by slot, as many generators draw tables.
void drawGrid(pdf::PageText& page, const Sketch& t)
{
    for (std::size_t e = 0; e <= t.rows; ++e)
        for (std::size_t c = 0; c < t.widths.size(); ++c)
            if (!t.skipHorizontal(e, c))
                page.paths.push_back(stroke(t.column(c) + t.shortBy, t.row(e), t.column(c + 1), t.row(e), e == 1 ? t.headerRule : kThinRule));
    for (std::size_t e = 0; e <= t.widths.size(); ++e)
        for (std::size_t r = 0; r < t.rows; ++r)
            if (!t.skipVertical(e, r))
                page.paths.push_back(stroke(t.column(e), t.row(r) + t.shortBy, t.column(e), t.row(r + 1) - t.shortBy));
    addWords(page, t);
}

// Top rule, a rule under the header, bottom rule: no lines between columns.
void drawThreeRules(pdf::PageText& page, const Sketch& t)
{
    page.paths.push_back(stroke(t.x, t.row(0), t.right(), t.row(0), 1.0));
    page.paths.push_back(stroke(t.x, t.row(1), t.right(), t.row(1), 0.5));
    page.paths.push_back(stroke(t.x, t.bottom(), t.right(), t.bottom(), 1.0));
    addWords(page, t);
}

// A paragraph of `lines` lines of `words` words of differing lengths, as
// prose has: no gap runs down all its lines.
void paragraph(pdf::PageText& page, double x, double baseline, int lines, std::size_t words)
{
    static const char32_t* const kWords[] = {U"a", U"body", U"of", U"text", U"lines", U"in", U"prose"};
    std::vector<LineSpec> sketches;
    for (int i = 0; i < lines; ++i) {
        std::u32string text;
        for (std::size_t w = 0; w < words; ++w)
            text += (w == 0 ? U"" : U" ") + std::u32string(kWords[(((w + 1) * 2654435761u ^ (static_cast<std::size_t>(i) + 1) * 40503u) >> 7) % 7]);
        sketches.push_back({text, x, baseline + 12.0 * i});
    }
    test::addBlock(page, sketches);
}

// What holds for every grid: edges in order, every slot covered by one cell,
// cells in reading order.
QString checkSane(const TableGrid& t)
{
    if (t.rows() < 2 || t.columns() < 2)
        return QStringLiteral("fewer than 2 rows or columns");
    for (std::size_t i = 1; i < t.rowEdges.size(); ++i)
        if (!(t.rowEdges[i] > t.rowEdges[i - 1]))
            return QStringLiteral("row edges out of order");
    for (std::size_t i = 1; i < t.columnEdges.size(); ++i)
        if (!(t.columnEdges[i] > t.columnEdges[i - 1]))
            return QStringLiteral("column edges out of order");
    std::vector<int> covered(t.rows() * t.columns(), 0);
    std::pair<std::size_t, std::size_t> last{0, 0};
    for (std::size_t i = 0; i < t.cells.size(); ++i) {
        const GridCell& c = t.cells[i];
        if (i > 0 && std::pair{c.row, c.column} <= last)
            return QStringLiteral("cells out of order");
        last = {c.row, c.column};
        if (c.row + c.rowSpan > t.rows() || c.column + c.columnSpan > t.columns())
            return QStringLiteral("cell outside the grid");
        for (std::size_t r = c.row; r < c.row + c.rowSpan; ++r)
            for (std::size_t k = c.column; k < c.column + c.columnSpan; ++k)
                ++covered[r * t.columns() + k];
    }
    if (std::any_of(covered.begin(), covered.end(), [](int n) { return n != 1; }))
        return QStringLiteral("a slot not covered exactly once");
    return {};
}

const GridCell* cellAt(const TableGrid& t, std::size_t row, std::size_t column)
{
    for (const GridCell& c : t.cells)
        if (c.row == row && c.column == column)
            return &c;
    return nullptr;
}

struct Expected {
    std::size_t rows = 0, columns = 0, headerRows = 0, cells = 0;
};

struct Case {
    const char* name;
    std::function<void(pdf::PageText&)> draw;
    std::vector<Expected> tables;
    // Further checks on the tables found; an empty string: all well.
    std::function<QString(const std::vector<TableGrid>&)> check = [](const std::vector<TableGrid>&) { return QString(); };
};

QString expect(bool ok, const char* what)
{
    return ok ? QString() : QString::fromLatin1(what);
}

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        {"full grid, bold header",
            [](pdf::PageText& page) {
                Sketch t;
                t.boldHeader = true;
                drawGrid(page, t);
            },
            {{4, 3, 1, 12}},
            [](const std::vector<TableGrid>& ts) {
                const TableGrid& t = ts.front();
                const Sketch s;
                for (std::size_t i = 0; i <= 4; ++i)
                    if (std::abs(t.rowEdges[i] - s.row(i)) > 0.01)
                        return QStringLiteral("row edge %1 at %2").arg(i).arg(t.rowEdges[i]);
                for (std::size_t i = 0; i <= 3; ++i)
                    if (std::abs(t.columnEdges[i] - s.column(i)) > 0.01)
                        return QStringLiteral("column edge %1 at %2").arg(i).arg(t.columnEdges[i]);
                const GridCell* c = cellAt(t, 2, 1);
                return expect(c && c->top.width == kThinRule && c->left.width == kThinRule && c->right.width == kThinRule
                        && c->bottom.width == kThinRule && !c->shaded && t.ruled,
                    "cell (2,1) not drawn on four sides");
            }},
        {"full grid, heavier rule under the header",
            [](pdf::PageText& page) {
                Sketch t;
                t.headerRule = 2.0;
                drawGrid(page, t);
            },
            {{4, 3, 1, 12}},
            [](const std::vector<TableGrid>& ts) {
                const GridCell* c = cellAt(ts.front(), 0, 0);
                return expect(c && c->bottom.width == 2.0 && c->top.width == kThinRule, "header cell's edges");
            }},
        {"full grid, no header",
            [](pdf::PageText& page) { drawGrid(page, Sketch{}); },
            {{4, 3, 0, 12}}},
        {"three-rule table: columns from the gaps between words",
            [](pdf::PageText& page) {
                Sketch t;
                t.rows = 5;
                drawThreeRules(page, t);
            },
            {{5, 3, 1, 15}},
            [](const std::vector<TableGrid>& ts) {
                const TableGrid& t = ts.front();
                const Sketch s;
                // Column edges fall in the gaps: after a cell's word, before the next column's.
                for (std::size_t i = 1; i < 3; ++i)
                    if (t.columnEdges[i] <= s.column(i) - s.widths[i - 1] + 4 + 20 || t.columnEdges[i] >= s.column(i) + 4)
                        return QStringLiteral("column edge %1 at %2").arg(i).arg(t.columnEdges[i]);
                const GridCell* top = cellAt(t, 0, 1);
                const GridCell* body = cellAt(t, 2, 1);
                return expect(top && body && top->top.width == 1.0 && top->bottom.width == 0.5 && body->top.width == 0
                        && body->left.width == 0,
                    "drawn edges of the three-rule table");
            }},
        {"horizontal rules only, one under each row",
            [](pdf::PageText& page) {
                Sketch t;
                t.boldHeader = true;
                t.skipVertical = [](std::size_t, std::size_t) { return true; };
                drawGrid(page, t);
            },
            {{4, 3, 1, 12}},
            [](const std::vector<TableGrid>& ts) {
                const GridCell* c = cellAt(ts.front(), 2, 1);
                return expect(c && c->top.width == kThinRule && c->bottom.width == kThinRule && c->left.width == 0, "ruled rows");
            }},
        {"merged across two columns and down two rows",
            [](pdf::PageText& page) {
                Sketch t;
                t.skipVertical = [](std::size_t edge, std::size_t row) { return edge == 2 && row == 1; };
                t.skipHorizontal = [](std::size_t edge, std::size_t col) { return edge == 3 && col == 0; };
                t.hasText = [](std::size_t r, std::size_t c) { return !(r == 1 && c == 2) && !(r == 3 && c == 0); };
                drawGrid(page, t);
            },
            {{4, 3, 0, 10}},
            [](const std::vector<TableGrid>& ts) {
                const TableGrid& t = ts.front();
                const GridCell* across = cellAt(t, 1, 1);
                const GridCell* down = cellAt(t, 2, 0);
                return expect(across && across->columnSpan == 2 && across->rowSpan == 1 && down && down->rowSpan == 2
                        && down->columnSpan == 1 && std::abs(down->box.yMax - Sketch{}.row(4)) < 0.01,
                    "merged cells");
            }},
        {"shaded header and zebra rows, no lines",
            [](pdf::PageText& page) {
                Sketch t;
                t.rows = 6;
                page.paths.push_back(filled({t.x, t.row(0), t.right(), t.row(1)}, kHeaderNavy));
                page.paths.push_back(filled({t.x, t.row(2), t.right(), t.row(3)}, kZebraBlue));
                page.paths.push_back(filled({t.x, t.row(4), t.right(), t.row(5)}, kZebraBlue));
                addWords(page, t);
            },
            {{6, 3, 1, 18}},
            [](const std::vector<TableGrid>& ts) {
                const TableGrid& t = ts.front();
                const GridCell* head = cellAt(t, 0, 2);
                const GridCell* striped = cellAt(t, 4, 0);
                const GridCell* bare = cellAt(t, 5, 1);
                return expect(head && head->shaded && head->shadingRgb == kHeaderNavy && striped && striped->shaded
                        && striped->shadingRgb == kZebraBlue && bare && !bare->shaded && head->top.width == 0,
                    "shading of header, striped and bare rows");
            }},
        {"zebra rows ending on a band, a paragraph close under them",
            [](pdf::PageText& page) {
                Sketch t;
                t.rows = 5;
                page.paths.push_back(filled({t.x, t.row(0), t.right(), t.row(1)}, kHeaderNavy));
                page.paths.push_back(filled({t.x, t.row(2), t.right(), t.row(3)}, kZebraBlue));
                page.paths.push_back(filled({t.x, t.row(4), t.right(), t.row(5)}, kZebraBlue));
                addWords(page, t);
                paragraph(page, t.x, t.bottom() + 12, 1, 9);
            },
            {{5, 3, 1, 15}}},
        {"lines stopping half a point short: one grid",
            [](pdf::PageText& page) {
                Sketch t;
                t.shortBy = 0.5;
                drawGrid(page, t);
                page.paths.back().lineWidth = 0; // the thinnest line the device draws
                page.paths.front().lineWidth = 0.1;
            },
            {{4, 3, 0, 12}},
            [](const std::vector<TableGrid>& ts) {
                const GridCell* topLeft = cellAt(ts.front(), 0, 0);
                const GridCell* bottomRight = cellAt(ts.front(), 3, 2);
                return expect(topLeft && topLeft->top.width == 0.1 && bottomRight && bottomRight->right.width == 0.25,
                    "hairline edges");
            }},
        {"outlined cells drawn as rectangles, header shaded",
            [](pdf::PageText& page) {
                Sketch t;
                for (std::size_t r = 0; r < t.rows; ++r)
                    for (std::size_t c = 0; c < t.widths.size(); ++c) {
                        pdf::PagePath p = stroke(t.column(c), t.row(r), t.column(c + 1), t.row(r + 1), 0.5, kRuleGrey);
                        if (r == 0) {
                            p.filled = true;
                            p.fillRgb = kZebraBlue;
                        }
                        page.paths.push_back(p);
                    }
                addWords(page, t);
            },
            {{4, 3, 1, 12}},
            [](const std::vector<TableGrid>& ts) {
                const GridCell* c = cellAt(ts.front(), 1, 1);
                return expect(c && c->left.width == 0.5 && c->left.rgb == kRuleGrey, "edge colour");
            }},
        {"two three-rule tables of one width, one under the other",
            [](pdf::PageText& page) {
                Sketch above;
                drawThreeRules(page, above);
                Sketch below;
                below.y = above.bottom() + 24;
                below.rows = 3;
                drawThreeRules(page, below);
            },
            {{4, 3, 1, 12}, {3, 3, 1, 9}}},
        {"a grid with words in one cell only",
            [](pdf::PageText& page) {
                Sketch t;
                t.hasText = [](std::size_t r, std::size_t c) { return r == 0 && c == 0; };
                drawGrid(page, t);
            },
            {}},
        {"cramped three-rule table: narrow gaps the columns line up along",
            [](pdf::PageText& page) {
                Sketch t;
                t.widths = {25, 25, 25};
                drawThreeRules(page, t);
            },
            {{4, 3, 1, 12}}},
        {"rules above and below a paragraph",
            [](pdf::PageText& page) {
                page.paths.push_back(stroke(72, 90, 400, 90));
                paragraph(page, 72, 105, 6, 14);
                page.paths.push_back(stroke(72, 170, 400, 170));
            },
            {}},
        {"cells drawn as filled boxes with white gaps between them",
            [](pdf::PageText& page) {
                Sketch t;
                for (std::size_t r = 0; r < t.rows; ++r)
                    for (std::size_t c = 0; c < t.widths.size(); ++c)
                        page.paths.push_back(filled({t.column(c) + 0.75, t.row(r) + 0.75, t.column(c + 1) - 0.75, t.row(r + 1) - 0.75},
                            r == 0 ? kHeaderNavy : kZebraBlue));
                addWords(page, t);
            },
            {{4, 3, 1, 12}},
            [](const std::vector<TableGrid>& ts) {
                const GridCell* c = cellAt(ts.front(), 2, 2);
                return expect(c && c->shaded && c->shadingRgb == kZebraBlue && c->top.width == 0, "filled cell");
            }},
        {"a frame around a paragraph",
            [](pdf::PageText& page) {
                page.paths.push_back(stroke(66, 86, 400, 160));
                paragraph(page, 72, 100, 5, 12);
            },
            {}},
        {"a frame around a bullet list",
            [](pdf::PageText& page) {
                page.paths.push_back(stroke(66, 86, 400, 160));
                for (int i = 0; i < 5; ++i) {
                    test::addBlock(page, {{U"\u2022", 72, 100.0 + 12 * i}});
                    paragraph(page, 90, 100.0 + 12 * i, 1, 6 + static_cast<std::size_t>(i));
                }
            },
            {}},
        {"ragged words between rules",
            [](pdf::PageText& page) {
                // A word-free strip 0.5 em wide runs down the lines, but the
                // words beside it do not line up.
                const double firstEnds[] = {97, 87, 92};
                const double secondStarts[] = {107, 102, 104};
                page.paths.push_back(stroke(72, 88, 300, 88));
                for (int i = 0; i < 3; ++i) {
                    const double baseline = 100.0 + 12 * i;
                    const auto chars = static_cast<std::size_t>((firstEnds[i] - 72) / 5);
                    test::addBlock(page, {{std::u32string(chars, U'w'), 72, baseline}, {U"key value", secondStarts[i], baseline}});
                }
                page.paths.push_back(stroke(72, 130, 300, 130));
            },
            {}},
        {"a heading's rule and a footnote's rule",
            [](pdf::PageText& page) {
                test::addBlock(page, {{U"Heading", 72, 90, 14, true}});
                page.paths.push_back(stroke(72, 96, 520, 96, 1.0));
                paragraph(page, 72, 115, 10, 14);
                page.paths.push_back(stroke(72, 260, 200, 260, 0.5));
                test::addBlock(page, {{U"1 A footnote", 72, 272, 8}});
            },
            {}},
        {"a page border around two columns of text",
            [](pdf::PageText& page) {
                page.paths.push_back(stroke(20, 20, page.width - 20, page.height - 20, 1.0));
                paragraph(page, 72, 100, 20, 6);
                paragraph(page, 320, 100, 20, 6);
            },
            {}},
        {"a rule between two columns of text",
            [](pdf::PageText& page) {
                page.paths.push_back(stroke(300, 90, 300, 340));
                paragraph(page, 72, 100, 20, 6);
                paragraph(page, 320, 100, 20, 6);
            },
            {}},
        {"a bar chart with its labels",
            [](pdf::PageText& page) {
                page.paths.push_back(stroke(100, 100, 100, 250));
                page.paths.push_back(stroke(100, 250, 300, 250));
                const double heights[] = {100, 60, 130, 80};
                for (int i = 0; i < 4; ++i) {
                    const double left = 115 + 45.0 * i;
                    page.paths.push_back(filled({left, 250 - heights[i], left + 30, 250}, kBarBlue));
                    test::addBlock(page, {{U"Q" + std::u32string(1, U'1' + static_cast<char32_t>(i)), left + 8, 262, 9}});
                    test::addBlock(page, {{U"4" + std::u32string(1, U'0' + static_cast<char32_t>(i)), left + 8, 245 - heights[i], 9}});
                }
            },
            {}},
        {"two tables on a page",
            [](pdf::PageText& page) {
                drawGrid(page, Sketch{});
                Sketch below;
                below.y = 300;
                below.widths = {120, 60};
                drawThreeRules(page, below);
            },
            {{4, 3, 0, 12}, {4, 2, 1, 8}}},
    };
    return all;
}

pdf::PageText drawPage(const std::function<void(pdf::PageText&)>& draw)
{
    pdf::PageText page;
    draw(page);
    return page;
}

} // namespace

class TableRulesTest : public QObject {
    Q_OBJECT

private slots:
    void findsTables_data()
    {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << static_cast<int>(i);
    }

    void findsTables()
    {
        QFETCH(int, index);
        const Case& c = cases()[static_cast<std::size_t>(index)];
        const std::vector<TableGrid> found = findRuledTables(drawPage(c.draw));
        QCOMPARE(found.size(), c.tables.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            const QString sane = checkSane(found[i]);
            QVERIFY2(sane.isEmpty(), qPrintable(sane));
            QCOMPARE(found[i].rows(), c.tables[i].rows);
            QCOMPARE(found[i].columns(), c.tables[i].columns);
            QCOMPARE(found[i].headerRows, c.tables[i].headerRows);
            QCOMPARE(found[i].cells.size(), c.tables[i].cells);
        }
        if (!found.empty()) {
            const QString problem = c.check(found);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
    }

    // Pages built to be slow or to break the finder: they return, and what
    // they return is sound.
    void hostilePages_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("tables");
        QTest::newRow("10,000 tiny rectangles") << 0 << 0;
        QTest::newRow("200 x 200 grid") << 1 << 1;
        QTest::newRow("2,000 overlapping rectangles") << 2 << -1;
        QTest::newRow("paths with no finite box") << 3 << 0;
    }

    void hostilePages()
    {
        QFETCH(int, kind);
        QFETCH(int, tables);
        pdf::PageText page;
        std::uint32_t seed = 12345;
        auto next = [&] {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<double>(seed >> 8) / static_cast<double>(1u << 24);
        };
        if (kind == 0) {
            for (int i = 0; i < 10'000; ++i) {
                const double x = 20 + next() * 550, y = 20 + next() * 800;
                page.paths.push_back(stroke(x, y, x + 6, y + 6, 0.5));
            }
            paragraph(page, 72, 100, 20, 8);
        } else if (kind == 1) {
            constexpr int kSide = 200;
            constexpr double kPitch = 2.5, kLeft = 40, kTop = 150;
            for (int i = 0; i <= kSide; ++i) {
                page.paths.push_back(stroke(kLeft, kTop + i * kPitch, kLeft + kSide * kPitch, kTop + i * kPitch, 0.1));
                page.paths.push_back(stroke(kLeft + i * kPitch, kTop, kLeft + i * kPitch, kTop + kSide * kPitch, 0.1));
            }
            for (int i = 0; i < kSide; ++i)
                test::addBlock(page, {{U"x", kLeft + i * kPitch + 0.5, kTop + i * kPitch + 2, 2}});
        } else if (kind == 2) {
            for (int i = 0; i < 2000; ++i) {
                const double x = 30 + next() * 450, y = 30 + next() * 700;
                page.paths.push_back(stroke(x, y, x + 20 + next() * 100, y + 10 + next() * 80, 0.5));
            }
            paragraph(page, 72, 100, 40, 10);
        } else {
            const double nan = std::numeric_limits<double>::quiet_NaN();
            const double inf = std::numeric_limits<double>::infinity();
            page.paths.push_back(stroke(nan, 10, 100, 10));
            page.paths.push_back(stroke(10, 10, inf, 10));
            page.paths.push_back(stroke(100, 10, 10, 10)); // inverted
            page.paths.push_back(filled({-inf, -inf, inf, inf}, kBarBlue));
            drawGrid(page, Sketch{});
            tables = 1;
        }
        const std::vector<TableGrid> found = findRuledTables(page);
        if (tables >= 0)
            QCOMPARE(static_cast<int>(found.size()), tables);
        for (const TableGrid& t : found) {
            const QString sane = checkSane(t);
            QVERIFY2(sane.isEmpty(), qPrintable(sane));
        }
        if (kind == 1) {
            QCOMPARE(found.front().rows(), std::size_t{200});
            QCOMPARE(found.front().columns(), std::size_t{200});
            QCOMPARE(found.front().cells.size(), std::size_t{40'000});
        }
    }
};

QTEST_APPLESS_MAIN(TableRulesTest)
#include "TableRulesTest.moc"

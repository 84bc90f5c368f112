// Figures and page furniture on synthetic pages: paths built directly, words
// as poppler reports them. No PDF, no poppler.
#include "FigureFinder.h"
#include "SyntheticPage.h"

#include <QtTest>

#include <array>
#include <functional>
#include <limits>
#include <set>

using namespace pwt;
using namespace pwt::layout;
using pwt::test::LineSpec;

namespace {

constexpr std::uint32_t kBarBlue = 0x4472C4;
constexpr std::uint32_t kCalloutYellow = 0xFFF2CC;
constexpr std::uint32_t kSlideNavy = 0x1F2A44;
constexpr std::uint32_t kHeaderBlue = 0xD9E1F2;

pdf::PagePath rule(double x0, double y0, double x1, double y1)
{
    pdf::PagePath p;
    p.box = {x0, y0, x1, y1};
    p.stroked = true;
    p.lineWidth = 0.75;
    p.rectangle = true;
    return p;
}

pdf::PagePath frame(pdf::Box box)
{
    pdf::PagePath p = rule(box.xMin, box.yMin, box.xMax, box.yMax);
    return p;
}

pdf::PagePath filled(pdf::Box box, std::uint32_t rgb, bool rectangle = true)
{
    pdf::PagePath p;
    p.box = box;
    p.filled = true;
    p.fillRgb = rgb;
    p.rectangle = rectangle;
    return p;
}

// A line of words in a block of its own.
void label(pdf::PageText& page, const char32_t* text, double x, double baseline, double size = 10)
{
    test::addBlock(page, {{text, x, baseline, size}});
}

// A paragraph of `lines` lines of `chars` characters (5 pt each at size 10),
// its words all starting with "body" so that the checks can find them.
void paragraph(pdf::PageText& page, double x, double baseline, int lines, std::size_t chars)
{
    std::vector<LineSpec> sketches;
    for (int i = 0; i < lines; ++i) {
        std::u32string text;
        while (text.size() + 5 <= chars)
            text += text.empty() ? U"body" : U" body";
        sketches.push_back({text, x, baseline + 12.0 * i});
    }
    test::addBlock(page, sketches);
}

// A bar chart with its axes at (x, top) .. (x + 200, top + 150), tick labels
// under its bars, values left of its axis and a title under the ticks.
void barChart(pdf::PageText& page, double x, double top, const std::vector<const char32_t*>& ticks,
    const char32_t* title)
{
    const double base = top + 150;
    page.paths.push_back(rule(x, top, x, base));
    page.paths.push_back(rule(x, base, x + 200, base));
    const double heights[] = {100, 60, 130, 80};
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const double left = x + 15 + 45.0 * static_cast<double>(i);
        page.paths.push_back(filled({left, base - heights[i % 4], left + 30, base}, kBarBlue));
        label(page, ticks[i], left + 5, base + 12);
    }
    label(page, U"0", x - 10, base + 3);
    label(page, U"100", x - 20, top + 3);
    label(page, title, x + 80, base + 26);
}

struct Expected {
    std::size_t figures = 0;
    std::vector<std::u32string> inFigures;  // words drawn into the figures
    std::vector<Background> backgrounds;     // in drawing order
    std::vector<pdf::Box> drawn;             // boxes each inside a figure
};

struct Case {
    const char* name;
    std::function<pdf::PageText()> page;
    Expected expected;
};

pdf::PageText blankPage(double width = 595, double height = 842)
{
    pdf::PageText p;
    p.width = width;
    p.height = height;
    return p;
}

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        {"bar chart with axis labels", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 3, 90);
             barChart(page, 150, 200, {U"Jan", U"Feb", U"Mar", U"Apr"}, U"Month");
             paragraph(page, 72, 420, 3, 90);
             return page;
         }, {1, {U"Jan", U"Feb", U"Mar", U"Apr", U"0", U"100", U"Month"}, {}, {}}},
        {"heading right under a chart stays text", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 3, 90);
             barChart(page, 150, 200, {U"Jan", U"Feb", U"Mar", U"Apr"}, U"Month");
             test::addBlock(page, {LineSpec{U"2 Results", 150, 400, 14, true}});
             paragraph(page, 72, 430, 3, 90);
             return page;
         }, {1, {U"Jan", U"Feb", U"Mar", U"Apr", U"0", U"100", U"Month"}, {}, {}}},
        {"boxes and arrows", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 3, 90);
             page.paths.push_back(frame({100, 200, 200, 240}));
             page.paths.push_back(frame({300, 200, 400, 240}));
             page.paths.push_back(frame({200, 300, 300, 340}));
             label(page, U"Input", 130, 224);
             label(page, U"Output", 335, 224);
             label(page, U"Store", 237, 324);
             page.paths.push_back(rule(200, 220, 290, 220)); // a shaft, then its head
             page.paths.push_back(filled({290, 215, 300, 225}, 0, false));
             page.paths.push_back(rule(150, 240, 150, 320));
             page.paths.push_back(rule(150, 320, 190, 320));
             page.paths.push_back(filled({190, 315, 200, 325}, 0, false));
             paragraph(page, 72, 400, 3, 90);
             return page;
         }, {1, {U"Input", U"Output", U"Store"}, {}, {}}},
        {"formula drawn with a rule", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 3, 90);
             label(page, U"x =", 200, 203);
             label(page, U"a+b", 237.5, 195);
             page.paths.push_back(rule(228, 200, 262, 200));
             label(page, U"2c", 240, 212);
             paragraph(page, 72, 250, 3, 90);
             return page;
         }, {1, {U"x", U"=", U"a+b", U"2c"}, {}, {}}},
        {"rules, underlines, a frame, a table and a page border", [] {
             pdf::PageText page = blankPage();
             page.paths.push_back(frame({20, 20, 575, 822})); // the page border
             test::addBlock(page, {{U"Results", 72, 90, 16, true}});
             page.paths.push_back(rule(72, 96, 522, 96)); // under the heading
             paragraph(page, 72, 120, 3, 90);
             page.paths.push_back(rule(72, 122, 92, 122)); // underlined words
             page.paths.push_back(rule(200, 134, 260, 134));
             page.paths.push_back(frame({66, 170, 528, 212})); // a frame around a paragraph
             paragraph(page, 72, 186, 2, 90);
             for (double y : {240.0, 260.0, 280.0, 300.0}) // a table's grid
                 page.paths.push_back(rule(72, y, 522, y));
             for (double x : {72.0, 222.0, 372.0, 522.0})
                 page.paths.push_back(rule(x, 240, x, 300));
             for (double y : {254.0, 274.0, 294.0})
                 for (double x : {80.0, 230.0, 380.0})
                     label(page, U"cell", x, y);
             page.paths.push_back(rule(72, 760, 216, 760)); // the footnote rule
             test::addBlock(page, {{U"A footnote under its rule", 72, 775, 8}});
             return page;
         }, {0, {}, {}, {}}},
        {"table between three rules, its header shaded", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 3, 90);
             page.paths.push_back(filled({186, 221, 308, 235}, kHeaderBlue));
             for (double y : {221.0, 235.0, 276.0})
                 page.paths.push_back(rule(186, y, 308, y));
             // The header row over the middle rule, centred on it like a
             // numerator, and the rows under it.
             for (auto [text, x] : {std::pair{U"Item", 190.0}, {U"Price", 240.0}, {U"Count", 280.0}})
                 label(page, text, x, 231);
             for (double baseline : {247.0, 259.0, 271.0})
                 for (auto [text, x] : {std::pair{U"Apples", 190.0}, {U"1.20", 240.0}, {U"14", 295.0}})
                     label(page, text, x, baseline);
             paragraph(page, 72, 320, 3, 90);
             return page;
         }, {0, {}, {{{186, 221, 308, 235}, kHeaderBlue}}, {}}},
        {"table drawn as one path, its header shaded", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 3, 90);
             page.paths.push_back(filled({186, 221, 308, 235}, kHeaderBlue));
             pdf::PagePath grid = frame({186, 221, 308, 276}); // every line in one path
             grid.rectangle = false;
             page.paths.push_back(grid);
             for (double baseline : {231.0, 247.0, 259.0, 271.0})
                 for (auto [text, x] : {std::pair{U"Apples", 190.0}, {U"1.20", 240.0}, {U"14", 295.0}})
                     label(page, text, x, baseline);
             paragraph(page, 72, 320, 3, 90);
             return page;
         }, {0, {}, {{{186, 221, 308, 235}, kHeaderBlue}}, {}}},
        {"boxes of four rules joined by lines", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 3, 90);
             for (const pdf::Box& b : {pdf::Box{148, 300, 228, 330}, pdf::Box{347, 300, 427, 330}, pdf::Box{247, 380, 327, 410}}) {
                 page.paths.push_back(rule(b.xMin, b.yMin, b.xMax, b.yMin));
                 page.paths.push_back(rule(b.xMin, b.yMin, b.xMin, b.yMax));
                 page.paths.push_back(rule(b.xMax, b.yMin, b.xMax, b.yMax));
                 page.paths.push_back(rule(b.xMin, b.yMax, b.xMax, b.yMax));
             }
             page.paths.push_back(rule(228, 315, 347, 315));
             page.paths.push_back(rule(188, 330, 188, 395));
             page.paths.push_back(rule(188, 395, 247, 395));
             label(page, U"Input", 175, 318);
             label(page, U"Output", 372, 318);
             label(page, U"Store", 275, 398);
             paragraph(page, 72, 450, 3, 90);
             return page;
         }, {1, {U"Input", U"Output", U"Store"}, {}, {}}},
        {"shaded call-out box behind text", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 5, 90);
             page.paths.push_back(filled({90, 200, 505, 260}, kCalloutYellow));
             pdf::PagePath border = frame({90, 200, 505, 260});
             border.strokeRgb = 0xBF9000;
             page.paths.push_back(border);
             paragraph(page, 100, 220, 3, 80);
             page.paths.push_back(filled({490, 205, 502, 217}, 0xC00000, false)); // an icon in its corner
             paragraph(page, 72, 300, 5, 90);
             return page;
         }, {0, {}, {{{90, 200, 505, 260}, kCalloutYellow}}, {}}},
        {"dark slide", [] {
             pdf::PageText page = blankPage(720, 405);
             page.paths.push_back(filled({0, 0, 720, 405}, kSlideNavy));
             test::addBlock(page, {{U"Quarterly review", 60, 80, 28, true, false, "Arial", 0xFFFFFF}});
             test::addBlock(page, {{U"Revenue grew in every region", 80, 150, 18, false, false, "Arial", 0xFFFFFF},
                                      {U"Costs fell by a tenth", 80, 180, 18, false, false, "Arial", 0xFFFFFF}});
             // A white card on it, with dark text: white is no paper here.
             page.paths.push_back(filled({420, 220, 680, 360}, 0xFFFFFF));
             test::addBlock(page, {{U"Net margin 12%", 440, 260, 18}});
             return page;
         }, {0, {}, {{{0, 0, 720, 405}, kSlideNavy}, {{420, 220, 680, 360}, 0xFFFFFF}}, {}}},
        {"scatter plot", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 3, 90);
             page.paths.push_back(rule(100, 200, 100, 350));
             page.paths.push_back(rule(100, 350, 300, 350));
             for (double x : {130.0, 160.0, 190.0, 220.0, 250.0, 280.0}) // marks clear of the axes
                 page.paths.push_back(filled({x, 450 - x, x + 4, 454 - x}, kBarBlue, false));
             for (auto [text, x] : {std::pair{U"1", 150.0}, {U"2", 200.0}, {U"3", 250.0}})
                 label(page, text, x, 362);
             label(page, U"0", 88, 353);
             label(page, U"Time", 190, 376);
             paragraph(page, 72, 420, 3, 90);
             return page;
         }, {1, {U"1", U"2", U"3", U"0", U"Time"}, {}, {}}},
        {"two separate charts", [] {
             pdf::PageText page = blankPage();
             barChart(page, 150, 100, {U"Jan", U"Feb", U"Mar"}, U"Month");
             paragraph(page, 72, 330, 3, 90);
             barChart(page, 150, 450, {U"North", U"South"}, U"Region");
             return page;
         }, {2, {U"Jan", U"Feb", U"Mar", U"Month", U"North", U"South", U"Region", U"0", U"100"}, {}, {}}},
        {"chart beside a paragraph in two columns", [] {
             pdf::PageText page = blankPage();
             barChart(page, 60, 150, {U"A", U"B"}, U"Year");
             // The legend: a swatch and its name right of the bars.
             page.paths.push_back(filled({266, 190, 272, 196}, kBarBlue));
             label(page, U"Sales", 275, 196, 8);
             // The next column: a paragraph, a short heading level with
             // the chart's foot, and the next paragraph.
             paragraph(page, 305, 100, 19, 44);
             test::addBlock(page, {{U"Notes", 305, 340, 10, true}});
             paragraph(page, 305, 360, 10, 44);
             return page;
         }, {1, {U"A", U"B", U"Year", U"0", U"100", U"Sales"}, {}, {}}},
        {"text set against a chart", [] {
             pdf::PageText page = blankPage();
             barChart(page, 60, 150, {U"A", U"B"}, U"Year");
             // Lines starting a little inside the axis's end: their first
             // words lie just outside it.
             std::vector<LineSpec> lines;
             for (int i = 0; i < 12; ++i)
                 lines.push_back({U"I body body body body body body body body body body", 258, 160.0 + 12 * i});
             test::addBlock(page, lines);
             return page;
         }, {1, {U"A", U"B", U"Year", U"0", U"100"}, {}, {}}},
        {"chart with a framed legend beside it", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 3, 90);
             barChart(page, 120, 200, {U"Jan", U"Feb"}, U"Month");
             page.paths.push_back(frame({330, 220, 390, 260}));
             page.paths.push_back(filled({336, 232, 342, 238}, kBarBlue));
             label(page, U"Sales", 346, 238, 8);
             paragraph(page, 72, 420, 3, 90);
             return page;
         }, {1, {U"Jan", U"Feb", U"Month", U"0", U"100", U"Sales"}, {}, {{330, 220, 390, 260}}}},
        {"framed note with an icon", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 3, 90);
             page.paths.push_back(frame({100, 200, 400, 260}));
             page.paths.push_back(filled({110, 210, 150, 250}, 0xC00000, false));
             label(page, U"Remember to save your work", 160, 235);
             paragraph(page, 72, 300, 3, 90);
             return page;
         }, {1, {}, {}, {}}},
        {"arrows drawn over a screenshot", [] {
             pdf::PageText page = blankPage();
             paragraph(page, 72, 100, 3, 90);
             pdf::PageImage shot;
             shot.box = shot.visible = {100, 200, 400, 400};
             page.images.push_back(shot);
             label(page, U"File", 120, 215); // text the PDF lays over the image
             page.paths.push_back(rule(150, 250, 200, 250));
             page.paths.push_back(filled({200, 245, 210, 255}, 0xC00000, false));
             label(page, U"Click", 215, 254);
             paragraph(page, 72, 440, 3, 90);
             return page;
         }, {1, {U"File", U"Click"}, {}, {{100, 200, 400, 400}}}},
    };
    return all;
}

std::set<std::u32string> wordsOf(const pdf::PageText& page)
{
    std::set<std::u32string> out;
    for (const auto& f : page.flows)
        for (const auto& b : f.blocks)
            for (const auto& l : b.lines)
                for (const auto& w : l.words)
                    out.insert(w.text);
    return out;
}

bool inside(const pdf::Box& outer, const pdf::Box& inner)
{
    return inner.xMin >= outer.xMin && inner.xMax <= outer.xMax && inner.yMin >= outer.yMin && inner.yMax <= outer.yMax;
}

} // namespace

class FigureFinderTest : public QObject {
    Q_OBJECT
private slots:
    void pages_data()
    {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << static_cast<int>(i);
    }

    // Each page's figures, the words drawn into them, the words left to the
    // text, and the shaded boxes behind text.
    void pages()
    {
        QFETCH(int, index);
        const Case& c = cases()[static_cast<std::size_t>(index)];
        pdf::PageText page = c.page();
        const std::size_t wordsBefore = page.wordCount();
        const FigureRegions found = findFigures(page);
        QCOMPARE(found.figures.size(), c.expected.figures);
        for (std::size_t i = 0; i < found.figures.size(); ++i)
            for (std::size_t j = i + 1; j < found.figures.size(); ++j)
                QVERIFY(!inside(found.figures[i], found.figures[j]) && !inside(found.figures[j], found.figures[i]));
        QCOMPARE(found.backgrounds.size(), c.expected.backgrounds.size());
        for (std::size_t i = 0; i < found.backgrounds.size(); ++i) {
            const Background& b = found.backgrounds[i];
            const Background& e = c.expected.backgrounds[i];
            QCOMPARE(b.rgb, e.rgb);
            QCOMPARE((std::array{b.box.xMin, b.box.yMin, b.box.xMax, b.box.yMax}), (std::array{e.box.xMin, e.box.yMin, e.box.xMax, e.box.yMax}));
        }

        for (const pdf::Box& d : c.expected.drawn)
            QVERIFY(std::any_of(found.figures.begin(), found.figures.end(), [&](const pdf::Box& f) { return inside(f, d); }));

        removeWordsInside(page, found.figures);
        const std::set<std::u32string> left = wordsOf(page);
        for (const std::u32string& w : c.expected.inFigures)
            QVERIFY2(!left.contains(w), qPrintable(QString::fromStdU32String(w) + " was left out of the figure"));
        // Everything else stays text: the body, the table's cells, the slide.
        const std::set<std::u32string> drawn(c.expected.inFigures.begin(), c.expected.inFigures.end());
        std::size_t inFigures = 0;
        for (const auto& f : c.page().flows)
            for (const auto& b : f.blocks)
                for (const auto& l : b.lines)
                    for (const auto& w : l.words)
                        if (drawn.contains(w.text))
                            ++inFigures;
        QCOMPARE(page.wordCount(), wordsBefore - inFigures);
        for (const auto& f : page.flows)
            for (const auto& b : f.blocks)
                for (const auto& l : b.lines)
                    for (const auto& w : l.words)
                        QVERIFY(inside(b.box, w.box));
    }

    // Values no real page has: boxes of no number, inside out or endless,
    // a page of no size. Nothing is found outside the page, nothing breaks.
    void damagedValuesAreSafe()
    {
        constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
        constexpr double kInf = std::numeric_limits<double>::infinity();
        for (const double side : {595.0, 0.0, kNaN, -10.0, 1e300}) {
            pdf::PageText page = blankPage(side, side);
            paragraph(page, 72, 100, 2, 90);
            page.flows.front().blocks.front().lines.front().words.front().box = {kNaN, 0, 1, 1};
            page.flows.front().blocks.front().lines.front().words.back().fontSize = kInf;
            for (const pdf::Box& b : {pdf::Box{kNaN, 0, 10, 10}, pdf::Box{50, 50, 10, 10}, pdf::Box{-kInf, 0, kInf, 5},
                     pdf::Box{0, -1e308, 1e308, 1e308}, pdf::Box{100, 200, 100, 200}, pdf::Box{-5e3, -5e3, -4e3, -4e3}}) {
                page.paths.push_back(filled(b, kBarBlue, false));
                page.paths.push_back(frame(b));
            }
            barChart(page, 150, 200, {U"Jan", U"Feb"}, U"Month");
            const FigureRegions found = findFigures(page);
            for (const pdf::Box& f : found.figures)
                QVERIFY2(std::isfinite(f.xMin) && std::isfinite(f.yMax) && f.xMin <= f.xMax && f.yMin <= f.yMax, qPrintable(QString("%1: %2 %3 %4 %5").arg(side).arg(f.xMin).arg(f.yMin).arg(f.xMax).arg(f.yMax)));
            if (side == 595.0)
                QCOMPARE(found.figures.size(), std::size_t{1});
            removeWordsInside(page, found.figures);
            QVERIFY(page.wordCount() >= 36); // the paragraph stays (one word of it has no place)
        }
    }

    // Pages built to be slow: many tiny shapes in a lattice, all on one spot,
    // and many large frames over one another. Each returns with one figure
    // at most, inside the page.
    void crowdedPagesStayFast_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("lattice of 100,000 dots") << 0;
        QTest::newRow("100,000 dots on one spot") << 1;
        QTest::newRow("100,000 large frames") << 2;
    }

    void crowdedPagesStayFast()
    {
        QFETCH(int, layout);
        constexpr int kPaths = 100'000;
        constexpr int kSide = 316; // about sqrt(kPaths)
        pdf::PageText page = blankPage();
        paragraph(page, 72, 60, 2, 90);
        page.paths.reserve(kPaths);
        for (int i = 0; i < kPaths; ++i) {
            const double x = 60 + 1.5 * (i % kSide), y = 100 + 1.5 * (i / kSide);
            switch (layout) {
            case 0: page.paths.push_back(filled({x, y, x + 1, y + 1}, kBarBlue)); break;
            case 1: page.paths.push_back(filled({300, 400, 301, 401}, kBarBlue)); break;
            default: page.paths.push_back(frame({50.0 + i % 50, 90.0 + i % 70, 545.0 - i % 40, 800.0 - i % 30})); break;
            }
        }
        const FigureRegions found = findFigures(page);
        QVERIFY(found.figures.size() <= 1);
        for (const pdf::Box& f : found.figures)
            QVERIFY(inside({0, 0, page.width, page.height}, f));
        if (layout == 0) {
            QCOMPARE(found.figures.size(), std::size_t{1});
            const pdf::Box lattice{60, 100, 61 + 1.5 * kSide, 101 + 1.5 * (kPaths / kSide)};
            QVERIFY(inside({lattice.xMin - kRegionPaddingPt, lattice.yMin - kRegionPaddingPt, lattice.xMax + kRegionPaddingPt, lattice.yMax + kRegionPaddingPt}, found.figures.front()));
        }
        removeWordsInside(page, found.figures);
        QCOMPARE(page.wordCount(), std::size_t{36}); // the paragraph above stays
    }
};

QTEST_APPLESS_MAIN(FigureFinderTest)
#include "FigureFinderTest.moc"

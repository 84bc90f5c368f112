// The layout rules on synthetic pages: no PDF, no poppler.
#include "DocumentBuilder.h"
#include "FontMapper.h"
#include "FormatInference.h"
#include "Lines.h"
#include "ParagraphComposer.h"
#include "ParagraphSplitter.h"
#include "ParagraphText.h"
#include "SyntheticPage.h"
#include "TableComposer.h"
#include "TextRules.h"

#include <QtTest>

#include <functional>

using namespace pwt;
using namespace pwt::layout;
using pwt::test::textOf;
using pwt::test::textsOf;
using pwt::test::LineSpec;

namespace {


// Lines as the layout sees them, from their sketches.
std::vector<Line> linesOf(const std::vector<LineSpec>& sketches)
{
    pdf::PageText page;
    test::addBlock(page, sketches);
    FontCache fonts;
    return collectLines(page, fonts).blocks.front().lines;
}

// A body line of `chars` characters (size 10: 5 pt each), so full lines end together.
std::u32string filler(const char32_t* start, std::size_t chars)
{
    std::u32string s = start;
    const std::u32string words = U" lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor incididunt ut labore";
    for (std::size_t i = 0; s.size() < chars; ++i)
        s += words[i % words.size()];
    s.resize(chars);
    if (s.back() == U' ')
        s.back() = U'x';
    return s;
}

pdf::PageText page(int number, double width = 595, double height = 842)
{
    pdf::PageText p;
    p.number = number;
    p.width = width;
    p.height = height;
    return p;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void textRules()
    {
        QCOMPARE(normalizeText(U"\uFB01nd \uFB02ow \uFB00 \uFB03x \uFB04y"), std::u32string(U"find flow ff ffix ffly"));
        QCOMPARE(normalizeText(U"a\u0007b\u000Cc"), std::u32string(U"abc"));
        // Radicals a font shares with ideographs: "中⽂⻚⾯很⻓" reads "中文页面很长".
        QCOMPARE(normalizeText(U"中\u2F42\u2EDA\u2FAF很\u2ED3"), std::u32string(U"中文页面很长"));
        // Out of a simplified Chinese font the door radical is 户, else 戶.
        QCOMPARE(normalizeText(withSimplifiedRadicals(U"用\u2F3E\u2FAD\u2FC8")), std::u32string(U"用户青黄"));
        QCOMPARE(normalizeText(U"\u2F3E"), std::u32string(U"戶"));
        QVERIFY(isOtherCjkRegionFont("ABCDEF+NotoSansCJKjp-Regular") && isOtherCjkRegionFont("SourceHanSerifTC-Bold"));
        QVERIFY(!isOtherCjkRegionFont("ABCDEF+NotoSansCJKsc-Regular") && !isOtherCjkRegionFont("SimSun"));
        QCOMPARE(joinBetween(U"a hyphen-", U"ated word"), LineJoin::DropHyphen);
        QCOMPARE(joinBetween(U"the well-", U"Known"), LineJoin::Space);
        QCOMPARE(joinBetween(U"in 1990-", U"1995"), LineJoin::Space);
        QCOMPARE(joinBetween(U"a dash -", U"then"), LineJoin::Space);
        QCOMPARE(joinBetween(U"中文的第一行", U"继续"), LineJoin::Nothing);
        QCOMPARE(joinBetween(U"ends in 中", U"latin"), LineJoin::Nothing);
        QCOMPARE(joinBetween(U"plain", U"words"), LineJoin::Space);
        QVERIFY(startsListItem(U"\u2022 bullet"));
        QVERIFY(startsListItem(U"1. First"));
        QVERIFY(startsListItem(U"12) Twelfth"));
        QVERIFY(startsListItem(U"(a) letter"));
        QVERIFY(startsListItem(U"iv. roman"));
        QVERIFY(!startsListItem(U"1990 was a year"));
        QVERIFY(!startsListItem(U"Hello there"));
        QVERIFY(!startsListItem(U"3.14 is pi"));
        QCOMPARE(toUtf16(U"a\U0001F600"), std::u16string(u"a\xD83D\xDE00"));
    }

    void fontNames()
    {
        auto f = mapFont("ABCDEF+TimesNewRomanPS-BoldMT", false, false, false, false);
        QCOMPARE(f.family, std::string("Times New Roman"));
        QVERIFY(f.bold && !f.italic);
        f = mapFont("Arial,BoldItalic", false, false, false, false);
        QCOMPARE(f.family, std::string("Arial"));
        QVERIFY(f.bold && f.italic);
        f = mapFont("Helvetica-Oblique", false, false, false, false);
        QCOMPARE(f.family, std::string("Arial"));
        QVERIFY(f.italic && !f.bold);
        f = mapFont("QWERTY+LiberationSerif-Italic", false, false, false, false);
        QCOMPARE(f.family, std::string("Times New Roman"));
        QVERIFY(f.italic);
        f = mapFont("ABCDEF+SimSun", false, false, false, false);
        QCOMPARE(f.eastAsianFamily, std::string("宋体"));
        f = mapFont("ABCDEF+NotoSansCJKsc-Bold", false, false, false, false);
        QCOMPARE(f.eastAsianFamily, std::string("Noto Sans CJK SC"));
        QVERIFY(f.bold);
        f = mapFont("Microsoft YaHei", false, false, false, false);
        QCOMPARE(f.eastAsianFamily, std::string("微软雅黑"));
        f = mapFont("ABCDEF+CMBX12", false, false, false, false);
        QCOMPARE(f.family, std::string("Times New Roman"));
        QVERIFY(f.bold && !f.italic);
        f = mapFont("CMCSC10", false, false, false, false);
        QVERIFY(f.smallCaps);
        f = mapFont("CMTT10", false, false, false, false);
        QCOMPARE(f.family, std::string("Courier New"));
        QCOMPARE(f.kind, FontKind::Typewriter);
        QCOMPARE(mapFont("ABCDEF+SimHei", false, false, false, false).kind, FontKind::Sans);
        QCOMPARE(mapFont("ABCDEF+FZShuSong", false, false, true, false).kind, FontKind::Serif);
        QCOMPARE(mapFont("ABCDEF+Inconsolata", false, false, false, false).kind, FontKind::Typewriter);
        // A family without a rule gets the Word family of its kind, whose metrics readers have.
        f = mapFont("MyFancyFont-Regular", false, false, false, false);
        QCOMPARE(f.family, std::string("Times New Roman"));
        QCOMPARE(mapFont("ABCDEF+LinBiolinumTB", false, false, false, false).family, std::string("Arial"));
        QCOMPARE(mapFont("ABCDEF+SourceCodePro-Regular", false, false, false, true).family, std::string("Courier New"));
        QVERIFY(!f.bold && !f.italic);
        // Weight and slant words of all kinds in the name.
        const std::pair<const char*, std::pair<bool, bool>> styles[] = {
            {"ABCDEF+MinionPro-SemiboldIt", {true, true}}, {"FandolSong-Medi", {true, false}}, {"Arial-BdObl", {true, true}},
            {"Myriad-Black", {true, false}}, {"Utopia-Slanted", {false, true}}, {"Univers-Heavy", {true, false}},
            {"GillSans-Demi", {true, false}}, {"Palatino-It", {false, true}}, {"Charter-Regular", {false, false}},
            {"LucidaBright-Oblique", {false, true}}};
        for (const auto& [name, boldItalic] : styles) {
            f = mapFont(name, false, false, false, false);
            QVERIFY2(f.bold == boldItalic.first && f.italic == boldItalic.second, name);
        }
        // Descriptor flags count even when the name says nothing.
        f = mapFont("ABCDEF+Foo", true, true, true, false);
        QVERIFY(f.bold && f.italic);
        QCOMPARE(baseFontName("ABCDEF+ArialMT"), std::string("Arial"));
    }

    void paragraphStartsFollowTheRules()
    {
        const double x = 72, size = 10, pitch = 12;
        double y = 100;
        std::vector<LineSpec> sketches;
        auto add = [&](std::u32string t, double dx = 0, double extra = 0, double sz = 10, bool bold = false) {
            y += extra;
            sketches.push_back(LineSpec{std::move(t), x + dx, y, sz, bold});
            y += pitch;
        };
        add(filler(U"First", 80));             // 0: paragraph 1
        add(filler(U"second", 80));
        add(U"short end.");                    // ends short: next opens
        add(filler(U"Third", 80));             // 3
        add(U"last line.");
        add(filler(U"Indented", 76), 20);      // 5: first-line indent
        add(filler(U"flush", 80));
        add(filler(U"after", 80), 0, 10);      // 7: gap before it
        add(filler(U"gap", 80));
        add(U"Bold Heading", 0, 0, 14, true);  // 9: other size and weight
        add(U"\u2022 item one that wraps");      // 10: list item
        add(U"\u2022 item two");                 // 11
        QCOMPARE(size, 10.0);
        const auto starts = paragraphStarts(linesOf(sketches));
        QCOMPARE(starts, (std::vector<std::size_t>{0, 3, 5, 7, 9, 10, 11}));
    }

    void hangingIndentKeepsItemTogether()
    {
        std::vector<LineSpec> sketches{
            {filler(U"1. A", 80), 72, 100},
            {filler(U"continued", 76), 92, 112},
            {U"end of it.", 92, 124},
            {filler(U"Next", 80), 72, 136},
        };
        QCOMPARE(paragraphStarts(linesOf(sketches)), (std::vector<std::size_t>{0, 3}));
    }

    void linesJoinIntoRuns()
    {
        pdf::PageText p = page(1);
        std::vector<LineSpec> sketches{
            {filler(U"Words", 73) + U" hyph-", 72, 100},
            {U"enated end and \uFB01ne.", 72, 112},
        };
        test::addBlock(p, sketches);
        LineSpec cjk{U"中文第一行很长的文字内容继续写下去直到行尾为止", 72, 140};
        LineSpec cjk2{U"第二行。", 72, 152};
        test::addBlock(p, {cjk, cjk2});
        // One bold word and a superscript inside a line.
        pdf::PageText& pg = p;
        test::addBlock(pg, {LineSpec{U"plain bold plain", 72, 200}});
        auto& words = pg.flows.back().blocks.back().lines.back().words;
        words[1].bold = true;
        pdf::TextWord sup = words[2];
        sup.text = U"2";
        sup.fontSize = 6;
        sup.baseline -= 4;
        sup.box.xMin = words[2].box.xMax + 0.5;
        sup.box.xMax = sup.box.xMin + 3;
        words.push_back(sup);
        words[2].spaceAfter = false;

        const Document doc = buildDocument({p}, {});
        const auto& ps = doc.sections.at(0).paragraphs;
        QCOMPARE(ps.size(), std::size_t(3));
        QVERIFY2(textOf(ps[0]).contains(u"hyphenated end and fine."_qs), qPrintable(textOf(ps[0])));
        QCOMPARE(textOf(ps[1]), u"中文第一行很长的文字内容继续写下去直到行尾为止第二行。"_qs);
        QCOMPARE(ps[1].runs.front().format.eastAsianFamily, std::string("宋体"));
        const auto& runs = ps[2].runs;
        QCOMPARE(runs.size(), std::size_t(4));
        QCOMPARE(QString::fromStdU16String(runs[1].text), u"bold "_qs);
        QVERIFY(runs[1].format.bold && !runs[0].format.bold && !runs[2].format.bold);
        QCOMPARE(runs[3].format.position, VerticalPosition::Superscript);
        QCOMPARE(runs[0].format.fontFamily, std::string("Times New Roman"));
        QCOMPARE(runs[0].format.halfPoints, 20);
    }

    // An italic heading right over its paragraph, no gap, full width: two
    // paragraphs. An italic line inside a roman paragraph splits nothing.
    void italicHeadingsOverTheirParagraphs()
    {
        auto texts = [](const std::vector<LineSpec>& sketches) {
            pdf::PageText p = page(1);
            test::addBlock(p, sketches);
            return textsOf(buildDocument({p}, {}).sections.at(0).paragraphs).size();
        };
        LineSpec heading{filler(U"Italic", 80), 72, 100, 10, false, true};
        QCOMPARE(texts({heading, {filler(U"Roman", 80), 72, 112}, {U"end.", 72, 124}}), qsizetype(2));
        LineSpec italicInside{filler(U"inside", 80), 72, 112, 10, false, true};
        QCOMPARE(texts({{filler(U"Roman", 80), 72, 100}, italicInside, {filler(U"more", 80), 72, 124}, {U"end.", 72, 136}}),
                 qsizetype(1));
    }

    void alignmentAndIndents()
    {
        const ColumnBounds col{72, 472};
        auto format = [&](const std::vector<LineSpec>& sketches) {
            const auto lines = linesOf(sketches);
            return inferParagraphFormat(lines, 0, lines.size(), col);
        };
        // 80 chars at 5 pt = 400 pt: exactly the column.
        QCOMPARE(format({{filler(U"J", 80), 72, 100}, {filler(U"u", 80), 72, 112}, {U"end", 72, 124}}).alignment, Alignment::Justify);
        QCOMPARE(format({{filler(U"L", 70), 72, 100}, {filler(U"e", 76), 72, 112}, {U"end", 72, 124}}).alignment, Alignment::Left);
        QCOMPARE(format({{U"A centred title", 72 + (400 - 75) / 2.0, 100}}).alignment, Alignment::Center);
        QCOMPARE(format({{U"Right side", 472 - 50, 100}}).alignment, Alignment::Right);
        const auto indented = format({{filler(U"I", 76), 92, 100}, {filler(U"n", 80), 72, 112}, {U"end", 72, 124}});
        QCOMPARE(indented.firstLineIndent, 20 * 20);
        QCOMPARE(indented.leftIndent, 0);
        const auto hanging = format({{filler(U"1. H", 80), 72, 100}, {filler(U"a", 76), 92, 112}, {U"end", 92, 124}});
        QCOMPARE(hanging.leftIndent, 20 * 20);
        QCOMPARE(hanging.firstLineIndent, -20 * 20);
        // A quotation indented 20 pt at the left, 40 pt at the right: 68 chars at 5 pt end at 432.
        const auto quoted = format({{filler(U"Q", 68), 92, 100}, {filler(U"u", 68), 92, 112}, {U"end", 92, 124}});
        QCOMPARE(quoted.alignment, Alignment::Justify);
        QCOMPARE(quoted.leftIndent, 20 * 20);
        QCOMPARE(quoted.rightIndent, 40 * 20);
        // Ragged right lines that end together by chance on one line only stay left-aligned.
        QCOMPARE(format({{filler(U"R", 70), 72, 100}, {filler(U"a", 64), 72, 112}, {U"end", 72, 124}}).alignment, Alignment::Left);
        const auto spaced = format({{filler(U"S", 80), 72, 100}, {filler(U"p", 80), 72, 120}, {U"end", 72, 140}});
        QVERIFY2(spaced.lineSpacing > 360, QByteArray::number(spaced.lineSpacing));
    }

    void pagesSectionsAndTitle()
    {
        std::vector<pdf::PageText> pages;
        for (int n = 1; n <= 3; ++n) {
            const bool landscape = n == 3;
            pages.push_back(page(n, landscape ? 842 : 595, landscape ? 595 : 842));
            test::addBlock(pages.back(), {LineSpec{U"Page " + std::u32string(1, U'0' + static_cast<char32_t>(n)) + U" text.", 90, 200}});
        }
        pages.push_back(page(4, 842, 595)); // an empty landscape page
        const Document doc = buildDocument(pages, DocumentInfo{"The Title", "", "", ""});
        QCOMPARE(doc.info.title, std::string("The Title"));
        QCOMPARE(doc.sections.size(), std::size_t(2));
        QVERIFY(!doc.sections[0].page.landscape());
        QVERIFY(doc.sections[1].page.landscape());
        QCOMPARE(doc.sections[0].page.width, 595 * 20);
        QCOMPARE(doc.sections[0].page.marginLeft, 90 * 20);
        QCOMPARE(textsOf(doc.sections[0].paragraphs), (QStringList{u"Page 1 text."_qs, u"Page 2 text."_qs}));
        QVERIFY(!doc.sections[0].paragraphs[0].pageBreakBefore);
        QVERIFY(doc.sections[0].paragraphs[1].pageBreakBefore);
        // The section break starts page 3; the empty page 4 still gets its page.
        QCOMPARE(doc.sections[1].paragraphs.size(), std::size_t(2));
        QVERIFY(!doc.sections[1].paragraphs[0].pageBreakBefore);
        QVERIFY(doc.sections[1].paragraphs[1].pageBreakBefore);
        QVERIFY(doc.sections[1].paragraphs[1].runs.empty());
    }

    void runningHeadsAndPageNumbersLeaveTheBody()
    {
        std::vector<pdf::PageText> pages;
        for (int n = 1; n <= 4; ++n) {
            pages.push_back(page(n));
            test::addBlock(pages.back(), {LineSpec{U"Annual Report", 72, 40, 9}});
            test::addBlock(pages.back(), {LineSpec{U"Body of page " + std::u32string(1, U'0' + static_cast<char32_t>(n)) + U".", 72, 200}});
            test::addBlock(pages.back(), {LineSpec{std::u32string(1, U'0' + static_cast<char32_t>(n)), 295, 800, 9}});
        }
        const Document doc = buildDocument(pages, {});
        const Section& s = doc.sections.at(0);
        QCOMPARE(textsOf(s.paragraphs), (QStringList{u"Body of page 1."_qs, u"Body of page 2."_qs, u"Body of page 3."_qs, u"Body of page 4."_qs}));
        QCOMPARE(textsOf(s.header), QStringList{u"Annual Report"_qs});
        QCOMPARE(s.footer.size(), std::size_t(1));
        QCOMPARE(s.footer[0].runs.size(), std::size_t(1));
        QVERIFY(s.footer[0].runs[0].pageNumberField);
        QCOMPARE(s.footer[0].format.alignment, Alignment::Center);
        QVERIFY(!s.header[0].runs[0].pageNumberField);
    }

    // A book's heads name its chapter; its foot holds a title at the left and
    // a copyright at the right; a listing's line numbers reach into the foot zone.
    void chapterHeadsMakeSectionsAndNothingIsLost()
    {
        std::vector<pdf::PageText> pages;
        const std::u32string chapters[] = {U"Chapter 1 Basics", U"Chapter 1 Basics", U"Chapter 1 Basics",
                                           U"Chapter 2 Fonts", U"Chapter 2 Fonts", U"Chapter 2 Fonts"};
        for (int n = 1; n <= 6; ++n) {
            const std::string digits = std::to_string(n + 10);
            const std::u32string num(digits.begin(), digits.end());
            pages.push_back(page(n));
            test::addBlock(pages.back(), {LineSpec{chapters[n - 1], 72, 40, 9}});
            test::addBlock(pages.back(), {LineSpec{num, 500, 40, 9}}); // page 11, 12...
            test::addBlock(pages.back(), {LineSpec{U"Body of page " + num + U".", 72, 200}});
            test::addBlock(pages.back(), {LineSpec{std::u32string(1, U'0' + static_cast<char32_t>(3 * n % 10)) + U"7 code", 60, 760}});
            test::addBlock(pages.back(), {LineSpec{U"User Guide v2", 72, 800, 8}});
            test::addBlock(pages.back(), {LineSpec{U"Copyright 2009", 450, 800, 8}});
        }
        const Document doc = buildDocument(pages, {});
        QCOMPARE(doc.sections.size(), std::size_t(2));
        for (int i = 0; i < 2; ++i) {
            const Section& s = doc.sections[static_cast<std::size_t>(i)];
            QCOMPARE(s.header.size(), std::size_t(1));
            const auto& runs = s.header[0].runs;
            QCOMPARE(textOf(s.header[0]), (i == 0 ? u"Chapter 1 Basics\t11"_qs : u"Chapter 2 Fonts\t14"_qs));
            QVERIFY(runs.back().pageNumberField); // the page number counts up with the pages...
            for (std::size_t k = 0; k + 1 < runs.size(); ++k)
                QVERIFY(!runs[k].pageNumberField); // ...the chapter number does not
            QCOMPARE(textsOf(s.footer), QStringList{u"User Guide v2\tCopyright 2009"_qs});
            QCOMPARE(s.paragraphs.size(), std::size_t(6)); // body and listing line of each page stay
        }
        QCOMPARE(textOf(doc.sections[0].paragraphs[1]), u"37 code"_qs);
        // Each section numbers its pages from the number printed on its first.
        QCOMPARE(doc.sections[0].page.firstPageNumber, 11);
        QCOMPARE(doc.sections[1].page.firstPageNumber, 14);
        QCOMPARE(textOf(doc.sections[1].paragraphs[0]), u"Body of page 14."_qs);
    }

    // A heading of the left column meets the gap between two paragraphs of the
    // right one: it stays in its column instead of cutting the page in two.
    void headingBesideAGapStaysInItsColumn()
    {
        pdf::PageText p = page(1);
        auto para = [&](const char32_t* start, double x, double first, int lines) {
            std::vector<LineSpec> sketches;
            for (int i = 0; i < lines; ++i)
                sketches.push_back(LineSpec{i + 1 < lines ? filler(start, 40) : std::u32string(start) + U" end.", x, first + 12 * i});
            test::addBlock(p, sketches);
        };
        para(U"Left one", 72, 100, 8);   // baselines 100..184
        test::addBlock(p, {LineSpec{U"Left heading", 72, 201, 10, true}});
        para(U"Left two", 72, 220, 8);
        para(U"Right one", 300, 100, 8); // ends at 184 + 2
        para(U"Right two", 300, 212, 8);
        const Document doc = buildDocument({p}, {});
        QStringList firstWords;
        for (const QString& t : textsOf(doc.sections.at(0).paragraphs))
            firstWords << t.section(u' ', 0, 1);
        QCOMPARE(firstWords, (QStringList{u"Left one"_qs, u"Left heading"_qs, u"Left two"_qs, u"Right one"_qs, u"Right two"_qs}));
    }

    // Two columns read one after the other where other text could tie them
    // together: section numbers set apart from their headings on the
    // baseline of a heading in the other column; a caption across the gutter
    // under the running heads; a short right column with the left one going
    // on under it. A formula across the gutter in pieces ends the columns;
    // text alone on its height inside a column (beside a picture) does not;
    // lines of both columns that poppler made one are cut at the gutter.
    void columnsKeepTheirOrder()
    {
        auto para = [](pdf::PageText& p, const char32_t* start, double x, double first, int lines) {
            std::vector<LineSpec> sketches;
            for (int i = 0; i < lines; ++i)
                sketches.push_back(LineSpec{i + 1 < lines ? filler(start, 40) : std::u32string(start) + U" end.", x, first + 12 * i});
            test::addBlock(p, sketches);
        };
        struct Case {
            const char* name;
            std::function<void(pdf::PageText&)> draw;
            QStringList firstWords;
        };
        const std::vector<Case> cases{
            {"section numbers on one baseline",
             [&](pdf::PageText& p) {
                 para(p, U"Left one", 72, 100, 8);
                 test::addBlock(p, {LineSpec{U"2", 72, 201, 10, true}});
                 test::addBlock(p, {LineSpec{U"Left heading", 84, 201, 10, true}});
                 para(p, U"Left two", 72, 220, 8);
                 para(p, U"Right one", 300, 100, 8);
                 test::addBlock(p, {LineSpec{U"4", 300, 201, 10, true}});
                 test::addBlock(p, {LineSpec{U"Right heading", 312, 201, 10, true}});
                 para(p, U"Right two", 300, 220, 8);
             },
             {u"Left one"_qs, u"2 Left"_qs, u"Left two"_qs, u"Right one"_qs, u"4 Right"_qs, u"Right two"_qs}},
            {"caption across the gutter",
             [&](pdf::PageText& p) {
                 test::addBlock(p, {LineSpec{U"Left head", 72, 60, 8}});
                 test::addBlock(p, {LineSpec{U"Right head", 480, 60, 8}});
                 test::addBlock(p, {LineSpec{U"Table 2: Commands", 240, 90}});
                 para(p, U"Left one", 72, 200, 8);
                 test::addBlock(p, {LineSpec{U"Left heading", 72, 300, 10, true}});
                 para(p, U"Left two", 72, 320, 8);
                 para(p, U"Right one", 300, 200, 8);
                 para(p, U"Right two", 300, 300, 10);
             },
             {u"Left head"_qs, u"Right head"_qs, u"Table 2:"_qs, u"Left one"_qs, u"Left heading"_qs, u"Left two"_qs, u"Right one"_qs, u"Right two"_qs}},
            {"left column going on under a short right one",
             [&](pdf::PageText& p) {
                 para(p, U"Left one", 72, 100, 30);
                 para(p, U"Right one", 300, 100, 8);
                 test::addBlock(p, {LineSpec{U"Appendix heading", 72, 480, 10, true}});
                 para(p, U"Left two", 72, 500, 5);
             },
             {u"Left one"_qs, u"Appendix heading"_qs, u"Left two"_qs, u"Right one"_qs}},
            {"formula in pieces across the gutter",
             [&](pdf::PageText& p) {
                 para(p, U"Left one", 72, 100, 8);
                 para(p, U"Right one", 300, 100, 8);
                 test::addBlock(p, {LineSpec{U"Fa = x + y + z + w", 190, 210}}); // ends 8 pt into the gutter
                 test::addBlock(p, {LineSpec{U"Fb + v + u", 292, 210}});
                 para(p, U"Left two", 72, 240, 8);
                 para(p, U"Right two", 300, 240, 8);
             },
             {u"Left one"_qs, u"Right one"_qs, u"Fa ="_qs, u"Fb +"_qs, u"Left two"_qs, u"Right two"_qs}},
            {"code line of the right column beside a picture",
             [&](pdf::PageText& p) {
                 para(p, U"Left one", 72, 100, 8);
                 para(p, U"Left two", 72, 280, 8);
                 para(p, U"Right one", 300, 100, 8);
                 test::addBlock(p, {LineSpec{U"\\appendix", 300, 204}});
                 para(p, U"Right two", 300, 224, 8);
             },
             {u"Left one"_qs, u"Left two"_qs, u"Right one"_qs, u"\\appendix"_qs, u"Right two"_qs}},
            {"lines of both columns on one baseline in one block",
             [&](pdf::PageText& p) {
                 para(p, U"Left one", 72, 100, 8);
                 auto& flow = test::addBlock(p, {LineSpec{U"\\bibliography{bib}", 84, 208}});
                 auto& line = flow.blocks.back().lines.back();
                 const pdf::TextLine right = test::makeLine(LineSpec{U"\\begin{acks}", 312, 208});
                 line.words.insert(line.words.end(), right.words.begin(), right.words.end());
                 flow.blocks.back().box.xMax = right.words.back().box.xMax;
                 para(p, U"Left two", 72, 232, 8);
                 para(p, U"Right one", 300, 100, 8);
                 para(p, U"Right two", 300, 232, 8);
             },
             {u"Left one"_qs, u"\\bibliography{bib}"_qs, u"Left two"_qs, u"Right one"_qs, u"\\begin{acks}"_qs, u"Right two"_qs}},
            {"both columns in one block tied by a formula running over",
             [&](pdf::PageText& p) {
                 para(p, U"Left one", 72, 100, 8);
                 para(p, U"Right one", 300, 100, 8);
                 auto& flow = test::addBlock(p, {LineSpec{U"Lcode a;", 84, 208}, LineSpec{U"Lcode b;", 84, 220},
                                                 LineSpec{U"Lcode c;", 84, 232}, LineSpec{U"Lcode d = e + f + g + h + i + j + k + l;", 84, 244}});
                 auto& lines = flow.blocks.back().lines;
                 for (std::size_t i = 0; i < 3; ++i) {
                     const pdf::TextLine right = test::makeLine(LineSpec{U"Rcode x;", 312, 208 + 12.0 * static_cast<double>(i)});
                     lines[i].words.insert(lines[i].words.end(), right.words.begin(), right.words.end());
                 }
                 flow.blocks.back().box.xMax = 360;
                 para(p, U"Left two", 72, 268, 8);
                 para(p, U"Right two", 300, 268, 8);
             },
             {u"Left one"_qs, u"Lcode a;"_qs, u"Lcode b;"_qs, u"Lcode c;"_qs, u"Lcode d"_qs, u"Left two"_qs, u"Right one"_qs,
              u"Rcode x;"_qs, u"Right two"_qs}},
            {"a number of the left column on a right column line's baseline",
             [&](pdf::PageText& p) {
                 para(p, U"Left one", 72, 100, 8);
                 para(p, U"Right one", 300, 100, 16);
                 test::addBlock(p, {LineSpec{U"(1935).", 80, 208}}); // on the baseline of the right one's 10th line
                 para(p, U"Left two", 72, 232, 8);
             },
             {u"Left one"_qs, u"(1935)."_qs, u"Left two"_qs, u"Right one"_qs}},
            {"right column's top beside a picture",
             [&](pdf::PageText& p) {
                 para(p, U"Right one", 300, 100, 8);
                 para(p, U"Left one", 72, 300, 8);
                 para(p, U"Right two", 300, 212, 8);
             },
             {u"Left one"_qs, u"Right one"_qs, u"Right two"_qs}},
        };
        QStringList wrong;
        for (const Case& c : cases) {
            pdf::PageText p = page(1);
            c.draw(p);
            QStringList firstWords;
            for (const Section& s : buildDocument({p}, {}).sections) // the columns are a section of their own
                for (const QString& t : textsOf(s.paragraphs))
                    firstWords << t.section(u' ', 0, 1);
            if (firstWords != c.firstWords)
                wrong << QStringLiteral("%1: %2").arg(QLatin1String(c.name), firstWords.join(u" | "));
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    // Page numbers of a table of contents come in a block of their own; each
    // goes back to its entry, and every entry is a paragraph whose number
    // sits at a right-aligned tab stop at the column's edge (dot leaders
    // where the PDF has them).
    void fragmentsRejoinTheirLines()
    {
        pdf::PageText p = page(1);
        test::addBlock(p, {LineSpec{U"Introduction", 72, 100, 10, true},
                           LineSpec{U"Symbols in math mode", 82, 112},
                           LineSpec{U"Soft hyphens . . . . . . . .", 82, 124},
                           LineSpec{U"Closing remarks", 72, 136, 10, true}});
        test::addBlock(p, {LineSpec{U"1", 300, 100, 10, true}, LineSpec{U"2", 300, 112}, LineSpec{U"2", 300, 124},
                           LineSpec{U"9", 300, 136, 10, true}});
        const Document doc = buildDocument({p}, {});
        const auto& toc = doc.sections.at(0).paragraphs;
        QCOMPARE(textsOf(toc), (QStringList{u"Introduction\t1"_qs, u"Symbols in math mode\t2"_qs, u"Soft hyphens\t2"_qs,
                                            u"Closing remarks\t9"_qs}));
        QCOMPARE(toc[0].format.referenceTab, (ReferenceTab{(305 - 72) * 20, false}));
        QCOMPARE(toc[2].format.referenceTab, (ReferenceTab{(305 - 72) * 20, true}));
        // Leaders poppler set apart from their title, in a block with the next entry.
        pdf::PageText q = page(1);
        test::addBlock(q, {LineSpec{U"21 Editing LaTeX files", 92, 100}});
        test::addBlock(q, {LineSpec{U". . . . . . . . 10", 300, 100}, LineSpec{U"22 The preamble . . . . . . 11", 92, 117}});
        QCOMPARE(textsOf(buildDocument({q}, {}).sections.at(0).paragraphs),
                 (QStringList{u"21 Editing LaTeX files\t10"_qs, u"22 The preamble\t11"_qs}));
        // An entry too long for its line goes on, indented, up to its leaders: one paragraph.
        pdf::PageText c = page(1);
        // (5 pt a character: the first line ends 10 pt short of the others, too little for "or".)
        test::addBlock(c, {LineSpec{U"Avoid extra line in centering, raggedleft and the like", 72, 100}, LineSpec{U"or raggedright . . . . . . . . . . . . . . . . . . 3", 92, 112},
                           LineSpec{U"Spacing issues . . . . . . . . . . . . . . . . . . . . 3", 72, 124}});
        const auto entries = buildDocument({c}, {}).sections.at(0).paragraphs;
        QCOMPARE(textsOf(entries), (QStringList{u"Avoid extra line in centering, raggedleft and the like or raggedright\t3"_qs, u"Spacing issues\t3"_qs}));
        // A sentence ending in a number is no entry.
        Paragraph sentence;
        sentence.runs.push_back(Run{u"It rose in 2020.", {}, false});
        QVERIFY(!tabToReference(sentence, 400, false));
        QCOMPARE(entries[0].format.alignment, Alignment::Left);
        QCOMPARE(entries[0].format.firstLineIndent, -20 * 20);
        // The lowered E of "LaTeX" made a line of its own goes back into its word.
        pdf::PageText r = page(1);
        test::addBlock(r, {LineSpec{U"LAT X files", 72, 100}});
        test::addBlock(r, {LineSpec{U"E", 87.5, 102}});
        // Two in the block of their own line.
        test::addBlock(r, {LineSpec{U"LAT X and T X", 72, 130}, LineSpec{U"E", 87.5, 132}, LineSpec{U"E", 127.5, 132}});
        QCOMPARE(textsOf(buildDocument({r}, {}).sections.at(0).paragraphs), (QStringList{u"LATEX files"_qs, u"LATEX and TEX"_qs}));
        QVERIFY(isLeadersOnly(U". . . . 10") && isLeadersOnly(U"......xii") && !isLeadersOnly(U"Index . . . 3"));
        QVERIFY(endsWithLeaders(U"Index.........xii"));
        QVERIFY(endsWithLeaders(U"Soft hyphens . . . ."));
        QVERIFY(!endsWithLeaders(U"A sentence ends here. 12"));
    }

    // Chinese text keeps the PDF's line pitch exactly (CJK fonts' own line
    // heights differ between readers); Latin text keeps the proportional rule.
    // A bullet from a font with no Unicode mapping reads as "•" at the text's size.
    void chineseLinesAndUnmappedBullets()
    {
        pdf::PageText p = page(1);
        test::addBlock(p, {LineSpec{U"中文第一行很长的文字内容继续写下去直到行尾为止", 72, 100, 10},
                           LineSpec{U"中文第二行很长的文字内容继续写下去直到行尾为止", 72, 115, 10},
                           LineSpec{U"第三行。", 72, 130, 10}});
        test::addBlock(p, {LineSpec{U"\u0088 http://www.ctex.org 主页", 90, 200, 10}});
        auto& bullet = p.flows.back().blocks.back().lines.back().words.front();
        bullet.fontSize = 23;
        bullet.box.yMin -= 20;
        test::addBlock(p, {LineSpec{U"Stray \u0088control", 72, 300, 10}});
        const Document doc = buildDocument({p}, {});
        const auto& ps = doc.sections.at(0).paragraphs;
        QCOMPARE(ps.size(), std::size_t(3));
        QCOMPARE(ps[0].format.exactLineSpacing, 15 * 20);
        QCOMPARE(textOf(ps[1]), u"• http://www.ctex.org 主页"_qs);
        QCOMPARE(ps[1].runs.front().format.halfPoints, 20);
        QCOMPARE(textOf(ps[2]), u"Stray control"_qs);
        QCOMPARE(ps[2].format.exactLineSpacing, 0);
    }

    // A manuscript's line numbers (small, in the margin, on the baselines of
    // prose lines, one more each line) are no text; a note's raised marks
    // and a listing's own line numbers stay.
    void lineNumbersOfAManuscriptGo()
    {
        struct Case {
            const char* name;
            double raise;     // the numbers' baseline above their lines'
            std::string font; // of the numbered lines
            bool numbersStay;
        };
        const std::vector<Case> cases{{"manuscript", 0, "ABCDEF+TimesNewRomanPSMT", false},
                                      {"notes' marks", 3, "ABCDEF+TimesNewRomanPSMT", true},
                                      {"listing", 0, "ABCDEF+CourierNewPSMT", true}};
        for (const Case& c : cases) {
            pdf::PageText p = page(1);
            std::vector<LineSpec> lines;
            for (int i = 0; i < 6; ++i) {
                const double baseline = 100 + 12 * i;
                lines.push_back(LineSpec{filler(U"Words", 60), 72, baseline, 10, false, false, c.font});
                test::addBlock(p, {LineSpec{std::u32string(1, U'1' + static_cast<char32_t>(i)), 50, baseline - c.raise, 6}});
            }
            test::addBlock(p, lines);
            const QString text = textsOf(buildDocument({p}, {}).sections.at(0).paragraphs).join(u' ');
            QVERIFY2(text.contains(u"Words"_qs), c.name);
            QVERIFY2(text.contains(u'4') == c.numbersStay, qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(c.name), text)));
        }
    }

    // Glyphs of TeX's math extension font are no bullets: a sum stays, the
    // pieces of a tall bracket go, the text around them stays.
    void mathExtensionPiecesAreNoBullets()
    {
        pdf::PageText p = page(1);
        test::addBlock(p, {LineSpec{U"\u0080 where x is given", 72, 100}});
        test::addBlock(p, {LineSpec{U"\u239B a \u239E \u2211 b", 72, 200}});
        // Poppler passes the font's own codes through: 0x58 a display sum,
        // 0x12 a big parenthesis, 0x30 the top of a tall one; a big brace
        // (0x08) alone on its line is not kept as a line.
        test::addBlock(p, {LineSpec{U"X c \u0012 d \u0030", 72, 300}, LineSpec{U"\u0008", 72, 312}});
        for (auto& block : p.flows)
            for (auto& line : block.blocks.front().lines)
                for (auto& word : line.words)
                    if (word.text.size() == 1 && (word.text[0] >= 0x80 || std::u32string_view(U"X\u0012\u0030\u0008").find(word.text[0]) != std::u32string_view::npos))
                        word.fontName = "ABCDEF+CMEX10";
        QCOMPARE(textsOf(buildDocument({p}, {}).sections.at(0).paragraphs),
                 (QStringList{u"where x is given"_qs, u"a \u2211 b"_qs, u"\u2211 c ( d"_qs}));
    }

    // "A" set apart from its title "关于 FAQ" on one baseline is one heading.
    void sectionLabelsJoinTheirTitles()
    {
        pdf::PageText p = page(1);
        test::addBlock(p, {LineSpec{U"A", 72, 100, 14, true}});
        test::addBlock(p, {LineSpec{U"关于 FAQ", 110, 100, 14, true}});
        test::addBlock(p, {LineSpec{filler(U"Body", 80), 72, 130}, LineSpec{U"ends here.", 72, 142}});
        const Document doc = buildDocument({p}, {});
        const auto& ps = doc.sections.at(0).paragraphs;
        QCOMPARE(ps.size(), std::size_t(2));
        QCOMPARE(textOf(ps[0]), u"A 关于 FAQ"_qs);
        QCOMPARE(ps[0].format.headingLevel, 1);
    }

    // Page numbers set between dashes, on alternate sides of the foot.
    void decoratedPageNumbersBecomeFields()
    {
        std::vector<pdf::PageText> pages;
        for (int n = 1; n <= 4; ++n) {
            pages.push_back(page(n));
            test::addBlock(pages.back(), {LineSpec{U"Body of page " + std::u32string(1, U'0' + static_cast<char32_t>(n)) + U".", 72, 200}});
            const std::u32string num = U"–" + std::u32string(1, U'0' + static_cast<char32_t>(n)) + U"–";
            test::addBlock(pages.back(), {LineSpec{num, n % 2 ? 72.0 : 500.0, 800, 9}});
        }
        const Document doc = buildDocument(pages, {});
        QCOMPARE(doc.sections.size(), std::size_t(1));
        const Section& s = doc.sections[0];
        QCOMPARE(s.paragraphs.size(), std::size_t(4));
        QCOMPARE(s.footer.size(), std::size_t(1));
        const auto& runs = s.footer[0].runs;
        QCOMPARE(runs.size(), std::size_t(3));
        QVERIFY(!runs[0].pageNumberField && runs[1].pageNumberField && !runs[2].pageNumberField);
        QCOMPARE(QString::fromStdU16String(runs[0].text + runs[2].text), u"––"_qs);
    }

    // "5   PACKAGE OPTIONS   20": the chapter number and the page number are
    // both lone numbers at one place; only the one counting with the pages is a field.
    void chapterNumberAndPageNumberInOneHead()
    {
        std::vector<pdf::PageText> pages;
        for (int n = 1; n <= 4; ++n) {
            const std::string digits = std::to_string(n + 19);
            pages.push_back(page(n));
            test::addBlock(pages.back(), {LineSpec{U"5", 72, 40, 9}});
            test::addBlock(pages.back(), {LineSpec{U"PACKAGE OPTIONS", 90, 40, 9}});
            test::addBlock(pages.back(), {LineSpec{std::u32string(digits.begin(), digits.end()), 500, 40, 9}});
            test::addBlock(pages.back(), {LineSpec{U"Body.", 72, 200}});
        }
        const Document doc = buildDocument(pages, {});
        QCOMPARE(doc.sections.size(), std::size_t(1));
        const auto& head = doc.sections[0].header;
        QCOMPARE(head.size(), std::size_t(1));
        QCOMPARE(textOf(head[0]), u"5\tPACKAGE OPTIONS\t20"_qs);
        for (std::size_t k = 0; k < head[0].runs.size(); ++k)
            QCOMPARE(head[0].runs[k].pageNumberField, k + 1 == head[0].runs.size());
    }

    // Without running heads, the first lines of the pages stand at one height
    // but read differently: they stay in the body.
    void firstLinesAtTheTopStayInTheBody()
    {
        std::vector<pdf::PageText> pages;
        for (int n = 1; n <= 4; ++n) {
            pages.push_back(page(n));
            test::addBlock(pages.back(), {LineSpec{filler(n % 2 ? U"odd" : U"even", 60 + static_cast<std::size_t>(n)), 72, 50}});
        }
        const Document doc = buildDocument(pages, {});
        QCOMPARE(doc.sections.size(), std::size_t(1));
        QVERIFY(doc.sections[0].header.empty());
        QCOMPARE(doc.sections[0].paragraphs.size(), std::size_t(4));
    }

    void headingsByRelativeSize()
    {
        pdf::PageText p = page(1);
        double y = 80;
        auto block = [&](std::u32string t, double size, bool bold, int lines = 1) {
            std::vector<LineSpec> sketches;
            for (int i = 0; i < lines; ++i) {
                sketches.push_back(LineSpec{i + 1 < lines ? filler(t.c_str(), 80) : t, 72, y, size, bold});
                y += size * 1.2;
            }
            y += 20;
            test::addBlock(p, sketches);
        };
        block(U"Chapter One", 20, true);
        block(U"Body text of the chapter, long enough to be the body.", 10, false, 4);
        block(U"Section 1.1", 14, true);
        block(U"More body text in the section that goes on and on.", 10, false, 4);
        block(U"A bold run-in title", 10, true);
        block(U"A large statement set over two lines, ending as a sentence does.", 14, false, 2);
        block(U"Closing body text that is the body of this page here.", 10, false, 4);
        const Document doc = buildDocument({p}, {});
        std::vector<int> levels;
        for (const Paragraph& para : doc.sections[0].paragraphs)
            levels.push_back(para.format.headingLevel);
        QCOMPARE(levels, (std::vector<int>{1, 0, 2, 0, 3, 0, 0}));
    }

    // A page without body text (blank, or only a running head) between two
    // pages with headings: each heading keeps its style, and only it.
    void headingsAfterAPageWithoutText()
    {
        std::vector<pdf::PageText> pages;
        auto addPage = [&](const char32_t* heading) {
            pages.push_back(page(static_cast<int>(pages.size()) + 1));
            if (!heading)
                return;
            test::addBlock(pages.back(), {LineSpec{heading, 72, 100, 16, true}});
            test::addBlock(pages.back(), {LineSpec{filler(U"Body", 80), 72, 140}, LineSpec{U"ends here.", 72, 152}});
            test::addBlock(pages.back(), {LineSpec{filler(U"More", 80), 72, 180}, LineSpec{U"ends too.", 72, 192}});
        };
        addPage(U"First Heading");
        addPage(nullptr);
        addPage(U"Second Heading");
        std::vector<int> levels;
        for (const Paragraph& para : buildDocument(pages, {}).sections.at(0).paragraphs)
            levels.push_back(para.format.headingLevel);
        QCOMPARE(levels, (std::vector<int>{1, 0, 0, 0, 1, 0, 0}));
    }

    // The same two lines in the head and foot zones of both pages of a short
    // document are its text, not running heads and feet.
    void repeatedTextOfAShortDocumentStaysBody()
    {
        std::vector<pdf::PageText> pages;
        for (int n = 1; n <= 2; ++n) {
            pages.push_back(page(n));
            test::addBlock(pages.back(), {LineSpec{U"Notice to all members", 72, 50}});
            test::addBlock(pages.back(), {LineSpec{U"Signed by the board", 72, 800}});
        }
        const Document doc = buildDocument(pages, {});
        QCOMPARE(doc.sections.size(), std::size_t(1));
        QVERIFY(doc.sections[0].header.empty() && doc.sections[0].footer.empty());
        QCOMPARE(textsOf(doc.sections[0].paragraphs), (QStringList{u"Notice to all members"_qs, u"Signed by the board"_qs,
                                                                   u"Notice to all members"_qs, u"Signed by the board"_qs}));
    }

    // Poppler starts a block at every line of a paragraph set at 1.5 lines,
    // and where the size changes inside a paragraph: such blocks are one
    // paragraph again. A full-width heading over its text stays apart.
    void paragraphsPopplerSplitAreWholeAgain()
    {
        pdf::PageText p = page(1);
        for (int i = 0; i < 3; ++i)
            test::addBlock(p, {LineSpec{filler(U"Spaced", 80), 72, 100.0 + 18 * i}});
        test::addBlock(p, {LineSpec{U"last spaced line.", 72, 154}});
        // "small, LARGE LARGE LARGE, small" over two lines: most of the first is larger.
        test::addBlock(p, {LineSpec{filler(U"Mixed", 80), 72, 200}});
        auto& mixed = p.flows.back().blocks.back().lines.back().words;
        for (std::size_t k = 2; k + 2 < mixed.size(); ++k)
            mixed[k].fontSize = 14;
        test::addBlock(p, {LineSpec{U"and back to ten.", 72, 214}});
        test::addBlock(p, {LineSpec{filler(U"Heading", 57), 72, 250, 14, true}});
        test::addBlock(p, {LineSpec{filler(U"Body", 80), 72, 266}, LineSpec{U"end.", 72, 278}});
        // Cells of a table's first column, evenly spaced, one block each: they had room to run on.
        for (int i = 0; i < 3; ++i)
            test::addBlock(p, {LineSpec{U"Cell", 72, 320.0 + 18 * i}});
        // Spaced again: a quotation indented 20 pt left and 40 pt right, whose
        // lines end at its own edge, a paragraph with its first line indented,
        // and one of two lines.
        const std::vector<LineSpec> spaced = {{filler(U"Quoted", 68), 92, 400}, {filler(U"and", 68), 92, 418},
            {U"end of quote.", 92, 436}, {filler(U"Indented", 76), 92, 472}, {filler(U"so", 80), 72, 490}, {U"done.", 72, 508},
            {filler(U"Two", 80), 72, 544}, {U"lines.", 72, 562}};
        for (const LineSpec& line : spaced)
            test::addBlock(p, {line});
        const Document doc = buildDocument({p}, {});
        const auto& ps = doc.sections.at(0).paragraphs;
        const QStringList texts = textsOf(ps);
        QCOMPARE(texts.size(), qsizetype(10));
        QCOMPARE(texts.mid(4, 3), (QStringList{u"Cell"_qs, u"Cell"_qs, u"Cell"_qs}));
        QVERIFY2(texts[7].startsWith(u"Quoted"_qs) && texts[7].endsWith(u"end of quote."_qs), qPrintable(texts[7]));
        QCOMPARE(ps[7].format.alignment, Alignment::Justify);
        QCOMPARE(ps[7].format.rightIndent, 40 * 20);
        QVERIFY2(texts[8].startsWith(u"Indented"_qs) && texts[8].endsWith(u"done."_qs), qPrintable(texts[8]));
        QCOMPARE(ps[8].format.firstLineIndent, 20 * 20);
        QVERIFY2(texts[9].startsWith(u"Two"_qs) && texts[9].endsWith(u"lines."_qs), qPrintable(texts[9]));
        QVERIFY(texts[0].startsWith(u"Spaced"_qs) && texts[0].endsWith(u"last spaced line."_qs));
        QVERIFY2(ps[0].format.lineSpacing >= 340, QByteArray::number(ps[0].format.lineSpacing));
        QVERIFY(texts[1].startsWith(u"Mixed"_qs) && texts[1].endsWith(u"and back to ten."_qs));
        QCOMPARE(ps[1].format.headingLevel, 0);
        QVERIFY(texts[2].startsWith(u"Heading"_qs));
        QVERIFY(ps[2].format.headingLevel > 0);
        QVERIFY(texts[3].startsWith(u"Body"_qs));
    }

    // A line poppler cut into pieces side by side on one baseline (at quotes
    // in another font), the pieces overlapping or apart: one line, one paragraph.
    void linePiecesOnOneBaselineAreOneLine()
    {
        pdf::PageText p = page(1);
        test::addBlock(p, {LineSpec{U"甲乙丙丁", 72, 100}, LineSpec{U"戊己庚辛壬癸", 110, 100}, LineSpec{U"Tech", 175, 100},
                           LineSpec{U"子丑寅卯辰巳午未申酉戌亥", 200, 100}, LineSpec{U"天地玄黄。", 72, 114}});
        QCOMPARE(textsOf(buildDocument({p}, {}).sections.at(0).paragraphs),
                 (QStringList{u"甲乙丙丁戊己庚辛壬癸 Tech 子丑寅卯辰巳午未申酉戌亥天地玄黄。"_qs}));
    }

    // A centred paragraph whose lines nearly fill the column is one paragraph;
    // a centred title over its author's name (room for the name beside the
    // title) is two. A stamp up the margin does not move the page's centre.
    void centredLinesAndTheirParagraphs()
    {
        pdf::PageText p = page(1);
        test::addBlock(p, {LineSpec{U"Title Of The Paper", 72 + (400 - 90) / 2.0, 80, 10}, // 18 chars: 90 pt
                           LineSpec{U"A. Writer", 72 + (400 - 45) / 2.0, 92, 10}});
        test::addBlock(p, {LineSpec{filler(U"Centred", 76), 82, 120}, LineSpec{filler(U"nearly", 78), 77, 132},
                           LineSpec{U"short last line", 72 + (400 - 75) / 2.0, 144}});
        test::addBlock(p, {LineSpec{filler(U"Body", 80), 72, 170}, LineSpec{U"end.", 72, 182}});
        test::addBlock(p, {LineSpec{U"arXiv:2612.00001v1", 32, 500}}).blocks.back().rotation = 3;
        // Ragged right under an indented first line: the centres agree by chance.
        test::addBlock(p, {LineSpec{filler(U"Ragged", 74), 82, 220}, LineSpec{filler(U"n", 78), 72, 232},
                           LineSpec{filler(U"o", 77), 72, 244}, LineSpec{filler(U"t", 76), 72, 256}});
        const Document doc = buildDocument({p}, {});
        const auto& ps = doc.sections.at(0).paragraphs;
        const QStringList texts = textsOf(ps);
        QCOMPARE(texts.size(), qsizetype(6));
        QVERIFY(texts[4].startsWith(u"Ragged"_qs));
        QCOMPARE(texts.mid(0, 3), (QStringList{u"Title Of The Paper"_qs, u"A. Writer"_qs, texts[2]}));
        QVERIFY2(texts[2].startsWith(u"Centred"_qs) && texts[2].endsWith(u"short last line"_qs), qPrintable(texts[2]));
        for (int i : {0, 1, 2})
            QCOMPARE(ps[static_cast<std::size_t>(i)].format.alignment, Alignment::Center);
        QCOMPARE(ps[3].format.alignment, Alignment::Justify);
        QCOMPARE(doc.sections[0].page.marginLeft, 72 * 20);
    }

    // A note set just right of a justified column shares a baseline with a
    // line of it: it leaves the line and is read after the page's text, as
    // is a note standing alone in the margin. A line running past the edge
    // with its own word spacing keeps its words.
    void marginNotesLeaveTheText()
    {
        pdf::PageText p = page(1);
        std::vector<LineSpec> body;
        for (int i = 0; i < 5; ++i)
            body.push_back(LineSpec{filler(U"Body", 80), 72, 100.0 + 12 * i});
        body.push_back(LineSpec{U"end of the paragraph.", 72, 160});
        test::addBlock(p, body);
        auto& noted = p.flows.back().blocks.back().lines[1].words;
        pdf::TextWord note = noted.back();
        note.text = U"see";
        note.box.xMin = 484; // 12 pt off the column: more than twice the line's word spaces
        note.box.xMax = 499;
        noted.back().spaceAfter = true;
        noted.push_back(note);
        test::addBlock(p, {LineSpec{U"Aside", 486, 136}});
        const Document doc = buildDocument({p}, {});
        const QStringList texts = textsOf(doc.sections.at(0).paragraphs);
        QCOMPARE(texts.size(), qsizetype(3));
        QVERIFY2(texts[0].startsWith(u"Body"_qs) && texts[0].endsWith(u"end of the paragraph."_qs) && !texts[0].contains(u"see"_qs),
                 qPrintable(texts[0]));
        QCOMPARE(texts.mid(1), (QStringList{u"see"_qs, u"Aside"_qs}));
        QCOMPARE(doc.sections[0].page.marginRight, (595 - 472) * 20);
    }

    // What the rules for contents, notes and headings must leave alone.
    void lookalikesStayAsTheyAre()
    {
        pdf::PageText p = page(1);
        // Prose with an ellipsis before a number; a full stop before a number set apart.
        test::addBlock(p, {LineSpec{U"and the count ran on ... 1990", 72, 100}});
        test::addBlock(p, {LineSpec{U"which ends the page.", 72, 130}});
        test::addBlock(p, {LineSpec{U"31", 300, 130}});
        // A bold heading ending in a roman command name, over roman text.
        test::addBlock(p, {LineSpec{U"Optional arguments to", 72, 160, 10, true}, LineSpec{filler(U"Position", 80), 72, 172},
                           LineSpec{U"as specified.", 72, 184}});
        p.flows.back().blocks.back().lines[0].words.back().spaceAfter = true;
        pdf::TextWord command;
        command.text = U"\\begin";
        command.box = {185, 152, 215, 162};
        command.baseline = 160;
        command.fontSize = 10;
        command.fontName = "ABCDEF+CMTT10";
        command.fixedWidth = true;
        p.flows.back().blocks.back().lines[0].words.push_back(command);
        // Rows of a table running past the text's edge keep their last cells.
        for (int i = 0; i < 4; ++i)
            test::addBlock(p, {LineSpec{filler(U"Text", 80), 72, 220.0 + 12 * i}});
        test::addBlock(p, {LineSpec{U"end.", 72, 268}});
        test::addBlock(p, {LineSpec{U"Row one long cell text here Yes", 72, 300}, LineSpec{U"Row two long cell text here No", 72, 312}});
        auto& rows = p.flows.back().blocks.back().lines;
        for (auto& row : rows) {
            row.words.back().box.xMin = 480;
            row.words.back().box.xMax = 495;
        }
        const QStringList texts = textsOf(buildDocument({p}, {}).sections.at(0).paragraphs);
        QVERIFY2(texts.contains(u"and the count ran on ... 1990"_qs), qPrintable(texts.join(u'|')));
        QVERIFY2(texts.contains(u"which ends the page.\t31"_qs), qPrintable(texts.join(u'|')));
        QVERIFY2(texts.contains(u"Optional arguments to \\begin"_qs), qPrintable(texts.join(u'|')));
        QVERIFY2(texts.contains(u"Row one long cell text here Yes Row two long cell text here No"_qs)
                     || (texts.contains(u"Row one long cell text here Yes"_qs) && texts.contains(u"Row two long cell text here No"_qs)),
                 qPrintable(texts.join(u'|')));
    }

    // Poppler gives a word the colour of its first character: a comma after
    // a red word is the text's colour again.
    void punctuationAfterAColouredWord()
    {
        pdf::PageText p = page(1);
        test::addBlock(p, {LineSpec{U"plain red words, then plain.", 72, 100}});
        auto& words = p.flows.back().blocks.back().lines.back().words;
        words[1].colorRgb = words[2].colorRgb = 0xC00000;
        const Document doc = buildDocument({p}, {});
        const auto& runs = doc.sections.at(0).paragraphs.at(0).runs;
        QCOMPARE(runs.size(), std::size_t(3));
        QCOMPARE(QString::fromStdU16String(runs[1].text), u"red words"_qs);
        QCOMPARE(runs[1].format.colorRgb, 0xC00000u);
        QCOMPARE(QString::fromStdU16String(runs[2].text), u", then plain."_qs);
        QCOMPARE(runs[2].format.colorRgb, 0u);
    }

    // Margins come from the band of the ordinary pages: a narrow title page
    // keeps it (its lines centred in it), odd and even pages set apart
    // differently share it, and only a page whose text reaches well beyond it
    // gets a section of its own. The running heads give the header distance.
    void sectionMarginsFromTheOrdinaryPages()
    {
        std::vector<pdf::PageText> pages;
        pages.push_back(page(1));
        test::addBlock(pages.back(), {LineSpec{U"A Title", 254.5, 300, 10}});
        auto fullPage = [&](double left, bool wide) {
            pages.push_back(page(static_cast<int>(pages.size()) + 1));
            test::addBlock(pages.back(), {LineSpec{U"Guide heading", left, 40, 9}});
            std::vector<LineSpec> lines;
            const std::u32string start = U"Page" + std::u32string(1, U'0' + static_cast<char32_t>(pages.size()));
            for (double y = 80; y < 760; y += 12)
                lines.push_back(LineSpec{filler(start.c_str(), wide ? 100 : 80), left, y});
            test::addBlock(pages.back(), lines);
        };
        fullPage(72, false);
        fullPage(92, false);
        fullPage(72, false);
        fullPage(40, true);
        const Document doc = buildDocument(pages, {});
        // The title page has no head, so a section of its own, with the same setup.
        QCOMPARE(doc.sections.size(), std::size_t(3));
        QCOMPARE(doc.sections[0].page, doc.sections[1].page);
        const PageSetup& setup = doc.sections[0].page;
        QCOMPARE(setup.marginLeft, 72 * 20);
        QCOMPARE(setup.marginRight, (595 - 72 - 400) * 20); // 80 characters of 5 pt
        QCOMPARE(setup.marginTop, 72 * 20);
        QCOMPARE(setup.marginBottom, twips(842 - 754 - kFootSlackPt)); // the last baseline 752, descent 2
        QCOMPARE(setup.headerDistance, qRound((40 - 0.8 * 9) * 20)); // the head's top
        const auto& title = doc.sections[0].paragraphs.front();
        QCOMPARE(textOf(title), u"A Title"_qs);
        QCOMPARE(title.format.alignment, Alignment::Center);
        // The even page's paragraphs are not indented by its shift.
        for (const Paragraph& p : doc.sections[1].paragraphs)
            QCOMPARE(p.format.leftIndent, 0);
        QCOMPARE(doc.sections[2].page.marginLeft, 40 * 20);
        QCOMPARE(doc.sections[2].page.headerDistance, setup.headerDistance);
    }

    // After a full page the text flows on by itself; a page that ends short
    // (a chapter's last page) ends with a page break.
    // A book's heads alternating between odd and even pages make a section
    // per page; after a full page it starts where the text flows on.
    void pageBreaksOnlyAfterShortPages()
    {
        auto pagesEnding = [](bool heads) {
            std::vector<pdf::PageText> pages;
            for (double last : {752.0, 200.0, 752.0, 752.0}) {
                pages.push_back(page(static_cast<int>(pages.size()) + 1));
                const bool odd = pages.size() % 2 == 1;
                if (heads)
                    test::addBlock(pages.back(), {LineSpec{odd ? U"Chapter head" : U"Section head", 72, 40, 9}});
                const std::u32string start = U"Page" + std::u32string(1, U'0' + static_cast<char32_t>(pages.size()));
                std::vector<LineSpec> lines;
                for (double y = 80; y <= last; y += 12)
                    lines.push_back(LineSpec{filler(start.c_str(), 80), 72, y});
                test::addBlock(pages.back(), lines);
            }
            return buildDocument(pages, {});
        };
        const auto& paragraphs = pagesEnding(false).sections.at(0).paragraphs;
        QCOMPARE(paragraphs.size(), std::size_t(4));
        std::vector<bool> breaks;
        for (const Paragraph& p : paragraphs)
            breaks.push_back(p.pageBreakBefore);
        QCOMPARE(breaks, (std::vector<bool>{false, false, true, false}));

        // Heads alternating between odd and even pages share one section:
        // the breaks are those of the pages without heads.
        const Document book = pagesEnding(true);
        QCOMPARE(book.sections.size(), std::size_t(1));
        QVERIFY(book.sections[0].evenPagesDiffer);
        std::vector<bool> bookBreaks;
        for (const Paragraph& p : book.sections[0].paragraphs)
            bookBreaks.push_back(p.pageBreakBefore);
        QCOMPARE(bookBreaks, breaks);
    }

    // Which images become figures and where they stand among the paragraphs.
    void picturesTakeTheirPlaceInTheText()
    {
        const auto image = std::make_shared<ImageData>(ImageData{ImageFormat::Png, {1, 2, 3}, 10, 10});
        const auto other = std::make_shared<ImageData>(ImageData{ImageFormat::Jpeg, {4, 5, 6}, 10, 10});
        auto picture = [&](pdf::Box box, std::shared_ptr<ImageData> data = nullptr, pdf::Box visible = {}) {
            return pdf::PageImage{box, visible.width() > 0 ? visible : box, data ? data : image, false};
        };
        struct Case {
            const char* name;
            std::vector<pdf::PageImage> images;
            std::vector<std::size_t> before; // each figure's place: before this paragraph
            std::vector<std::size_t> picturesPerFigure;
        };
        // Paragraphs: "Above" at 100, "Below" at 400 (left column of the page's width).
        const std::vector<Case> cases = {
            {"between two paragraphs", {picture({200, 150, 400, 300})}, {1}, {1}},
            {"above all text", {picture({200, 40, 400, 80})}, {0}, {1}},
            {"below all text", {picture({200, 450, 400, 600})}, {2}, {1}},
            {"a spacer is no picture", {picture({200, 150, 201, 151})}, {}, {}},
            {"hidden by a later image", {picture({220, 160, 300, 200}), picture({200, 150, 400, 300}, other)}, {1}, {1}},
            {"side by side: one figure", {picture({72, 150, 250, 300}), picture({300, 160, 500, 290}, other)}, {1}, {2}},
            {"behind the text: a background", {picture({0, 0, 595, 842})}, {}, {}},
            {"a bar behind one word: a background", {picture({60, 90, 100, 106})}, {}, {}},
        };
        for (const Case& c : cases) {
            pdf::PageText p = page(1);
            test::addBlock(p, {LineSpec{U"Above the picture", 72, 100}});
            test::addBlock(p, {LineSpec{U"Below the picture", 72, 400}});
            p.images = c.images;
            const Document doc = buildDocument({p}, {});
            const Section& section = doc.sections.at(0);
            QCOMPARE(textsOf(section.paragraphs), (QStringList{u"Above the picture"_qs, u"Below the picture"_qs}));
            std::vector<std::size_t> before, counts;
            for (const Figure& f : section.figures) {
                before.push_back(f.beforeParagraph);
                counts.push_back(f.pictures.size());
            }
            QVERIFY2(before == c.before && counts == c.picturesPerFigure, c.name);
        }

        // A figure at the top of the right column of a two-column page comes
        // after the left column and before the right one's text, in its column.
        {
            pdf::PageText p = page(1);
            std::vector<LineSpec> left, right;
            for (double y = 80; y < 760; y += 12)
                left.push_back(LineSpec{filler(U"Left", 40), 72, y});
            for (double y = 300; y < 760; y += 12)
                right.push_back(LineSpec{filler(U"Right", 40), 323, y});
            test::addBlock(p, left);
            test::addBlock(p, right);
            p.images = {picture({330, 80, 510, 280})};
            const Document built = buildDocument({p}, {});
            const Section& s = built.sections.at(0);
            QCOMPARE(s.page.columns.size(), std::size_t(2));
            QCOMPARE(s.figures.size(), std::size_t(1));
            QCOMPARE(textOf(s.paragraphs.at(s.figures[0].beforeParagraph)).left(5), u"Right"_qs);
            QCOMPARE(textOf(s.paragraphs.at(s.figures[0].beforeParagraph - 1)).left(4), u"Left"_qs);
            QVERIFY(!s.figures[0].columnBreakBefore); // the left column is full: the text flows on
            QCOMPARE(s.figures[0].pictures.at(0).width, 180 * 20); // fits its column: not shrunk
        }

        // An icon inside a line stays in its line, in its paragraph's text.
        {
            pdf::PageText p = page(1);
            test::addBlock(p, {LineSpec{U"Press the key to go on", 72, 100}});
            p.images = {picture({138, 92, 141, 102})}; // in the gap between "key" and "to"
            const Document built = buildDocument({p}, {});
            const Section& s = built.sections.at(0);
            QVERIFY(s.figures.empty());
            QCOMPARE(s.paragraphs.size(), std::size_t(1));
            QCOMPARE(textOf(s.paragraphs[0]), QStringLiteral("Press the key %1 to go on").arg(QChar(kInlinePictureMark)));
            QCOMPARE(s.paragraphs[0].inlinePictures.size(), std::size_t(1));
            QCOMPARE(s.paragraphs[0].inlinePictures[0].width, 3 * 20);
        }

        // Size, crop and indent: shown 200 x 150 pt, its left quarter clipped away.
        pdf::PageText p = page(1);
        test::addBlock(p, {LineSpec{filler(U"Text", 80), 72, 100}});
        p.images = {picture({72, 150, 272, 300}, nullptr, {122, 150, 272, 300})};
        const Figure f = buildDocument({p}, {}).sections.at(0).figures.at(0);
        QCOMPARE(f.pictures.at(0).width, 200 * 20);
        QCOMPARE(f.pictures.at(0).height, 150 * 20);
        QCOMPARE(f.pictures.at(0).cropLeft, 0.25);
        QCOMPARE(f.pictures.at(0).shownWidth(), 150 * 20);
        QCOMPARE(f.format.alignment, Alignment::Left);
        QCOMPARE(f.format.leftIndent, 50 * 20);
    }

    // A title across the page over two columns: a one-column section, then a
    // continuous section of two columns with the PDF's widths and gap; the
    // left column ends short (a column break), then the text runs on to a
    // second two-column page without a new section.
    // A ruled table becomes a Word table between its paragraphs, its words
    // out of the text, its cells aligned as drawn; its continuation at the top
    // of the next page, under the header drawn again, joins it.
    void tablesLeaveTheTextAndJoinAcrossPages()
    {
        const double left = 72, rowHeight = 16;
        std::vector<double> widths{60, 200, 80};
        // A grid of rules with the rows' cells, from `top` down; cell text
        // is set left, but a number right.
        auto table = [&](pdf::PageText& p, double top, const std::vector<std::vector<std::u32string>>& rows) {
            const double right = left + widths[0] + widths[1] + widths[2];
            auto rule = [&](pdf::Box box) {
                pdf::PagePath path;
                path.box = box;
                path.stroked = true;
                path.lineWidth = 0.5;
                path.rectangle = true;
                p.paths.push_back(path);
            };
            for (std::size_t r = 0; r <= rows.size(); ++r)
                rule({left, top + static_cast<double>(r) * rowHeight, right, top + static_cast<double>(r) * rowHeight});
            double x = left;
            for (std::size_t c = 0; c <= widths.size(); ++c) {
                rule({x, top, x, top + static_cast<double>(rows.size()) * rowHeight});
                if (c < widths.size())
                    x += widths[c];
            }
            for (std::size_t r = 0; r < rows.size(); ++r) {
                double cellLeft = left;
                for (std::size_t c = 0; c < rows[r].size(); ++c) {
                    const std::u32string& text = rows[r][c];
                    const bool number = r > 0 && c == 2;
                    const double textWidth = static_cast<double>(text.size()) * 5; // size 10: 5 pt a character
                    const double x0 = number ? cellLeft + widths[c] - 4 - textWidth : cellLeft + 4;
                    test::addBlock(p, {LineSpec{text, x0, top + static_cast<double>(r) * rowHeight + 12, 10, r == 0}});
                    cellLeft += widths[c];
                }
            }
        };
        const std::vector<std::u32string> header{U"Item", U"Description", U"Amount"};
        // Over three pages; the last part's first column holds a longer
        // number, and a word the PDF placed nowhere (NaN).
        std::vector<pdf::PageText> pages{page(1), page(2), page(3)};
        test::addBlock(pages[0], {LineSpec{filler(U"Before the table ", 80), 72, 100}});
        for (double y = 112; y < 680; y += 12)
            test::addBlock(pages[0], {LineSpec{filler(U"Body ", 80), 72, y}});
        table(pages[0], 700, {header, {U"1", U"First part", U"3.00"}, {U"2", U"Second part", U"12.50"}});
        table(pages[1], 92, {header, {U"3", U"Third part", U"7.25"}, {U"4", U"Fourth part", U"100.00"}});
        table(pages[2], 92, {header, {U"123456789012", U"Fifth part", U"1.25"}});
        test::addBlock(pages[2], {LineSpec{filler(U"After the table ", 80), 72, 150}});
        pdf::TextWord nowhere = pages[2].flows.back().blocks.back().lines.back().words.back();
        nowhere.text = U"nowhere";
        nowhere.box = {std::nan(""), std::nan(""), std::nan(""), std::nan("")};
        pages[2].flows.back().blocks.back().lines.back().words.push_back(nowhere);

        const Document doc = buildDocument(pages, {});
        QCOMPARE(doc.sections.size(), std::size_t(1));
        const Section& s = doc.sections[0];
        QCOMPARE(s.tables.size(), std::size_t(1));
        const Table& t = s.tables[0];
        QCOMPARE(t.beforeParagraph, s.paragraphs.size() - 1);
        QVERIFY(textOf(s.paragraphs.back()).startsWith(u"After the table"_qs));
        for (const Paragraph& p : s.paragraphs)
            QVERIFY2(!textOf(p).contains(u"part"_qs) && !textOf(p).contains(u"Amount"_qs), qPrintable(textOf(p)));
        QStringList rows;
        for (const TableRow& row : t.rows) {
            QStringList cells;
            for (const TableCell& c : row.cells)
                cells << QString::fromStdU16String(cellText(c));
            rows << (row.header ? u"H "_qs : u""_qs) + cells.join(u'|');
        }
        QCOMPARE(rows, (QStringList{u"H Item|Description|Amount"_qs, u"1|First part|3.00"_qs, u"2|Second part|12.50"_qs,
                                    u"3|Third part|7.25"_qs, u"4|Fourth part|100.00"_qs, u"123456789012|Fifth part|1.25"_qs}));
        // Every row in the first part's columns.
        for (const TableRow& row : t.rows)
            for (std::size_t c = 0; c < widths.size(); ++c)
                QCOMPARE(row.cells[c].width, twips(widths[c]));
        QCOMPARE(t.rows[0].cells[0].top.width, 4); // half a point, in eighths
        QCOMPARE(t.rows[2].cells[1].paragraphs.at(0).format.alignment, Alignment::Left);
        QCOMPARE(t.rows[2].cells[2].paragraphs.at(0).format.alignment, Alignment::Right);
        QVERIFY(t.rows[0].cells[0].paragraphs.at(0).runs.at(0).format.bold);

        // A column drawn tighter than Word pads its cells takes room from the
        // others: its text does not wrap, the table's width stays.
        widths = {24, 200, 80};
        pdf::PageText tight = page(1);
        table(tight, 100, {header, {U"Ag", U"Silver", U"1.00"}, {U"Au", U"Gold", U"2.00"}});
        const Table narrow = buildDocument({tight}, {}).sections.at(0).tables.at(0);
        const auto& cells = narrow.rows.at(1).cells;
        QVERIFY2(points(cells[0].width) >= 20 + 2 * kWordCellPaddingPt, qPrintable(QString::number(cells[0].width))); // "Item"
        QVERIFY(std::abs(cells[0].width + cells[1].width + cells[2].width - twips(24 + 200 + 80)) <= 3);

        // A picture under a table, both before the same paragraph, stays under it.
        pdf::PageText pictured = page(1);
        test::addBlock(pictured, {LineSpec{U"Above the table", 72, 100}});
        table(pictured, 150, {header, {U"1", U"First part", U"3.00"}});
        const auto image = std::make_shared<ImageData>(ImageData{ImageFormat::Png, {1, 2, 3}, 10, 10});
        pictured.images.push_back({{100, 250, 300, 350}, {100, 250, 300, 350}, image, false});
        test::addBlock(pictured, {LineSpec{U"Below the picture", 72, 400}});
        const Section placed = buildDocument({pictured}, {}).sections.at(0);
        QCOMPARE(placed.tables.size(), std::size_t(1));
        QCOMPARE(placed.figures.size(), std::size_t(1));
        QCOMPARE(placed.tables[0].beforeParagraph, std::size_t(1));
        QCOMPARE(placed.figures[0].beforeParagraph, std::size_t(1));
        QCOMPARE(placed.tables[0].afterFigures, std::size_t(0));
    }

    void columnsBecomeWordColumns()
    {
        std::vector<pdf::PageText> pages;
        for (int n = 1; n <= 2; ++n) {
            pages.push_back(page(n));
            if (n == 1)
                test::addBlock(pages.back(), {LineSpec{U"A Paper Title Across Both Columns Of The Page", 150, 80, 14}});
            const std::u32string l = U"Left" + std::u32string(1, U'0' + static_cast<char32_t>(n));
            const std::u32string r = U"Right" + std::u32string(1, U'0' + static_cast<char32_t>(n));
            std::vector<LineSpec> left, right;
            const double top = n == 1 ? 120 : 80;
            for (double y = top; y < (n == 1 ? 600 : 760); y += 12)
                left.push_back(LineSpec{filler(l.c_str(), 40), 72, y}); // 200 pt wide
            for (double y = top; y < 760; y += 12)
                right.push_back(LineSpec{filler(r.c_str(), 40), 323, y});
            test::addBlock(pages.back(), left);
            test::addBlock(pages.back(), right);
        }
        const Document doc = buildDocument(pages, {});
        QCOMPARE(doc.sections.size(), std::size_t(2));
        QVERIFY(doc.sections[0].page.columns.empty());
        QCOMPARE(textOf(doc.sections[0].paragraphs.at(0)), u"A Paper Title Across Both Columns Of The Page"_qs);
        const Section& cols = doc.sections[1];
        QVERIFY(cols.page.continuous);
        QCOMPARE(cols.page.columns.size(), std::size_t(2));
        QCOMPARE(cols.page.columns[0].spaceAfter, (323 - 272) * 20);
        QCOMPARE(cols.page.columns[0].width + cols.page.columns[0].spaceAfter + cols.page.columns[1].width,
                 cols.page.width - cols.page.marginLeft - cols.page.marginRight);
        QStringList order;
        std::vector<bool> columnBreaks;
        for (const Paragraph& p : cols.paragraphs) {
            order << textOf(p).left(6);
            columnBreaks.push_back(p.columnBreakBefore);
        }
        QCOMPARE(order, (QStringList{u"Left1 "_qs, u"Right1"_qs, u"Left2 "_qs, u"Right2"_qs}));
        // Only the short left column of page 1 ends with a break; full columns flow on.
        QCOMPARE(columnBreaks, (std::vector<bool>{false, true, false, false}));
    }

    void pageSetupKeepsRoomForText()
    {
        const pdf::Box lone{10, 10, 20, 20};
        const PageSetup s = pageSetupFor(100, 100, &lone);
        QCOMPARE(s.marginLeft, kMinMarginTwips);
        QCOMPARE(s.marginRight, kMinMarginTwips); // 100 pt is narrower than margins plus the minimum body
        QVERIFY(s.marginLeft >= kMinMarginTwips && s.marginTop >= kMinMarginTwips);
        const PageSetup none = pageSetupFor(612, 792, nullptr);
        QCOMPARE(none.width, 612 * 20);
        QCOMPARE(none.height, 792 * 20);
    }
};

QTEST_APPLESS_MAIN(LayoutTest)
#include "LayoutTest.moc"

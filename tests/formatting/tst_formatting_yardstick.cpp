// The yardstick checked by hand: a small flat ODF written here, read back and
// scored against a truth that fits it in some places and not in others, so
// that a fault in the reading or the scoring shows.
#include "Fidelity.h"
#include "FodtDocument.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace fmt;

namespace {

const char* const kFodt = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0">
 <office:font-face-decls>
  <style:font-face style:name="Times New Roman" svg:font-family="'Times New Roman'"/>
  <style:font-face style:name="Arial1" svg:font-family="Arial"/>
  <style:font-face style:name="SimSun" svg:font-family="SimSun"/>
 </office:font-face-decls>
 <office:styles>
  <style:default-style style:family="paragraph"><style:text-properties fo:font-size="12pt" style:font-name-asian="SimSun" style:font-size-asian="12pt"/></style:default-style>
  <style:style style:name="Standard" style:family="paragraph"><style:text-properties style:font-name="Times New Roman"/></style:style>
  <style:style style:name="Heading_20_1" style:family="paragraph" style:parent-style-name="Standard" style:default-outline-level="1">
   <style:text-properties fo:font-size="16pt" fo:font-weight="bold"/></style:style>
 </office:styles>
 <office:automatic-styles>
  <style:style style:name="P1" style:family="paragraph" style:parent-style-name="Heading_20_1"/>
  <style:style style:name="P2" style:family="paragraph" style:parent-style-name="Standard">
   <style:paragraph-properties fo:text-align="center" fo:margin-left="0.5in" fo:text-indent="-0.25in"/>
   <style:text-properties fo:font-size="11pt"/></style:style>
  <style:style style:name="P3" style:family="paragraph" style:parent-style-name="Standard" style:master-page-name="Wide"/>
  <style:style style:name="T1" style:family="text"><style:text-properties fo:font-weight="bold" fo:color="#c00000" style:font-name="Arial1"/></style:style>
  <style:style style:name="T2" style:family="text"><style:text-properties style:text-position="super 58%"/></style:style>
  <style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="8.2681in" fo:page-height="11.6929in"/></style:page-layout>
  <style:page-layout style:name="pm2"><style:page-layout-properties fo:page-width="11.6929in" fo:page-height="8.2681in"/></style:page-layout>
 </office:automatic-styles>
 <office:master-styles>
  <style:master-page style:name="Standard" style:page-layout-name="pm1">
   <style:header><text:p>Annual Report</text:p></style:header>
   <style:footer><text:p>Page <text:page-number>1</text:page-number></text:p></style:footer>
  </style:master-page>
  <style:master-page style:name="Wide" style:page-layout-name="pm2"/>
 </office:master-styles>
 <office:body><office:text>
  <text:h text:style-name="P1" text:outline-level="1">Introduction</text:h>
  <text:p text:style-name="P2">Plain <text:span text:style-name="T1">bold red</text:span> words, E = mc<text:span text:style-name="T2">2</text:span> and 中文 text.</text:p>
  <text:p text:style-name="Standard">A body line</text:p>
  <text:p text:style-name="P3">On the wide page.</text:p>
  <text:p text:style-name="Standard">Still on the wide page.</text:p>
 </office:text></office:body>
</office:document>
)";

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<fodt::Document> view;
    Fixture()
    {
        QFile f(dir.filePath(QStringLiteral("sample.fodt")));
        if (f.open(QIODevice::WriteOnly))
            f.write(kFodt);
        f.close();
        view = std::make_unique<fodt::Document>(fodt::read(f.fileName()));
    }
};

TruthRun run(const QString& text, int paragraph, const QString& family, double size, bool bold)
{
    TruthRun r;
    r.text = text;
    r.paragraph = paragraph;
    r.families = {family};
    r.size = size;
    r.bold = bold;
    return r;
}

TruthParagraph paragraph(const QString& text, Align align, int heading = 0, int page = 1)
{
    TruthParagraph p;
    p.text = text;
    p.align = align;
    p.headingLevel = heading;
    p.page = page;
    return p;
}

} // namespace

class YardstickTest : public QObject {
    Q_OBJECT

private slots:
    // Each character's format: span, then paragraph style and its parents, then the defaults.
    void resolvesFormatsThroughStyles()
    {
        Fixture fx;
        const fodt::Document& v = *fx.view;
        QVERIFY(v.error.isEmpty());
        QCOMPARE(v.paragraphCount(), 5);
        const fodt::Document::Hit bold = v.findIn(1, QStringLiteral("bold red"));
        QCOMPARE(bold.paragraph, 1);
        const fodt::SeenFormat b = v.formatAt(1, bold.begin);
        QCOMPARE(b.family, QStringLiteral("Arial")); // "Arial1" resolved through the font faces
        QVERIFY(b.bold);
        QCOMPARE(b.size, 11.0);                      // from P2, not the default 12
        QCOMPARE(b.color, QStringLiteral("#c00000"));
        const fodt::SeenFormat plain = v.formatAt(1, 0);
        QCOMPARE(plain.family, QStringLiteral("Times New Roman")); // Standard, P2's parent
        QVERIFY(!plain.bold);
        QCOMPARE(plain.color, QString());
        const fodt::Document::Hit two = v.findIn(1, QStringLiteral("2"), v.findIn(1, QStringLiteral("mc")).squeezedEnd);
        QCOMPARE(v.formatAt(1, two.begin).position, Position::Superscript);
        const fodt::Document::Hit cjk = v.findIn(1, QStringLiteral("中文"));
        QCOMPARE(v.formatAt(1, cjk.begin).eastAsianFamily, QStringLiteral("SimSun"));
        QCOMPARE(v.formatAt(1, cjk.begin).eastAsianSize, 12.0); // the default style's
        QCOMPARE(v.formatAt(0, 0).size, 16.0);                  // Heading 1 through P1
    }

    void readsParagraphsHeadingsAndPages()
    {
        Fixture fx;
        const fodt::Document& v = *fx.view;
        QCOMPARE(v.alignment(1), QStringLiteral("center"));
        QCOMPARE(v.alignment(2), QStringLiteral("start"));
        QCOMPARE(v.leftIndent(1), 36.0);
        QCOMPARE(v.firstLine(1), -18.0);
        QCOMPARE(v.outlineLevel(0), 1);
        QCOMPARE(v.headingStyleLevel(0), 1);
        QCOMPARE(v.outlineLevel(2), 0);
        QCOMPARE(v.masterPage(2), QStringLiteral("Standard"));
        QCOMPARE(v.masterPage(4), QStringLiteral("Wide")); // inherited from the paragraph before
        QVERIFY(qAbs(v.pageWidth(QStringLiteral("Wide")) - 842) < 1);
        // White space does not matter in matching; a fragment finds its paragraph.
        QCOMPARE(v.findParagraph(QStringLiteral("A  body\nline")), 2);
        QCOMPARE(v.findContaining(QStringLiteral("wide page"), 4), 4);
    }

    // Misses are counted and filed under their measure; hits are not.
    void scoresAgainstTruth()
    {
        Fixture fx;
        Truth t;
        t.name = QStringLiteral("sample");
        t.pages = {TruthPage{595, 842}, TruthPage{842, 595}};
        t.paragraphs = {paragraph(QStringLiteral("Introduction"), Align::Left, 1),
                        paragraph(QStringLiteral("Plain bold red words, E = mc2 and 中文 text."), Align::Center),
                        paragraph(QStringLiteral("A body line"), Align::Justify, 1), // wrong on purpose: body, left
                        paragraph(QStringLiteral("On the wide page."), Align::Left, 0, 2)};
        t.paragraphs[0].judgeAlignment = false;
        t.runs = {run(QStringLiteral("Plain"), 1, QStringLiteral("Times New Roman"), 11, false),
                  run(QStringLiteral("bold red"), 1, QStringLiteral("Arial"), 11, false), // wrong: it is bold
                  run(QStringLiteral("words, E = mc"), 1, QStringLiteral("Times New Roman"), 11.5, false)};
        t.runs[1].color = QColor(0xC0, 0, 0);
        const FidelityReport r = score(t, *fx.view);
        QCOMPARE(r.runs.total, 3);
        QCOMPARE(r.runs.right, 2); // 11.5 against 11 is within half a point
        QCOMPARE(r.missesBy.value(kRunFormat).size(), 1);
        QVERIFY(r.missesBy.value(kRunFormat).first().contains(QStringLiteral("bold yes, expected no")));
        QCOMPARE(r.missesBy.value(kExactSize).size(), 1);
        QCOMPARE(r.color.right, 3);
        QCOMPARE(r.alignment.total, 3);
        QCOMPARE(r.alignment.right, 2);
        QCOMPARE(r.headingRecall.total, 2);
        QCOMPARE(r.headingRecall.right, 1);
        QCOMPARE(r.headingPrecision.total, 1);
        QCOMPARE(r.headingPrecision.right, 1);
        QCOMPARE(r.paragraphs.right, 4);
        QVERIFY(checkSections(t, *fx.view).isEmpty());
        t.pages[1] = TruthPage{595, 842};
        QCOMPARE(checkSections(t, *fx.view).size(), 1);
    }

    void checksRunningTextAndOrder()
    {
        Fixture fx;
        Truth t;
        t.pages = {TruthPage{}, TruthPage{}};
        t.runningHead = QStringLiteral("Annual Report");
        t.pageNumbers = true;
        // Standard has both; Wide, used by the last paragraphs, has neither.
        const QStringList problems = checkRunningText(t, *fx.view);
        QCOMPARE(problems.size(), 2);
        QVERIFY(problems.join(QChar('\n')).contains(QStringLiteral("\"Wide\"")));
        t.readingOrder = {QStringLiteral("Introduction"), QStringLiteral("A body line"), QStringLiteral("wide page")};
        QVERIFY(checkReadingOrder(t, *fx.view).isEmpty());
        t.readingOrder = {QStringLiteral("A body line"), QStringLiteral("Introduction")};
        QCOMPARE(checkReadingOrder(t, *fx.view).size(), 1);
    }
};

QTEST_GUILESS_MAIN(YardstickTest)
#include "tst_formatting_yardstick.moc"

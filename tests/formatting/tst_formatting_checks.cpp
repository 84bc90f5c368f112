// Checks of pwt's formatting on the generated formatting set: each PDF is
// converted by the real pwt and read back through LibreOffice's flat ODF.
#include "ExternalReaders.h"
#include "Fidelity.h"
#include "FormattingRun.h"
#include "PdfComposer.h"

#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <algorithm>

using namespace fmt;

namespace {

const QStringList kDocuments = {QStringLiteral("character-runs"), QStringLiteral("paragraph-alignment"),
                                QStringLiteral("headings"),       QStringLiteral("two-columns"),
                                QStringLiteral("running-heads"),  QStringLiteral("page-sections"),
                                QStringLiteral("chinese")};

// A row for each document a check applies to.
void rows(const QStringList& documents = kDocuments)
{
    QTest::addColumn<QString>("document");
    for (const QString& d : documents)
        QTest::newRow(qPrintable(d)) << d;
}

#define FETCH_DOCUMENT() QFETCH(QString, document)

const fodt::Document* viewOf(const QString& document)
{
    const FormattingRun& run = FormattingRun::instance();
    const Converted* c = run.find(document);
    if (!c)
        return nullptr;
    if (!c->problem.isEmpty())
        qWarning("%s: %s", qPrintable(document), qPrintable(c->problem));
    return run.view(document);
}

QString listed(const QStringList& problems) { return QStringLiteral("\n  ") + problems.join(QStringLiteral("\n  ")); }

QStringList missesOf(const QString& document, std::initializer_list<QString> measures)
{
    const fodt::Document* view = viewOf(document);
    if (!view)
        return {document + QStringLiteral(": no converted document")};
    const FidelityReport r = score(FormattingRun::instance().find(document)->source.truth, *view);
    QStringList out;
    for (const QString& m : measures)
        out += r.missesBy.value(m);
    return out;
}

#define CHECK_NO_MISSES(document, ...)                                                      \
    do {                                                                                    \
        const QStringList problems = missesOf(document, {__VA_ARGS__});                     \
        QVERIFY2(problems.isEmpty(), qPrintable(listed(problems)));                         \
    } while (false)

// Whitespace-free, compatibility-folded text, as readers and pdftotext differ in both.
QString folded(const QString& text) { return fodt::squeeze(text.normalized(QString::NormalizationForm_KC)).text; }

} // namespace

class FormattingChecks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const FormattingRun& run = FormattingRun::instance();
        QVERIFY2(run.error.isEmpty(), qPrintable(run.error));
        QCOMPARE(run.converted.size(), kDocuments.size());
        for (const Converted& c : run.converted)
            QVERIFY2(QFileInfo::exists(c.doc), qPrintable(c.source.truth.name + QStringLiteral(": ") + c.problem));
    }

    // The yardstick itself: each PDF holds the text, pages and fonts its truth says.
    void generatedPdfsHoldTheirTruth_data() { rows(); }
    void generatedPdfsHoldTheirTruth()
    {
        FETCH_DOCUMENT();
        const Converted* c = FormattingRun::instance().find(document);
        QVERIFY(c);
        const readers::Output text = readers::run(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), c->source.pdf, QStringLiteral("-")});
        QCOMPARE(text.exitCode, 0);
        const QString all = folded(text.out);
        for (const TruthParagraph& p : c->source.truth.paragraphs)
            QVERIFY2(containsModuloRadicals(all, folded(p.text)), qPrintable(QStringLiteral("not in the PDF: ") + p.text));
        if (!c->source.truth.runningHead.isEmpty())
            QVERIFY(containsModuloRadicals(all, folded(c->source.truth.runningHead)));
        const readers::Output info = readers::run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("99"), c->source.pdf});
        for (int page = 1; page <= c->source.truth.pages.size(); ++page) {
            const TruthPage& p = c->source.truth.pages[page - 1];
            const QRegularExpression size(QStringLiteral("Page +%1 size: +([\\d.]+) x ([\\d.]+) pts").arg(page));
            const QRegularExpressionMatch m = size.match(info.out);
            QVERIFY2(m.hasMatch(), qPrintable(info.out));
            QVERIFY(qAbs(m.captured(1).toDouble() - p.width) < 1 && qAbs(m.captured(2).toDouble() - p.height) < 1);
        }
    }

    // Every output opens in the four readers and gives back every paragraph's text.
    void fourReadersOpenEveryOutput_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("reader");
        for (const QString& d : kDocuments)
            for (const char* reader : {"antiword", "catdoc", "wvText", "LibreOffice"})
                QTest::newRow(qPrintable(d + QChar('/') + QLatin1String(reader))) << d << QString::fromLatin1(reader);
    }
    void fourReadersOpenEveryOutput()
    {
        FETCH_DOCUMENT();
        QFETCH(QString, reader);
        const FormattingRun& run = FormattingRun::instance();
        const Converted* c = run.find(document);
        QVERIFY(c);
        QVERIFY2(QFileInfo::exists(c->doc), qPrintable(c->problem));
        readers::Output out;
        if (reader == QLatin1String("antiword"))
            out = readers::antiwordText(c->doc);
        else if (reader == QLatin1String("catdoc"))
            out = readers::catdocText(c->doc);
        else if (reader == QLatin1String("wvText"))
            out = readers::wvText(c->doc, run.dir() + QStringLiteral("/out/") + document + QStringLiteral(".wv.txt"));
        else {
            QString error;
            out.out = run.libreOfficeText(document, &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            out.finished = true;
            out.exitCode = 0;
        }
        QVERIFY2(out.finished && out.exitCode == 0, qPrintable(reader + QStringLiteral(" failed: ") + out.err));
        const QString all = folded(out.out);
        // A list item's label is Word's numbering, which not every reader prints.
        const Truth& truth = c->source.truth;
        for (int i = 0; i < truth.paragraphs.size(); ++i) {
            const QStringList readings = readingsOf(truth, i);
            QVERIFY2(std::any_of(readings.begin(), readings.end(), [&](const QString& r) { return all.contains(folded(r)); }),
                     qPrintable(reader + QStringLiteral(" lacks: ") + truth.paragraphs[i].text));
        }
    }

    // Font family, size, bold and italic of every run.
    void characterFormats_data() { rows(); }
    void characterFormats()
    {
        FETCH_DOCUMENT();
        CHECK_NO_MISSES(document, kRunFormat, kExactSize);
    }

    void coloursAndScripts_data() { rows({QStringLiteral("character-runs")}); }
    void coloursAndScripts()
    {
        FETCH_DOCUMENT();
        CHECK_NO_MISSES(document, kColour, kPosition, kSmallCaps);
    }

    // Chinese text carries its font as the East Asian font.
    void eastAsianFonts_data() { rows({QStringLiteral("chinese")}); }
    void eastAsianFonts()
    {
        FETCH_DOCUMENT();
        CHECK_NO_MISSES(document, kEastAsian);
    }

    // No paragraph split into lines or merged with its neighbour.
    void paragraphsKeptWhole_data() { rows(); }
    void paragraphsKeptWhole()
    {
        FETCH_DOCUMENT();
        CHECK_NO_MISSES(document, kParagraphs);
    }

    void alignment_data() { rows(); }
    void alignment()
    {
        FETCH_DOCUMENT();
        CHECK_NO_MISSES(document, kAlignment);
    }

    // Left, right, first-line and hanging indents within 3 pt.
    void indents_data() { rows({QStringLiteral("paragraph-alignment"), QStringLiteral("chinese")}); }
    void indents()
    {
        FETCH_DOCUMENT();
        CHECK_NO_MISSES(document, kIndents);
    }

    // Space between body paragraphs within 2 pt, line spacing within a tenth.
    void spacing_data() { rows(); }
    void spacing()
    {
        FETCH_DOCUMENT();
        CHECK_NO_MISSES(document, kSpacing);
    }

    // Headings with Word's Heading N style and outline level; body text none.
    void headings_data() { rows(); }
    void headings()
    {
        FETCH_DOCUMENT();
        CHECK_NO_MISSES(document, kHeadings);
    }

    // Titles across both columns first, then each column top to bottom.
    void readingOrder_data() { rows({QStringLiteral("two-columns")}); }
    void readingOrder()
    {
        FETCH_DOCUMENT();
        const fodt::Document* view = viewOf(document);
        QVERIFY(view);
        const QStringList problems = checkReadingOrder(FormattingRun::instance().find(document)->source.truth, *view);
        QVERIFY2(problems.isEmpty(), qPrintable(listed(problems)));
    }

    // Text turned on its side is kept.
    void rotatedText_data() { rows({QStringLiteral("two-columns")}); }
    void rotatedText()
    {
        FETCH_DOCUMENT();
        const fodt::Document* view = viewOf(document);
        QVERIFY(view);
        const QStringList problems = checkPlacedText(FormattingRun::instance().find(document)->source.truth, *view);
        QVERIFY2(problems.isEmpty(), qPrintable(listed(problems)));
    }

    // Running heads in the header, page numbers as PAGE fields in the footer, neither in the body.
    void runningText_data() { rows({QStringLiteral("running-heads"), QStringLiteral("chinese")}); }
    void runningText()
    {
        FETCH_DOCUMENT();
        const fodt::Document* view = viewOf(document);
        QVERIFY(view);
        const QStringList problems = checkRunningText(FormattingRun::instance().find(document)->source.truth, *view);
        QVERIFY2(problems.isEmpty(), qPrintable(listed(problems)));
    }

    // Each page's text lies in a section of that page's size and orientation.
    void sections_data() { rows({QStringLiteral("page-sections"), QStringLiteral("chinese"), QStringLiteral("running-heads")}); }
    void sections()
    {
        FETCH_DOCUMENT();
        const fodt::Document* view = viewOf(document);
        QVERIFY(view);
        const QStringList problems = checkSections(FormattingRun::instance().find(document)->source.truth, *view);
        QVERIFY2(problems.isEmpty(), qPrintable(listed(problems)));
        if (document == QLatin1String("page-sections")) {
            // Upright A4, A4 on its side, Letter: three layouts at least.
            QSet<QString> layouts;
            for (int i = 0; i < view->paragraphCount(); ++i)
                layouts.insert(QStringLiteral("%1x%2").arg(qRound(view->pageWidth(view->masterPage(i)))).arg(qRound(view->pageHeight(view->masterPage(i)))));
            QVERIFY2(layouts.size() >= 3, qPrintable(QStringList(layouts.values()).join(QChar(' '))));
        }
    }

    // The measures over the whole set: 95% each.
    void targets()
    {
        FidelityReport total;
        for (const Converted& c : FormattingRun::instance().converted) {
            const fodt::Document* view = FormattingRun::instance().view(c.source.truth.name);
            QVERIFY2(view, qPrintable(c.source.truth.name + QStringLiteral(": ") + c.problem));
            total += score(c.source.truth, *view);
        }
        const QString summary = QStringLiteral("runs %1, alignment %2, heading recall %3, heading precision %4")
                                    .arg(total.runs.share()).arg(total.alignment.share())
                                    .arg(total.headingRecall.share()).arg(total.headingPrecision.share());
        QVERIFY2(total.runs.share() >= 0.95, qPrintable(summary));
        QVERIFY2(total.alignment.share() >= 0.95, qPrintable(summary));
        QVERIFY2(total.headingRecall.share() >= 0.95, qPrintable(summary));
        QVERIFY2(total.headingPrecision.share() >= 0.95, qPrintable(summary));
    }
};

QTEST_MAIN(FormattingChecks)
#include "tst_formatting_checks.moc"

// The writer's files as antiword, catdoc and wv read them: every body
// paragraph comes back, in order, as its own line, and page breaks (hard ones
// and section breaks) fall before the right paragraphs; table cells come
// back in order, a row's cells possibly on one line; list items, links and
// footnotes' texts come back, the notes after the body.
#include "ExternalReaders.h"
#include "SampleDocuments.h"
#include "doc/DocWriter.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace pwt;

namespace {

// The first text line of each page after the first, from a text where pages
// are separated by `separator`.
QStringList firstLinesOfLaterPages(const QString& text, const QString& separator)
{
    QStringList firsts;
    const QStringList pages = text.split(separator);
    for (qsizetype i = 1; i < pages.size(); ++i) {
        QString page = pages[i];
        page.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
        const QStringList lines = readers::lines(page);
        if (!lines.isEmpty())
            firsts << lines.first();
    }
    return firsts;
}

// antiword, catdoc and wv write each half of a surrogate pair on its own
// (invalid UTF-8), so characters beyond the BMP are compared as absent there;
// the structure and LibreOffice tests check them exactly.
QStringList withoutAstral(const QStringList& lines)
{
    QStringList out;
    for (QString line : lines) {
        line.remove(QRegularExpression(QStringLiteral("[\\x{10000}-\\x{10FFFF}]")));
        line.remove(QChar(0xFFFD));
        out << line;
    }
    return out;
}

// catdoc and wv put each page break as a form feed inside the line.
QString pageBreaksOnLinesOfTheirOwn(QString text)
{
    return text.replace(QChar('\f'), QStringLiteral("\f\n"));
}

// A reader's text that shows page breaks as form feeds: every paragraph in
// order, and each page after the first beginning with the right one.
// Every text in order: on lines of their own, or for documents with tables
// possibly several on a line.
// A link's text as the reader shows it: catdoc prints the HYPERLINK field's
// instruction before its result, wv wraps the result in an HTML anchor.
QStringList withoutLinkMarkup(QStringList lines)
{
    static const QRegularExpression instruction(QStringLiteral(" *HYPERLINK +(\\\\l +)?\"[^\"]*\" *"));
    static const QRegularExpression anchor(QStringLiteral("</?a( [^>]*)?>"));
    for (QString& line : lines)
        line.replace(instruction, QStringLiteral(" ")).remove(anchor);
    return lines;
}

// Texts in order on lines of their own; with `loose`, several may share a
// line (a table row's cells, a list item after its label, a paragraph
// before its note's mark).
QString missingText(const QStringList& expected, const QStringList& lines, bool loose)
{
    const QStringList shown = withoutAstral(withoutLinkMarkup(lines));
    return loose ? readers::missingInOrderWithinLines(withoutAstral(expected), shown)
                 : readers::missingInOrder(withoutAstral(expected), shown);
}

void checkFormFeedText(const readers::Output& text, const QStringList& paragraphs, const QStringList& pageStarts,
                       bool loose)
{
    QVERIFY2(text.ok(), qPrintable(text.err));
    const QString body = pageBreaksOnLinesOfTheirOwn(text.out);
    const QString missing = missingText(paragraphs, readers::lines(body), loose);
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
    QCOMPARE(firstLinesOfLaterPages(body, QStringLiteral("\f")).mid(0, pageStarts.size()), pageStarts);
}

} // namespace

class TestDocReaders : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QString path(const QString& name) const { return dir_.filePath(name + QStringLiteral(".doc")); }

    void addSamples()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("paragraphs");
        QTest::addColumn<QStringList>("pageStarts");
        QTest::addColumn<bool>("loose");
        for (const sample::Named& s : sample::kSamples) {
            const Document d = s.make();
            QTest::newRow(s.name) << QString::fromLatin1(s.name) << sample::allTexts(d) << sample::pageStarts(d)
                                  << (!d.sections.front().tables.empty() || !d.lists.empty() || !d.footnotes.empty());
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        std::string reason;
        sample::writeAll(dir_.path(), &reason);
        QVERIFY2(reason.empty(), reason.c_str());
    }

    void antiwordReadsParagraphsAndPageBreaks_data() { addSamples(); }
    void antiwordReadsParagraphsAndPageBreaks()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, paragraphs);
        QFETCH(QStringList, pageStarts);
        QFETCH(bool, loose);
        const auto text = readers::antiwordText(path(name));
        QVERIFY2(text.ok(), qPrintable(text.err));
        const QString missing = missingText(paragraphs, readers::lines(text.out), loose);
        QVERIFY2(missing.isEmpty(), qPrintable(missing));

        // Its text output shows no page breaks; its DocBook output does.
        const auto docbook = readers::antiwordDocBook(path(name));
        QVERIFY2(docbook.ok(), qPrintable(docbook.err));
        QCOMPARE(firstLinesOfLaterPages(docbook.out, QStringLiteral("<beginpage/>")), pageStarts);
    }

    void catdocReadsParagraphsAndPageBreaks_data() { addSamples(); }
    void catdocReadsParagraphsAndPageBreaks()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, paragraphs);
        QFETCH(QStringList, pageStarts);
        QFETCH(bool, loose);
        checkFormFeedText(readers::catdocText(path(name)), paragraphs, pageStarts, loose);
    }

    void wvReadsParagraphsAndPageBreaks_data() { addSamples(); }
    void wvReadsParagraphsAndPageBreaks()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, paragraphs);
        QFETCH(QStringList, pageStarts);
        QFETCH(bool, loose);
        checkFormFeedText(readers::wvText(path(name), dir_.filePath(name + QStringLiteral(".wv.txt"))), paragraphs,
                          pageStarts, loose);
    }

    // A long table, and a row whose properties are in the Data stream: wv reads every cell.
    void wvReadsLargeTables()
    {
        const Document d = sample::largeTables();
        const QString file = path(QStringLiteral("wide"));
        QCOMPARE(doc::writeWordDocument(d, file.toStdString()), std::string());
        const auto text = readers::wvText(file, dir_.filePath(QStringLiteral("wide.wv.txt")));
        QVERIFY2(text.ok(), qPrintable(text.err));
        const QString missing = missingText(sample::allTexts(d), readers::lines(text.out), true);
        QVERIFY2(missing.isEmpty(), qPrintable(missing));
    }

    void largeDocumentReadsBackCompletely()
    {
        const Document d = sample::synthetic(60);
        const QString file = path(QStringLiteral("synthetic"));
        QCOMPARE(doc::writeWordDocument(d, file.toStdString()), std::string());
        const QStringList paragraphs = sample::bodyTexts(d);
        const auto anti = readers::antiwordText(file);
        QVERIFY2(anti.ok(), qPrintable(anti.err));
        QVERIFY(readers::missingInOrder(paragraphs, readers::lines(anti.out)).isEmpty());
        const auto cat = readers::catdocText(file);
        QVERIFY(readers::missingInOrder(paragraphs, readers::lines(pageBreaksOnLinesOfTheirOwn(cat.out))).isEmpty());
        QCOMPARE(cat.out.count(QChar('\f')), 59);
    }
};

QTEST_GUILESS_MAIN(TestDocReaders)
#include "tst_docwriter_readers.moc"

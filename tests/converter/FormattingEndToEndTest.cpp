// The look of the page kept: a PDF with known formatting converted by the
// real pwt and read back through LibreOffice's flat ODF.
#include "FormattingSample.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace pwt::test;

namespace {

int run(const QString& program, const QStringList& args, QString* out = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(300000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (out)
        *out = QString::fromUtf8(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class FormattingEndToEndTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    FormattingSample m_sample;
    FodtDocument m_fodt;
    QString m_doc;

private slots:
    void initTestCase()
    {
        m_sample = makeFormattingPdf(m_dir.filePath(QStringLiteral("format.pdf")));
        m_doc = m_dir.filePath(QStringLiteral("format.doc"));
        QCOMPARE(run(QStringLiteral(PWT_PATH), {QStringLiteral("--src=") + m_sample.path, QStringLiteral("--dest=") + m_doc}), 0);
        QCOMPARE(run(QStringLiteral("soffice"), {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("profile")),
                                                 QStringLiteral("--convert-to"), QStringLiteral("fodt"), QStringLiteral("--outdir"), m_dir.path(), m_doc}),
                 0);
        m_fodt = readFodt(m_dir.filePath(QStringLiteral("format.fodt")));
        QVERIFY(m_fodt.ok);
    }

    void otherReadersStillOpenIt()
    {
        QString out;
        QCOMPARE(run(QStringLiteral("antiword"), {QStringLiteral("-w"), QStringLiteral("0"), m_doc}, &out), 0);
        QVERIFY(out.contains(QStringLiteral("Two Columns")));
        QCOMPARE(run(QStringLiteral("catdoc"), {QStringLiteral("-w"), m_doc}, &out), 0);
        QVERIFY(out.contains(QStringLiteral("stands in the middle of the page")));
        QCOMPARE(run(QStringLiteral("wvText"), {m_doc, m_dir.filePath(QStringLiteral("wv.txt"))}), 0);
    }

    void formattingScoresAtLeast95Percent()
    {
        const FormattingScore s = scoreFormatting(m_sample, m_fodt);
        const QByteArray misses = s.misses.join(QLatin1Char('\n')).toUtf8();
        QVERIFY2(s.runs >= 0.95, misses);
        QVERIFY2(s.alignment >= 0.95, misses);
        QVERIFY2(s.headings >= 0.95, misses);
    }

    void colourAndSuperscript()
    {
        QCOMPARE(m_fodt.propsOf(m_sample.colouredText).value(QStringLiteral("fo:color")), QStringLiteral("#ff0000"));
        const FodtParagraph* p = m_fodt.find(QStringLiteral("E = mc"));
        QVERIFY(p);
        bool raised = false;
        for (const FodtSpan& span : p->spans)
            raised = raised || (span.text == m_sample.superscript && span.props.value(QStringLiteral("style:text-position")).startsWith(QStringLiteral("super")));
        QVERIFY(raised);
    }

    void headingsUseWordsHeadingStyles()
    {
        const FodtParagraph* h = m_fodt.find(QStringLiteral("1 Introduction to the Sample"));
        QVERIFY(h);
        QCOMPARE(h->outlineLevel, 1);
        QVERIFY2(h->styleDisplay.contains(QStringLiteral("Heading")), qPrintable(h->styleDisplay));
        QCOMPARE(m_fodt.find(QStringLiteral("The body text"))->outlineLevel, 0);
    }

    void columnsReadInOrder()
    {
        int left = -1, right = -1;
        for (int i = 0; i < static_cast<int>(m_fodt.body.size()); ++i) {
            if (m_fodt.body[static_cast<std::size_t>(i)].text.contains(m_sample.leftColumnLast))
                left = i;
            if (m_fodt.body[static_cast<std::size_t>(i)].text.contains(m_sample.rightColumnFirst))
                right = i;
        }
        QVERIFY(left >= 0 && right >= 0);
        QVERIFY(left < right);
    }

    void runningHeadAndPageNumberMoveToHeaderAndFooter()
    {
        for (const FodtParagraph& p : m_fodt.body) {
            QVERIFY2(!p.text.contains(m_sample.runningHead), qPrintable(p.text));
            QVERIFY2(p.text.trimmed() != QLatin1String("1") && p.text.trimmed() != QLatin1String("2"), "page number left in the body");
        }
        QVERIFY2(m_fodt.headerTexts.contains(m_sample.runningHead), qPrintable(m_fodt.headerTexts.join(QLatin1Char('|'))));
        QVERIFY(m_fodt.footerHasPageNumber);
    }

    void landscapePageGetsItsOwnSection()
    {
        QVERIFY2(m_fodt.pageOrientations.contains(QStringLiteral("landscape")), qPrintable(m_fodt.pageOrientations.join(QLatin1Char(','))));
        QVERIFY(m_fodt.pageOrientations.contains(QStringLiteral("portrait")));
    }
};

QTEST_MAIN(FormattingEndToEndTest)
#include "FormattingEndToEndTest.moc"

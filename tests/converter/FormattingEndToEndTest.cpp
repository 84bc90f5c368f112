// The look of the page kept: a PDF with known formatting converted by the
// real pwt and read back through LibreOffice's flat ODF.
#include "FormattingSample.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

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
    fodt::Document m_fodt;
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
        m_fodt = fodt::read(m_dir.filePath(QStringLiteral("format.fodt")));
        QVERIFY2(m_fodt.error.isEmpty(), qPrintable(m_fodt.error));
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
        QCOMPARE(m_fodt.formatOf(m_sample.colouredText).color, QStringLiteral("#ff0000"));
        const int p = m_fodt.findContaining(QStringLiteral("E = mc"));
        QVERIFY(p >= 0);
        const qsizetype afterMc = m_fodt.findIn(p, QStringLiteral("mc")).squeezedEnd;
        const fodt::Document::Hit raised = m_fodt.findIn(p, m_sample.superscript, afterMc);
        QVERIFY(raised.paragraph >= 0);
        QCOMPARE(m_fodt.formatAt(p, raised.begin).position, fodt::Position::Superscript);
    }

    void headingsUseWordsHeadingStyles()
    {
        const int h = m_fodt.findContaining(QStringLiteral("1 Introduction to the Sample"));
        QVERIFY(h >= 0);
        QCOMPARE(m_fodt.outlineLevel(h), 1);
        QVERIFY2(m_fodt.headingStyleLevel(h) >= 1, qPrintable(m_fodt.paragraph(h).style));
        const int body = m_fodt.findContaining(QStringLiteral("The body text"));
        QVERIFY(body >= 0);
        QCOMPARE(m_fodt.outlineLevel(body), 0);
    }

    void columnsReadInOrder()
    {
        int left = -1, right = -1;
        for (int i = 0; i < m_fodt.paragraphCount(); ++i) {
            if (m_fodt.paragraph(i).text.contains(m_sample.leftColumnLast))
                left = i;
            if (m_fodt.paragraph(i).text.contains(m_sample.rightColumnFirst))
                right = i;
        }
        QVERIFY(left >= 0 && right >= 0);
        QVERIFY(left < right);
    }

    void runningHeadAndPageNumberMoveToHeaderAndFooter()
    {
        for (const fodt::Paragraph& p : m_fodt.body) {
            QVERIFY2(!p.text.contains(m_sample.runningHead), qPrintable(p.text));
            QVERIFY2(p.text.trimmed() != QLatin1String("1") && p.text.trimmed() != QLatin1String("2"), "page number left in the body");
        }
        QStringList headers;
        bool footerHasPageNumber = false;
        for (const fodt::MasterPage& m : m_fodt.masterPages) {
            QString header;
            for (const fodt::Paragraph& p : m.header)
                header += p.text;
            headers << header.trimmed();
            for (const fodt::Paragraph& p : m.footer)
                footerHasPageNumber = footerHasPageNumber || p.hasPageNumber;
        }
        QVERIFY2(headers.contains(m_sample.runningHead), qPrintable(headers.join(QLatin1Char('|'))));
        QVERIFY(footerHasPageNumber);
    }

    // A paragraph that a table follows keeps its own look: LibreOffice reads
    // such a paragraph in its mark's format throughout.
    void paragraphsBeforeTablesKeepTheirFormat()
    {
        struct Case {
            QString text, css, family;
            double size;
        };
        const QList<Case> cases = {
            // Pixels of the writer's 72 dpi: points on the page.
            {QStringLiteral("Results of the survey"), QStringLiteral("font-family:'Liberation Sans'; font-size:15px; font-weight:bold"),
             QStringLiteral("Arial"), 15},
            {QStringLiteral("Counted by the small team over several months."), QStringLiteral("font-family:'DejaVu Sans'; font-size:10px"),
             QStringLiteral("DejaVu Sans"), 10},
        };
        QString html;
        for (const Case& c : cases)
            html += QStringLiteral("<p style=\"%1\">%2</p><table border='1' cellspacing='0' cellpadding='4'>"
                                   "<tr><td>Alpha</td><td>Beta</td></tr><tr><td>117</td><td>245</td></tr></table><p>&nbsp;</p>")
                        .arg(c.css, c.text);
        const QString pdf = m_dir.filePath(QStringLiteral("tables.pdf")), doc = m_dir.filePath(QStringLiteral("tables.doc"));
        {
            QPdfWriter writer(pdf);
            writer.setResolution(72);
            QPainter painter(&writer);
            QTextDocument text;
            text.setHtml(html);
            text.drawContents(&painter);
        }
        QCOMPARE(run(QStringLiteral(PWT_PATH), {QStringLiteral("--src=") + pdf, QStringLiteral("--dest=") + doc}), 0);
        QCOMPARE(run(QStringLiteral("soffice"), {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("profile")),
                                                 QStringLiteral("--convert-to"), QStringLiteral("fodt"), QStringLiteral("--outdir"), m_dir.path(), doc}),
                 0);
        const fodt::Document read = fodt::read(m_dir.filePath(QStringLiteral("tables.fodt")));
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QVERIFY2(read.tables.size() >= 2, "the tables were not found");
        for (const Case& c : cases) {
            const fodt::SeenFormat f = read.formatOf(c.text);
            QVERIFY2(f.family == c.family && std::abs(f.size - c.size) < 0.3,
                     qPrintable(c.text + QStringLiteral(": %1 %2 pt").arg(f.family).arg(f.size)));
        }
    }

    void landscapePageGetsItsOwnSection()
    {
        QStringList orientations;
        for (const fodt::MasterPage& m : m_fodt.masterPages)
            orientations << m_fodt.pageLayout(m.name).value(QStringLiteral("style:print-orientation"));
        QVERIFY2(orientations.contains(QStringLiteral("landscape")), qPrintable(orientations.join(QLatin1Char(','))));
        QVERIFY(orientations.contains(QStringLiteral("portrait")));
    }
};

QTEST_MAIN(FormattingEndToEndTest)
#include "FormattingEndToEndTest.moc"

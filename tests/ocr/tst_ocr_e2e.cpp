// The real pwt on generated scans: the recognised text against the original
// (token recall and precision, paragraph by paragraph), a PDF mixing text
// and scanned pages, a scan recognised before, the language options and
// hostile pages. Each document is read back with antiword, one paragraph a line.
#include "PdfComposer.h"
#include "ProgramRun.h"
#include "ScanSamples.h"

#include <QDir>
#include <QPainter>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

using namespace pwt::test;

namespace {

// What a scan of clean print must give back at least (the engine alone reads
// these pages at 97% and more).
constexpr double kMinRecall = 0.93;
constexpr double kMinPrecision = 0.93;
// Each original paragraph is found in its own output paragraph at least this well.
constexpr double kMinParagraphRecall = 0.8;
// Pages made harder (one bit per pixel, upside down, skewed) still give most of their text.
constexpr double kMinHardPageRecall = 0.85;
constexpr int kPwtTimeoutMs = 240000;

using Ran = ProgramRun;

Ran run(const QString& program, const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    return runProgram(program, args, kPwtTimeoutMs, env);
}

// The paragraphs of a .doc as antiword shows them.
QStringList paragraphsOf(const QString& doc)
{
    const Ran r = run(QStringLiteral("antiword"), {QStringLiteral("-m"), QStringLiteral("UTF-8.txt"), QStringLiteral("-w"), QStringLiteral("0"), doc});
    QStringList out;
    for (QString line : r.out.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (!line.isEmpty())
            out << line;
    }
    return out;
}

QStringList tokensOf(const QStringList& paragraphs)
{
    return tokens(paragraphs.join(QLatin1Char('\n')));
}

} // namespace

class OcrEndToEndTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QList<ScanOriginal> m_originals;
    QList<QImage> m_scans; // one page image per original

    QString path(const QString& name) const { return m_dir.filePath(name); }

    Ran convert(const QString& pdf, const QString& doc, const QStringList& options = {},
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        return run(QStringLiteral(PWT_PATH), QStringList{QStringLiteral("--src=") + pdf, QStringLiteral("--dest=") + doc} + options, env);
    }

    // Converts a PDF of these pages and gives the document's paragraphs.
    QStringList converted(const QString& name, const QList<ScanPage>& pages, const QStringList& options = {})
    {
        const QString pdf = path(name + QStringLiteral(".pdf"));
        const QString doc = path(name + QStringLiteral(".doc"));
        writeScanPdf(pdf, pages);
        const Ran r = convert(pdf, doc, options);
        if (r.exitCode != 0 || !r.err.isEmpty())
            qWarning("pwt on %s: exit %d: %s", qPrintable(name), r.exitCode, qPrintable(r.err));
        return r.exitCode == 0 ? paragraphsOf(doc) : QStringList{};
    }

    int indexOf(const QString& name) const
    {
        for (int i = 0; i < m_originals.size(); ++i)
            if (m_originals[i].name == name)
                return i;
        qFatal("no original %s", qPrintable(name));
    }
    const ScanOriginal& original(const QString& name) const { return m_originals[indexOf(name)]; }
    QImage scanOf(const QString& name) const { return m_scans[indexOf(name)]; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_originals = makeScanOriginals(m_dir.path());
        quint32 seed = 1;
        for (const ScanOriginal& o : m_originals) {
            const QImage page = rasterise(o.pdf, 1);
            QVERIFY2(!page.isNull(), qPrintable(o.pdf));
            ScanLook look;
            look.seed = seed++;
            look.skewDegrees = seed % 2 ? 0.7 : -0.5;
            m_scans << scanned(page, look);
        }
    }

    void recognisesScans_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < m_originals.size(); ++i)
            QTest::newRow(qPrintable(m_originals[i].name)) << i;
    }
    void recognisesScans()
    {
        QFETCH(int, index);
        const ScanOriginal& o = m_originals[index];
        const QStringList got = converted(o.name, {ScanPage{m_scans[index], QSizeF(595.276, 841.89), {}, false}});
        const TokenScore score = scoreTokens(tokensOf(o.paragraphs), tokensOf(got));
        const QString shown = score.describe() + QStringLiteral("\n--- got ---\n") + got.join(QLatin1Char('\n'));
        QVERIFY2(score.recall >= kMinRecall && score.precision >= kMinPrecision, qPrintable(shown));
        // Flowing paragraphs, as the original has them: not a paragraph per line.
        QVERIFY2(got.size() == o.paragraphs.size(), qPrintable(shown));
        for (int i = 0; i < o.paragraphs.size(); ++i) {
            const double recall = scoreTokens(tokens(o.paragraphs[i]), tokens(got[i])).recall;
            QVERIFY2(recall >= kMinParagraphRecall, qPrintable(QStringLiteral("paragraph %1: ").arg(i) + shown));
        }
    }

    void mixedPdfRecognisesOnlyItsScans()
    {
        const QString own = QStringLiteral("This page carries its own text layer and is not recognised.");
        ScanPage text;
        text.drawText = [own](QPainter& p) {
            p.setFont(fmt::fontOf(fmt::serif(12)));
            p.drawText(QPointF(72, 100), own);
        };
        const ScanOriginal& o = original(QStringLiteral("english-1col"));
        const QStringList got = converted(QStringLiteral("mixed"), {text, ScanPage{scanOf(o.name), QSizeF(595.276, 841.89), {}, false}});
        QVERIFY2(!got.isEmpty() && got.first() == own, qPrintable(got.join(QLatin1Char('\n'))));
        const TokenScore score = scoreTokens(tokensOf(o.paragraphs), tokensOf(got.mid(1)));
        QVERIFY2(score.recall >= kMinRecall && score.precision >= kMinPrecision, qPrintable(score.describe()));
    }

    void scanRecognisedBeforeKeepsItsText()
    {
        // The invisible layer says something else than the picture, so the
        // document shows which of the two pwt used.
        const QStringList layer = {QStringLiteral("The invisible layer of this scan was made by an earlier recognition,"),
                                   QStringLiteral("and its words are used as they are, without reading the picture again.")};
        ScanPage page{scanOf(QStringLiteral("english-1col")), QSizeF(595.276, 841.89), {}, true};
        page.drawText = [layer](QPainter& p) {
            p.setFont(fmt::fontOf(fmt::serif(12)));
            for (int i = 0; i < layer.size(); ++i)
                for (int repeat = 0; repeat < 4; ++repeat)
                    p.drawText(QPointF(72, 120 + static_cast<double>(repeat * layer.size() + i) * 16.0), layer[i]);
        };
        const QStringList got = converted(QStringLiteral("recognised-before"), {page});
        const QString text = got.join(QLatin1Char(' '));
        QVERIFY2(text.contains(layer[0]) && !text.contains(QStringLiteral("Harbour")), qPrintable(text));
    }

    void languageOptions()
    {
        const ScanOriginal& o = original(QStringLiteral("english-1col"));
        const QString scan = path(QStringLiteral("languages.pdf"));
        writeScanPdf(scan, {ScanPage{scanOf(o.name), QSizeF(595.276, 841.89), {}, false}});
        const QString doc = path(QStringLiteral("languages.doc"));

        // English alone reads an English page.
        Ran r = convert(scan, doc, {QStringLiteral("--ocr-lang=eng")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(scoreTokens(tokensOf(o.paragraphs), tokensOf(paragraphsOf(doc))).recall >= kMinRecall);

        // Without recognition a scan has no text.
        QVERIFY(QFile::remove(doc));
        r = convert(scan, doc, {QStringLiteral("--ocr=never")});
        QCOMPARE(r.exitCode, 4);
        QVERIFY(!QFile::exists(doc));

        // A language that is not installed is named with its package.
        r = convert(scan, doc, {QStringLiteral("--ocr-lang=eng+klingon_x")});
        QVERIFY(r.exitCode != 0 && !QFile::exists(doc));
        QVERIFY2(r.err.contains(QStringLiteral("tesseract-ocr-klingon-x")) && r.err.count(QLatin1Char('\n')) == 1, qPrintable(r.err));

        // No language data at all: the default languages' packages are named,
        // while a PDF with its own text (and a blank page) still converts.
        QTemporaryDir empty;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TESSDATA_PREFIX"), empty.path());
        r = convert(scan, doc, {}, env);
        QVERIFY(r.exitCode != 0);
        QVERIFY2(r.err.contains(QStringLiteral("tesseract-ocr-chi-sim")) && r.err.contains(QStringLiteral("tesseract-ocr-eng")), qPrintable(r.err));
        ScanPage text;
        text.drawText = [](QPainter& p) { p.drawText(QPointF(72, 100), QStringLiteral("Text of its own.")); };
        const QString textPdf = path(QStringLiteral("own-text.pdf"));
        writeScanPdf(textPdf, {text, ScanPage{}});
        r = convert(textPdf, doc, {}, env);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));

        // Options themselves.
        for (const QString& bad : {QStringLiteral("--ocr=sometimes"), QStringLiteral("--ocr-lang="), QStringLiteral("--ocr-lang=../eng")}) {
            r = convert(scan, doc, {bad});
            QVERIFY2(r.exitCode == 1, qPrintable(bad + QStringLiteral(": ") + r.err));
        }
    }

    void hostilePages_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("hasText");
        QTest::newRow("fax, one bit per pixel") << QStringLiteral("fax") << true;
        QTest::newRow("upside down") << QStringLiteral("upside-down") << true;
        QTest::newRow("skewed by two degrees") << QStringLiteral("skewed") << true;
        QTest::newRow("absurd page size") << QStringLiteral("absurd") << false;
        QTest::newRow("photo without text") << QStringLiteral("photo") << false;
    }
    void hostilePages()
    {
        QFETCH(QString, kind);
        QFETCH(bool, hasText);
        const ScanOriginal& o = original(QStringLiteral("english-1col"));
        const QImage page = rasterise(o.pdf, 1);
        ScanPage scan{{}, QSizeF(595.276, 841.89), {}, false};
        if (kind == QLatin1String("fax")) {
            ScanLook look;
            look.bilevel = true;
            scan.image = scanned(page, look);
        } else if (kind == QLatin1String("upside-down")) {
            ScanLook look;
            look.turnDegrees = 180;
            scan.image = scanned(page, look);
        } else if (kind == QLatin1String("skewed")) {
            ScanLook look;
            look.skewDegrees = 2;
            scan.image = scanned(page, look);
        } else if (kind == QLatin1String("absurd")) {
            scan.image = scanOf(o.name);
            scan.sizePt = QSizeF(14400, 14400); // 200 inches a side
        } else {
            QImage photo(1200, 900, QImage::Format_RGB32);
            QPainter p(&photo);
            QLinearGradient sky(0, 0, 0, 900);
            sky.setColorAt(0, QColor(90, 140, 220));
            sky.setColorAt(1, QColor(240, 220, 180));
            p.fillRect(photo.rect(), sky);
            p.setBrush(QColor(40, 110, 50));
            p.drawEllipse(QPointF(400, 800), 600, 250);
            p.setBrush(QColor(250, 230, 120));
            p.drawEllipse(QPointF(900, 200), 90, 90);
            p.end();
            scan.image = scanned(photo.convertToFormat(QImage::Format_Grayscale8), ScanLook{});
        }
        const QString pdf = path(kind + QStringLiteral(".pdf"));
        const QString doc = path(kind + QStringLiteral(".doc"));
        writeScanPdf(pdf, {scan});
        const Ran r = convert(pdf, doc);
        // A result or one clear line; never a crash or a hang.
        QVERIFY2(r.exitCode == 0 || (r.exitCode == 4 && r.err.count(QLatin1Char('\n')) == 1), qPrintable(r.err));
        if (hasText) {
            QCOMPARE(r.exitCode, 0);
            const TokenScore score = scoreTokens(tokensOf(o.paragraphs), tokensOf(paragraphsOf(doc)));
            QVERIFY2(score.recall >= kMinHardPageRecall, qPrintable(score.describe()));
        }
    }
};

QTEST_MAIN(OcrEndToEndTest)
#include "tst_ocr_e2e.moc"

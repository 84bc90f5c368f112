// The real pwt on generated PDFs, its output read back by four independent
// readers (antiword, catdoc, wvText, LibreOffice), and every bad input.
#include "ProgramRun.h"
#include "TestPdfs.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace pwt::test;

namespace {

using Ran = ProgramRun;

Ran run(const QString& program, const QStringList& args, int timeoutMs = 120000)
{
    return runProgram(program, args, timeoutMs);
}

Ran runPwt(const QStringList& args) { return run(QStringLiteral(PWT_PATH), args); }

// The lines of a reader's output, trimmed, without empty ones.
QStringList linesOf(const QString& text)
{
    QStringList out;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (!line.isEmpty())
            out << line;
    }
    return out;
}

// Every expected paragraph is one line of the output, in order.
void expectParagraphs(const QString& reader, const QStringList& lines, const QStringList& paragraphs)
{
    qsizetype at = 0;
    for (const QString& p : paragraphs) {
        const qsizetype found = lines.indexOf(p, at);
        QVERIFY2(found >= 0, qPrintable(reader + QStringLiteral(": paragraph missing or out of order: ") + p
                                        + QStringLiteral("\n--- output ---\n") + lines.join(QLatin1Char('\n'))));
        at = found + 1;
    }
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class ConverterEndToEndTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_out;
    std::vector<KnownPdf> m_known;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_out = path(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(m_out));
        m_known.push_back(makeEnglishPdf(path(QStringLiteral("english.pdf"))));
        m_known.push_back(makeChinesePdf(path(QStringLiteral("chinese.pdf"))));
    }

    void convertsAndEveryReaderGetsTheTextBack()
    {
        QStringList docs;
        for (const KnownPdf& k : m_known) {
            const QString doc = m_out + QLatin1Char('/') + QFileInfo(k.path).completeBaseName() + QStringLiteral(".doc");
            const Ran r = runPwt({QStringLiteral("--src=") + k.path, QStringLiteral("--dest=") + doc});
            QVERIFY2(r.exitCode == 0, qPrintable(r.err));
            QVERIFY(r.err.isEmpty());
            docs << doc;
        }
        // Only the documents: no temporary left beside them.
        QCOMPARE(filesIn(m_out), (QStringList{QStringLiteral("chinese.doc"), QStringLiteral("english.doc")}));

        for (std::size_t i = 0; i < m_known.size(); ++i) {
            const KnownPdf& k = m_known[i];
            const QString& doc = docs[static_cast<int>(i)];

            const Ran anti = run(QStringLiteral("antiword"), {QStringLiteral("-m"), QStringLiteral("UTF-8.txt"), QStringLiteral("-w"), QStringLiteral("0"), doc});
            QCOMPARE(anti.exitCode, 0);
            expectParagraphs(QStringLiteral("antiword"), linesOf(anti.out), k.paragraphs);

            const Ran cat = run(QStringLiteral("catdoc"), {QStringLiteral("-d"), QStringLiteral("utf-8"), QStringLiteral("-w"), doc});
            QCOMPARE(cat.exitCode, 0);
            QString marked = cat.out;
            QStringList catLines = linesOf(marked.replace(QLatin1Char('\f'), QStringLiteral("[page]")));
            // catdoc shows a page break as a form feed before the page's first paragraph.
            for (const QString& first : k.pageFirstParagraphs)
                QVERIFY2(catLines.contains(QStringLiteral("[page]") + first), qPrintable(QStringLiteral("no page break before: ") + first));
            QCOMPARE(cat.out.count(QLatin1Char('\f')), k.pages - 1);
            for (QString& l : catLines)
                l.remove(QStringLiteral("[page]"));
            expectParagraphs(QStringLiteral("catdoc"), catLines, k.paragraphs);

            const QString wvOut = doc + QStringLiteral(".wv.txt");
            const Ran wv = run(QStringLiteral("wvText"), {doc, wvOut});
            QCOMPARE(wv.exitCode, 0);
            QFile wvFile(wvOut);
            QVERIFY(wvFile.open(QIODevice::ReadOnly));
            expectParagraphs(QStringLiteral("wvText"), linesOf(QString::fromUtf8(wvFile.readAll())), k.paragraphs);
            wvFile.remove();
        }

        // LibreOffice: plain text for the paragraphs, its flat XML for page breaks and the title.
        const QString lo = path(QStringLiteral("lo"));
        const QStringList common{QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + path(QStringLiteral("profile"))};
        const QStringList outdir{QStringLiteral("--outdir"), lo};
        Ran txt = run(QStringLiteral("soffice"), common + QStringList{QStringLiteral("--convert-to"), QStringLiteral("txt:Text")} + outdir + docs, 300000);
        QCOMPARE(txt.exitCode, 0);
        Ran fodt = run(QStringLiteral("soffice"), common + QStringList{QStringLiteral("--convert-to"), QStringLiteral("fodt")} + outdir + docs, 300000);
        QCOMPARE(fodt.exitCode, 0);
        for (const KnownPdf& k : m_known) {
            const QString base = lo + QLatin1Char('/') + QFileInfo(k.path).completeBaseName();
            QFile t(base + QStringLiteral(".txt"));
            QVERIFY2(t.open(QIODevice::ReadOnly), qPrintable(txt.err));
            expectParagraphs(QStringLiteral("LibreOffice"), linesOf(QString::fromUtf8(t.readAll())), k.paragraphs);
            QFile x(base + QStringLiteral(".fodt"));
            QVERIFY(x.open(QIODevice::ReadOnly));
            const QString xml = QString::fromUtf8(x.readAll());
            QVERIFY2(xml.contains(QStringLiteral("<dc:title>") + k.title + QStringLiteral("</dc:title>")), qPrintable(k.title));
            // One paragraph style with a page break for each page after the first, used once each.
            static const QRegularExpression breakStyle(QStringLiteral("style:name=\"(P\\d+)\"[^>]*>\\s*<style:paragraph-properties[^>]*fo:break-before=\"page\""));
            int breaks = 0;
            for (auto m = breakStyle.globalMatch(xml); m.hasNext();)
                breaks += static_cast<int>(xml.count(QStringLiteral("text:style-name=\"") + m.next().captured(1) + QLatin1Char('"')));
            QCOMPARE(breaks, k.pages - 1);
        }
    }

    void badInputsFailCleanly_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destFolder");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("reason");

        const QString in = path(QStringLiteral("bad"));
        QDir().mkpath(in);
        auto write = [&](const QString& name, const QByteArray& bytes) {
            QFile f(in + QLatin1Char('/') + name);
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
            return f.fileName();
        };
        QFile good(m_known.front().path);
        good.open(QIODevice::ReadOnly);
        const QByteArray pdf = good.readAll();
        QByteArray corrupt = pdf;
        // Keep the header and the end marker, ruin everything between.
        for (qsizetype i = 16; i < corrupt.size() - 64; ++i)
            corrupt[i] = static_cast<char>('A' + (i * 7) % 26);
        const QByteArray encrypted =
            "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
            "2 0 obj << /Type /Pages /Kids [] /Count 0 >> endobj\n"
            "3 0 obj << /Filter /Standard /V 1 /R 2 /P -4 "
            "/O <0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef> "
            "/U <fedcba9876543210fedcba9876543210fedcba9876543210fedcba9876543210> >> endobj\n"
            "trailer << /Root 1 0 R /Encrypt 3 0 R /ID [<00112233445566778899aabbccddeeff> <00112233445566778899aabbccddeeff>] >>\n%%EOF\n";
        makeScanPdf(in + QStringLiteral("/scan.pdf"));
        const QString out = path(QStringLiteral("badout"));
        QDir().mkpath(out);

        QTest::newRow("missing") << in + QStringLiteral("/nothing.pdf") << out << 2 << QStringLiteral("does not exist");
        QTest::newRow("folder") << in << out << 2 << QStringLiteral("is a folder");
        QTest::newRow("empty") << write(QStringLiteral("empty.pdf"), {}) << out << 2 << QStringLiteral("is empty");
        QTest::newRow("not a pdf") << write(QStringLiteral("text.pdf"), "just some words\n") << out << 2 << QStringLiteral("not a PDF");
        QTest::newRow("truncated") << write(QStringLiteral("cut.pdf"), pdf.left(pdf.size() / 2)) << out << 2 << QStringLiteral("truncated");
        QTest::newRow("corrupt") << write(QStringLiteral("corrupt.pdf"), corrupt) << out << 2 << QStringLiteral("damaged");
        QTest::newRow("password") << write(QStringLiteral("locked.pdf"), encrypted) << out << 6 << QStringLiteral("password");
        QTest::newRow("scan") << in + QStringLiteral("/scan.pdf") << out << 4 << QStringLiteral("no text layer");
        QTest::newRow("no dest folder") << m_known.front().path << path(QStringLiteral("no/such/folder")) << 3 << QStringLiteral("folder does not exist");
        // Root may write anywhere a plain chmod forbids; /proc refuses even root.
        QTest::newRow("unwritable dest") << m_known.front().path << (::geteuid() == 0 ? QStringLiteral("/proc") : QStringLiteral("/"))
                                         << 3 << QStringLiteral("written");
    }

    void badInputsFailCleanly()
    {
        QFETCH(QString, source);
        QFETCH(QString, destFolder);
        QFETCH(int, exitCode);
        QFETCH(QString, reason);
        const QString dest = destFolder + QStringLiteral("/result.doc");
        const bool folderExists = QFileInfo(destFolder).isDir() && !destFolder.startsWith(QStringLiteral("/proc"))
            && destFolder != QStringLiteral("/");
        // A document already there must survive a failed run untouched.
        if (folderExists) {
            QFile old(dest);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("previous result");
        }
        const QStringList before = folderExists ? filesIn(destFolder) : QStringList{};
        const Ran r = runPwt({QStringLiteral("--src=") + source, QStringLiteral("--dest=") + dest});
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.endsWith(QLatin1Char('\n')) && r.err.count(QLatin1Char('\n')) == 1, qPrintable(r.err));
        QVERIFY2(r.err.contains(reason), qPrintable(r.err));
        QVERIFY2(r.err.contains(exitCode == 3 ? dest : source), qPrintable(r.err));
        if (folderExists) {
            QCOMPARE(filesIn(destFolder), before);
            QFile old(dest);
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), QByteArray("previous result"));
        } else {
            QVERIFY(!QFileInfo::exists(dest));
        }
    }

    void timeLimitStopsAndLeavesNothing()
    {
        const QString src = path(QStringLiteral("long.pdf"));
        makeLongPdf(src, 60);
        const QString out = path(QStringLiteral("slow"));
        QDir().mkpath(out);
        const Ran r = runPwt({QStringLiteral("--src=") + src, QStringLiteral("--dest=") + out + QStringLiteral("/long.doc"),
                           QStringLiteral("--time-limit=0.001")});
        QCOMPARE(r.exitCode, 5);
        QVERIFY2(r.err.contains(QStringLiteral("time limit")) && r.err.contains(src), qPrintable(r.err));
        QVERIFY(filesIn(out).isEmpty());
        // Without the tight limit the same file converts.
        const Ran ok = runPwt({QStringLiteral("--src=") + src, QStringLiteral("--dest=") + out + QStringLiteral("/long.doc")});
        QCOMPARE(ok.exitCode, 0);
        QCOMPARE(filesIn(out), QStringList{QStringLiteral("long.doc")});
    }

    void staleTemporariesOfDeadRunsAreRemoved()
    {
        const QString out = path(QStringLiteral("stale"));
        QDir().mkpath(out);
        // A pid that surely ended: a child we waited for.
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        ::waitpid(child, nullptr, 0);
        const QString dead = QStringLiteral(".~pwt-%1-english.doc.tmp").arg(child);
        const QString alive = QStringLiteral(".~pwt-%1-other.doc.tmp").arg(::getpid());
        for (const QString& name : {dead, alive}) {
            QFile f(out + QLatin1Char('/') + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const Ran r = runPwt({QStringLiteral("--src=") + m_known.front().path, QStringLiteral("--dest=") + out + QStringLiteral("/english.doc")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(filesIn(out), (QStringList{alive, QStringLiteral("english.doc")}));
    }

    void commandLine()
    {
        const Ran help = runPwt({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains(QStringLiteral("--src=")) && help.out.contains(QStringLiteral("Exit status")));
        const Ran version = runPwt({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.out.startsWith(QStringLiteral("pwt ")));
        const Ran none = runPwt({});
        QCOMPARE(none.exitCode, 1);
        QVERIFY(none.err.contains(QStringLiteral("--src=")));
        const Ran unknown = runPwt({QStringLiteral("--src=a.pdf"), QStringLiteral("--dest=a.doc"), QStringLiteral("--fast")});
        QCOMPARE(unknown.exitCode, 1);
        QVERIFY(unknown.err.contains(QStringLiteral("--fast")));
        // The destination may not be the source itself.
        const Ran self = runPwt({QStringLiteral("--src=") + m_known.front().path, QStringLiteral("--dest=") + m_known.front().path});
        QCOMPARE(self.exitCode, 3);
        QVERIFY(QFileInfo(m_known.front().path).size() > 0);
    }
};

QTEST_MAIN(ConverterEndToEndTest)
#include "ConverterEndToEndTest.moc"

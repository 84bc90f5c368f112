// The real pwt writing where a careless user or an attacker points it: links
// planted in the folder, devices and pipes, long names, a full disk, a run
// killed while it writes. Afterwards the folder holds exactly what it should.
#include "PdfReader.h"
#include "ProgramRun.h"
#include "TestPdfs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pwt::test;

namespace {

// Runs pwt; `fileSizeLimit` > 0 stands for a disk that fills up after that many bytes.
ProgramRun runPwt(const QStringList& args, qint64 fileSizeLimit = 0)
{
    std::function<void()> limitFileSize;
    if (fileSizeLimit > 0)
        limitFileSize = [fileSizeLimit] {
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        };
    return runProgram(QStringLiteral(PWT_PATH), args, 120000, QProcessEnvironment::systemEnvironment(), limitFileSize);
}

QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool isWordFile(const QString& path)
{
    return contentOf(path).startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1"));
}

// The id the kernel gave the newest process, from /proc/loadavg.
long lastPid()
{
    const QList<QByteArray> fields = contentOf(QStringLiteral("/proc/loadavg")).trimmed().split(' ');
    return fields.isEmpty() ? 0 : fields.last().toLong();
}

} // namespace

class OutputSafetyTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_pdf;
    QString m_longPdf;

    QString newFolder(const QString& name)
    {
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        return folder;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_pdf = makeEnglishPdf(m_dir.filePath(QStringLiteral("english.pdf"))).path;
        m_longPdf = m_dir.filePath(QStringLiteral("long.pdf"));
        makeLongPdf(m_longPdf, 400);
    }

    // Links at every name an earlier version would have guessed for its
    // temporary, and at the destination itself: no file they point to changes.
    void plantedLinksRedirectNothing()
    {
        const QString out = newFolder(QStringLiteral("links"));
        const QString victim = m_dir.filePath(QStringLiteral("victim.txt"));
        QVERIFY(writeFile(victim, "precious"));
        const long from = lastPid();
        for (long pid = from + 1; pid <= from + 3000; ++pid)
            QVERIFY(QFile::link(victim, out + QStringLiteral("/.~pwt-%1-report.doc.tmp").arg(pid)));
        const QStringList planted = entriesOf(out);

        const ProgramRun r = runPwt({QStringLiteral("--src=") + m_pdf, QStringLiteral("--dest=") + out + QStringLiteral("/report.doc")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(contentOf(victim), QByteArray("precious"));
        QVERIFY(isWordFile(out + QStringLiteral("/report.doc")));
        // The links are not ours to remove: the folder holds them and the document.
        QStringList expected = planted;
        expected << QStringLiteral("report.doc");
        expected.sort();
        QCOMPARE(entriesOf(out), expected);

        // A destination that is itself a link to a document: the link is
        // replaced, the document it pointed to left alone.
        const QString linked = out + QStringLiteral("/linked.doc");
        QVERIFY(QFile::link(victim, linked));
        QCOMPARE(runPwt({QStringLiteral("--src=") + m_pdf, QStringLiteral("--dest=") + linked}).exitCode, 0);
        QVERIFY(!QFileInfo(linked).isSymLink() && isWordFile(linked));
        QCOMPARE(contentOf(victim), QByteArray("precious"));
    }

    void destinationsThatAreNoDocument_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << QStringLiteral("fifo");
        QTest::newRow("link to a fifo") << QStringLiteral("link");
        QTest::newRow("socket") << QStringLiteral("socket");
        QTest::newRow("device") << QStringLiteral("device");
    }

    // A device, a pipe or a socket is never replaced by a file.
    void destinationsThatAreNoDocument()
    {
        QFETCH(QString, kind);
        const QString out = newFolder(QStringLiteral("special-") + kind);
        // Made in the test's own folder (a twin of /dev/null for the device),
        // so a faulty pwt can only ever replace those.
        const QString special = out + QStringLiteral("/special");
        const QByteArray specialPath = special.toLocal8Bit();
        QString dest = special;
        if (kind == QLatin1String("device")) {
            if (::geteuid() != 0)
                QSKIP("making a device node needs root");
            QCOMPARE(::mknod(specialPath.constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
        } else if (kind == QLatin1String("socket")) {
            const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            QVERIFY(static_cast<std::size_t>(specialPath.size()) < sizeof address.sun_path);
            std::memcpy(address.sun_path, specialPath.constData(), static_cast<std::size_t>(specialPath.size()));
            QCOMPARE(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
            ::close(sock);
        } else {
            QCOMPARE(::mkfifo(specialPath.constData(), 0600), 0);
            if (kind == QLatin1String("link")) {
                dest = out + QStringLiteral("/result.doc");
                QVERIFY(QFile::link(special, dest));
            }
        }
        const QStringList before = entriesOf(out);
        const ProgramRun r = runPwt({QStringLiteral("--src=") + m_pdf, QStringLiteral("--dest=") + dest});
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.err.contains(dest) && r.err.contains(QStringLiteral("not a regular file")), qPrintable(r.err));
        struct stat st {};
        QCOMPARE(::stat(dest.toLocal8Bit().constData(), &st), 0);
        QVERIFY(S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
        QCOMPARE(entriesOf(out), before);
    }

    // A name as long as the file system allows converts like any other.
    void longestNames()
    {
        const QString out = newFolder(QStringLiteral("long"));
        const QString name = QString(82, QChar(0x62A5)) + QStringLiteral(".doc"); // 82 × 报: 250 bytes
        QCOMPARE(name.toUtf8().size(), 250);
        const ProgramRun r = runPwt({QStringLiteral("--src=") + m_pdf, QStringLiteral("--dest=") + out + QLatin1Char('/') + name});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(entriesOf(out), QStringList{name});
    }

    // A disk that fills up: a clear error naming the destination, the
    // earlier document untouched, no partial file left.
    void fullDisk()
    {
        const QString out = newFolder(QStringLiteral("full"));
        const QString dest = out + QStringLiteral("/long.doc");
        QVERIFY(writeFile(dest, "previous result"));
        const ProgramRun r = runPwt({QStringLiteral("--src=") + m_longPdf, QStringLiteral("--dest=") + dest}, 64 * 1024);
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.err.contains(dest) && r.err.contains(QStringLiteral("File too large")), qPrintable(r.err));
        QCOMPARE(r.err.count(QLatin1Char('\n')), 1);
        QCOMPARE(entriesOf(out), QStringList{QStringLiteral("long.doc")});
        QCOMPARE(contentOf(dest), QByteArray("previous result"));
    }

    // Killed (SIGKILL, nothing to clean up with) while it writes: at most its
    // one temporary is left, and the next run in the folder removes it.
    void killedWhileWriting()
    {
        // On a busy machine pwt may finish writing between its first write
        // and the kill; then the run proves nothing and is made again.
        constexpr int kAttempts = 5;
        QString out, dest;
        bool killedMidWrite = false;
        for (int attempt = 0; attempt < kAttempts && !killedMidWrite; ++attempt) {
            out = newFolder(QStringLiteral("killed-%1").arg(attempt));
            dest = out + QStringLiteral("/long.doc");
            const int watch = ::inotify_init1(IN_CLOEXEC);
            QVERIFY(watch >= 0);
            QVERIFY(::inotify_add_watch(watch, out.toLocal8Bit().constData(), IN_MODIFY) >= 0);
            const pid_t child = ::fork();
            if (child == 0) {
                const QByteArray src = (QStringLiteral("--src=") + m_longPdf).toLocal8Bit();
                const QByteArray dst = (QStringLiteral("--dest=") + dest).toLocal8Bit();
                ::execl(PWT_PATH, PWT_PATH, src.constData(), dst.constData(), static_cast<char*>(nullptr));
                ::_exit(127);
            }
            // The first write into the folder: pwt is writing the document.
            char events[4096];
            QVERIFY(::read(watch, events, sizeof events) > 0);
            ::kill(child, SIGKILL);
            int status = 0;
            ::waitpid(child, &status, 0);
            ::close(watch);
            killedMidWrite = WIFSIGNALED(status);
            if (!killedMidWrite)
                QCOMPARE(WEXITSTATUS(status), 0); // it finished: a whole document
        }
        QVERIFY2(killedMidWrite, "pwt finished writing before every kill");
        const QStringList left = entriesOf(out);
        QCOMPARE(left.size(), qsizetype(1));
        QVERIFY2(left.front().startsWith(QStringLiteral(".~pwt-")) && left.front().endsWith(QStringLiteral(".tmp")),
                 qPrintable(left.join(QLatin1Char(' '))));

        const ProgramRun again = runPwt({QStringLiteral("--src=") + m_pdf, QStringLiteral("--dest=") + dest});
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(entriesOf(out), QStringList{QStringLiteral("long.doc")});
    }

    // Padding after the end marker (as some writers and transfers add) is no damage.
    void paddingAfterTheEndMarker()
    {
        const QString padded = m_dir.filePath(QStringLiteral("padded.pdf"));
        QVERIFY(writeFile(padded, contentOf(m_pdf) + QByteArray(8192, '\0') + QByteArray(100, ' ')));
        const QString out = newFolder(QStringLiteral("padded"));
        const ProgramRun r = runPwt({QStringLiteral("--src=") + padded, QStringLiteral("--dest=") + out + QStringLiteral("/padded.doc")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    }

    // A page past its budget is cut short, keeping what was read of it.
    void aPageOverItsBudgetIsCutShort()
    {
        pwt::pdf::PdfReader reader;
        QCOMPARE(reader.open(m_longPdf.toStdString()), pwt::pdf::ReadFailure::None);
        pwt::pdf::PageText whole, cut;
        QCOMPARE(reader.readPage(1, whole, 10.0), pwt::pdf::PdfReader::PageRead::Whole);
        QCOMPARE(reader.readPage(1, cut, 0.0), pwt::pdf::PdfReader::PageRead::CutShort);
        QVERIFY(cut.wordCount() < whole.wordCount());
    }
};

QTEST_MAIN(OutputSafetyTest)
#include "OutputSafetyTest.moc"

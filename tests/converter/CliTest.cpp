// The command line's pieces: option parsing, the temporary file and its
// clean-up, and that a terminating signal takes the temporary with it.
#include "AtomicOutput.h"
#include "ExitCode.h"
#include "Limits.h"
#include "Options.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Writes `text` through the output's own descriptor.
bool writeTo(const pwt::cli::AtomicOutput& out, const std::string& text)
{
    return ::write(out.descriptor(), text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

QStringList entriesOf(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

using namespace pwt::cli;

class CliTest : public QObject {
    Q_OBJECT
private slots:
    void options()
    {
        auto p = parseOptions({"--src=/a b/x.pdf", "--dest=/c/x.doc"});
        QVERIFY(p.error.empty());
        QCOMPARE(p.options.source, std::string("/a b/x.pdf"));
        QCOMPARE(p.options.destination, std::string("/c/x.doc"));
        QVERIFY(!p.options.timeLimitSeconds);
        p = parseOptions({"--src=x.pdf", "--dest=y.doc", "--time-limit=2.5"});
        QCOMPARE(*p.options.timeLimitSeconds, 2.5);
        QVERIFY(!parseOptions({"--src=x.pdf", "--dest=y.doc", "--time-limit=-1"}).error.empty());
        QVERIFY(!parseOptions({"--src=x.pdf", "--dest=y.doc", "--time-limit=abc"}).error.empty());
        QVERIFY(!parseOptions({"--src=x.pdf"}).error.empty());
        QVERIFY(!parseOptions({"--dest=y.doc"}).error.empty());
        QVERIFY(!parseOptions({"--src=", "--dest=y.doc"}).error.empty());
        QVERIFY(!parseOptions({"--src=x.pdf", "--dest=y.doc", "extra"}).error.empty());
        QVERIFY(parseOptions({"--help"}).options.help);
        QVERIFY(parseOptions({"--version"}).error.empty());
        // The limit is capped, and a huge value is refused rather than overflowing the timer.
        QCOMPARE(*parseOptions({"--src=x.pdf", "--dest=y.doc", "--time-limit=1800"}).options.timeLimitSeconds, kMaxSecondsAllowed);
        for (const char* tooLong : {"--time-limit=1801", "--time-limit=1e300", "--time-limit=inf"})
            QVERIFY2(!parseOptions({"--src=x.pdf", "--dest=y.doc", tooLong}).error.empty(), tooLong);
        QCOMPARE(secondsAllowedFor(5000), kMaxSecondsAllowed);
        QCOMPARE(secondsAllowedFor(10), kBaseSecondsAllowed + 10 * kSecondsPerPage);
        // --help shows each exit status with its meaning from the one table.
        const std::string help = usageText();
        for (const ExitCodeMeaning& e : kExitCodes)
            QVERIFY2(help.find("  " + std::to_string(toInt(e.code)) + "  " + e.meaning + "\n") != std::string::npos, e.meaning);
    }

    void temporaryNames()
    {
        QVERIFY(isTemporaryName(".~pwt-k3j9x0q2ab.tmp"));
        QVERIFY(isTemporaryName(".~pwt-4321-报告 1.doc.tmp"));
        QVERIFY(!isTemporaryName("report.doc"));
        QVERIFY(!isTemporaryName(".~pwt-.tmp"));
        // Earlier versions named their owner.
        QCOMPARE(ownerOfTemporary(".~pwt-4321-报告 1.doc.tmp"), 4321L);
        QCOMPARE(ownerOfTemporary(".~pwt-k3j9x0q2ab.tmp"), 0L);
        QCOMPARE(ownerOfTemporary(".~pwt-12-report.doc"), 0L);

        // Short and random: it fits beside a destination whose own name is as
        // long as the file system allows, and two never share a name.
        QTemporaryDir dir;
        const std::string longName(250, 'x');
        AtomicOutput a(dir.filePath(QString::fromStdString(longName + ".doc")).toStdString());
        AtomicOutput b(dir.filePath(QString::fromStdString(longName + ".doc")).toStdString());
        QCOMPARE(a.create(), std::string());
        QCOMPARE(b.create(), std::string());
        QVERIFY(a.temporaryPath() != b.temporaryPath());
        const std::string name = a.temporaryPath().substr(a.temporaryPath().find_last_of('/') + 1);
        QVERIFY(isTemporaryName(name));
        QVERIFY(name.size() <= 24);
        // Private to the user until it is put in place.
        struct stat st {};
        QCOMPARE(::fstat(a.descriptor(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0600));

        AtomicOutput nowhere(dir.filePath(QStringLiteral("missing/out.doc")).toStdString());
        const std::string why = nowhere.create();
        QVERIFY2(why.find("cannot create a temporary file") != std::string::npos, why.c_str());
    }

    void signalRemovesTheTemporary_data()
    {
        QTest::addColumn<int>("sig");
        QTest::newRow("TERM") << SIGTERM;
        QTest::newRow("INT") << SIGINT;
        QTest::newRow("HUP") << SIGHUP;
    }

    void signalRemovesTheTemporary()
    {
        QFETCH(int, sig);
        QTemporaryDir dir;
        const std::string dest = dir.filePath(QStringLiteral("out.doc")).toStdString();
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            TerminationCleanup::install("aborted\n", 7);
            AtomicOutput out(dest);
            if (!out.create().empty() || !writeTo(out, "half a document"))
                ::_exit(1);
            (void)!::write(ready[1], out.temporaryPath().c_str(), out.temporaryPath().size());
            ::pause();
            ::_exit(0);
        }
        char buffer[4096] = {};
        const ssize_t got = ::read(ready[0], buffer, sizeof buffer - 1);
        QVERIFY(got > 0);
        const std::string temp(buffer, static_cast<std::size_t>(got));
        QVERIFY(::access(temp.c_str(), F_OK) == 0);
        ::kill(child, sig);
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), sig);
        QVERIFY(::access(temp.c_str(), F_OK) != 0);
        QVERIFY(::access(dest.c_str(), F_OK) != 0);
        ::close(ready[0]);
        ::close(ready[1]);
    }

    void commitReplacesAndDiscardRemoves()
    {
        QTemporaryDir dir;
        const std::string dest = dir.filePath(QStringLiteral("out.doc")).toStdString();
        std::ofstream(dest) << "old";
        {
            AtomicOutput out(dest);
            QCOMPARE(out.create(), std::string());
            QVERIFY(writeTo(out, "new"));
            out.discard();
            QVERIFY(::access(out.temporaryPath().c_str(), F_OK) != 0);
        }
        std::string text;
        std::ifstream(dest) >> text;
        QCOMPARE(text, std::string("old"));
        {
            AtomicOutput out(dest);
            QCOMPARE(out.create(), std::string());
            QVERIFY(writeTo(out, "new"));
            QCOMPARE(out.commit(), std::string());
        }
        std::ifstream(dest) >> text;
        QCOMPARE(text, std::string("new"));
        QCOMPARE(entriesOf(dir), QStringList{QStringLiteral("out.doc")});
        // In place it has the permissions any new file gets.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat st {};
        QCOMPARE(::stat(dest.c_str(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
        // A temporary that was never created cannot be committed.
        AtomicOutput missing(dest);
        QVERIFY(!missing.commit().empty());
    }

    // A later run removes what a killed run left, and nothing else: not a
    // live run's temporary, not a link or a file that only looks like one.
    void staleTemporariesOfKilledRuns()
    {
        QTemporaryDir dir;
        const std::string dest = dir.filePath(QStringLiteral("out.doc")).toStdString();
        auto startWriter = [&](pid_t& pid) {
            int ready[2];
            if (::pipe(ready) != 0)
                return false;
            pid = ::fork();
            if (pid == 0) {
                AtomicOutput out(dest);
                if (!out.create().empty() || !writeTo(out, "half a document"))
                    ::_exit(1);
                (void)!::write(ready[1], "r", 1);
                ::pause();
                ::_exit(0);
            }
            char c = 0;
            const bool ok = ::read(ready[0], &c, 1) == 1;
            ::close(ready[0]);
            ::close(ready[1]);
            return ok;
        };
        pid_t killed = 0, alive = 0;
        QVERIFY(startWriter(killed));
        QVERIFY(startWriter(alive));
        ::kill(killed, SIGKILL);
        ::waitpid(killed, nullptr, 0);
        QCOMPARE(entriesOf(dir).size(), qsizetype(2));
        const QString lookalike = dir.filePath(QStringLiteral(".~pwt-aaaaaaaaaa.tmp"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("out.doc")), lookalike));

        QCOMPARE(removeStaleTemporaries(dir.path().toStdString()), 1);
        QCOMPARE(entriesOf(dir).size(), qsizetype(2)); // the live one and the link
        QVERIFY(QFileInfo(lookalike).isSymLink());
        ::kill(alive, SIGKILL);
        ::waitpid(alive, nullptr, 0);
        QCOMPARE(removeStaleTemporaries(dir.path().toStdString()), 1);
        QCOMPARE(entriesOf(dir), QStringList{QFileInfo(lookalike).fileName()});
    }
};

QTEST_APPLESS_MAIN(CliTest)
#include "CliTest.moc"

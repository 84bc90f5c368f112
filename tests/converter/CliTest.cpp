// The command line's pieces: option parsing, temporary names, and that a
// terminating signal takes the temporary with it.
#include "AtomicOutput.h"
#include "Options.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

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
    }

    void temporaryNames()
    {
        const std::string name = temporaryNameFor("报告 1.doc", 4321);
        QCOMPARE(name, std::string(".~pwt-4321-报告 1.doc.tmp"));
        QCOMPARE(ownerOfTemporary(name), 4321L);
        QCOMPARE(ownerOfTemporary("report.doc"), 0L);
        QCOMPARE(ownerOfTemporary(".~pwt-x-report.doc.tmp"), 0L);
        QCOMPARE(ownerOfTemporary(".~pwt-12-report.doc"), 0L);
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
            TerminationCleanup::install();
            AtomicOutput out(dest);
            std::ofstream(out.temporaryPath()) << "half a document";
            const char c = 'r';
            (void)!::write(ready[1], &c, 1);
            ::pause();
            ::_exit(0);
        }
        char c = 0;
        QCOMPARE(::read(ready[0], &c, 1), ssize_t(1));
        const std::string temp = dir.filePath(QString::fromStdString(temporaryNameFor("out.doc", child))).toStdString();
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
            std::ofstream(out.temporaryPath()) << "new";
            out.discard();
            QVERIFY(::access(out.temporaryPath().c_str(), F_OK) != 0);
        }
        std::string text;
        std::ifstream(dest) >> text;
        QCOMPARE(text, std::string("old"));
        {
            AtomicOutput out(dest);
            std::ofstream(out.temporaryPath()) << "new";
            QCOMPARE(out.commit(), std::string());
        }
        std::ifstream(dest) >> text;
        QCOMPARE(text, std::string("new"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), qsizetype(1));
        // A temporary that was never written cannot be committed.
        AtomicOutput missing(dest);
        QVERIFY(!missing.commit().empty());
    }
};

QTEST_APPLESS_MAIN(CliTest)
#include "CliTest.moc"

// The release pwt on files from strangers: the generated hostile corpus, each
// case with the exit status it must give, and every input the fuzzer kept
// (tests/fuzz/regressions/), which must end in one of the statuses a file can
// cause. Whatever the input, pwt ends by itself, within its memory ceiling,
// writes one stderr line per problem, and leaves the destination folder with
// the document on success and nothing at all on failure.
#include "ExitCode.h"
#include "HostileCorpus.h"
#include "Limits.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using pwt::cli::ExitCode;
using pwt::cli::toInt;

namespace {

// How long a run may take before the test calls it a hang: pwt's own limit
// for a small file, with room for a loaded machine. Bombs set their own
// --time-limit= and get that plus the same room.
constexpr int kSecondsBeforeHang = 60;
constexpr int kSecondsOfRoom = 20;

// An input the fuzzer kept runs under pwt's base time limit, however many
// pages it claims, so that a slow one costs the test little; stopping itself
// there (exit 5) is no hang.
const QString kTimeLimitOption = QStringLiteral("--time-limit=");
const QString kRegressionTimeLimit = kTimeLimitOption + QStringLiteral("20");

// The statuses a file alone can cause: not usage, not an unwritable destination.
const QList<int> kStatusesOfAFile = {toInt(ExitCode::Ok),        toInt(ExitCode::BadInput),
                                     toInt(ExitCode::NoTextLayer), toInt(ExitCode::TimeLimit),
                                     toInt(ExitCode::Password),  toInt(ExitCode::Internal)};

// Every OLE2 compound file (a .doc) starts with these bytes.
const QByteArray kCompoundFileSignature = QByteArray::fromHex("D0CF11E0A1B11AE1");

struct Run {
    bool ended = false;  // by itself, before the hang deadline
    int status = -1;     // exit status, or -1 when ended by a signal
    int signal = 0;
    long peakKilobytes = 0;
    QByteArray stderrText;
};

// Runs pwt with `arguments`, stdin and stdout on /dev/null and stderr into
// `stderrPath`; waits on a pidfd for its end up to `deadlineSeconds`, then
// kills it. The peak memory is the child's own (wait4), not all children's.
Run runPwt(const QStringList& arguments, const QString& stderrPath, int deadlineSeconds)
{
    std::vector<std::string> args{PWT_PATH};
    for (const QString& a : arguments)
        args.push_back(a.toStdString());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const QByteArray errPath = QFile::encodeName(stderrPath);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    Run run;
    if (spawned != 0)
        return run;

    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    pollfd end{pidfd, POLLIN, 0};
    run.ended = pidfd >= 0 && ::poll(&end, 1, deadlineSeconds * 1000) == 1;
    if (!run.ended)
        ::kill(pid, SIGKILL);
    if (pidfd >= 0)
        ::close(pidfd);
    int wstatus = 0;
    rusage usage{};
    ::wait4(pid, &wstatus, 0, &usage);
    run.peakKilobytes = usage.ru_maxrss;
    if (WIFEXITED(wstatus))
        run.status = WEXITSTATUS(wstatus);
    else if (WIFSIGNALED(wstatus))
        run.signal = WTERMSIG(wstatus);
    QFile err(stderrPath);
    if (err.open(QIODevice::ReadOnly))
        run.stderrText = err.readAll();
    return run;
}

QString statusList(const QList<int>& statuses)
{
    QStringList s;
    for (int status : statuses)
        s << QString::number(status);
    return s.join(QLatin1Char('/'));
}

} // namespace

class HostileInputTest : public QObject {
    Q_OBJECT
private slots:
    void convert_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("allowed");
        QTest::addColumn<QStringList>("extraArgs");
        QTest::addColumn<bool>("bomb");

        auto addCases = [](const std::vector<pwt::hostile::HostileCase>& cases) {
            for (const auto& c : cases) {
                QStringList extra;
                for (const std::string& a : c.extraArgs)
                    extra << QString::fromStdString(a);
                QTest::newRow(c.name.c_str()) << QByteArray::fromStdString(c.bytes)
                                              << QList<int>(c.allowedExits.begin(), c.allowedExits.end()) << extra
                                              << c.bomb;
            }
        };
        addCases(pwt::hostile::wellFormedCases());
        addCases(pwt::hostile::hostileCases());

        const QDir regressions(QStringLiteral(PWT_FUZZ_REGRESSIONS));
        for (const QFileInfo& file : regressions.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
            if (file.suffix() == QLatin1String("md"))
                continue; // the folder's README
            QFile in(file.filePath());
            QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(file.filePath()));
            QTest::newRow(qPrintable(QStringLiteral("regression/") + file.fileName()))
                << in.readAll() << kStatusesOfAFile << QStringList{kRegressionTimeLimit} << false;
        }
    }

    void convert()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, allowed);
        QFETCH(QStringList, extraArgs);
        QFETCH(bool, bomb);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString source = dir.filePath(QStringLiteral("in.pdf"));
        QFile in(source);
        QVERIFY(in.open(QIODevice::WriteOnly));
        QCOMPARE(in.write(bytes), qint64(bytes.size()));
        in.close();
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out")));
        const QDir out(dir.filePath(QStringLiteral("out")));
        const QString destination = out.filePath(QStringLiteral("result.doc"));

        int deadline = kSecondsBeforeHang;
        for (const QString& a : extraArgs)
            if (a.startsWith(kTimeLimitOption))
                deadline = a.mid(kTimeLimitOption.size()).toInt() + kSecondsOfRoom;
        const Run run = runPwt(QStringList{QStringLiteral("--src=") + source, QStringLiteral("--dest=") + destination}
                                   + extraArgs,
                               dir.filePath(QStringLiteral("stderr.txt")), deadline);
        const QString said = QString::fromUtf8(run.stderrText);

        QVERIFY2(run.ended, qPrintable(QStringLiteral("still running after %1 s; killed").arg(deadline)));
        QVERIFY2(run.signal == 0, qPrintable(QStringLiteral("ended by signal %1: %2").arg(run.signal).arg(said)));
        QVERIFY2(allowed.contains(run.status), qPrintable(QStringLiteral("exit %1, expected %2: %3")
                                                              .arg(run.status)
                                                              .arg(statusList(allowed), said)));
        // Exit 7 is for running out of memory; an internal error is a fault.
        if (run.status == toInt(ExitCode::Internal))
            QVERIFY2(said.contains(QLatin1String("out of memory")), qPrintable(said));
        const long ceilingKilobytes = static_cast<long>(pwt::cli::kAddressSpaceCeilingBytes / 1024);
        QVERIFY2(run.peakKilobytes < ceilingKilobytes,
                 qPrintable(QStringLiteral("peak memory %1 MiB").arg(run.peakKilobytes / 1024)));
        if (bomb)
            qInfo("exit %d, peak memory %ld MiB", run.status, run.peakKilobytes / 1024);

        // One line per problem: warnings first, then on failure the one error.
        QStringList lines = said.split(QLatin1Char('\n'));
        QCOMPARE(lines.takeLast(), QString()); // every line ends with a newline
        int errors = 0;
        for (const QString& line : lines) {
            QVERIFY2(line.startsWith(QLatin1String("pwt: ")), qPrintable(said));
            if (!line.contains(QLatin1String(": warning: ")))
                ++errors;
        }
        QCOMPARE(errors, run.status == toInt(ExitCode::Ok) ? 0 : 1);

        const QStringList left = out.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (run.status == toInt(ExitCode::Ok)) {
            QCOMPARE(left, QStringList{QStringLiteral("result.doc")});
            QFile doc(destination);
            QVERIFY(doc.open(QIODevice::ReadOnly));
            QCOMPARE(doc.read(kCompoundFileSignature.size()), kCompoundFileSignature);
        } else {
            QCOMPARE(left, QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(HostileInputTest)
#include "tst_hostile.moc"

// The real process and file-system layer, and whole batches through it with
// the test-only converter: real processes, real files, real timer ticks.
#include "ConverterSandbox.h"
#include "FileSystemIn.h"
#include "RunnerFakes.h"
#include "platform/doubles/Doubles.h"
#include "platform/qt/PosixProcesses.h"
#include "platform/qt/QtEventPump.h"
#include "runner/ConversionRunner.h"

#include <QScopeGuard>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
using platform::qt::PosixProcesses;
using platform::qt::QtEventPump;
using platform::qt::QtFileSystem;
using runner::ConversionRunner;
using runner::testing::ConverterSandbox;
using runner::testing::FakeView;
using runner::testing::FileSystemIn;
using runner::testing::processState;
using runner::testing::releaseHeldConverter;
using runner::testing::VectorRows;

namespace {

constexpr qint64 kOneSecondNs = 1'000'000'000;
// Timer ticks a batch must sit through, its row unsettled, while its converter runs.
constexpr qsizetype kTicksWhileHeld = 3;

const QString kFakePwt = QStringLiteral(FAKEPWT_PATH);
const QString kLauncher = QStringLiteral(LAUNCHER_PATH);
const QString kDone = QStringLiteral("转换完成");
const QString kFailed = QStringLiteral("转换失败");
const QString kPending = QStringLiteral("待转换");
const QString kConverting = QStringLiteral("正在转换中，请耐心等待...");

qint64 parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toLongLong();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeText(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// Sets a file's modification time, as a rewrite that much later would.
void setModifiedNs(const QString& path, qint64 modifiedNs)
{
    const timespec unchanged{0, UTIME_OMIT};
    const timespec modified{static_cast<time_t>(modifiedNs / kOneSecondNs), static_cast<long>(modifiedNs % kOneSecondNs)};
    const timespec times[2]{unchanged, modified};
    QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// A batch on real processes and files; the window's timerPID is a real QTimer.
struct RealBatch {
    platform::doubles::ScriptedMessageBoxes messages;
    PosixProcesses processes;
    FileSystemIn files;
    QtEventPump events;
    VectorRows rows;
    FakeView view;
    QTimer timerPID;
    ConversionRunner runner{rows, view, {messages, files, processes, events}};

    RealBatch(const QString& programFolder, const QString& outputFolder) : files(programFolder)
    {
        view.outputFolder = outputFolder;
        timerPID.setInterval(10);
        QObject::connect(&timerPID, &QTimer::timeout, [this] { runner.timerPID_Timer(); });
        view.onTimerChanged = [this](bool on) { on ? timerPID.start() : timerPID.stop(); };
    }
    bool ended() const
    {
        return !messages.shown.isEmpty()
            && messages.shown.last().text == QStringLiteral("所有文档转换完成！是否打开Word文件保存文件夹？");
    }
    QStringList titles() const
    {
        QStringList result;
        for (const auto& box : messages.shown)
            result.append(box.title);
        return result;
    }
};

} // namespace

class RunnerProcessesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void idsThatNameNoProcess();
    void launchFailuresAreDescribed();
    void argumentsArriveVerbatim();
    void converterIsDetachedFromTheWindow();
    void endedChildCountsAsEndedAndIsReaped();
    void orphanZombieCountsAsEnded();
    void converterOutlivesItsLauncher();
    void fileSystem();
    void wholeBatch();
    void wholeBatchWithoutConverter();

private:
    qint64 orphanedHeldConverter(const QString& destination);

    ConverterSandbox m_sandbox;
};

void RunnerProcessesTest::initTestCase() { m_sandbox.setUp(kFakePwt); }

void RunnerProcessesTest::cleanupTestCase() { ConverterSandbox::reapOrphans(); }

void RunnerProcessesTest::idsThatNameNoProcess()
{
    PosixProcesses processes;
    QVERIFY(!processes.isRunning(0));
    QVERIFY(!processes.isRunning(-1));
    QVERIFY(!processes.isRunning(-getpid()));
    QVERIFY(!processes.isRunning(qint64(1) << 40)); // beyond any pid
    QVERIFY(processes.isRunning(getpid()));
}

void RunnerProcessesTest::launchFailuresAreDescribed()
{
    PosixProcesses processes;
    const auto missing = processes.startHidden(m_sandbox.filePath(QStringLiteral("nothing/pwt")), {});
    QVERIFY(!missing.ok());
    QVERIFY2(missing.error.contains(QStringLiteral("找不到程序文件")), qPrintable(missing.error));

    const QString notExecutable = m_sandbox.filePath(QStringLiteral("plain.txt"));
    writeText(notExecutable, "text");
    const auto refused = processes.startHidden(notExecutable, {});
    QVERIFY(!refused.ok());
    QVERIFY2(refused.error.contains(QStringLiteral("权限")), qPrintable(refused.error));
}

void RunnerProcessesTest::argumentsArriveVerbatim()
{
    PosixProcesses processes;
    const QString source = QStringLiteral("/in/a \"quoted\" $HOME; `x` 'y' \\ 报告.pdf");
    const QString destination = m_sandbox.filePath(QStringLiteral("out \"1\" $HOME 报告.doc"));
    const auto launch = processes.startHidden(kFakePwt, {QStringLiteral("--src=") + source, QStringLiteral("--dest=") + destination});
    QVERIFY2(launch.ok(), qPrintable(launch.error));
    QTRY_VERIFY_WITH_TIMEOUT(!processes.isRunning(launch.pid), 10000);
    QCOMPARE(QString::fromUtf8(readAll(destination)),
             QStringLiteral("src=") + source + QStringLiteral("\ndest=") + destination + u'\n');
}

void RunnerProcessesTest::converterIsDetachedFromTheWindow()
{
    // A descriptor the window holds open must not leak into the converter.
    const int leak = ::open("/dev/zero", O_RDONLY);
    QVERIFY(leak > 2);

    PosixProcesses processes;
    const auto launch = processes.startHidden(
        kFakePwt, {QStringLiteral("--src=/in/hang.pdf"), QStringLiteral("--dest=") + m_sandbox.filePath(QStringLiteral("h.doc"))});
    QVERIFY2(launch.ok(), qPrintable(launch.error));
    const auto pid = static_cast<pid_t>(launch.pid);
    // A check failing below must not leave behind a converter that never ends.
    auto stopConverter = qScopeGuard([pid] { kill(pid, SIGKILL); });
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget(),
                              QFileInfo(kFakePwt).canonicalFilePath(), 10000);

    // Right after the exec the loader holds the libraries it reads open for a
    // moment; a descriptor leaked from the window would stay for good.
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    QTRY_COMPARE_WITH_TIMEOUT(fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                              (QStringList{"0", "1", "2"}), 10000);
    for (const auto& fd : {"0", "1", "2"})
        QCOMPARE(QFileInfo(fds.filePath(QString::fromLatin1(fd))).symLinkTarget(), QStringLiteral("/dev/null"));
    QCOMPARE(getsid(pid), pid); // its own session: the window's terminal signals don't reach it
    ::close(leak);

    QVERIFY(processes.isRunning(launch.pid));
    stopConverter.dismiss();
    QCOMPARE(kill(pid, SIGKILL), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!processes.isRunning(launch.pid), 10000);
    QCOMPARE(processState(launch.pid), char(0)); // reaped
}

void RunnerProcessesTest::endedChildCountsAsEndedAndIsReaped()
{
    PosixProcesses processes;
    const auto launch = processes.startHidden(
        kFakePwt, {QStringLiteral("--src=/in/nowrite.pdf"), QStringLiteral("--dest=/nowhere.doc")});
    QVERIFY2(launch.ok(), qPrintable(launch.error));
    // Ended, not yet reaped: kill(pid, 0) still finds it.
    QTRY_COMPARE_WITH_TIMEOUT(processState(launch.pid), 'Z', 10000);
    QCOMPARE(kill(static_cast<pid_t>(launch.pid), 0), 0);

    QVERIFY(!processes.isRunning(launch.pid));
    QCOMPARE(processState(launch.pid), char(0));
    QVERIFY(!processes.isRunning(launch.pid));
}

// The launcher starts a held converter and ends; the converter, orphaned,
// comes to this subreaper, which never reaps it on its own. Its id, or 0.
qint64 RunnerProcessesTest::orphanedHeldConverter(const QString& destination)
{
    PosixProcesses processes;
    const QString idFile = destination + QStringLiteral(".id");
    const auto launcher = processes.startHidden(
        kLauncher, {idFile, kFakePwt, QStringLiteral("--src=/in/held.pdf"), QStringLiteral("--dest=") + destination});
    if (!launcher.ok() || !QTest::qWaitFor([&] { return !processes.isRunning(launcher.pid); }, 10000))
        return 0;
    return readAll(idFile).toLongLong();
}

void RunnerProcessesTest::orphanZombieCountsAsEnded()
{
    const QString destination = m_sandbox.filePath(QStringLiteral("orphan.doc"));
    const qint64 orphan = orphanedHeldConverter(destination);
    QVERIFY(orphan > 0);
    PosixProcesses processes;
    QVERIFY(processes.isRunning(orphan));

    releaseHeldConverter(destination);
    QTRY_COMPARE_WITH_TIMEOUT(processState(orphan), 'Z', 10000);
    QCOMPARE(kill(static_cast<pid_t>(orphan), 0), 0);
    QVERIFY(!processes.isRunning(orphan));
    QVERIFY(QFile::exists(destination));
    QCOMPARE(waitpid(static_cast<pid_t>(orphan), nullptr, 0), static_cast<pid_t>(orphan));
}

void RunnerProcessesTest::converterOutlivesItsLauncher()
{
    const QString destination = m_sandbox.filePath(QStringLiteral("outlives.doc"));
    const qint64 converter = orphanedHeldConverter(destination);
    QVERIFY(converter > 0);
    QCOMPARE(parentOf(converter), qint64(getpid())); // orphaned, now under this subreaper
    QVERIFY(processState(converter) != 'Z');

    // Let go only now, it still does its whole work and ends by itself.
    releaseHeldConverter(destination);
    int status = 0;
    QCOMPARE(waitpid(static_cast<pid_t>(converter), &status, 0), static_cast<pid_t>(converter));
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(QString::fromUtf8(readAll(destination)),
             QStringLiteral("src=/in/held.pdf\ndest=") + destination + u'\n');
}

void RunnerProcessesTest::fileSystem()
{
    QtFileSystem files;
    QCOMPARE(files.programFolder(), QCoreApplication::applicationDirPath());

    const QString base = m_sandbox.filePath(QStringLiteral("fs"));
    QVERIFY(!files.folderExists(base));
    QVERIFY(files.makeFolder(base + u'/').ok());
    QVERIFY(files.folderExists(base));
    QVERIFY(files.folderExists(base + u'/'));
    const auto again = files.makeFolder(base);
    QVERIFY(!again.ok());

    // One level only: no intermediate folders.
    const auto deep = files.makeFolder(base + QStringLiteral("/a/b"));
    QVERIFY(!deep.ok());
    QVERIFY2(deep.error().contains(QStringLiteral("上级文件夹")), qPrintable(deep.error()));
    QVERIFY(!files.folderExists(base + QStringLiteral("/a")));

    const QString file = base + QStringLiteral("/x.doc");
    QVERIFY(!files.fileExists(file));
    QVERIFY(!files.fileExists(base)); // a folder is not a file
    QVERIFY(!files.stamp(file).exists);
    QVERIFY(!files.folderExists(file));

    writeText(file, "1234");
    QVERIFY(files.fileExists(file));
    const auto first = files.stamp(file);
    QVERIFY(first.exists);
    QCOMPARE(first.size, 4);
    QCOMPARE(files.stamp(file), first);

    // Rewritten in place with the same size, a second later: the modification time tells.
    writeText(file, "5678");
    setModifiedNs(file, first.modifiedNs + kOneSecondNs);
    const auto rewritten = files.stamp(file);
    QCOMPARE(rewritten.size, 4);
    QVERIFY(rewritten != first);

    // Replaced by a rename: a new inode.
    const QString other = base + QStringLiteral("/y.doc");
    writeText(other, "5678");
    QVERIFY(::rename(QFile::encodeName(other).constData(), QFile::encodeName(file).constData()) == 0);
    QVERIFY(files.stamp(file).inode != rewritten.inode);
}

void RunnerProcessesTest::wholeBatch()
{
    const QString in = m_sandbox.filePath(QStringLiteral("in"));
    const QString out = m_sandbox.filePath(QStringLiteral("out 输出")); // missing, its parent exists
    for (const auto& folder : {in, in + QStringLiteral("/other")})
        QVERIFY(QDir().mkpath(folder));
    QVERIFY(!QFileInfo::exists(out));

    RealBatch b(m_sandbox.binFolder(), out);
    const QStringList sources{in + QStringLiteral("/report.pdf"), in + QStringLiteral("/nowrite_stale.pdf"),
                              in + QStringLiteral("/other/report.pdf"), in + QStringLiteral("/held “引号” $x.pdf"),
                              in + QStringLiteral("/nowrite.pdf")};
    for (const auto& source : sources)
        b.rows.append(source, QStringLiteral("转换完成"));

    b.runner.cmdStart_Click();
    QVERIFY(QFileInfo(out).isDir());
    QVERIFY(b.view.lockedForBatch());
    // The stale file appears only once the batch is under way, as if left from elsewhere.
    writeText(out + QStringLiteral("/nowrite_stale.doc"), "the user's own file");

    // The held converter keeps its row converting, tick after tick, until it is let go.
    const QString held = out + QStringLiteral("/held “引号” $x.doc");
    QTRY_COMPARE_WITH_TIMEOUT(b.rows.statuses().value(3), kConverting, 30000);
    QSignalSpy ticks(&b.timerPID, &QTimer::timeout);
    QTRY_VERIFY(ticks.size() >= kTicksWhileHeld);
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kFailed, kDone, kConverting, kPending}));
    releaseHeldConverter(held);

    QTRY_VERIFY_WITH_TIMEOUT(b.ended(), 30000);
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kFailed, kDone, kDone, kFailed}));
    QCOMPARE(b.titles(), (QStringList{"提示", "提示", "提示"}));
    QVERIFY(b.messages.shown[0].text.startsWith(QStringLiteral("文件[") + sources[1] + u']'));
    QVERIFY(b.messages.shown[1].text.startsWith(QStringLiteral("文件[") + sources[4] + u']'));
    QVERIFY(b.view.idle());

    QCOMPARE(QString::fromUtf8(readAll(out + QStringLiteral("/report.doc"))),
             QStringLiteral("src=%1\ndest=%2/report.doc\n").arg(sources[0], out));
    QCOMPARE(QString::fromUtf8(readAll(out + QStringLiteral("/report (2).doc"))),
             QStringLiteral("src=%1\ndest=%2/report (2).doc\n").arg(sources[2], out));
    QVERIFY(readAll(held).startsWith("src="));
    QCOMPARE(readAll(out + QStringLiteral("/nowrite_stale.doc")), QByteArray("the user's own file"));
    QCOMPARE(QDir(out).entryList(QDir::Files).size(), 4);
    QCOMPARE(processState(b.runner.lngPID), char(0)); // every converter reaped
}

void RunnerProcessesTest::wholeBatchWithoutConverter()
{
    const QString empty = m_sandbox.filePath(QStringLiteral("empty"));
    QVERIFY(QDir().mkdir(empty));
    RealBatch b(empty, m_sandbox.path());
    b.rows.append(QStringLiteral("/in/a.pdf"), kPending);
    b.rows.append(QStringLiteral("/in/b.pdf"), kPending);
    b.runner.cmdStart_Click();

    QTRY_VERIFY_WITH_TIMEOUT(b.ended(), 10000);
    QCOMPARE(b.rows.statuses(), (QStringList{kFailed, kFailed}));
    QCOMPARE(b.titles(), (QStringList{"错误提示", "提示", "错误提示", "提示", "提示"}));
    QVERIFY2(b.messages.shown[0].text.contains(empty + QStringLiteral("/pwt")),
             qPrintable(b.messages.shown[0].text));
    QCOMPARE(b.runner.lngPID, 0);
}

QTEST_GUILESS_MAIN(RunnerProcessesTest)
#include "tst_RunnerProcesses.moc"

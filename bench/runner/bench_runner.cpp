// The batch benchmark: a list of N rows (500 unless told) converted by a
// converter that ends at once, on real processes and files with the window's
// 10 ms precise timer. Reports the mean time from one launch to the next and
// the process's memory along the batch, beside two references measured in the
// same run: the bare timer period and a bare spawn-and-wait of the converter.
#include "platform/qt/PosixProcesses.h"
#include "platform/qt/QtEventPump.h"
#include "runner/ConversionRunner.h"
#include "tests/runner/FileSystemIn.h"
#include "tests/runner/RunnerFakes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <sys/wait.h>
#include <vector>

using runner::testing::FakeView;
using runner::testing::FileSystemIn;
using runner::testing::VectorRows;

namespace {

qint64 statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The window's controls without the test view's log of every change, which
// would grow with the batch and hide the runner's own memory.
class BenchView : public FakeView {
public:
    void setTimerEnabled(bool enabled) override
    {
        timer = enabled;
        onTimerChanged(enabled);
    }
};

// Answers every box at once without keeping it, so the memory seen is the batch's own.
class AnsweringBoxes : public platform::MessageBoxes {
public:
    platform::MessageAnswer show(const platform::MessageRequest& request) override
    {
        ++count;
        last = request.text;
        return request.buttons == platform::MessageButtons::Ok ? platform::MessageAnswer::Ok : platform::MessageAnswer::No;
    }
    int count = 0;
    QString last;
};

// Real processes, with the moment of each launch and the memory then.
class TimedProcesses : public platform::qt::PosixProcesses {
public:
    platform::LaunchResult startHidden(const QString& program, const QStringList& arguments) override
    {
        launchNs.push_back(clock.nsecsElapsed());
        if (launchNs.size() % 50 == 0) {
            rssKb.push_back(statusKb("VmRSS:"));
            heapKb.push_back(static_cast<qint64>(mallinfo2().uordblks / 1024));
        }
        if (endSeenNs > 0)
            settleNs.push_back(launchNs.back() - endSeenNs);
        auto result = PosixProcesses::startHidden(program, arguments);
        spawnNs += clock.nsecsElapsed() - launchNs.back();
        return result;
    }
    bool isRunning(qint64 pid) override
    {
        ++queries;
        const bool running = PosixProcesses::isRunning(pid);
        if (!running)
            endSeenNs = clock.nsecsElapsed();
        return running;
    }
    QElapsedTimer clock;
    qint64 endSeenNs = 0;
    long queries = 0;
    qint64 spawnNs = 0; // inside posix_spawn, which returns once the child has started the program
    std::vector<qint64> settleNs; // from the tick that sees the end to the next launch
    std::vector<qint64> launchNs;
    std::vector<qint64> rssKb;
    std::vector<qint64> heapKb; // malloc'd and still in use
};

struct Result {
    double meanMs = 0;
    double p50Ms = 0;
    double p95Ms = 0;
    double maxMs = 0;
    double settleMs = 0;
    double queriesPerRow = 0;
    double spawnMs = 0;
    std::vector<qint64> rssKb;
    std::vector<qint64> heapKb;
    int converted = 0;
    int failed = 0;
};

Result runBatch(const QString& programFolder, const QString& outputFolder, int rows)
{
    TimedProcesses processes;
    FileSystemIn files(programFolder);
    platform::qt::QtEventPump events;
    AnsweringBoxes boxes;
    VectorRows list;
    for (int i = 1; i <= rows; ++i)
        list.append(QStringLiteral("/in/file%1.pdf").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("待转换"));
    BenchView view;
    view.outputFolder = outputFolder;
    runner::ConversionRunner batch(list, view, {boxes, files, processes, events});

    QTimer timerPID;
    timerPID.setInterval(10);
    timerPID.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timerPID, &QTimer::timeout, [&] { batch.timerPID_Timer(); });
    QEventLoop loop;
    view.onTimerChanged = [&](bool on) {
        if (on && !timerPID.isActive())
            timerPID.start();
        else if (!on)
            timerPID.stop();
    };
    processes.clock.start();
    QTimer::singleShot(0, [&] { batch.cmdStart_Click(); });
    // The end-of-batch question is the last box; stop there.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (view.idle() && boxes.last == QStringLiteral("所有文档转换完成！是否打开Word文件保存文件夹？"))
            loop.quit();
    });
    watch.start(50);
    loop.exec();

    Result result;
    std::vector<double> gaps;
    for (std::size_t i = 1; i < processes.launchNs.size(); ++i)
        gaps.push_back(static_cast<double>(processes.launchNs[i] - processes.launchNs[i - 1]) / 1e6);
    if (!gaps.empty()) {
        result.meanMs = static_cast<double>(processes.launchNs.back() - processes.launchNs.front()) / 1e6
            / static_cast<double>(gaps.size());
        std::sort(gaps.begin(), gaps.end());
        result.p50Ms = gaps[gaps.size() / 2];
        result.p95Ms = gaps[gaps.size() * 95 / 100];
        result.maxMs = gaps.back();
    }
    result.rssKb = processes.rssKb;
    result.heapKb = processes.heapKb;
    if (!processes.settleNs.empty()) {
        qint64 total = 0;
        for (const auto ns : processes.settleNs)
            total += ns;
        result.settleMs = static_cast<double>(total) / 1e6 / static_cast<double>(processes.settleNs.size());
    }
    result.queriesPerRow = static_cast<double>(processes.queries) / rows;
    result.spawnMs = static_cast<double>(processes.spawnNs) / 1e6 / rows;
    for (const auto& status : list.statuses()) {
        result.converted += status == QStringLiteral("转换完成");
        result.failed += status == QStringLiteral("转换失败");
    }
    return result;
}

// The floor of this design: the window's timer on its own.
double timerPeriodMs(int ticks)
{
    QTimer timer;
    timer.setInterval(10);
    timer.setTimerType(Qt::PreciseTimer);
    QEventLoop loop;
    int seen = 0;
    QElapsedTimer clock;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++seen == ticks)
            loop.quit();
    });
    clock.start();
    timer.start();
    loop.exec();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6 / ticks;
}

double spawnAndWaitMs(const QString& program, int times)
{
    platform::qt::PosixProcesses processes;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < times; ++i) {
        const auto launch = processes.startHidden(program, {QStringLiteral("--src=/in/x.pdf"), QStringLiteral("--dest=/nowhere/x.doc")});
        if (launch.ok())
            waitpid(static_cast<pid_t>(launch.pid), nullptr, 0);
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e6 / times;
}

void report(const char* name, const Result& r, double timerMs, int rows)
{
    std::printf("%-28s rows=%d converted=%d failed=%d\n", name, rows, r.converted, r.failed);
    std::printf("  launch-to-launch: mean %.2f ms/row (%.2fx the timer period), p50 %.2f, p95 %.2f, max %.2f ms\n",
                r.meanMs, r.meanMs / timerMs, r.p50Ms, r.p95Ms, r.maxMs);
    std::printf("  watcher queries per row %.2f; in the spawn call %.2f ms/row; from seeing the end to the next launch"
                " %.3f ms\n",
                r.queriesPerRow, r.spawnMs, r.settleMs);
    std::printf("  VmRSS every 50 rows (kB):");
    for (const auto kb : r.rssKb)
        std::printf(" %lld", static_cast<long long>(kb));
    if (r.rssKb.size() >= 2)
        std::printf("  (last - first: %+lld kB)", static_cast<long long>(r.rssKb.back() - r.rssKb.front()));
    std::printf("\n");
    if (r.heapKb.size() >= 2)
        std::printf("  heap in use: row 50 %lld kB, last %lld kB (%+lld kB)\n", static_cast<long long>(r.heapKb.front()),
                    static_cast<long long>(r.heapKb.back()), static_cast<long long>(r.heapKb.back() - r.heapKb.front()));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int rows = argc > 1 ? std::max(2, QByteArray(argv[1]).toInt()) : 500;

    QTemporaryDir temp;
    const QString trueFolder = temp.filePath(QStringLiteral("true"));
    const QString out = temp.filePath(QStringLiteral("out"));
    if (!temp.isValid() || !QDir().mkdir(trueFolder) || !QDir().mkdir(out)
        || !QFile::copy(QStringLiteral("/bin/true"), trueFolder + QStringLiteral("/pwt"))) {
        std::fprintf(stderr, "cannot prepare %s\n", qPrintable(temp.path()));
        return 1;
    }

    const double timerMs = timerPeriodMs(200);
    const double spawnMs = spawnAndWaitMs(trueFolder + QStringLiteral("/pwt"), 200);
    std::printf("reference: bare 10 ms timer period %.2f ms; spawn+wait of /bin/true %.2f ms\n", timerMs, spawnMs);

    const Result plain = runBatch(trueFolder, out, rows);
    report("/bin/true as pwt (no file)", plain, timerMs, rows);

#ifdef FAKEPWT_PATH
    const QString fakeFolder = temp.filePath(QStringLiteral("fake"));
    QDir().mkdir(fakeFolder);
    QFile::copy(QStringLiteral(FAKEPWT_PATH), fakeFolder + QStringLiteral("/pwt"));
    const Result writing = runBatch(fakeFolder, out, rows);
    report("fakepwt (writes the .doc)", writing, timerMs, rows);
#endif

    std::printf("peak RSS (VmHWM) %lld kB\n", static_cast<long long>(statusKb("VmHWM:")));
    return 0;
}

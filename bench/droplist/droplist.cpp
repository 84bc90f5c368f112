// One drop of 10,000 distinct PDF paths onto the window's list when it is
// empty, then 10,000 more onto that list: wall time and memory of each.
// The same drops into plain rows without a window run first as a reference,
// so the numbers can be read as ratios on a shared, noisy machine.
// Run by hand: build/bin/bench_droplist [count]
#include "WindowDriver.h"
#include "app/frmMain.h"
#include "joblist/DropHandler.h"
#include "joblist/VectorJobRows.h"
#include "platform/doubles/Doubles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTreeWidget>
#include <cstdio>

namespace {

// Resident and peak resident memory of this process, in MB.
QPair<double, double> memoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    double rss = 0, peak = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            const auto kb = [&] { return line.simplified().split(' ').value(1).toDouble() / 1024.0; };
            if (line.startsWith("VmRSS:"))
                rss = kb();
            else if (line.startsWith("VmHWM:"))
                peak = kb();
        }
    }
    return {rss, peak};
}

QStringList paths(int from, int count)
{
    QStringList out;
    out.reserve(count);
    for (int i = from; i < from + count; ++i)
        out.append(QStringLiteral("/home/user/文档/报告/第%1季度/annual-report-%2.pdf").arg(i % 40).arg(i, 6, 10, QChar(u'0')));
    return out;
}

struct NoBatch : joblist::BatchState {
    bool batchRunning() const override { return false; }
};

void report(const char* what, qint64 ms, int rows)
{
    const auto [rss, peak] = memoryMb();
    std::printf("%-34s %8lld ms  rows %6d  RSS %7.1f MB  peak RSS %7.1f MB\n", what, static_cast<long long>(ms), rows,
                rss, peak);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const QStringList first = paths(0, count);
    const QStringList second = paths(count, count);
    report("start", 0, 0);

    // Reference: the same drops into plain rows, no window, no list view.
    {
        platform::doubles::TestPlatform p;
        joblist::VectorJobRows rows;
        NoBatch batch;
        joblist::PdfAdder adder(rows, batch, p.messages);
        joblist::DropHandler drop(adder, p.messages);
        QElapsedTimer t;
        t.start();
        drop.OLEDragDrop(first);
        report("reference: plain rows, 1st drop", t.elapsed(), rows.count());
        t.restart();
        drop.OLEDragDrop(second);
        report("reference: plain rows, 2nd drop", t.elapsed(), rows.count());
    }

    platform::doubles::TestPlatform p;
    frmMain w(p.platform());
    w.Form_Load();
    w.show();
    QCoreApplication::processEvents();
    report("window shown", 0, 0);

    for (const QStringList* batch : {&first, &second}) {
        QElapsedTimer t;
        t.start();
        // Through the window's own drop dispatch, then until the list is laid out and drawn.
        testing::dropOn(w, w.lvwPDF, testing::filesData(*batch));
        w.lvwPDF->scrollToBottom();
        w.repaint();
        QCoreApplication::processEvents();
        report(batch == &first ? "window: 1st drop into empty list" : "window: 2nd drop into 10,000 rows",
               t.elapsed(), w.rows().count());
    }
    if (!p.messages.shown.isEmpty()) {
        std::printf("unexpected message: %s\n", qPrintable(p.messages.shown.first().text));
        return 1;
    }
    return w.rows().count() == 2 * count ? 0 : 1;
}

#pragma once
#include "RunnerView.h"
#include "joblist/JobRows.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Processes.h"

#include <QSet>
#include <QString>

namespace runner {

// What a batch needs outside the window: boxes for its messages, the file
// system for the output folder and the Word files, the processes of the
// converter, and the event pump it lets run before each launch.
struct RunnerServices {
    platform::MessageBoxes& messages;
    platform::FileSystem& files;
    platform::Processes& processes;
    platform::EventPump& events;
};

// The batch: the start command, the scheduler that launches the converter for
// the next pending row, and the watcher that settles each row when its
// converter has ended. Owned by the main window, which forwards cmdStart's
// click and timerPID's ticks here.
class ConversionRunner {
public:
    ConversionRunner(joblist::JobRows& rows, RunnerView& view, RunnerServices services);

    void cmdStart_Click();
    void ConvertNext();
    void timerPID_Timer();

    // The conversion state of the current row.
    QString strSrcFile;
    QString strDestFile;
    qint64 lngPID = 0;

    // The Word files this batch has written so far: a later row whose name
    // would land on one of them gets the next free "name (n).doc" instead.
    const QSet<QString>& writtenThisBatch() const { return m_writtenThisBatch; }

private:
    void launchConverter(QString& lastFailure);
    void endBatch();
    QString freeDestination(const QString& folder, const QString& baseName) const;
    bool destinationWrittenByThisLaunch() const;
    void settleRow(bool converted);
    void reportFailure(const QString& description);

    joblist::JobRows& m_rows;
    RunnerView& m_view;
    RunnerServices m_services;

    // What the destination held just before this row's converter was started,
    // so a file left from elsewhere is not taken for the converter's work.
    platform::FileStamp m_destinationBefore;
    // Whether lngPID names the converter of the current row; after a failed
    // launch it still names an earlier one, which must not be asked about.
    bool m_launched = false;
    // Modal boxes run a nested event loop in which the timer keeps ticking;
    // ticks that arrive while the error report is open are held back.
    bool m_holdTicks = false;
    QSet<QString> m_writtenThisBatch;
};

// The last component of a path: what follows its last separator.
QString GetFileName(const QString& path);

} // namespace runner

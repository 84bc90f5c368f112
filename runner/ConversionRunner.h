#pragma once
#include "RunnerView.h"
#include "joblist/JobRows.h"
#include "platform/Platform.h"

#include <QString>

namespace runner {

// The batch: the start command, the scheduler that launches the converter for
// the next pending row, and the watcher that settles each row when its
// converter has ended. Owned by the main window, which forwards cmdStart's
// click and timerPID's ticks here.
class ConversionRunner {
public:
    ConversionRunner(joblist::JobRows& rows, RunnerView& view, platform::Platform platform);

    void cmdStart_Click();
    void ConvertNext();
    void timerPID_Timer();

    // The conversion state of the current row.
    QString strSrcFile;
    QString strDestFile;
    qint64 lngPID = 0;

private:
    joblist::JobRows& m_rows;
    RunnerView& m_view;
    platform::Platform m_platform;
};

// The last component of a path: what follows its last separator.
QString GetFileName(const QString& path);

} // namespace runner

#include "ConversionRunner.h"

namespace runner {

ConversionRunner::ConversionRunner(joblist::JobRows& rows, RunnerView& view, platform::Platform platform)
    : m_rows(rows), m_view(view), m_platform(platform)
{
}

void ConversionRunner::cmdStart_Click() {}
void ConversionRunner::ConvertNext() {}
void ConversionRunner::timerPID_Timer() {}

QString GetFileName(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace runner

#pragma once
#include "platform/Processes.h"

#include <QSet>

namespace platform::qt {

// Starts the converter as this program's own child with posix_spawn, so that
// waitpid can tell (and reap) its end even where nobody else reaps orphans.
// Nothing here ever ends a process: a child outlives the window.
class PosixProcesses : public Processes {
public:
    LaunchResult startHidden(const QString& program, const QStringList& arguments) override;
    bool isRunning(qint64 pid) override;

private:
    // Children started here and not reaped yet.
    QSet<qint64> m_children;
};

// Whether /proc shows the process as ended but not yet reaped.
bool isZombie(qint64 pid);

} // namespace platform::qt

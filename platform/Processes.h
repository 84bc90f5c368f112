#pragma once
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace platform {

struct LaunchResult {
    qint64 pid = 0;   // valid only when ok()
    QString error;    // why the launch failed
    bool ok() const { return error.isEmpty(); }
};

class Processes {
public:
    virtual ~Processes() = default;

    // Starts a program with its arguments as a vector (no shell, no quoting),
    // without a window, and returns at once. The process is the caller's child
    // and outlives the caller: nothing here ever ends it.
    virtual LaunchResult startHidden(const QString& program, const QStringList& arguments) = 0;

    // Whether the id still names a live process. Ids of 0 or less never do; a
    // refused query and an ended but unreaped child count as ended.
    virtual bool isRunning(qint64 pid) = 0;
};

} // namespace platform

#pragma once
// One run of an outside program (pwt, a reader of its output) to its end:
// its exit status and what it printed.
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

namespace pwt::test {

struct ProgramRun {
    int exitCode = -1; // -1: ended by a signal, or stopped at the time limit
    QString out;
    QString err;       // "timed out" when it was stopped
};

// Runs `program` and waits for it, killing it after `timeoutMs`.
// `childSetup` runs in the child before the program starts (limits).
ProgramRun runProgram(const QString& program, const QStringList& args, int timeoutMs,
                      const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                      const std::function<void()>& childSetup = {});

} // namespace pwt::test

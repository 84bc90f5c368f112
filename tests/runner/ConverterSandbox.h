#pragma once
// What the tests of real converter processes share: a temporary folder whose
// bin/ holds the test-only converter as pwt, and a test process that adopts
// orphans (a subreaper) and, not reaping them, keeps them as zombies, as many
// containers' PID 1 does. Converters that outlive their launcher come back to
// it, where they can be watched and ended.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/prctl.h>
#include <sys/wait.h>

namespace runner::testing {

class ConverterSandbox {
public:
    // For initTestCase: a step that fails fails it.
    void setUp(const QString& fakePwt)
    {
        QCOMPARE(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0);
        QVERIFY(m_temp.isValid());
        QVERIFY(QDir().mkdir(binFolder()));
        QVERIFY(QFile::copy(fakePwt, binFolder() + QStringLiteral("/pwt")));
    }

    // For cleanupTestCase: the adopted processes that have ended, reaped.
    static void reapOrphans()
    {
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
    }

    QString binFolder() const { return m_temp.filePath(QStringLiteral("bin")); }
    QString path() const { return m_temp.path(); }
    QString filePath(const QString& name) const { return m_temp.filePath(name); }

private:
    QTemporaryDir m_temp;
};

// Lets a held test converter (source named held*) that writes to this
// destination go on: it waits for this file, takes it away and ends.
inline void releaseHeldConverter(const QString& destination)
{
    QFile release(destination + QStringLiteral(".release"));
    QVERIFY2(release.open(QIODevice::WriteOnly), qPrintable(release.fileName()));
}

// The state letter of /proc/<pid>/stat ('Z' for a zombie), or 0 when the process is gone.
inline char processState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const auto close = line.lastIndexOf(')');
    return close > 0 && close + 2 < line.size() ? line.at(close + 2) : char(0);
}

} // namespace runner::testing

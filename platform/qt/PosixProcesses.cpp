#include "PosixProcesses.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace platform::qt {

namespace {

QString describeSpawnError(int error)
{
    const QString detail = QString::fromLocal8Bit(std::strerror(error));
    switch (error) {
    case ENOENT: return QStringLiteral("找不到程序文件（%1）").arg(detail);
    case EACCES: return QStringLiteral("没有执行该程序的权限（%1）").arg(detail);
    case ENOEXEC: return QStringLiteral("不是可执行的程序（%1）").arg(detail);
    default: return QStringLiteral("无法启动程序（%1）").arg(detail);
    }
}

// posix_spawn's set-up objects, destroyed on every path out.
struct SpawnSetup {
    posix_spawn_file_actions_t actions{};
    posix_spawnattr_t attributes{};
    int error = 0;

    SpawnSetup()
    {
        error = posix_spawn_file_actions_init(&actions);
        if (error == 0)
            error = posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup()
    {
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    void configure()
    {
        // No console: the standard streams go nowhere, and no other descriptor
        // of the window leaks into the converter.
        if (error == 0)
            error = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (error == 0)
            error = posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        if (error == 0)
            error = posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (error == 0)
            error = posix_spawn_file_actions_addclosefrom_np(&actions, 3);

        // Its own session, so a hang-up or Ctrl+C meant for the window's
        // terminal does not end the converter; signals start from defaults.
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        if (error == 0)
            error = posix_spawnattr_setsigmask(&attributes, &none);
        if (error == 0)
            error = posix_spawnattr_setsigdefault(&attributes, &all);
        if (error == 0)
            error = posix_spawnattr_setflags(
                &attributes, static_cast<short>(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID));
    }
};

} // namespace

LaunchResult PosixProcesses::startHidden(const QString& program, const QStringList& arguments)
{
    if (program.isEmpty())
        return {0, QStringLiteral("没有指定程序")};

    std::vector<std::string> strings;
    strings.reserve(static_cast<std::size_t>(arguments.size()) + 1);
    strings.push_back(QFile::encodeName(program).toStdString());
    for (const auto& argument : arguments)
        strings.push_back(QFile::encodeName(argument).toStdString());
    std::vector<char*> argv;
    argv.reserve(strings.size() + 1);
    for (auto& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    SpawnSetup setup;
    setup.configure();
    if (setup.error != 0)
        return {0, describeSpawnError(setup.error)};

    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &setup.actions, &setup.attributes, argv.data(), environ);
    if (error != 0)
        return {0, describeSpawnError(error)};
    m_children.insert(pid);
    return {pid, {}};
}

bool PosixProcesses::isRunning(qint64 pid)
{
    if (pid <= 0 || pid != static_cast<pid_t>(pid))
        return false;
    const auto id = static_cast<pid_t>(pid);

    if (m_children.contains(pid)) {
        int status = 0;
        pid_t answer = 0;
        do
            answer = waitpid(id, &status, WNOHANG);
        while (answer == -1 && errno == EINTR);
        if (answer == 0)
            return true;
        // Ended and reaped now, or reaped by someone else already (ECHILD).
        m_children.remove(pid);
        return false;
    }

    // Not ours: a refused query counts as ended, and so does a zombie, which
    // kill(pid, 0) alone would still find.
    if (kill(id, 0) != 0)
        return false;
    return !isZombie(pid);
}

bool isZombie(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // "pid (command) S ...": the command may hold spaces and parentheses, the
    // state follows the last ')'.
    const QByteArray line = stat.readAll();
    const auto close = line.lastIndexOf(')');
    if (close < 0 || close + 2 >= line.size())
        return false;
    return line.at(close + 2) == 'Z';
}

} // namespace platform::qt

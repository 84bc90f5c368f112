#include "AtomicOutput.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

namespace pwt::cli {

namespace {

constexpr const char* kTempPrefix = ".~pwt-";
constexpr const char* kTempSuffix = ".tmp";
constexpr std::size_t kMaxPath = 4096;
constexpr std::size_t kMaxMessage = 4096;

// State read by the signal handlers: fixed buffers, no allocation there.
char g_tempPath[kMaxPath] = {};
char g_timeoutMessage[kMaxMessage] = {};
std::size_t g_timeoutMessageLength = 0;
volatile sig_atomic_t g_timeoutExitCode = 5;

void removeTemporary()
{
    if (g_tempPath[0] != '\0')
        ::unlink(g_tempPath);
}

extern "C" void onTerminate(int sig)
{
    removeTemporary();
    // Die of the same signal, so the parent sees how we ended.
    std::signal(sig, SIG_DFL);
    ::raise(sig);
}

extern "C" void onTimeLimit(int)
{
    removeTemporary();
    if (g_timeoutMessageLength > 0) {
        const ssize_t ignored = ::write(STDERR_FILENO, g_timeoutMessage, g_timeoutMessageLength);
        (void)ignored;
    }
    ::_exit(g_timeoutExitCode);
}

void copyInto(char* buffer, std::size_t size, const std::string& s)
{
    const std::size_t n = std::min(s.size(), size - 1);
    std::memcpy(buffer, s.data(), n);
    buffer[n] = '\0';
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string temporaryNameFor(const std::string& destinationName, long pid)
{
    return std::string(kTempPrefix) + std::to_string(pid) + "-" + destinationName + kTempSuffix;
}

long ownerOfTemporary(const std::string& name)
{
    const std::string prefix = kTempPrefix, suffix = kTempSuffix;
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0
        || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    long pid = 0;
    std::size_t i = prefix.size();
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < 100000000; ++i)
        pid = pid * 10 + (name[i] - '0');
    if (i == prefix.size() || i >= name.size() || name[i] != '-')
        return 0;
    return pid;
}

int removeStaleTemporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    const long self = static_cast<long>(::getpid());
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const long pid = ownerOfTemporary(name);
        if (pid <= 0 || pid == self)
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue; // its owner still runs (or is not ours to judge)
        if (::unlink((folder + "/" + name).c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

AtomicOutput::AtomicOutput(const std::string& destination)
    : m_destination(destination)
    , m_folder(folderOf(destination))
    , m_temp(m_folder + "/" + temporaryNameFor(nameOf(destination), static_cast<long>(::getpid())))
{
    TerminationCleanup::registerTemporary(m_temp);
}

AtomicOutput::~AtomicOutput()
{
    if (!m_done)
        discard();
}

void AtomicOutput::discard()
{
    ::unlink(m_temp.c_str());
    TerminationCleanup::registerTemporary("");
    m_done = true;
}

std::string AtomicOutput::commit()
{
    // On disk before the rename, so a crash cannot leave an empty document
    // under the final name.
    const int fd = ::open(m_temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const std::string why = std::strerror(errno);
        discard();
        return "the written document vanished: " + why;
    }
    const bool synced = ::fsync(fd) == 0;
    const int syncErrno = errno;
    ::close(fd);
    if (!synced) {
        discard();
        return std::string("cannot be flushed to disk: ") + std::strerror(syncErrno);
    }
    if (std::rename(m_temp.c_str(), m_destination.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        discard();
        return "cannot be put in place: " + why;
    }
    TerminationCleanup::registerTemporary("");
    m_done = true;
    return {};
}

void TerminationCleanup::install()
{
    struct sigaction sa {};
    sa.sa_handler = onTerminate;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT})
        ::sigaction(sig, &sa, nullptr);
    struct sigaction alarm {};
    alarm.sa_handler = onTimeLimit;
    sigemptyset(&alarm.sa_mask);
    ::sigaction(SIGALRM, &alarm, nullptr);
}

void TerminationCleanup::registerTemporary(const std::string& path)
{
    // Block the handlers while the buffer changes so they never see half a path.
    sigset_t all, old;
    sigfillset(&all);
    ::sigprocmask(SIG_BLOCK, &all, &old);
    copyInto(g_tempPath, kMaxPath, path);
    ::sigprocmask(SIG_SETMASK, &old, nullptr);
}

void TerminationCleanup::armTimeLimit(double seconds, const std::string& message, int exitCode)
{
    sigset_t all, old;
    sigfillset(&all);
    ::sigprocmask(SIG_BLOCK, &all, &old);
    copyInto(g_timeoutMessage, kMaxMessage, message);
    g_timeoutMessageLength = std::strlen(g_timeoutMessage);
    g_timeoutExitCode = exitCode;
    ::sigprocmask(SIG_SETMASK, &old, nullptr);

    itimerval timer{};
    const double whole = seconds < 1e-6 ? 0.0 : static_cast<double>(static_cast<long>(seconds));
    timer.it_value.tv_sec = static_cast<time_t>(whole);
    timer.it_value.tv_usec = static_cast<suseconds_t>((seconds - whole) * 1e6);
    if (timer.it_value.tv_sec == 0 && timer.it_value.tv_usec == 0)
        timer.it_value.tv_usec = 1;
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

void TerminationCleanup::disarmTimeLimit()
{
    itimerval timer{};
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

} // namespace pwt::cli

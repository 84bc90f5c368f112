#include "AtomicOutput.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace pwt::cli {

namespace {

constexpr const char* kTempPrefix = ".~pwt-";
constexpr const char* kTempSuffix = ".tmp";
// Random letters in a temporary's name: 36^10 names, so guessing one is
// hopeless and an accidental clash (answered by trying again) is rare.
constexpr std::size_t kRandomLetters = 10;
constexpr int kCreateAttempts = 16;
constexpr std::size_t kMaxPath = 4096;
constexpr std::size_t kMaxMessage = 4096;

// State read by the signal handlers: fixed buffers, no allocation there.
char g_tempPath[kMaxPath] = {};
char g_timeoutMessage[kMaxMessage] = {};
std::size_t g_timeoutMessageLength = 0;
volatile sig_atomic_t g_timeoutExitCode = 5;
char g_abortMessage[kMaxMessage] = {};
std::size_t g_abortMessageLength = 0;
volatile sig_atomic_t g_abortExitCode = 7;

void removeTemporary()
{
    if (g_tempPath[0] != '\0')
        ::unlink(g_tempPath);
}

void writeStderr(const char* text, std::size_t length)
{
    if (length > 0) {
        const ssize_t ignored = ::write(STDERR_FILENO, text, length);
        (void)ignored;
    }
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
    writeStderr(g_timeoutMessage, g_timeoutMessageLength);
    ::_exit(g_timeoutExitCode);
}

extern "C" void onAbort(int)
{
    removeTemporary();
    writeStderr(g_abortMessage, g_abortMessageLength);
    ::_exit(g_abortExitCode);
}

void copyInto(char* buffer, std::size_t size, const std::string& s)
{
    const std::size_t n = std::min(s.size(), size - 1);
    std::memcpy(buffer, s.data(), n);
    buffer[n] = '\0';
}

// Runs `change` with every signal held back, so the handlers never see half a buffer.
template <typename F>
void withSignalsBlocked(F change)
{
    sigset_t all, old;
    sigfillset(&all);
    ::sigprocmask(SIG_BLOCK, &all, &old);
    change();
    ::sigprocmask(SIG_SETMASK, &old, nullptr);
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

std::string randomTemporaryName()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[kRandomLetters] = {};
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
        if (n <= 0 && errno != EINTR)
            break;
        if (n > 0)
            got += static_cast<std::size_t>(n);
    }
    std::string name = kTempPrefix;
    for (unsigned char b : bytes)
        name += kLetters[b % (sizeof kLetters - 1)];
    return name + kTempSuffix;
}

std::string errnoText(int error) { return std::strerror(error); }

// The permissions a file created now would get: 0666 less the umask.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Gives the unnamed file `fd` the name `path`, which must not exist yet.
bool linkUnnamed(int fd, const std::string& path, int& error)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    error = errno;
    return false;
}

} // namespace

namespace {

// Whether the writer of the temporary open at `fd` has ended: ours hold a
// lock while they live; an earlier version's name its process.
bool writerIsGone(int fd, const std::string& name)
{
    if (const long pid = ownerOfTemporary(name); pid > 0)
        return pid != static_cast<long>(::getpid()) && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

} // namespace

bool isTemporaryName(const std::string& name)
{
    const std::string prefix = kTempPrefix, suffix = kTempSuffix;
    return name.size() > prefix.size() + suffix.size() && name.rfind(prefix, 0) == 0
        && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

long ownerOfTemporary(const std::string& name)
{
    if (!isTemporaryName(name))
        return 0;
    const std::size_t start = std::strlen(kTempPrefix);
    long pid = 0;
    std::size_t i = start;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < 100000000; ++i)
        pid = pid * 10 + (name[i] - '0');
    if (i == start || i >= name.size() || name[i] != '-')
        return 0;
    return pid;
}

int removeStaleTemporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    const uid_t self = ::geteuid();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!isTemporaryName(name))
            continue;
        const std::string path = folder + "/" + name;
        // Ours are regular files of this user; a link or anyone else's file
        // of that name is left alone.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == self && writerIsGone(fd, name)
            && ::unlink(path.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

AtomicOutput::AtomicOutput(const std::string& destination)
    : m_destination(destination)
    , m_folder(folderOf(destination))
{
}

AtomicOutput::~AtomicOutput()
{
    if (!m_done)
        discard();
}

std::string AtomicOutput::create()
{
    if (m_fd >= 0)
        return {};
    // Preferably an unnamed file, locked before it gets its name, so no
    // other run's clean-up can ever see it unlocked.
    int unnamed = ::open(m_folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed >= 0 && ::flock(unnamed, LOCK_EX) != 0) {
        ::close(unnamed);
        unnamed = -1;
    }
    int error = 0;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        const std::string path = m_folder + "/" + randomTemporaryName();
        if (unnamed >= 0) {
            if (linkUnnamed(unnamed, path, error)) {
                m_fd = unnamed;
            } else if (error != EEXIST) {
                // No /proc, or a file system that cannot link it: create by name.
                ::close(unnamed);
                unnamed = -1;
                --attempt;
                continue;
            }
        } else {
            // O_EXCL: never an existing file, nor a symbolic link at that name.
            m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            error = errno;
            if (m_fd >= 0)
                ::flock(m_fd, LOCK_EX);
        }
        if (m_fd >= 0) {
            m_temp = path;
            TerminationCleanup::registerTemporary(m_temp);
            return {};
        }
        if (error != EEXIST)
            break;
    }
    if (unnamed >= 0)
        ::close(unnamed);
    return "cannot create a temporary file in the destination folder: " + errnoText(error);
}

void AtomicOutput::discard()
{
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
    TerminationCleanup::registerTemporary("");
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_done = true;
}

std::string AtomicOutput::commit()
{
    if (m_fd < 0) {
        discard();
        return "there is no document to put in place";
    }
    // On disk before the rename, so a crash cannot leave an empty document
    // under the final name; readable as any new file once it is in place.
    if (::fchmod(m_fd, newFileMode()) != 0 || ::fsync(m_fd) != 0) {
        const std::string why = errnoText(errno);
        discard();
        return "cannot be flushed to disk: " + why;
    }
    if (std::rename(m_temp.c_str(), m_destination.c_str()) != 0) {
        const std::string why = errnoText(errno);
        discard();
        return "cannot be put in place: " + why;
    }
    TerminationCleanup::registerTemporary("");
    ::close(m_fd); // releases the lock only now that the name is gone
    m_fd = -1;
    m_done = true;
    return {};
}

void TerminationCleanup::install(const std::string& abortMessage, int abortExitCode)
{
    withSignalsBlocked([&] {
        copyInto(g_abortMessage, kMaxMessage, abortMessage);
        g_abortMessageLength = std::strlen(g_abortMessage);
        g_abortExitCode = abortExitCode;
    });
    struct sigaction sa {};
    sa.sa_handler = onTerminate;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT})
        ::sigaction(sig, &sa, nullptr);
    struct sigaction alarm {};
    alarm.sa_handler = onTimeLimit;
    sigemptyset(&alarm.sa_mask);
    ::sigaction(SIGALRM, &alarm, nullptr);
    struct sigaction abort {};
    abort.sa_handler = onAbort;
    sigemptyset(&abort.sa_mask);
    ::sigaction(SIGABRT, &abort, nullptr);
    // A full disk or a file-size limit is a write error to report, not a signal to die of.
    std::signal(SIGXFSZ, SIG_IGN);
}

void TerminationCleanup::registerTemporary(const std::string& path)
{
    withSignalsBlocked([&] { copyInto(g_tempPath, kMaxPath, path); });
}

void TerminationCleanup::armTimeLimit(double seconds, const std::string& message, int exitCode)
{
    withSignalsBlocked([&] {
        copyInto(g_timeoutMessage, kMaxMessage, message);
        g_timeoutMessageLength = std::strlen(g_timeoutMessage);
        g_timeoutExitCode = exitCode;
    });
    // The callers bound `seconds`; clamp again so the conversion to the
    // timer's integers can never overflow.
    const double bounded = std::clamp(seconds, 1e-6, 1e7);
    const double whole = static_cast<double>(static_cast<long>(bounded));
    itimerval timer{};
    timer.it_value.tv_sec = static_cast<time_t>(whole);
    timer.it_value.tv_usec = static_cast<suseconds_t>((bounded - whole) * 1e6);
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

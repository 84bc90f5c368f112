#pragma once
// The destination is written as a temporary file beside it and renamed over
// it only when complete, so a reader never sees a partial document and a
// failed run leaves an existing file untouched.
//
// The temporary is created by us, exclusively, under a short random name and
// readable by the user alone until it is put in place: nothing planted in the
// folder (a symbolic link at a guessed name) can redirect the write, and the
// name fits wherever the destination's own name fits. It is locked while its
// writer lives, which is how a later run tells a leftover from a live one.
#include <string>

namespace pwt::cli {

// Whether a file name is one of our temporaries: ".~pwt-<random>.tmp", or the
// ".~pwt-<pid>-<name>.tmp" of earlier versions.
bool isTemporaryName(const std::string& fileName);

// Parses an earlier version's temporary name back to its pid; 0 otherwise.
long ownerOfTemporary(const std::string& fileName);

// Removes the temporaries in `folder` whose writers no longer run (killed
// with SIGKILL, or the machine went down). Returns how many.
int removeStaleTemporaries(const std::string& folder);

class AtomicOutput {
public:
    explicit AtomicOutput(const std::string& destination);
    ~AtomicOutput(); // removes the temporary unless committed
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    // Creates the temporary. Returns "" or what failed, in words.
    std::string create();

    // The open temporary, for writing; -1 before create().
    int descriptor() const { return m_fd; }
    const std::string& temporaryPath() const { return m_temp; }
    const std::string& folder() const { return m_folder; }

    // Flushes the temporary to disk, gives it the permissions a new file gets
    // and renames it over the destination. Returns "" or the reason it failed
    // (the temporary is then removed).
    std::string commit();
    void discard();

private:
    std::string m_destination;
    std::string m_folder;
    std::string m_temp;
    int m_fd = -1;
    bool m_done = false;
};

// Signals that end the process remove the registered temporary first. The
// time limit does the same and exits with the time-limit status; an abort
// (a library that gives up when memory runs out) with the internal status.
class TerminationCleanup {
public:
    static void install(const std::string& abortMessage, int abortExitCode);
    // The file to remove when the process is ended; "" for none.
    static void registerTemporary(const std::string& path);
    // Arms the time limit (replacing an earlier one). When it expires the
    // temporary is removed, `message` is written to stderr and the process
    // exits with `exitCode`.
    static void armTimeLimit(double seconds, const std::string& message, int exitCode);
    static void disarmTimeLimit();
};

} // namespace pwt::cli

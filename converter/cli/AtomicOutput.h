#pragma once
// The destination is written as a temporary file beside it and renamed over
// it only when complete, so a reader never sees a partial document and a
// failed run leaves an existing file untouched.
#include <string>

namespace pwt::cli {

// ".~pwt-<pid>-<name>.tmp": recognisably ours, hidden, and naming the process
// that owns it so a later run can tell a stale one from a live one.
std::string temporaryNameFor(const std::string& destinationName, long pid);

// Parses a temporary name back to its pid; 0 when the name is not one of ours.
long ownerOfTemporary(const std::string& fileName);

// Removes the temporaries in `folder` left by processes that no longer run
// (killed with SIGKILL, or the machine went down). Returns how many.
int removeStaleTemporaries(const std::string& folder);

class AtomicOutput {
public:
    explicit AtomicOutput(const std::string& destination);
    ~AtomicOutput(); // removes the temporary unless committed
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    const std::string& temporaryPath() const { return m_temp; }
    const std::string& folder() const { return m_folder; }

    // Flushes the temporary to disk and renames it over the destination.
    // Returns "" or the reason it failed (the temporary is then removed).
    std::string commit();
    void discard();

private:
    std::string m_destination;
    std::string m_folder;
    std::string m_temp;
    bool m_done = false;
};

// Signals that end the process remove the registered temporary first. The
// time limit does the same and exits with the time-limit status.
class TerminationCleanup {
public:
    static void install();
    // The file to remove when the process is ended; "" for none.
    static void registerTemporary(const std::string& path);
    // Arms the time limit (replacing an earlier one). When it expires the
    // temporary is removed, `message` is written to stderr and the process
    // exits with `exitCode`.
    static void armTimeLimit(double seconds, const std::string& message, int exitCode);
    static void disarmTimeLimit();
};

} // namespace pwt::cli

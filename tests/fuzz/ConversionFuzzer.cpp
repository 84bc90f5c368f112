// libFuzzer target over the converter's whole path: PDF bytes in, through
// poppler's reading, the layout and the .doc writer, to .doc bytes out. Both
// ends are memory files, so a run touches no disk.
//
// Besides crashes, sanitizer reports, timeouts and running out of memory, an
// outcome that breaks the converter's promises is a finding: an exit status
// outside the documented table, an error line that is not one line, an
// internal error, or a success without a compound file.
#include "Conversion.h"
#include "ExitCode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// An anonymous in-memory file that poppler can open by path.
class MemoryFile {
public:
    explicit MemoryFile(const char* name) : m_fd(::memfd_create(name, MFD_CLOEXEC)) {}
    ~MemoryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    int descriptor() const { return m_fd; }
    std::string path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

    bool write(const std::uint8_t* data, std::size_t size) const
    {
        while (size > 0) {
            const ssize_t n = ::write(m_fd, data, size);
            if (n <= 0)
                return false;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    std::string head(std::size_t n) const
    {
        std::string bytes(n, '\0');
        const ssize_t got = ::pread(m_fd, bytes.data(), n, 0);
        bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return bytes;
    }

private:
    int m_fd;
};

// Every OLE2 compound file (a .doc) starts with these bytes.
constexpr std::string_view kCompoundFileSignature{"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8};

[[noreturn]] void finding(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "pwt_fuzz: %s: %s\n", what, detail.c_str());
    std::abort();
}

bool isOneLine(const std::string& text)
{
    return !text.empty() && text.find_first_of("\r\n") == std::string::npos;
}

void checkOutcome(const pwt::cli::Outcome& outcome, const MemoryFile& output)
{
    using pwt::cli::ExitCode;
    const bool documented = std::any_of(pwt::cli::kExitCodes.begin(), pwt::cli::kExitCodes.end(),
                                        [&](const auto& row) { return row.code == outcome.code; });
    if (!documented)
        finding("undocumented exit status", std::to_string(pwt::cli::toInt(outcome.code)));
    // Under the sanitizers running out of memory is reported by libFuzzer
    // itself, so an internal error here is always a fault in pwt.
    if (outcome.code == ExitCode::Internal)
        finding("internal error", outcome.message);
    for (const std::string& warning : outcome.warnings)
        if (!isOneLine(warning))
            finding("warning is not one line", warning);
    if (outcome.code == ExitCode::Ok) {
        if (!outcome.message.empty())
            finding("message on success", outcome.message);
        if (output.head(kCompoundFileSignature.size()) != kCompoundFileSignature)
            finding("success without a compound file", "");
    } else if (!isOneLine(outcome.message)) {
        finding("error message is not one line", outcome.message);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const MemoryFile source("pdf");
    const MemoryFile output("doc");
    if (source.descriptor() < 0 || output.descriptor() < 0 || !source.write(data, size))
        finding("memory file", "cannot be created (descriptors leaking?)");
    checkOutcome(pwt::cli::convertInto(source.path(), output.descriptor(), "fuzz.doc"), output);
    return 0;
}

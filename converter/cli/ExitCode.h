#pragma once
// pwt's exit statuses. The window only checks for the output file, but
// scripts and the tests tell the failures apart by these. kExitCodes is the
// one table of them: --help prints it.
#include <array>

namespace pwt::cli {

enum class ExitCode : int {
    Ok = 0,
    Usage = 1,
    BadInput = 2,
    OutputFailure = 3,
    NoTextLayer = 4,
    TimeLimit = 5,
    Password = 6,
    Internal = 7,
};

struct ExitCodeMeaning {
    ExitCode code;
    const char* meaning;
};

inline constexpr std::array<ExitCodeMeaning, 8> kExitCodes{{
    {ExitCode::Ok, "the Word document was written"},
    {ExitCode::Usage, "usage: an unknown option, a missing or bad --src=, --dest=, --time-limit=, --ocr= or --ocr-lang="},
    {ExitCode::BadInput, "bad input: missing, a folder, empty, not a PDF, truncated or damaged"},
    {ExitCode::OutputFailure, "the destination cannot be written: its folder is missing or not writable, it is "
                              "the source itself or not a regular file, or the write failed"},
    {ExitCode::NoTextLayer, "the PDF has no text: no text layer and none recognised (a photo, --ocr=never, or the "
                            "recognition language data is missing), or text that decodes to nothing"},
    {ExitCode::TimeLimit, "the time limit was reached and the conversion was stopped"},
    {ExitCode::Password, "the PDF needs a password"},
    {ExitCode::Internal, "internal error: out of memory (see the memory ceiling) or a fault in pwt"},
}};

inline constexpr int toInt(ExitCode c) { return static_cast<int>(c); }

} // namespace pwt::cli

#pragma once
// pwt's exit statuses. The window only checks for the output file, but
// scripts and the tests tell the failures apart by these.
//
//   0  the Word document was written
//   1  usage: unknown option, missing --src= or --dest=
//   2  bad input: missing, a folder, empty, not a PDF, truncated or damaged
//   3  output failure: destination folder missing or not writable, write failed
//   4  no text layer: the PDF's pages carry no text (a scan)
//   5  time limit reached: the conversion took too long and was stopped
//   6  the PDF needs a password to be opened
//   7  internal error (e.g. out of memory)
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

inline int toInt(ExitCode c) { return static_cast<int>(c); }

} // namespace pwt::cli

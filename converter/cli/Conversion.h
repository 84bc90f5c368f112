#pragma once
// One run of pwt: checks the input and the destination, reads the PDF, lays
// it out, writes the .doc beside the destination and puts it in place.
#include "ExitCode.h"
#include "Options.h"

#include <string>

namespace pwt::cli {

// Time allowed: a base for opening and writing plus a share per page.
inline constexpr double kBaseSecondsAllowed = 20.0;
inline constexpr double kSecondsPerPage = 2.0;

struct Outcome {
    ExitCode code = ExitCode::Ok;
    std::string message; // one line for stderr, empty on success
};

Outcome convert(const Options& options);

// Runs pwt with its arguments (without the program name): prints help,
// version or the single error line, returns the exit status.
int runPwt(const std::vector<std::string>& arguments);

} // namespace pwt::cli

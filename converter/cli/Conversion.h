#pragma once
// One run of pwt: checks the input and the destination, reads the PDF, lays
// it out, writes the .doc beside the destination and puts it in place.
#include "ExitCode.h"
#include "Options.h"

#include <functional>
#include <string>
#include <vector>

namespace pwt::cli {

struct Outcome {
    ExitCode code = ExitCode::Ok;
    std::string message;               // one line for stderr, empty on success
    std::vector<std::string> warnings; // lines for stderr even on success (a page cut short)
};

// Reads the PDF at `source`, lays it out (recognising its scanned pages as
// `recognition` says) and writes the Word document into `fd` (open, empty,
// seekable; left open); a failure to write is reported under
// `destinationName`. Opens no path for writing and touches no process-wide
// state but what `onWorkload` does with the numbers of pages to read and to
// recognise, given once the first is known and again whenever the second
// grows (pwt arms its time limit there).
Outcome convertInto(const std::string& source, int fd, const std::string& destinationName,
                    const std::function<void(int pages, int recognisedPages)>& onWorkload = {},
                    const ocr::OcrSettings& recognition = {});

// The whole conversion of pwt's options, destination checks and atomic
// output included.
Outcome convert(const Options& options);

// Runs pwt with its arguments (without the program name): prints help,
// version or the single error line, returns the exit status.
int runPwt(const std::vector<std::string>& arguments);

} // namespace pwt::cli

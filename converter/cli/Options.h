#pragma once
// The command line: pwt --src=<pdf> --dest=<doc> [--time-limit=<seconds>]
//                   [--ocr=auto|always|never] [--ocr-lang=<languages>] | --help | --version
#include "OcrSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace pwt::cli {

struct Options {
    std::string source;
    std::string destination;
    std::optional<double> timeLimitSeconds; // overrides the limit derived from the page count
    ocr::OcrSettings recognition;           // which pages are recognised, in which languages
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    Options options;
    std::string error; // non-empty: a usage error, one line
};

ParsedOptions parseOptions(const std::vector<std::string>& arguments);

std::string usageText();
std::string versionText();

} // namespace pwt::cli

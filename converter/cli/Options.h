#pragma once
// The command line: pwt --src=<pdf> --dest=<doc> [--time-limit=<seconds>] | --help | --version
#include <optional>
#include <string>
#include <vector>

namespace pwt::cli {

struct Options {
    std::string source;
    std::string destination;
    std::optional<double> timeLimitSeconds; // overrides the limit derived from the page count
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

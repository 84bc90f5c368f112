#include "Options.h"

#include "LanguageData.h"

#include "ExitCode.h"
#include "Limits.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace pwt::cli {

namespace {

bool takeValue(const std::string& arg, const std::string& name, std::string& value)
{
    const std::string prefix = name + "=";
    if (arg.rfind(prefix, 0) != 0)
        return false;
    value = arg.substr(prefix.size());
    return true;
}

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& arguments)
{
    ParsedOptions r;
    bool haveSource = false, haveDest = false;
    for (const std::string& arg : arguments) {
        std::string value;
        if (arg == "--help" || arg == "-h") {
            r.options.help = true;
        } else if (arg == "--version") {
            r.options.version = true;
        } else if (takeValue(arg, "--src", value)) {
            r.options.source = value;
            haveSource = true;
        } else if (takeValue(arg, "--dest", value)) {
            r.options.destination = value;
            haveDest = true;
        } else if (takeValue(arg, "--time-limit", value)) {
            errno = 0;
            char* end = nullptr;
            const double seconds = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || errno != 0 || !std::isfinite(seconds) || seconds <= 0) {
                r.error = "--time-limit= needs a positive number of seconds, not '" + value + "'";
                return r;
            }
            if (seconds > kMaxSecondsAllowed) {
                r.error = "--time-limit= is at most " + std::to_string(static_cast<int>(kMaxSecondsAllowed))
                    + " seconds, not '" + value + "'";
                return r;
            }
            r.options.timeLimitSeconds = seconds;
        } else if (takeValue(arg, "--ocr", value)) {
            const std::optional<ocr::OcrMode> mode = ocr::parseOcrMode(value);
            if (!mode) {
                r.error = "--ocr= takes auto, always or never, not '" + value + "'";
                return r;
            }
            r.options.recognition.mode = *mode;
        } else if (takeValue(arg, "--ocr-lang", value)) {
            if (ocr::splitLanguages(value).empty()) {
                r.error = "--ocr-lang= takes Tesseract languages joined by '+' (such as chi_sim+eng), not '" + value + "'";
                return r;
            }
            r.options.recognition.languages = value;
        } else {
            r.error = "unknown argument '" + arg + "'";
            return r;
        }
    }
    if (r.options.help || r.options.version)
        return r;
    if (!haveSource || r.options.source.empty())
        r.error = "missing --src=<pdf file>";
    else if (!haveDest || r.options.destination.empty())
        r.error = "missing --dest=<doc file>";
    return r;
}

std::string usageText()
{
    std::string text =
        "Usage: pwt --src=<file.pdf> --dest=<file.doc> [--time-limit=<seconds>]\n"
        "           [--ocr=auto|always|never] [--ocr-lang=<languages>]\n"
        "       pwt --help | --version\n"
        "\n"
        "Converts the text of a PDF into a Word 97-2003 document (.doc). Scanned pages\n"
        "are recognised with Tesseract. The document appears at --dest= only when it is\n"
        "complete; on any failure nothing is written there and a file already there is\n"
        "left as it was.\n"
        "\n"
        "  --src=<file.pdf>        the PDF to convert\n"
        "  --dest=<file.doc>       the Word document to write\n"
        "  --time-limit=<seconds>  stop after this long (default: 20 s + 2 s per page\n"
        "                          + " + std::to_string(static_cast<int>(kSecondsPerRecognisedPage)) + " s per page recognised, at most "
        + std::to_string(static_cast<int>(kMaxSecondsAllowed)) + " s,\n"
        "                          or " + std::to_string(static_cast<int>(kMaxSecondsAllowedWithRecognition)) + " s with recognised pages)\n"
        "  --ocr=auto|always|never recognise the pages whose text layer is missing, garbage\n"
        "                          or too little for their scan (auto, the default), every\n"
        "                          page, or none\n"
        "  --ocr-lang=<languages>  Tesseract languages to recognise (default: chi_sim+eng;\n"
        "                          each needs its data, e.g. package tesseract-ocr-chi-sim)\n"
        "  --help                  show this text\n"
        "  --version               show the version\n"
        "\n"
        "Exit status:\n";
    for (const ExitCodeMeaning& e : kExitCodes)
        text += "  " + std::to_string(toInt(e.code)) + "  " + e.meaning + "\n";
    return text;
}

std::string versionText()
{
    return std::string("pwt ") + PWT_VERSION + "\n";
}

} // namespace pwt::cli

#include "Conversion.h"

#include "AtomicOutput.h"
#include "DocWriter.h"
#include "DocumentBuilder.h"
#include "PdfReader.h"

#include <chrono>
#include <iostream>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace pwt::cli {

namespace {

Outcome fail(ExitCode code, const std::string& file, const std::string& why)
{
    return Outcome{code, "pwt: " + file + ": " + why};
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// What is wrong with the source before poppler sees it, or "" when it is a readable file.
Outcome checkSource(const std::string& src)
{
    struct stat st {};
    if (::stat(src.c_str(), &st) != 0)
        return fail(ExitCode::BadInput, src, "does not exist");
    if (S_ISDIR(st.st_mode))
        return fail(ExitCode::BadInput, src, "is a folder, not a PDF file");
    if (!S_ISREG(st.st_mode))
        return fail(ExitCode::BadInput, src, "is not a regular file");
    if (st.st_size == 0)
        return fail(ExitCode::BadInput, src, "is empty");
    if (::access(src.c_str(), R_OK) != 0)
        return fail(ExitCode::BadInput, src, "cannot be read (permission denied)");
    return {};
}

Outcome checkDestination(const std::string& src, const std::string& dest)
{
    const std::string folder = folderOf(dest);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return fail(ExitCode::OutputFailure, dest, "the destination folder does not exist");
    if (!S_ISDIR(st.st_mode))
        return fail(ExitCode::OutputFailure, dest, "the destination folder is not a folder");
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return fail(ExitCode::OutputFailure, dest, "the destination folder cannot be written");
    struct stat destStat {}, srcStat {};
    if (::stat(dest.c_str(), &destStat) == 0) {
        if (S_ISDIR(destStat.st_mode))
            return fail(ExitCode::OutputFailure, dest, "is a folder");
        if (::stat(src.c_str(), &srcStat) == 0 && srcStat.st_dev == destStat.st_dev && srcStat.st_ino == destStat.st_ino)
            return fail(ExitCode::Usage, dest, "is the source file itself; it would be overwritten");
    }
    return {};
}

Outcome readFailure(pdf::ReadFailure failure, const std::string& src, const std::string& detail)
{
    switch (failure) {
    case pdf::ReadFailure::Encrypted:
        return fail(ExitCode::Password, src, detail);
    case pdf::ReadFailure::Unreadable:
    case pdf::ReadFailure::NotPdf:
    case pdf::ReadFailure::Truncated:
    case pdf::ReadFailure::Damaged:
    case pdf::ReadFailure::None:
        break;
    }
    return fail(ExitCode::BadInput, src, detail);
}

Outcome convertChecked(const Options& options, AtomicOutput& output)
{
    const std::string& src = options.source;
    pdf::PdfReader reader;
    if (const auto failure = reader.open(src); failure != pdf::ReadFailure::None)
        return readFailure(failure, src, reader.failureDetail());

    const int pages = reader.pageCount();
    if (!options.timeLimitSeconds) {
        // The base allowance was armed at start; now that the size is known,
        // allow a share per page on top of it.
        TerminationCleanup::armTimeLimit(kBaseSecondsAllowed + kSecondsPerPage * pages,
                                         "pwt: " + src + ": time limit reached; the conversion was stopped\n",
                                         toInt(ExitCode::TimeLimit));
    }

    // Page by page: only the layout's view of each page is kept.
    layout::DocumentBuilder builder;
    pdf::PageText page;
    for (int n = 1; n <= pages; ++n) {
        if (!reader.readPage(n, page))
            return fail(ExitCode::BadInput, src, "is damaged: page " + std::to_string(n) + " cannot be read");
        builder.addPage(page);
    }
    page = pdf::PageText{};
    if (builder.wordCount() == 0)
        return fail(ExitCode::NoTextLayer, src, "has no text layer (scanned pages?); there is no text to convert");

    const pdf::DocumentMetadata meta = reader.metadata();
    const Document document = builder.finish(DocumentInfo{meta.title, meta.author, meta.subject, meta.keywords});

    if (const std::string why = doc::writeWordDocument(document, output.temporaryPath()); !why.empty())
        return fail(ExitCode::OutputFailure, options.destination, "cannot be written: " + why);
    TerminationCleanup::disarmTimeLimit(); // past this point the result is complete
    if (const std::string why = output.commit(); !why.empty())
        return fail(ExitCode::OutputFailure, options.destination, why);
    return {};
}

} // namespace

Outcome convert(const Options& options)
{
    if (Outcome o = checkSource(options.source); o.code != ExitCode::Ok)
        return o;
    if (Outcome o = checkDestination(options.source, options.destination); o.code != ExitCode::Ok)
        return o;
    removeStaleTemporaries(folderOf(options.destination));
    AtomicOutput output(options.destination);
    try {
        return convertChecked(options, output);
    } catch (const std::bad_alloc&) {
        return fail(ExitCode::Internal, options.source, "out of memory");
    } catch (const std::exception& e) {
        return fail(ExitCode::Internal, options.source, std::string("internal error: ") + e.what());
    }
}

int runPwt(const std::vector<std::string>& arguments)
{
    const ParsedOptions parsed = parseOptions(arguments);
    if (!parsed.error.empty()) {
        std::cerr << "pwt: " << parsed.error << " (see pwt --help)\n";
        return toInt(ExitCode::Usage);
    }
    if (parsed.options.help) {
        std::cout << usageText();
        return 0;
    }
    if (parsed.options.version) {
        std::cout << versionText();
        return 0;
    }
    TerminationCleanup::install();
    TerminationCleanup::armTimeLimit(parsed.options.timeLimitSeconds.value_or(kBaseSecondsAllowed),
                                     "pwt: " + parsed.options.source + ": time limit reached; the conversion was stopped\n",
                                     toInt(ExitCode::TimeLimit));
    const Outcome outcome = convert(parsed.options);
    TerminationCleanup::disarmTimeLimit();
    if (outcome.code != ExitCode::Ok)
        std::cerr << outcome.message << '\n';
    return toInt(outcome.code);
}

} // namespace pwt::cli

#include "Conversion.h"

#include "AtomicOutput.h"
#include "DocWriter.h"
#include "DocumentBuilder.h"
#include "FigureStage.h"
#include "Limits.h"
#include "PagePipeline.h"
#include "PdfReader.h"

#include <iostream>
#include <new>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pwt::cli {

namespace {

Outcome fail(ExitCode code, const std::string& file, const std::string& why)
{
    return Outcome{code, "pwt: " + file + ": " + why, {}};
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
    // An existing destination is replaced only when it is a document: a
    // device, a pipe or a socket there (/dev/null) is never turned into a
    // file. A symbolic link is itself replaced, its target left alone.
    struct stat destStat {}, srcStat {};
    if (::stat(dest.c_str(), &destStat) == 0) {
        if (S_ISDIR(destStat.st_mode))
            return fail(ExitCode::OutputFailure, dest, "is a folder");
        if (!S_ISREG(destStat.st_mode))
            return fail(ExitCode::OutputFailure, dest, "is not a regular file (a device, a pipe or a socket); it is left alone");
        if (::stat(src.c_str(), &srcStat) == 0 && srcStat.st_dev == destStat.st_dev && srcStat.st_ino == destStat.st_ino)
            return fail(ExitCode::OutputFailure, dest, "is the source file itself; it would be overwritten");
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

bool isVisible(char16_t c)
{
    return c > 0x20 && !(c >= 0x7F && c <= 0xA0) && c != 0x3000 && c != 0xFEFF && c != 0xFFFD;
}

// Whether the laid-out document holds any character a reader would see: text
// that decodes only to control codes is dropped by the layout, and a document
// left with nothing is no conversion.
bool hasVisibleText(const Document& document)
{
    auto inParagraphs = [](const std::vector<Paragraph>& paragraphs) {
        for (const Paragraph& p : paragraphs)
            for (const Run& r : p.runs)
                for (char16_t c : r.text)
                    if (isVisible(c))
                        return true;
        return false;
    };
    for (const Section& s : document.sections) {
        if (inParagraphs(s.paragraphs) || inParagraphs(s.header) || inParagraphs(s.footer))
            return true;
        for (const Table& t : s.tables)
            for (const TableRow& row : t.rows)
                for (const TableCell& cell : row.cells)
                    if (inParagraphs(cell.paragraphs))
                        return true;
    }
    return false;
}

Outcome noTextLayer(const std::string& src)
{
    return fail(ExitCode::NoTextLayer, src, "has no text layer (scanned pages?); there is no text to convert");
}

Outcome noTextFound(const std::string& src)
{
    return fail(ExitCode::NoTextLayer, src, "has no text layer, and no text was recognised on its scanned pages");
}

Outcome convertChecked(const Options& options, AtomicOutput& output)
{
    if (const std::string why = output.create(); !why.empty())
        return fail(ExitCode::OutputFailure, options.destination, "cannot be written: " + why);
    const std::string& src = options.source;
    const auto onWorkload = [&](int pages, int recognisedPages) {
        // The base allowance was armed at start; now that the work is known,
        // allow a share per page and per page to recognise on top of it, within the cap.
        if (!options.timeLimitSeconds)
            TerminationCleanup::armTimeLimit(secondsAllowedFor(pages, recognisedPages),
                                             "pwt: " + src + ": time limit reached; the conversion was stopped\n",
                                             toInt(ExitCode::TimeLimit));
    };
    Outcome outcome = convertInto(src, output.descriptor(), options.destination, onWorkload, options.recognition);
    if (outcome.code != ExitCode::Ok)
        return outcome;
    TerminationCleanup::disarmTimeLimit(); // past this point the result is complete
    if (const std::string why = output.commit(); !why.empty()) {
        const auto warnings = std::move(outcome.warnings);
        outcome = fail(ExitCode::OutputFailure, options.destination, why);
        outcome.warnings = warnings;
    }
    return outcome;
}

// Keeps allocations within kAddressSpaceCeilingBytes (or a lower limit the
// caller already set), so a bomb ends in std::bad_alloc, not in the machine
// running out of memory.
void limitAddressSpace()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0)
        return;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= kAddressSpaceCeilingBytes)
        return;
    limit.rlim_cur = static_cast<rlim_t>(kAddressSpaceCeilingBytes);
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < limit.rlim_cur)
        limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_AS, &limit);
}

} // namespace

Outcome convertInto(const std::string& source, int fd, const std::string& destinationName,
                    const std::function<void(int, int)>& onWorkload, const ocr::OcrSettings& recognition)
{
    try {
        pdf::PdfReader reader;
        if (const auto failure = reader.open(source); failure != pdf::ReadFailure::None)
            return readFailure(failure, source, reader.failureDetail());

        const int pages = reader.pageCount();
        if (onWorkload)
            onWorkload(pages, 0);

        // The stages: the reader gives each page's words, images and paths;
        // scanned pages are recognised (on worker threads, back in order);
        // vector figures become pictures; the builder keeps the layout's view
        // of each page and, once all are in, makes lines, blocks, figures and
        // paragraphs of them; the writer writes the document.
        Outcome outcome;
        layout::DocumentBuilder builder;
        FigureStage figures(reader, builder);
        ocr::PagePipeline pipeline(source, recognition, [&](const pdf::PageText& done) { figures.addPage(done); });
        int recognised = 0;
        pdf::PageText page;
        int unreadable = 0;
        for (int n = 1; n <= pages; ++n) {
            const auto read = reader.readPage(n, page, kPageBudgetSeconds);
            if (read == pdf::PdfReader::PageRead::Failed) {
                // One damaged page (a loop in the page tree) costs that page, not the document.
                ++unreadable;
                outcome.warnings.push_back("pwt: " + source + ": warning: page " + std::to_string(n)
                                           + " cannot be read; it was left out");
                continue;
            }
            for (const std::string& warning : reader.takeWarnings())
                outcome.warnings.push_back("pwt: " + source + ": warning: page " + std::to_string(n) + ": " + warning);
            if (read == pdf::PdfReader::PageRead::CutShort)
                outcome.warnings.push_back("pwt: " + source + ": warning: page " + std::to_string(n) + " took longer than "
                                           + std::to_string(static_cast<int>(kPageBudgetSeconds))
                                           + " s; the rest of that page was left out");
            if (!pipeline.push(std::move(page)))
                break;
            if (pipeline.pagesToRecognise() != recognised) {
                recognised = pipeline.pagesToRecognise();
                if (onWorkload)
                    onWorkload(pages, recognised);
            }
        }
        page = pdf::PageText{};
        if (unreadable == pages)
            return fail(ExitCode::BadInput, source, "is damaged: none of its pages can be read");
        if (const std::string why = pipeline.finish(); !why.empty())
            return fail(pipeline.languageDataMissing() ? ExitCode::NoTextLayer : ExitCode::Internal, source, why);
        if (const int cut = pipeline.pagesCutShort(); cut > 0)
            outcome.warnings.push_back("pwt: " + source + ": warning: " + std::to_string(cut) + " scanned page(s) took longer than "
                                       + std::to_string(static_cast<int>(recognition.secondsPerPage))
                                       + " s to recognise; what was read by then is kept");
        if (const int left = figures.figuresLeftAsText(); left > 0)
            outcome.warnings.push_back("pwt: " + source + ": warning: " + std::to_string(left)
                                       + " drawn figure(s) could not be drawn in time and were left as text");
        if (builder.wordCount() == 0)
            return recognised > 0 ? noTextFound(source) : noTextLayer(source);

        const pdf::DocumentMetadata meta = reader.metadata();
        const Document document = builder.finish(DocumentInfo{meta.title, meta.author, meta.subject, meta.keywords});
        if (!hasVisibleText(document))
            return recognised > 0 ? noTextFound(source) : noTextLayer(source);

        if (const std::string why = doc::writeWordDocument(document, fd); !why.empty())
            return fail(ExitCode::OutputFailure, destinationName, "cannot be written: " + why);
        return outcome;
    } catch (const std::bad_alloc&) {
        return fail(ExitCode::Internal, source, "out of memory");
    } catch (const std::exception& e) {
        return fail(ExitCode::Internal, source, std::string("internal error: ") + e.what());
    }
}

Outcome convert(const Options& options)
{
    if (Outcome o = checkSource(options.source); o.code != ExitCode::Ok)
        return o;
    if (Outcome o = checkDestination(options.source, options.destination); o.code != ExitCode::Ok)
        return o;
    removeStaleTemporaries(folderOf(options.destination));
    AtomicOutput output(options.destination);
    return convertChecked(options, output);
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
    limitAddressSpace();
    TerminationCleanup::install("pwt: " + parsed.options.source + ": out of memory; the conversion was stopped\n",
                                toInt(ExitCode::Internal));
    TerminationCleanup::armTimeLimit(parsed.options.timeLimitSeconds.value_or(kBaseSecondsAllowed),
                                     "pwt: " + parsed.options.source + ": time limit reached; the conversion was stopped\n",
                                     toInt(ExitCode::TimeLimit));
    const Outcome outcome = convert(parsed.options);
    TerminationCleanup::disarmTimeLimit();
    for (const std::string& warning : outcome.warnings)
        std::cerr << warning << '\n';
    if (outcome.code != ExitCode::Ok)
        std::cerr << outcome.message << '\n';
    return toInt(outcome.code);
}

} // namespace pwt::cli

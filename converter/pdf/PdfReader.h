#pragma once
// Opens a PDF with poppler and hands out each page's text in reading order.
//
// Poppler's core TextOutputDev is used rather than poppler-cpp: its TextPage
// gives every word's box, baseline, font name and descriptor flags (bold,
// italic, serif, fixed width), colour and rotation, and also the flows,
// blocks and lines it found in reading order (its column detection), which
// poppler-cpp's text API does not expose.
#include "PageText.h"

#include <memory>
#include <string>
#include <vector>

namespace pwt::pdf {

enum class ReadFailure {
    None,
    Unreadable, // cannot be opened for reading
    NotPdf,     // no PDF header
    Truncated,  // the end of the file is missing
    Damaged,    // poppler cannot make sense of it
    Encrypted,  // needs a password
};

struct DocumentMetadata {
    std::string title; // UTF-8, empty when absent
    std::string author;
    std::string subject;
    std::string keywords;
};

class PdfReader {
public:
    PdfReader();
    ~PdfReader();
    PdfReader(const PdfReader&) = delete;
    PdfReader& operator=(const PdfReader&) = delete;

    // Opens the file; on failure returns the reason and a one-line detail.
    ReadFailure open(const std::string& path);
    const std::string& failureDetail() const { return m_detail; }

    int pageCount() const;
    DocumentMetadata metadata() const;

    // Reads page 1..pageCount(), taking at most `budgetSeconds` over the
    // page's content (its drawing operators are not run past that): its
    // words, and the images and paths it draws.
    enum class PageRead { Whole, CutShort, Failed };
    PageRead readPage(int number, PageText& page, double budgetSeconds);

    // The problems met since the last call, one line each without a prefix
    // (e.g. "a picture was left out: ..."), for the page last read.
    std::vector<std::string> takeWarnings();

    // `region` of page 1..pageCount() (points from the top-left of the page
    // as shown, as in PageText) drawn as poppler shows it into a PNG at
    // `dpi`, or less where the picture would be too large; null when it
    // cannot be drawn.
    // Drawing gives up (null) after `budgetSeconds` (at most the renderer's own bound).
    std::shared_ptr<const ImageData> renderRegion(int page, const Box& region, double dpi, double budgetSeconds = 1e9);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    std::string m_detail;
    std::vector<std::string> m_warnings;
};

// Whether the first bytes of a file carry the "%PDF-" signature (readers
// accept it anywhere in the first kilobyte).
bool hasPdfSignature(const std::string& firstBytes);

// Whether the end of a file carries an "%%EOF" marker, i.e. the file was not
// cut short. `lastBytes` are the file's last bytes after any trailing padding
// (NULs and white space, which some writers and transfers add) was skipped.
bool hasEndMarker(const std::string& lastBytes);

} // namespace pwt::pdf

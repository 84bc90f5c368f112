#pragma once
// Takes a PDF's pages in order with their text layers, has the ones that
// need it recognised on worker threads (one engine each), and hands every
// page on in order. Memory stays bounded on long scans: a worker holds one
// rendered page at a time, and reading stops while too many pages wait for
// the one before them.
#include "LanguageData.h"
#include "OcrSettings.h"
#include "PageText.h"

#include <functional>
#include <memory>
#include <string>

namespace pwt::ocr {

// Pages read ahead of the first one still being recognised; their text
// layers wait in memory (a few kilobytes each).
inline constexpr std::size_t kMaxPagesWaiting = 8;

class PagePipeline {
public:
    using Sink = std::function<void(const pdf::PageText&)>;

    // `sink` gets every page, in order, on the thread that calls push() and finish().
    PagePipeline(std::string pdfPath, OcrSettings settings, Sink sink);
    ~PagePipeline();
    PagePipeline(const PagePipeline&) = delete;
    PagePipeline& operator=(const PagePipeline&) = delete;

    // The next page with its own text. False once recognition has failed
    // (finish() tells why): reading further pages is of no use then.
    bool push(pdf::PageText page);

    // Waits for the pages still being recognised; "" or what failed, one line.
    std::string finish();

    // Whether finish() failed because the languages' data is not installed
    // (the PDF's scans cannot be read here) rather than in the engine.
    bool languageDataMissing() const;

    // Pages found to need recognition so far (the time allowed grows with them).
    int pagesToRecognise() const;
    // Pages whose recognition ran past the time allowed for one page.
    int pagesCutShort() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Engines to run at once under `settings` on this machine.
int recognitionThreads(const OcrSettings& settings);

} // namespace pwt::ocr

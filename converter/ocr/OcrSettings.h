#pragma once
// What the user asks of recognition: whether scanned pages are recognised
// (--ocr=) and in which languages (--ocr-lang=).
#include <optional>
#include <string>

namespace pwt::ocr {

enum class OcrMode {
    Auto,   // recognise the pages whose text layer is missing, garbage or too little
    Always, // recognise every page, whatever text it carries
    Never,  // use text layers only
};

// Simplified Chinese and English together: most scans our users convert are
// Chinese with some English in them.
inline constexpr const char* kDefaultLanguages = "chi_sim+eng";
// Recognition of one page at 300 dpi takes seconds; a page still running
// after this long is cut short and keeps what was recognised by then.
inline constexpr double kRecognitionSecondsPerPage = 60.0;
// Pages recognised at once: one engine per core of the machines we run on.
inline constexpr int kMaxRecognitionThreads = 2;

struct OcrSettings {
    OcrMode mode = OcrMode::Auto;
    std::string languages = kDefaultLanguages; // Tesseract's "lang1+lang2"
    double secondsPerPage = kRecognitionSecondsPerPage;
    int threads = 0; // 0: as many as the machine has cores, at most kMaxRecognitionThreads
};

// "auto", "always", "never"; nothing for anything else.
std::optional<OcrMode> parseOcrMode(const std::string& text);

} // namespace pwt::ocr

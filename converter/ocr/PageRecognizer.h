#pragma once
// Recognises the text of one rendered page with Tesseract and gives it back
// as the reader gives a text layer: flows (Tesseract's blocks), blocks (its
// paragraphs), lines and words with their boxes, baselines and sizes in
// points, so that a scanned page goes through the same layout as any other.
//
// One recogniser holds one engine and is used by one thread at a time.
#include "LanguageData.h"
#include "PageRenderer.h"
#include "PageText.h"

#include <memory>
#include <string>

namespace pwt::ocr {

// A page is turned upright when the orientation detector is at least this
// sure (Tesseract calls 15 reasonably confident; its own tools act above 2,
// which still turns pages of tables and numbers the wrong way).
inline constexpr float kMinOrientationConfidence = 5.0f;
// Pages skewed by less than this (degrees) are recognised as they are:
// turning the image blurs its glyphs more than the engine, which follows
// lines that slope so little, gains from it.
inline constexpr float kMinDeskewDegrees = 1.0f;
// Pixels at least this dark (0 black, 255 white) count as ink...
inline constexpr int kInkLevel = 160;
// ...and a page with fewer than this share of ink is blank: no engine runs.
inline constexpr double kBlankInkShare = 0.0002;
// Lines whose words Tesseract is on average less sure of than this (0..100)
// are dropped: the engine reads specks, rules and the texture of photos as
// such lines. Single weak words stay: in a line of text they are mostly real
// characters, blurred (they score 10 to 20).
inline constexpr float kMinLineConfidence = 30.0f;

struct Recognition {
    pdf::PageText page;
    double skewDegrees = 0;  // the page was straightened by this much
    int turnedDegrees = 0;   // and turned clockwise by this much to be upright
    bool timedOut = false;   // the page took longer than allowed; what was read is kept
    std::string error;       // the engine could not be used; `page` is then empty
};

class PageRecognizer {
public:
    // The engine is loaded on the first page that needs it.
    PageRecognizer(LanguageData data, double secondsPerPage);
    ~PageRecognizer();
    PageRecognizer(const PageRecognizer&) = delete;
    PageRecognizer& operator=(const PageRecognizer&) = delete;

    // `image` is page `number`, `widthPt` x `heightPt` as shown. A blank
    // page needs neither engine nor language data.
    Recognition recognize(const pdf::GreyImage& image, int number, double widthPt, double heightPt);

private:
    struct Engine;
    std::unique_ptr<Engine> m_engine;
    LanguageData m_data;
    double m_secondsPerPage;
};

// Whether a page image has so little ink that it holds no text.
bool isBlank(const pdf::GreyImage& image);

} // namespace pwt::ocr

#pragma once
// Structure found across the whole document: running heads and feet (text
// repeated at the same place on most pages) and headings (paragraphs set
// larger or bolder than the body text).
#include "Lines.h"

#include <cstddef>
#include <vector>

namespace pwt::layout {

// Heads live in the top, feet in the bottom share of the page.
inline constexpr double kRunningZoneShare = 0.12;
// Text found at one place on at least this share of the pages is running text...
inline constexpr double kRunningPageShare = 0.5;
// ...when its positions differ by no more than this many ems.
inline constexpr double kRunningPositionEm = 1.0;

// Headings: this much larger than the body text...
inline constexpr double kHeadingSizeRatio = 1.15;
// ...or bold at body size on one line of at most this many characters.
inline constexpr std::size_t kBoldHeadingMaxChars = 80;
inline constexpr std::size_t kHeadingMaxChars = 200;
inline constexpr std::size_t kHeadingMaxLines = 3;
// Sizes within this many points are one heading level.
inline constexpr double kHeadingSizeStepPt = 0.5;

struct RunningText {
    std::vector<Paragraph> header;
    std::vector<Paragraph> footer;
};

// Finds the running heads and feet, removes them from the pages' blocks and
// returns them as header and footer paragraphs; a page number becomes a PAGE field.
RunningText extractRunningText(std::vector<PageLines>& pages);

// What the heading rule needs to know of a body paragraph.
struct ParagraphMetrics {
    std::size_t lineCount = 0;
    std::size_t charCount = 0;
    double fontSize = 0;   // the largest line size
    bool bold = false;
    bool endsWithStop = false; // ends like a sentence, not a title
};

// Sets headingLevel 1..3 on the paragraphs that are headings.
void markHeadings(const std::vector<Paragraph*>& paragraphs, const std::vector<ParagraphMetrics>& metrics);

} // namespace pwt::layout

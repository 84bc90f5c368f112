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
// A place in the head or foot zone holds running text when lines whose text
// recurs on other pages stand there on at least this share of the pages
// (counting only pages with text besides: running text is never all of it)...
inline constexpr double kRunningPageShare = 0.5;
// ...and at least this many pages. Two pages suffice (a head and a page
// number on both pages of a two-page letter) because only pages with other
// text count: two pages that merely repeat each other are no evidence.
inline constexpr std::size_t kMinRunningPages = 2;
// ...lines standing within this many ems of one another being at one place.
inline constexpr double kRunningPositionEm = 0.5;

// Headings: this much larger than the body text...
inline constexpr double kHeadingSizeRatio = 1.15;
// ...or bold at body size on one line of at most this many characters.
inline constexpr std::size_t kBoldHeadingMaxChars = 80;
inline constexpr std::size_t kHeadingMaxChars = 200;
inline constexpr std::size_t kHeadingMaxLines = 3;
// A page number of more digits is no page number to count from.
inline constexpr std::size_t kMaxPageNumberDigits = 4;
// Sizes within this many points are one heading level.
inline constexpr double kHeadingSizeStepPt = 0.5;

// The running head and foot of one page, as header and footer paragraphs.
struct RunningText {
    std::vector<Paragraph> header;
    std::vector<Paragraph> footer;
    int pageNumber = 0; // the page number printed in them, 0: none (or not in digits)
    double headTop = 0;    // points from the page's top to the head's top, 0: no head
    double footBottom = 0; // points from the foot's bottom to the page's bottom, 0: no foot
};

// Finds the running heads and feet (a chapter's title in the head changes
// from chapter to chapter), removes them from the pages' blocks and returns
// them page by page; a page number becomes a PAGE field. Lines of one place
// on a page (a title at the left, a date at the right) share one paragraph,
// a tab between them.
std::vector<RunningText> extractRunningText(std::vector<PageLines>& pages);

// Equal for pages whose head and foot read the same but for the page number:
// such pages can share one section's header and footer.
std::u16string runningKey(const RunningText& running);

// What the heading rule needs to know of a body paragraph.
struct ParagraphMetrics {
    std::size_t lineCount = 0;
    std::size_t charCount = 0;
    double fontSize = 0;   // the largest line size
    bool bold = false;
    bool endsWithStop = false; // ends like a sentence, not a title
};

// A body paragraph with its metrics: one record, so that the two cannot fall
// out of step (a page without text still has its empty paragraph).
struct MeasuredParagraph {
    Paragraph paragraph;
    ParagraphMetrics metrics;
};

// Sets headingLevel 1..3 on the paragraphs that are headings.
void markHeadings(std::vector<MeasuredParagraph>& paragraphs);

} // namespace pwt::layout

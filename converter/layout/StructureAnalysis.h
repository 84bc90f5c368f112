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

// A line set this much larger than the body text (a chapter's title) is
// running text only when the same words stand there on this share of the
// pages: a number in it that counts with the pages is no page number, and
// recurring on a few chapters' first pages is not enough.
inline constexpr double kLargeRunningShare = kRunningPageShare;

// Heads and feet alternate between odd and even pages when each side shows
// its own text on at least this many pages in a row: a chapter's first page
// without a head beside the page after it is no alternation.
inline constexpr std::size_t kMinPagesPerSide = 2;

// The running head and foot of one page, as header and footer paragraphs.
// Where heads alternate between left and right pages (a book's), every page
// of a run holds both: header and footer are the odd pages', evenHeader and
// evenFooter the even pages'.
struct RunningText {
    std::vector<Paragraph> header;
    std::vector<Paragraph> footer;
    bool evenPagesDiffer = false;
    std::vector<Paragraph> evenHeader;
    std::vector<Paragraph> evenFooter;
    // The page number printed in them, 0: none (or not in digits). On the
    // first page of a run of alternating heads with no number printed, the
    // number the page has when counted on from the last printed one (or its
    // place in the PDF), so that Word tells odd from even as the PDF does.
    int pageNumber = 0;
    double headTop = 0;    // points from the page's top to the head's top, 0: no head
    double footBottom = 0; // points from the foot's bottom to the page's bottom, 0: no foot
};

// Finds the running heads and feet (a chapter's title in the head changes
// from chapter to chapter), removes them from the pages' blocks and returns
// them page by page; a page number becomes a PAGE field. Lines of one place
// on a page (a title at the left, a date at the right) share one paragraph,
// a tab between them. Runs of pages whose heads and feet alternate between
// odd and even pages get both on each page (RunningText::evenPagesDiffer).
std::vector<RunningText> extractRunningText(std::vector<PageLines>& pages);

// Equal for pages whose heads and feet read the same but for the page number:
// such pages can share one section's header and footer.
std::u16string runningKey(const RunningText& running);

// The size most characters of the document are set in (points), 0: no text.
double bodyTextSize(const std::vector<PageLines>& pages);

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

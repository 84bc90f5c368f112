#pragma once
// Where the body text of each page is set: the text band of the document's
// ordinary pages, not of one page. A title page or a contents page with a
// narrow block of text keeps the band of the pages around it; only a page
// whose text reaches well beyond that band, or a page of another size, gets
// a band of its own.
#include "Lines.h"
#include "StructureAnalysis.h"

#include <optional>
#include <vector>

namespace pwt::layout {

// Margins are taken from where the text sits, but never smaller than this
// (Word's printers cannot print to the edge) nor so large that less than
// kMinBodyTwips of the page is left for text.
inline constexpr int kMinMarginTwips = 360;
inline constexpr int kMinBodyTwips = 2880;
// The band's foot is set this much lower than the PDF's last line: Word's
// lines come out a hair taller or shorter than the PDF's, and a column that
// fills the band exactly would push its last line over.
inline constexpr double kFootSlackPt = 6.0;
// Page sizes equal within this many points share one band.
inline constexpr double kSamePageSizePt = 2.0;
// The band's bottom: the text of this share of the pages ends above it (the
// others are the short last pages of chapters and the few pages with a figure
// reaching lower).
inline constexpr double kBandBottomQuantile = 0.75;
// A page's text reaching beyond the band by more than this many points on a
// side gets a band of its own; less only makes a line or two wrap.
inline constexpr double kOwnBandPt = 18.0;
// Lines standing out of the page's common left or right edge by more than
// kOwnBandPt (a command set out into the margin, a hanging label) do not
// widen the page's text when at most this share of its lines do: Word sets
// them at the band's edge rather than giving the page margins of its own.
inline constexpr double kStandingOutShare = 0.2;
// At most this many lines reaching over or under the band (a head or a page
// number not told apart as running text) leave a page in the band.
inline constexpr std::size_t kMaxStrayLines = 2;
// Line edges within this many points are one edge.
inline constexpr double kEdgeBinPt = 2.0;
// Pages whose text is this close (points) to the band's width sit in it,
// wherever their left edge is (the odd and even pages of a book).
inline constexpr double kSameWidthPt = 6.0;

// A page whose text ends within this share of the band's height above the
// band's foot is full: the text flows on to the next page by itself, and no
// page break is written after it. A page ending higher up (a chapter's last
// page) ends with a break, as the PDF does.
inline constexpr double kFullPageShare = 0.08;

struct PagePlan {
    PageSetup setup;       // size, margins, header and footer distances; no page number yet
    ColumnBounds frame;    // the band on this page, in points: what its paragraphs align in
    bool full = false;     // its text reaches the foot of the band
};

// One plan per page. `running` gives where the running heads and feet stood;
// `setApart` the boxes of each page's text set apart from its lines (tables'
// cells, notes at the foot), which Word sets in the band too.
std::vector<PagePlan> planPages(const std::vector<PageLines>& pages, const std::vector<RunningText>& running,
                                const std::vector<std::vector<pdf::Box>>& setApart = {});

// The extent of a page's text in its column, lines standing out of `edges`
// (none given: the edges most of its lines share) left out as
// kStandingOutShare says, and with `band` given the strays over or under it
// as kMaxStrayLines says; none without text.
std::optional<pdf::Box> bandExtent(const PageLines& page, std::optional<ColumnBounds> edges = std::nullopt,
                                   const pdf::Box* band = nullptr);

// Page size from points; margins from a text band on the page.
PageSetup pageSetupFor(double widthPt, double heightPt, const pdf::Box* textBand);

} // namespace pwt::layout

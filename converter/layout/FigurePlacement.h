#pragma once
// Which of a page's images become pictures in the text, and where they go in
// the page's reading order: a figure stands before the first block of its
// column that starts below its top.
#include "Lines.h"

#include <vector>

namespace pwt::layout {

// An image shown smaller than this on both sides (points) is a spacer, a
// bullet or a rule drawn as an image, not a picture.
inline constexpr double kMinPictureSidePt = 6.0;
// An image with at least this many words lying on it is a background behind
// text (a slide's backdrop, the bar behind a one-word heading), not a
// picture: the text stays text, and nothing covers it.
inline constexpr std::size_t kBackgroundMinWords = 1;
// Pictures whose vertical extents overlap by at least this share of the
// shorter one stand side by side: they go in one figure paragraph.
inline constexpr double kSideBySideShare = 0.5;
// A picture whose centre lies within this share of the column's width of the
// column's centre is centred; otherwise it keeps its indent.
inline constexpr double kCentredShare = 0.05;
// A block starting this many points above a picture's top still counts as
// below it (text set level with a picture's top edge).
inline constexpr double kLevelTolerancePt = 2.0;

// A picture no taller than this many times the text size of a line it sits
// in is part of that line (an icon, a key cap, a symbol set as an image)...
inline constexpr double kInLineMaxHeightEm = 2.0;
// ...when at least this share of its height lies within the line's...
inline constexpr double kInLineOverlapShare = 0.5;
// ...and it stands no further than this many ems beyond the line's ends.
inline constexpr double kInLineReachEm = 1.5;

// Moves the images that sit inside a line of `page`'s text into that line,
// as words standing for them (text U+FFFC). Returns whether any moved.
bool setPicturesInLines(pdf::PageText& page);

// A picture as Word shows it: the image at its shown size, cropped as clipped.
Picture pictureOf(const pdf::PageImage& image);

// One figure paragraph's worth of pictures on a page, left to right.
struct PictureGroup {
    std::vector<pdf::PageImage> images;
    pdf::Box box; // their visible parts together
    // Reading-order position among the page's blocks (after orderBlocks):
    // the figure goes before block `beforeBlock` (blocks.size(): at the end).
    std::size_t beforeBlock = 0;
};

// The images of `page` to place as pictures: big enough, not hidden behind
// a later image, not a background behind `page`'s words; one group each.
std::vector<PictureGroup> picturesOf(const pdf::PageText& page);

// Where something standing in `box` (a picture, a table) goes among the
// ordered blocks of `lines`: before the first block of its column that starts
// below its top, else after the last block of its column.
std::size_t readingPlace(const pdf::Box& box, const PageLines& lines);

// Sets each group's place among the ordered blocks of `lines` and puts the
// groups in reading order; pictures side by side in one column at one place
// become one group.
void placeInReadingOrder(std::vector<PictureGroup>& groups, const PageLines& lines);

// The figure paragraph of a group set in the column `frame` (points).
Figure figureOf(const PictureGroup& group, const ColumnBounds& frame);

} // namespace pwt::layout

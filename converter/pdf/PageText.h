#pragma once
// The text of one PDF page as the reader finds it, before layout: words with
// their boxes and fonts, grouped by poppler into lines, blocks and flows in
// reading order. Plain C++ so that the layout stage can be tested on
// synthetic pages without a PDF.
#include "model/Image.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pwt::pdf {

// Coordinates are in points from the page's top-left corner (y grows down).
struct Box {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    double width() const { return xMax - xMin; }
    double height() const { return yMax - yMin; }
};

// Whether `inner` lies wholly in `outer`, edges included.
inline bool within(const Box& inner, const Box& outer)
{
    return inner.xMin >= outer.xMin && inner.xMax <= outer.xMax && inner.yMin >= outer.yMin && inner.yMax <= outer.yMax;
}

// Whether the point lies in the box, edges included.
inline bool holdsPoint(const Box& b, double x, double y)
{
    return x >= b.xMin && x <= b.xMax && y >= b.yMin && y <= b.yMax;
}

// An image the page draws, where it shows it. An image drawn again (the
// same XObject) shares its data with the first.
struct PageImage {
    Box box;                 // the displayed image before clipping
    Box visible;             // the part the clip leaves showing (inside box)
    std::shared_ptr<const ImageData> image; // upright, as shown
    bool mask = false;       // a stencil mask painted in one colour
};

struct TextWord {
    std::u32string text;     // as the PDF maps it to Unicode (ligatures not yet expanded)
    Box box;
    double baseline = 0;     // y of the baseline (x for text turned by 90/270 degrees)
    double fontSize = 12;    // in points, as drawn on the page
    std::string fontName;    // PDF base font name, e.g. "ABCDEF+TimesNewRomanPS-BoldMT"
    bool bold = false;       // from the font descriptor's flags
    bool italic = false;
    bool fixedWidth = false;
    bool serif = false;
    std::uint32_t colorRgb = 0; // 0xRRGGBB
    bool spaceAfter = false; // a gap separates this word from the next on the line
    std::string link;        // where a link over the word leads, as the layout names it (Run::link); empty: none
    // Set when this "word" is a picture shown inside the line (its text is
    // then U+FFFC): the layout keeps it in the line's place.
    std::shared_ptr<const PageImage> picture;
};

struct TextLine {
    std::vector<TextWord> words;
};

struct TextBlock {
    std::vector<TextLine> lines;
    Box box;
    int rotation = 0;        // 0..3: text turned by rotation*90 degrees
};

// A flow is a run of blocks that read on from one another (one column).
struct TextFlow {
    std::vector<TextBlock> blocks;
};

// A path the page strokes or fills, by its bounding box: the layout groups
// them into figures and tells rules, frames and shaded boxes from drawings.
struct PagePath {
    Box box;
    bool stroked = false;
    bool filled = false;
    std::uint32_t fillRgb = 0;   // 0xRRGGBB when filled
    std::uint32_t strokeRgb = 0; // when stroked
    double lineWidth = 0;        // points, when stroked
    bool rectangle = false;      // one axis-aligned rectangle (or a single straight line)
};

// A link annotation of the page: the area it makes clickable and where it
// leads, a web or mail address or a place in this document.
struct PageLink {
    Box area;
    std::string uri;          // UTF-8; empty for a link inside the document
    int destinationPage = 0;  // 1-based; 0: not a link inside the document
    double destinationY = 0;  // points from that page's top (0: its top)
    double destinationX = 0;  // points from that page's left (0: its left)
};

struct PageText {
    int number = 1;          // 1-based
    double width = 595.3;    // points, after the page's own rotation
    double height = 841.9;
    std::vector<TextFlow> flows;
    std::vector<PageImage> images; // in drawing order
    std::vector<PagePath> paths;   // in drawing order
    std::vector<PageLink> links;   // the page's link annotations

    std::size_t wordCount() const;
};

inline std::size_t PageText::wordCount() const
{
    std::size_t n = 0;
    for (const auto& f : flows)
        for (const auto& b : f.blocks)
            for (const auto& l : b.lines)
                n += l.words.size();
    return n;
}

} // namespace pwt::pdf

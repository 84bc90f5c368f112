#pragma once
// Turns the model's formats into the sprm groups Word stores: character
// properties (CHPX), paragraph properties with their style (PAPX) and section
// properties (SEPX). Out-of-range values are clamped to what Word accepts.
#include "FontTable.h"
#include "Grpprl.h"
#include "model/Document.h"

#include <cstdint>

namespace pwt::doc {

// COLORREF of a 0xRRGGBB colour: red, green, blue, then fAuto = 0.
std::uint32_t colorref(std::uint32_t rgb);
// COLORREF with fAuto set: the reader's automatic colour.
inline constexpr std::uint32_t kAutoColorref = 0xFF000000;
// The entry (1..16) of Word 97's colour palette nearest to a colour, for
// readers that know only the palette.
std::uint16_t nearestIco(std::uint32_t rgb);
// The palette entry's colour, 0xRRGGBB.
std::uint32_t icoColor(std::uint16_t ico);

Grpprl encodeCharacter(const CharFormat& format, FontTable& fonts);

// The style index (istd) that a paragraph of this format refers to: Normal,
// or Heading 1..3.
std::uint16_t paragraphStyle(const ParagraphFormat& format);

// GrpPrlAndIstd: the style index followed by the paragraph's own sprms.
Grpprl encodeParagraph(const ParagraphFormat& format);

// The page as written: unusable sizes and margins replaced by workable ones.
PageSetup usablePage(const PageSetup& page);

// The room for text (and inline pictures) between the margins, in twips.
struct TextArea {
    int width = 0;
    int height = 0;
};
TextArea textArea(const PageSetup& page);

Grpprl encodeSection(const PageSetup& page);

} // namespace pwt::doc

#pragma once
// Formatted disk pages (FKPs): the 512-byte pages of the WordDocument stream
// that map ranges of text (by stream offset, FC) to character properties
// (CHPX) or paragraph properties (PAPX), and the bin tables (PlcBteChpx,
// PlcBtePapx) that index those pages.
#include "ByteBuffer.h"
#include "TextLayout.h"

#include <cstdint>
#include <vector>

namespace pwt::doc {

inline constexpr std::size_t kPageSize = 512;

// Appends the pages to `stream` (padding it to a page boundary first) and
// returns the bin table for the table stream. Run i covers the text from the
// end of run i-1 (or from fcText) to fcText + 2 * runs[i].cpEnd.
ByteBuffer writeCharacterPages(ByteBuffer& stream, std::uint32_t fcText, const std::vector<PropertyRun>& runs,
                               const PropertyPool& pool);
ByteBuffer writeParagraphPages(ByteBuffer& stream, std::uint32_t fcText, const std::vector<PropertyRun>& runs,
                               const PropertyPool& pool);

} // namespace pwt::doc

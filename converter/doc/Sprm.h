#pragma once
// Single property modifiers (sprms) this writer emits. The top three bits of
// each code give the operand size, which Grpprl relies on.
#include <cstdint>

namespace pwt::doc::sprm {

// Character properties
inline constexpr std::uint16_t CFBold = 0x0835;
inline constexpr std::uint16_t CFItalic = 0x0836;
inline constexpr std::uint16_t CFSmallCaps = 0x083A;
inline constexpr std::uint16_t CFSpec = 0x0855;        // field characters
inline constexpr std::uint16_t CIss = 0x2A48;          // 0 normal, 1 superscript, 2 subscript
inline constexpr std::uint16_t CHps = 0x4A43;          // size in half-points
inline constexpr std::uint16_t CHpsBi = 0x4A61;
inline constexpr std::uint16_t CRgFtc0 = 0x4A4F;       // ASCII font
inline constexpr std::uint16_t CRgFtc1 = 0x4A50;       // East Asian font
inline constexpr std::uint16_t CRgFtc2 = 0x4A51;       // other (non East Asian) font
inline constexpr std::uint16_t CRgLid0_80 = 0x486D;
inline constexpr std::uint16_t CRgLid1_80 = 0x486E;
inline constexpr std::uint16_t CRgLid0 = 0x4873;
inline constexpr std::uint16_t CRgLid1 = 0x4874;
inline constexpr std::uint16_t CCv = 0x6870;           // COLORREF
inline constexpr std::uint16_t CDxaSpace = 0x8840;     // twips after each character
inline constexpr std::uint16_t CPicLocation = 0x6A03;  // offset of a picture's PICF in the Data stream

// Paragraph properties
inline constexpr std::uint16_t PJc80 = 0x2403;
inline constexpr std::uint16_t PJc = 0x2461;
inline constexpr std::uint16_t PFKeepFollow = 0x2406;
inline constexpr std::uint16_t PDxaRight80 = 0x840E;
inline constexpr std::uint16_t PDxaLeft80 = 0x840F;
inline constexpr std::uint16_t PDxaLeft180 = 0x8411;
inline constexpr std::uint16_t PDxaRight = 0x845D;
inline constexpr std::uint16_t PDxaLeft = 0x845E;
inline constexpr std::uint16_t PDxaLeft1 = 0x8460;
inline constexpr std::uint16_t PDyaLine = 0x6412;      // LSPD
inline constexpr std::uint16_t PDyaBefore = 0xA413;
inline constexpr std::uint16_t PDyaAfter = 0xA414;
inline constexpr std::uint16_t POutLvl = 0x2640;
inline constexpr std::uint16_t PChgTabsPapx = 0xC60D;  // tab stops: deleted, then added
inline constexpr std::uint16_t PShd80 = 0x442D;        // SHD80: shading in the 16-colour palette
inline constexpr std::uint16_t PShd = 0xC64D;          // SHDOperand: shading in any colour
inline constexpr std::uint16_t PFPageBreakBefore = 0x2407;
inline constexpr std::uint16_t PFInTable = 0x2416;     // the paragraph is in a table cell
inline constexpr std::uint16_t PFTtp = 0x2417;         // the paragraph ends a table row
inline constexpr std::uint16_t PItap = 0x6649;         // table depth: 1 for a table in the body
inline constexpr std::uint16_t PHugePapx = 0x6646;     // the properties are a PrcData in the Data stream
inline constexpr std::uint16_t PIlvl = 0x260A;         // list level, 0-based
inline constexpr std::uint16_t PIlfo = 0x460B;         // list override, 1-based index into PlfLfo

// Table properties, given on a row's end mark
inline constexpr std::uint16_t TDxaGapHalf = 0x9602;   // half the gap between cells' text
inline constexpr std::uint16_t TDefTable = 0xD608;     // cell edges and TC80s; two-byte operand length
inline constexpr std::uint16_t TTableHeader = 0x3404;  // the row repeats at the top of each page
inline constexpr std::uint16_t TDyaRowHeight = 0x9407; // positive: the least height
inline constexpr std::uint16_t TDefTableShd80 = 0xD609; // SHD80 per cell, palette colours
inline constexpr std::uint16_t TDefTableShd = 0xD612;   // Shd per cell, cells 1..22
inline constexpr std::uint16_t TDefTableShd2nd = 0xD616; // cells 23..44
inline constexpr std::uint16_t TDefTableShd3rd = 0xD60C; // cells 45..63
inline constexpr std::uint16_t TSetBrc = 0xD62F;        // a Brc (any colour) for sides of a range of cells

// Section properties
inline constexpr std::uint16_t SBkc = 0x3009;          // break kind; 2 = new page
inline constexpr std::uint16_t SDyaHdrTop = 0xB017;
inline constexpr std::uint16_t SDyaHdrBottom = 0xB018;
inline constexpr std::uint16_t SBOrientation = 0x301D; // 1 portrait, 2 landscape
inline constexpr std::uint16_t SFPgnRestart = 0x3011;  // 1: page numbers restart at this section
inline constexpr std::uint16_t SPgnStart97 = 0x501C;   // ...at this number
inline constexpr std::uint16_t SXaPage = 0xB01F;
inline constexpr std::uint16_t SYaPage = 0xB020;
inline constexpr std::uint16_t SDxaLeft = 0xB021;
inline constexpr std::uint16_t SDxaRight = 0xB022;
inline constexpr std::uint16_t SDyaTop = 0x9023;
inline constexpr std::uint16_t SDyaBottom = 0x9024;
inline constexpr std::uint16_t SCcolumns = 0x500B;      // number of text columns less one
inline constexpr std::uint16_t SDxaColumns = 0x900C;    // gap between evenly spaced columns
inline constexpr std::uint16_t SFEvenlySpaced = 0x3005; // 0: each column's width and gap given
inline constexpr std::uint16_t SDxaColWidth = 0xF203;   // column index, its width
inline constexpr std::uint16_t SDxaColSpacing = 0xF204; // column index, the gap after it

} // namespace pwt::doc::sprm

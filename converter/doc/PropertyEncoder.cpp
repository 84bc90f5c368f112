#include "PropertyEncoder.h"

#include "Sprm.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace pwt::doc {
namespace {

// Word 97's 16-colour palette (Ico), index 1..16, as 0xRRGGBB.
constexpr std::array<std::uint32_t, 16> kIcoPalette = {
    0x000000, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0xFFFF00, 0xFFFFFF,
    0x000080, 0x008080, 0x008000, 0x800080, 0x800000, 0x808000, 0x808080, 0xC0C0C0,
};

} // namespace

std::uint32_t colorref(std::uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

std::uint32_t icoColor(std::uint16_t ico)
{
    return ico >= 1 && ico <= kIcoPalette.size() ? kIcoPalette[ico - 1u] : 0x000000;
}

std::uint16_t nearestIco(std::uint32_t rgb)
{
    auto channel = [](std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
    std::size_t best = 0;
    int bestDistance = -1;
    for (std::size_t i = 0; i < kIcoPalette.size(); ++i) {
        int distance = 0;
        for (int shift : {16, 8, 0}) {
            const int d = channel(rgb, shift) - channel(kIcoPalette[i], shift);
            distance += d * d;
        }
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint16_t>(best + 1);
}

namespace {

constexpr int kMaxTwips = kMaxPageTwips;
constexpr int kMinPageSide = 144;    // 0.1 inch
constexpr int kMaxPageNumber = 32767; // a signed 16-bit number in the file
constexpr int kDefaultHeaderDistance = 720; // half an inch

int clampTwips(int v) { return std::clamp(v, -kMaxTwips, kMaxTwips); }

std::uint8_t jc(Alignment a)
{
    switch (a) {
    case Alignment::Center: return 1;
    case Alignment::Right: return 2;
    case Alignment::Justify: return 3;
    case Alignment::Left: break;
    }
    return 0;
}

// The "clear" shading pattern: the background colour alone, as Word writes a fill.
constexpr std::uint16_t kIpatClear = 0;

// Paragraph shading twice: SHD80 (palette) for Word 97 era readers, then
// SHDOperand (any colour), which newer readers prefer.
void addShading(Grpprl& g, std::uint32_t rgb)
{
    constexpr int kIcoBackShift = 5;
    constexpr int kIpatShift = 10;
    g.add16(sprm::PShd80, static_cast<std::uint16_t>((nearestIco(rgb) << kIcoBackShift) | (kIpatClear << kIpatShift)));
    Grpprl shd; // cvFore, cvBack, ipat
    shd.put16(static_cast<std::uint16_t>(kAutoColorref & 0xFFFF));
    shd.put16(static_cast<std::uint16_t>(kAutoColorref >> 16));
    const std::uint32_t back = colorref(rgb & 0xFFFFFF);
    shd.put16(static_cast<std::uint16_t>(back & 0xFFFF));
    shd.put16(static_cast<std::uint16_t>(back >> 16));
    shd.put16(kIpatClear);
    g.addVariable(sprm::PShd, shd.bytes());
}

} // namespace

Grpprl encodeCharacter(const CharFormat& format, FontTable& fonts)
{
    Grpprl g;
    const std::uint16_t latin = fonts.latin(format.fontFamily, format.fontKind);
    g.add16(sprm::CRgFtc0, latin);
    g.add16(sprm::CRgFtc2, latin);
    if (!format.eastAsianFamily.empty())
        g.add16(sprm::CRgFtc1, fonts.eastAsian(format.eastAsianFamily, format.eastAsianKind));
    const auto hps = static_cast<std::uint16_t>(std::clamp(format.halfPoints, kMinHalfPoints, kMaxHalfPoints));
    g.add16(sprm::CHps, hps);
    g.add16(sprm::CHpsBi, hps);
    // Explicit on and off: a heading style's bold must not leak into runs that
    // were not bold on the page.
    g.add8(sprm::CFBold, format.bold ? 1 : 0);
    g.add8(sprm::CFItalic, format.italic ? 1 : 0);
    if (format.smallCaps)
        g.add8(sprm::CFSmallCaps, 1);
    if (format.position == VerticalPosition::Superscript)
        g.add8(sprm::CIss, 1);
    else if (format.position == VerticalPosition::Subscript)
        g.add8(sprm::CIss, 2);
    if (format.letterSpacing != 0)
        g.addSigned16(sprm::CDxaSpace, std::clamp(format.letterSpacing, -kMaxTwips, kMaxTwips));
    if ((format.colorRgb & 0xFFFFFF) != 0)
        g.add32(sprm::CCv, colorref(format.colorRgb));
    return g;
}

std::uint16_t paragraphStyle(const ParagraphFormat& format)
{
    return (format.headingLevel >= 1 && format.headingLevel <= 3) ? static_cast<std::uint16_t>(format.headingLevel) : 0;
}

Grpprl encodeParagraph(const ParagraphFormat& format)
{
    Grpprl g;
    const std::uint16_t istd = paragraphStyle(format);
    g.put16(istd);
    if (istd != 0)
        g.add8(sprm::POutLvl, static_cast<std::uint8_t>(istd - 1));
    if (const std::uint8_t j = jc(format.alignment); j != 0) {
        g.add8(sprm::PJc80, j);
        g.add8(sprm::PJc, j);
    }
    // The pre-2000 sprms for older readers, then the current ones.
    if (const int left = clampTwips(format.leftIndent); left != 0) {
        g.addSigned16(sprm::PDxaLeft80, left);
        g.addSigned16(sprm::PDxaLeft, left);
    }
    if (const int right = clampTwips(format.rightIndent); right != 0) {
        g.addSigned16(sprm::PDxaRight80, right);
        g.addSigned16(sprm::PDxaRight, right);
    }
    if (const int first = clampTwips(format.firstLineIndent); first != 0) {
        g.addSigned16(sprm::PDxaLeft180, first);
        g.addSigned16(sprm::PDxaLeft1, first);
    }
    // A heading's style has spacing of its own: the PDF's spacing overrides
    // it even where it is none, or the page runs longer than the PDF's.
    const bool styleSpaced = format.headingLevel > 0;
    if (const int before = std::clamp(format.spaceBefore, 0, kMaxTwips); before != 0 || styleSpaced)
        g.add16(sprm::PDyaBefore, static_cast<std::uint16_t>(before));
    if (const int after = std::clamp(format.spaceAfter, 0, kMaxTwips); after != 0 || styleSpaced)
        g.add16(sprm::PDyaAfter, static_cast<std::uint16_t>(after));
    if (format.exactLineSpacing > 0) {
        // LSPD: a negative dyaLine with fMultLinespace = 0 sets lines exactly this far apart.
        const auto line = static_cast<std::uint16_t>(-std::min(format.exactLineSpacing, kMaxTwips));
        g.add32(sprm::PDyaLine, static_cast<std::uint32_t>(line));
    } else if (format.lineSpacing != kSingleLineSpacing && format.lineSpacing > 0) {
        // LSPD: dyaLine in 240ths of a line, then fMultLinespace = 1 (auto rule).
        const auto line = static_cast<std::uint16_t>(std::min(format.lineSpacing, 32767));
        g.add32(sprm::PDyaLine, static_cast<std::uint32_t>(line) | (1u << 16));
    }
    if (const int tab = std::clamp(format.referenceTab.position, 0, kMaxTwips); tab > 0) {
        // PChgTabsPapxOperand: no stop deleted, one added: its position and
        // its TBD (jc 2: right-aligned; tlc 1: dot leader).
        std::string operand;
        operand += '\0';
        operand += '\1';
        operand += static_cast<char>(tab & 0xFF);
        operand += static_cast<char>((tab >> 8) & 0xFF);
        operand += static_cast<char>(2 | (format.referenceTab.dotLeader ? 1 << 3 : 0));
        g.addVariable(sprm::PChgTabsPapx, operand);
    }
    if (format.shaded)
        addShading(g, format.shadingRgb);
    return g;
}

PageSetup usablePage(const PageSetup& requested)
{
    const PageSetup defaults;
    PageSetup page = requested;
    if (page.width < kMinPageSide || page.height < kMinPageSide) {
        page.width = defaults.width;
        page.height = defaults.height;
    }
    page.width = std::min(page.width, kMaxTwips);
    page.height = std::min(page.height, kMaxTwips);
    // Margins that leave no room for text fall back to the defaults.
    auto fits = [](int a, int b, int side) { return a >= 0 && b >= 0 && a + b <= side - kMinPageSide; };
    if (!fits(page.marginLeft, page.marginRight, page.width)) {
        page.marginLeft = std::min(defaults.marginLeft, page.width / 4);
        page.marginRight = page.marginLeft;
    }
    if (!fits(page.marginTop, page.marginBottom, page.height)) {
        page.marginTop = std::min(defaults.marginTop, page.height / 4);
        page.marginBottom = page.marginTop;
    }
    return page;
}

TextArea textArea(const PageSetup& requested)
{
    const PageSetup page = usablePage(requested);
    return {page.width - page.marginLeft - page.marginRight, page.height - page.marginTop - page.marginBottom};
}

namespace {

// Word's limit on a section's columns.
constexpr std::size_t kMaxColumns = 44;
// Columns this close in width (twips) and gap are evenly spaced.
constexpr int kEvenTolerance = 20;

// The section's columns: evenly spaced as one gap, otherwise each column's
// width and gap. Columns that do not fit the text width (a page whose
// margins were mended) are left out: the section keeps one column.
void encodeColumns(Grpprl& g, const PageSetup& page)
{
    const auto& columns = page.columns;
    if (columns.size() < 2 || columns.size() > kMaxColumns)
        return;
    long total = 0;
    for (const TextColumn& c : columns) {
        if (c.width <= 0 || c.spaceAfter < 0)
            return;
        total += c.width + c.spaceAfter;
    }
    if (total > page.width - page.marginLeft - page.marginRight + kEvenTolerance)
        return;
    g.add16(sprm::SCcolumns, static_cast<std::uint16_t>(columns.size() - 1));
    bool even = true;
    for (std::size_t i = 1; i < columns.size(); ++i)
        even = even && std::abs(columns[i].width - columns[0].width) <= kEvenTolerance
            && (i + 1 == columns.size() || std::abs(columns[i].spaceAfter - columns[0].spaceAfter) <= kEvenTolerance);
    g.add16(sprm::SDxaColumns, static_cast<std::uint16_t>(columns[0].spaceAfter));
    if (even)
        return;
    g.add8(sprm::SFEvenlySpaced, 0);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const auto index = static_cast<std::uint8_t>(i);
        g.addIndexed16(sprm::SDxaColWidth, index, static_cast<std::uint16_t>(columns[i].width));
        if (i + 1 < columns.size())
            g.addIndexed16(sprm::SDxaColSpacing, index, static_cast<std::uint16_t>(columns[i].spaceAfter));
    }
}

} // namespace

Grpprl encodeSection(const PageSetup& requested)
{
    const PageSetup page = usablePage(requested);
    Grpprl g;
    g.add8(sprm::SBkc, page.continuous ? 0 : 2); // 0: continuous, 2: on a new page
    if (page.landscape())
        g.add8(sprm::SBOrientation, 2); // portrait is the default; some readers take any value as landscape
    if (page.firstPageNumber > 0) {
        g.add8(sprm::SFPgnRestart, 1);
        g.add16(sprm::SPgnStart97, static_cast<std::uint16_t>(std::min(page.firstPageNumber, kMaxPageNumber)));
    }
    g.add16(sprm::SXaPage, static_cast<std::uint16_t>(page.width));
    g.add16(sprm::SYaPage, static_cast<std::uint16_t>(page.height));
    g.add16(sprm::SDxaLeft, static_cast<std::uint16_t>(page.marginLeft));
    g.add16(sprm::SDxaRight, static_cast<std::uint16_t>(page.marginRight));
    g.add16(sprm::SDyaTop, static_cast<std::uint16_t>(page.marginTop));
    g.add16(sprm::SDyaBottom, static_cast<std::uint16_t>(page.marginBottom));
    // Header and footer where the document puts them; else halfway into
    // their margins, at most half an inch out.
    auto distance = [](int given, int margin) {
        return static_cast<std::uint16_t>(given > 0 ? std::min(given, margin) : std::min(kDefaultHeaderDistance, margin / 2));
    };
    g.add16(sprm::SDyaHdrTop, distance(page.headerDistance, page.marginTop));
    g.add16(sprm::SDyaHdrBottom, distance(page.footerDistance, page.marginBottom));
    encodeColumns(g, page);
    return g;
}

} // namespace pwt::doc

#include "TableEncoder.h"

#include "PropertyEncoder.h"
#include "Sprm.h"

#include <algorithm>

namespace pwt::doc {
namespace {

// Table positions are signed 16-bit twips; Word keeps them within 22 inches.
constexpr int kMaxTablePosition = 31680;
// Brc80 widths for a single line are 2..96 eighths of a point.
constexpr int kMinBorderWidth = 2;
constexpr int kMaxBorderWidth = 96;
constexpr std::uint8_t kBrcSingle = 1;
// TC80 flags (tcgrf)
constexpr std::uint16_t kVertMerge = 1u << 5;
constexpr std::uint16_t kVertRestart = 1u << 6;
constexpr int kVertAlignShift = 7;
constexpr int kFtsWidthShift = 9;
constexpr std::uint16_t kFtsDxa = 3; // the preferred width is in twips
// Shd arrays: at most 22 cells per sprm.
constexpr std::size_t kShdPerSprm = 22;
constexpr int kIcoBackShift = 5;
// TableBrcOperand.bordersToApply
constexpr std::uint8_t kApplyTop = 0x01, kApplyLeft = 0x02, kApplyBottom = 0x04, kApplyRight = 0x08;

void putU16(std::string& s, std::uint16_t v)
{
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}

void putU32(std::string& s, std::uint32_t v)
{
    putU16(s, static_cast<std::uint16_t>(v & 0xFFFF));
    putU16(s, static_cast<std::uint16_t>(v >> 16));
}

int borderWidth(const CellBorder& b) { return std::clamp(b.width, kMinBorderWidth, kMaxBorderWidth); }

// Brc80: width, type, palette colour, spacing; all zero: no border.
void putBrc80(std::string& s, const CellBorder& b)
{
    if (b.width <= 0) {
        putU32(s, 0);
        return;
    }
    s.push_back(static_cast<char>(borderWidth(b)));
    s.push_back(static_cast<char>(kBrcSingle));
    s.push_back(static_cast<char>(nearestIco(b.rgb)));
    s.push_back('\0');
}

std::uint16_t vertAlign(CellAlignment a)
{
    switch (a) {
    case CellAlignment::Center: return 1;
    case CellAlignment::Bottom: return 2;
    case CellAlignment::Top: break;
    }
    return 0;
}

// TDefTableOperand after its length: the cell count, the edges from the
// table's left (rgdxaCenter), then a TC80 per cell.
std::string tableDefinition(const TableRow& row, int leftIndent, int padding)
{
    std::string op;
    op.push_back(static_cast<char>(row.cells.size()));
    // The first cell's edge stands out by the padding, so that its text lines up with the indent.
    int edge = std::clamp(leftIndent - padding, -kMaxTablePosition, kMaxTablePosition);
    putU16(op, static_cast<std::uint16_t>(static_cast<std::int16_t>(edge)));
    for (const TableCell& c : row.cells) {
        edge = std::min(edge + c.width, kMaxTablePosition);
        putU16(op, static_cast<std::uint16_t>(static_cast<std::int16_t>(edge)));
    }
    for (const TableCell& c : row.cells) {
        std::uint16_t flags = static_cast<std::uint16_t>(vertAlign(c.verticalAlignment) << kVertAlignShift);
        flags = static_cast<std::uint16_t>(flags | (kFtsDxa << kFtsWidthShift));
        if (c.verticalMerge == VerticalMerge::Restart)
            flags |= kVertMerge | kVertRestart;
        else if (c.verticalMerge == VerticalMerge::Continue)
            flags |= kVertMerge;
        putU16(op, flags);
        putU16(op, static_cast<std::uint16_t>(std::min(c.width, kMaxTablePosition)));
        for (const CellBorder* b : {&c.top, &c.left, &c.bottom, &c.right})
            putBrc80(op, *b);
    }
    return op;
}

// Cell shading twice, as for paragraphs: SHD80 per cell for old readers, Shd
// (any colour) for newer ones, in groups of 22 cells. Cells after the last
// shaded one are left out; unshaded ones before it are automatic (none).
void addShading(Grpprl& g, const TableRow& row)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < row.cells.size(); ++i)
        if (row.cells[i].shaded)
            count = i + 1;
    if (count == 0)
        return;
    std::string shd80;
    for (std::size_t i = 0; i < count; ++i)
        putU16(shd80, row.cells[i].shaded
                          ? static_cast<std::uint16_t>(nearestIco(row.cells[i].shadingRgb) << kIcoBackShift)
                          : std::uint16_t{0});
    g.addVariable(sprm::TDefTableShd80, shd80);
    const std::uint16_t groups[] = {sprm::TDefTableShd, sprm::TDefTableShd2nd, sprm::TDefTableShd3rd};
    for (std::size_t group = 0; group * kShdPerSprm < count && group < std::size(groups); ++group) {
        std::string shd;
        for (std::size_t i = group * kShdPerSprm; i < std::min(count, (group + 1) * kShdPerSprm); ++i) {
            const TableCell& c = row.cells[i];
            putU32(shd, kAutoColorref); // cvFore
            putU32(shd, c.shaded ? colorref(c.shadingRgb & 0xFFFFFF) : kAutoColorref);
            putU16(shd, 0); // ipat: clear, the background colour alone
        }
        g.addVariable(groups[group], shd);
    }
}

// Borders whose colour the palette lacks, again as a Brc in any colour
// (TableBrcOperand): one per cell and set of sides that share a border.
void addExactBorderColours(Grpprl& g, const TableRow& row)
{
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
        const TableCell& c = row.cells[i];
        const std::pair<const CellBorder*, std::uint8_t> sides[] = {
            {&c.top, kApplyTop}, {&c.left, kApplyLeft}, {&c.bottom, kApplyBottom}, {&c.right, kApplyRight}};
        std::uint8_t done = 0;
        for (const auto& [border, bit] : sides) {
            if (border->width <= 0 || (done & bit) || icoColor(nearestIco(border->rgb)) == (border->rgb & 0xFFFFFF))
                continue;
            std::uint8_t apply = 0;
            for (const auto& [other, otherBit] : sides)
                if (*other == *border)
                    apply |= otherBit;
            done |= apply;
            std::string op;
            op.push_back(static_cast<char>(i));     // itcFirst
            op.push_back(static_cast<char>(i + 1)); // itcLim
            op.push_back(static_cast<char>(apply));
            putU32(op, colorref(border->rgb & 0xFFFFFF));
            op.push_back(static_cast<char>(borderWidth(*border)));
            op.push_back(static_cast<char>(kBrcSingle));
            putU16(op, 0); // dptSpace, fShadow, fFrame
            g.addVariable(sprm::TSetBrc, op);
        }
    }
}

} // namespace

TableRow writableRow(const TableRow& row, bool firstRow)
{
    TableRow out;
    out.height = row.height;
    out.header = row.header;
    for (const TableCell& c : row.cells) {
        if (out.cells.size() < kMaxTableColumns) {
            out.cells.push_back(c);
        } else {
            TableCell& last = out.cells.back();
            last.width += std::max(c.width, 0);
            last.paragraphs.insert(last.paragraphs.end(), c.paragraphs.begin(), c.paragraphs.end());
        }
    }
    for (TableCell& c : out.cells) {
        c.width = std::clamp(c.width, kMinCellWidth, kMaxTablePosition);
        if (c.verticalMerge == VerticalMerge::Continue) {
            if (firstRow)
                c.verticalMerge = VerticalMerge::None; // nothing above to continue
            else
                c.paragraphs.clear();
        }
    }
    return out;
}

Grpprl encodeCellParagraph(const ParagraphFormat& format, bool pageBreakBefore)
{
    Grpprl g = encodeParagraph(format);
    if (pageBreakBefore)
        g.add8(sprm::PFPageBreakBefore, 1);
    g.add8(sprm::PFInTable, 1);
    g.add32(sprm::PItap, 1);
    return g;
}

Grpprl rowEndMarks()
{
    Grpprl g;
    g.add8(sprm::PFInTable, 1);
    g.add8(sprm::PFTtp, 1);
    g.add32(sprm::PItap, 1);
    return g;
}

int tablePadding(const std::vector<TableRow>& rows)
{
    int padding = kCellPadding;
    for (const TableRow& row : rows)
        for (const TableCell& c : row.cells)
            padding = std::min(padding, std::max(c.width, kMinCellWidth) / kNarrowestCellPerPadding);
    return padding;
}

Grpprl encodeRowEnd(const TableRow& row, int leftIndent, bool header, int padding)
{
    Grpprl g;
    g.put16(0); // Normal
    g.append(rowEndMarks());
    g.addSigned16(sprm::TDxaGapHalf, padding);
    g.addTableDefinition(tableDefinition(row, leftIndent, padding));
    if (header)
        g.add8(sprm::TTableHeader, 1);
    if (row.height > 0)
        g.addSigned16(sprm::TDyaRowHeight, std::min(row.height, kMaxTablePosition));
    addShading(g, row);
    addExactBorderColours(g, row);
    return g;
}

} // namespace pwt::doc

#include "ListTable.h"

#include "Sprm.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace pwt::doc {
namespace {

// MSONFC: how a level numbers its items.
constexpr std::uint8_t kNfcDecimal = 0;
constexpr std::uint8_t kNfcUpperRoman = 1;
constexpr std::uint8_t kNfcLowerRoman = 2;
constexpr std::uint8_t kNfcUpperLetter = 3;
constexpr std::uint8_t kNfcLowerLetter = 4;
constexpr std::uint8_t kNfcBullet = 23;
// Chinese counting (一 二 三), which Word and LibreOffice both show as such
// in Simplified Chinese text.
constexpr std::uint8_t kNfcChineseCounting = 39;

constexpr std::uint8_t kFollowTab = 0; // LVLF.ixchFollow: a tab between label and text
constexpr std::uint16_t kNoStyle = 0x0FFF;
// Lists get ids from here on: any non-zero number unique in the document does.
constexpr std::uint32_t kFirstListId = 0x2F000001;
// A label longer than this is cut: no list label needs more, and Word's
// own dialog takes fewer.
constexpr std::size_t kMaxLabelLength = 64;
// Levels the document leaves undefined step in by this much each (twips).
constexpr int kDefaultLevelStep = 360;
constexpr int kMaxIndent = 31680; // 22 inches, Word's limit for indents
constexpr int kMaxStart = 32767;

std::uint8_t nfc(NumberFormat format)
{
    switch (format) {
    case NumberFormat::Bullet: return kNfcBullet;
    case NumberFormat::Decimal: return kNfcDecimal;
    case NumberFormat::LowerLetter: return kNfcLowerLetter;
    case NumberFormat::UpperLetter: return kNfcUpperLetter;
    case NumberFormat::LowerRoman: return kNfcLowerRoman;
    case NumberFormat::UpperRoman: return kNfcUpperRoman;
    case NumberFormat::ChineseCounting: return kNfcChineseCounting;
    }
    return kNfcDecimal;
}

// Symbol is a font of its own encoding: Word reaches its glyphs at U+F000
// plus their code, and shows nothing for the Unicode characters they stand
// for. The bullets a list may show, by their Symbol codes.
constexpr std::uint16_t kSymbolFontBase = 0xF000;
constexpr std::pair<char16_t, std::uint8_t> kSymbolCodes[] = {
    {u'\u2022', 0xB7}, // bullet
    {u'\u22C5', 0xD7}, // dot operator
    {u'\u2212', 0x2D}, // minus
    {u'\u2192', 0xAE}, // arrow right
    {u'\u25CA', 0xE0}, // lozenge
    {u'\u2663', 0xA7}, // club
    {u'\u2666', 0xA8}, // diamond
    {u'\u2665', 0xA9}, // heart
    {u'\u2660', 0xAA}, // spade
};
constexpr std::string_view kSymbolFont = "Symbol";

// A bullet's characters as the Symbol font codes them; empty when one of
// them is not in it (the bullet then goes in the item's own font).
std::u16string inSymbolFont(const std::u16string& bullet)
{
    std::u16string out;
    for (char16_t c : bullet) {
        if (c >= kSymbolFontBase && c <= kSymbolFontBase + 0xFF) {
            out.push_back(c); // already a Symbol code
            continue;
        }
        const auto* code = std::find_if(std::begin(kSymbolCodes), std::end(kSymbolCodes), [c](const auto& p) { return p.first == c; });
        if (code == std::end(kSymbolCodes))
            return {};
        out.push_back(static_cast<char16_t>(kSymbolFontBase + code->second));
    }
    return out;
}

// A level the document does not define: numbered "1." and stepped in, so a
// paragraph that names it still reads sensibly.
ListLevel defaultLevel(int level)
{
    ListLevel l;
    l.format = NumberFormat::Decimal;
    l.label = u"%" + std::u16string(1, static_cast<char16_t>(u'1' + level)) + u".";
    l.textIndent = kDefaultLevelStep * (level + 1);
    l.labelIndent = l.textIndent - kDefaultLevelStep;
    return l;
}

// The number text (xst) of a level: "%N" becomes the placeholder N-1 for the
// number of level N; a bullet shows its characters as they are. `numbers`
// gets the 1-based places of the placeholders (rgbxchNums).
std::u16string numberText(const ListLevel& l, int level, std::uint8_t (&numbers)[kListLevels])
{
    std::fill(std::begin(numbers), std::end(numbers), std::uint8_t{0});
    std::u16string text;
    std::size_t placeholders = 0;
    const std::u16string& label = l.label;
    for (std::size_t i = 0; i < label.size() && text.size() < kMaxLabelLength; ++i) {
        const char16_t c = label[i];
        const bool placeholder = c == u'%' && i + 1 < label.size() && label[i + 1] >= u'1' && label[i + 1] <= u'9';
        if (!placeholder) {
            // Characters below a space would read as placeholders.
            if (c >= u' ')
                text.push_back(c);
            continue;
        }
        const int referred = label[++i] - u'1';
        // A bullet has no numbers, and a level shows none of deeper levels.
        if (l.format == NumberFormat::Bullet || referred > level)
            continue;
        text.push_back(static_cast<char16_t>(referred));
        if (placeholders < kListLevels)
            numbers[placeholders++] = static_cast<std::uint8_t>(text.size());
    }
    if (text.empty() && l.format == NumberFormat::Bullet)
        text = u"\u2022"; // a bullet that shows nothing would not read as a list
    return text;
}

void putTabStop(Grpprl& g, int position)
{
    // PChgTabsPapxOperand: none deleted, one added, a left tab (TBD 0).
    std::string operand;
    operand += '\0';
    operand += '\1';
    operand += static_cast<char>(position & 0xFF);
    operand += static_cast<char>((position >> 8) & 0xFF);
    operand += '\0';
    g.addVariable(sprm::PChgTabsPapx, operand);
}

void putLevel(ByteBuffer& out, const ListLevel& given, int level, FontTable& fonts)
{
    ListLevel l = given;
    if (l.format == NumberFormat::Bullet && l.labelFont == kSymbolFont) {
        l.label = inSymbolFont(l.label);
        if (l.label.empty()) {
            l.label = given.label;
            l.labelFont.clear();
        }
    }
    std::uint8_t numbers[kListLevels];
    const std::u16string text = numberText(l, level, numbers);
    const int textIndent = std::clamp(l.textIndent, 0, kMaxIndent);
    const int labelIndent = std::clamp(l.labelIndent, 0, kMaxIndent);

    Grpprl papx; // where label and text stand: the old sprms for older readers, then the current ones
    papx.addSigned16(sprm::PDxaLeft80, textIndent);
    papx.addSigned16(sprm::PDxaLeft, textIndent);
    papx.addSigned16(sprm::PDxaLeft180, labelIndent - textIndent);
    papx.addSigned16(sprm::PDxaLeft1, labelIndent - textIndent);
    if (textIndent > labelIndent)
        putTabStop(papx, textIndent);
    Grpprl chpx;
    if (!l.labelFont.empty()) {
        const std::uint16_t ftc = fonts.latin(l.labelFont, FontKind::Serif);
        chpx.add16(sprm::CRgFtc0, ftc);
        chpx.add16(sprm::CRgFtc2, ftc);
    }

    // LVLF
    out.u32(static_cast<std::uint32_t>(std::clamp(l.start, 0, kMaxStart)));
    out.u8(nfc(l.format));
    out.u8(0); // jc left; not legal, restarts after a higher level, no saved indent
    for (std::uint8_t n : numbers)
        out.u8(n);
    out.u8(kFollowTab);
    out.u32(0); // dxaIndentSav
    out.u32(0); // unused2
    out.u8(static_cast<std::uint8_t>(chpx.size()));
    out.u8(static_cast<std::uint8_t>(papx.size()));
    out.u8(0); // ilvlRestartLim
    out.u8(0); // grfhic
    out.append(papx.bytes());
    out.append(chpx.bytes());
    // xst
    out.u16(static_cast<std::uint16_t>(text.size()));
    for (char16_t c : text)
        out.u16(c);
}

} // namespace

ListTables encodeLists(const std::vector<ListDefinition>& allLists, FontTable& fonts)
{
    ListTables out;
    const std::vector<ListDefinition> lists(allLists.begin(),
                                            allLists.begin() + static_cast<std::ptrdiff_t>(std::min(allLists.size(), kMaxLists)));
    if (lists.empty())
        return out;
    out.plfLst.u16(static_cast<std::uint16_t>(lists.size()));
    for (std::size_t i = 0; i < lists.size(); ++i) {
        // LSTF: a list of nine levels, tied to no style.
        out.plfLst.u32(kFirstListId + static_cast<std::uint32_t>(i)); // lsid
        out.plfLst.u32(0);                                            // tplc
        for (int level = 0; level < kListLevels; ++level)
            out.plfLst.u16(kNoStyle); // rgistdPara
        out.plfLst.u8(0); // not a simple list, not auto-numbered, not hybrid
        out.plfLst.u8(0); // grfhic
        const std::vector<ListLevel>& levels = lists[i].levels;
        for (int level = 0; level < kListLevels; ++level) {
            const auto at = static_cast<std::size_t>(level);
            putLevel(out.levels, at < levels.size() ? levels[at] : defaultLevel(level), level, fonts);
        }
    }
    // One override per list, overriding nothing.
    out.plfLfo.u32(static_cast<std::uint32_t>(lists.size()));
    for (std::size_t i = 0; i < lists.size(); ++i) {
        out.plfLfo.u32(kFirstListId + static_cast<std::uint32_t>(i)); // lsid
        out.plfLfo.u32(0); // unused1
        out.plfLfo.u32(0); // unused2
        out.plfLfo.u8(0);  // clfolvl
        out.plfLfo.u8(0);  // ibstFltAutoNum
        out.plfLfo.u8(0);  // grfhic
        out.plfLfo.u8(0);  // unused3
    }
    for (std::size_t i = 0; i < lists.size(); ++i)
        out.plfLfo.u32(0); // LFOData: cp, no level overrides
    return out;
}

Grpprl listItemProperties(int list, int level, std::size_t listCount)
{
    Grpprl g;
    if (list < 0 || static_cast<std::size_t>(list) >= std::min(listCount, kMaxLists))
        return g;
    g.add8(sprm::PIlvl, static_cast<std::uint8_t>(std::clamp(level, 0, kListLevels - 1)));
    g.add16(sprm::PIlfo, static_cast<std::uint16_t>(list + 1));
    return g;
}

} // namespace pwt::doc

#include "StyleSheet.h"

#include "FontTable.h"
#include "Grpprl.h"
#include "Sprm.h"

#include <cstdint>
#include <string>

namespace pwt::doc {
namespace {

constexpr std::uint16_t kNoStyle = 0x0FFF;
constexpr std::uint16_t kStkParagraph = 1;
constexpr std::uint16_t kStkCharacter = 2;
constexpr std::uint16_t kStiDefaultParagraphFont = 65;
constexpr std::uint16_t kIstdDefaultParagraphFont = 10;
constexpr std::uint16_t kFixedStyleSlots = 15;
constexpr std::uint16_t kChineseSimplified = 0x0804;
constexpr std::uint16_t kEnglishUs = 0x0409;

struct StyleDef {
    std::u16string name;
    std::uint16_t sti;
    std::uint16_t stk;
    std::uint16_t istdBase;
    std::uint16_t istdNext;
    Grpprl paragraph; // istd + sprms; paragraph styles only
    Grpprl character;
};

void lpUpx(ByteBuffer& out, const std::string& upx)
{
    out.u16(static_cast<std::uint16_t>(upx.size()));
    out.append(upx);
    out.padTo(2);
}

ByteBuffer encodeStd(const StyleDef& s)
{
    ByteBuffer body;
    body.u16(s.sti);
    body.u16(static_cast<std::uint16_t>(s.stk | (s.istdBase << 4)));
    const std::uint16_t cupx = s.stk == kStkParagraph ? 2 : 1;
    body.u16(static_cast<std::uint16_t>(cupx | (s.istdNext << 4)));
    const std::size_t bchUpeAt = body.size();
    body.u16(0); // bchUpe, set below
    body.u16(0); // grfstd
    body.u16(static_cast<std::uint16_t>(s.name.size()));
    for (char16_t c : s.name)
        body.u16(c);
    body.u16(0);
    if (s.stk == kStkParagraph)
        lpUpx(body, s.paragraph.bytes());
    lpUpx(body, s.character.bytes());
    body.putU16(bchUpeAt, static_cast<std::uint16_t>(body.size()));
    return body;
}

StyleDef normal()
{
    StyleDef s{u"Normal", 0, kStkParagraph, kNoStyle, 0, {}, {}};
    s.paragraph.put16(0);
    s.character.add16(sprm::CRgFtc0, FontTable::kDefaultLatin);
    s.character.add16(sprm::CRgFtc1, FontTable::kDefaultEastAsian);
    s.character.add16(sprm::CRgFtc2, FontTable::kDefaultLatin);
    s.character.add16(sprm::CHps, 24);
    s.character.add16(sprm::CHpsBi, 24);
    s.character.add16(sprm::CRgLid0_80, kEnglishUs);
    s.character.add16(sprm::CRgLid1_80, kChineseSimplified);
    s.character.add16(sprm::CRgLid0, kEnglishUs);
    s.character.add16(sprm::CRgLid1, kChineseSimplified);
    return s;
}

StyleDef heading(std::uint16_t level)
{
    static const std::u16string names[] = {u"heading 1", u"heading 2", u"heading 3"};
    static const std::uint16_t sizes[] = {32, 28, 26}; // 16, 14 and 13 pt
    StyleDef s{names[level - 1], level, kStkParagraph, 0, 0, {}, {}};
    s.paragraph.put16(level);
    s.paragraph.add8(sprm::POutLvl, static_cast<std::uint8_t>(level - 1));
    s.paragraph.add8(sprm::PFKeepFollow, 1);
    s.paragraph.add16(sprm::PDyaBefore, 240);
    s.paragraph.add16(sprm::PDyaAfter, 60);
    s.character.add8(sprm::CFBold, 1);
    s.character.add16(sprm::CHps, sizes[level - 1]);
    s.character.add16(sprm::CHpsBi, sizes[level - 1]);
    return s;
}

StyleDef defaultParagraphFont()
{
    return StyleDef{u"Default Paragraph Font", kStiDefaultParagraphFont, kStkCharacter, kNoStyle,
                    kIstdDefaultParagraphFont, {}, {}};
}

} // namespace

ByteBuffer buildStyleSheet()
{
    ByteBuffer out;
    // STSHI: the Stshif part only, as Word 97 writes it.
    out.u16(18);                                            // cbStshi
    out.u16(kIstdDefaultParagraphFont + 1);                 // cstd
    out.u16(0x000A);                                        // cbSTDBaseInFile: StdfBase only
    out.u16(1);                                             // fStdStylenamesWritten
    out.u16(0x005B);                                        // stiMaxWhenSaved
    out.u16(kFixedStyleSlots);                              // istdMaxFixedWhenSaved
    out.u16(0);                                             // nVerBuiltInNamesWhenSaved
    out.u16(FontTable::kDefaultLatin);                      // ftcAsci
    out.u16(FontTable::kDefaultEastAsian);                  // ftcFE
    out.u16(FontTable::kDefaultLatin);                      // ftcOther

    auto write = [&out](const StyleDef& s) {
        const ByteBuffer std = encodeStd(s);
        out.u16(static_cast<std::uint16_t>(std.size()));
        out.append(std);
    };
    write(normal());
    for (std::uint16_t level = 1; level <= 3; ++level)
        write(heading(level));
    for (std::uint16_t istd = 4; istd < kIstdDefaultParagraphFont; ++istd)
        out.u16(0); // unused fixed slots (Heading 4-9)
    write(defaultParagraphFont());
    return out;
}

} // namespace pwt::doc

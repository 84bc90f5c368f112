#include "FontTable.h"

#include "Unicode.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace pwt::doc {
namespace {

// Windows keeps face names below LF_FACESIZE (32) characters.
constexpr std::size_t kMaxFaceChars = 31;
constexpr std::size_t kMaxFonts = 0x7FF0;

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

// FFID: the pitch (1 fixed, 2 variable), TrueType (4), the family in bits 4-6.
std::uint8_t fontId(FontKind kind)
{
    switch (kind) {
    case FontKind::Typewriter: return 0x01 | 0x04 | (3 << 4); // FF_MODERN
    case FontKind::Sans: return 0x02 | 0x04 | (2 << 4);       // FF_SWISS
    case FontKind::Serif: break;
    }
    return 0x02 | 0x04 | (1 << 4); // FF_ROMAN
}

} // namespace

FontTable::FontTable()
{
    find("Times New Roman", FontKind::Serif, false);
    find("SimSun", FontKind::Serif, true);
    find("Arial", FontKind::Sans, false);
}

std::uint16_t FontTable::latin(const std::string& family, FontKind kind) { return find(family, kind, false); }

std::uint16_t FontTable::eastAsian(const std::string& family, FontKind kind) { return find(family, kind, true); }

std::uint16_t FontTable::find(const std::string& rawFamily, FontKind kind, bool eastAsian)
{
    std::string family = trimmed(rawFamily);
    if (family.empty())
        return eastAsian ? kDefaultEastAsian : kDefaultLatin;
    std::u16string name = utf8ToUtf16(family);
    name.erase(std::remove_if(name.begin(), name.end(), [](char16_t c) { return c < 0x20; }), name.end());
    if (name.size() > kMaxFaceChars)
        name.resize(kMaxFaceChars);
    if (name.empty())
        return eastAsian ? kDefaultEastAsian : kDefaultLatin;

    const auto it = byName_.find(family);
    if (it != byName_.end()) {
        if (eastAsian)
            fonts_[it->second].charset = kGb2312Charset;
        return it->second;
    }
    if (fonts_.size() >= kMaxFonts) // the table's count is 16-bit; Word stops at 0x7FF0
        return eastAsian ? kDefaultEastAsian : kDefaultLatin;
    Font font;
    font.charset = eastAsian ? kGb2312Charset : kAnsiCharset;
    font.kind = kind;
    font.name = std::move(name);
    const auto ftc = static_cast<std::uint16_t>(fonts_.size());
    fonts_.push_back(std::move(font));
    byName_.emplace(std::move(family), ftc);
    return ftc;
}

ByteBuffer FontTable::serialize() const
{
    ByteBuffer out;
    out.u16(static_cast<std::uint16_t>(fonts_.size())); // cData
    out.u16(0);                                         // cbExtra
    for (const Font& font : fonts_) {
        const std::size_t ffnSize = 39 + 2 * (font.name.size() + 1);
        out.u8(static_cast<std::uint8_t>(ffnSize)); // cchData: bytes of this FFN
        out.u8(fontId(font.kind));
        out.i16(400); // wWeight: normal
        out.u8(font.charset);
        out.u8(0);     // ixchSzAlt: no alternate name
        out.zeros(10); // panose: unknown
        // FONTSIGNATURE: Unicode ranges, then code pages (Latin 1; plus GB2312
        // and the CJK ideographs for East Asian faces).
        const bool cjk = font.charset == kGb2312Charset;
        out.u32(cjk ? 0x00000001u : 0x00000003u);
        out.u32(cjk ? 0x08000000u : 0u);
        out.u32(0);
        out.u32(0);
        out.u32(cjk ? 0x00040001u : 0x00000001u);
        out.u32(0);
        for (char16_t c : font.name)
            out.u16(c);
        out.u16(0);
    }
    return out;
}

} // namespace pwt::doc

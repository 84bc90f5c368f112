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

std::string lowered(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Chinese fonts are often named in ASCII; a name in CJK characters is one too.
bool looksEastAsian(const std::string& family, const std::u16string& name)
{
    if (std::any_of(name.begin(), name.end(), [](char16_t c) { return c >= 0x2E80; }))
        return true;
    static const std::array<const char*, 22> hints = {
        "simsun", "simhei", "kaiti", "fangsong", "yahei", "dengxian", "songti", "heiti", "stsong",
        "stkaiti", "stheiti", "stfangsong", "stxihei", "cjk", "source han", "wenquanyi", "wqy",
        "mingliu", "ar pl", "fallback", "youyuan", "lisu"};
    const std::string lower = lowered(family);
    return std::any_of(hints.begin(), hints.end(), [&](const char* h) { return lower.find(h) != std::string::npos; });
}

std::uint8_t guessFamily(const std::string& family)
{
    const std::string lower = lowered(family);
    for (const char* mono : {"courier", "mono", "consolas"})
        if (lower.find(mono) != std::string::npos)
            return 3; // FF_MODERN
    for (const char* sans : {"arial", "helvetica", "sans", "hei", "verdana", "tahoma", "calibri", "yahei", "gothic"})
        if (lower.find(sans) != std::string::npos)
            return 2; // FF_SWISS
    return 1; // FF_ROMAN
}

} // namespace

FontTable::FontTable()
{
    find("Times New Roman", false);
    find("SimSun", true);
    find("Arial", false);
}

std::uint16_t FontTable::latin(const std::string& family) { return find(family, false); }

std::uint16_t FontTable::eastAsian(const std::string& family) { return find(family, true); }

std::uint16_t FontTable::find(const std::string& rawFamily, bool eastAsian)
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
    font.charset = (eastAsian || looksEastAsian(family, name)) ? kGb2312Charset : kAnsiCharset;
    font.family = guessFamily(family);
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
        // FFID: variable pitch (2), TrueType, family in bits 4-6.
        out.u8(static_cast<std::uint8_t>(0x02 | 0x04 | (font.family << 4)));
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

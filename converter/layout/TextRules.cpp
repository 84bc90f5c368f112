#include "TextRules.h"

#include <algorithm>

#include <array>
#include <iterator>
#include <string_view>

namespace pwt::layout {

namespace {

// U+FB00 ff, fi, fl, ffi, ffl, long s t, st.
constexpr std::array<std::u32string_view, 7> kLigatures = {
    U"ff", U"fi", U"fl", U"ffi", U"ffl", U"st", U"st",
};

// Fonts map one glyph to both a radical and its ideograph, and PDF writers
// often name the radical in the text layer ("⽂" for "文"). Text means the
// ideograph: Kangxi radicals U+2F00..U+2FD5 by their compatibility mapping...
constexpr char32_t kKangxiRadicals[] = {
    0x4E00, 0x4E28, 0x4E36, 0x4E3F, 0x4E59, 0x4E85, 0x4E8C, 0x4EA0, 0x4EBA, 0x513F, 0x5165, 0x516B,
    0x5182, 0x5196, 0x51AB, 0x51E0, 0x51F5, 0x5200, 0x529B, 0x52F9, 0x5315, 0x531A, 0x5338, 0x5341,
    0x535C, 0x5369, 0x5382, 0x53B6, 0x53C8, 0x53E3, 0x56D7, 0x571F, 0x58EB, 0x5902, 0x590A, 0x5915,
    0x5927, 0x5973, 0x5B50, 0x5B80, 0x5BF8, 0x5C0F, 0x5C22, 0x5C38, 0x5C6E, 0x5C71, 0x5DDB, 0x5DE5,
    0x5DF1, 0x5DFE, 0x5E72, 0x5E7A, 0x5E7F, 0x5EF4, 0x5EFE, 0x5F0B, 0x5F13, 0x5F50, 0x5F61, 0x5F73,
    0x5FC3, 0x6208, 0x6236, 0x624B, 0x652F, 0x6534, 0x6587, 0x6597, 0x65A4, 0x65B9, 0x65E0, 0x65E5,
    0x66F0, 0x6708, 0x6728, 0x6B20, 0x6B62, 0x6B79, 0x6BB3, 0x6BCB, 0x6BD4, 0x6BDB, 0x6C0F, 0x6C14,
    0x6C34, 0x706B, 0x722A, 0x7236, 0x723B, 0x723F, 0x7247, 0x7259, 0x725B, 0x72AC, 0x7384, 0x7389,
    0x74DC, 0x74E6, 0x7518, 0x751F, 0x7528, 0x7530, 0x758B, 0x7592, 0x7676, 0x767D, 0x76AE, 0x76BF,
    0x76EE, 0x77DB, 0x77E2, 0x77F3, 0x793A, 0x79B8, 0x79BE, 0x7A74, 0x7ACB, 0x7AF9, 0x7C73, 0x7CF8,
    0x7F36, 0x7F51, 0x7F8A, 0x7FBD, 0x8001, 0x800C, 0x8012, 0x8033, 0x807F, 0x8089, 0x81E3, 0x81EA,
    0x81F3, 0x81FC, 0x820C, 0x821B, 0x821F, 0x826E, 0x8272, 0x8278, 0x864D, 0x866B, 0x8840, 0x884C,
    0x8863, 0x897E, 0x898B, 0x89D2, 0x8A00, 0x8C37, 0x8C46, 0x8C55, 0x8C78, 0x8C9D, 0x8D64, 0x8D70,
    0x8DB3, 0x8EAB, 0x8ECA, 0x8F9B, 0x8FB0, 0x8FB5, 0x9091, 0x9149, 0x91C6, 0x91CC, 0x91D1, 0x9577,
    0x9580, 0x961C, 0x96B6, 0x96B9, 0x96E8, 0x9751, 0x975E, 0x9762, 0x9769, 0x97CB, 0x97ED, 0x97F3,
    0x9801, 0x98A8, 0x98DB, 0x98DF, 0x9996, 0x9999, 0x99AC, 0x9AA8, 0x9AD8, 0x9ADF, 0x9B25, 0x9B2F,
    0x9B32, 0x9B3C, 0x9B5A, 0x9CE5, 0x9E75, 0x9E7F, 0x9EA5, 0x9EBB, 0x9EC3, 0x9ECD, 0x9ED1, 0x9EF9,
    0x9EFD, 0x9F0E, 0x9F13, 0x9F20, 0x9F3B, 0x9F4A, 0x9F52, 0x9F8D, 0x9F9C, 0x9FA0,
};

// ...and the radicals supplement forms used in simplified Chinese by their
// equivalent unified ideograph.
struct RadicalPair {
    char32_t radical;
    char32_t ideograph;
};
constexpr RadicalPair kSupplementRadicals[] = {
    {0x2E9F, 0x6BCD}, {0x2EA0, 0x6C11}, {0x2EC4, 0x897F}, {0x2EC5, 0x89C1}, {0x2EC6, 0x89D2}, {0x2EC8, 0x8BA0},
    {0x2EC9, 0x8D1D}, {0x2ECB, 0x8F66}, {0x2ED1, 0x9577}, {0x2ED3, 0x957F}, {0x2ED4, 0x95E8}, {0x2ED8, 0x9752},
    {0x2EDA, 0x9875}, {0x2EDB, 0x98CE}, {0x2EDC, 0x98DE}, {0x2EDD, 0x98DF}, {0x2EE0, 0x9963}, {0x2EE2, 0x9A6C},
    {0x2EE3, 0x9AA8}, {0x2EE4, 0x9B3C}, {0x2EE5, 0x9C7C}, {0x2EE6, 0x9E1F}, {0x2EE7, 0x5364}, {0x2EE8, 0x9EA6},
    {0x2EE9, 0x9EC4}, {0x2EEA, 0x9EFE}, {0x2EEC, 0x9F50}, {0x2EEF, 0x9F99}, {0x2EF3, 0x9F9F},
};

char32_t ideographFor(char32_t c)
{
    if (c >= 0x2F00 && c < 0x2F00 + std::size(kKangxiRadicals))
        return kKangxiRadicals[c - 0x2F00];
    if (c >= 0x2E80 && c <= 0x2EFF)
        for (const RadicalPair& p : kSupplementRadicals)
            if (p.radical == c)
                return p.ideograph;
    return c;
}

bool isLowerLetter(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return true;
    // Latin-1 and Latin Extended-A lower-case letters (é, ü, ß, ő...).
    return (c >= 0xDF && c <= 0xFF && c != 0xF7) || (c >= 0x100 && c <= 0x17F && (c % 2) == 1);
}

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

} // namespace

std::u32string normalizeText(const std::u32string& text)
{
    std::u32string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c >= 0xFB00 && c <= 0xFB06)
            out += kLigatures[c - 0xFB00];
        else if (c >= 0x2E80 && c <= 0x2FDF)
            out += ideographFor(c);
        else if (c == 0xFFFC)
            continue; // the mark of a picture in a line is the layout's own, never the PDF's
        else if (c == U'\t' || (c >= 0x20 && !(c >= 0x80 && c <= 0x9F))) // C1 controls are no text
            out += c == 0xA0 ? U' ' : c; // a no-break space reads as a space
    }
    return out;
}

bool hasRegionalRadical(const std::u32string& text)
{
    return std::any_of(text.begin(), text.end(), [](char32_t c) { return c == 0x2F3E || c == 0x2FAD || c == 0x2FC8; });
}

std::u32string withSimplifiedRadicals(const std::u32string& text)
{
    std::u32string out = text;
    for (char32_t& c : out) {
        if (c == 0x2F3E)
            c = 0x6237; // 户
        else if (c == 0x2FAD)
            c = 0x9752; // 青
        else if (c == 0x2FC8)
            c = 0x9EC4; // 黄
    }
    return out;
}

bool isCjk(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x2FDF)      // radicals
        || (c >= 0x3000 && c <= 0x30FF)      // CJK punctuation, kana
        || (c >= 0x3100 && c <= 0x31FF)      // bopomofo, kana extensions
        || (c >= 0x3400 && c <= 0x4DBF)      // extension A
        || (c >= 0x4E00 && c <= 0x9FFF)      // unified ideographs
        || (c >= 0xAC00 && c <= 0xD7AF)      // hangul syllables
        || (c >= 0xF900 && c <= 0xFAFF)      // compatibility ideographs
        || (c >= 0xFE30 && c <= 0xFE4F)      // compatibility forms
        || (c >= 0xFF00 && c <= 0xFFEF)      // full-width forms
        || (c >= 0x20000 && c <= 0x3FFFF);   // supplementary ideographs
}

bool containsCjk(const std::u32string& text)
{
    for (char32_t c : text)
        if (isCjk(c))
            return true;
    return false;
}

namespace {

// What each code of TeX's math extension font (cmex, Latin Modern's lmex)
// draws, by the font's own layout: poppler passes the codes through, since
// the glyph names (summationdisplay, parenleftBig) are in no Unicode list.
// 0: a piece of a larger symbol (a bracket's hook or extender, a radical's
// foot), which means nothing alone.
constexpr std::array<char16_t, 128> kMathExtensionMeaning = {
    // 0x00: big delimiters
    u'(', u')', u'[', u']', u'⌊', u'⌋', u'⌈', u'⌉', u'{', u'}', u'⟨', u'⟩', u'|', u'‖', u'/', u'\\',
    // 0x10: Bigg and bigg delimiters
    u'(', u')', u'(', u')', u'[', u']', u'⌊', u'⌋', u'⌈', u'⌉', u'{', u'}', u'⟨', u'⟩', u'/', u'\\',
    // 0x20: Bigg delimiters
    u'(', u')', u'[', u']', u'⌊', u'⌋', u'⌈', u'⌉', u'{', u'}', u'⟨', u'⟩', u'/', u'\\', u'/', u'\\',
    // 0x30: tops, bottoms and extenders of brackets and braces
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0x40: more pieces, then big operators (text and display size in pairs)
    0, 0, 0, 0, u'⟨', u'⟩', u'⨆', u'⨆', u'∮', u'∮', u'⨀', u'⨀', u'⨁', u'⨁', u'⨂', u'⨂',
    // 0x50
    u'∑', u'∏', u'∫', u'⋃', u'⋂', u'⨄', u'⋀', u'⋁', u'∑', u'∏', u'∫', u'⋃', u'⋂', u'⨄', u'⋀', u'⋁',
    // 0x60: coproducts, wide accents, Bigg brackets
    u'∐', u'∐', u'ˆ', u'ˆ', u'ˆ', u'˜', u'˜', u'˜', u'[', u']', u'⌊', u'⌋', u'⌈', u'⌉', u'{', u'}',
    // 0x70: radicals, then the pieces of radicals, arrows and horizontal braces
    u'√', u'√', u'√', u'√', 0, 0, 0, 0, u'↑', u'↓', 0, 0, 0, 0, u'⇑', u'⇓'};

} // namespace

std::u32string fromMathExtension(const std::u32string& text)
{
    auto piece = [](char32_t c) {
        return (c >= 0x80 && c <= 0x9F) || (c >= 0xE000 && c <= 0xF8FF) // no Unicode meaning
            || (c >= 0x239B && c <= 0x23B3)                              // bracket, brace and sum pieces
            || c == 0x23B7 || c == 0x2320 || c == 0x2321 || c == 0x23AE; // radical foot, integral parts
    };
    std::u32string out;
    for (char32_t c : text) {
        if (c < kMathExtensionMeaning.size()) {
            if (kMathExtensionMeaning[c] != 0)
                out += kMathExtensionMeaning[c];
        } else if (!piece(c)) {
            out += c;
        }
    }
    return out;
}

bool isBareDelimiters(const std::u32string& text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char32_t c) { return std::u32string_view(U"()[]{}⌊⌋⌈⌉⟨⟩|‖/\\ ").find(c) != std::u32string_view::npos; });
}

bool isLineEndHyphen(char32_t c)
{
    return c == U'-' || c == 0x00AD || c == 0x2010;
}

LineJoin joinBetween(const std::u32string& previousLineText, const std::u32string& nextLineText)
{
    if (previousLineText.empty() || nextLineText.empty())
        return LineJoin::Nothing;
    const char32_t last = previousLineText.back();
    const char32_t first = nextLineText.front();
    if (isCjk(last) || isCjk(first))
        return LineJoin::Nothing;
    // A hyphen that ends a line after a letter and before a lower-case
    // continuation split one word; "well-" + "Known" or "1990-" + "1995" keep it.
    if (isLineEndHyphen(last) && previousLineText.size() >= 2 && !isDigit(previousLineText[previousLineText.size() - 2])
        && previousLineText[previousLineText.size() - 2] != U' ' && isLowerLetter(first))
        return LineJoin::DropHyphen;
    if (last == 0x00AD)
        return LineJoin::DropHyphen;
    return LineJoin::Space;
}

namespace {

// A Chinese item's label, the text right after it: "一、" "十二、" "1、"
// "（一）" "（1）" "①".
bool startsChineseItem(const std::u32string& t)
{
    constexpr std::size_t kMaxNumberChars = 3; // "二十一"
    if (t[0] >= U'\u2460' && t[0] <= U'\u2473')
        return t.size() > 1;
    std::size_t i = t[0] == U'（' ? 1 : 0;
    const std::size_t start = i;
    while (i < t.size() && i - start < kMaxNumberChars
           && (isDigit(t[i]) || std::u32string_view(U"一二三四五六七八九十").find(t[i]) != std::u32string_view::npos))
        ++i;
    if (i == start || i + 1 >= t.size())
        return false;
    return t[i] == (start == 1 ? U'）' : U'、');
}

} // namespace

bool startsListItem(const std::u32string& t)
{
    if (t.empty())
        return false;
    if (startsChineseItem(t))
        return true;
    const char32_t c = t.front();
    static constexpr std::u32string_view kBullets = U"•◦▪▫■□●○◆◇►▶‣⁃–—-*·";
    if (kBullets.find(c) != std::u32string_view::npos)
        return t.size() == 1 || t[1] == U' ' || t[1] == U'\t' || c == U'•' || c == U'●' || c == U'■' || c == U'▪';
    // "1." "12)" "(3)" "a." "iv)" followed by a space.
    std::size_t i = 0;
    if (t[0] == U'(')
        ++i;
    const std::size_t start = i;
    while (i < t.size() && isDigit(t[i]) && i - start < 3)
        ++i;
    if (i == start) {
        while (i < t.size() && (t[i] == U'i' || t[i] == U'v' || t[i] == U'x') && i - start < 4)
            ++i;
        if (i == start && i < t.size() && t[i] >= U'a' && t[i] <= U'z')
            ++i;
    }
    if (i == start || i >= t.size())
        return false;
    if (t[i] != U'.' && t[i] != U')')
        return false;
    if (t[0] == U'(' && t[i] != U')')
        return false;
    ++i;
    return i < t.size() && (t[i] == U' ' || t[i] == U'\t');
}

namespace {

// Where the leaders and page reference at the end of `t` begin, and how many dots they have.
std::size_t leadersStart(const std::u32string& t, std::size_t& dotsOut)
{
    std::size_t i = t.size();
    auto isRefChar = [](char32_t c) { return isDigit(c) || c == U'i' || c == U'v' || c == U'x' || c == U'l' || c == U'c'; };
    while (i > 0 && isRefChar(t[i - 1]))
        --i;
    std::size_t dots = 0;
    while (i > 0 && (t[i - 1] == U'.' || t[i - 1] == U' ' || t[i - 1] == 0x2026 || t[i - 1] == 0xB7)) {
        dots += t[i - 1] == U' ' ? 0 : (t[i - 1] == 0x2026 ? 3 : 1);
        --i;
    }
    dotsOut = dots;
    return i;
}

} // namespace

bool endsWithLeaders(const std::u32string& t)
{
    std::size_t dots = 0;
    leadersStart(t, dots);
    return dots >= 3;
}

bool isLeadersOnly(const std::u32string& t)
{
    std::size_t dots = 0;
    return leadersStart(t, dots) == 0 && dots >= 3;
}

// A page reference in a table of contents, an equation number, a figure in a
// table's column: a short number, perhaps in brackets or dashes.
bool isNumberLike(const std::u32string& text)
{
    if (text.empty() || text.size() > kNumberLikeMaxChars)
        return false;
    // An appendix or section label set apart from its title: "A", "B.2".
    const bool letterLabel = text.front() >= U'A' && text.front() <= U'Z' && (text.size() == 1 || text[1] == U'.');
    bool digit = letterLabel;
    for (char32_t c : letterLabel ? text.substr(1) : text) {
        if (c >= U'0' && c <= U'9')
            digit = true;
        else if (std::u32string_view(U"()[].,–-— ").find(c) == std::u32string_view::npos)
            return false;
    }
    return digit;
}

std::u16string toUtf16(const std::u32string& text)
{
    std::u16string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c >= 0x10000 && c <= 0x10FFFF) {
            const char32_t v = c - 0x10000;
            out += static_cast<char16_t>(0xD800 + (v >> 10));
            out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else if (c < 0xD800 || (c > 0xDFFF && c < 0x10000)) {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

} // namespace pwt::layout

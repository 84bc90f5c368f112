#include "TextRules.h"

#include <array>
#include <string_view>

namespace pwt::layout {

namespace {

// U+FB00 ff, fi, fl, ffi, ffl, long s t, st.
constexpr std::array<std::u32string_view, 7> kLigatures = {
    U"ff", U"fi", U"fl", U"ffi", U"ffl", U"st", U"st",
};

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
        else if (c == U'\t' || c >= 0x20)
            out += c == 0xA0 ? U' ' : c; // a no-break space reads as a space
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

bool startsListItem(const std::u32string& t)
{
    if (t.empty())
        return false;
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

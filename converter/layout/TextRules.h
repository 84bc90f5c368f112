#pragma once
// Character-level rules of the layout: ligatures, CJK detection, how two
// lines are joined and what marks a list item.
#include <cstddef>
#include <string>

namespace pwt::layout {

// Replaces the Latin ligatures U+FB00..U+FB06 by their letters, CJK radicals
// by the ideographs they stand for, and drops characters Word would read as
// control codes.
std::u32string normalizeText(const std::u32string& text);

// Chinese, Japanese or Korean script (ideographs, kana, hangul, CJK punctuation
// and full-width forms): lines of it join without a space.
// A Chinese font's glyph for a radical is its region's form of the
// ideograph: in simplified Chinese fonts,
// "⼾", "⾭" and "⿈" are 户, 青 and 黄, not the traditional 戶, 靑 and 黃 of
// their compatibility mappings. Call before normalizeText().
std::u32string withSimplifiedRadicals(const std::u32string& text);
bool hasRegionalRadical(const std::u32string& text);

bool isCjk(char32_t c);
bool containsCjk(const std::u32string& text);

bool isLineEndHyphen(char32_t c);

// The text of a word in a math extension font: the glyphs of a large symbol
// that have a meaning (a sum, an integral, a bracket in one piece) as their
// characters; the pieces that only draw part of one (the hooks and extenders
// of a tall bracket, a radical's foot, codes without a Unicode meaning) dropped.
std::u32string fromMathExtension(const std::u32string& text);
// Whether `text` holds nothing but brackets, braces and bars (and spaces).
bool isBareDelimiters(const std::u32string& text);

// How the end of one line and the start of the next are joined inside a paragraph.
enum class LineJoin {
    Space,        // an ordinary break between words
    Nothing,      // CJK text: no space between lines
    DropHyphen,   // "hyphen-" + "ated": the hyphen was only there to break the word
};
LineJoin joinBetween(const std::u32string& previousLineText, const std::u32string& nextLineText);

// A bullet or an item number ("•", "–", "1.", "2)", "(a)", "iv.") at the start of a line.
bool startsListItem(const std::u32string& lineText);

// A table of contents entry's end: dot leaders, perhaps followed by a page
// number ("Introduction . . . . 1", "Index.........xii").
bool endsWithLeaders(const std::u32string& lineText);
// Nothing but dot leaders and perhaps a page number (". . . . 10"): the end
// of a contents entry that poppler set apart from its title.
bool isLeadersOnly(const std::u32string& lineText);

// A page reference in a table of contents, an equation number, a figure in a
// table's column, a section label: a short number ("12", "(3)", "iv" is not
// one, "B.2" is), of at most this many characters.
inline constexpr std::size_t kNumberLikeMaxChars = 7;
bool isNumberLike(const std::u32string& text);

std::u16string toUtf16(const std::u32string& text);

} // namespace pwt::layout

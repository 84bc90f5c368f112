#pragma once
// Maps a PDF font name and its descriptor flags to the families Word knows.
#include "model/Document.h"

#include <string>

namespace pwt::layout {

struct FontStyle {
    std::string family;          // Latin family, e.g. "Times New Roman"
    std::string eastAsianFamily; // e.g. "宋体"; empty for a Latin font
    FontKind kind = FontKind::Serif; // of both
    bool bold = false;
    bool italic = false;
    bool smallCaps = false;
};

// The East Asian family a run with CJK text gets when its font names none.
inline constexpr const char* kDefaultEastAsianFamily = "宋体";
// The Word family typewriter fonts are mapped to, and its advance in ems
// (Courier New and its metric twin Liberation Mono).
inline constexpr const char* kTypewriterFamily = "Courier New";
inline constexpr double kTypewriterAdvanceEm = 0.6;

// Whether a font's name marks it as made for Japanese, Korean or traditional
// Chinese ("NotoSansCJKjp", "SourceHanSerifTC", "MS-Mincho", "AR PL UMing TW"):
// its glyphs follow that region's forms, not simplified Chinese ones.
bool isOtherCjkRegionFont(const std::string& pdfFontName);

// TeX's math extension fonts (cmex, Latin Modern's lmex): large brackets,
// braces, radicals, sums and integrals, many drawn in pieces.
bool isMathExtensionFont(const std::string& pdfFontName);

// "ABCDEF+TimesNewRomanPS-BoldMT" -> Times New Roman, bold.
// Flags come from the font descriptor and are trusted when set; the name can
// only add bold/italic (many embedded subsets carry no flags).
FontStyle mapFont(const std::string& pdfFontName, bool boldFlag, bool italicFlag, bool serifFlag, bool fixedFlag);

// The name without the subset tag and without the style suffix:
// "ABCDEF+Arial,BoldItalic" -> "Arial"; "NotoSansCJKsc-Regular" -> "NotoSansCJKsc".
std::string baseFontName(const std::string& pdfFontName);

} // namespace pwt::layout

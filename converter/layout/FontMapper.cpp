#include "FontMapper.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace pwt::layout {

namespace {

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool contains(const std::string& haystack, const char* needle) { return haystack.find(needle) != std::string::npos; }

struct FamilyRule {
    const char* key;     // lower-case fragment of the compacted base name
    const char* family;  // Word family
    bool eastAsian;
    FontKind kind;
};

// Order matters: the first fragment found wins, so specific names come first.
constexpr std::array kFamilies = {
    FamilyRule{"microsoftyahei", "微软雅黑", true, FontKind::Sans},
    FamilyRule{"yahei", "微软雅黑", true, FontKind::Sans},
    FamilyRule{"nsimsun", "新宋体", true, FontKind::Serif},
    FamilyRule{"simsun", "宋体", true, FontKind::Serif},
    FamilyRule{"stsong", "宋体", true, FontKind::Serif},
    FamilyRule{"songti", "宋体", true, FontKind::Serif},
    FamilyRule{"宋体", "宋体", true, FontKind::Serif},
    FamilyRule{"simhei", "黑体", true, FontKind::Sans},
    FamilyRule{"stheiti", "黑体", true, FontKind::Sans},
    FamilyRule{"heiti", "黑体", true, FontKind::Sans},
    FamilyRule{"黑体", "黑体", true, FontKind::Sans},
    FamilyRule{"kaiti", "楷体", true, FontKind::Serif},
    FamilyRule{"stkaiti", "楷体", true, FontKind::Serif},
    FamilyRule{"楷体", "楷体", true, FontKind::Serif},
    FamilyRule{"fangsong", "仿宋", true, FontKind::Serif},
    FamilyRule{"stfangsong", "仿宋", true, FontKind::Serif},
    FamilyRule{"仿宋", "仿宋", true, FontKind::Serif},
    FamilyRule{"notosanscjk", "Noto Sans CJK SC", true, FontKind::Sans},
    FamilyRule{"notosanssc", "Noto Sans CJK SC", true, FontKind::Sans},
    FamilyRule{"sourcehansans", "Noto Sans CJK SC", true, FontKind::Sans},
    FamilyRule{"notoserifcjk", "Noto Serif CJK SC", true, FontKind::Serif},
    FamilyRule{"notoserifsc", "Noto Serif CJK SC", true, FontKind::Serif},
    FamilyRule{"sourcehanserif", "Noto Serif CJK SC", true, FontKind::Serif},
    FamilyRule{"fandol", "宋体", true, FontKind::Serif},   // TeX's default Chinese fonts (ctex)
    FamilyRule{"ukai", "楷体", true, FontKind::Serif},
    FamilyRule{"uming", "宋体", true, FontKind::Serif},
    FamilyRule{"wenquanyi", "微软雅黑", true, FontKind::Sans},
    FamilyRule{"timesnewroman", "Times New Roman", false, FontKind::Serif},
    FamilyRule{"liberationserif", "Times New Roman", false, FontKind::Serif},
    FamilyRule{"tinos", "Times New Roman", false, FontKind::Serif},
    FamilyRule{"nimbusrom", "Times New Roman", false, FontKind::Serif},
    FamilyRule{"texgyretermes", "Times New Roman", false, FontKind::Serif},
    FamilyRule{"times", "Times New Roman", false, FontKind::Serif},
    FamilyRule{"arial", "Arial", false, FontKind::Sans},
    FamilyRule{"helvetica", "Arial", false, FontKind::Sans},
    FamilyRule{"liberationsans", "Arial", false, FontKind::Sans},
    FamilyRule{"arimo", "Arial", false, FontKind::Sans},
    FamilyRule{"nimbussan", "Arial", false, FontKind::Sans},
    FamilyRule{"texgyreheros", "Arial", false, FontKind::Sans},
    FamilyRule{"couriernew", "Courier New", false, FontKind::Typewriter},
    FamilyRule{"courier", "Courier New", false, FontKind::Typewriter},
    FamilyRule{"liberationmono", "Courier New", false, FontKind::Typewriter},
    FamilyRule{"cousine", "Courier New", false, FontKind::Typewriter},
    FamilyRule{"nimbusmon", "Courier New", false, FontKind::Typewriter},
    FamilyRule{"texgyrecursor", "Courier New", false, FontKind::Typewriter},
    FamilyRule{"calibri", "Calibri", false, FontKind::Sans},
    FamilyRule{"carlito", "Calibri", false, FontKind::Sans},
    FamilyRule{"cambria", "Cambria", false, FontKind::Serif},
    FamilyRule{"caladea", "Cambria", false, FontKind::Serif},
    FamilyRule{"georgia", "Georgia", false, FontKind::Serif},
    FamilyRule{"verdana", "Verdana", false, FontKind::Sans},
    FamilyRule{"tahoma", "Tahoma", false, FontKind::Sans},
    FamilyRule{"garamond", "Garamond", false, FontKind::Serif},
    FamilyRule{"palatino", "Palatino Linotype", false, FontKind::Serif},
    FamilyRule{"bookantiqua", "Book Antiqua", false, FontKind::Serif},
    FamilyRule{"centurygothic", "Century Gothic", false, FontKind::Sans},
    FamilyRule{"dejavusansmono", "DejaVu Sans Mono", false, FontKind::Typewriter},
    FamilyRule{"dejavusans", "DejaVu Sans", false, FontKind::Sans},
    FamilyRule{"dejavuserif", "DejaVu Serif", false, FontKind::Serif},
    FamilyRule{"notosansmono", "Noto Sans Mono", false, FontKind::Typewriter},
    FamilyRule{"notosans", "Noto Sans", false, FontKind::Sans},
    FamilyRule{"notoserif", "Noto Serif", false, FontKind::Serif},
    FamilyRule{"symbol", "Symbol", false, FontKind::Serif},
    FamilyRule{"biolinum", "Arial", false, FontKind::Sans}, // Libertine's sans companion
};

// The common Word family of each kind.
const char* familyOfKind(FontKind kind)
{
    switch (kind) {
    case FontKind::Sans: return "Arial";
    case FontKind::Typewriter: return kTypewriterFamily;
    case FontKind::Serif: break;
    }
    return "Times New Roman";
}

// The kind of a face we have no rule for, from its descriptor's flags and its name.
FontKind kindOf(const std::string& lowerName, bool serifFlag, bool fixedFlag)
{
    if (fixedFlag || contains(lowerName, "mono") || contains(lowerName, "courier") || contains(lowerName, "consol"))
        return FontKind::Typewriter;
    if (serifFlag)
        return FontKind::Serif;
    if (contains(lowerName, "sans") || contains(lowerName, "gothic") || contains(lowerName, "hei"))
        return FontKind::Sans;
    return FontKind::Serif;
}

// TeX's Computer Modern / Latin Modern names: family by the letters after
// "cm"/"lm", style by their shape codes.
struct TexFont {
    bool isTex = false;
    std::string family;
    FontKind kind = FontKind::Serif;
    bool bold = false, italic = false, smallCaps = false;
};

TexFont texFont(const std::string& lowerBase)
{
    TexFont t;
    std::string shape;
    if (lowerBase.rfind("cm", 0) == 0 && lowerBase.size() > 2 && std::isalpha(static_cast<unsigned char>(lowerBase[2]))) {
        shape = lowerBase.substr(2);
    } else if (lowerBase.rfind("lmroman", 0) == 0 || lowerBase.rfind("lmsans", 0) == 0 || lowerBase.rfind("lmmono", 0) == 0) {
        t.isTex = true;
        t.kind = lowerBase.rfind("lmsans", 0) == 0 ? FontKind::Sans : lowerBase.rfind("lmmono", 0) == 0 ? FontKind::Typewriter : FontKind::Serif;
        t.family = familyOfKind(t.kind);
        t.smallCaps = contains(lowerBase, "caps");
        return t;
    } else {
        return t;
    }
    // Strip the design size digits: "bx10" -> "bx".
    while (!shape.empty() && std::isdigit(static_cast<unsigned char>(shape.back())))
        shape.pop_back();
    static const std::array<const char*, 16> known = {"r", "bx", "ti", "sl", "csc", "tt", "ss", "sltt", "itt", "bxti", "bxsl", "b", "ssbx", "ssi", "mi", "sy"};
    if (std::find_if(known.begin(), known.end(), [&](const char* k) { return shape == k; }) == known.end())
        return t;
    t.isTex = true;
    t.kind = shape.find("tt") != std::string::npos ? FontKind::Typewriter : shape.rfind("ss", 0) == 0 ? FontKind::Sans : FontKind::Serif;
    t.family = familyOfKind(t.kind);
    t.bold = shape.find('b') != std::string::npos;
    t.italic = shape.find("ti") != std::string::npos || shape.find("sl") != std::string::npos || shape == "mi" || shape == "ssi" || shape == "itt";
    t.smallCaps = shape == "csc";
    return t;
}

// Weight and slant from the style words after a font's family ("-SemiboldIt",
// ",BoldItalic", "-Medi", "-BdObl", "-Slanted"): any weight above regular
// is bold, any slant italic.
struct StyleWords {
    bool bold = false, italic = false;
};

StyleWords styleOf(const std::string& lowerStyle)
{
    std::string s;
    for (char c : lowerStyle)
        if (c != '-' && c != ',' && c != '_' && c != ' ')
            s += c;
    StyleWords w;
    static constexpr std::array kWeights = {"bold", "black", "heavy", "demi", "medi", "bd", "extrab", "ultrab"};
    static constexpr std::array kSlants = {"italic", "oblique", "obl", "slant", "kursiv", "inclined"};
    w.bold = std::any_of(kWeights.begin(), kWeights.end(), [&](const char* k) { return contains(s, k); });
    w.italic = std::any_of(kSlants.begin(), kSlants.end(), [&](const char* k) { return contains(s, k); })
        || (s.size() >= 2 && s.compare(s.size() - 2, 2, "it") == 0); // "It", "BoldIt", "SemiboldIt"
    return w;
}

} // namespace

std::string baseFontName(const std::string& pdfFontName)
{
    std::string name = pdfFontName;
    // Subset tag: six upper-case letters and a plus sign.
    if (name.size() > 7 && name[6] == '+'
        && std::all_of(name.begin(), name.begin() + 6, [](char c) { return c >= 'A' && c <= 'Z'; }))
        name.erase(0, 7);
    const auto cut = name.find_first_of("-,");
    if (cut != std::string::npos && cut > 0)
        name.erase(cut);
    // "TimesNewRomanPS" / "ArialMT" carry a vendor suffix.
    for (const char* suffix : {"PSMT", "PS", "MT"}) {
        const std::string s = suffix;
        if (name.size() > s.size() + 2 && name.compare(name.size() - s.size(), s.size(), s) == 0) {
            name.erase(name.size() - s.size());
            break;
        }
    }
    return name;
}

bool isMathExtensionFont(const std::string& pdfFontName)
{
    const std::string base = lower(baseFontName(pdfFontName));
    return base.rfind("cmex", 0) == 0 || base.rfind("lmex", 0) == 0 || base.rfind("lmmathextension", 0) == 0;
}

bool isOtherCjkRegionFont(const std::string& pdfFontName)
{
    std::string compact;
    for (char c : lower(pdfFontName))
        if (c != ' ' && c != '_' && c != '-')
            compact += c;
    static constexpr std::array kMarks = {"cjkjp", "cjktc", "cjkhk", "cjkkr", "sansjp", "sanstc", "sanshk", "sanskr",
                                          "serifjp", "seriftc", "serifhk", "serifkr", "mincho", "gothic", "meiryo",
                                          "mingliu", "batang", "gulim", "dotum", "umingtw", "umingjp", "ukaitw"};
    return std::any_of(kMarks.begin(), kMarks.end(), [&](const char* mark) { return contains(compact, mark); });
}

FontStyle mapFont(const std::string& pdfFontName, bool boldFlag, bool italicFlag, bool serifFlag, bool fixedFlag)
{
    FontStyle style;
    std::string stripped = pdfFontName;
    if (stripped.size() > 7 && stripped[6] == '+')
        stripped.erase(0, 7);
    const std::string lowerFull = lower(stripped);
    const std::string base = baseFontName(pdfFontName);
    std::string compact;
    for (char c : lower(base))
        if (c != ' ' && c != '_')
            compact += c;

    // Style words after the family: "-BoldItalic", ",Bold", "-SemiboldIt", "-Oblique".
    const std::string styleWords = lowerFull.size() > base.size() ? lowerFull.substr(base.size()) : std::string{};
    const StyleWords words = styleOf(styleWords);
    style.bold = boldFlag || words.bold || contains(lowerFull, "bold");
    style.italic = italicFlag || words.italic || contains(lowerFull, "italic");
    style.smallCaps = contains(lowerFull, "smallcaps") || contains(styleWords, "-sc") || contains(lowerFull, "capitals");

    const TexFont tex = texFont(compact);
    if (tex.isTex) {
        style.family = tex.family;
        style.kind = tex.kind;
        style.bold = style.bold || tex.bold;
        style.italic = style.italic || tex.italic;
        style.smallCaps = style.smallCaps || tex.smallCaps;
        return style;
    }
    for (const FamilyRule& rule : kFamilies) {
        if (contains(compact, rule.key)) {
            style.kind = rule.kind;
            if (rule.eastAsian) {
                // The PDF drew its Latin letters with this font too.
                style.eastAsianFamily = rule.family;
                style.family = rule.family;
            } else {
                style.family = rule.family;
            }
            return style;
        }
    }
    // A family we have no rule for (a TeX document's Libertine, a publisher's
    // own face) is rarely installed where the .doc is read, and a reader's
    // fallback may be far wider (a page of Libertine set in DejaVu Sans runs
    // to two): it gets the Word family of its kind, whose metrics every
    // reader has (Liberation's metric twins on Linux).
    style.kind = base.empty() ? (fixedFlag ? FontKind::Typewriter : serifFlag ? FontKind::Serif : FontKind::Sans)
                              : kindOf(compact, serifFlag, fixedFlag);
    style.family = familyOfKind(style.kind);
    return style;
}

} // namespace pwt::layout

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
};

// Order matters: the first fragment found wins, so specific names come first.
constexpr std::array kFamilies = {
    FamilyRule{"microsoftyahei", "微软雅黑", true},
    FamilyRule{"yahei", "微软雅黑", true},
    FamilyRule{"nsimsun", "新宋体", true},
    FamilyRule{"simsun", "宋体", true},
    FamilyRule{"stsong", "宋体", true},
    FamilyRule{"songti", "宋体", true},
    FamilyRule{"宋体", "宋体", true},
    FamilyRule{"simhei", "黑体", true},
    FamilyRule{"stheiti", "黑体", true},
    FamilyRule{"heiti", "黑体", true},
    FamilyRule{"黑体", "黑体", true},
    FamilyRule{"kaiti", "楷体", true},
    FamilyRule{"stkaiti", "楷体", true},
    FamilyRule{"楷体", "楷体", true},
    FamilyRule{"fangsong", "仿宋", true},
    FamilyRule{"stfangsong", "仿宋", true},
    FamilyRule{"仿宋", "仿宋", true},
    FamilyRule{"notosanscjk", "Noto Sans CJK SC", true},
    FamilyRule{"notosanssc", "Noto Sans CJK SC", true},
    FamilyRule{"sourcehansans", "Noto Sans CJK SC", true},
    FamilyRule{"notoserifcjk", "Noto Serif CJK SC", true},
    FamilyRule{"notoserifsc", "Noto Serif CJK SC", true},
    FamilyRule{"sourcehanserif", "Noto Serif CJK SC", true},
    FamilyRule{"fandol", "宋体", true},   // TeX's default Chinese fonts (ctex)
    FamilyRule{"ukai", "楷体", true},
    FamilyRule{"uming", "宋体", true},
    FamilyRule{"wenquanyi", "微软雅黑", true},
    FamilyRule{"timesnewroman", "Times New Roman", false},
    FamilyRule{"liberationserif", "Times New Roman", false},
    FamilyRule{"tinos", "Times New Roman", false},
    FamilyRule{"nimbusrom", "Times New Roman", false},
    FamilyRule{"texgyretermes", "Times New Roman", false},
    FamilyRule{"times", "Times New Roman", false},
    FamilyRule{"arial", "Arial", false},
    FamilyRule{"helvetica", "Arial", false},
    FamilyRule{"liberationsans", "Arial", false},
    FamilyRule{"arimo", "Arial", false},
    FamilyRule{"nimbussan", "Arial", false},
    FamilyRule{"texgyreheros", "Arial", false},
    FamilyRule{"couriernew", "Courier New", false},
    FamilyRule{"courier", "Courier New", false},
    FamilyRule{"liberationmono", "Courier New", false},
    FamilyRule{"cousine", "Courier New", false},
    FamilyRule{"nimbusmon", "Courier New", false},
    FamilyRule{"texgyrecursor", "Courier New", false},
    FamilyRule{"calibri", "Calibri", false},
    FamilyRule{"carlito", "Calibri", false},
    FamilyRule{"cambria", "Cambria", false},
    FamilyRule{"caladea", "Cambria", false},
    FamilyRule{"georgia", "Georgia", false},
    FamilyRule{"verdana", "Verdana", false},
    FamilyRule{"tahoma", "Tahoma", false},
    FamilyRule{"garamond", "Garamond", false},
    FamilyRule{"palatino", "Palatino Linotype", false},
    FamilyRule{"bookantiqua", "Book Antiqua", false},
    FamilyRule{"centurygothic", "Century Gothic", false},
    FamilyRule{"dejavusansmono", "DejaVu Sans Mono", false},
    FamilyRule{"dejavusans", "DejaVu Sans", false},
    FamilyRule{"dejavuserif", "DejaVu Serif", false},
    FamilyRule{"notosansmono", "Noto Sans Mono", false},
    FamilyRule{"notosans", "Noto Sans", false},
    FamilyRule{"notoserif", "Noto Serif", false},
    FamilyRule{"symbol", "Symbol", false},
};

// TeX's Computer Modern / Latin Modern names: family by the letters after
// "cm"/"lm", style by their shape codes.
struct TexFont {
    bool isTex = false;
    std::string family;
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
        t.family = lowerBase.rfind("lmsans", 0) == 0 ? "Arial" : lowerBase.rfind("lmmono", 0) == 0 ? "Courier New" : "Times New Roman";
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
    t.family = shape.find("tt") != std::string::npos ? "Courier New" : shape.rfind("ss", 0) == 0 ? "Arial" : "Times New Roman";
    t.bold = shape.find('b') != std::string::npos;
    t.italic = shape.find("ti") != std::string::npos || shape.find("sl") != std::string::npos || shape == "mi" || shape == "ssi" || shape == "itt";
    t.smallCaps = shape == "csc";
    return t;
}

// "SomeFontName" -> "Some Font Name", for families we have no rule for.
std::string spacedFamily(const std::string& base)
{
    std::string out;
    for (std::size_t i = 0; i < base.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(base[i]);
        if (i > 0 && std::isupper(c) && std::islower(static_cast<unsigned char>(base[i - 1])))
            out += ' ';
        out += static_cast<char>(c == '_' ? ' ' : c);
    }
    return out;
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
    style.bold = boldFlag || contains(styleWords, "bold") || contains(styleWords, "black") || contains(styleWords, "heavy")
        || contains(styleWords, "semibold") || contains(styleWords, "demi") || contains(lowerFull, "bold");
    style.italic = italicFlag || contains(styleWords, "italic") || contains(styleWords, "oblique")
        || contains(styleWords, "-it") || contains(styleWords, ",it") || contains(lowerFull, "italic");
    style.smallCaps = contains(lowerFull, "smallcaps") || contains(styleWords, "-sc") || contains(lowerFull, "capitals");

    const TexFont tex = texFont(compact);
    if (tex.isTex) {
        style.family = tex.family;
        style.bold = style.bold || tex.bold;
        style.italic = style.italic || tex.italic;
        style.smallCaps = style.smallCaps || tex.smallCaps;
        return style;
    }
    for (const FamilyRule& rule : kFamilies) {
        if (contains(compact, rule.key)) {
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
    if (base.empty())
        style.family = fixedFlag ? "Courier New" : serifFlag ? "Times New Roman" : "Arial";
    else
        style.family = spacedFamily(base);
    return style;
}

} // namespace pwt::layout

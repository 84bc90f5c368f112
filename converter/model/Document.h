#pragma once
// The converted document as the layout stage builds it and the .doc writer
// writes it. Plain C++: no Qt, no poppler, no libgsf.
#include "Measures.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pwt {

// Lengths are in twips (1/20 pt, 1/1440 in); font sizes in half-points.
enum class VerticalPosition { Baseline, Superscript, Subscript };

// The kind of face a family is: a reader that lacks the family picks one of
// the same kind.
enum class FontKind { Serif, Sans, Typewriter };

struct CharFormat {
    std::string fontFamily = "Times New Roman"; // Latin family, UTF-8
    FontKind fontKind = FontKind::Serif;
    // East Asian family, empty: none. A Chinese face that also set the
    // Latin letters is named in both.
    std::string eastAsianFamily;
    FontKind eastAsianKind = FontKind::Serif;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool smallCaps = false;
    std::uint32_t colorRgb = 0x000000;           // 0xRRGGBB
    int letterSpacing = 0; // twips added after each character; negative: condensed
    VerticalPosition position = VerticalPosition::Baseline;

    bool operator==(const CharFormat&) const = default;
};

struct Run {
    std::u16string text;     // no paragraph marks or page breaks inside
    CharFormat format;
    bool pageNumberField = false; // a PAGE field; text is its shown result

    bool operator==(const Run&) const = default;
};

enum class Alignment { Left, Center, Right, Justify };

// A right-aligned tab stop that sets a contents entry's page number at the
// right edge of the text, with dot leaders or without.
struct ReferenceTab {
    int position = 0; // twips from the text's left edge (the left margin); 0: none
    bool dotLeader = false;

    bool operator==(const ReferenceTab&) const = default;
};

struct ParagraphFormat {
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;  // negative: hanging indent
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = kSingleLineSpacing; // 240ths of a line; "auto" rule
    int exactLineSpacing = 0; // twips between baselines ("exactly" rule); 0: lineSpacing holds
    int headingLevel = 0;     // 0: body text (Normal), 1..3: Heading 1..3
    ReferenceTab referenceTab;

    bool operator==(const ParagraphFormat&) const = default;
};

struct Paragraph {
    std::vector<Run> runs;
    ParagraphFormat format;
    bool pageBreakBefore = false; // a hard page break ends the previous page
};

struct PageSetup {
    int width = 11906;  // A4
    int height = 16838;
    int marginLeft = 1800;
    int marginRight = 1800;
    int marginTop = 1440;
    int marginBottom = 1440;
    // From the page's top edge to the header's top, and from its bottom edge
    // to the footer's bottom. 0: halfway into the margin.
    int headerDistance = 0;
    int footerDistance = 0;
    // The number printed on the section's first page: Word numbers its pages
    // from there. 0: the numbering goes on from the section before.
    int firstPageNumber = 0;
    // The section starts where the one before ends (its text flows on), not
    // on a new page: only its header and footer change, from the next page.
    bool continuous = false;
    bool landscape() const { return width > height; }

    bool operator==(const PageSetup&) const = default;
};

struct Section {
    PageSetup page;
    std::vector<Paragraph> paragraphs;
    std::vector<Paragraph> header; // running head, empty: none
    std::vector<Paragraph> footer; // running foot (may hold a PAGE field), empty: none
};

struct DocumentInfo {
    std::string title; // UTF-8
    std::string author;
    std::string subject;
    std::string keywords;
};

struct Document {
    DocumentInfo info;
    std::vector<Section> sections; // at least one when written
};

} // namespace pwt

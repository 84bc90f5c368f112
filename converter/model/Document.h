#pragma once
// The converted document as the layout stage builds it and the .doc writer
// writes it. Plain C++: no Qt, no poppler, no libgsf.
#include "Image.h"
#include "Measures.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include <utility>

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
    Run() = default;
    Run(std::u16string runText, CharFormat runFormat, bool isPageNumberField = false)
        : text(std::move(runText)), format(std::move(runFormat)), pageNumberField(isPageNumberField)
    {
    }

    std::u16string text;     // no paragraph marks or page breaks inside
    CharFormat format;
    bool pageNumberField = false; // a PAGE field; text is its shown result
    // Where the run links to (UTF-8): a web or mail address, written as a
    // HYPERLINK field around the run's text, or "#name" for the bookmark
    // `name` of this document. Neighbouring runs of one link make one field.
    // Empty: no link.
    std::string link;
    // This run is the reference mark of Document::footnotes[footnote]; its
    // text is the mark as the PDF shows it ("1", "*", "†"). -1: an ordinary run.
    int footnote = -1;

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
    // A background behind the paragraph (a coloured box or a slide's page
    // colour behind its text), so light text stays readable on it.
    bool shaded = false;
    std::uint32_t shadingRgb = 0xFFFFFF; // 0xRRGGBB
    // A list item: Document::lists[list] at level listLevel (0..8) numbers or
    // bullets it; its label is not in the runs. -1: not a list item.
    int list = -1;
    int listLevel = 0;

    bool operator==(const ParagraphFormat&) const = default;
};

// A picture at the size the PDF shows it. An image drawn many times (a logo
// on every page) shares one ImageData, and the writer stores it once.
struct Picture {
    std::shared_ptr<const ImageData> image;
    int width = 0;  // twips as displayed, before cropping
    int height = 0;
    // The share (0..1) of the image cut off each side where the PDF clips it.
    double cropLeft = 0, cropTop = 0, cropRight = 0, cropBottom = 0;

    // The displayed size once cropped, in twips.
    int shownWidth() const;
    int shownHeight() const;
};

// A picture set inside a line of text (an icon, a symbol drawn as an image)
// stands in its paragraph's runs as this character; the paragraph holds the
// pictures in the order of their marks.
inline constexpr char16_t kInlinePictureMark = 0xFFFC;

struct Paragraph {
    std::vector<Run> runs;
    // Bookmarks that begin at the paragraph's start (targets of links inside
    // the document): names Word accepts (a letter first, then letters, digits
    // and '_', at most 40 characters), unique in the document.
    std::vector<std::string> bookmarks;
    std::vector<Picture> inlinePictures; // one per kInlinePictureMark in the runs, in order
    ParagraphFormat format;
    bool pageBreakBefore = false; // a hard page break ends the previous page
    bool columnBreakBefore = false; // a column break ends the previous column (in a section of columns)
};

// A figure: a paragraph of its own between the text's paragraphs that holds
// one or more pictures side by side, inline (the user moves, resizes and
// copies them as Word pictures).
struct Figure {
    std::vector<Picture> pictures;
    ParagraphFormat format; // alignment, indent and space before
    // Its place in the section: before paragraph `beforeParagraph`
    // (paragraphs.size(): after the last). Figures keep their order.
    std::size_t beforeParagraph = 0;
    bool pageBreakBefore = false;
    bool columnBreakBefore = false;
};

// A border line of a table cell; width 0: none.
struct CellBorder {
    int width = 0;              // eighths of a point (Word's unit for borders)
    std::uint32_t rgb = 0x000000; // 0xRRGGBB

    bool operator==(const CellBorder&) const = default;
};

// A cell merged down with the cells below it: the first of them restarts the
// merge, the ones below continue it (same width, and their paragraphs empty).
enum class VerticalMerge { None, Restart, Continue };

enum class CellAlignment { Top, Center, Bottom };

struct TableCell {
    int width = 0; // twips; a cell merged across columns is one wider cell
    std::vector<Paragraph> paragraphs; // the cell's text; none: an empty cell
    VerticalMerge verticalMerge = VerticalMerge::None;
    CellAlignment verticalAlignment = CellAlignment::Top;
    CellBorder top, left, bottom, right;
    bool shaded = false;
    std::uint32_t shadingRgb = 0xFFFFFF; // 0xRRGGBB
};

struct TableRow {
    std::vector<TableCell> cells; // left to right, at most kMaxTableColumns
    int height = 0;      // twips, the least height ("at least" rule); 0: as its text needs
    bool header = false; // repeats at the top of each page; header rows come first
};

// Word 97-2003 allows at most this many cells in a row.
inline constexpr std::size_t kMaxTableColumns = 63;

// A table between the section's paragraphs. Its rows may differ in their
// cells (merged across), but a row's cells start at the table's left edge.
struct Table {
    std::vector<TableRow> rows;
    int leftIndent = 0; // twips from the text's left edge to the table's left edge
    // Its place in the section: before paragraph `beforeParagraph`, after the
    // first `afterFigures` of the figures placed before the same paragraph
    // (all of them by default). Tables keep their order.
    std::size_t beforeParagraph = 0;
    std::size_t afterFigures = static_cast<std::size_t>(-1);
    bool pageBreakBefore = false;
    bool columnBreakBefore = false;
};

// One of a section's text columns: its width and the gap after it (the last
// column's gap is 0), in twips.
struct TextColumn {
    int width = 0;
    int spaceAfter = 0;

    bool operator==(const TextColumn&) const = default;
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
    // The text columns left to right; empty: one column across the text width.
    std::vector<TextColumn> columns;
    bool landscape() const { return width > height; }

    bool operator==(const PageSetup&) const = default;
};

// How a list level numbers its items: Word's number formats.
enum class NumberFormat {
    Bullet,
    Decimal,         // 1 2 3
    LowerLetter,     // a b c
    UpperLetter,     // A B C
    LowerRoman,      // i ii iii
    UpperRoman,      // I II III
    ChineseCounting, // 一 二 三
};

struct ListLevel {
    NumberFormat format = NumberFormat::Bullet;
    // The label as it reads: a bullet's character(s) ("•", "–", "■"), or a
    // pattern where %1 .. %9 stand for the numbers of levels 1 .. 9 ("%1.",
    // "%1)", "（%1）", "%1、", "%1.%2").
    std::u16string label = u"\u2022";
    int start = 1;         // the first item's number
    int labelIndent = 0;   // twips from the text's left edge to the label
    int textIndent = 360;  // twips from the text's left edge to the item's text
    std::string labelFont; // UTF-8 family of a bullet's character; empty: the item's font
};

// A list definition: one level for each depth of nesting used (at most 9).
struct ListDefinition {
    std::vector<ListLevel> levels;
};

// The most lists a document can have: a paragraph names its list by
// sprmPIlfo, which Word takes up to 0x07FE. Items past them keep their
// labels as text.
inline constexpr std::size_t kMaxLists = 0x07FE;

// A footnote: its reference mark is a run of the main text (Run::footnote).
struct Footnote {
    std::vector<Paragraph> paragraphs;
};

struct Section {
    PageSetup page;
    std::vector<Paragraph> paragraphs;
    std::vector<Figure> figures; // between the paragraphs, ordered by beforeParagraph
    std::vector<Table> tables;   // between the paragraphs, ordered by beforeParagraph
    std::vector<Paragraph> header; // running head, empty: none
    std::vector<Paragraph> footer; // running foot (may hold a PAGE field), empty: none
    // Even pages have a head and foot of their own (a book's heads that
    // alternate): header and footer are then the odd pages' ones. Word
    // counts a page's parity from the page numbers.
    bool evenPagesDiffer = false;
    std::vector<Paragraph> evenHeader;
    std::vector<Paragraph> evenFooter;
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
    std::vector<ListDefinition> lists; // referred to by ParagraphFormat::list
    // Referred to by runs of the sections' paragraphs (Run::footnote), each
    // once, in the order of their references.
    std::vector<Footnote> footnotes;
};

inline int Picture::shownWidth() const
{
    return static_cast<int>(std::lround(width * std::max(0.0, 1.0 - cropLeft - cropRight)));
}

inline int Picture::shownHeight() const
{
    return static_cast<int>(std::lround(height * std::max(0.0, 1.0 - cropTop - cropBottom)));
}

} // namespace pwt

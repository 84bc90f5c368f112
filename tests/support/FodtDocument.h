#pragma once
// The flat ODF text (.fodt) that LibreOffice makes of a .doc, read back the
// way a person sees it: styles, page layouts, master pages with their headers
// and footers, the body paragraphs with their spans, and the title; each
// character's format with styles resolved, each paragraph's alignment,
// indents, heading level and page, and its picture frames. Text can be matched ignoring white space,
// since readers and converters disagree on spaces at run edges.
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace fodt {

using Properties = QMap<QString, QString>; // qualified attribute name -> value

enum class Position { Baseline, Superscript, Subscript };

// Text without white space, with each character's offset in the original.
struct Squeezed {
    QString text;
    QList<qsizetype> offsets;
};
Squeezed squeeze(const QString& text);

double inches(const QString& length); // "8.2681in", "2cm", "12pt" -> inches

struct Style {
    QString name;
    QString parent;
    QString masterPage;
    QString outlineLevel; // style:default-outline-level
    Properties text;
    Properties paragraph;
    Properties graphic; // style:graphic-properties (frames: cropping as fo:clip)
    // Table styles: style:table-properties, -column-, -row- or -cell-properties
    // (a style has one family, so they share this map): style:column-width,
    // fo:border, fo:border-top..., fo:background-color, style:vertical-align...
    Properties table;
};

struct Span {
    QString style;
    QString text;
    qsizetype offset = 0; // where its text starts in the paragraph's text
    QString href;         // xlink:href of the text:a around it, "" when none
};

// A paragraph's place in a list (text:list), with the format of its level as
// the list style in force gives it.
struct ListInfo {
    int level = -1;         // 0-based depth in text:list; -1: not a list item
    QString style;          // the list style in force (text:style-name of the outermost text:list)
    QString numFormat;      // style:num-format of that level ("1", "a", "A", "i", "I", "一, 二, 三, ...");
                            // "" for a bullet level
    QString bulletChar;     // text:bullet-char of a bullet level
    QString prefix, suffix; // style:num-prefix / style:num-suffix
    int start = 1;          // text:start-value of that level
    int displayLevels = 1;  // text:display-levels: how many levels' numbers the label shows ("1.1")
    QString labelFormat;    // loext:num-list-format: the label with %N% for level N's number ("%1%.%2%"); "" when not written
    bool header = false;    // a text:list-header: in the list, without a label
};

// A footnote (text:note of class footnote).
struct Note {
    QString citation;       // the mark as shown (text:note-citation)
    QString text;           // its paragraphs' texts joined by "\n", trimmed
    int paragraph = -1;     // the body paragraph holding the citation; -1: elsewhere (a table cell)
    qsizetype offset = 0;   // where the citation stands in that paragraph's text
};

// A picture frame (draw:frame) inside a paragraph.
struct Frame {
    QString style;
    QString anchor;   // text:anchor-type: "as-char" for an inline picture
    double width = 0; // inches
    double height = 0;
    QByteArray image; // the image file, decoded from office:binary-data
};

struct Paragraph {
    bool heading = false;
    QString outlineLevel;
    QString style;
    QString text;
    QList<Span> spans;
    bool hasPageNumber = false;
    QList<Frame> frames; // in order; their contents are not part of `text`
    Squeezed squeezed; // of `text`
    QString master;    // the master page in force (body paragraphs)
    ListInfo list;         // body paragraphs only: a table cell's paragraphs have level -1
    QStringList bookmarks; // text:bookmark / text:bookmark-start names in it, in order
};

// A cell of a table (table:table-cell), or the place of one that a merged
// cell covers (table:covered-table-cell). Cell paragraphs are not in the
// document's body.
struct TableCell {
    QString text; // its paragraphs' texts joined by "\n"
    QList<Paragraph> paragraphs;
    int columnsSpanned = 1;
    int rowsSpanned = 1;
    bool covered = false; // table:covered-table-cell
    QString style;
};

struct TableRow {
    QList<TableCell> cells;
    bool header = false; // in table:table-header-rows: repeats on each page
};

// A table of the body (tables nested in cells are left out).
struct Table {
    QList<TableRow> rows;
    QList<double> columnWidths; // inches, one per grid column
    int bodyParagraphsBefore = 0; // body.size() when the table starts
    QString style; // its table style: fo:break-before, style:width, fo:margin-left in its `table` properties
};

struct MasterPage {
    QString name;
    QString layout;
    QList<Paragraph> header;
    QList<Paragraph> footer;
    QList<Paragraph> headerLeft; // style:header-left: even pages' head when it differs
    QList<Paragraph> footerLeft; // style:footer-left
};

struct SeenFormat {
    QString family;           // resolved through the font faces
    QString eastAsianFamily;
    double size = 0;          // points
    double eastAsianSize = 0;
    bool bold = false, eastAsianBold = false;
    bool italic = false, eastAsianItalic = false;
    bool smallCaps = false;
    QString color;            // "#rrggbb", lower case; "" when automatic
    Position position = Position::Baseline;
};

struct Document {
    QString error;
    QString title;
    QMap<QString, Style> styles;
    QMap<QString, QString> fontFaces; // font-face name ("DejaVu Sans1") -> family ("DejaVu Sans")
    Properties defaultText;           // the paragraph family's default text properties
    QMap<QString, Properties> pageLayouts;
    QList<MasterPage> masterPages;
    QList<Paragraph> body;
    QList<Table> tables; // in document order
    // Footnotes (not endnotes) in document order. A note's citation and text
    // are not part of its paragraph's text.
    QList<Note> footnotes;
    // List styles (text:list-style) by name: their levels, 0-based, as ListInfo
    // with level, style and format filled.
    QMap<QString, QMap<int, ListInfo>> listStyles;

    // Finding text.
    int paragraphCount() const { return static_cast<int>(body.size()); }
    const Paragraph& paragraph(int i) const { return body[i]; }
    const QString& squeezedText(int i) const { return body[i].squeezed.text; }
    const Paragraph* find(const QString& text) const; // the body paragraph whose text is `text`
    // The body paragraph whose text is `text`, or failing that the first that
    // begins with it or that holds its beginning; -1 when none. Paragraphs from
    // `from` on are preferred (texts may repeat in a document).
    int findParagraph(const QString& text, bool* exact = nullptr, int from = 0) const;
    // The first paragraph at or after `from` that holds `fragment`; -1 when none.
    int findContaining(const QString& fragment, int from = 0) const;
    struct Hit {
        int paragraph = -1;
        qsizetype begin = 0, end = 0; // offsets into the paragraph's text
        qsizetype squeezedEnd = 0;
    };
    // `text` within paragraph `paragraph` at or after squeezed offset `from`.
    Hit findIn(int paragraph, const QString& text, qsizetype from = 0) const;

    // Styles resolved.
    QString styleChainValue(const QString& style, const QString& name, bool text) const;
    // A character property as shown: the first span with text, else the
    // paragraph's style and the styles it inherits from.
    QString textProperty(const Paragraph& p, const QString& name) const;
    QString paragraphProperty(const Paragraph& p, const QString& name) const;
    SeenFormat formatAt(int paragraph, qsizetype offset) const;
    SeenFormat formatOf(const QString& fragment) const; // at its start in the first paragraph holding it
    QString alignment(int paragraph) const;      // "start", "center", "end" or "justify"
    double leftIndent(int paragraph) const;      // points
    double rightIndent(int paragraph) const;
    double firstLine(int paragraph) const;
    double spaceBefore(int paragraph) const;     // points
    double spaceAfter(int paragraph) const;
    double lineSpacing(int paragraph) const;     // multiple of single; 1 when not proportional
    int outlineLevel(int paragraph) const;       // 0 unless a text:h with a level
    int headingStyleLevel(int paragraph) const;  // N when its style derives from "Heading N"

    // Tables: a cell's property through its style (style:table-cell-properties),
    // "" when none. cellBorder: the side's border ("top", "left", "bottom",
    // "right") as fo:border-<side> or else fo:border gives it, e.g.
    // "0.5pt solid #000000"; "" or "none" when there is none.
    QString cellProperty(const TableCell& cell, const QString& name) const;
    QString cellBorder(const TableCell& cell, const QString& side) const;
    bool cellHasBorder(const TableCell& cell, const QString& side) const;

    // Pages.
    QString masterPageOf(const Paragraph& p) const; // named by its style; "" when none
    QString masterPage(int paragraph) const;        // in force at a body paragraph
    const MasterPage* masterPageNamed(const QString& name) const;
    Properties pageLayout(const QString& masterPage) const;
    double pageWidth(const QString& masterPage) const;  // points, 0 when unknown
    double pageHeight(const QString& masterPage) const;
};

Document read(const QString& fodtPath);

} // namespace fodt

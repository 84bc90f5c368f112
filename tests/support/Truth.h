#pragma once
// What a generated PDF holds, as drawn: its pages, paragraphs, runs, headings,
// running heads and feet and reading order. Saved beside the PDF as JSON so
// that the benchmark and a person can read it too.
#include "FodtDocument.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace fmt {

enum class Align { Left, Center, Right, Justify };
using Position = fodt::Position; // where a run sits on its line

QString alignName(Align a);         // "left", "center", "right", "justify"
QString odfAlign(Align a);          // "start", "center", "end", "justify"

struct TruthRun {
    QString text;
    int paragraph = -1;             // index into Truth::paragraphs
    QStringList families;           // Word families accepted for Latin text; empty: not judged
    QStringList eastAsianFamilies;  // accepted East Asian families; empty: not judged
    bool cjk = false;               // the run is Chinese text
    double size = 12;               // points
    double altSize = 0;             // also right (a raised run may keep its line's size); 0: none
    bool bold = false;
    bool italic = false;
    bool smallCaps = false;
    QColor color = Qt::black;
    Position position = Position::Baseline;
};

struct TruthParagraph {
    QString text;                   // its words, single-spaced
    int page = 1;
    Align align = Align::Left;
    bool judgeAlignment = true;     // false where one short line cannot show it
    bool judgeIndents = false;      // the indents below were set on purpose
    double leftIndent = 0;          // points from the text column's left edge
    double rightIndent = 0;
    double firstLine = 0;           // relative to leftIndent; negative: hanging
    int headingLevel = 0;           // 0: body text
    double lineSpacing = 1.0;       // multiple of single spacing; judged from three lines up
    double gapBefore = -1;          // extra space above it, points (after + before); -1: not judged
    int lines = 1;
    // A list item: its depth (0: outermost; -1: not a list item), how it is
    // labelled ("bullet", or the numbering: "1", "a", "A", "i", "I", "一") and
    // the label as drawn; `text` leaves the label out.
    int listLevel = -1;
    QString listFormat;
    QString listLabel;
};

// Text that links to a web address.
struct TruthLink {
    QString text;
    int paragraph = -1;
    QString href;
};

// A note mark raised in a paragraph, with its note at the foot of the page.
struct TruthFootnote {
    QString mark;                   // as drawn; not part of the paragraph's text
    QString text;                   // the note, single-spaced, without its mark
    int paragraph = -1;
    QString before;                 // the paragraph's text before the mark, single-spaced
};

struct TruthPage {
    double width = 595;             // points
    double height = 842;
    bool landscape() const { return width > height; }
};

struct Truth {
    QString name;                   // file name without extension
    QString title;
    QList<TruthPage> pages;
    QList<TruthParagraph> paragraphs;
    QList<TruthRun> runs;
    QString runningHead;            // empty: none
    bool pageNumbers = false;       // a page number at the foot of every page
    QStringList readingOrder;       // paragraph beginnings in the order they must be read
    QStringList placedTexts;        // drawn outside the flow (e.g. turned on its side); must be kept
    QList<TruthLink> links;
    QList<TruthFootnote> footnotes;

    bool save(const QString& jsonPath) const;
    static Truth load(const QString& jsonPath, QString* error = nullptr);
};

} // namespace fmt

#pragma once
// Compares a generated document's ground truth with what LibreOffice reads
// from our .doc: scores for the formatting measures and descriptions of every
// miss, plus the structure checks (reading order, running text, sections).
#include "FodtDocument.h"
#include "Truth.h"

#include <QMap>
#include <QStringList>

namespace fmt {

struct Tally {
    int total = 0;
    int right = 0;
    void count(bool ok)
    {
        ++total;
        right += ok ? 1 : 0;
    }
    double share() const { return total == 0 ? 1.0 : double(right) / double(total); }
    Tally& operator+=(const Tally& o)
    {
        total += o.total;
        right += o.right;
        return *this;
    }
};

struct FidelityReport {
    Tally runs;        // bold, italic, size (within half a point) and family all right
    Tally bold, italic, size, family;
    Tally color, position, smallCaps, eastAsianFamily;
    Tally paragraphs;  // found whole, as one paragraph
    Tally alignment;
    Tally indents;
    Tally spacing;
    Tally headingRecall;    // headings found at their level with their Heading N style
    Tally headingPrecision; // paragraphs marked as headings that are headings
    Tally lists;            // list items read back as list items at their level, bullet or numbered as drawn
    Tally listPrecision;    // paragraphs read back as list items that are list items
    Tally links;            // linked text that links to its address
    Tally footnotes;        // notes read back as footnotes of their paragraph, with their text, cited in place
    QStringList misses;     // "<document>: <what went wrong>"
    QMap<QString, QStringList> missesBy; // the same by measure: see the k... names below

    FidelityReport& operator+=(const FidelityReport& o);
    void file(const QString& measure, const QString& what);
};

// The measures misses are filed under.
inline const QString kRunFormat = QStringLiteral("run format");   // bold, italic, size within 0.5 pt, family
inline const QString kExactSize = QStringLiteral("exact size");   // sizes off by a half-point step
inline const QString kColour = QStringLiteral("colour");
inline const QString kPosition = QStringLiteral("position");     // superscript and subscript
inline const QString kSmallCaps = QStringLiteral("small caps");
inline const QString kEastAsian = QStringLiteral("East Asian font");
inline const QString kParagraphs = QStringLiteral("paragraphs");  // kept whole
inline const QString kAlignment = QStringLiteral("alignment");
inline const QString kIndents = QStringLiteral("indents");
inline const QString kSpacing = QStringLiteral("spacing");       // space between paragraphs, line spacing
inline const QString kHeadings = QStringLiteral("headings");      // recall and precision
inline const QString kLists = QStringLiteral("lists");            // recall and precision
inline const QString kLinks = QStringLiteral("links");
inline const QString kFootnotes = QStringLiteral("footnotes");

FidelityReport score(const Truth& truth, const fodt::Document& view);

// The texts a paragraph may rightly be read as: its own, then with its list
// label typed before it, with its note marks inline, or without a label its
// text holds.
QStringList readingsOf(const Truth& truth, int paragraph);

// Each returns the problems found; empty when all is well.
QStringList checkReadingOrder(const Truth& truth, const fodt::Document& view);
QStringList checkRunningText(const Truth& truth, const fodt::Document& view);
QStringList checkSections(const Truth& truth, const fodt::Document& view);
QStringList checkPlacedText(const Truth& truth, const fodt::Document& view);

} // namespace fmt

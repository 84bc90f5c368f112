#pragma once
// A PDF with known formatting and the score of how much of it a converted
// document keeps (read back through LibreOffice's flat ODF).
#include "FodtDocument.h"

#include <QString>
#include <vector>

namespace pwt::test {

struct ExpectedRun {
    QString text;
    QString family;     // the Word family it must map to
    bool bold = false;
    bool italic = false;
    double size = 11;
};

struct ExpectedParagraph {
    QString text;       // a fragment of it
    QString alignment;  // "start", "center", "end", "justify"
};

struct ExpectedHeading {
    QString text;
    int level = 1;
};

struct FormattingSample {
    QString path;
    std::vector<ExpectedRun> runs;
    std::vector<ExpectedParagraph> paragraphs;
    std::vector<ExpectedHeading> headings;
    QString runningHead;
    QString leftColumnLast, rightColumnFirst; // reading order of the two-column page
    QString colouredText, superscript;
};

FormattingSample makeFormattingPdf(const QString& path);

struct FormattingScore {
    double runs = 0;       // share of runs with bold, italic, size (within 0.5 pt) and family right
    double alignment = 0;  // share of paragraphs with the right alignment
    double headings = 0;   // share of headings found at their level
    QStringList misses;    // what went wrong, for the report
};

FormattingScore scoreFormatting(const FormattingSample& sample, const fodt::Document& doc);

} // namespace pwt::test

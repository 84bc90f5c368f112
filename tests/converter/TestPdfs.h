#pragma once
// The PDFs the end-to-end tests convert, with the paragraphs each must give back.
#include <QString>
#include <QStringList>

namespace pwt::test {

struct KnownPdf {
    QString path;
    QString title;
    int pages = 0;
    QStringList paragraphs; // in reading order, as a reader should show them
    QStringList pageFirstParagraphs; // the paragraph each page after the first opens with
};

// English paragraphs over three pages: two sizes, bold and italic runs, a
// hyphenated line end, a title in the Info dictionary.
KnownPdf makeEnglishPdf(const QString& path);
// Chinese paragraphs (with some Latin) over two pages.
KnownPdf makeChinesePdf(const QString& path);
// A page of graphics only, as a scanner would make (no text layer).
void makeScanPdf(const QString& path);
// Many pages of plain paragraphs, for the time limit.
void makeLongPdf(const QString& path, int pages);

} // namespace pwt::test

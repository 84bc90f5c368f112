#pragma once
// Runs the real pwt on every document of the set, then LibreOffice once over
// all the outputs to get their flat ODF.
#include "Corpus.h"

#include <QList>
#include <QString>

namespace fmt {

struct Converted {
    CorpusFile source;
    QString doc;       // pwt's output
    QString fodt;      // LibreOffice's reading of it; empty when it made none
    QString problem;   // why pwt or LibreOffice failed on it; empty when both worked
};

QList<Converted> convertAll(const QString& pwt, const QList<CorpusFile>& files, const QString& outDir);

// A PDF's text layer may name a CJK radical where the text has the ideograph
// drawn with the same glyph (pdftotext gives U+2EDA for 页): such a character
// matches any ideograph.
bool containsModuloRadicals(const QString& haystack, const QString& needle);

} // namespace fmt

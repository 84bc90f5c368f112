#pragma once
// The formatting set: PDFs with known character formats, alignments, indents,
// headings, columns, running heads and page numbers, page sizes and Chinese
// text, each written with its ground truth (<name>.pdf and <name>.truth.json).
#include "Truth.h"

#include <QList>
#include <QString>

namespace fmt {

struct CorpusFile {
    QString pdf;
    QString truthJson;
    Truth truth;
};

// Writes every document of the set into `dir`; on failure returns an empty
// list and says why in `error`.
QList<CorpusFile> writeCorpus(const QString& dir, QString* error);

} // namespace fmt

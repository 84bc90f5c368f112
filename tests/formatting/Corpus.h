#pragma once
// The formatting set: PDFs with known character formats, alignments, indents,
// headings, columns, running heads and page numbers, page sizes and Chinese
// text, each written with its ground truth (<name>.pdf and <name>.truth.json).
#include "Truth.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace fmt {

class PdfComposer;

struct CorpusFile {
    QString pdf;
    QString truthJson;
    Truth truth;
};

// Writes every document of the set into `dir`; on failure returns an empty
// list and says why in `error`.
QList<CorpusFile> writeCorpus(const QString& dir, QString* error);

// Draws one document as `<dir>/<name>.pdf` and saves its truth beside it; on
// failure returns nothing and says why in `error`.
std::optional<CorpusFile> writeCorpusFile(const QString& dir, const QString& name, const QString& title,
                                          const std::function<void(PdfComposer&)>& draw, QString* error);

} // namespace fmt

#pragma once
// Documents drawn at random from a seed, each with its ground truth: fonts of
// several families and sizes, bold, italic, colour and size changes inside
// English and Chinese lines, raised and lowered runs, alignments, indents,
// spacing, headings of three levels, one and two columns, bulleted, numbered,
// nested and Chinese-numbered lists, footnotes, web links, centred lines of
// names set apart by ideographic spaces and small ruled tables. The same seed
// draws the same document.
#include "Corpus.h"

#include <QList>
#include <QString>

namespace fmt {

// The seeds the converter's rules may be tuned on, and those kept apart to
// measure them on.
QList<int> tuningSeeds();
QList<int> heldOutSeeds();

// The name of the document a seed draws ("random-<seed>").
QString randomDocumentName(int seed);

// Writes the documents of `seeds` into `dir`; on failure returns an empty
// list and says why in `error`.
QList<CorpusFile> writeRandomCorpus(const QString& dir, const QList<int>& seeds, QString* error);

} // namespace fmt

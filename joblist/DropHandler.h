#pragma once
#include "PdfAdder.h"

#include <QStringList>

namespace joblist {

// Files dropped on one of the window's drop targets: paths ending in ".pdf"
// (any letter case) go to AddPDF in drop order; all others are named
// together in one message at the end.
class DropHandler {
public:
    DropHandler(PdfAdder& adder, platform::MessageBoxes& messages) : m_adder(adder), m_messages(messages) {}

    void OLEDragDrop(const QStringList& files);

    // The ".pdf" test: the last four characters, lower-cased. Looks at the
    // string only; a shorter path is compared whole.
    static bool looksLikePdf(const QString& path);

private:
    PdfAdder& m_adder;
    platform::MessageBoxes& m_messages;
};

} // namespace joblist

#include "PdfAdder.h"
#include "Texts.h"

namespace joblist {

void PdfAdder::AddPDF(const QString& path)
{
    // The batch test comes first: a listed path added during a batch gets only this message.
    if (m_batch.batchRunning()) {
        m_messages.show(platform::warningBox(texts::kBusy));
        return;
    }
    if (m_rows.positionOf(path) != 0) {
        m_messages.show(platform::warningBox(texts::alreadyListed(path)));
        return;
    }
    m_rows.append(path, status::kPending);
    m_rows.setStatus(m_rows.count(), status::kPending);
}

} // namespace joblist

#pragma once
#include "BatchState.h"
#include "JobRows.h"
#include "platform/MessageBoxes.h"

namespace joblist {

// AddPDF: the one way a row enters the job list. Refuses every path while a
// batch runs, then any path already listed; otherwise appends it as pending.
class PdfAdder {
public:
    PdfAdder(JobRows& rows, const BatchState& batch, platform::MessageBoxes& messages)
        : m_rows(rows), m_batch(batch), m_messages(messages)
    {
    }

    void AddPDF(const QString& path);

private:
    JobRows& m_rows;
    const BatchState& m_batch;
    platform::MessageBoxes& m_messages;
};

} // namespace joblist

#pragma once
#include "JobRows.h"
#include "platform/MessageBoxes.h"

namespace joblist {

// cmdDel and cmdClAll: take rows out of the list after asking. Files on disk
// are never touched. Both buttons are locked during a batch, so neither
// tests the batch state.
class RowRemover {
public:
    RowRemover(JobRows& rows, platform::MessageBoxes& messages) : m_rows(rows), m_messages(messages) {}

    void cmdDel_Click();
    void cmdClAll_Click();

private:
    JobRows& m_rows;
    platform::MessageBoxes& m_messages;
};

} // namespace joblist

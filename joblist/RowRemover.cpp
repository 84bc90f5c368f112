#include "RowRemover.h"
#include "Texts.h"

namespace joblist {

void RowRemover::cmdDel_Click()
{
    if (m_rows.count() == 0) {
        m_messages.show(platform::warningBox(texts::kListEmpty));
        return;
    }
    const int position = m_rows.selected();
    if (position == 0) {
        m_messages.show(platform::warningBox(texts::kSelectFirst));
        return;
    }
    const QString path = m_rows.text(position);
    if (m_messages.show(platform::questionBox(texts::confirmDelete(path))) != platform::MessageAnswer::Yes)
        return;
    // The box ran a nested event loop: take the selection as it is now.
    const int now = m_rows.selected();
    if (now != 0)
        m_rows.removeAt(now);
}

void RowRemover::cmdClAll_Click()
{
    if (m_messages.show(platform::questionBox(texts::kConfirmClear)) == platform::MessageAnswer::Yes)
        m_rows.clear();
}

} // namespace joblist

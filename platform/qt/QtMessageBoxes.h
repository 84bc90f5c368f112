#pragma once
#include "platform/MessageBoxes.h"

class QWidget;

namespace platform::qt {

// QMessageBox with the exact text, title, icon, buttons and default button.
class QtMessageBoxes : public MessageBoxes {
public:
    // Boxes are owned by this window; without one, by the active window.
    void setOwner(QWidget* owner) { m_owner = owner; }
    MessageAnswer show(const MessageRequest& request) override;

private:
    QWidget* m_owner = nullptr;
};

} // namespace platform::qt

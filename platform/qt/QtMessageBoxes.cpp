#include "QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace platform::qt {

static QMessageBox::Icon iconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Critical: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

static QMessageBox::StandardButton buttonOf(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Ok: return QMessageBox::Ok;
    case MessageAnswer::Yes: return QMessageBox::Yes;
    case MessageAnswer::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

MessageAnswer QtMessageBoxes::show(const MessageRequest& request)
{
    const bool question = request.buttons == MessageButtons::YesNo;
    QWidget* owner = m_owner ? m_owner : QApplication::activeWindow();
    QMessageBox box(iconOf(request.icon), request.title, request.text,
                    question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText); // paths are shown as they are, never as markup
    box.setDefaultButton(buttonOf(request.defaultButton));
    const int pressed = box.exec();
    if (!question)
        return MessageAnswer::Ok;
    // Closing a question box without a button means No.
    return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

} // namespace platform::qt

#pragma once
#include <QString>

namespace platform {

enum class MessageIcon { Warning, Question, Information, Critical };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::Warning;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultButton = MessageAnswer::Ok;

    bool operator==(const MessageRequest&) const = default;
};

// The window's usual boxes: a warning with OK, and a question with Yes and No.
inline const QString kDefaultTitle = QStringLiteral("提示");

inline MessageRequest warningBox(const QString& text, const QString& title = kDefaultTitle)
{
    return {text, title, MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok};
}

inline MessageRequest questionBox(const QString& text, MessageAnswer defaultButton = MessageAnswer::No,
                                  const QString& title = kDefaultTitle)
{
    return {text, title, MessageIcon::Question, MessageButtons::YesNo, defaultButton};
}

// Modal message boxes. show() returns only after the user has closed the box.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const MessageRequest& request) = 0;
};

} // namespace platform

#pragma once
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <functional>

namespace app {

// The program's top level: an unexpected error (an exception) that escapes
// an event handler is shown in a message box and ends the program.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    void setMessageBoxes(platform::MessageBoxes* messages) { m_messages = messages; }

    bool notify(QObject* receiver, QEvent* event) override;

    // Runs a step outside event delivery (start-up) under the same guard;
    // false when it failed and the program is ending.
    bool guard(const std::function<void()>& step);

    static inline const QString kErrorTitle = QStringLiteral("VelkaroPDF转换成Word转换器");
    static QString errorText(const QString& what);

private:
    void fail(const QString& what);

    platform::MessageBoxes* m_messages = nullptr;
    bool m_failed = false;
};

} // namespace app

#include "GuardedApplication.h"

#include <exception>

namespace app {

QString GuardedApplication::errorText(const QString& what)
{
    return QStringLiteral("程序发生意外错误，即将退出：\n") + what;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        fail(QStringLiteral("unknown error"));
    }
    return false;
}

bool GuardedApplication::guard(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        fail(QStringLiteral("unknown error"));
    }
    return false;
}

void GuardedApplication::fail(const QString& what)
{
    if (m_failed)
        return; // already reporting and ending
    m_failed = true;
    if (m_messages) {
        m_messages->show({errorText(what), kErrorTitle, platform::MessageIcon::Critical,
                          platform::MessageButtons::Ok, platform::MessageAnswer::Ok});
    }
    // Leaves every event loop, nested ones included: the program ends.
    QCoreApplication::exit(EXIT_FAILURE);
}

} // namespace app

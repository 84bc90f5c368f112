#include "QtEventPump.h"

#include <QCoreApplication>

namespace platform::qt {

void QtEventPump::processEvents()
{
    QCoreApplication::processEvents();
}

} // namespace platform::qt

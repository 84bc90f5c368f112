#include "DesktopFileManager.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform::qt {

Status DesktopFileManager::openFolder(const QString& folder)
{
    // Hands the folder over and returns; whether it exists is the file manager's affair.
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        return Status::success();
    return Status::failure(QStringLiteral("no file manager could be started"));
}

} // namespace platform::qt

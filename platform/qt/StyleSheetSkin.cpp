#include "StyleSheetSkin.h"

#include <QApplication>
#include <QFile>

namespace platform::qt {

void StyleSheetSkin::SkinHme()
{
    // Nothing to prepare: style sheets need no set-up before they are attached.
}

void StyleSheetSkin::SkinH_AttachEx(const QString& skinFile, const QString& password)
{
    Q_UNUSED(password); // style sheets are not encrypted
    QFile file(skinFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
}

void StyleSheetSkin::SkinH_Detach()
{
    qApp->setStyleSheet(QString());
}

} // namespace platform::qt

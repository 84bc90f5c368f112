#pragma once
#include "platform/FileDialogs.h"

#include <QStringList>

class QWidget;

namespace platform::qt {

// The Open dialog and the folder dialog, on QFileDialog.
class QtFileDialogs : public FileDialogs {
public:
    void setOwner(QWidget* owner) { m_owner = owner; }

    QString openFiles(const QString& title, const QString& filter) override;
    QString browseFolder(const QString& title) override;

private:
    QWidget* m_owner = nullptr;
};

// The chosen paths in the Open dialog's classic answer: "" for none, the path
// for one, else the folder that holds them all (no trailing separator unless
// it is "/") followed by each path relative to it, each after a NUL.
QString classicOpenResult(const QStringList& paths);

// A classic filter "description|pattern|description|pattern..." as a Qt
// name filter "description (pattern);;...".
QString qtNameFilter(const QString& classicFilter);

// A folder path as the dialogs hand it on: no trailing separator except "/".
QString withoutTrailingSeparator(QString folder);

} // namespace platform::qt

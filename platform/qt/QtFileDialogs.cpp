#include "QtFileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace platform::qt {

QString withoutTrailingSeparator(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

QString qtNameFilter(const QString& classicFilter)
{
    const QStringList parts = classicFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(u';', u' ');
        filters.append(parts[i] + QStringLiteral(" (") + pattern + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

static QString folderOf(const QString& path)
{
    const qsizetype cut = path.lastIndexOf(u'/');
    return cut <= 0 ? QStringLiteral("/") : path.left(cut);
}

QString classicOpenResult(const QStringList& paths)
{
    if (paths.isEmpty())
        return {};
    if (paths.size() == 1)
        return paths.first();
    // Normally all names share one folder; a dialog that returns files from
    // several folders gets their common one, so folder + name stays each path.
    QString common = folderOf(paths.first());
    auto holds = [](const QString& folder, const QString& path) {
        return folder == QLatin1String("/") ? path.startsWith(u'/') : path.startsWith(folder + u'/');
    };
    for (const QString& path : paths) {
        while (!holds(common, path) && common != QLatin1String("/"))
            common = folderOf(common);
    }
    QString result = common;
    const qsizetype skip = common == QLatin1String("/") ? 1 : common.size() + 1;
    for (const QString& path : paths)
        result += QChar(u'\0') + path.mid(skip);
    return result;
}

QString QtFileDialogs::openFiles(const QString& title, const QString& filter)
{
    QWidget* owner = m_owner ? m_owner : QApplication::activeWindow();
    // A chosen link comes back as the link itself, not its target.
    const QStringList chosen = QFileDialog::getOpenFileNames(owner, title, QString(), qtNameFilter(filter), nullptr,
                                                             QFileDialog::DontResolveSymlinks);
    return classicOpenResult(chosen);
}

QString QtFileDialogs::browseFolder(const QString& title)
{
    QWidget* owner = m_owner ? m_owner : QApplication::activeWindow();
    const QString folder = QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return {};
    return withoutTrailingSeparator(QDir::fromNativeSeparators(folder));
}

} // namespace platform::qt

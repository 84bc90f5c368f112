#include "QtFileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace platform::qt {

QString QtFileSystem::programFolder() const
{
    return QCoreApplication::applicationDirPath();
}

bool QtFileSystem::folderExists(const QString& path) const
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

Status QtFileSystem::makeFolder(const QString& path)
{
    QString folder = path;
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    // One level only: QDir::mkdir, never mkpath.
    if (QDir().mkdir(folder))
        return Status::success();

    const QFileInfo info(folder);
    if (info.exists())
        return Status::failure(info.isDir() ? QStringLiteral("文件夹已存在") : QStringLiteral("同名文件已存在"));
    if (!QFileInfo(info.absolutePath()).isDir())
        return Status::failure(QStringLiteral("上级文件夹[%1]不存在").arg(info.absolutePath()));
    return Status::failure(QStringLiteral("没有在上级文件夹中创建文件夹的权限，或名称无效"));
}

bool QtFileSystem::fileExists(const QString& path) const
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

FileStamp QtFileSystem::stamp(const QString& path) const
{
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    FileStamp result;
    result.exists = true;
    result.size = static_cast<qint64>(info.st_size);
    result.modifiedNs = static_cast<qint64>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    result.inode = static_cast<quint64>(info.st_ino);
    return result;
}

} // namespace platform::qt

#include "Doubles.h"

namespace platform::doubles {

MessageAnswer ScriptedMessageBoxes::show(const MessageRequest& request)
{
    shown.append(request);
    if (m_whileOpen) {
        auto action = std::exchange(m_whileOpen, nullptr);
        action();
    }
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

QString ScriptedFileDialogs::openFiles(const QString& title, const QString& filter)
{
    openTitles.append(title);
    openFilters.append(filter);
    return m_openResults.isEmpty() ? QString() : m_openResults.dequeue();
}

QString ScriptedFileDialogs::browseFolder(const QString& title)
{
    folderTitles.append(title);
    return m_folders.isEmpty() ? QString() : m_folders.dequeue();
}

static QString withoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

static QString parentOf(const QString& path)
{
    const auto cut = path.lastIndexOf(u'/');
    return cut <= 0 ? QStringLiteral("/") : path.left(cut);
}

bool FakeFileSystem::folderExists(const QString& path) const
{
    return folders.contains(withoutTrailingSeparator(path));
}

Status FakeFileSystem::makeFolder(const QString& path)
{
    const auto folder = withoutTrailingSeparator(path);
    madeFolders.append(folder);
    if (folders.contains(folder))
        return Status::failure(QStringLiteral("folder exists: ") + folder);
    if (!folders.contains(parentOf(folder)))
        return Status::failure(QStringLiteral("parent folder missing: ") + folder);
    folders.insert(folder);
    return Status::success();
}

FileStamp FakeFileSystem::stamp(const QString& path) const
{
    return files.value(path, FileStamp{});
}

void FakeFileSystem::writeFile(const QString& path, qint64 size)
{
    FileStamp s;
    s.exists = true;
    s.size = size;
    s.modifiedNs = static_cast<qint64>(m_nextInode) * 1000;
    s.inode = m_nextInode++;
    files.insert(path, s);
}

LaunchResult FakeProcesses::startHidden(const QString& program, const QStringList& arguments)
{
    if (!m_failures.isEmpty())
        return {0, m_failures.dequeue()};
    const qint64 pid = m_nextPid++;
    launches.append({program, arguments, pid});
    m_running.insert(pid);
    if (onLaunch)
        onLaunch(pid, program, arguments);
    return {pid, {}};
}

QString MemorySettings::read(const QString& application, const QString& section, const QString& key,
                             const QString& defaultValue)
{
    return values.value(keyOf(application, section, key), defaultValue);
}

Status MemorySettings::write(const QString& application, const QString& section, const QString& key,
                             const QString& value)
{
    values.insert(keyOf(application, section, key), value);
    writes.append(keyOf(application, section, key) + u'=' + value);
    return Status::success();
}

} // namespace platform::doubles

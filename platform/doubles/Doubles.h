#pragma once
// Scriptable stand-ins for the platform, for tests: each records what it was
// asked and answers what the test scripted.
#include "../Platform.h"

#include <QHash>
#include <QList>
#include <QQueue>
#include <QSet>
#include <QStringList>
#include <functional>

namespace platform::doubles {

class ScriptedMessageBoxes : public MessageBoxes {
public:
    // Answers the next box with this; unscripted boxes get Ok or No.
    void setNextAnswer(MessageAnswer answer) { m_answers.enqueue(answer); }
    // Runs inside the next box, while it is "open" (for tests of what may run meanwhile).
    void setWhileOpen(std::function<void()> action) { m_whileOpen = std::move(action); }

    MessageAnswer show(const MessageRequest& request) override;

    QList<MessageRequest> shown;

private:
    QQueue<MessageAnswer> m_answers;
    std::function<void()> m_whileOpen;
};

class ScriptedFileDialogs : public FileDialogs {
public:
    void setNextOpenResult(const QString& result) { m_openResults.enqueue(result); }
    void setNextFolder(const QString& folder) { m_folders.enqueue(folder); }

    QString openFiles(const QString& title, const QString& filter) override;
    QString browseFolder(const QString& title) override;

    QStringList openTitles, openFilters, folderTitles;

private:
    QQueue<QString> m_openResults, m_folders;
};

// A file system kept in memory; paths are plain strings, folders end in no separator.
class FakeFileSystem : public FileSystem {
public:
    QString programFolder() const override { return programDir; }
    bool folderExists(const QString& path) const override;
    Status makeFolder(const QString& path) override;
    bool fileExists(const QString& path) const override { return files.contains(path); }
    FileStamp stamp(const QString& path) const override;

    void writeFile(const QString& path, qint64 size = 1);

    QString programDir = QStringLiteral("/opt/velkaro");
    QSet<QString> folders{QStringLiteral("/")};
    QHash<QString, FileStamp> files;
    QStringList madeFolders;

private:
    quint64 m_nextInode = 100;
};

// Processes that "run" until the test ends them.
class FakeProcesses : public Processes {
public:
    LaunchResult startHidden(const QString& program, const QStringList& arguments) override;
    bool isRunning(qint64 pid) override { return pid > 0 && m_running.contains(pid); }

    // Ends the process, as if the converter had exited.
    void finish(qint64 pid) { m_running.remove(pid); }
    void failNextLaunch(const QString& why) { m_failures.enqueue(why); }
    // Called for every launch: lets a test play the converter.
    std::function<void(qint64 pid, const QString& program, const QStringList& arguments)> onLaunch;

    struct Launch {
        QString program;
        QStringList arguments;
        qint64 pid;
    };
    QList<Launch> launches;
    QList<qint64> queries;

private:
    QSet<qint64> m_running;
    QQueue<QString> m_failures;
    qint64 m_nextPid = 4000;
};

class MemorySettings : public SettingsStore {
public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) override;
    Status write(const QString& application, const QString& section, const QString& key,
                 const QString& value) override;

    static QString keyOf(const QString& application, const QString& section, const QString& key)
    {
        return application + u'/' + section + u'/' + key;
    }
    QHash<QString, QString> values;
    QStringList writes; // keyOf(...) + "=" + value, in order
};

class RecordingFileManager : public FileManager {
public:
    Status openFolder(const QString& folder) override
    {
        opened.append(folder);
        return Status::success();
    }
    QStringList opened;
};

class RecordingSkin : public SkinH {
public:
    void SkinHme() override { calls.append(QStringLiteral("SkinHme")); }
    void SkinH_AttachEx(const QString& skinFile, const QString& password) override
    {
        calls.append(QStringLiteral("SkinH_AttachEx(%1,%2)").arg(skinFile, password));
    }
    void SkinH_Detach() override { calls.append(QStringLiteral("SkinH_Detach")); }
    QStringList calls;
};

class RecordingWebCount : public WebCount {
public:
    void setSilent(bool silent) override { calls.append(QStringLiteral("Silent=%1").arg(silent)); }
    void Navigate(const QString& url) override { calls.append(QStringLiteral("Navigate(%1)").arg(url)); }
    QStringList calls;
};

class CountingEventPump : public EventPump {
public:
    void processEvents() override { ++count; if (action) action(); }
    int count = 0;
    std::function<void()> action;
};

// One of each, wired into a Platform.
struct TestPlatform {
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    FakeFileSystem files;
    FakeProcesses processes;
    MemorySettings settings;
    RecordingFileManager fileManager;
    RecordingSkin skin;
    RecordingWebCount web;
    CountingEventPump events;

    Platform platform() { return {messages, dialogs, files, processes, settings, fileManager, skin, web, events}; }
};

} // namespace platform::doubles

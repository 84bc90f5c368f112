#pragma once
#include "Status.h"
#include <QString>
#include <QtGlobal>

namespace platform {

// What a path held at one moment, enough to tell whether a file was created or
// rewritten in between (a rename over it changes the inode, a rewrite in place
// the size or the modification time).
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;

    bool operator==(const FileStamp&) const = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The folder of the running program, without a trailing separator.
    virtual QString programFolder() const = 0;
    virtual bool folderExists(const QString& path) const = 0;
    // Creates exactly one folder level; the parent must exist already.
    virtual Status makeFolder(const QString& path) = 0;
    // True for a file (not a folder) at that path.
    virtual bool fileExists(const QString& path) const = 0;
    virtual FileStamp stamp(const QString& path) const = 0;
};

} // namespace platform

#pragma once
#include "platform/FileSystem.h"

namespace platform::qt {

class QtFileSystem : public FileSystem {
public:
    QString programFolder() const override;
    bool folderExists(const QString& path) const override;
    Status makeFolder(const QString& path) override;
    bool fileExists(const QString& path) const override;
    FileStamp stamp(const QString& path) const override;
};

} // namespace platform::qt

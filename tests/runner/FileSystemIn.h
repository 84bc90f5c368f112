#pragma once
// The real file system with the program folder of the test's choosing, where
// the converter is looked for.
#include "platform/qt/QtFileSystem.h"

#include <QString>

namespace runner::testing {

class FileSystemIn : public platform::qt::QtFileSystem {
public:
    explicit FileSystemIn(QString folder) : m_folder(std::move(folder)) {}
    QString programFolder() const override { return m_folder; }

private:
    QString m_folder;
};

} // namespace runner::testing

#pragma once
#include "Status.h"
#include <QString>

namespace platform {

// The desktop's file manager.
class FileManager {
public:
    virtual ~FileManager() = default;
    // Opens the folder without waiting and without testing that it exists.
    virtual Status openFolder(const QString& folder) = 0;
};

} // namespace platform

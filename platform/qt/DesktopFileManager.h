#pragma once
#include "platform/FileManager.h"

namespace platform::qt {

// The desktop's file manager, through QDesktopServices (xdg-open on Linux).
class DesktopFileManager : public FileManager {
public:
    Status openFolder(const QString& folder) override;
};

} // namespace platform::qt

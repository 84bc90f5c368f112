#pragma once
#include "platform/Platform.h"
#include "platform/qt/DesktopFileManager.h"
#include "platform/qt/NetworkWebCount.h"
#include "platform/qt/PosixProcesses.h"
#include "platform/qt/QtEventPump.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtFileSystem.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/StyleSheetSkin.h"

class QWidget;

namespace app {

// The real implementations, one of each, wired into a Platform.
struct RealPlatform {
    platform::qt::QtMessageBoxes messages;
    platform::qt::QtFileDialogs dialogs;
    platform::qt::QtFileSystem files;
    platform::qt::PosixProcesses processes;
    platform::qt::QtSettingsStore settings;
    platform::qt::DesktopFileManager fileManager;
    platform::qt::StyleSheetSkin skin;
    platform::qt::NetworkWebCount web;
    platform::qt::QtEventPump events;

    platform::Platform platform()
    {
        return {messages, dialogs, files, processes, settings, fileManager, skin, web, events};
    }
    // Dialogs and boxes belong to the main window once it exists.
    void setOwner(QWidget* owner)
    {
        messages.setOwner(owner);
        dialogs.setOwner(owner);
    }
};

} // namespace app

#pragma once
#include "EventPump.h"
#include "FileDialogs.h"
#include "FileManager.h"
#include "FileSystem.h"
#include "MessageBoxes.h"
#include "Processes.h"
#include "SettingsStore.h"
#include "SkinH.h"
#include "WebCount.h"

namespace platform {

// Everything the window touches outside itself, handed to it at construction:
// the real Qt/POSIX implementations in the program, the doubles in tests.
struct Platform {
    MessageBoxes& messages;
    FileDialogs& dialogs;
    FileSystem& files;
    Processes& processes;
    SettingsStore& settings;
    FileManager& fileManager;
    SkinH& skin;
    WebCount& web;
    EventPump& events;
};

} // namespace platform

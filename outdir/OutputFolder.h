#pragma once
#include "OutputFolderView.h"
#include "platform/FileDialogs.h"
#include "platform/FileManager.h"
#include "platform/MessageBoxes.h"
#include "platform/SettingsStore.h"

namespace outdir {

// The saved output folder's record in the settings store.
inline const QString kApplication = QStringLiteral("VelkaroPDF转换成Word转换器");
inline const QString kSection = QStringLiteral("softinfo");
inline const QString kKey = QStringLiteral("savepath");

inline const QString kChooseTitle = QStringLiteral("请选择Word文件保存文件夹：");
inline const QString kDefaultBrowseTitle = QStringLiteral("选择目录");
inline const QString kNoFolder = QStringLiteral("您尚未选择Word文件保存文件夹，请先选择！");

// The folder that receives the Word files: chosen in the folder dialog,
// shown in txtSave, remembered in the settings store, opened in the file
// manager. The folder is always read from txtSave; nothing here checks that
// it exists.
class OutputFolder {
public:
    OutputFolder(OutputFolderView& view, platform::FileDialogs& dialogs, platform::SettingsStore& settings,
                 platform::FileManager& fileManager, platform::MessageBoxes& messages)
        : m_view(view), m_dialogs(dialogs), m_settings(settings), m_fileManager(fileManager), m_messages(messages)
    {
    }

    // The chosen folder's path, or "" when the dialog was cancelled.
    QString BrowseFolder(const QString& title);

    void cmdSelSave_Click();
    void txtSave_Change();
    void cmdOpenSave_Click();

    // The saved folder exactly as stored, "" when none (start-up).
    QString savedFolder();
    // Puts the saved folder, if any, into txtSave (start-up).
    void restoreSaved();

private:
    OutputFolderView& m_view;
    platform::FileDialogs& m_dialogs;
    platform::SettingsStore& m_settings;
    platform::FileManager& m_fileManager;
    platform::MessageBoxes& m_messages;
};

} // namespace outdir

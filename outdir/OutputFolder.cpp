#include "OutputFolder.h"

namespace outdir {

QString OutputFolder::BrowseFolder(const QString& title)
{
    return m_dialogs.browseFolder(title.isEmpty() ? kDefaultBrowseTitle : title);
}

void OutputFolder::cmdSelSave_Click()
{
    QString folder = BrowseFolder(kChooseTitle);
    if (folder.isEmpty())
        return;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    m_view.setFolderText(folder);
    const platform::Status saved = m_settings.write(kApplication, kSection, kKey, folder);
    if (!saved.ok()) {
        // The folder stays in use for this run; only remembering it failed.
        m_messages.show(platform::warningBox(QStringLiteral("无法保存Word文件保存文件夹的设置：") + saved.error()));
    }
}

void OutputFolder::txtSave_Change()
{
    m_view.setOpenEnabled(!m_view.folderText().isEmpty());
}

void OutputFolder::cmdOpenSave_Click()
{
    const QString folder = m_view.folderText();
    if (folder.isEmpty()) {
        m_messages.show(platform::warningBox(kNoFolder));
        m_view.focusSelSave();
        return;
    }
    const platform::Status opened = m_fileManager.openFolder(folder);
    if (!opened.ok()) {
        m_messages.show(platform::warningBox(QStringLiteral("无法打开文件夹[") + folder + QStringLiteral("]：") +
                                             opened.error()));
    }
}

QString OutputFolder::savedFolder()
{
    return m_settings.read(kApplication, kSection, kKey, QString());
}

void OutputFolder::restoreSaved()
{
    const QString folder = savedFolder();
    if (!folder.isEmpty())
        m_view.setFolderText(folder);
}

} // namespace outdir

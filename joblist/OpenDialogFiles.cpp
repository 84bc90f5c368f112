#include "OpenDialogFiles.h"
#include "Texts.h"

namespace joblist {

void OpenDialogFiles::cmdAddPDF_Click()
{
    const QString fileName = m_dialogs.openFiles(texts::kOpenTitle, texts::kOpenFilter);
    if (fileName.isEmpty())
        return;
    SplitFileNames(fileName);
    // A copy: AddPDF's message boxes run a nested event loop.
    const QStringList parts = strFiles;
    for (qsizetype i = 1; i < parts.size(); ++i)
        m_adder.AddPDF(parts[0] + parts[i]);
}

void OpenDialogFiles::SplitFileNames(const QString& fileName)
{
    strFiles = fileName.split(QChar(u'\0'));
    if (strFiles.size() > 1) {
        if (!strFiles[0].endsWith(u'/'))
            strFiles[0] += u'/';
        return;
    }
    const QString whole = strFiles[0];
    const qsizetype cut = whole.lastIndexOf(u'/') + 1; // 0 when there is no separator
    strFiles = QStringList{whole.left(cut), whole.mid(cut)};
}

} // namespace joblist

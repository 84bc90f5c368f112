#pragma once
#include "PdfAdder.h"
#include "platform/FileDialogs.h"

#include <QStringList>

namespace joblist {

// The Open dialog behind cmdAddPDF: shows it, splits its classic answer
// (one path, or the folder and the names separated by NUL) into strFiles and
// hands every chosen path to AddPDF. No extension test here.
class OpenDialogFiles {
public:
    OpenDialogFiles(platform::FileDialogs& dialogs, PdfAdder& adder) : m_dialogs(dialogs), m_adder(adder) {}

    void cmdAddPDF_Click();

    // Fills strFiles: index 0 the folder ending in "/", then the names in it.
    void SplitFileNames(const QString& fileName);

    // The result of the last split; a cancelled dialog leaves it as it was.
    QStringList strFiles;

private:
    platform::FileDialogs& m_dialogs;
    PdfAdder& m_adder;
};

} // namespace joblist

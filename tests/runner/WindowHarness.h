#pragma once
// The real window on the platform doubles, except for real processes, the
// real file system (with a program folder of the test's choosing) and the
// real event pump: batches run the converter for real, boxes are scripted.
#include "FileSystemIn.h"
#include "app/frmMain.h"
#include "platform/doubles/Doubles.h"
#include "platform/qt/PosixProcesses.h"
#include "platform/qt/QtEventPump.h"

#include <QTreeWidget>

namespace runner::testing {

struct WindowHarness {
    platform::doubles::TestPlatform doubles;
    platform::qt::PosixProcesses processes;
    FileSystemIn files;
    platform::qt::QtEventPump events;
    platform::Platform platform{doubles.messages, doubles.dialogs, files, processes, doubles.settings,
                                doubles.fileManager, doubles.skin, doubles.web, events};
    frmMain form{platform};

    explicit WindowHarness(const QString& programFolder) : files(programFolder) { form.Form_Load(); }

    QStringList statuses() const
    {
        QStringList result;
        for (int i = 0; i < form.lvwPDF->topLevelItemCount(); ++i)
            result.append(form.lvwPDF->topLevelItem(i)->text(1));
        return result;
    }
    bool askedToOpenFolder() const
    {
        return !doubles.messages.shown.isEmpty()
            && doubles.messages.shown.last().text == QStringLiteral("所有文档转换完成！是否打开Word文件保存文件夹？");
    }
};

} // namespace runner::testing

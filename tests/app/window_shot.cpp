// Takes the README's picture of the window: the real skin, a few rows and a
// restored folder, drawn on the X server it runs on (use xvfb-run).
// usage: window_shot <skin file> <out.png>
//        window_shot --screen <out.png>   (the whole screen, e.g. the installed program's window)
#include "app/frmMain.h"
#include "platform/doubles/Doubles.h"
#include "platform/qt/StyleSheetSkin.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 3)
        return 2;
    if (QString::fromLocal8Bit(argv[1]) == QLatin1String("--screen"))
        return QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    platform::doubles::TestPlatform p;
    platform::qt::StyleSheetSkin skin;
    p.files.programDir = QFileInfo(QString::fromLocal8Bit(argv[1])).absolutePath();
    p.settings.values.insert(platform::doubles::MemorySettings::keyOf("VelkaroPDF转换成Word转换器", "softinfo", "savepath"),
                             "/home/user/文档/Word/");
    platform::Platform platform{p.messages, p.dialogs, p.files, p.processes, p.settings,
                                p.fileManager, skin,      p.web,   p.events};
    frmMain w(platform);
    w.Form_Load();
    const QStringList files{"/home/user/文档/年度报告2023.pdf", "/home/user/文档/产品手册.pdf",
                            "/home/user/下载/invoice-0412.pdf", "/home/user/下载/会议纪要.pdf"};
    for (const QString& f : files)
        w.AddPDF(f);
    w.rows().setStatus(1, QStringLiteral("转换完成"));
    w.rows().setStatus(2, QStringLiteral("转换完成"));
    w.rows().setStatus(3, QStringLiteral("转换失败"));
    w.lvwPDF->setCurrentItem(w.lvwPDF->topLevelItem(3));
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    QTest::qWait(500);
    const QPixmap shot = w.screen()->grabWindow(0, w.x(), w.y(), w.width(), w.height());
    return shot.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}

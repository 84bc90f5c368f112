// The main window with the platform doubles: its controls and states, the
// binding of events to operations, drops, start-up and closing.
#include "WindowDriver.h"
#include "app/frmMain.h"
#include "platform/doubles/Doubles.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using platform::MessageAnswer;
using testing::dropAt;
using testing::dropOn;
using testing::filesData;
using testing::textData;

namespace {

const QString kSaved = QStringLiteral("VelkaroPDF转换成Word转换器/softinfo/savepath");
// Timer ticks a batch must sit through, its row unsettled, while its converter runs.
constexpr qsizetype kTicksWhileRunning = 2;

struct Window {
    platform::doubles::TestPlatform p;
    frmMain w{p.platform()};

    Window()
    {
        w.Form_Load();
        w.show();
    }
    QStringList texts() const
    {
        QStringList out;
        for (const auto& m : p.messages.shown)
            out.append(m.text);
        return out;
    }
    QStringList rowTexts()
    {
        QStringList out;
        for (int i = 1; i <= w.rows().count(); ++i)
            out.append(w.rows().text(i));
        return out;
    }
    QWidget* named(const QString& name) { return name == "frmMain" ? &w : w.findChild<QWidget*>(name); }
};

// Start-up steps and what each saw, in one log.
struct LoggingSkin : platform::SkinH {
    QStringList& log;
    explicit LoggingSkin(QStringList& l) : log(l) {}
    void SkinHme() override { log << "SkinHme"; }
    void SkinH_AttachEx(const QString& f, const QString& pw) override { log << "SkinH_AttachEx(" + f + "," + pw + ")"; }
    void SkinH_Detach() override { log << "SkinH_Detach"; }
};
struct LoggingWeb : platform::WebCount {
    QStringList& log;
    explicit LoggingWeb(QStringList& l) : log(l) {}
    void setSilent(bool s) override { log << QStringLiteral("Silent=%1").arg(s ? "true" : "false"); }
    void Navigate(const QString& url) override { log << "Navigate(" + url + ")"; }
};
struct LoggingSettings : platform::doubles::MemorySettings {
    QStringList& log;
    explicit LoggingSettings(QStringList& l) : log(l) {}
    QString read(const QString& a, const QString& s, const QString& k, const QString& d) override
    {
        log << "read " + keyOf(a, s, k);
        return MemorySettings::read(a, s, k, d);
    }
};

} // namespace

class FrmMainTest : public QObject {
    Q_OBJECT

private slots:
    void controlsStandWhereDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        // Twips / 15.
        QTest::newRow("Image1") << "Image1" << "frmMain" << QRect(0, 0, 670, 104) << "";
        QTest::newRow("Frame1") << "Frame1" << "frmMain" << QRect(8, 112, 649, 261) << "PDF文件列表（支持文件拖拽添加）：";
        QTest::newRow("lvwPDF") << "lvwPDF" << "Frame1" << QRect(8, 16, 629, 197) << "";
        QTest::newRow("cmdAddPDF") << "cmdAddPDF" << "Frame1" << QRect(8, 220, 117, 29) << "添加PDF文件";
        QTest::newRow("cmdDel") << "cmdDel" << "Frame1" << QRect(140, 220, 117, 29) << "删除选中文件";
        QTest::newRow("cmdClAll") << "cmdClAll" << "Frame1" << QRect(272, 220, 117, 29) << "清空所有文件";
        QTest::newRow("Frame2") << "Frame2" << "frmMain" << QRect(8, 380, 649, 85) << "设置Word文件输出文件夹：";
        QTest::newRow("Label2") << "Label2" << "Frame2" << QRect(12, 32, 153, 25) << "Word文件保存文件夹：";
        QTest::newRow("txtSave") << "txtSave" << "Frame2" << QRect(132, 24, 389, 25) << "";
        QTest::newRow("cmdSelSave") << "cmdSelSave" << "Frame2" << QRect(528, 24, 109, 25) << "选择保存文件夹";
        QTest::newRow("cmdOpenSave") << "cmdOpenSave" << "Frame2" << QRect(528, 52, 109, 25) << "打开保存文件夹";
        QTest::newRow("cmdStart") << "cmdStart" << "frmMain" << QRect(520, 476, 133, 33) << "开始转换";
        QTest::newRow("cmdStop") << "cmdStop" << "frmMain" << QRect(376, 476, 133, 33) << "停止转换";
        QTest::newRow("webCount") << "webCount" << "frmMain" << QRect(16, 528, 633, 69) << "";
    }

    void controlsStandWhereDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        Window win;
        QWidget* control = win.named(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->parentWidget(), win.named(container));
        QCOMPARE(control->geometry(), geometry);
        if (auto* b = qobject_cast<QPushButton*>(control))
            QCOMPARE(b->text(), text);
        else if (auto* g = qobject_cast<QGroupBox*>(control))
            QCOMPARE(g->title(), text);
        else if (auto* e = qobject_cast<QLineEdit*>(control))
            QCOMPARE(e->text(), text);
        else if (auto* l = qobject_cast<QLabel*>(control); l && !text.isEmpty())
            QCOMPARE(l->text(), text);
    }

    void windowIsFixedMinimisableAndTitled()
    {
        Window win;
        QCOMPARE(win.w.size(), QSize(667, 517));
        QCOMPARE(win.w.minimumSize(), QSize(667, 517));
        QCOMPARE(win.w.maximumSize(), QSize(667, 517));
        QVERIFY(win.w.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(win.w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(win.w.windowTitle(), QStringLiteral("VelkaroPDF转换成Word转换器 V17.8"));
        QCOMPARE(win.w.windowIcon().availableSizes().size(), 4);
        for (int s : {16, 32, 48, 64})
            QVERIFY(win.w.windowIcon().availableSizes().contains(QSize(s, s)));
        // The banner at its natural size, not stretched; the browser's place below the client area.
        QCOMPARE(win.w.Image1->pixmap().size(), QSize(670, 104));
        QVERIFY(!win.w.Image1->hasScaledContents());
        QVERIFY(win.w.webCount->geometry().top() >= win.w.height());
    }

    void fontsAreSongtiOrTheCjkFallback()
    {
        Window win;
        struct Expect {
            QWidget* w;
            double points;
            bool bold;
        };
        const QList<Expect> expected{{win.w.Frame1, 10.5, true},   {win.w.Frame2, 10.5, true},
                                     {win.w.cmdAddPDF, 9, true},   {win.w.cmdSelSave, 9, true},
                                     {win.w.cmdStart, 10.5, true}, {win.w.cmdStop, 10.5, false},
                                     {win.w.cmdDel, 9, false},     {win.w.txtSave, 9, false}};
        for (const auto& e : expected) {
            const QFont f = e.w->font();
            QCOMPARE(f.families().value(0), QStringLiteral("宋体"));
            QCOMPARE(f.pointSizeF(), e.points);
            QCOMPARE(f.bold(), e.bold);
        }
        // What is really drawn: 宋体 where installed, else the CJK font, never a font without Chinese.
        const QString drawn = QFontInfo(win.w.cmdStart->font()).family();
        QVERIFY2(drawn == "宋体" || drawn == "SimSun" || drawn.contains("CJK"), qPrintable(drawn));
    }

    void initialStates()
    {
        Window win;
        frmMain& w = win.w;
        QVERIFY(w.cmdStart->isEnabled() && w.cmdAddPDF->isEnabled() && w.cmdDel->isEnabled());
        QVERIFY(w.cmdClAll->isEnabled() && w.txtSave->isEnabled() && w.cmdSelSave->isEnabled());
        QVERIFY(!w.cmdOpenSave->isEnabled());
        QVERIFY(!w.cmdStop->isEnabled());
        QVERIFY(!w.cmdStop->isVisible());
        QVERIFY(!w.timerPID->isActive());
        QCOMPARE(w.timerPID->interval(), 10);
        QCOMPARE(w.lvwPDF->topLevelItemCount(), 0);
        QCOMPARE(w.lvwPDF->columnCount(), 2);
        QCOMPARE(w.lvwPDF->headerItem()->text(0), QStringLiteral("文件路径"));
        QCOMPARE(w.lvwPDF->headerItem()->text(1), QStringLiteral("当前状态"));
        QCOMPARE(w.lvwPDF->columnWidth(0), 433);
        QCOMPARE(w.lvwPDF->columnWidth(1), 167);
        QVERIFY(!w.lvwPDF->rootIsDecorated());
        QCOMPARE(w.lvwPDF->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(w.lvwPDF->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(w.focusWidget(), static_cast<QWidget*>(w.cmdAddPDF));
        QVERIFY(win.p.messages.shown.isEmpty());
    }

    void tabOrderFollowsTheDesign()
    {
        Window win;
        const QStringList order{"cmdAddPDF", "cmdDel", "cmdClAll", "cmdSelSave", "cmdStart",
                                "lvwPDF", "txtSave", "cmdOpenSave", "cmdStop"};
        QStringList seen;
        QWidget* at = win.w.cmdAddPDF;
        do {
            if (order.contains(at->objectName()) && !seen.contains(at->objectName()))
                seen.append(at->objectName());
            at = at->nextInFocusChain();
        } while (at != win.w.cmdAddPDF);
        QCOMPARE(seen, order);
        for (QWidget* noFocus : {static_cast<QWidget*>(win.w.Frame1), static_cast<QWidget*>(win.w.Frame2),
                                 static_cast<QWidget*>(win.w.Image1), static_cast<QWidget*>(win.w.Label2)})
            QCOMPARE(noFocus->focusPolicy(), Qt::NoFocus);
    }

    void startUpRunsItsStepsInOrder()
    {
        QStringList log;
        platform::doubles::TestPlatform p;
        LoggingSkin skin(log);
        LoggingWeb web(log);
        LoggingSettings settings(log);
        settings.values.insert(kSaved, "/gone/away/");
        platform::Platform platform{p.messages, p.dialogs, p.files,     p.processes, settings,
                                    p.fileManager, skin,    web,        p.events};
        frmMain w(platform);
        QObject::connect(w.txtSave, &QLineEdit::textChanged, [&](const QString& t) {
            log << "txtSave=" + t + " caption=" + w.windowTitle();
        });
        w.Form_Load();
        QCOMPARE(log, (QStringList{"SkinHme", "SkinH_AttachEx(/opt/velkaro/longhorn.she,)", "read " + kSaved,
                                   "txtSave=/gone/away/ caption=VelkaroPDF转换成Word转换器 V17.8", "Silent=true",
                                   "Navigate(http://www.velkaro.example/softcount/v178/)"}));
        QCOMPARE(QUrl(app::kUsageCountUrl).path(), QStringLiteral("/softcount/v178/"));
        QCOMPARE(QUrl(app::kUsageCountUrl).scheme(), QStringLiteral("http"));
        QCOMPARE(w.strProductName, QStringLiteral("VelkaroPDF转换成Word转换器"));
        QCOMPARE(w.strProductVersion, QStringLiteral("V17.8"));
        // A folder that no longer exists is restored all the same.
        QVERIFY(w.cmdOpenSave->isEnabled());
        QVERIFY(p.messages.shown.isEmpty());
    }

    void startUpWithoutSavedFolder()
    {
        Window win;
        QCOMPARE(win.w.txtSave->text(), QString());
        QVERIFY(!win.w.cmdOpenSave->isEnabled());
        QCOMPARE(win.p.skin.calls,
                 (QStringList{"SkinHme", "SkinH_AttachEx(/opt/velkaro/longhorn.she,)"}));
    }

    void closingDetachesTheSkinInAnyState()
    {
        Window win;
        win.w.AddPDF("/d/a.pdf");
        win.w.setControlEnabled(runner::Control::cmdStart, false); // as during a batch
        QVERIFY(win.w.close());
        QCOMPARE(win.p.skin.calls.last(), QStringLiteral("SkinH_Detach"));
        QCOMPARE(win.p.skin.calls.count("SkinH_Detach"), 1);
        QVERIFY(win.p.messages.shown.isEmpty());
        QVERIFY(win.p.settings.writes.isEmpty());
    }

    void dropTargetsHandFilesToTheHandler_data()
    {
        QTest::addColumn<QString>("target");
        for (const char* t : {"frmMain", "Image1", "Frame1", "lvwPDF", "cmdAddPDF", "cmdStart"})
            QTest::newRow(t) << QString::fromLatin1(t);
    }

    void dropTargetsHandFilesToTheHandler()
    {
        QFETCH(QString, target);
        Window win;
        QWidget* widget = win.named(target);
        QPoint at = widget->mapTo(&win.w, widget->rect().center());
        if (target == "frmMain")
            at = QPoint(3, 470); // bare window background
        else if (target == "Frame1")
            at = win.w.Frame1->mapTo(&win.w, QPoint(600, 235)); // the frame beside its buttons
        QWidget* under = win.w.childAt(at);
        QVERIFY(target == "frmMain" ? under == nullptr : (under == widget || widget->isAncestorOf(under)));

        QVERIFY(dropAt(win.w, at, filesData({"/x/Report.PDF", "/x/notes.txt", "/x/b.pdf"})));
        QCOMPARE(win.rowTexts(), (QStringList{"/x/Report.PDF", "/x/b.pdf"}));
        QCOMPARE(win.w.rows().status(2), QStringLiteral("待转换"));
        QCOMPARE(win.texts(), QStringList{"[/x/notes.txt]\r\n不是PDF文档。"});
        // A drop on the start button only adds.
        QVERIFY(win.p.processes.launches.isEmpty());
        QVERIFY(win.w.cmdStart->isEnabled());
    }

    void dropOnTheListHeaderReachesTheList()
    {
        Window win;
        QVERIFY(dropOn(win.w, win.w.lvwPDF->header(), filesData({"/x/a.pdf"})));
        QCOMPARE(win.rowTexts(), QStringList{"/x/a.pdf"});
    }

    void dropElsewhereChangesNothing_data()
    {
        QTest::addColumn<QString>("target");
        for (const char* t : {"txtSave", "cmdDel", "cmdClAll", "Frame2", "Label2", "cmdSelSave", "cmdOpenSave"})
            QTest::newRow(t) << QString::fromLatin1(t);
    }

    void dropElsewhereChangesNothing()
    {
        QFETCH(QString, target);
        Window win;
        QVERIFY(!dropOn(win.w, win.named(target), filesData({"/x/a.pdf", "/x/b.txt"})));
        auto* text = textData("/x/typed.pdf");
        text->setUrls({QUrl::fromLocalFile("/x/c.pdf")});
        QVERIFY(!dropOn(win.w, win.named(target), text));
        QCOMPARE(win.w.rows().count(), 0);
        QCOMPARE(win.w.txtSave->text(), QString());
        QVERIFY(win.p.messages.shown.isEmpty());
    }

    void droppedTextIsRefusedEverywhere()
    {
        Window win;
        for (QWidget* t : {static_cast<QWidget*>(win.w.lvwPDF), static_cast<QWidget*>(win.w.cmdAddPDF),
                           static_cast<QWidget*>(win.w.txtSave)})
            QVERIFY(!dropOn(win.w, t, textData("/x/a.pdf")));
        QVERIFY(!dropAt(win.w, QPoint(3, 470), textData("hello")));
        QCOMPARE(win.w.rows().count(), 0);
        QCOMPARE(win.w.txtSave->text(), QString());
        QVERIFY(win.p.messages.shown.isEmpty());
    }

    void dropAppendsAtTheEndWhateverThePosition()
    {
        Window win;
        win.w.AddPDF("/d/first.pdf");
        win.w.AddPDF("/d/second.pdf");
        const QRect firstRow = win.w.lvwPDF->visualItemRect(win.w.lvwPDF->topLevelItem(0));
        QVERIFY(dropAt(win.w, win.w.lvwPDF->viewport()->mapTo(&win.w, firstRow.center()), filesData({"/d/new.pdf"})));
        QCOMPARE(win.rowTexts(), (QStringList{"/d/first.pdf", "/d/second.pdf", "/d/new.pdf"}));
    }

    void messagesDuringABatchComeInOrder()
    {
        Window win;
        win.w.AddPDF("/d/a.pdf");
        win.w.txtSave->setText("/out/");
        win.p.files.folders.insert("/out");
        QTest::mouseClick(win.w.cmdStart, Qt::LeftButton);
        QVERIFY(!win.w.cmdStart->isEnabled()); // running
        QCOMPARE(win.w.cmdStart->text(), QStringLiteral("正在转换..."));

        QVERIFY(dropOn(win.w, win.w.lvwPDF, filesData({"/d/a.pdf", "/d/t.txt", "/d/b.pdf"})));
        QCOMPARE(win.texts(),
                 (QStringList{"转换中不允许添加文件！", "转换中不允许添加文件！", "[/d/t.txt]\r\n不是PDF文档。"}));
        QCOMPARE(win.w.rows().count(), 1);
    }

    void aBatchRunsThroughTheWindowsTimer()
    {
        Window win;
        win.w.AddPDF("/d/a.pdf");
        win.w.AddPDF("/d/b.pdf");
        win.p.dialogs.setNextFolder("/out");
        QTest::mouseClick(win.w.cmdSelSave, Qt::LeftButton);
        win.p.messages.setNextAnswer(MessageAnswer::Yes); // the end-of-batch question
        QTest::mouseClick(win.w.cmdStart, Qt::LeftButton);
        QCOMPARE(win.w.rows().status(1), QStringLiteral("正在转换中，请耐心等待..."));
        QVERIFY(win.w.timerPID->isActive());
        QVERIFY(win.w.cmdStop->isEnabled() && !win.w.cmdStop->isVisible());

        // Each converter runs until the test ends it: the timer ticks past it
        // meanwhile, then notices its end and launches the next one.
        QSignalSpy ticks(win.w.timerPID, &QTimer::timeout);
        for (int row = 1; row <= 2; ++row) {
            QTRY_COMPARE(win.p.processes.launches.size(), row);
            ticks.clear();
            QTRY_VERIFY(ticks.size() >= kTicksWhileRunning);
            QCOMPARE(win.w.rows().status(row), QStringLiteral("正在转换中，请耐心等待..."));
            const auto launch = win.p.processes.launches.last();
            win.p.files.writeFile(launch.arguments.value(1).mid(QStringLiteral("--dest=").size()));
            win.p.processes.finish(launch.pid);
        }

        QTRY_VERIFY_WITH_TIMEOUT(win.w.cmdStart->isEnabled(), 5000);
        QCOMPARE(win.w.rows().status(1), QStringLiteral("转换完成"));
        QCOMPARE(win.w.rows().status(2), QStringLiteral("转换完成"));
        QCOMPARE(win.p.processes.launches.size(), 2);
        QCOMPARE(win.p.processes.launches.first().program, QStringLiteral("/opt/velkaro/pwt"));
        QVERIFY(!win.w.timerPID->isActive());
        QVERIFY(!win.w.cmdStop->isEnabled());
        QCOMPARE(win.w.cmdStart->text(), QStringLiteral("开始转换"));
        // Yes to the question opens the folder from txtSave.
        QCOMPARE(win.p.fileManager.opened, QStringList{"/out/"});
    }

    void startWithEmptyListWarnsAndFocusesAdd()
    {
        Window win;
        win.w.cmdSelSave->setFocus();
        QTest::mouseClick(win.w.cmdStart, Qt::LeftButton);
        QCOMPARE(win.texts(), QStringList{"您还未添加任何PDF文件！请先添加PDF文件。"});
        QCOMPARE(win.w.focusWidget(), static_cast<QWidget*>(win.w.cmdAddPDF));
    }

    void addButtonRunsTheOpenDialog()
    {
        Window win;
        win.p.dialogs.setNextOpenResult(QStringLiteral("/docs") + QChar(u'\0') + "a.pdf" + QChar(u'\0') + "b.pdf");
        QTest::mouseClick(win.w.cmdAddPDF, Qt::LeftButton);
        QCOMPARE(win.rowTexts(), (QStringList{"/docs/a.pdf", "/docs/b.pdf"}));
        QCOMPARE(win.w.strFiles(), (QStringList{"/docs/", "a.pdf", "b.pdf"}));
        QCOMPARE(win.w.lvwPDF->topLevelItem(1)->text(1), QStringLiteral("待转换"));
    }

    void deleteButtonRemovesTheSelectedRowOnYes()
    {
        Window win;
        for (const char* p : {"/d/1.pdf", "/d/2.pdf", "/d/3.pdf"})
            win.w.AddPDF(QString::fromLatin1(p));
        win.w.rows().setStatus(3, QStringLiteral("转换失败"));

        QTest::mouseClick(win.w.cmdDel, Qt::LeftButton); // rows, none selected
        QCOMPARE(win.texts(), QStringList{"请先在列表中选择要删除的PDF文件！"});
        QCOMPARE(win.w.rows().count(), 3);

        win.w.lvwPDF->setCurrentItem(win.w.lvwPDF->topLevelItem(1));
        QCOMPARE(win.w.rows().selected(), 2);
        win.p.messages.setNextAnswer(MessageAnswer::No);
        QTest::mouseClick(win.w.cmdDel, Qt::LeftButton);
        QCOMPARE(win.w.rows().count(), 3);
        QCOMPARE(win.w.rows().selected(), 2);

        win.p.messages.setNextAnswer(MessageAnswer::Yes);
        QTest::mouseClick(win.w.cmdDel, Qt::LeftButton);
        QCOMPARE(win.texts().last(), QStringLiteral("您确实要从列表中删除[/d/2.pdf]吗？"));
        QCOMPARE(win.rowTexts(), (QStringList{"/d/1.pdf", "/d/3.pdf"}));
        QCOMPARE(win.w.rows().status(2), QStringLiteral("转换失败"));
    }

    void clearButtonAsksAndClearsOnYes()
    {
        Window win;
        win.w.AddPDF("/d/1.pdf");
        win.p.messages.setNextAnswer(MessageAnswer::No);
        QTest::mouseClick(win.w.cmdClAll, Qt::LeftButton);
        QCOMPARE(win.w.rows().count(), 1);
        win.p.messages.setNextAnswer(MessageAnswer::Yes);
        QTest::mouseClick(win.w.cmdClAll, Qt::LeftButton);
        QCOMPARE(win.w.rows().count(), 0);
        QCOMPARE(win.texts(), (QStringList{"您确实要清空PDF文件列表？", "您确实要清空PDF文件列表？"}));
    }

    void typingEnablesOpenAndIsNotSaved()
    {
        Window win;
        QTest::keyClicks(win.w.txtSave, "/typed/here");
        QVERIFY(win.w.cmdOpenSave->isEnabled());
        win.w.txtSave->selectAll();
        QTest::keyClick(win.w.txtSave, Qt::Key_Delete);
        QCOMPARE(win.w.txtSave->text(), QString());
        QVERIFY(!win.w.cmdOpenSave->isEnabled());
        QVERIFY(win.p.settings.writes.isEmpty());
    }

    void choosingTheFolderFromButtonOrDoubleClick()
    {
        Window win;
        win.p.dialogs.setNextFolder("/home/u/out");
        QTest::mouseClick(win.w.cmdSelSave, Qt::LeftButton);
        QCOMPARE(win.w.txtSave->text(), QStringLiteral("/home/u/out/"));
        QVERIFY(win.w.cmdOpenSave->isEnabled());

        win.p.dialogs.setNextFolder("/");
        QTest::mouseDClick(win.w.txtSave, Qt::LeftButton);
        QCOMPARE(win.w.txtSave->text(), QStringLiteral("/"));
        QCOMPARE(win.p.dialogs.folderTitles,
                 (QStringList{"请选择Word文件保存文件夹：", "请选择Word文件保存文件夹："}));
        QCOMPARE(win.p.settings.writes, (QStringList{kSaved + "=/home/u/out/", kSaved + "=/"}));

        QTest::mouseDClick(win.w.txtSave, Qt::LeftButton); // cancelled
        QCOMPARE(win.w.txtSave->text(), QStringLiteral("/"));
        QCOMPARE(win.p.settings.writes.size(), 2);
    }

    void duplicateScanFollowsTheRowsHoweverTheyChange()
    {
        Window win;
        joblist::JobRows& rows = win.w.rows();
        for (const char* p : {"/d/1.pdf", "/d/2.pdf", "/d/3.pdf"})
            win.w.AddPDF(QString::fromLatin1(p));
        QCOMPARE(rows.positionOf("/d/3.pdf"), 3);
        rows.removeAt(1);
        QCOMPARE(rows.positionOf("/d/3.pdf"), 2);
        QCOMPARE(rows.positionOf("/d/1.pdf"), 0);
        // Changes made on the view itself are seen too.
        win.w.lvwPDF->insertTopLevelItem(0, new QTreeWidgetItem(QStringList{"/d/0.pdf", "待转换"}));
        win.w.lvwPDF->topLevelItem(2)->setText(0, "/d/renamed.pdf");
        QCOMPARE(rows.positionOf("/d/0.pdf"), 1);
        QCOMPARE(rows.positionOf("/d/2.pdf"), 2);
        QCOMPARE(rows.positionOf("/d/renamed.pdf"), 3);
        QCOMPARE(rows.positionOf("/d/3.pdf"), 0);
        win.w.AddPDF("/d/renamed.pdf");
        QCOMPARE(win.texts(), QStringList{"文件[/d/renamed.pdf]在列表中已经存在！"});
        rows.clear();
        QCOMPARE(rows.positionOf("/d/0.pdf"), 0);
        win.w.AddPDF("/d/0.pdf");
        QCOMPARE(rows.positionOf("/d/0.pdf"), 1);
    }

    void openButtonOpensTheFolderOrAsksForOne()
    {
        Window win;
        win.w.cmdOpenSave_Click(); // as the end-of-batch Yes may call it with nothing set
        QCOMPARE(win.texts(), QStringList{"您尚未选择Word文件保存文件夹，请先选择！"});
        QCOMPARE(win.w.focusWidget(), static_cast<QWidget*>(win.w.cmdSelSave));
        QVERIFY(win.p.fileManager.opened.isEmpty());

        win.w.txtSave->setText("/my docs/out/");
        QTest::mouseClick(win.w.cmdOpenSave, Qt::LeftButton);
        QCOMPARE(win.p.fileManager.opened, QStringList{"/my docs/out/"});
    }
};

QTEST_MAIN(FrmMainTest)
#include "tst_frmmain.moc"

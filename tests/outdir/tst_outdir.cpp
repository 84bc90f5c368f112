// The output folder: choosing, remembering, opening, and cmdOpenSave
// following txtSave.
#include "outdir/OutputFolder.h"
#include "platform/doubles/Doubles.h"

#include <QtTest>

using namespace outdir;

namespace {

// txtSave, cmdOpenSave and the focus, as the window holds them: a change of
// the text runs txtSave_Change. Every step lands in one shared log.
struct FakeView : OutputFolderView {
    QStringList& log;
    OutputFolder* folder = nullptr;
    QString text;
    bool openEnabled = false;
    QString focus;

    explicit FakeView(QStringList& l) : log(l) {}
    QString folderText() const override { return text; }
    void setFolderText(const QString& t) override
    {
        log.append("txtSave=" + t);
        if (t == text)
            return; // like a text box: no change, no change event
        text = t;
        folder->txtSave_Change();
    }
    void setOpenEnabled(bool enabled) override { openEnabled = enabled; }
    void focusSelSave() override { focus = "cmdSelSave"; }
};

struct LoggingSettings : platform::doubles::MemorySettings {
    QStringList& log;
    explicit LoggingSettings(QStringList& l) : log(l) {}
    platform::Status write(const QString& a, const QString& s, const QString& k, const QString& v) override
    {
        log.append("write " + keyOf(a, s, k) + "=" + v);
        return MemorySettings::write(a, s, k, v);
    }
};

struct FailingSettings : platform::doubles::MemorySettings {
    platform::Status write(const QString&, const QString&, const QString&, const QString&) override
    {
        return platform::Status::failure("disk full");
    }
};

struct FailingFileManager : platform::FileManager {
    platform::Status openFolder(const QString&) override { return platform::Status::failure("no xdg-open"); }
};

struct Fixture {
    QStringList log;
    FakeView view{log};
    platform::doubles::TestPlatform p;
    LoggingSettings settings{log};
    OutputFolder folder{view, p.dialogs, settings, p.fileManager, p.messages};
    Fixture() { view.folder = &folder; }
};

const QString kSaved = QStringLiteral("VelkaroPDF转换成Word转换器/softinfo/savepath");

} // namespace

class OutputFolderTest : public QObject {
    Q_OBJECT

private slots:
    void cancelChangesNothing()
    {
        Fixture f;
        f.view.text = "/keep/";
        f.view.openEnabled = true;
        f.folder.cmdSelSave_Click();
        QCOMPARE(f.p.dialogs.folderTitles, QStringList{"请选择Word文件保存文件夹："});
        QCOMPARE(f.view.text, QStringLiteral("/keep/"));
        QVERIFY(f.view.openEnabled);
        QVERIFY(f.log.isEmpty());
        QVERIFY(f.p.messages.shown.isEmpty());
    }

    void chosenFolderGetsOneSeparatorThenIsSaved()
    {
        Fixture f;
        f.p.dialogs.setNextFolder("/home/u/Word files");
        f.folder.cmdSelSave_Click();
        QCOMPARE(f.log, (QStringList{"txtSave=/home/u/Word files/", "write " + kSaved + "=/home/u/Word files/"}));
        QVERIFY(f.view.openEnabled);
    }

    void rootKeepsItsSingleSeparator()
    {
        Fixture f;
        f.p.dialogs.setNextFolder("/");
        f.folder.cmdSelSave_Click();
        QCOMPARE(f.view.text, QStringLiteral("/"));
        QCOMPARE(f.settings.values.value(kSaved), QStringLiteral("/"));
    }

    void sameFolderTwiceWritesTwice()
    {
        Fixture f;
        f.p.dialogs.setNextFolder("/out");
        f.p.dialogs.setNextFolder("/out");
        f.folder.cmdSelSave_Click();
        f.folder.cmdSelSave_Click();
        QCOMPARE(f.settings.writes, (QStringList{kSaved + "=/out/", kSaved + "=/out/"}));
        QCOMPARE(f.log.filter("txtSave=").size(), 2);
    }

    void failedSaveKeepsTheFolderAndSaysSo()
    {
        QStringList log;
        FakeView view{log};
        platform::doubles::TestPlatform p;
        FailingSettings settings;
        OutputFolder folder{view, p.dialogs, settings, p.fileManager, p.messages};
        view.folder = &folder;
        p.dialogs.setNextFolder("/out");
        folder.cmdSelSave_Click();
        QCOMPARE(view.text, QStringLiteral("/out/"));
        QCOMPARE(p.messages.shown.size(), 1);
        QVERIFY(p.messages.shown.first().text.contains("disk full"));
        QCOMPARE(p.messages.shown.first().icon, platform::MessageIcon::Warning);
    }

    void browseFolderFallsBackToADefaultTitle()
    {
        Fixture f;
        f.folder.BrowseFolder(QString());
        f.folder.BrowseFolder("T");
        QCOMPARE(f.p.dialogs.folderTitles, (QStringList{"选择目录", "T"}));
    }

    void openFollowsTheTextAndTypingIsNotSaved()
    {
        Fixture f;
        f.view.setFolderText("/typed");
        QVERIFY(f.view.openEnabled);
        f.view.setFolderText("");
        QVERIFY(!f.view.openEnabled);
        QVERIFY(f.settings.writes.isEmpty());
    }

    void openWithEmptyFolderWarnsAndFocusesTheChooser()
    {
        Fixture f;
        f.folder.cmdOpenSave_Click();
        QCOMPARE(f.p.messages.shown.size(), 1);
        QCOMPARE(f.p.messages.shown.first(), platform::warningBox("您尚未选择Word文件保存文件夹，请先选择！"));
        QCOMPARE(f.view.focus, QStringLiteral("cmdSelSave"));
        QVERIFY(f.p.fileManager.opened.isEmpty());
        QVERIFY(f.p.dialogs.folderTitles.isEmpty());
    }

    void openHandsTheTextOverUnchanged()
    {
        Fixture f;
        f.view.text = "/no such/folder with spaces/";
        f.folder.cmdOpenSave_Click();
        QCOMPARE(f.p.fileManager.opened, QStringList{"/no such/folder with spaces/"});
        QVERIFY(f.p.messages.shown.isEmpty());
    }

    void openFailureIsReportedNotFatal()
    {
        QStringList log;
        FakeView view{log};
        platform::doubles::TestPlatform p;
        FailingFileManager manager;
        OutputFolder folder{view, p.dialogs, p.settings, manager, p.messages};
        view.text = "/out/";
        folder.cmdOpenSave_Click();
        QCOMPARE(p.messages.shown.size(), 1);
        QCOMPARE(p.messages.shown.first().text, QStringLiteral("无法打开文件夹[/out/]：no xdg-open"));
    }

    void restoreTakesTheSavedTextAsStored()
    {
        Fixture f;
        f.folder.restoreSaved();
        QVERIFY(f.log.isEmpty()); // nothing saved: txtSave untouched
        QVERIFY(!f.view.openEnabled);

        f.settings.values.insert(kSaved, "/gone/folder/");
        f.folder.restoreSaved();
        QCOMPARE(f.view.text, QStringLiteral("/gone/folder/"));
        QVERIFY(f.view.openEnabled);
        QVERIFY(f.settings.writes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(OutputFolderTest)
#include "tst_outdir.moc"

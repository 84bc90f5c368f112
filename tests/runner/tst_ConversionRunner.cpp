// The batch driven through the platform doubles: every status, message and
// control state from the start command to the end-of-batch question.
#include "RunnerFakes.h"
#include "platform/doubles/Doubles.h"
#include "runner/ConversionRunner.h"

#include <QtTest>

using namespace platform;
using namespace platform::doubles;
using runner::Control;
using runner::ConversionRunner;
using runner::testing::FakeView;
using runner::testing::VectorRows;

namespace {

const QString kPending = QStringLiteral("待转换");
const QString kStopped = QStringLiteral("转换已停止");
const QString kConverting = QStringLiteral("正在转换中，请耐心等待...");
const QString kDone = QStringLiteral("转换完成");
const QString kFailed = QStringLiteral("转换失败");

const QString kAllDone = QStringLiteral("所有文档转换完成！是否打开Word文件保存文件夹？");

MessageRequest failureBox(const QString& source)
{
    return {QStringLiteral("文件[") + source
                + QStringLiteral("]转换失败！请检查本程序是否对保存路径有写入权限。\r\n"
                                 "建议Windows7、Windows8用户以管理员身份运行本程序，方法：右击本程序的快捷方式，"
                                 "选择菜单中的“以管理员身份运行”即可。"),
            QStringLiteral("提示"), MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok};
}

MessageRequest endQuestion()
{
    return {kAllDone, QStringLiteral("提示"), MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes};
}

// A Processes double that records every id it is asked about.
class QueryLog : public FakeProcesses {
public:
    bool isRunning(qint64 pid) override
    {
        asked.append(pid);
        return FakeProcesses::isRunning(pid);
    }
    QList<qint64> asked;
};

// One window's worth of runner, rows, controls and platform doubles.
struct Batch {
    TestPlatform p;
    QueryLog processes;
    VectorRows rows;
    FakeView view;
    ConversionRunner runner{rows, view, {p.messages, p.files, processes, p.events}};

    explicit Batch(const QStringList& sources = {}, const QString& outputFolder = QStringLiteral("/out"))
    {
        p.files.folders.insert(QStringLiteral("/out"));
        view.outputFolder = outputFolder;
        for (const auto& source : sources)
            rows.append(source, kPending);
    }

    const FakeProcesses::Launch& lastLaunch() const { return processes.launches.last(); }
    static QString destinationOf(const FakeProcesses::Launch& launch) { return launch.arguments.value(1).mid(7); }

    // The converter of the latest launch ends, having written its file or not.
    void converterEnds(bool writes)
    {
        const auto launch = lastLaunch();
        if (writes)
            p.files.writeFile(destinationOf(launch), 2048);
        processes.finish(launch.pid);
    }
    void tick() { runner.timerPID_Timer(); }
};

} // namespace

class ConversionRunnerTest : public QObject {
    Q_OBJECT

private slots:
    void startRefusedWithoutRows();
    void startRefusedWithoutOutputFolder();
    void wholeBatchOfSuccessesAndFailures();
    void endQuestionAnsweredNoOpensNothing();
    void destinationNames_data();
    void destinationNames();
    void nameShorterThanFourCharacters();
    void converterMissing();
    void failedLaunchNeverQueriesAnEarlierId();
    void missingOutputFolderIsCreatedOneLevel();
    void outputFolderWhoseParentIsMissing();
    void stoppedRowsArePickedLikePending();
    void secondBatchConvertsEveryRowAgain();
    void staleDestinationIsNotSuccess();
    void rewrittenDestinationIsSuccess();
    void sameNameInOneBatchGivesSeparateFiles();
    void sourceIsNeverItsOwnDestination();
    void noTickHandledWhileErrorReportIsOpen();
    void getFileName();
};

void ConversionRunnerTest::startRefusedWithoutRows()
{
    Batch b({}, QString()); // the output folder is empty too: the row check comes first
    b.runner.cmdStart_Click();

    QCOMPARE(b.p.messages.shown.size(), 1);
    QCOMPARE(b.p.messages.shown[0], warningBox(QStringLiteral("您还未添加任何PDF文件！请先添加PDF文件。")));
    QCOMPARE(b.view.log, QStringList{QStringLiteral("focus cmdAddPDF")});
    QVERIFY(b.processes.launches.isEmpty());
}

void ConversionRunnerTest::startRefusedWithoutOutputFolder()
{
    Batch b({QStringLiteral("/in/a.pdf"), QStringLiteral("/in/b.pdf")}, QString());
    b.rows.setStatus(1, kDone);
    b.rows.setStatus(2, kFailed);
    b.runner.cmdStart_Click();

    QCOMPARE(b.p.messages.shown.size(), 1);
    QCOMPARE(b.p.messages.shown[0], warningBox(QStringLiteral("请先选择转换后的Word文件保存文件夹！")));
    QCOMPARE(b.view.log, QStringList{QStringLiteral("focus cmdSelSave")});
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kFailed}));
    QVERIFY(b.processes.launches.isEmpty());
}

void ConversionRunnerTest::wholeBatchOfSuccessesAndFailures()
{
    Batch b({QStringLiteral("/in/one.pdf"), QStringLiteral("/in/two.pdf"), QStringLiteral("/in/three.pdf")});
    b.rows.setStatus(1, kDone); // left from an earlier batch: reset like the others

    // The one pass of pending events comes after the row is marked and before the launch, timer off.
    QStringList atEvents;
    b.p.events.action = [&] {
        atEvents.append(QStringLiteral("%1 %2 launches=%3 timer=%4")
                            .arg(b.rows.status(1), b.rows.status(2))
                            .arg(b.processes.launches.size())
                            .arg(b.view.timer));
    };
    b.runner.cmdStart_Click();

    QCOMPARE(b.view.log,
             (QStringList{QStringLiteral("caption 正在转换..."), QStringLiteral("disable cmdStart"),
                          QStringLiteral("disable cmdAddPDF"), QStringLiteral("disable cmdDel"),
                          QStringLiteral("disable cmdClAll"), QStringLiteral("disable txtSave"),
                          QStringLiteral("disable cmdSelSave"), QStringLiteral("enable cmdStop"),
                          QStringLiteral("timer on")}));
    QVERIFY(b.view.lockedForBatch());
    QCOMPARE(b.rows.statuses(), (QStringList{kConverting, kPending, kPending}));
    QCOMPARE(atEvents, QStringList{kConverting + QStringLiteral(" 待转换 launches=0 timer=0")});
    QCOMPARE(b.processes.launches.size(), 1);
    QCOMPARE(b.lastLaunch().program, QStringLiteral("/opt/velkaro/pwt"));
    QCOMPARE(b.lastLaunch().arguments,
             (QStringList{QStringLiteral("--src=/in/one.pdf"), QStringLiteral("--dest=/out/one.doc")}));
    QCOMPARE(b.runner.strSrcFile, QStringLiteral("/in/one.pdf"));
    QCOMPARE(b.runner.strDestFile, QStringLiteral("/out/one.doc"));
    QCOMPARE(b.runner.lngPID, b.lastLaunch().pid);
    QVERIFY(b.p.messages.shown.isEmpty());

    // Ticks while the converter runs touch nothing.
    const auto logBefore = b.view.log;
    for (int i = 0; i < 5; ++i)
        b.tick();
    QCOMPARE(b.view.log, logBefore);
    QCOMPARE(b.rows.statuses(), (QStringList{kConverting, kPending, kPending}));
    QCOMPARE(b.processes.asked, QList<qint64>(5, b.runner.lngPID));
    QCOMPARE(b.processes.launches.size(), 1);

    // Row 1 succeeds: no message, straight on to row 2.
    b.converterEnds(true);
    b.tick();
    QVERIFY(b.p.messages.shown.isEmpty());
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kConverting, kPending}));
    QCOMPARE(b.processes.launches.size(), 2);
    QCOMPARE(b.runner.strDestFile, QStringLiteral("/out/two.doc"));
    QVERIFY(b.view.timer);

    // Row 2 fails: the row is settled before the message, and the next row waits for OK.
    QStringList whileFailureShown;
    b.p.messages.setWhileOpen([&] {
        whileFailureShown = b.rows.statuses();
        whileFailureShown.append(QStringLiteral("timer=%1 launches=%2").arg(b.view.timer).arg(b.processes.launches.size()));
    });
    b.converterEnds(false);
    b.tick();
    QCOMPARE(b.p.messages.shown.size(), 1);
    QCOMPARE(b.p.messages.shown[0], failureBox(QStringLiteral("/in/two.pdf")));
    QCOMPARE(whileFailureShown, (QStringList{kDone, kFailed, kPending, QStringLiteral("timer=0 launches=2")}));
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kFailed, kConverting}));
    QCOMPARE(b.processes.launches.size(), 3);

    // Row 3 succeeds and the batch ends, in the documented order, before the question.
    bool idleWhileAsked = false;
    b.p.messages.setWhileOpen([&] { idleWhileAsked = b.view.idle(); });
    b.p.messages.setNextAnswer(MessageAnswer::Yes);
    b.view.log.clear();
    b.converterEnds(true);
    b.tick();
    QCOMPARE(b.view.log,
             (QStringList{QStringLiteral("timer off"), QStringLiteral("disable cmdStop"),
                          QStringLiteral("enable cmdStart"), QStringLiteral("caption 开始转换"),
                          QStringLiteral("enable cmdAddPDF"), QStringLiteral("enable cmdDel"),
                          QStringLiteral("enable cmdClAll"), QStringLiteral("enable txtSave"),
                          QStringLiteral("enable cmdSelSave"), QStringLiteral("timer off"),
                          QStringLiteral("open folder")}));
    QVERIFY(idleWhileAsked);
    QCOMPARE(b.p.messages.shown.size(), 2);
    QCOMPARE(b.p.messages.shown[1], endQuestion());
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kFailed, kDone}));
    QCOMPARE(b.view.openFolderCalls, 1);
    QVERIFY(b.runner.strSrcFile.isEmpty());
    QVERIFY(b.runner.strDestFile.isEmpty());

    // A stray tick after the batch does nothing.
    b.tick();
    QCOMPARE(b.processes.launches.size(), 3);
    QCOMPARE(b.p.messages.shown.size(), 2);
}

void ConversionRunnerTest::endQuestionAnsweredNoOpensNothing()
{
    // Nothing pending (and an empty list) goes straight to the end of the batch.
    for (const bool empty : {true, false}) {
        Batch b;
        if (!empty) {
            b.rows.append(QStringLiteral("/in/a.pdf"), kDone);
            b.rows.append(QStringLiteral("/in/b.pdf"), kFailed);
        }
        b.p.messages.setNextAnswer(MessageAnswer::No);
        b.runner.ConvertNext();
        QCOMPARE(b.p.messages.shown, QList<MessageRequest>{endQuestion()});
        QCOMPARE(b.view.openFolderCalls, 0);
        QVERIFY(b.view.idle());
        QVERIFY(b.processes.launches.isEmpty());
        QCOMPARE(b.p.events.count, 0);
    }
}

void ConversionRunnerTest::destinationNames_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("destination");
    QTest::newRow("folder without separator") << "/in/Report.pdf" << "/out" << "/out/Report.doc";
    QTest::newRow("folder with separator") << "/in/Report.pdf" << "/out/" << "/out/Report.doc";
    QTest::newRow("upper-case extension") << "/in/Report.PDF" << "/out" << "/out/Report.doc";
    QTest::newRow("several dots") << "/in/a.b.pdf" << "/out" << "/out/a.b.doc";
    QTest::newRow("exactly four characters") << "/in/.pdf" << "/out" << "/out/.doc";
    QTest::newRow("spaces and quotes") << "/in/my \"best\" 报告.pdf" << "/out" << "/out/my \"best\" 报告.doc";
    QTest::newRow("root folder") << "/in/x.pdf" << "/" << "/x.doc";
}

void ConversionRunnerTest::destinationNames()
{
    QFETCH(QString, source);
    QFETCH(QString, folder);
    QFETCH(QString, destination);
    Batch b({source}, folder);
    b.runner.cmdStart_Click();
    QCOMPARE(b.runner.strDestFile, destination);
    QCOMPARE(b.lastLaunch().arguments, (QStringList{QStringLiteral("--src=") + source, QStringLiteral("--dest=") + destination}));
    QVERIFY(b.p.messages.shown.isEmpty());
}

void ConversionRunnerTest::nameShorterThanFourCharacters()
{
    Batch b({QStringLiteral("/in/ab")});
    QString stateWhileReported;
    b.p.messages.setWhileOpen([&] {
        stateWhileReported = QStringLiteral("timer=%1 launches=%2").arg(b.view.timer).arg(b.processes.launches.size());
    });
    b.runner.cmdStart_Click();

    // The step fails and is reported after the launch; the whole name is used.
    QCOMPARE(b.runner.strDestFile, QStringLiteral("/out/ab.doc"));
    QCOMPARE(b.processes.launches.size(), 1);
    QCOMPARE(stateWhileReported, QStringLiteral("timer=1 launches=1"));
    QCOMPARE(b.p.messages.shown.size(), 1);
    const auto& report = b.p.messages.shown[0];
    QCOMPARE(report.title, QStringLiteral("错误提示"));
    QCOMPARE(report.icon, MessageIcon::Warning);
    QCOMPARE(report.buttons, MessageButtons::Ok);
    QVERIFY2(report.text.contains(QStringLiteral("[ab]")), qPrintable(report.text));

    b.converterEnds(true);
    b.tick();
    QCOMPARE(b.rows.statuses(), QStringList{kDone});
}

void ConversionRunnerTest::converterMissing()
{
    Batch b({QStringLiteral("/in/a.pdf"), QStringLiteral("/in/b.pdf")});
    b.processes.failNextLaunch(QStringLiteral("找不到程序文件"));
    b.processes.failNextLaunch(QStringLiteral("找不到程序文件"));
    b.runner.cmdStart_Click();

    QCOMPARE(b.p.messages.shown.size(), 1);
    QCOMPARE(b.p.messages.shown[0].title, QStringLiteral("错误提示"));
    QCOMPARE(b.p.messages.shown[0].icon, MessageIcon::Warning);
    QVERIFY2(b.p.messages.shown[0].text.contains(QStringLiteral("/opt/velkaro/pwt")), qPrintable(b.p.messages.shown[0].text));
    QVERIFY(b.p.messages.shown[0].text.contains(QStringLiteral("找不到程序文件")));
    QCOMPARE(b.runner.lngPID, 0);
    QVERIFY(b.view.timer);
    QCOMPARE(b.rows.statuses(), (QStringList{kConverting, kPending}));

    b.tick(); // settles at once: no process to wait for
    QCOMPARE(b.rows.statuses(), (QStringList{kFailed, kConverting}));
    b.tick();
    QCOMPARE(b.rows.statuses(), (QStringList{kFailed, kFailed}));

    QCOMPARE(b.p.messages.shown.size(), 5);
    QCOMPARE(b.p.messages.shown[1], failureBox(QStringLiteral("/in/a.pdf")));
    QCOMPARE(b.p.messages.shown[2].title, QStringLiteral("错误提示"));
    QCOMPARE(b.p.messages.shown[3], failureBox(QStringLiteral("/in/b.pdf")));
    QCOMPARE(b.p.messages.shown[4], endQuestion());
    QVERIFY(b.view.idle());
}


void ConversionRunnerTest::failedLaunchNeverQueriesAnEarlierId()
{
    Batch b({QStringLiteral("/in/a.pdf"), QStringLiteral("/in/b.pdf")});
    b.processes.failNextLaunch(QStringLiteral("no program")); // lngPID stays 0
    b.runner.cmdStart_Click();
    b.tick();
    QCOMPARE(b.rows.statuses(), (QStringList{kFailed, kConverting}));
    QVERIFY(b.processes.asked.isEmpty());

    const qint64 first = b.runner.lngPID;
    QVERIFY(first > 0);
    b.tick();
    QCOMPARE(b.processes.asked, QList<qint64>{first});

    // Row 1 runs once more after the converter of row 2, and its launch fails:
    // lngPID keeps the ended converter's id, which is no longer asked about.
    b.processes.failNextLaunch(QStringLiteral("no program"));
    b.rows.setStatus(1, kPending);
    b.converterEnds(true);
    b.tick();
    QCOMPARE(b.runner.strSrcFile, QStringLiteral("/in/a.pdf"));
    QCOMPARE(b.runner.lngPID, first);
    b.tick();
    QCOMPARE(b.processes.asked, (QList<qint64>{first, first}));
    QCOMPARE(b.rows.statuses(), (QStringList{kFailed, kDone}));
    QVERIFY(b.view.idle());
}

void ConversionRunnerTest::missingOutputFolderIsCreatedOneLevel()
{
    Batch b({QStringLiteral("/in/a.pdf")}, QStringLiteral("/data/new"));
    b.p.files.folders.insert(QStringLiteral("/data"));
    bool existedAtEvents = false;
    b.p.events.action = [&] { existedAtEvents = b.p.files.folderExists(QStringLiteral("/data/new")); };
    b.runner.cmdStart_Click();

    QCOMPARE(b.p.files.madeFolders, QStringList{QStringLiteral("/data/new")});
    QVERIFY(existedAtEvents);
    QVERIFY(b.p.messages.shown.isEmpty());
    QCOMPARE(b.runner.strDestFile, QStringLiteral("/data/new/a.doc"));

    // An existing folder is not made again.
    b.converterEnds(true);
    b.tick();
    b.runner.cmdStart_Click();
    QCOMPARE(b.p.files.madeFolders.size(), 1);
}

void ConversionRunnerTest::outputFolderWhoseParentIsMissing()
{
    Batch b({QStringLiteral("/in/a.pdf")}, QStringLiteral("/nowhere/new"));
    b.runner.cmdStart_Click();

    QCOMPARE(b.p.files.madeFolders, QStringList{QStringLiteral("/nowhere/new")});
    QVERIFY(!b.p.files.folderExists(QStringLiteral("/nowhere")));
    // Launched anyway into the missing folder, then reported.
    QCOMPARE(b.lastLaunch().arguments.value(1), QStringLiteral("--dest=/nowhere/new/a.doc"));
    QCOMPARE(b.p.messages.shown.size(), 1);
    QCOMPARE(b.p.messages.shown[0].title, QStringLiteral("错误提示"));
    QVERIFY2(b.p.messages.shown[0].text.contains(QStringLiteral("/nowhere/new")), qPrintable(b.p.messages.shown[0].text));

    b.converterEnds(false);
    b.tick();
    QCOMPARE(b.rows.statuses(), QStringList{kFailed});
    QCOMPARE(b.p.messages.shown[1], failureBox(QStringLiteral("/in/a.pdf")));
    QCOMPARE(b.p.messages.shown[2], endQuestion());
}

void ConversionRunnerTest::stoppedRowsArePickedLikePending()
{
    Batch b;
    b.rows.append(QStringLiteral("/in/done.pdf"), kDone);
    b.rows.append(QStringLiteral("/in/stopped.pdf"), kStopped);
    b.rows.append(QStringLiteral("/in/pending.pdf"), kPending);
    b.view.timer = false;
    b.runner.ConvertNext();
    QCOMPARE(b.runner.strSrcFile, QStringLiteral("/in/stopped.pdf"));
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kConverting, kPending}));

    b.converterEnds(true);
    b.tick();
    QCOMPARE(b.runner.strSrcFile, QStringLiteral("/in/pending.pdf"));
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kDone, kConverting}));
}

void ConversionRunnerTest::secondBatchConvertsEveryRowAgain()
{
    Batch b({QStringLiteral("/in/a.pdf"), QStringLiteral("/in/b.pdf")});
    b.runner.cmdStart_Click();
    b.converterEnds(true);
    b.tick();
    b.converterEnds(false);
    b.tick();
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kFailed}));
    QVERIFY(b.view.idle());

    b.runner.cmdStart_Click();
    QCOMPARE(b.rows.statuses(), (QStringList{kConverting, kPending}));
    QVERIFY(b.view.lockedForBatch());
    // The file of the first batch is overwritten, not renamed around.
    QCOMPARE(b.runner.strDestFile, QStringLiteral("/out/a.doc"));
    b.converterEnds(true);
    b.tick();
    b.converterEnds(true);
    b.tick();
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kDone}));
    QCOMPARE(b.processes.launches.size(), 4);
}

void ConversionRunnerTest::staleDestinationIsNotSuccess()
{
    Batch b({QStringLiteral("/in/a.pdf")});
    b.p.files.writeFile(QStringLiteral("/out/a.doc"), 777); // the user's file from elsewhere
    const auto before = b.p.files.stamp(QStringLiteral("/out/a.doc"));
    b.runner.cmdStart_Click();
    b.converterEnds(false);
    b.tick();

    QCOMPARE(b.rows.statuses(), QStringList{kFailed});
    QCOMPARE(b.p.messages.shown.value(0), failureBox(QStringLiteral("/in/a.pdf")));
    QCOMPARE(b.p.files.stamp(QStringLiteral("/out/a.doc")), before); // left as it was
}

void ConversionRunnerTest::rewrittenDestinationIsSuccess()
{
    Batch b({QStringLiteral("/in/a.pdf")});
    b.p.files.writeFile(QStringLiteral("/out/a.doc"), 777);
    b.runner.cmdStart_Click();
    QCOMPARE(b.runner.strDestFile, QStringLiteral("/out/a.doc"));
    b.converterEnds(true);
    b.tick();
    QCOMPARE(b.rows.statuses(), QStringList{kDone});
}

void ConversionRunnerTest::sameNameInOneBatchGivesSeparateFiles()
{
    Batch b({QStringLiteral("/in1/a.pdf"), QStringLiteral("/in2/a.pdf"), QStringLiteral("/in3/a.pdf"),
             QStringLiteral("/in4/a.pdf")});
    b.p.files.writeFile(QStringLiteral("/out/a (2).doc")); // from elsewhere: may be overwritten
    QStringList destinations;
    b.runner.cmdStart_Click();
    for (const bool writes : {true, false, true, true}) {
        destinations.append(b.runner.strDestFile);
        b.converterEnds(writes);
        b.tick();
    }
    // Row 2 wrote nothing, so row 3 may still take "(2)".
    QCOMPARE(destinations, (QStringList{QStringLiteral("/out/a.doc"), QStringLiteral("/out/a (2).doc"),
                                        QStringLiteral("/out/a (2).doc"), QStringLiteral("/out/a (3).doc")}));
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kFailed, kDone, kDone}));

    // The next batch starts afresh.
    b.runner.cmdStart_Click();
    QCOMPARE(b.runner.strDestFile, QStringLiteral("/out/a.doc"));
}

void ConversionRunnerTest::sourceIsNeverItsOwnDestination()
{
    Batch b({QStringLiteral("/out/memo.doc")});
    b.runner.cmdStart_Click();
    QCOMPARE(b.runner.strDestFile, QStringLiteral("/out/memo (2).doc"));
}

void ConversionRunnerTest::noTickHandledWhileErrorReportIsOpen()
{
    Batch b({QStringLiteral("/in/ab"), QStringLiteral("/in/c.pdf")}); // a short name: the report comes up
    QStringList duringReport;
    b.p.messages.setWhileOpen([&] {
        b.converterEnds(true); // the converter is done while the box is still open
        for (int i = 0; i < 3; ++i)
            b.tick();
        duringReport = b.rows.statuses();
        duringReport.append(QStringLiteral("timer=%1 launches=%2").arg(b.view.timer).arg(b.processes.launches.size()));
    });
    b.runner.cmdStart_Click();
    QCOMPARE(duringReport, (QStringList{kConverting, kPending, QStringLiteral("timer=1 launches=1")}));

    // Once the report is closed the held-back tick settles the row.
    b.tick();
    QCOMPARE(b.rows.statuses(), (QStringList{kDone, kConverting}));
    QCOMPARE(b.processes.launches.size(), 2);
}

void ConversionRunnerTest::getFileName()
{
    QCOMPARE(runner::GetFileName(QStringLiteral("/a/b/c.pdf")), QStringLiteral("c.pdf"));
    QCOMPARE(runner::GetFileName(QStringLiteral("c.pdf")), QStringLiteral("c.pdf"));
    QCOMPARE(runner::GetFileName(QStringLiteral("/a/b/")), QString());
    QCOMPARE(runner::GetFileName(QStringLiteral("a\\b.pdf")), QStringLiteral("a\\b.pdf"));
}

QTEST_GUILESS_MAIN(ConversionRunnerTest)
#include "tst_ConversionRunner.moc"

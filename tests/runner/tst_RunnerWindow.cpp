// Batches in the real window frmMain (offscreen), with real converter
// processes (the test-only converter) and scripted message boxes.
#include "ConverterSandbox.h"
#include "WindowHarness.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <csignal>
#include <sys/wait.h>

using runner::testing::ConverterSandbox;
using runner::testing::processState;
using runner::testing::releaseHeldConverter;
using runner::testing::WindowHarness;

namespace {

const QString kFakePwt = QStringLiteral(FAKEPWT_PATH);
const QString kWindowHost = QStringLiteral(WINDOW_HOST_PATH);
const QString kPending = QStringLiteral("待转换");
const QString kConverting = QStringLiteral("正在转换中，请耐心等待...");
const QString kDone = QStringLiteral("转换完成");
const QString kFailed = QStringLiteral("转换失败");

} // namespace

class RunnerWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void refusalsMoveTheFocus();
    void wholeBatchInTheWindow();
    void ticksHeldWhileErrorReportIsOpen();
    void closingTheWindowMidBatchLeavesTheConverterRunning();

private:
    ConverterSandbox m_sandbox;
};

void RunnerWindowTest::initTestCase() { m_sandbox.setUp(kFakePwt); }

void RunnerWindowTest::cleanupTestCase() { ConverterSandbox::reapOrphans(); }

void RunnerWindowTest::refusalsMoveTheFocus()
{
    WindowHarness h(m_sandbox.binFolder());
    h.form.show();
    QVERIFY(QTest::qWaitForWindowActive(&h.form));
    h.form.txtSave->clear();

    h.form.lvwPDF->setFocus();
    QTest::mouseClick(h.form.cmdStart, Qt::LeftButton);
    QCOMPARE(h.doubles.messages.shown.size(), 1);
    QCOMPARE(h.doubles.messages.shown[0].text, QStringLiteral("您还未添加任何PDF文件！请先添加PDF文件。"));
    QTRY_VERIFY(h.form.cmdAddPDF->hasFocus());

    h.form.AddPDF(QStringLiteral("/in/a.pdf"));
    QTest::mouseClick(h.form.cmdStart, Qt::LeftButton);
    QCOMPARE(h.doubles.messages.shown.size(), 2);
    QCOMPARE(h.doubles.messages.shown[1].text, QStringLiteral("请先选择转换后的Word文件保存文件夹！"));
    QTRY_VERIFY(h.form.cmdSelSave->hasFocus());
    QVERIFY(h.form.cmdStart->isEnabled());
    QCOMPARE(h.statuses(), QStringList{kPending});
}

void RunnerWindowTest::wholeBatchInTheWindow()
{
    const QString out = m_sandbox.filePath(QStringLiteral("window out"));
    WindowHarness h(m_sandbox.binFolder());
    h.form.show();
    for (const auto& source : {QStringLiteral("/in/a/report.pdf"), QStringLiteral("/in/nowrite.pdf"),
                               QStringLiteral("/in/b/report.pdf"), QStringLiteral("/in/held.pdf")})
        h.form.AddPDF(source);
    h.form.txtSave->setText(out);
    // OK to the refusal of a late file and to the failure of nowrite.pdf,
    // in whichever order they come; Yes to opening the folder.
    h.doubles.messages.setNextAnswer(platform::MessageAnswer::Ok);
    h.doubles.messages.setNextAnswer(platform::MessageAnswer::Ok);
    h.doubles.messages.setNextAnswer(platform::MessageAnswer::Yes);

    QTest::mouseClick(h.form.cmdStart, Qt::LeftButton);
    QCOMPARE(h.form.cmdStart->text(), QStringLiteral("正在转换..."));
    for (QWidget* locked : {static_cast<QWidget*>(h.form.cmdStart), static_cast<QWidget*>(h.form.cmdAddPDF),
                            static_cast<QWidget*>(h.form.cmdDel), static_cast<QWidget*>(h.form.cmdClAll),
                            static_cast<QWidget*>(h.form.txtSave), static_cast<QWidget*>(h.form.cmdSelSave)})
        QVERIFY2(!locked->isEnabled(), qPrintable(locked->objectName()));
    QVERIFY(h.form.cmdStop->isEnabled());
    QVERIFY(!h.form.cmdStop->isVisible());
    QVERIFY(h.form.timerPID->isActive());
    QCOMPARE(h.statuses().value(0), kConverting);

    // Adding a file during the batch is refused by the window, which reads the batch from cmdStart.
    h.form.AddPDF(QStringLiteral("/in/late.pdf"));
    QCOMPARE(h.doubles.messages.shown.last().text, QStringLiteral("转换中不允许添加文件！"));
    QCOMPARE(h.statuses().size(), 4);

    // The last converter runs until the test lets it go; the batch waits for it.
    QTRY_COMPARE_WITH_TIMEOUT(h.statuses(), (QStringList{kDone, kFailed, kDone, kConverting}), 30000);
    QVERIFY(h.form.timerPID->isActive());
    QVERIFY(!h.form.cmdStart->isEnabled());
    releaseHeldConverter(out + QStringLiteral("/held.doc"));

    QTRY_VERIFY_WITH_TIMEOUT(h.askedToOpenFolder(), 30000);
    QCOMPARE(h.statuses(), (QStringList{kDone, kFailed, kDone, kDone}));
    QCOMPARE(h.form.cmdStart->text(), QStringLiteral("开始转换"));
    QVERIFY(h.form.cmdStart->isEnabled());
    QVERIFY(h.form.txtSave->isEnabled());
    QVERIFY(!h.form.cmdStop->isEnabled());
    QVERIFY(!h.form.timerPID->isActive());
    QCOMPARE(h.doubles.messages.shown.size(), 3);
    QVERIFY(h.doubles.messages.shown[0].text.startsWith(QStringLiteral("文件[/in/nowrite.pdf]转换失败！"))
            || h.doubles.messages.shown[1].text.startsWith(QStringLiteral("文件[/in/nowrite.pdf]转换失败！")));
    QCOMPARE(h.doubles.fileManager.opened.size(), 1);
    QVERIFY(h.doubles.fileManager.opened[0].startsWith(out));
    QCOMPARE(QDir(out).entryList(QDir::Files),
             (QStringList{QStringLiteral("held.doc"), QStringLiteral("report (2).doc"), QStringLiteral("report.doc")}));
}

void RunnerWindowTest::ticksHeldWhileErrorReportIsOpen()
{
    // A name shorter than four characters brings up the error report right
    // after the launch; the converter ends while the report is still open,
    // and the timer ticks on in the box's own event loop.
    WindowHarness h(m_sandbox.binFolder());
    h.form.show();
    h.form.AddPDF(QStringLiteral("/in/ab"));
    h.form.txtSave->setText(m_sandbox.path());
    QSignalSpy ticks(h.form.timerPID, &QTimer::timeout);
    QStringList whileOpen;
    h.doubles.messages.setWhileOpen([&] {
        const qint64 converter = h.form.runner().lngPID;
        QTRY_VERIFY_WITH_TIMEOUT(processState(converter) == 'Z' || processState(converter) == 0, 10000);
        // A tick after its end, unless one already settled the row and stopped the timer.
        const qsizetype ticksBefore = ticks.size();
        QTRY_VERIFY(ticks.size() > ticksBefore || !h.form.timerPID->isActive());
        whileOpen = h.statuses();
        whileOpen.append(QStringLiteral("timer=%1").arg(h.form.timerPID->isActive()));
        whileOpen.append(QStringLiteral("ended=%1").arg(processState(h.form.runner().lngPID) == 'Z'));
    });
    QTest::mouseClick(h.form.cmdStart, Qt::LeftButton);

    QCOMPARE(h.doubles.messages.shown.value(0).title, QStringLiteral("错误提示"));
    QCOMPARE(whileOpen, (QStringList{kConverting, QStringLiteral("timer=1"), QStringLiteral("ended=1")}));
    QTRY_VERIFY_WITH_TIMEOUT(h.askedToOpenFolder(), 10000);
    QCOMPARE(h.statuses(), QStringList{kDone});
}

void RunnerWindowTest::closingTheWindowMidBatchLeavesTheConverterRunning()
{
    const QString idFile = m_sandbox.filePath(QStringLiteral("converter.id"));
    const QString destination = m_sandbox.filePath(QStringLiteral("held.doc"));
    platform::qt::PosixProcesses processes;
    const auto host = processes.startHidden(
        kWindowHost, {idFile, m_sandbox.binFolder(), QStringLiteral("/in/held.pdf"), m_sandbox.path()});
    QVERIFY2(host.ok(), qPrintable(host.error));
    QTRY_VERIFY_WITH_TIMEOUT(!processes.isRunning(host.pid), 30000);

    QFile ids(idFile);
    QVERIFY(ids.open(QIODevice::ReadOnly));
    const qint64 converter = ids.readAll().toLongLong();
    QVERIFY(converter > 0);
    QCOMPARE(kill(static_cast<pid_t>(converter), 0), 0);
    QVERIFY(processState(converter) != 'Z');

    // Let go only after the window has gone, it still does its whole work.
    releaseHeldConverter(destination);
    int status = 0;
    QCOMPARE(waitpid(static_cast<pid_t>(converter), &status, 0), static_cast<pid_t>(converter));
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QVERIFY(QFile::exists(destination));
}

QTEST_MAIN(RunnerWindowTest)
#include "tst_RunnerWindow.moc"

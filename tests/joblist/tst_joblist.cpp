// The job list's operations on plain rows: AddPDF, the Open dialog's answer,
// drops, deleting and clearing.
#include "joblist/DropHandler.h"
#include "joblist/OpenDialogFiles.h"
#include "joblist/PdfAdder.h"
#include "joblist/RowRemover.h"
#include "joblist/Texts.h"
#include "joblist/VectorJobRows.h"
#include "platform/doubles/Doubles.h"

#include <QtTest>

using namespace joblist;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

struct FakeBatch : BatchState {
    bool running = false;
    bool batchRunning() const override { return running; }
};

// One job list with everything that works on it.
struct Fixture {
    VectorJobRows rows;
    FakeBatch batch;
    platform::doubles::TestPlatform p;
    PdfAdder adder{rows, batch, p.messages};
    OpenDialogFiles dialog{p.dialogs, adder};
    DropHandler drop{adder, p.messages};
    RowRemover remover{rows, p.messages};

    QStringList shownTexts() const
    {
        QStringList out;
        for (const auto& m : p.messages.shown)
            out.append(m.text);
        return out;
    }
};

const QString kNul(QChar(u'\0'));

} // namespace

class JobListTest : public QObject {
    Q_OBJECT

private slots:
    void addToEmptyListMakesPendingRowOne()
    {
        Fixture f;
        f.adder.AddPDF(QStringLiteral("/docs/a.pdf"));
        QCOMPARE(f.rows.count(), 1);
        QCOMPARE(f.rows.text(1), QStringLiteral("/docs/a.pdf"));
        QCOMPARE(f.rows.status(1), QStringLiteral("待转换"));
        QVERIFY(f.p.messages.shown.isEmpty());
    }

    void duplicateIsRefusedWithItsPathAndKeepsTheRow()
    {
        Fixture f;
        f.adder.AddPDF(QStringLiteral("/docs/a.pdf"));
        f.adder.AddPDF(QStringLiteral("/docs/b.pdf"));
        f.rows.setStatus(1, status::kDone);
        f.adder.AddPDF(QStringLiteral("/docs/a.pdf"));

        QCOMPARE(f.rows.texts(), (QStringList{"/docs/a.pdf", "/docs/b.pdf"}));
        QCOMPARE(f.rows.status(1), QStringLiteral("转换完成"));
        QCOMPARE(f.p.messages.shown.size(), 1);
        const auto& box = f.p.messages.shown.first();
        QCOMPARE(box.text, QStringLiteral("文件[/docs/a.pdf]在列表中已经存在！"));
        QCOMPARE(box.title, QStringLiteral("提示"));
        QCOMPARE(box.icon, MessageIcon::Warning);
        QCOMPARE(box.buttons, MessageButtons::Ok);
    }

    void letterCaseMakesADifferentJob()
    {
        Fixture f;
        f.adder.AddPDF(QStringLiteral("/docs/a.pdf"));
        f.adder.AddPDF(QStringLiteral("/docs/a.PDF"));
        f.adder.AddPDF(QStringLiteral("/docs/a.pdf ")); // nothing is trimmed
        QCOMPARE(f.rows.count(), 3);
        QVERIFY(f.p.messages.shown.isEmpty());
    }

    void batchRefusalComesBeforeTheDuplicateTest()
    {
        Fixture f;
        f.adder.AddPDF(QStringLiteral("/docs/a.pdf"));
        f.batch.running = true;
        f.adder.AddPDF(QStringLiteral("/docs/a.pdf"));
        f.adder.AddPDF(QStringLiteral("/docs/new.pdf"));
        QCOMPARE(f.rows.count(), 1);
        QCOMPARE(f.shownTexts(), (QStringList{"转换中不允许添加文件！", "转换中不允许添加文件！"}));
    }

    void addAcceptsAnyNameAndLeavesOlderStatuses()
    {
        Fixture f;
        f.adder.AddPDF(QStringLiteral("/docs/one.pdf"));
        f.adder.AddPDF(QStringLiteral("/docs/two.pdf"));
        f.rows.setStatus(1, status::kDone);
        f.rows.setStatus(2, status::kFailed);
        f.adder.AddPDF(QStringLiteral("/nowhere/notes.txt"));
        QCOMPARE(f.rows.count(), 3);
        QCOMPARE(f.rows.status(1), status::kDone);
        QCOMPARE(f.rows.status(2), status::kFailed);
        QCOMPARE(f.rows.status(3), status::kPending);
    }

    void splitFileNames_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one path") << "/docs/a.pdf" << QStringList{"/docs/", "a.pdf"};
        QTest::newRow("several") << "/docs" + kNul + "a.pdf" + kNul + "b.pdf" << QStringList{"/docs/", "a.pdf", "b.pdf"};
        QTest::newRow("several in the root") << "/" + kNul + "a.pdf" + kNul + "b.pdf" << QStringList{"/", "a.pdf", "b.pdf"};
        QTest::newRow("one in the root") << "/a.pdf" << QStringList{"/", "a.pdf"};
        QTest::newRow("no separator") << "a.pdf" << QStringList{"", "a.pdf"};
        QTest::newRow("folder already ends in separator")
            << "/docs/" + kNul + "a.pdf" << QStringList{"/docs/", "a.pdf"};
    }

    void splitFileNames()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, expected);
        Fixture f;
        f.dialog.SplitFileNames(answer);
        QCOMPARE(f.dialog.strFiles, expected);
    }

    void openDialogAddsEveryChosenPathInOrder()
    {
        Fixture f;
        f.p.dialogs.setNextOpenResult("/docs" + kNul + "b.pdf" + kNul + "a.txt");
        f.dialog.cmdAddPDF_Click();
        QCOMPARE(f.p.dialogs.openTitles, QStringList{"请选择要转换的PDF文件（选择单个文件或多个文件均可）"});
        QCOMPARE(f.p.dialogs.openFilters, QStringList{"*.pdf|*.pdf"});
        // No extension test for the dialog's files.
        QCOMPARE(f.rows.texts(), (QStringList{"/docs/b.pdf", "/docs/a.txt"}));

        f.p.dialogs.setNextOpenResult("/" + kNul + "x.pdf" + kNul + "y.pdf");
        f.dialog.cmdAddPDF_Click();
        QCOMPARE(f.rows.texts().mid(2), (QStringList{"/x.pdf", "/y.pdf"}));
    }

    void cancelledDialogChangesNothing()
    {
        Fixture f;
        f.p.dialogs.setNextOpenResult("/docs/a.pdf");
        f.dialog.cmdAddPDF_Click();
        const QStringList before = f.dialog.strFiles;
        f.dialog.cmdAddPDF_Click(); // unscripted: cancelled
        QCOMPARE(f.dialog.strFiles, before);
        QCOMPARE(f.rows.count(), 1);
        QVERIFY(f.p.messages.shown.isEmpty());
    }

    void dialogDuplicatesShowTheirMessageEach()
    {
        Fixture f;
        f.adder.AddPDF(QStringLiteral("/docs/a.pdf"));
        f.p.dialogs.setNextOpenResult("/docs" + kNul + "a.pdf" + kNul + "c.pdf");
        f.dialog.cmdAddPDF_Click();
        QCOMPARE(f.rows.texts(), (QStringList{"/docs/a.pdf", "/docs/c.pdf"}));
        QCOMPARE(f.shownTexts(), QStringList{"文件[/docs/a.pdf]在列表中已经存在！"});
    }

    void longSelectionIsNotCutShort()
    {
        // Far beyond the classic 260-character buffer: every name still arrives.
        Fixture f;
        QString answer = QStringLiteral("/a/rather/long/folder/name/for/many/files");
        for (int i = 0; i < 300; ++i)
            answer += kNul + QStringLiteral("document number %1.pdf").arg(i);
        f.p.dialogs.setNextOpenResult(answer);
        f.dialog.cmdAddPDF_Click();
        QCOMPARE(f.rows.count(), 300);
        QCOMPARE(f.rows.text(300), QStringLiteral("/a/rather/long/folder/name/for/many/files/document number 299.pdf"));
        QVERIFY(f.p.messages.shown.isEmpty());
    }

    void dropAddsPdfsAndNamesTheRestInOneMessage()
    {
        Fixture f;
        f.drop.OLEDragDrop({"/x/Report.PDF", "/x/notes.txt"});
        QCOMPARE(f.rows.texts(), QStringList{"/x/Report.PDF"});
        QCOMPARE(f.shownTexts(), QStringList{"[/x/notes.txt]\r\n不是PDF文档。"});
        QCOMPARE(f.p.messages.shown.first().icon, MessageIcon::Warning);
        QCOMPARE(f.p.messages.shown.first().title, QStringLiteral("提示"));
    }

    void dropOfNoPdfsListsEachRejectedPathInOrder()
    {
        Fixture f;
        f.drop.OLEDragDrop({"/x/a.txt", "/x/b.doc", "/x/c.pdf.bak"});
        QCOMPARE(f.rows.count(), 0);
        QCOMPARE(f.shownTexts(), QStringList{"[/x/a.txt]\r\n[/x/b.doc]\r\n[/x/c.pdf.bak]\r\n不是PDF文档。"});
    }

    void dropTestLooksAtTheStringOnly()
    {
        QVERIFY(DropHandler::looksLikePdf("/x/folder.pdf"));
        QVERIFY(DropHandler::looksLikePdf(".pdf"));
        QVERIFY(DropHandler::looksLikePdf("/x/A.Pdf"));
        QVERIFY(!DropHandler::looksLikePdf("pdf"));
        QVERIFY(!DropHandler::looksLikePdf("/x/a.pdfx"));
        QVERIFY(!DropHandler::looksLikePdf(""));
    }

    void dropOfPdfsOnlyShowsNothingAndNoFilesNothingAtAll()
    {
        Fixture f;
        f.drop.OLEDragDrop({"/x/a.pdf", "/x/b.pdf"});
        f.drop.OLEDragDrop({});
        QCOMPARE(f.rows.count(), 2);
        QVERIFY(f.p.messages.shown.isEmpty());
    }

    void dropDuringBatchShowsRefusalsThenRejections()
    {
        Fixture f;
        f.batch.running = true;
        f.drop.OLEDragDrop({"/x/a.pdf", "/x/t.txt", "/x/b.pdf"});
        QCOMPARE(f.rows.count(), 0);
        QCOMPARE(f.shownTexts(),
                 (QStringList{"转换中不允许添加文件！", "转换中不允许添加文件！", "[/x/t.txt]\r\n不是PDF文档。"}));
    }

    void deleteFromEmptyListWarnsWithoutAsking()
    {
        Fixture f;
        f.remover.cmdDel_Click();
        QCOMPARE(f.p.messages.shown.size(), 1);
        QCOMPARE(f.p.messages.shown.first(), platform::warningBox("您尚未添加任何PDF文件！"));
    }

    void deleteAskedAndAnsweredYesRemovesTheSelectedRow()
    {
        Fixture f;
        for (const char* p : {"/d/1.pdf", "/d/2.pdf", "/d/3.pdf"})
            f.adder.AddPDF(QString::fromLatin1(p));
        f.rows.setStatus(3, status::kFailed);
        f.rows.selectedPosition = 2;
        f.p.messages.setNextAnswer(MessageAnswer::Yes);
        f.remover.cmdDel_Click();

        QCOMPARE(f.p.messages.shown.size(), 1);
        const auto& box = f.p.messages.shown.first();
        QCOMPARE(box.text, QStringLiteral("您确实要从列表中删除[/d/2.pdf]吗？"));
        QCOMPARE(box.icon, MessageIcon::Question);
        QCOMPARE(box.buttons, MessageButtons::YesNo);
        QCOMPARE(box.title, QStringLiteral("提示"));
        QCOMPARE(f.rows.texts(), (QStringList{"/d/1.pdf", "/d/3.pdf"}));
        QCOMPARE(f.rows.status(2), status::kFailed);
    }

    void deleteAnsweredNoChangesNothing()
    {
        Fixture f;
        f.adder.AddPDF("/d/1.pdf");
        f.adder.AddPDF("/d/2.pdf");
        f.rows.selectedPosition = 1;
        f.p.messages.setNextAnswer(MessageAnswer::No);
        f.remover.cmdDel_Click();
        QCOMPARE(f.rows.count(), 2);
        QCOMPARE(f.rows.selected(), 1);
    }

    void deleteWithoutSelectionAsksToSelectFirst()
    {
        Fixture f;
        f.adder.AddPDF("/d/1.pdf");
        f.remover.cmdDel_Click();
        QCOMPARE(f.rows.count(), 1);
        QCOMPARE(f.p.messages.shown.size(), 1);
        QCOMPARE(f.p.messages.shown.first(), platform::warningBox("请先在列表中选择要删除的PDF文件！"));
    }

    void deleteTakesTheSelectionAsItIsAfterTheQuestion()
    {
        Fixture f;
        for (const char* p : {"/d/1.pdf", "/d/2.pdf", "/d/3.pdf"})
            f.adder.AddPDF(QString::fromLatin1(p));
        f.rows.selectedPosition = 1;
        f.p.messages.setWhileOpen([&] { f.rows.selectedPosition = 3; });
        f.p.messages.setNextAnswer(MessageAnswer::Yes);
        f.remover.cmdDel_Click();
        QCOMPARE(f.rows.texts(), (QStringList{"/d/1.pdf", "/d/2.pdf"}));

        // Selection gone meanwhile: nothing is removed.
        f.rows.selectedPosition = 1;
        f.p.messages.setWhileOpen([&] { f.rows.selectedPosition = 0; });
        f.p.messages.setNextAnswer(MessageAnswer::Yes);
        f.remover.cmdDel_Click();
        QCOMPARE(f.rows.count(), 2);
    }

    void clearAsksEvenWhenEmptyAndActsOnlyOnYes()
    {
        Fixture f;
        f.remover.cmdClAll_Click();
        QCOMPARE(f.p.messages.shown.size(), 1);
        QCOMPARE(f.p.messages.shown.first(), platform::questionBox("您确实要清空PDF文件列表？"));

        f.adder.AddPDF("/d/1.pdf");
        f.adder.AddPDF("/d/2.pdf");
        f.rows.setStatus(1, status::kDone);
        f.p.messages.setNextAnswer(MessageAnswer::No);
        f.remover.cmdClAll_Click();
        QCOMPARE(f.rows.count(), 2);
        f.p.messages.setNextAnswer(MessageAnswer::Yes);
        f.remover.cmdClAll_Click();
        QCOMPARE(f.rows.count(), 0);
    }
};

QTEST_GUILESS_MAIN(JobListTest)
#include "tst_joblist.moc"

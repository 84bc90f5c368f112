// One batch of generated PDFs through the real window and the real converter
// pwt: every row settled, a Word 97-2003 file for each readable PDF, and a
// failure for a file that is no PDF at all.
#include "PdfComposer.h"
#include "WindowHarness.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

using runner::testing::WindowHarness;

namespace {

const QString kPwtFolder = QStringLiteral(PWT_FOLDER);

void writePdf(const QString& path, const QStringList& paragraphs)
{
    fmt::PdfComposer pdf(path, paragraphs.value(0));
    for (const auto& paragraph : paragraphs)
        pdf.paragraph(fmt::plain(paragraph, fmt::chinese(12)));
}

QString readWithAntiword(const QString& doc)
{
    QProcess antiword;
    antiword.start(QStringLiteral("antiword"), {QStringLiteral("-m"), QStringLiteral("UTF-8.txt"), doc});
    antiword.waitForFinished(30000);
    return QString::fromUtf8(antiword.readAllStandardOutput()).simplified();
}

} // namespace

class RunnerEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void batchThroughTheRealConverter();
};

void RunnerEndToEndTest::batchThroughTheRealConverter()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString in = temp.filePath(QStringLiteral("输入 in"));
    const QString out = temp.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkdir(in));

    const QStringList sources{in + QStringLiteral("/Quarterly report.pdf"), in + QStringLiteral("/年度 总结.pdf"),
                              in + QStringLiteral("/broken.pdf")};
    writePdf(sources[0], {QStringLiteral("Quarterly report"),
                          QStringLiteral("Sales rose in every region during the third quarter, led by the north.")});
    writePdf(sources[1], {QStringLiteral("年度总结"), QStringLiteral("今年的工作按计划完成，明年继续努力。")});
    {
        QFile broken(sources[2]);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("this is not a PDF file at all\n");
    }

    WindowHarness h(kPwtFolder);
    h.form.show();
    for (const auto& source : sources)
        h.form.AddPDF(source);
    h.form.txtSave->setText(out); // missing: made by the batch
    QTest::mouseClick(h.form.cmdStart, Qt::LeftButton);

    QTRY_VERIFY_WITH_TIMEOUT(h.askedToOpenFolder(), 120000);
    QCOMPARE(h.statuses(), (QStringList{QStringLiteral("转换完成"), QStringLiteral("转换完成"), QStringLiteral("转换失败")}));
    QCOMPARE(h.doubles.messages.shown.size(), 2);
    QVERIFY(h.doubles.messages.shown[0].text.startsWith(QStringLiteral("文件[") + sources[2] + QStringLiteral("]转换失败！")));
    QCOMPARE(QDir(out).entryList(QDir::Files),
             (QStringList{QStringLiteral("Quarterly report.doc"), QStringLiteral("年度 总结.doc")}));

    for (const auto& name : {QStringLiteral("Quarterly report.doc"), QStringLiteral("年度 总结.doc")}) {
        QFile doc(out + u'/' + name);
        QVERIFY(doc.open(QIODevice::ReadOnly));
        QCOMPARE(doc.read(8), QByteArray::fromHex("d0cf11e0a1b11ae1")); // an OLE2 compound file
    }
    if (QStandardPaths::findExecutable(QStringLiteral("antiword")).isEmpty())
        QSKIP("antiword is not installed: the text of the Word files is not checked");
    const QString english = readWithAntiword(out + QStringLiteral("/Quarterly report.doc"));
    QVERIFY2(english.contains(QStringLiteral("Sales rose in every region")), qPrintable(english));
    const QString chinese = readWithAntiword(out + QStringLiteral("/年度 总结.doc"));
    QVERIFY2(chinese.contains(QStringLiteral("明年继续努力")), qPrintable(chinese));
}

QTEST_MAIN(RunnerEndToEndTest)
#include "tst_RunnerEndToEnd.moc"

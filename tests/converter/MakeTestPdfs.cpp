// Writes the generated test PDFs into a folder, for looking at them by hand
// and for the benchmarks: converter_make_test_pdfs <folder>
#include "FormattingSample.h"
#include "PictureSample.h"
#include "TableSample.h"
#include "TestPdfs.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: converter_make_test_pdfs <folder>\n");
        return 1;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    pwt::test::makeEnglishPdf(dir.filePath(QStringLiteral("english.pdf")));
    pwt::test::makeChinesePdf(dir.filePath(QStringLiteral("chinese.pdf")));
    pwt::test::makeScanPdf(dir.filePath(QStringLiteral("scan.pdf")));
    pwt::test::makeFormattingPdf(dir.filePath(QStringLiteral("format.pdf")));
    pwt::test::makePicturePdf(dir.filePath(QStringLiteral("pictures.pdf")));
    pwt::test::makeTablePdf(dir.filePath(QStringLiteral("tables.pdf")));
    pwt::test::makeLongPdf(dir.filePath(QStringLiteral("long.pdf")), 40);
    return 0;
}

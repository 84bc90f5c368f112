// Writes the generated scans into a folder, for looking at them by hand and
// for the OCR benchmark: ocr_make_scans <folder>
// For each original <name>: <name>.pdf (the original), <name>-scan.pdf (the
// scan, image only), <name>-scan.png (its page image) and <name>.txt (its
// paragraphs, one a line).
#include "ScanSamples.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: ocr_make_scans <folder>\n");
        return 1;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    quint32 seed = 1;
    for (const pwt::test::ScanOriginal& o : pwt::test::makeScanOriginals(dir.path())) {
        pwt::test::ScanLook look;
        look.seed = seed++;
        const QImage image = pwt::test::scanned(pwt::test::rasterise(o.pdf, 1), look);
        if (image.isNull()) {
            std::fprintf(stderr, "ocr_make_scans: pdftoppm could not render %s\n", qPrintable(o.pdf));
            return 1;
        }
        image.save(dir.filePath(o.name + QStringLiteral("-scan.png")));
        pwt::test::writeScanPdf(dir.filePath(o.name + QStringLiteral("-scan.pdf")), {pwt::test::ScanPage{image}});
        QFile text(dir.filePath(o.name + QStringLiteral(".txt")));
        if (!text.open(QIODevice::WriteOnly))
            return 1;
        text.write((o.paragraphs.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    }
    return 0;
}

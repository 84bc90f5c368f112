// Recognition benchmark, run by hand (see README.md): pwt on scans against
// the tesseract command on the same page images, in the same run.
//   bench_ocr <pwt> <work folder> [<pdf>:<first>-<last> ...]
// The generated scans are always measured; each <pdf>:<pages> adds a real
// scan made from those pages of a PDF (its pdftotext text is the truth).
#include "ScanSamples.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>
#include <cstdio>

using namespace pwt::test;

namespace {

constexpr int kTimeoutMs = 3600 * 1000;
constexpr int kMemoryPollMs = 20;
constexpr const char* kLanguages = "chi_sim+eng";

struct ScanSet {
    QString name;
    QString pdf;              // the image-only scan
    QStringList pageImages;   // its pages as PNG, for the tesseract command
    QString truth;            // the original text
};

struct Measured {
    TokenScore score;
    double secondsPerPage = 0;
    long vmPeakKb = 0;
};

QString runText(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(kTimeoutMs);
    return QString::fromUtf8(p.readAllStandardOutput());
}

long vmPeakOf(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmPeak:"))
            return line.mid(7).trimmed().split(' ').first().toLong();
    return 0;
}

Measured runPwt(const QString& pwt, const ScanSet& set, const QString& folder)
{
    const QString doc = QDir(folder).filePath(set.name + QStringLiteral(".doc"));
    QFile::remove(doc);
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(pwt, {QStringLiteral("--src=") + set.pdf, QStringLiteral("--dest=") + doc});
    p.waitForStarted();
    Measured m;
    while (!p.waitForFinished(kMemoryPollMs))
        m.vmPeakKb = std::max(m.vmPeakKb, vmPeakOf(p.processId()));
    m.secondsPerPage = static_cast<double>(clock.elapsed()) / 1000.0 / static_cast<double>(set.pageImages.size());
    if (p.exitCode() != 0)
        std::fprintf(stderr, "pwt failed on %s: %s", qPrintable(set.name), p.readAllStandardError().constData());
    const QString text = runText(QStringLiteral("antiword"), {QStringLiteral("-m"), QStringLiteral("UTF-8.txt"), QStringLiteral("-w"), QStringLiteral("0"), doc});
    m.score = scoreTokens(tokens(set.truth), tokens(text));
    return m;
}

Measured runTesseract(const ScanSet& set, const QString& folder)
{
    QString text;
    QElapsedTimer clock;
    clock.start();
    for (const QString& image : set.pageImages) {
        const QString base = QDir(folder).filePath(QFileInfo(image).completeBaseName());
        QProcess p;
        p.start(QStringLiteral("tesseract"), {image, base, QStringLiteral("-l"), QString::fromLatin1(kLanguages)});
        p.waitForFinished(kTimeoutMs);
        QFile out(base + QStringLiteral(".txt"));
        if (out.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(out.readAll()) + QLatin1Char('\n');
    }
    Measured m;
    m.secondsPerPage = static_cast<double>(clock.elapsed()) / 1000.0 / static_cast<double>(set.pageImages.size());
    m.score = scoreTokens(tokens(set.truth), tokens(text));
    return m;
}

// Scans `pages` into one image-only PDF with a PNG per page.
ScanSet scanSet(const QString& name, const QList<QImage>& pages, const QList<QSizeF>& sizes, const QString& truth,
                const QString& folder)
{
    const QDir dir(folder);
    ScanSet set{name, dir.filePath(name + QStringLiteral("-scan.pdf")), {}, truth};
    QList<ScanPage> pdfPages;
    for (int i = 0; i < pages.size(); ++i) {
        const QString png = dir.filePath(QStringLiteral("%1-%2.png").arg(name).arg(i + 1));
        pages[i].save(png);
        set.pageImages << png;
        pdfPages << ScanPage{pages[i], sizes[i], {}, false};
    }
    writeScanPdf(set.pdf, pdfPages);
    return set;
}

QSizeF pageSizeOf(const QString& pdf, int page)
{
    const QString info = runText(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                                             QString::number(page), pdf});
    for (const QString& line : info.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Page")) && line.contains(QStringLiteral("size:"))) {
            const QStringList parts = line.section(QStringLiteral("size:"), 1).simplified().split(QLatin1Char(' '));
            if (parts.size() >= 3)
                return QSizeF(parts[0].toDouble(), parts[2].toDouble());
        }
    return QSizeF(595.276, 841.89);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_ocr <pwt> <work folder> [<pdf>:<first>-<last> ...]\n");
        return 2;
    }
    const QString pwt = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(folder);

    QList<ScanSet> sets;
    {
        QList<QImage> pages;
        QList<QSizeF> sizes;
        QString truth;
        quint32 seed = 1;
        for (const ScanOriginal& o : makeScanOriginals(folder)) {
            ScanLook look;
            look.seed = seed++;
            pages << scanned(rasterise(o.pdf, 1), look);
            sizes << QSizeF(595.276, 841.89);
            truth += o.paragraphs.join(QLatin1Char('\n')) + QLatin1Char('\n');
        }
        sets << scanSet(QStringLiteral("generated"), pages, sizes, truth, folder);
    }
    for (int i = 3; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const QString pdf = arg.section(QLatin1Char(':'), 0, -2);
        const QString range = arg.section(QLatin1Char(':'), -1);
        const int first = range.section(QLatin1Char('-'), 0, 0).toInt();
        const int last = range.section(QLatin1Char('-'), 1, 1).toInt();
        QList<QImage> pages;
        QList<QSizeF> sizes;
        QString truth;
        for (int n = first; n <= last; ++n) {
            ScanLook look;
            look.seed = static_cast<quint32>(n);
            pages << scanned(rasterise(pdf, n), look);
            sizes << pageSizeOf(pdf, n);
            truth += runText(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(n), QStringLiteral("-l"),
                                                          QString::number(n), pdf, QStringLiteral("-")});
        }
        sets << scanSet(QFileInfo(pdf).completeBaseName() + QStringLiteral("-p") + range, pages, sizes, truth, folder);
    }

    std::printf("%-28s %5s | %-28s %8s %9s | %-28s %8s\n", "set", "pages", "pwt recall/precision", "s/page", "VmPeak", "tesseract recall/precision", "s/page");
    for (const ScanSet& set : sets) {
        const Measured ours = runPwt(pwt, set, folder);
        const Measured engine = runTesseract(set, folder);
        std::printf("%-28s %5lld | %5.1f%% / %5.1f%%              %8.2f %6ld MB | %5.1f%% / %5.1f%%              %8.2f\n",
                    qPrintable(set.name), static_cast<long long>(set.pageImages.size()), ours.score.recall * 100,
                    ours.score.precision * 100, ours.secondsPerPage, ours.vmPeakKb / 1024, engine.score.recall * 100,
                    engine.score.precision * 100, engine.secondsPerPage);
        std::fflush(stdout);
    }
    return 0;
}

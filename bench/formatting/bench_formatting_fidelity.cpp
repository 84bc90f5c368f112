// Formatting fidelity of pwt on the generated formatting set: the share of
// runs whose bold, italic, size (within half a point) and family come out
// right, of paragraphs with the right alignment, and heading recall and
// precision, read back from LibreOffice's flat ODF of our .doc. Target: 95%
// on each.
//   bench_formatting_fidelity [--pwt=<path>] [--keep=<dir>] [--misses]
#include "Conversion.h"
#include "Fidelity.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

QString percent(const fmt::Tally& t)
{
    if (t.total == 0)
        return QStringLiteral("      -");
    return QStringLiteral("%1%").arg(100.0 * t.share(), 6, 'f', 1);
}

QString row(const QString& name, const fmt::FidelityReport& r)
{
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
        .arg(name, -20)
        .arg(QStringLiteral("%1/%2").arg(r.runs.right).arg(r.runs.total), 8)
        .arg(percent(r.runs), 7)
        .arg(percent(r.alignment), 7)
        .arg(percent(r.headingRecall), 7)
        .arg(percent(r.headingPrecision), 7)
        .arg(percent(r.paragraphs), 7)
        .arg(percent(r.indents) + percent(r.spacing), 7)
        .arg(QStringLiteral("%1 %2 %3 %4").arg(percent(r.color), percent(r.position), percent(r.smallCaps), percent(r.eastAsianFamily)));
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("pwt"), QStringLiteral("The converter to measure."), QStringLiteral("path"), QStringLiteral(PWT_PATH)});
    parser.addOption({QStringLiteral("keep"), QStringLiteral("Work in this folder and keep it."), QStringLiteral("dir")});
    parser.addOption({QStringLiteral("misses"), QStringLiteral("List every miss.")});
    parser.process(app);
    QTextStream out(stdout);

    QTemporaryDir temp;
    const QString work = parser.isSet(QStringLiteral("keep")) ? parser.value(QStringLiteral("keep")) : temp.path();
    QString error;
    const auto files = fmt::writeCorpus(work + QStringLiteral("/pdf"), &error);
    if (files.isEmpty()) {
        out << "cannot make the formatting set: " << error << "\n";
        return 1;
    }
    const auto converted = fmt::convertAll(parser.value(QStringLiteral("pwt")), files, work + QStringLiteral("/out"));

    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9\n")
               .arg(QStringLiteral("document"), -20)
               .arg(QStringLiteral("runs"), 8)
               .arg(QStringLiteral("run fmt"), 7)
               .arg(QStringLiteral("align"), 7)
               .arg(QStringLiteral("h.recl"), 7)
               .arg(QStringLiteral("h.prec"), 7)
               .arg(QStringLiteral("paras"), 7)
               .arg(QStringLiteral(" indent spacing"), 7)
               .arg(QStringLiteral(" colour sup/sub s.caps EAfont"));
    fmt::FidelityReport total;
    QStringList failures;
    for (const fmt::Converted& c : converted) {
        if (!c.problem.isEmpty()) {
            failures << c.source.truth.name + QStringLiteral(": ") + c.problem;
            continue;
        }
        const fodt::Document view = fodt::read(c.fodt);
        const fmt::FidelityReport r = fmt::score(c.source.truth, view);
        out << row(c.source.truth.name, r) << "\n";
        total += r;
        for (const QString& p : fmt::checkReadingOrder(c.source.truth, view) + fmt::checkRunningText(c.source.truth, view)
                 + fmt::checkSections(c.source.truth, view) + fmt::checkPlacedText(c.source.truth, view))
            total.misses << c.source.truth.name + QStringLiteral(": ") + p;
    }
    out << row(QStringLiteral("ALL"), total) << "\n";
    out << QStringLiteral("\ntarget >= 95%: runs %1, alignment %2, heading recall %3, heading precision %4\n")
               .arg(total.runs.share() >= 0.95 ? "met" : "NOT met", total.alignment.share() >= 0.95 ? "met" : "NOT met",
                    total.headingRecall.share() >= 0.95 ? "met" : "NOT met", total.headingPrecision.share() >= 0.95 ? "met" : "NOT met");
    out << QStringLiteral("run attributes: bold %1, italic %2, size %3, family %4\n")
               .arg(percent(total.bold), percent(total.italic), percent(total.size), percent(total.family));
    for (const QString& f : failures)
        out << "FAILED " << f << "\n";
    if (parser.isSet(QStringLiteral("misses")))
        for (const QString& m : total.misses)
            out << "  " << m << "\n";
    else
        out << total.misses.size() << " misses (--misses lists them)\n";
    return failures.isEmpty() ? 0 : 1;
}

// Formatting fidelity of pwt, read back from LibreOffice's flat ODF of our
// .doc: on the fixed formatting set, and side by side on the random
// documents whose seeds the rules were tuned on and on held-out seeds never
// looked at while tuning. Targets on held-out seeds: 95% on runs, alignment,
// headings and whole paragraphs, 90% on lists, links and footnotes.
//   bench_formatting_fidelity [--pwt=<path>] [--keep=<dir>] [--misses] [--documents]
//                             [--sets=fixed,tuning,held-out]
#include "Conversion.h"
#include "Fidelity.h"
#include "RandomCorpus.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace {

QString percent(const fmt::Tally& t)
{
    if (t.total == 0)
        return QStringLiteral("-");
    return QStringLiteral("%1% (%2/%3)").arg(100.0 * t.share(), 0, 'f', 1).arg(t.right).arg(t.total);
}

struct Measure {
    const char* name;
    std::function<const fmt::Tally&(const fmt::FidelityReport&)> tally;
    double target; // on held-out seeds; 0: none
};

const Measure kMeasures[] = {
    {"runs (bold, italic, size, family)", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.runs; }, 0.95},
    {"alignment", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.alignment; }, 0.95},
    {"heading recall", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.headingRecall; }, 0.95},
    {"heading precision", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.headingPrecision; }, 0.95},
    {"paragraphs whole", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.paragraphs; }, 0.95},
    {"list items", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.lists; }, 0.90},
    {"list precision", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.listPrecision; }, 0.90},
    {"links", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.links; }, 0.90},
    {"footnotes", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.footnotes; }, 0.90},
    {"indents", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.indents; }, 0},
    {"spacing", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.spacing; }, 0},
    {"colour", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.color; }, 0},
    {"super/subscript", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.position; }, 0},
    {"East Asian font", [](const fmt::FidelityReport& r) -> const fmt::Tally& { return r.eastAsianFamily; }, 0},
};

struct SetResult {
    QString name;
    fmt::FidelityReport total;
    QStringList documentRows;
    QStringList failures;
};

SetResult measure(const QString& name, const QList<fmt::CorpusFile>& files, const QString& pwt, const QString& work)
{
    SetResult result;
    result.name = name;
    for (const fmt::Converted& c : fmt::convertAll(pwt, files, work + QStringLiteral("/out-") + name)) {
        if (!c.problem.isEmpty()) {
            result.failures << c.source.truth.name + QStringLiteral(": ") + c.problem;
            continue;
        }
        const fodt::Document view = fodt::read(c.fodt);
        fmt::FidelityReport r = fmt::score(c.source.truth, view);
        for (const QString& p : fmt::checkReadingOrder(c.source.truth, view) + fmt::checkRunningText(c.source.truth, view)
                 + fmt::checkSections(c.source.truth, view) + fmt::checkPlacedText(c.source.truth, view))
            r.misses << c.source.truth.name + QStringLiteral(": ") + p;
        result.documentRows << QStringLiteral("%1 runs %2 align %3 headings %4 paras %5 lists %6 links %7 notes %8")
                                   .arg(c.source.truth.name, -18).arg(percent(r.runs), percent(r.alignment), percent(r.headingRecall),
                                        percent(r.paragraphs), percent(r.lists), percent(r.links), percent(r.footnotes));
        result.total += r;
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("pwt"), QStringLiteral("The converter to measure."), QStringLiteral("path"), QStringLiteral(PWT_PATH)});
    parser.addOption({QStringLiteral("keep"), QStringLiteral("Work in this folder and keep it."), QStringLiteral("dir")});
    parser.addOption({QStringLiteral("misses"), QStringLiteral("List every miss.")});
    parser.addOption({QStringLiteral("documents"), QStringLiteral("A row of scores for each document.")});
    parser.addOption({QStringLiteral("sets"), QStringLiteral("Which sets to measure."), QStringLiteral("list"),
                      QStringLiteral("fixed,tuning,held-out")});
    parser.process(app);
    QTextStream out(stdout);

    QTemporaryDir temp;
    const QString work = parser.isSet(QStringLiteral("keep")) ? parser.value(QStringLiteral("keep")) : temp.path();
    const QString pwt = parser.value(QStringLiteral("pwt"));
    const QStringList sets = parser.value(QStringLiteral("sets")).split(QChar(','));
    QList<SetResult> results;
    for (const QString& set : sets) {
        QString error;
        QList<fmt::CorpusFile> files;
        if (set == QLatin1String("fixed"))
            files = fmt::writeCorpus(work + QStringLiteral("/pdf-fixed"), &error);
        else if (set == QLatin1String("tuning") || set == QLatin1String("held-out"))
            files = fmt::writeRandomCorpus(work + QStringLiteral("/pdf-") + set,
                                           set == QLatin1String("tuning") ? fmt::tuningSeeds() : fmt::heldOutSeeds(), &error);
        else
            error = QStringLiteral("no set called ") + set;
        if (files.isEmpty()) {
            out << "cannot make the set " << set << ": " << error << "\n";
            return 1;
        }
        results << measure(set, files, pwt, work);
    }

    out << QStringLiteral("%1").arg(QStringLiteral("measure"), -36);
    for (const SetResult& r : results)
        out << QStringLiteral("%1").arg(r.name, -24);
    out << "target (held-out)\n";
    for (const Measure& m : kMeasures) {
        out << QStringLiteral("%1").arg(QString::fromUtf8(m.name), -36);
        for (const SetResult& r : results)
            out << QStringLiteral("%1").arg(percent(m.tally(r.total)), -24);
        out << (m.target > 0 ? QStringLiteral("%1%").arg(100 * m.target) : QString()) << "\n";
    }
    bool failed = false;
    for (const SetResult& r : results) {
        if (parser.isSet(QStringLiteral("documents"))) {
            out << "\n" << r.name << ":\n";
            for (const QString& row : r.documentRows)
                out << "  " << row << "\n";
        }
        for (const QString& f : r.failures)
            out << "FAILED " << f << "\n";
        failed = failed || !r.failures.isEmpty();
        if (parser.isSet(QStringLiteral("misses"))) {
            out << "\nmisses on " << r.name << ":\n";
            for (const QString& m : r.total.misses)
                out << "  " << m << "\n";
        } else {
            out << r.name << ": " << r.total.misses.size() << " misses (--misses lists them)\n";
        }
    }
    return failed ? 1 : 0;
}

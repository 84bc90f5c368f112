// Writes the formatting set into a folder: make_formatting_corpus <dir>;
// with seeds after it, the random documents of those seeds instead:
// make_formatting_corpus <dir> 1 2 101
#include "Corpus.h"
#include "RandomCorpus.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr), out(stdout);
    if (argc < 2) {
        err << "usage: make_formatting_corpus <dir> [seed...]\n";
        return 2;
    }
    QList<int> seeds;
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        seeds << QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok) {
            err << "make_formatting_corpus: not a seed: " << argv[i] << "\n";
            return 2;
        }
    }
    QString error;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const auto files = seeds.isEmpty() ? fmt::writeCorpus(dir, &error) : fmt::writeRandomCorpus(dir, seeds, &error);
    if (files.isEmpty()) {
        err << "make_formatting_corpus: " << error << "\n";
        return 1;
    }
    for (const auto& f : files)
        out << f.pdf << "\n";
    return 0;
}

// Writes the formatting set into a folder: make_formatting_corpus <dir>
#include "Corpus.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr), out(stdout);
    if (argc != 2) {
        err << "usage: make_formatting_corpus <dir>\n";
        return 2;
    }
    QString error;
    const auto files = fmt::writeCorpus(QString::fromLocal8Bit(argv[1]), &error);
    if (files.isEmpty()) {
        err << "make_formatting_corpus: " << error << "\n";
        return 1;
    }
    for (const auto& f : files)
        out << f.pdf << "\n";
    return 0;
}

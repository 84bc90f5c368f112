#include "Conversion.h"

#include "ExternalReaders.h"
#include "PdfComposer.h"

#include <QDir>
#include <QFileInfo>

namespace fmt {

QList<Converted> convertAll(const QString& pwt, const QList<CorpusFile>& files, const QString& outDir)
{
    QDir().mkpath(outDir);
    QList<Converted> out;
    QStringList docs;
    for (const CorpusFile& f : files) {
        Converted c;
        c.source = f;
        c.doc = QDir(outDir).filePath(QFileInfo(f.pdf).completeBaseName() + QStringLiteral(".doc"));
        const readers::Output r = readers::run(pwt, {QStringLiteral("--src=") + f.pdf, QStringLiteral("--dest=") + c.doc});
        if (!r.finished || r.exitCode != 0 || !QFileInfo::exists(c.doc))
            c.problem = QStringLiteral("pwt failed (exit %1): %2").arg(r.exitCode).arg(r.err.trimmed());
        else
            docs << c.doc;
        out << c;
    }
    if (!docs.isEmpty()) {
        const readers::Output lo = readers::libreOfficeConvert(docs, QStringLiteral("fodt"), outDir,
                                                               QDir(outDir).filePath(QStringLiteral("lo-profile")));
        for (Converted& c : out) {
            if (!c.problem.isEmpty())
                continue;
            const QString fodt = QDir(outDir).filePath(QFileInfo(c.doc).completeBaseName() + QStringLiteral(".fodt"));
            if (QFileInfo::exists(fodt))
                c.fodt = fodt;
            else
                c.problem = QStringLiteral("LibreOffice made no .fodt of %1: %2").arg(c.doc, lo.err.trimmed());
        }
    }
    return out;
}

bool containsModuloRadicals(const QString& haystack, const QString& needle)
{
    const auto radical = [](QChar c) { return c.unicode() >= 0x2E80 && c.unicode() <= 0x2FDF; };
    for (qsizetype at = 0; at + needle.size() <= haystack.size(); ++at) {
        qsizetype i = 0;
        while (i < needle.size() && (haystack[at + i] == needle[i] || (radical(haystack[at + i]) && isCjk(needle[i]))))
            ++i;
        if (i == needle.size())
            return true;
    }
    return false;
}

} // namespace fmt

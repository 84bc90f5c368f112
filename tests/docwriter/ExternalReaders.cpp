#include "ExternalReaders.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QUrl>

namespace readers {

Output run(const QString& program, const QStringList& args, int timeoutMs)
{
    Output o;
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000)) {
        o.err = QStringLiteral("cannot start %1").arg(program);
        return o;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        o.err = QStringLiteral("%1 did not finish in time").arg(program);
        return o;
    }
    o.finished = p.exitStatus() == QProcess::NormalExit;
    o.exitCode = p.exitCode();
    o.out = QString::fromUtf8(p.readAllStandardOutput());
    o.err = QString::fromUtf8(p.readAllStandardError());
    return o;
}

Output antiwordText(const QString& doc)
{
    return run(QStringLiteral("antiword"), {QStringLiteral("-m"), QStringLiteral("UTF-8.txt"), QStringLiteral("-w"),
                                            QStringLiteral("0"), doc});
}

Output antiwordDocBook(const QString& doc)
{
    return run(QStringLiteral("antiword"), {QStringLiteral("-m"), QStringLiteral("UTF-8.txt"), QStringLiteral("-x"),
                                            QStringLiteral("db"), doc});
}

Output catdocText(const QString& doc)
{
    return run(QStringLiteral("catdoc"), {QStringLiteral("-d"), QStringLiteral("utf-8"), QStringLiteral("-w"), doc});
}

Output wvText(const QString& doc, const QString& outFile)
{
    Output o = run(QStringLiteral("wvText"), {doc, outFile});
    QFile f(outFile);
    if (f.open(QIODevice::ReadOnly))
        o.out = QString::fromUtf8(f.readAll());
    return o;
}

Output libreOfficeConvert(const QStringList& docs, const QString& format, const QString& outDir,
                          const QString& profileDir)
{
    QStringList args{QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profileDir).toString(),
                     QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                     format, QStringLiteral("--outdir"), outDir};
    args += docs;
    return run(QStringLiteral("soffice"), args, 240000);
}

QStringList lines(const QString& text)
{
    QStringList out;
    QString t = text;
    t.remove(QChar(0xFEFF));
    t.replace(QChar('\r'), QChar('\n'));
    for (const QString& line : t.split(QChar('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            out << trimmed;
    }
    return out;
}

QString missingInOrder(const QStringList& expected, const QStringList& actual)
{
    qsizetype at = 0;
    for (const QString& e : expected) {
        qsizetype found = -1;
        for (qsizetype i = at; i < actual.size(); ++i)
            if (actual[i] == e.trimmed()) {
                found = i;
                break;
            }
        if (found < 0)
            return QStringLiteral("not found (in order): \"%1\"; got:\n%2").arg(e, actual.join(QChar('\n')));
        at = found + 1;
    }
    return {};
}

} // namespace readers

namespace readers {

QString missingInOrderWithinLines(const QStringList& expected, const QStringList& actual)
{
    qsizetype line = 0;
    qsizetype column = 0;
    for (const QString& e : expected) {
        const QString wanted = e.trimmed();
        bool found = false;
        for (; line < actual.size(); ++line, column = 0) {
            const qsizetype at = actual[line].indexOf(wanted, column);
            if (at >= 0) {
                column = at + wanted.size();
                found = true;
                break;
            }
        }
        if (!found)
            return QStringLiteral("not found (in order): \"%1\"; got:\n%2").arg(e, actual.join(QChar('\n')));
    }
    return {};
}

} // namespace readers

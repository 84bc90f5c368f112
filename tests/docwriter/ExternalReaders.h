#pragma once
// Runs the independent .doc readers installed on this machine and returns
// what they make of a file.
#include <QString>
#include <QStringList>

namespace readers {

struct Output {
    bool finished = false; // started and ended within the time limit
    int exitCode = -1;
    QString out;
    QString err;

    bool ok() const { return finished && exitCode == 0; }
};

Output run(const QString& program, const QStringList& args, int timeoutMs = 60000);

Output antiwordText(const QString& doc);
Output antiwordDocBook(const QString& doc);
Output catdocText(const QString& doc);
// wvText writes to a file; its text is returned in `out`.
Output wvText(const QString& doc, const QString& outFile);

// Converts all files in one soffice call (it is slow to start), with a private
// profile so that parallel runs do not share one. format: "fodt", "txt:Text".
Output libreOfficeConvert(const QStringList& docs, const QString& format, const QString& outDir,
                          const QString& profileDir);

// The non-blank lines of a reader's text, trimmed, without CRs or a BOM.
QStringList lines(const QString& text);

// Empty when `expected` appears in `actual` in the same order (other lines may
// come between); otherwise a description of the first line not found.
QString missingInOrder(const QStringList& expected, const QStringList& actual);

// The same where several expected texts may share a line, each after the one
// before (the cells of a table row on one line).
QString missingInOrderWithinLines(const QStringList& expected, const QStringList& actual);

} // namespace readers

#pragma once
// One conversion of the whole formatting set per test process: the set is
// generated into a temporary folder, converted by the pwt under test and read
// back by LibreOffice once.
#include "Conversion.h"
#include "FodtDocument.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace fmt {

class FormattingRun {
public:
    // The pwt built with the tests, unless PWT_UNDER_TEST names another.
    static QString pwt();
    static const FormattingRun& instance();

    QString error;                // why the set could not be made or converted
    QList<Converted> converted;
    QString dir() const { return m_dir.path(); }

    const Converted* find(const QString& name) const;
    // The fodt of a document, read once; null when there is none.
    const fodt::Document* view(const QString& name) const;
    // LibreOffice's plain text of a document's .doc (all made in one call, on first use).
    QString libreOfficeText(const QString& name, QString* why) const;

private:
    FormattingRun();
    QTemporaryDir m_dir;
    mutable QMap<QString, std::shared_ptr<fodt::Document>> m_views;
    mutable bool m_textMade = false;
    mutable QString m_textError;
};

} // namespace fmt

#pragma once
// Reads what matters of a LibreOffice flat ODF text document (.fodt): the
// body's paragraphs with their spans, the styles they resolve to, the page
// layouts, header and footer text and the title.
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

namespace pwt::test {

struct FodtSpan {
    QString text;
    QMap<QString, QString> props; // resolved text properties (fo:font-weight, style:font-name, ...)
};

struct FodtParagraph {
    QString text;
    int outlineLevel = 0;          // text:h's level, 0 for text:p
    QString styleDisplay;          // the named style it is based on, e.g. "Heading 1"
    QMap<QString, QString> props;  // resolved paragraph + text properties
    std::vector<FodtSpan> spans;
    bool pageBreakBefore = false;
};

struct FodtDocument {
    QString title;
    std::vector<FodtParagraph> body;
    QStringList headerTexts;
    QStringList footerTexts;
    bool footerHasPageNumber = false;
    QStringList pageOrientations;  // of the page layouts in use
    bool ok = false;

    const FodtParagraph* find(const QString& fragment) const;
    // The span that holds `fragment` (whole or a part), with its paragraph's properties under it.
    QMap<QString, QString> propsOf(const QString& fragment) const;
};

FodtDocument readFodt(const QString& path);

} // namespace pwt::test

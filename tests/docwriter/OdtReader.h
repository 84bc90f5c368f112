#pragma once
// Reads the flat ODF text (.fodt) that LibreOffice makes of a .doc: styles,
// page layouts, master pages with their headers and footers, the body
// paragraphs with their spans, and the title.
#include <QList>
#include <QMap>
#include <QString>

namespace odt {

using Properties = QMap<QString, QString>; // qualified attribute name -> value

struct Style {
    QString name;
    QString parent;
    QString masterPage;
    QString outlineLevel; // style:default-outline-level
    Properties text;
    Properties paragraph;
};

struct Span {
    QString style;
    QString text;
    qsizetype offset = 0; // where its text starts in the paragraph's text
};

struct Paragraph {
    bool heading = false;
    QString outlineLevel;
    QString style;
    QString text;
    QList<Span> spans;
    bool hasPageNumber = false;
};

struct MasterPage {
    QString name;
    QString layout;
    QList<Paragraph> header;
    QList<Paragraph> footer;
};

struct Document {
    QString error;
    QString title;
    QMap<QString, Style> styles;
    QMap<QString, QString> fontFaces; // font-face name ("DejaVu Sans1") -> family ("DejaVu Sans")
    Properties defaultText;           // the paragraph family's default text properties
    QMap<QString, Properties> pageLayouts;
    QList<MasterPage> masterPages;
    QList<Paragraph> body;

    const Paragraph* find(const QString& text) const;
    // A character property as shown: the first span with text, else the
    // paragraph's style and the styles it inherits from.
    QString textProperty(const Paragraph& p, const QString& name) const;
    QString paragraphProperty(const Paragraph& p, const QString& name) const;
    QString styleChainValue(const QString& style, const QString& name, bool text) const;
    QString masterPageOf(const Paragraph& p) const; // "" when the style names none
    const MasterPage* masterPage(const QString& name) const;
};

Document read(const QString& fodtPath);

double inches(const QString& length); // "8.2681in", "2cm", "12pt" -> inches

} // namespace odt

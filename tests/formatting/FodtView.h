#pragma once
// What a person sees in the flat ODF that LibreOffice makes of our .doc:
// each character's format with styles resolved, each paragraph's alignment,
// indents, heading level and page layout. Text is matched ignoring white
// space, since readers and converters disagree on spaces at run edges.
#include "OdtReader.h"
#include "Truth.h"

#include <QList>
#include <QString>

namespace fmt {

struct SeenFormat {
    QString family;           // resolved through the font faces
    QString eastAsianFamily;
    double size = 0;          // points
    double eastAsianSize = 0;
    bool bold = false, eastAsianBold = false;
    bool italic = false, eastAsianItalic = false;
    bool smallCaps = false;
    QString color;            // "#rrggbb", lower case; "" when automatic
    Position position = Position::Baseline;
};

// Text without white space, with each character's offset in the original.
struct Squeezed {
    QString text;
    QList<qsizetype> offsets;
};
Squeezed squeeze(const QString& text);

class FodtView {
public:
    explicit FodtView(odt::Document doc);

    const odt::Document& document() const { return m_doc; }
    int paragraphCount() const { return static_cast<int>(m_doc.body.size()); }
    const odt::Paragraph& paragraph(int i) const { return m_doc.body[i]; }
    const QString& squeezedText(int i) const { return m_squeezed[i].text; }

    // The body paragraph whose text is `text`, or failing that the first that
    // begins with it or that holds its beginning; -1 when none. Paragraphs from
    // `from` on are preferred (texts may repeat in a document).
    int findParagraph(const QString& text, bool* exact = nullptr, int from = 0) const;
    // The first paragraph at or after `from` that holds `fragment`; -1 when none.
    int findContaining(const QString& fragment, int from = 0) const;

    struct Hit {
        int paragraph = -1;
        qsizetype begin = 0, end = 0; // offsets into the paragraph's text
        qsizetype squeezedEnd = 0;
    };
    // `text` within paragraph `paragraph` at or after squeezed offset `from`.
    Hit findIn(int paragraph, const QString& text, qsizetype from = 0) const;

    SeenFormat formatAt(int paragraph, qsizetype offset) const;
    QString alignment(int paragraph) const;      // "start", "center", "end" or "justify"
    double leftIndent(int paragraph) const;      // points
    double rightIndent(int paragraph) const;
    double firstLine(int paragraph) const;
    double spaceBefore(int paragraph) const;     // points
    double spaceAfter(int paragraph) const;
    double lineSpacing(int paragraph) const;     // multiple of single; 1 when not proportional
    int outlineLevel(int paragraph) const;        // 0 unless a text:h with a level
    int headingStyleLevel(int paragraph) const;   // N when its style derives from "Heading N"
    QString masterPage(int paragraph) const;      // in force at this paragraph
    double pageWidth(const QString& masterPage) const;  // points, 0 when unknown
    double pageHeight(const QString& masterPage) const;

private:
    QString text(const QString& style, const QString& name) const; // the style chain, then the defaults
    QString paragraphValue(int paragraph, const QString& name) const;

    odt::Document m_doc;
    QList<Squeezed> m_squeezed;
    QList<QString> m_masters;
};

} // namespace fmt

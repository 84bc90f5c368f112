#include "FodtReader.h"

#include <QFile>
#include <QXmlStreamReader>

namespace pwt::test {

namespace {

struct Style {
    QString parent;
    QString display;
    QMap<QString, QString> props;
};

void readProps(QXmlStreamReader& x, Style& s)
{
    for (const QXmlStreamAttribute& a : x.attributes())
        s.props.insert(a.qualifiedName().toString(), a.value().toString());
}

QMap<QString, QString> resolve(const QMap<QString, Style>& styles, QString name, QString* display = nullptr)
{
    QMap<QString, QString> out;
    for (int depth = 0; depth < 10 && styles.contains(name); ++depth) {
        const Style& s = styles[name];
        for (auto it = s.props.begin(); it != s.props.end(); ++it)
            if (!out.contains(it.key()))
                out.insert(it.key(), it.value());
        if (display && display->isEmpty() && !s.display.isEmpty() && !name.startsWith(QLatin1Char('P')))
            *display = s.display;
        name = s.parent;
    }
    return out;
}

} // namespace

const FodtParagraph* FodtDocument::find(const QString& fragment) const
{
    for (const FodtParagraph& p : body)
        if (p.text.contains(fragment))
            return &p;
    return nullptr;
}

QMap<QString, QString> FodtDocument::propsOf(const QString& fragment) const
{
    for (const FodtParagraph& p : body) {
        if (!p.text.contains(fragment))
            continue;
        for (const FodtSpan& s : p.spans) {
            if (s.text.contains(fragment) || (!s.text.trimmed().isEmpty() && fragment.contains(s.text.trimmed()))) {
                QMap<QString, QString> merged = s.props;
                for (auto it = p.props.begin(); it != p.props.end(); ++it)
                    if (!merged.contains(it.key()))
                        merged.insert(it.key(), it.value());
                return merged;
            }
        }
        return p.props;
    }
    return {};
}

FodtDocument readFodt(const QString& path)
{
    FodtDocument doc;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return doc;
    QXmlStreamReader x(&f);
    QMap<QString, Style> styles;
    QMap<QString, QString> masterLayout; // master page -> page layout
    QMap<QString, QString> layoutOrientation;
    QString currentStyle;
    bool inBody = false, inHeader = false, inFooter = false, inTitle = false;
    FodtParagraph* para = nullptr;
    QStringList spanStack;
    QString headerFooterText;
    QStringList usedMasters;

    while (!x.atEnd()) {
        x.readNext();
        const QString name = x.qualifiedName().toString();
        if (x.isStartElement()) {
            if (name == QLatin1String("dc:title")) {
                inTitle = true;
            } else if (name == QLatin1String("style:style")) {
                currentStyle = x.attributes().value(QLatin1String("style:name")).toString();
                Style& s = styles[currentStyle];
                s.parent = x.attributes().value(QLatin1String("style:parent-style-name")).toString();
                s.display = x.attributes().value(QLatin1String("style:display-name")).toString();
                if (s.display.isEmpty())
                    s.display = currentStyle;
                const QString master = x.attributes().value(QLatin1String("style:master-page-name")).toString();
                if (!master.isEmpty())
                    usedMasters << master;
            } else if (name == QLatin1String("style:paragraph-properties") || name == QLatin1String("style:text-properties")) {
                if (!currentStyle.isEmpty())
                    readProps(x, styles[currentStyle]);
            } else if (name == QLatin1String("style:page-layout")) {
                currentStyle = QStringLiteral("layout:") + x.attributes().value(QLatin1String("style:name")).toString();
            } else if (name == QLatin1String("style:page-layout-properties")) {
                layoutOrientation[currentStyle.mid(7)] = x.attributes().value(QLatin1String("style:print-orientation")).toString();
            } else if (name == QLatin1String("style:master-page")) {
                masterLayout[x.attributes().value(QLatin1String("style:name")).toString()] =
                    x.attributes().value(QLatin1String("style:page-layout-name")).toString();
            } else if (name == QLatin1String("style:header")) {
                inHeader = true;
                headerFooterText.clear();
            } else if (name == QLatin1String("style:footer")) {
                inFooter = true;
                headerFooterText.clear();
            } else if (name == QLatin1String("text:page-number") && inFooter) {
                doc.footerHasPageNumber = true;
            } else if (name == QLatin1String("office:text")) {
                inBody = true;
            } else if (inBody && (name == QLatin1String("text:p") || name == QLatin1String("text:h"))) {
                FodtParagraph& p = doc.body.emplace_back();
                para = &p;
                const QString style = x.attributes().value(QLatin1String("text:style-name")).toString();
                p.props = resolve(styles, style, &p.styleDisplay);
                p.pageBreakBefore = p.props.value(QStringLiteral("fo:break-before")) == QLatin1String("page");
                if (name == QLatin1String("text:h"))
                    p.outlineLevel = x.attributes().value(QLatin1String("text:outline-level")).toInt();
                spanStack = {style};
            } else if (para && name == QLatin1String("text:span")) {
                spanStack << x.attributes().value(QLatin1String("text:style-name")).toString();
            } else if (para && name == QLatin1String("text:s")) {
                para->text += QLatin1Char(' ');
            }
        } else if (x.isCharacters()) {
            if (inTitle)
                doc.title += x.text();
            else if (inHeader || inFooter)
                headerFooterText += x.text();
            else if (para) {
                const QString t = x.text().toString();
                para->text += t;
                FodtSpan s;
                s.text = t;
                s.props = resolve(styles, spanStack.value(spanStack.size() - 1));
                para->spans.push_back(s);
            }
        } else if (x.isEndElement()) {
            if (name == QLatin1String("dc:title"))
                inTitle = false;
            else if (name == QLatin1String("style:style") || name == QLatin1String("style:page-layout"))
                currentStyle.clear();
            else if (name == QLatin1String("style:header")) {
                inHeader = false;
                doc.headerTexts << headerFooterText.trimmed();
            } else if (name == QLatin1String("style:footer")) {
                inFooter = false;
                doc.footerTexts << headerFooterText.trimmed();
            } else if (name == QLatin1String("text:p") || name == QLatin1String("text:h"))
                para = nullptr;
            else if (name == QLatin1String("text:span") && spanStack.size() > 1)
                spanStack.removeLast();
            else if (name == QLatin1String("office:text"))
                inBody = false;
        }
    }
    for (const QString& layout : masterLayout)
        doc.pageOrientations << layoutOrientation.value(layout);
    doc.ok = !x.hasError();
    return doc;
}

} // namespace pwt::test

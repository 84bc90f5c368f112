#include "OdtReader.h"

#include <QFile>
#include <QXmlStreamReader>

namespace odt {
namespace {

Properties attributes(const QXmlStreamReader& xml)
{
    Properties p;
    for (const QXmlStreamAttribute& a : xml.attributes())
        p.insert(a.qualifiedName().toString(), a.value().toString());
    return p;
}

// Reads a text:p or text:h, the reader standing on its start element.
Paragraph readParagraph(QXmlStreamReader& xml)
{
    Paragraph p;
    p.heading = xml.qualifiedName() == QLatin1String("text:h");
    p.style = xml.attributes().value(QLatin1String("text:style-name")).toString();
    p.outlineLevel = xml.attributes().value(QLatin1String("text:outline-level")).toString();
    const QString end = xml.qualifiedName().toString();
    QList<QString> spanStyles;
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.qualifiedName().toString();
        if (xml.isEndElement() && name == end)
            break;
        if (xml.isStartElement()) {
            if (name == QLatin1String("text:span")) {
                spanStyles << xml.attributes().value(QLatin1String("text:style-name")).toString();
                p.spans << Span{spanStyles.last(), {}, p.text.size()};
            } else if (name == QLatin1String("text:s")) {
                const int n = qMax(1, xml.attributes().value(QLatin1String("text:c")).toInt());
                const QString spaces(n, QChar(' '));
                p.text += spaces;
                if (!spanStyles.isEmpty())
                    p.spans.last().text += spaces;
            } else if (name == QLatin1String("text:tab")) {
                p.text += QChar('\t');
                if (!spanStyles.isEmpty())
                    p.spans.last().text += QChar('\t');
            } else if (name == QLatin1String("text:page-number")) {
                p.hasPageNumber = true;
            }
        } else if (xml.isEndElement() && name == QLatin1String("text:span")) {
            spanStyles.removeLast();
        } else if (xml.isCharacters()) {
            p.text += xml.text();
            if (!spanStyles.isEmpty())
                p.spans.last().text += xml.text();
        }
    }
    return p;
}

void readStyle(QXmlStreamReader& xml, Document& doc)
{
    Style s;
    const Properties a = attributes(xml);
    s.name = a.value(QStringLiteral("style:name"));
    s.parent = a.value(QStringLiteral("style:parent-style-name"));
    s.masterPage = a.value(QStringLiteral("style:master-page-name"));
    s.outlineLevel = a.value(QStringLiteral("style:default-outline-level"));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.qualifiedName() == QLatin1String("style:style"))
            break;
        if (xml.isStartElement() && xml.qualifiedName() == QLatin1String("style:text-properties"))
            s.text = attributes(xml);
        if (xml.isStartElement() && xml.qualifiedName() == QLatin1String("style:paragraph-properties"))
            s.paragraph = attributes(xml);
    }
    doc.styles.insert(s.name, s);
}

void readMasterPage(QXmlStreamReader& xml, Document& doc)
{
    MasterPage m;
    m.name = xml.attributes().value(QLatin1String("style:name")).toString();
    m.layout = xml.attributes().value(QLatin1String("style:page-layout-name")).toString();
    QList<Paragraph>* target = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.qualifiedName().toString();
        if (xml.isEndElement() && name == QLatin1String("style:master-page"))
            break;
        if (xml.isStartElement()) {
            if (name == QLatin1String("style:header"))
                target = &m.header;
            else if (name == QLatin1String("style:footer"))
                target = &m.footer;
            else if (name.startsWith(QLatin1String("style:header-")) || name.startsWith(QLatin1String("style:footer-")))
                target = nullptr; // left/first variants
            else if ((name == QLatin1String("text:p") || name == QLatin1String("text:h")) && target)
                *target << readParagraph(xml);
        }
        if (xml.isEndElement() && (name == QLatin1String("style:header") || name == QLatin1String("style:footer")))
            target = nullptr;
    }
    doc.masterPages << m;
}

} // namespace

Document read(const QString& path)
{
    Document doc;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        doc.error = QStringLiteral("cannot open ") + path;
        return doc;
    }
    QXmlStreamReader xml(&f);
    bool inBody = false;
    QString layout;
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.qualifiedName().toString();
        if (xml.isStartElement()) {
            if (name == QLatin1String("office:body"))
                inBody = true;
            else if (name == QLatin1String("dc:title"))
                doc.title = xml.readElementText();
            else if (name == QLatin1String("style:style"))
                readStyle(xml, doc);
            else if (name == QLatin1String("style:page-layout"))
                layout = xml.attributes().value(QLatin1String("style:name")).toString();
            else if (name == QLatin1String("style:page-layout-properties"))
                doc.pageLayouts.insert(layout, attributes(xml));
            else if (name == QLatin1String("style:master-page"))
                readMasterPage(xml, doc);
            else if (name == QLatin1String("style:font-face")) {
                QString family = xml.attributes().value(QLatin1String("svg:font-family")).toString();
                if (family.size() > 1 && family.startsWith(QChar('\'')) && family.endsWith(QChar('\'')))
                    family = family.mid(1, family.size() - 2);
                doc.fontFaces.insert(xml.attributes().value(QLatin1String("style:name")).toString(), family);
            } else if (name == QLatin1String("style:default-style")
                       && xml.attributes().value(QLatin1String("style:family")) == QLatin1String("paragraph")) {
                while (!xml.atEnd() && !(xml.isEndElement() && xml.qualifiedName() == QLatin1String("style:default-style"))) {
                    xml.readNext();
                    if (xml.isStartElement() && xml.qualifiedName() == QLatin1String("style:text-properties"))
                        doc.defaultText = attributes(xml);
                }
            }
            else if (inBody && (name == QLatin1String("text:p") || name == QLatin1String("text:h")))
                doc.body << readParagraph(xml);
        }
    }
    if (xml.hasError())
        doc.error = xml.errorString();
    return doc;
}

const Paragraph* Document::find(const QString& text) const
{
    for (const Paragraph& p : body)
        if (p.text == text)
            return &p;
    return nullptr;
}

QString Document::styleChainValue(const QString& style, const QString& name, bool text) const
{
    QString current = style;
    for (int depth = 0; depth < 16 && !current.isEmpty(); ++depth) {
        const auto it = styles.find(current);
        if (it == styles.end())
            break;
        const Properties& props = text ? it->text : it->paragraph;
        if (props.contains(name))
            return props.value(name);
        current = it->parent;
    }
    return {};
}

QString Document::textProperty(const Paragraph& p, const QString& name) const
{
    // LibreOffice may split one run into spans (at script changes); the first
    // span with visible text speaks for the run.
    for (const Span& s : p.spans)
        if (!s.text.trimmed().isEmpty()) {
            const QString v = styleChainValue(s.style, name, true);
            if (!v.isEmpty())
                return v;
            break;
        }
    return styleChainValue(p.style, name, true);
}

QString Document::paragraphProperty(const Paragraph& p, const QString& name) const
{
    return styleChainValue(p.style, name, false);
}

QString Document::masterPageOf(const Paragraph& p) const
{
    const auto it = styles.find(p.style);
    return it == styles.end() ? QString() : it->masterPage;
}

const MasterPage* Document::masterPage(const QString& name) const
{
    for (const MasterPage& m : masterPages)
        if (m.name == name)
            return &m;
    return nullptr;
}

double inches(const QString& length)
{
    struct Unit {
        const char* suffix;
        double perInch;
    };
    static const Unit units[] = {{"in", 1.0}, {"cm", 2.54}, {"mm", 25.4}, {"pt", 72.0}};
    for (const Unit& u : units)
        if (length.endsWith(QLatin1String(u.suffix)))
            return length.chopped(static_cast<qsizetype>(qstrlen(u.suffix))).toDouble() / u.perInch;
    return length.toDouble();
}

} // namespace odt

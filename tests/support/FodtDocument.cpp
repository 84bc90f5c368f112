#include "FodtDocument.h"

#include <QFile>
#include <QXmlStreamReader>

namespace fodt {
namespace {

Properties attributes(const QXmlStreamReader& xml)
{
    Properties p;
    for (const QXmlStreamAttribute& a : xml.attributes())
        p.insert(a.qualifiedName().toString(), a.value().toString());
    return p;
}

double inchesOf(const QXmlStreamAttributes& a, const char* name)
{
    const QString value = a.value(QLatin1String(name)).toString();
    return value.isEmpty() ? 0 : inches(value);
}

// Reads a draw:frame, the reader standing on its start element.
Frame readFrame(QXmlStreamReader& xml)
{
    Frame f;
    const QXmlStreamAttributes a = xml.attributes();
    f.style = a.value(QLatin1String("draw:style-name")).toString();
    f.anchor = a.value(QLatin1String("text:anchor-type")).toString();
    f.width = inchesOf(a, "svg:width");
    f.height = inchesOf(a, "svg:height");
    int depth = 1;
    while (!xml.atEnd() && depth > 0) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (xml.qualifiedName() == QLatin1String("office:binary-data") && f.image.isEmpty()) {
                f.image = QByteArray::fromBase64(xml.readElementText().toLatin1());
                --depth; // readElementText consumed the end element
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return f;
}

Paragraph readParagraph(QXmlStreamReader& xml, QList<Note>* notes);

// Reads a text:note, the reader standing on its start element: its citation
// and body go to a Note, never into the paragraph around it.
Note readNote(QXmlStreamReader& xml)
{
    Note n;
    QList<Note> nested; // a note inside a note is not shown by LibreOffice; dropped
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.qualifiedName().toString();
        if (xml.isEndElement() && name == QLatin1String("text:note"))
            break;
        if (!xml.isStartElement())
            continue;
        if (name == QLatin1String("text:note-citation")) {
            n.citation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (name == QLatin1String("text:p") || name == QLatin1String("text:h")) {
            const Paragraph p = readParagraph(xml, &nested);
            n.text = n.text.isEmpty() ? p.text : n.text + QLatin1Char('\n') + p.text;
        }
    }
    n.text = n.text.trimmed(); // the space that sets a note's text apart from its mark is no part of it
    return n;
}

// Reads a text:p or text:h, the reader standing on its start element. Its
// footnotes go to `notes` (their paragraph left for the caller to set).
Paragraph readParagraph(QXmlStreamReader& xml, QList<Note>* notes)
{
    Paragraph p;
    p.heading = xml.qualifiedName() == QLatin1String("text:h");
    p.style = xml.attributes().value(QLatin1String("text:style-name")).toString();
    p.outlineLevel = xml.attributes().value(QLatin1String("text:outline-level")).toString();
    const QString end = xml.qualifiedName().toString();
    QList<QString> spanStyles;
    QString href;
    // Text goes to a span while inside a text:span or a text:a; a new span
    // starts at each change of style or link.
    auto startSpan = [&] {
        if (!p.spans.isEmpty() && p.spans.last().text.isEmpty())
            p.spans.removeLast(); // no text came under the one before
        if (!spanStyles.isEmpty() || !href.isEmpty())
            p.spans << Span{spanStyles.isEmpty() ? QString() : spanStyles.last(), {}, p.text.size(), href};
    };
    auto addText = [&](const QString& text) {
        p.text += text;
        if (!spanStyles.isEmpty() || !href.isEmpty())
            p.spans.last().text += text;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.qualifiedName().toString();
        if (xml.isEndElement() && name == end)
            break;
        if (xml.isStartElement()) {
            const QXmlStreamAttributes a = xml.attributes();
            if (name == QLatin1String("text:span")) {
                spanStyles << a.value(QLatin1String("text:style-name")).toString();
                startSpan();
            } else if (name == QLatin1String("text:a")) {
                href = a.value(QLatin1String("xlink:href")).toString();
                startSpan();
            } else if (name == QLatin1String("text:s")) {
                addText(QString(qMax(1, a.value(QLatin1String("text:c")).toInt()), QChar(' ')));
            } else if (name == QLatin1String("text:tab")) {
                addText(QStringLiteral("\t"));
            } else if (name == QLatin1String("text:page-number")) {
                p.hasPageNumber = true;
            } else if (name == QLatin1String("draw:frame")) {
                p.frames << readFrame(xml);
            } else if (name == QLatin1String("text:bookmark") || name == QLatin1String("text:bookmark-start")) {
                p.bookmarks << a.value(QLatin1String("text:name")).toString();
            } else if (name == QLatin1String("text:note")) {
                const bool footnote = a.value(QLatin1String("text:note-class")) != QLatin1String("endnote");
                Note n = readNote(xml);
                n.offset = p.text.size();
                if (footnote && notes)
                    *notes << n;
            }
        } else if (xml.isEndElement() && name == QLatin1String("text:span")) {
            spanStyles.removeLast();
            startSpan();
        } else if (xml.isEndElement() && name == QLatin1String("text:a")) {
            href.clear();
            startSpan();
        } else if (xml.isCharacters()) {
            addText(xml.text().toString());
        }
    }
    if (!p.spans.isEmpty() && p.spans.last().text.isEmpty())
        p.spans.removeLast();
    p.squeezed = squeeze(p.text);
    return p;
}

// Reads a table:table, the reader standing on its start element; the column
// style names go to `columnStyles` (one per grid column) until styles are known.
Table readTable(QXmlStreamReader& xml, QStringList& columnStyles, QList<Note>& notes)
{
    Table t;
    t.style = xml.attributes().value(QLatin1String("table:style-name")).toString();
    bool inHeader = false;
    int depth = 1;
    while (!xml.atEnd() && depth > 0) {
        xml.readNext();
        const QString name = xml.qualifiedName().toString();
        if (xml.isEndElement()) {
            --depth;
            if (name == QLatin1String("table:table-header-rows"))
                inHeader = false;
            continue;
        }
        if (!xml.isStartElement())
            continue;
        ++depth;
        const QXmlStreamAttributes a = xml.attributes();
        if (name == QLatin1String("table:table")) {
            xml.skipCurrentElement(); // a table inside a cell
            --depth;
        } else if (name == QLatin1String("table:table-header-rows")) {
            inHeader = true;
        } else if (name == QLatin1String("table:table-column")) {
            const int repeated = qMax(1, a.value(QLatin1String("table:number-columns-repeated")).toInt());
            for (int i = 0; i < repeated; ++i)
                columnStyles << a.value(QLatin1String("table:style-name")).toString();
        } else if (name == QLatin1String("table:table-row")) {
            t.rows << TableRow{{}, inHeader};
        } else if ((name == QLatin1String("table:table-cell") || name == QLatin1String("table:covered-table-cell"))
                   && !t.rows.isEmpty()) {
            TableCell c;
            c.covered = name == QLatin1String("table:covered-table-cell");
            c.style = a.value(QLatin1String("table:style-name")).toString();
            c.columnsSpanned = qMax(1, a.value(QLatin1String("table:number-columns-spanned")).toInt());
            c.rowsSpanned = qMax(1, a.value(QLatin1String("table:number-rows-spanned")).toInt());
            t.rows.last().cells << c;
        } else if ((name == QLatin1String("text:p") || name == QLatin1String("text:h")) && !t.rows.isEmpty()
                   && !t.rows.last().cells.isEmpty()) {
            TableCell& c = t.rows.last().cells.last();
            c.paragraphs << readParagraph(xml, &notes);
            --depth; // readParagraph consumed its end element
            c.text = c.text.isEmpty() && c.paragraphs.size() == 1 ? c.paragraphs.last().text
                                                                  : c.text + QLatin1Char('\n') + c.paragraphs.last().text;
        }
    }
    return t;
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
        if (xml.isStartElement() && xml.qualifiedName() == QLatin1String("style:graphic-properties"))
            s.graphic = attributes(xml);
        if (xml.isStartElement() && xml.qualifiedName().startsWith(QLatin1String("style:table"))
            && xml.qualifiedName().endsWith(QLatin1String("-properties")))
            s.table.insert(attributes(xml));
        if (xml.isStartElement() && xml.qualifiedName() == QLatin1String("style:tab-stop")) {
            // Kept as one property: "<type> <position> <leader text>" per stop, ";" between.
            const Properties t = attributes(xml);
            QString& stops = s.paragraph[QStringLiteral("tab-stops")];
            if (!stops.isEmpty())
                stops += QLatin1Char(';');
            stops += t.value(QStringLiteral("style:type"), QStringLiteral("left")) + QLatin1Char(' ')
                + t.value(QStringLiteral("style:position")) + QLatin1Char(' ') + t.value(QStringLiteral("style:leader-text"));
        }
    }
    if (a.contains(QStringLiteral("style:list-style-name")))
        s.paragraph.insert(QStringLiteral("style:list-style-name"), a.value(QStringLiteral("style:list-style-name")));
    doc.styles.insert(s.name, s);
}

void readMasterPage(QXmlStreamReader& xml, Document& doc)
{
    MasterPage m;
    m.name = xml.attributes().value(QLatin1String("style:name")).toString();
    m.layout = xml.attributes().value(QLatin1String("style:page-layout-name")).toString();
    QList<Paragraph>* target = nullptr;
    const QMap<QString, QList<Paragraph>*> parts{{QStringLiteral("style:header"), &m.header},
                                                 {QStringLiteral("style:footer"), &m.footer},
                                                 {QStringLiteral("style:header-left"), &m.headerLeft},
                                                 {QStringLiteral("style:footer-left"), &m.footerLeft}};
    while (!xml.atEnd()) {
        xml.readNext();
        const QString name = xml.qualifiedName().toString();
        if (xml.isEndElement() && name == QLatin1String("style:master-page"))
            break;
        if (xml.isStartElement()) {
            if (parts.contains(name))
                target = parts.value(name);
            else if (name.startsWith(QLatin1String("style:header-")) || name.startsWith(QLatin1String("style:footer-")))
                target = nullptr; // the first page's variants
            else if ((name == QLatin1String("text:p") || name == QLatin1String("text:h")) && target)
                *target << readParagraph(xml, nullptr);
        }
        if (xml.isEndElement() && parts.contains(name))
            target = nullptr;
    }
    doc.masterPages << m;
}

// Reads a text:list-style, the reader standing on its start element.
void readListStyle(QXmlStreamReader& xml, Document& doc)
{
    const QString name = xml.attributes().value(QLatin1String("style:name")).toString();
    QMap<int, ListInfo>& levels = doc.listStyles[name];
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.qualifiedName() == QLatin1String("text:list-style"))
            break;
        if (!xml.isStartElement() || !xml.qualifiedName().startsWith(QLatin1String("text:list-level-style-")))
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        ListInfo level;
        level.level = a.value(QLatin1String("text:level")).toInt() - 1;
        level.style = name;
        level.numFormat = xml.qualifiedName() == QLatin1String("text:list-level-style-number")
            ? a.value(QLatin1String("style:num-format")).toString()
            : QString();
        level.bulletChar = a.value(QLatin1String("text:bullet-char")).toString();
        level.prefix = a.value(QLatin1String("style:num-prefix")).toString();
        level.suffix = a.value(QLatin1String("style:num-suffix")).toString();
        if (a.hasAttribute(QLatin1String("text:start-value")))
            level.start = a.value(QLatin1String("text:start-value")).toInt();
        level.labelFormat = a.value(QLatin1String("loext:num-list-format")).toString();
        if (a.hasAttribute(QLatin1String("text:display-levels")))
            level.displayLevels = a.value(QLatin1String("text:display-levels")).toInt();
        if (level.level >= 0)
            levels.insert(level.level, level);
    }
}

double points(const QString& length) { return length.isEmpty() ? 0 : inches(length) * 72.0; }

bool isBold(const QString& weight)
{
    return weight == QLatin1String("bold") || weight.toInt() >= 600;
}

} // namespace

Squeezed squeeze(const QString& text)
{
    Squeezed s;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!text[i].isSpace()) {
            s.text += text[i];
            s.offsets << i;
        }
    return s;
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
    QList<QStringList> columnStyles; // per table
    QString layout;
    QStringList lists;     // the text:list elements the reader is in, by style name
    QList<bool> listHeader; // per open list: in a text:list-header rather than a text:list-item
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
            else if (name == QLatin1String("text:list-style"))
                readListStyle(xml, doc);
            else if (inBody && name == QLatin1String("text:list")) {
                lists << xml.attributes().value(QLatin1String("text:style-name")).toString();
                listHeader << false;
            } else if (inBody && !listHeader.isEmpty()
                       && (name == QLatin1String("text:list-item") || name == QLatin1String("text:list-header")))
                listHeader.last() = name == QLatin1String("text:list-header");
            else if (inBody && (name == QLatin1String("text:p") || name == QLatin1String("text:h"))) {
                QList<Note> notes;
                doc.body << readParagraph(xml, &notes);
                for (Note& n : notes) {
                    n.paragraph = static_cast<int>(doc.body.size()) - 1;
                    doc.footnotes << n;
                }
                if (!lists.isEmpty()) {
                    ListInfo& list = doc.body.last().list;
                    list.level = static_cast<int>(lists.size()) - 1;
                    list.style = lists.first();
                    list.header = listHeader.last();
                }
            } else if (inBody && name == QLatin1String("table:table")) {
                const int before = static_cast<int>(doc.body.size());
                columnStyles << QStringList();
                doc.tables << readTable(xml, columnStyles.last(), doc.footnotes);
                doc.tables.last().bodyParagraphsBefore = before;
            }
        } else if (xml.isEndElement() && inBody && name == QLatin1String("text:list") && !lists.isEmpty()) {
            lists.removeLast();
            listHeader.removeLast();
        }
    }
    if (xml.hasError())
        doc.error = xml.errorString();
    for (Paragraph& p : doc.body)
        if (p.list.level >= 0) {
            // A list without a style of its own takes its paragraph style's.
            if (p.list.style.isEmpty())
                p.list.style = doc.styleChainValue(p.style, QStringLiteral("style:list-style-name"), false);
            const ListInfo format = doc.listStyles.value(p.list.style).value(p.list.level);
            p.list.numFormat = format.numFormat;
            p.list.bulletChar = format.bulletChar;
            p.list.prefix = format.prefix;
            p.list.suffix = format.suffix;
            p.list.start = format.start;
            p.list.displayLevels = format.displayLevels;
            p.list.labelFormat = format.labelFormat;
        }
    for (qsizetype t = 0; t < doc.tables.size(); ++t)
        for (const QString& style : columnStyles[t])
            doc.tables[t].columnWidths << inches(doc.styles.value(style).table.value(QStringLiteral("style:column-width")));
    QString master = QStringLiteral("Standard");
    for (Paragraph& p : doc.body) {
        const QString named = doc.masterPageOf(p);
        if (!named.isEmpty())
            master = named;
        p.master = master;
    }
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

int Document::findParagraph(const QString& text, bool* exact, int from) const
{
    const QString wanted = squeeze(text).text;
    if (exact)
        *exact = false;
    const int n = static_cast<int>(body.size());
    from = qBound(0, from, n);
    // From `from` to the end, then from the start: i-th candidate in that order.
    auto at = [&](int k) { return (from + k) % qMax(n, 1); };
    for (int k = 0; k < n; ++k)
        if (body[at(k)].squeezed.text == wanted) {
            if (exact)
                *exact = true;
            return at(k);
        }
    // Split or merged: the paragraph that begins alike, else one that holds its beginning.
    const QString beginning = wanted.left(30);
    for (int k = 0; k < n; ++k) {
        const QString& s = body[at(k)].squeezed.text;
        if (!s.isEmpty() && (wanted.startsWith(s.left(30)) || s.startsWith(beginning)))
            return at(k);
    }
    for (int k = 0; k < n; ++k)
        if (body[at(k)].squeezed.text.contains(beginning))
            return at(k);
    return -1;
}

int Document::findContaining(const QString& fragment, int from) const
{
    const QString wanted = squeeze(fragment).text;
    for (int i = qMax(0, from); i < body.size(); ++i)
        if (body[i].squeezed.text.contains(wanted))
            return i;
    return -1;
}

Document::Hit Document::findIn(int paragraph, const QString& text, qsizetype from) const
{
    Hit hit;
    if (paragraph < 0 || paragraph >= body.size())
        return hit;
    const QString wanted = squeeze(text).text;
    const Squeezed& s = body[paragraph].squeezed;
    const qsizetype at = wanted.isEmpty() ? -1 : s.text.indexOf(wanted, from);
    if (at < 0)
        return hit;
    hit.paragraph = paragraph;
    hit.begin = s.offsets[at];
    hit.end = s.offsets[at + wanted.size() - 1] + 1;
    hit.squeezedEnd = at + wanted.size();
    return hit;
}

SeenFormat Document::formatAt(int paragraph, qsizetype offset) const
{
    const Paragraph& p = body[paragraph];
    QString spanStyle;
    for (const Span& s : p.spans)
        if (offset >= s.offset && offset < s.offset + s.text.size())
            spanStyle = s.style;
    auto value = [&](const char* name) {
        const QString key = QString::fromLatin1(name);
        if (!spanStyle.isEmpty()) {
            const QString v = styleChainValue(spanStyle, key, true);
            if (!v.isEmpty())
                return v;
        }
        const QString v = styleChainValue(p.style, key, true);
        return v.isEmpty() ? defaultText.value(key) : v;
    };
    SeenFormat f;
    f.family = fontFaces.value(value("style:font-name"), value("style:font-name"));
    f.eastAsianFamily = fontFaces.value(value("style:font-name-asian"), value("style:font-name-asian"));
    f.size = points(value("fo:font-size"));
    f.eastAsianSize = points(value("style:font-size-asian"));
    f.bold = isBold(value("fo:font-weight"));
    f.eastAsianBold = isBold(value("style:font-weight-asian"));
    f.italic = value("fo:font-style") == QLatin1String("italic") || value("fo:font-style") == QLatin1String("oblique");
    f.eastAsianItalic = value("style:font-style-asian") == QLatin1String("italic");
    f.smallCaps = value("fo:font-variant") == QLatin1String("small-caps");
    f.color = value("fo:color").toLower();
    const QString position = value("style:text-position");
    if (position.startsWith(QLatin1String("super")) || (!position.isEmpty() && position.split(QChar(' ')).first().remove(QChar('%')).toDouble() > 0))
        f.position = Position::Superscript;
    else if (position.startsWith(QLatin1String("sub")) || position.startsWith(QChar('-')))
        f.position = Position::Subscript;
    return f;
}

SeenFormat Document::formatOf(const QString& fragment) const
{
    const Hit hit = findIn(findContaining(fragment), fragment);
    return hit.paragraph < 0 ? SeenFormat() : formatAt(hit.paragraph, hit.begin);
}

QString Document::alignment(int paragraph) const
{
    const QString a = paragraphProperty(body[paragraph], QStringLiteral("fo:text-align"));
    if (a.isEmpty() || a == QLatin1String("left"))
        return QStringLiteral("start");
    if (a == QLatin1String("right"))
        return QStringLiteral("end");
    return a;
}

double Document::leftIndent(int paragraph) const { return points(paragraphProperty(body[paragraph], QStringLiteral("fo:margin-left"))); }
double Document::rightIndent(int paragraph) const { return points(paragraphProperty(body[paragraph], QStringLiteral("fo:margin-right"))); }
double Document::firstLine(int paragraph) const { return points(paragraphProperty(body[paragraph], QStringLiteral("fo:text-indent"))); }

double Document::spaceBefore(int paragraph) const { return points(paragraphProperty(body[paragraph], QStringLiteral("fo:margin-top"))); }
double Document::spaceAfter(int paragraph) const { return points(paragraphProperty(body[paragraph], QStringLiteral("fo:margin-bottom"))); }

double Document::lineSpacing(int paragraph) const
{
    const QString h = paragraphProperty(body[paragraph], QStringLiteral("fo:line-height"));
    return h.endsWith(QChar('%')) ? h.chopped(1).toDouble() / 100.0 : 1.0;
}

int Document::outlineLevel(int paragraph) const
{
    const Paragraph& p = body[paragraph];
    return p.heading ? qMax(1, p.outlineLevel.toInt()) : 0;
}

int Document::headingStyleLevel(int paragraph) const
{
    QString current = body[paragraph].style;
    for (int depth = 0; depth < 16 && !current.isEmpty(); ++depth) {
        if (current.startsWith(QLatin1String("Heading_20_")))
            return current.mid(11).toInt();
        const auto it = styles.find(current);
        if (it == styles.end())
            break;
        current = it->parent;
    }
    return 0;
}

QString Document::cellProperty(const TableCell& cell, const QString& name) const
{
    QString current = cell.style;
    for (int depth = 0; depth < 16 && !current.isEmpty(); ++depth) {
        const auto it = styles.find(current);
        if (it == styles.end())
            break;
        if (it->table.contains(name))
            return it->table.value(name);
        current = it->parent;
    }
    return {};
}

QString Document::cellBorder(const TableCell& cell, const QString& side) const
{
    const QString own = cellProperty(cell, QStringLiteral("fo:border-") + side);
    return own.isEmpty() ? cellProperty(cell, QStringLiteral("fo:border")) : own;
}

bool Document::cellHasBorder(const TableCell& cell, const QString& side) const
{
    const QString border = cellBorder(cell, side);
    return !border.isEmpty() && border != QLatin1String("none") && !border.startsWith(QLatin1String("0pt"))
        && !border.startsWith(QLatin1String("0in"));
}

QString Document::masterPageOf(const Paragraph& p) const
{
    const auto it = styles.find(p.style);
    return it == styles.end() ? QString() : it->masterPage;
}

const MasterPage* Document::masterPageNamed(const QString& name) const
{
    for (const MasterPage& m : masterPages)
        if (m.name == name)
            return &m;
    return nullptr;
}

QString Document::masterPage(int paragraph) const
{
    return paragraph >= 0 && paragraph < body.size() ? body[paragraph].master : QString();
}

Properties Document::pageLayout(const QString& masterPage) const
{
    const MasterPage* m = masterPageNamed(masterPage);
    return m ? pageLayouts.value(m->layout) : Properties();
}

double Document::pageWidth(const QString& masterPage) const
{
    return points(pageLayout(masterPage).value(QStringLiteral("fo:page-width")));
}

double Document::pageHeight(const QString& masterPage) const
{
    return points(pageLayout(masterPage).value(QStringLiteral("fo:page-height")));
}

} // namespace fodt

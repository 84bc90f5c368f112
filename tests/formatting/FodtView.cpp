#include "FodtView.h"

namespace fmt {

namespace {

double points(const QString& length) { return length.isEmpty() ? 0 : odt::inches(length) * 72.0; }

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

FodtView::FodtView(odt::Document doc) : m_doc(std::move(doc))
{
    QString master = QStringLiteral("Standard");
    for (const odt::Paragraph& p : m_doc.body) {
        m_squeezed << squeeze(p.text);
        const QString named = m_doc.masterPageOf(p);
        if (!named.isEmpty())
            master = named;
        m_masters << master;
    }
}

int FodtView::findParagraph(const QString& text, bool* exact, int from) const
{
    const QString wanted = squeeze(text).text;
    if (exact)
        *exact = false;
    const int n = static_cast<int>(m_squeezed.size());
    from = qBound(0, from, n);
    // From `from` to the end, then from the start: i-th candidate in that order.
    auto at = [&](int k) { return (from + k) % qMax(n, 1); };
    for (int k = 0; k < n; ++k)
        if (m_squeezed[at(k)].text == wanted) {
            if (exact)
                *exact = true;
            return at(k);
        }
    // Split or merged: the paragraph that begins alike, else one that holds its beginning.
    const QString beginning = wanted.left(30);
    for (int k = 0; k < n; ++k) {
        const QString& s = m_squeezed[at(k)].text;
        if (!s.isEmpty() && (wanted.startsWith(s.left(30)) || s.startsWith(beginning)))
            return at(k);
    }
    for (int k = 0; k < n; ++k)
        if (m_squeezed[at(k)].text.contains(beginning))
            return at(k);
    return -1;
}

int FodtView::findContaining(const QString& fragment, int from) const
{
    const QString wanted = squeeze(fragment).text;
    for (int i = qMax(0, from); i < m_squeezed.size(); ++i)
        if (m_squeezed[i].text.contains(wanted))
            return i;
    return -1;
}

FodtView::Hit FodtView::findIn(int paragraph, const QString& text, qsizetype from) const
{
    Hit hit;
    if (paragraph < 0 || paragraph >= m_squeezed.size())
        return hit;
    const QString wanted = squeeze(text).text;
    const Squeezed& s = m_squeezed[paragraph];
    const qsizetype at = wanted.isEmpty() ? -1 : s.text.indexOf(wanted, from);
    if (at < 0)
        return hit;
    hit.paragraph = paragraph;
    hit.begin = s.offsets[at];
    hit.end = s.offsets[at + wanted.size() - 1] + 1;
    hit.squeezedEnd = at + wanted.size();
    return hit;
}

QString FodtView::text(const QString& style, const QString& name) const
{
    const QString v = m_doc.styleChainValue(style, name, true);
    return v.isEmpty() ? m_doc.defaultText.value(name) : v;
}

SeenFormat FodtView::formatAt(int paragraph, qsizetype offset) const
{
    const odt::Paragraph& p = m_doc.body[paragraph];
    QString spanStyle;
    for (const odt::Span& s : p.spans)
        if (offset >= s.offset && offset < s.offset + s.text.size())
            spanStyle = s.style;
    auto value = [&](const char* name) {
        const QString key = QString::fromLatin1(name);
        if (!spanStyle.isEmpty()) {
            const QString v = m_doc.styleChainValue(spanStyle, key, true);
            if (!v.isEmpty())
                return v;
        }
        return text(p.style, key);
    };
    SeenFormat f;
    f.family = m_doc.fontFaces.value(value("style:font-name"), value("style:font-name"));
    f.eastAsianFamily = m_doc.fontFaces.value(value("style:font-name-asian"), value("style:font-name-asian"));
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

QString FodtView::paragraphValue(int paragraph, const QString& name) const
{
    return m_doc.paragraphProperty(m_doc.body[paragraph], name);
}

QString FodtView::alignment(int paragraph) const
{
    const QString a = paragraphValue(paragraph, QStringLiteral("fo:text-align"));
    if (a.isEmpty() || a == QLatin1String("left"))
        return QStringLiteral("start");
    if (a == QLatin1String("right"))
        return QStringLiteral("end");
    return a;
}

double FodtView::leftIndent(int paragraph) const { return points(paragraphValue(paragraph, QStringLiteral("fo:margin-left"))); }
double FodtView::rightIndent(int paragraph) const { return points(paragraphValue(paragraph, QStringLiteral("fo:margin-right"))); }
double FodtView::firstLine(int paragraph) const { return points(paragraphValue(paragraph, QStringLiteral("fo:text-indent"))); }

double FodtView::spaceBefore(int paragraph) const { return points(paragraphValue(paragraph, QStringLiteral("fo:margin-top"))); }
double FodtView::spaceAfter(int paragraph) const { return points(paragraphValue(paragraph, QStringLiteral("fo:margin-bottom"))); }

double FodtView::lineSpacing(int paragraph) const
{
    const QString h = paragraphValue(paragraph, QStringLiteral("fo:line-height"));
    return h.endsWith(QChar('%')) ? h.chopped(1).toDouble() / 100.0 : 1.0;
}

int FodtView::outlineLevel(int paragraph) const
{
    const odt::Paragraph& p = m_doc.body[paragraph];
    return p.heading ? qMax(1, p.outlineLevel.toInt()) : 0;
}

int FodtView::headingStyleLevel(int paragraph) const
{
    QString current = m_doc.body[paragraph].style;
    for (int depth = 0; depth < 16 && !current.isEmpty(); ++depth) {
        if (current.startsWith(QLatin1String("Heading_20_")))
            return current.mid(11).toInt();
        const auto it = m_doc.styles.find(current);
        if (it == m_doc.styles.end())
            break;
        current = it->parent;
    }
    return 0;
}

QString FodtView::masterPage(int paragraph) const { return m_masters.value(paragraph); }

double FodtView::pageWidth(const QString& masterPage) const
{
    const odt::MasterPage* m = m_doc.masterPage(masterPage);
    return m ? points(m_doc.pageLayouts.value(m->layout).value(QStringLiteral("fo:page-width"))) : 0;
}

double FodtView::pageHeight(const QString& masterPage) const
{
    const odt::MasterPage* m = m_doc.masterPage(masterPage);
    return m ? points(m_doc.pageLayouts.value(m->layout).value(QStringLiteral("fo:page-height"))) : 0;
}

} // namespace fmt

#include "Fidelity.h"

#include "PdfComposer.h"

#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace fmt {

namespace {

QString quoted(const QString& s, int max = 40)
{
    return QChar('"') + (s.size() > max ? s.left(max) + QStringLiteral("...") : s) + QChar('"');
}

QString yesNo(bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); }

QString positionName(Position p)
{
    return p == Position::Superscript ? QStringLiteral("superscript")
        : p == Position::Subscript    ? QStringLiteral("subscript")
                                      : QStringLiteral("baseline");
}

bool sameColor(const QColor& expected, const QString& seen)
{
    if (seen.isEmpty())
        return expected == QColor(Qt::black);
    return QColor(seen) == expected;
}

// The fodt paragraph of each truth paragraph (-1: not found), and whether it was found whole.
struct ParagraphMap {
    QList<int> at;
    QList<bool> exact;
};

// A list label typed at the start of a text: 1. 1) (a) a) • – ◦ 一、 （1）
const QRegularExpression& typedLabel()
{
    static const QRegularExpression label(QStringLiteral("^(\\d+[.)]|[•–◦]|\\(?[a-z]\\)|[一二三四五六七八九十]+、|（\\d+）)\\s*"));
    return label;
}

// The texts a paragraph may rightly be read back as besides its own: with its
// list label typed before it (a converter that makes no list keeps it), with
// its note marks inline, or, where the truth holds a typed label, without it.
QStringList alternativeTexts(const Truth& truth, int index)
{
    return readingsOf(truth, index).mid(1);
}

} // namespace

QStringList readingsOf(const Truth& truth, int index)
{
    const TruthParagraph& p = truth.paragraphs[index];
    QStringList out{p.text};
    if (!p.listLabel.isEmpty())
        out << p.listLabel + QChar(' ') + p.text;
    QString marked = p.text;
    for (qsizetype i = truth.footnotes.size() - 1; i >= 0; --i) {
        const TruthFootnote& n = truth.footnotes[i];
        if (n.paragraph == index)
            marked.insert(n.before.size(), n.mark);
    }
    if (marked != p.text)
        out << marked;
    const QRegularExpressionMatch m = typedLabel().match(p.text);
    if (m.hasMatch() && m.capturedLength() < p.text.size())
        out << p.text.mid(m.capturedLength());
    return out;
}

namespace {

ParagraphMap mapParagraphs(const Truth& truth, const fodt::Document& view)
{
    ParagraphMap m;
    int next = 0; // the truth is in reading order: look after the last one found first
    for (int i = 0; i < truth.paragraphs.size(); ++i) {
        bool exact = false;
        int at = view.findParagraph(truth.paragraphs[i].text, &exact, next);
        for (const QString& other : alternativeTexts(truth, i)) {
            if (exact)
                break;
            bool otherExact = false;
            const int otherAt = view.findParagraph(other, &otherExact, next);
            if (otherExact) {
                at = otherAt;
                exact = true;
            }
        }
        m.at << at;
        m.exact << exact;
        if (at >= 0)
            next = exact ? at + 1 : at;
    }
    return m;
}

bool listKindMatches(const QString& truthFormat, const fodt::ListInfo& seen)
{
    if (truthFormat == QLatin1String("bullet"))
        return seen.numFormat.isEmpty();
    return !seen.numFormat.isEmpty() && seen.numFormat.startsWith(truthFormat);
}

QString hrefAt(const fodt::Paragraph& p, qsizetype offset)
{
    for (const fodt::Span& s : p.spans)
        if (offset >= s.offset && offset < s.offset + s.text.size())
            return s.href;
    return {};
}

void scoreLists(const Truth& truth, const fodt::Document& view, const ParagraphMap& map, const QString& doc, FidelityReport& r)
{
    QSet<int> listItems;
    for (int i = 0; i < truth.paragraphs.size(); ++i) {
        const TruthParagraph& p = truth.paragraphs[i];
        const int at = map.at[i];
        if (p.listLevel < 0 || at < 0)
            continue;
        listItems.insert(at);
        const fodt::ListInfo& seen = view.paragraph(at).list;
        const bool ok = map.exact[i] && seen.level == p.listLevel && listKindMatches(p.listFormat, seen);
        r.lists.count(ok);
        if (!ok)
            r.file(kLists, doc + QStringLiteral("list item %1 %2 (level %3, %4) reads back at level %5, format \"%6\"")
                                  .arg(i).arg(quoted(p.text)).arg(p.listLevel).arg(p.listFormat).arg(seen.level).arg(seen.numFormat));
    }
    for (int i = 0; i < truth.paragraphs.size(); ++i)
        if (truth.paragraphs[i].listLevel < 0 && map.at[i] >= 0 && !listItems.contains(map.at[i]))
            if (view.paragraph(map.at[i]).list.level >= 0 && !view.paragraph(map.at[i]).list.header) {
                listItems.insert(map.at[i]);
                r.listPrecision.count(false);
                r.file(kLists, doc + QStringLiteral("paragraph %1 %2 was made a list item").arg(i).arg(quoted(truth.paragraphs[i].text)));
            }
    for (int i = 0; i < truth.paragraphs.size(); ++i)
        if (truth.paragraphs[i].listLevel >= 0 && map.at[i] >= 0 && view.paragraph(map.at[i]).list.level >= 0)
            r.listPrecision.count(true);
}

void scoreLinks(const Truth& truth, const fodt::Document& view, const ParagraphMap& map, const QString& doc, FidelityReport& r)
{
    for (const TruthLink& link : truth.links) {
        const int at = map.at.value(link.paragraph, -1);
        const fodt::Document::Hit hit = at < 0 ? fodt::Document::Hit{} : view.findIn(at, link.text);
        QString seen = QStringLiteral("text not found");
        bool ok = hit.paragraph >= 0;
        for (qsizetype i = hit.begin; ok && i < hit.end; ++i) {
            if (view.paragraph(at).text[i].isSpace())
                continue;
            const QString href = hrefAt(view.paragraph(at), i);
            ok = href == link.href;
            if (!ok)
                seen = href.isEmpty() ? QStringLiteral("no link") : quoted(href, 60);
        }
        r.links.count(ok);
        if (!ok)
            r.file(kLinks, doc + QStringLiteral("link %1 to %2: %3").arg(quoted(link.text), link.href, seen));
    }
}

void scoreFootnotes(const Truth& truth, const fodt::Document& view, const ParagraphMap& map, const QString& doc, FidelityReport& r)
{
    for (const TruthFootnote& note : truth.footnotes) {
        const int at = map.at.value(note.paragraph, -1);
        const QString text = fodt::squeeze(note.text).text;
        const QString before = fodt::squeeze(note.before).text.right(8);
        QString why = QStringLiteral("no footnote in its paragraph");
        bool ok = false;
        for (const fodt::Note& seen : view.footnotes) {
            if (ok || at < 0 || seen.paragraph != at)
                continue;
            if (fodt::squeeze(seen.text).text != text) {
                why = QStringLiteral("its paragraph's footnote reads %1").arg(quoted(seen.text));
                continue;
            }
            ok = fodt::squeeze(view.paragraph(at).text.left(seen.offset)).text.endsWith(before);
            if (!ok)
                why = QStringLiteral("cited at %1 of %2").arg(seen.offset).arg(quoted(view.paragraph(at).text, 60));
        }
        r.footnotes.count(ok);
        if (!ok)
            r.file(kFootnotes, doc + QStringLiteral("footnote %1 %2: %3").arg(note.mark, quoted(note.text), why));
    }
}

// A run's characters judged one by one: CJK characters by the East Asian
// properties, the others by the Latin ones.
struct RunVerdict {
    bool found = false;
    bool bold = true, italic = true, size = true, family = true;
    bool color = true, position = true, smallCaps = true, eastAsian = true;
    QList<QPair<QString, QString>> why; // measure, what went wrong
};

RunVerdict judgeRun(const TruthRun& run, const fodt::Document& view, const QList<fodt::Document::Hit>& hits)
{
    RunVerdict v;
    if (hits.isEmpty()) {
        v.bold = v.italic = v.size = v.family = v.color = v.position = v.smallCaps = v.eastAsian = false;
        v.why << qMakePair(kRunFormat, QStringLiteral("text not found"));
        return v;
    }
    v.found = true;
    auto note = [&](bool& flag, const QString& measure, const QString& what) {
        if (flag) {
            flag = false;
            v.why << qMakePair(measure, what);
        }
    };
    bool exactSize = true;
    for (const fodt::Document::Hit& hit : hits) {
        const QString& text = view.paragraph(hit.paragraph).text;
        for (qsizetype i = hit.begin; i < hit.end; ++i) {
            const QChar c = text[i];
            if (c.isSpace())
                continue;
            const fodt::SeenFormat f = view.formatAt(hit.paragraph, i);
            const bool cjk = isCjk(c);
            const double size = cjk ? f.eastAsianSize : f.size;
            const bool bold = cjk ? f.eastAsianBold : f.bold;
            const bool italic = cjk ? f.eastAsianItalic : f.italic;
            const QString at = QStringLiteral(" at '%1'").arg(c);
            if (bold != run.bold)
                note(v.bold, kRunFormat, QStringLiteral("bold %1, expected %2").arg(yesNo(bold), yesNo(run.bold)) + at);
            if (italic != run.italic)
                note(v.italic, kRunFormat, QStringLiteral("italic %1, expected %2").arg(yesNo(italic), yesNo(run.italic)) + at);
            const bool sizeRight = std::abs(size - run.size) <= 0.5 || (run.altSize > 0 && std::abs(size - run.altSize) <= 0.5);
            const bool sizeExact = std::abs(size - run.size) <= 0.25 || (run.altSize > 0 && std::abs(size - run.altSize) <= 0.25);
            if (sizeRight && !sizeExact)
                note(exactSize, kExactSize, QStringLiteral("size %1 pt, expected %2 pt").arg(size).arg(run.size) + at);
            if (!sizeRight)
                note(v.size, kRunFormat, QStringLiteral("size %1 pt, expected %2 pt").arg(size).arg(run.size) + at);
            if (cjk && !run.eastAsianFamilies.isEmpty() && !run.eastAsianFamilies.contains(f.eastAsianFamily))
                note(v.eastAsian, kEastAsian, QStringLiteral("East Asian font %1, expected one of %2").arg(quoted(f.eastAsianFamily), run.eastAsianFamilies.join(QStringLiteral(", "))) + at);
            if (!cjk && c.isLetterOrNumber() && !run.families.isEmpty() && !run.families.contains(f.family))
                note(v.family, kRunFormat, QStringLiteral("font %1, expected %2").arg(quoted(f.family), run.families.join(QStringLiteral(" or "))) + at);
            if (!sameColor(run.color, f.color))
                note(v.color, kColour, QStringLiteral("colour %1, expected %2").arg(f.color.isEmpty() ? QStringLiteral("automatic") : f.color, run.color.name()) + at);
            if (c.isLetter() && f.smallCaps != run.smallCaps)
                note(v.smallCaps, kSmallCaps, QStringLiteral("small caps %1, expected %2").arg(yesNo(f.smallCaps), yesNo(run.smallCaps)) + at);
            if (f.position != run.position)
                note(v.position, kPosition, QStringLiteral("%1, expected %2").arg(positionName(f.position), positionName(run.position)) + at);
        }
    }
    // A CJK run's family is its East Asian font; a Latin run's its Latin one.
    if (run.cjk && run.families.isEmpty())
        v.family = v.eastAsian;
    return v;
}

QString alignWord(const QString& odf)
{
    return odf == QLatin1String("start") ? QStringLiteral("left")
        : odf == QLatin1String("end")    ? QStringLiteral("right")
                                         : odf;
}

} // namespace

FidelityReport& FidelityReport::operator+=(const FidelityReport& o)
{
    runs += o.runs;
    bold += o.bold;
    italic += o.italic;
    size += o.size;
    family += o.family;
    color += o.color;
    position += o.position;
    smallCaps += o.smallCaps;
    eastAsianFamily += o.eastAsianFamily;
    paragraphs += o.paragraphs;
    alignment += o.alignment;
    indents += o.indents;
    spacing += o.spacing;
    headingRecall += o.headingRecall;
    headingPrecision += o.headingPrecision;
    lists += o.lists;
    listPrecision += o.listPrecision;
    links += o.links;
    footnotes += o.footnotes;
    misses += o.misses;
    for (auto it = o.missesBy.begin(); it != o.missesBy.end(); ++it)
        missesBy[it.key()] += it.value();
    return *this;
}

void FidelityReport::file(const QString& measure, const QString& what)
{
    misses << what;
    missesBy[measure] << what;
}

FidelityReport score(const Truth& truth, const fodt::Document& view)
{
    FidelityReport r;
    const QString doc = truth.name + QStringLiteral(": ");
    const ParagraphMap map = mapParagraphs(truth, view);

    for (int i = 0; i < truth.paragraphs.size(); ++i) {
        const TruthParagraph& p = truth.paragraphs[i];
        r.paragraphs.count(map.exact[i]);
        if (!map.exact[i])
            r.file(kParagraphs, doc + QStringLiteral("paragraph %1 %2 ").arg(i).arg(quoted(p.text))
                    + (map.at[i] < 0 ? QStringLiteral("not found") : QStringLiteral("not kept whole: nearest is %1").arg(quoted(view.paragraph(map.at[i]).text, 60))));
        const int at = map.at[i];
        if (p.judgeAlignment) {
            const QString seen = at < 0 ? QString() : view.alignment(at);
            const bool ok = seen == odfAlign(p.align);
            r.alignment.count(ok);
            if (!ok && at >= 0)
                r.file(kAlignment, doc + QStringLiteral("paragraph %1 %2 is aligned %3, expected %4")
                                      .arg(i).arg(quoted(p.text), alignWord(seen), alignName(p.align)));
        }
        if (p.judgeIndents) {
            const double left = at < 0 ? -1000 : view.leftIndent(at);
            const double right = at < 0 ? -1000 : view.rightIndent(at);
            const double first = at < 0 ? -1000 : view.firstLine(at);
            const bool ok = std::abs(left - p.leftIndent) <= 3 && std::abs(right - p.rightIndent) <= 3 && std::abs(first - p.firstLine) <= 3;
            r.indents.count(ok);
            if (!ok && at >= 0)
                r.file(kIndents, doc + QStringLiteral("paragraph %1 %2 has indents left %3 right %4 first line %5 pt, expected %6 %7 %8")
                                      .arg(i).arg(quoted(p.text)).arg(left, 0, 'f', 1).arg(right, 0, 'f', 1).arg(first, 0, 'f', 1)
                                      .arg(p.leftIndent).arg(p.rightIndent).arg(p.firstLine));
        }
        if (p.gapBefore >= 0 && map.exact[i] && at > 0) {
            const double gap = view.spaceAfter(at - 1) + view.spaceBefore(at);
            const bool ok = std::abs(gap - p.gapBefore) <= 2;
            r.spacing.count(ok);
            if (!ok)
                r.file(kSpacing, doc + QStringLiteral("paragraph %1 %2 has %3 pt above it, expected %4 pt")
                                           .arg(i).arg(quoted(p.text)).arg(gap, 0, 'f', 1).arg(p.gapBefore));
        }
        if (p.lines >= 3 && map.exact[i]) {
            const double seen = view.lineSpacing(at);
            const bool ok = std::abs(seen - p.lineSpacing) <= 0.1 * p.lineSpacing;
            r.spacing.count(ok);
            if (!ok)
                r.file(kSpacing, doc + QStringLiteral("paragraph %1 %2 has line spacing %3, expected %4")
                                           .arg(i).arg(quoted(p.text)).arg(seen).arg(p.lineSpacing));
        }
        if (p.headingLevel > 0) {
            const int outline = at < 0 ? 0 : view.outlineLevel(at);
            const int style = at < 0 ? 0 : view.headingStyleLevel(at);
            const bool ok = map.exact[i] && outline == p.headingLevel && style == p.headingLevel;
            r.headingRecall.count(ok);
            if (!ok && at >= 0)
                r.file(kHeadings, doc + QStringLiteral("heading %1 has outline level %2 and style Heading %3, expected level %4")
                                      .arg(quoted(p.text)).arg(outline).arg(style).arg(p.headingLevel));
        }
    }

    // Paragraphs marked as headings that the document does not have as headings.
    for (int j = 0; j < view.paragraphCount(); ++j) {
        if (view.outlineLevel(j) == 0)
            continue;
        bool isHeading = false;
        for (int i = 0; i < truth.paragraphs.size(); ++i)
            if (map.at[i] == j && truth.paragraphs[i].headingLevel > 0)
                isHeading = true;
        r.headingPrecision.count(isHeading);
        if (!isHeading)
            r.file(kHeadings, doc + QStringLiteral("body text %1 was made a heading (outline level %2)")
                                  .arg(quoted(view.paragraph(j).text)).arg(view.outlineLevel(j)));
    }

    scoreLists(truth, view, map, doc, r);
    scoreLinks(truth, view, map, doc, r);
    scoreFootnotes(truth, view, map, doc, r);

    // Runs, in order within their paragraph.
    QList<qsizetype> cursor(truth.paragraphs.size(), 0);
    for (const TruthRun& run : truth.runs) {
        const int at = map.at.value(run.paragraph, -1);
        fodt::Document::Hit hit = view.findIn(at, run.text, at < 0 ? 0 : cursor[run.paragraph]);
        if (hit.paragraph < 0 && at >= 0 && view.paragraph(at).list.level >= 0) {
            // A label typed in the run became the list's numbering.
            const QRegularExpressionMatch label = typedLabel().match(run.text);
            if (label.hasMatch() && label.capturedLength() < run.text.size())
                hit = view.findIn(at, run.text.mid(label.capturedLength()), cursor[run.paragraph]);
        }
        if (hit.paragraph < 0) // the paragraph came apart: look in the ones after it
            for (int j = qMax(0, at); j < view.paragraphCount() && hit.paragraph < 0; ++j)
                hit = view.findIn(j, run.text);
        if (hit.paragraph == at && at >= 0)
            cursor[run.paragraph] = hit.squeezedEnd;
        QList<fodt::Document::Hit> hits;
        if (hit.paragraph >= 0) {
            hits << hit;
        } else {
            // A run across a paragraph that came apart: judged by its two ends.
            const QString squeezed = fodt::squeeze(run.text).text;
            for (const QString& end : {squeezed.left(24), squeezed.right(24)})
                for (int j = qMax(0, at); j < view.paragraphCount(); ++j) {
                    const fodt::Document::Hit part = view.findIn(j, end);
                    if (part.paragraph >= 0) {
                        hits << part;
                        break;
                    }
                }
            if (hits.size() < 2)
                hits.clear();
        }
        const RunVerdict v = judgeRun(run, view, hits);
        r.bold.count(v.bold);
        r.italic.count(v.italic);
        r.size.count(v.size);
        r.family.count(v.family);
        r.color.count(v.color);
        r.position.count(v.position);
        r.smallCaps.count(v.smallCaps);
        if (run.cjk && !run.eastAsianFamilies.isEmpty())
            r.eastAsianFamily.count(v.eastAsian);
        r.runs.count(v.bold && v.italic && v.size && v.family);
        for (const auto& [measure, what] : v.why)
            r.file(measure, doc + QStringLiteral("run %1: %2").arg(quoted(run.text), what));
    }
    return r;
}

QStringList checkReadingOrder(const Truth& truth, const fodt::Document& view)
{
    QStringList problems;
    int previous = -1;
    QString previousText;
    for (const QString& fragment : truth.readingOrder) {
        const int at = view.findContaining(fragment);
        if (at < 0) {
            problems << QStringLiteral("%1 not found").arg(quoted(fragment));
            continue;
        }
        if (at <= previous)
            problems << QStringLiteral("%1 is in paragraph %2, not after %3 in paragraph %4")
                            .arg(quoted(fragment)).arg(at).arg(quoted(previousText)).arg(previous);
        previous = at;
        previousText = fragment;
    }
    return problems;
}

QStringList checkPlacedText(const Truth& truth, const fodt::Document& view)
{
    QStringList problems;
    for (const QString& text : truth.placedTexts) {
        bool found = view.findContaining(text) >= 0;
        for (const fodt::MasterPage& m : view.masterPages)
            for (const fodt::Paragraph& p : m.header + m.footer)
                found = found || p.squeezed.text.contains(fodt::squeeze(text).text);
        if (!found)
            problems << QStringLiteral("%1 is lost").arg(quoted(text, 60));
    }
    return problems;
}

QStringList checkRunningText(const Truth& truth, const fodt::Document& view)
{
    QStringList problems;
    if (truth.runningHead.isEmpty() && !truth.pageNumbers)
        return problems;
    const QString head = fodt::squeeze(truth.runningHead).text;
    QSet<QString> masters;
    for (int i = 0; i < view.paragraphCount(); ++i) {
        masters.insert(view.masterPage(i));
        const QString text = view.squeezedText(i);
        if (!head.isEmpty() && text.contains(head))
            problems << QStringLiteral("the running head is still in the body: %1").arg(quoted(view.paragraph(i).text));
        bool number = false;
        const int n = text.toInt(&number);
        if (number && n >= 1 && n <= truth.pages.size())
            problems << QStringLiteral("a page number is still in the body: paragraph %1 %2").arg(i).arg(quoted(text));
    }
    for (const QString& name : masters) {
        const fodt::MasterPage* m = view.masterPageNamed(name);
        if (!m) {
            problems << QStringLiteral("master page %1 not found").arg(quoted(name));
            continue;
        }
        if (!head.isEmpty()) {
            QString header;
            for (const fodt::Paragraph& p : m->header)
                header += p.text;
            if (!fodt::squeeze(header).text.contains(head))
                problems << QStringLiteral("the header of master page %1 is %2, expected to hold %3")
                                .arg(quoted(name), quoted(header), quoted(truth.runningHead));
        }
        if (truth.pageNumbers) {
            bool field = false;
            QString footer;
            for (const fodt::Paragraph& p : m->footer) {
                field = field || p.hasPageNumber;
                footer += p.text;
            }
            if (!field)
                problems << QStringLiteral("the footer of master page %1 is %2 with no page-number field")
                                .arg(quoted(name), quoted(footer));
        }
    }
    return problems;
}

QStringList checkSections(const Truth& truth, const fodt::Document& view)
{
    QStringList problems;
    const ParagraphMap map = mapParagraphs(truth, view);
    for (int page = 1; page <= truth.pages.size(); ++page) {
        const TruthPage& expected = truth.pages[page - 1];
        int at = -1;
        for (int i = 0; i < truth.paragraphs.size(); ++i)
            if (truth.paragraphs[i].page == page) {
                at = map.at[i];
                break;
            }
        if (at < 0)
            continue; // a page of no paragraphs of its own
        const QString master = view.masterPage(at);
        const double w = view.pageWidth(master), h = view.pageHeight(master);
        if (std::abs(w - expected.width) > 2 || std::abs(h - expected.height) > 2)
            problems << QStringLiteral("page %1 (%2) is laid out on %3 x %4 pt (master page %5), expected %6 x %7 pt")
                            .arg(page).arg(quoted(view.paragraph(at).text, 30)).arg(w, 0, 'f', 0).arg(h, 0, 'f', 0)
                            .arg(quoted(master)).arg(expected.width).arg(expected.height);
    }
    return problems;
}

} // namespace fmt

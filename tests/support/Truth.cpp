#include "Truth.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace fmt {

QString alignName(Align a)
{
    switch (a) {
    case Align::Center: return QStringLiteral("center");
    case Align::Right: return QStringLiteral("right");
    case Align::Justify: return QStringLiteral("justify");
    case Align::Left: break;
    }
    return QStringLiteral("left");
}

QString odfAlign(Align a)
{
    switch (a) {
    case Align::Center: return QStringLiteral("center");
    case Align::Right: return QStringLiteral("end");
    case Align::Justify: return QStringLiteral("justify");
    case Align::Left: break;
    }
    return QStringLiteral("start");
}

namespace {

Align alignFromName(const QString& s)
{
    for (Align a : {Align::Left, Align::Center, Align::Right, Align::Justify})
        if (alignName(a) == s)
            return a;
    return Align::Left;
}

QString positionName(Position p)
{
    return p == Position::Superscript ? QStringLiteral("super")
        : p == Position::Subscript    ? QStringLiteral("sub")
                                      : QStringLiteral("baseline");
}

Position positionFromName(const QString& s)
{
    return s == QLatin1String("super") ? Position::Superscript
        : s == QLatin1String("sub")    ? Position::Subscript
                                       : Position::Baseline;
}

QJsonArray strings(const QStringList& l) { return QJsonArray::fromStringList(l); }

QStringList strings(const QJsonValue& v)
{
    QStringList out;
    for (const QJsonValue& s : v.toArray())
        out << s.toString();
    return out;
}

} // namespace

bool Truth::save(const QString& jsonPath) const
{
    QJsonObject root;
    root[QStringLiteral("name")] = name;
    root[QStringLiteral("title")] = title;
    root[QStringLiteral("runningHead")] = runningHead;
    root[QStringLiteral("pageNumbers")] = pageNumbers;
    root[QStringLiteral("readingOrder")] = strings(readingOrder);
    root[QStringLiteral("placedTexts")] = strings(placedTexts);
    QJsonArray pageArray;
    for (const TruthPage& p : pages)
        pageArray << QJsonObject{{QStringLiteral("width"), p.width}, {QStringLiteral("height"), p.height}};
    root[QStringLiteral("pages")] = pageArray;
    QJsonArray paragraphArray;
    for (const TruthParagraph& p : paragraphs)
        paragraphArray << QJsonObject{{QStringLiteral("text"), p.text},
                                      {QStringLiteral("page"), p.page},
                                      {QStringLiteral("align"), alignName(p.align)},
                                      {QStringLiteral("judgeAlignment"), p.judgeAlignment},
                                      {QStringLiteral("judgeIndents"), p.judgeIndents},
                                      {QStringLiteral("leftIndent"), p.leftIndent},
                                      {QStringLiteral("rightIndent"), p.rightIndent},
                                      {QStringLiteral("firstLine"), p.firstLine},
                                      {QStringLiteral("headingLevel"), p.headingLevel},
                                      {QStringLiteral("lineSpacing"), p.lineSpacing},
                                      {QStringLiteral("gapBefore"), p.gapBefore},
                                      {QStringLiteral("lines"), p.lines},
                                      {QStringLiteral("listLevel"), p.listLevel},
                                      {QStringLiteral("listFormat"), p.listFormat},
                                      {QStringLiteral("listLabel"), p.listLabel}};
    root[QStringLiteral("paragraphs")] = paragraphArray;
    QJsonArray runArray;
    for (const TruthRun& r : runs)
        runArray << QJsonObject{{QStringLiteral("text"), r.text},
                                {QStringLiteral("paragraph"), r.paragraph},
                                {QStringLiteral("families"), strings(r.families)},
                                {QStringLiteral("eastAsianFamilies"), strings(r.eastAsianFamilies)},
                                {QStringLiteral("cjk"), r.cjk},
                                {QStringLiteral("size"), r.size},
                                {QStringLiteral("altSize"), r.altSize},
                                {QStringLiteral("bold"), r.bold},
                                {QStringLiteral("italic"), r.italic},
                                {QStringLiteral("smallCaps"), r.smallCaps},
                                {QStringLiteral("color"), r.color.name()},
                                {QStringLiteral("position"), positionName(r.position)}};
    root[QStringLiteral("runs")] = runArray;
    QJsonArray linkArray;
    for (const TruthLink& l : links)
        linkArray << QJsonObject{{QStringLiteral("text"), l.text}, {QStringLiteral("paragraph"), l.paragraph}, {QStringLiteral("href"), l.href}};
    root[QStringLiteral("links")] = linkArray;
    QJsonArray noteArray;
    for (const TruthFootnote& n : footnotes)
        noteArray << QJsonObject{{QStringLiteral("mark"), n.mark}, {QStringLiteral("text"), n.text},
                                 {QStringLiteral("paragraph"), n.paragraph}, {QStringLiteral("before"), n.before}};
    root[QStringLiteral("footnotes")] = noteArray;
    QFile f(jsonPath);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(QJsonDocument(root).toJson()) > 0;
}

Truth Truth::load(const QString& jsonPath, QString* error)
{
    Truth t;
    QFile f(jsonPath);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open ") + jsonPath;
        return t;
    }
    QJsonParseError parseError;
    const QJsonObject root = QJsonDocument::fromJson(f.readAll(), &parseError).object();
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = jsonPath + QStringLiteral(": ") + parseError.errorString();
        return t;
    }
    t.name = root[QStringLiteral("name")].toString();
    t.title = root[QStringLiteral("title")].toString();
    t.runningHead = root[QStringLiteral("runningHead")].toString();
    t.pageNumbers = root[QStringLiteral("pageNumbers")].toBool();
    t.readingOrder = strings(root[QStringLiteral("readingOrder")]);
    t.placedTexts = strings(root[QStringLiteral("placedTexts")]);
    for (const QJsonValue& v : root[QStringLiteral("pages")].toArray())
        t.pages << TruthPage{v[QStringLiteral("width")].toDouble(), v[QStringLiteral("height")].toDouble()};
    for (const QJsonValue& v : root[QStringLiteral("paragraphs")].toArray()) {
        TruthParagraph p;
        p.text = v[QStringLiteral("text")].toString();
        p.page = v[QStringLiteral("page")].toInt();
        p.align = alignFromName(v[QStringLiteral("align")].toString());
        p.judgeAlignment = v[QStringLiteral("judgeAlignment")].toBool();
        p.judgeIndents = v[QStringLiteral("judgeIndents")].toBool();
        p.leftIndent = v[QStringLiteral("leftIndent")].toDouble();
        p.rightIndent = v[QStringLiteral("rightIndent")].toDouble();
        p.firstLine = v[QStringLiteral("firstLine")].toDouble();
        p.headingLevel = v[QStringLiteral("headingLevel")].toInt();
        p.lineSpacing = v[QStringLiteral("lineSpacing")].toDouble(1.0);
        p.gapBefore = v[QStringLiteral("gapBefore")].toDouble(-1);
        p.lines = v[QStringLiteral("lines")].toInt(1);
        p.listLevel = v[QStringLiteral("listLevel")].toInt(-1);
        p.listFormat = v[QStringLiteral("listFormat")].toString();
        p.listLabel = v[QStringLiteral("listLabel")].toString();
        t.paragraphs << p;
    }
    for (const QJsonValue& v : root[QStringLiteral("runs")].toArray()) {
        TruthRun r;
        r.text = v[QStringLiteral("text")].toString();
        r.paragraph = v[QStringLiteral("paragraph")].toInt();
        r.families = strings(v[QStringLiteral("families")]);
        r.eastAsianFamilies = strings(v[QStringLiteral("eastAsianFamilies")]);
        r.cjk = v[QStringLiteral("cjk")].toBool();
        r.size = v[QStringLiteral("size")].toDouble();
        r.altSize = v[QStringLiteral("altSize")].toDouble();
        r.bold = v[QStringLiteral("bold")].toBool();
        r.italic = v[QStringLiteral("italic")].toBool();
        r.smallCaps = v[QStringLiteral("smallCaps")].toBool();
        r.color = QColor(v[QStringLiteral("color")].toString());
        r.position = positionFromName(v[QStringLiteral("position")].toString());
        t.runs << r;
    }
    for (const QJsonValue& v : root[QStringLiteral("links")].toArray())
        t.links << TruthLink{v[QStringLiteral("text")].toString(), v[QStringLiteral("paragraph")].toInt(-1), v[QStringLiteral("href")].toString()};
    for (const QJsonValue& v : root[QStringLiteral("footnotes")].toArray())
        t.footnotes << TruthFootnote{v[QStringLiteral("mark")].toString(), v[QStringLiteral("text")].toString(),
                                     v[QStringLiteral("paragraph")].toInt(-1), v[QStringLiteral("before")].toString()};
    return t;
}

} // namespace fmt

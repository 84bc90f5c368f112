// The writer's files as LibreOffice reads them: text in order, and the
// formatting it makes of them (converted to flat ODF and parsed): fonts,
// sizes, weights, colours, positions, alignment, indents, spacing, headings,
// page layouts of the sections, headers and footers with page numbers, title;
// inline pictures in place, at their size, with their images and cropping;
// paragraph shading; tables with their rows, cells, merges, header rows,
// column widths, borders and shading, in their places between the paragraphs;
// lists with their levels, formats and labels, footnotes, links, bookmarks and
// even pages' heads and feet.
#include "ExternalReaders.h"
#include "FodtDocument.h"
#include "SampleDocuments.h"
#include "doc/DocWriter.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <map>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool near(double actual, double expected) { return qAbs(actual - expected) < 0.01; }

// Displayed sizes must come back within 2 %.
constexpr double kSizeTolerance = 0.02;
bool within(double actual, double expected, double tolerance = kSizeTolerance)
{
    return qAbs(actual - expected) <= tolerance * qAbs(expected);
}

constexpr int kManyPictures = 500;
constexpr qsizetype kBlipHeaderBytes = 17; // OfficeArtBlipJPEG: rgbUid1, tag
const QString kMany = QStringLiteral("many");
const QString kLarge = QStringLiteral("large");

pwt::Document sampleNamed(const QString& name)
{
    if (name == kMany)
        return sample::manyPictures(kManyPictures);
    if (name == kLarge)
        return sample::largeTables();
    for (const sample::Named& s : sample::kSamples)
        if (name == QLatin1String(s.name))
            return s.make();
    return {};
}

// A table cell as LibreOffice should show it: a cell with its text and
// spans, or the place of one covered by a merged cell.
struct ExpectedCell {
    QString text;
    int columnsSpanned = 1;
    int rowsSpanned = 1;
    bool covered = false;
    const pwt::TableCell* cell = nullptr;
};

QString cellText(const pwt::TableCell& cell)
{
    QStringList paragraphs;
    for (const pwt::Paragraph& p : cell.paragraphs) {
        QString text;
        for (const pwt::Run& r : p.runs)
            text += QString::fromStdU16String(r.text);
        paragraphs << text;
    }
    return paragraphs.join(QLatin1Char('\n'));
}

// The table on the grid of all its rows' cell edges: each row's cells, and
// the grid's column widths in inches.
QList<QList<ExpectedCell>> expectedGrid(const pwt::Table& t, QList<double>& widths)
{
    QList<int> edges{0};
    for (const pwt::TableRow& row : t.rows) {
        int x = 0;
        for (const pwt::TableCell& c : row.cells)
            edges << (x += c.width);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    for (qsizetype i = 1; i < edges.size(); ++i)
        widths << (edges[i] - edges[i - 1]) / 1440.0;

    QList<QList<ExpectedCell>> grid;
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        QList<ExpectedCell>& row = grid.emplaceBack();
        int x = 0;
        for (std::size_t c = 0; c < t.rows[r].cells.size(); ++c) {
            const pwt::TableCell& cell = t.rows[r].cells[c];
            const auto span = static_cast<int>(std::count_if(edges.begin(), edges.end(), [&](int e) { return e > x && e <= x + cell.width; }));
            int rows = 1;
            if (cell.verticalMerge == pwt::VerticalMerge::Restart)
                for (std::size_t below = r + 1; below < t.rows.size(); ++below) {
                    int bx = 0;
                    bool continues = false;
                    for (const pwt::TableCell& b : t.rows[below].cells) {
                        continues = continues || (bx == x && b.verticalMerge == pwt::VerticalMerge::Continue);
                        bx += b.width;
                    }
                    if (!continues)
                        break;
                    ++rows;
                }
            const bool covered = cell.verticalMerge == pwt::VerticalMerge::Continue;
            row << ExpectedCell{covered ? QString() : cellText(cell), covered ? 1 : span, rows, covered, &cell};
            for (int more = 1; more < span; ++more)
                row << ExpectedCell{QString(), 1, 1, true, nullptr};
            x += cell.width;
        }
    }
    return grid;
}

QString plainText(const pwt::Paragraph& p)
{
    QString text;
    for (const pwt::Run& r : p.runs)
        if (r.footnote < 0 && !r.pageNumberField)
            text += QString::fromStdU16String(r.text);
    return text;
}

// LibreOffice's name of a number format (style:num-format).
QString numFormatName(pwt::NumberFormat format)
{
    switch (format) {
    case pwt::NumberFormat::Bullet: return {};
    case pwt::NumberFormat::Decimal: return QStringLiteral("1");
    case pwt::NumberFormat::LowerLetter: return QStringLiteral("a");
    case pwt::NumberFormat::UpperLetter: return QStringLiteral("A");
    case pwt::NumberFormat::LowerRoman: return QStringLiteral("i");
    case pwt::NumberFormat::UpperRoman: return QStringLiteral("I");
    case pwt::NumberFormat::ChineseCounting: return QStringLiteral("一, 二, 三, ...");
    }
    return {};
}

// A level's label as LibreOffice writes its pattern: "%1.%2" -> "%1%.%2%".
QString labelFormat(const std::u16string& label)
{
    return QString::fromStdU16String(label).replace(QRegularExpression(QStringLiteral("%([1-9])")), QStringLiteral("%\\1%"));
}

QImage decoded(const QByteArray& bytes) { return QImage::fromData(bytes).convertToFormat(QImage::Format_ARGB32); }

// fo:clip="rect(top, right, bottom, left)" as inches.
QList<double> clipInches(const QString& clip)
{
    QList<double> sides;
    const auto match = QRegularExpression(QStringLiteral("rect\\((.*)\\)")).match(clip);
    for (const QString& side : match.captured(1).split(QLatin1Char(','), Qt::SkipEmptyParts))
        sides << fodt::inches(side.trimmed());
    return sides;
}

} // namespace

class TestDocLibreOffice : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QMap<QString, fodt::Document> odt_;

    QString path(const QString& name, const char* suffix) const
    {
        return dir_.filePath(name + QString::fromLatin1(suffix));
    }

    const fodt::Paragraph& paragraph(const QString& doc, const QString& text)
    {
        static const fodt::Paragraph none;
        const fodt::Paragraph* p = odt_[doc].find(text);
        if (!p)
            qWarning("no paragraph \"%s\" in %s", qPrintable(text), qPrintable(doc));
        return p ? *p : none;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        std::string reason;
        QStringList docs = sample::writeAll(dir_.path(), &reason);
        QVERIFY2(reason.empty(), reason.c_str());
        for (const QString& extra : {kMany, kLarge}) {
            docs << path(extra, ".doc");
            QCOMPARE(pwt::doc::writeWordDocument(sampleNamed(extra), docs.last().toStdString()), std::string());
        }
        const QString profile = dir_.filePath(QStringLiteral("lo-profile"));
        for (const char* format : {"fodt", "txt:Text"}) {
            const auto out = readers::libreOfficeConvert(docs, QString::fromLatin1(format), dir_.path(), profile);
            QVERIFY2(out.ok(), qPrintable(out.err));
        }
        QStringList names{kMany, kLarge};
        for (const sample::Named& s : sample::kSamples)
            names << QString::fromLatin1(s.name);
        for (const QString& name : names) {
            odt_[name] = fodt::read(path(name, ".fodt"));
            QVERIFY2(odt_[name].error.isEmpty(), qPrintable(odt_[name].error));
        }
    }

    void textComesBackInOrder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("paragraphs");
        for (const sample::Named& s : sample::kSamples)
            QTest::newRow(s.name) << QString::fromLatin1(s.name) << sample::bodyTexts(s.make());
    }

    void textComesBackInOrder()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, paragraphs);
        QFile txt(path(name, ".txt"));
        QVERIFY(txt.open(QIODevice::ReadOnly));
        QStringList shown = paragraphs;
        shown.removeAll(QString()); // the text export leaves out blank lines
        // It sets list labels and note marks on the lines of their paragraphs.
        const QStringList lines = readers::lines(QString::fromUtf8(txt.readAll()));
        const QString missing = sampleNamed(name).lists.empty() ? readers::missingInOrder(shown, lines)
                                                                 : readers::missingInOrderWithinLines(shown, lines);
        QVERIFY2(missing.isEmpty(), qPrintable(missing));

        // the flat ODF body has exactly these paragraphs, besides those of pictures
        QStringList body;
        for (const fodt::Paragraph& p : odt_[name].body)
            if (p.frames.isEmpty() || !p.text.isEmpty())
                body << p.text;
        QCOMPARE(body, paragraphs);
    }

    void picturesComeBackInPlaceSizeAndContent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("pictured") << QStringLiteral("pictured");
        QTest::newRow("500 pictures") << kMany;
    }

    void picturesComeBackInPlaceSizeAndContent()
    {
        QFETCH(QString, name);
        const pwt::Document d = sampleNamed(name);
        QStringList order;
        QList<fodt::Frame> frames;
        for (const fodt::Paragraph& p : odt_[name].body) {
            if (!p.frames.isEmpty())
                order << QStringLiteral("pictures:%1").arg(p.frames.size());
            if (p.frames.isEmpty() || !p.text.isEmpty())
                order << p.text;
            frames += p.frames;
        }
        QCOMPARE(order, sample::readingOrder(d));

        const QList<sample::ShownPicture> expected = sample::shownPictures(d);
        QCOMPARE(frames.size(), expected.size());
        for (qsizetype i = 0; i < frames.size(); ++i) {
            const fodt::Frame& f = frames[i];
            const sample::ShownPicture& e = expected[i];
            const QString which = QStringLiteral("picture %1: %2 x %3 in").arg(i).arg(f.width).arg(f.height);
            QCOMPARE(f.anchor, QStringLiteral("as-char"));
            QVERIFY2(within(f.width * 1440, e.width) && within(f.height * 1440, e.height), qPrintable(which));
            const QByteArray original(reinterpret_cast<const char*>(e.image->bytes.data()),
                                      static_cast<qsizetype>(e.image->bytes.size()));
            // LibreOffice keeps the JPEG file as it was, but takes the BLIP
            // record's length for the file's: the BLIP header's worth of the
            // bytes after it come along, past the JPEG's end marker.
            if (e.image->format == pwt::ImageFormat::Jpeg)
                QVERIFY2(f.image.startsWith(original) && f.image.size() - original.size() <= kBlipHeaderBytes,
                         qPrintable(which + QStringLiteral(": JPEG bytes differ")));
            else
                QVERIFY2(!decoded(f.image).isNull() && decoded(f.image) == decoded(original),
                         qPrintable(which + QStringLiteral(": PNG pixels differ")));
        }
    }

    void croppingIsKept()
    {
        const pwt::Document d = sample::pictured();
        const QList<sample::ShownPicture> expected = sample::shownPictures(d);
        QList<fodt::Frame> frames;
        for (const fodt::Paragraph& p : odt_[QStringLiteral("pictured")].body)
            frames += p.frames;
        QCOMPARE(frames.size(), expected.size());
        int cropped = 0;
        for (qsizetype i = 0; i < frames.size(); ++i) {
            const QString clip = odt_[QStringLiteral("pictured")].styles.value(frames[i].style).graphic.value(QStringLiteral("fo:clip"));
            const sample::ShownPicture& e = expected[i];
            if (e.cropLeft + e.cropTop + e.cropRight + e.cropBottom == 0) {
                QVERIFY2(clip.isEmpty() || clipInches(clip) == QList<double>({0, 0, 0, 0}), qPrintable(clip));
                continue;
            }
            ++cropped;
            // The clip is measured on the image at its own size (its pixels at its resolution).
            const QImage image = QImage::fromData(frames[i].image);
            const double imageWidth = image.width() / (image.dotsPerMeterX() * 0.0254);
            const double imageHeight = image.height() / (image.dotsPerMeterY() * 0.0254);
            const QList<double> sides = clipInches(clip);
            QCOMPARE(sides.size(), 4);
            const double shares[] = {sides[0] / imageHeight, sides[1] / imageWidth, sides[2] / imageHeight,
                                     sides[3] / imageWidth};
            const double wanted[] = {e.cropTop, e.cropRight, e.cropBottom, e.cropLeft};
            for (int k = 0; k < 4; ++k)
                QVERIFY2(qAbs(shares[k] - wanted[k]) < 0.01, qPrintable(clip));
        }
        QCOMPARE(cropped, 1);
    }

    void shadingColours()
    {
        const QString doc = QStringLiteral("pictured");
        const fodt::Document& d = odt_[doc];
        QCOMPARE(d.paragraphProperty(paragraph(doc, QStringLiteral("A shaded paragraph between the pictures.")),
                                     QStringLiteral("fo:background-color")),
                 QStringLiteral("#fff2cc"));
        const QString plain = d.paragraphProperty(paragraph(doc, QStringLiteral("Text after the first picture.")),
                                                  QStringLiteral("fo:background-color"));
        QVERIFY2(plain.isEmpty() || plain == QLatin1String("transparent"), qPrintable(plain));
        // The figure of two pictures side by side is shaded too, and centred.
        for (const fodt::Paragraph& p : d.body)
            if (p.frames.size() == 2) {
                QCOMPARE(d.paragraphProperty(p, QStringLiteral("fo:background-color")), QStringLiteral("#ddebf7"));
                QCOMPARE(d.paragraphProperty(p, QStringLiteral("fo:text-align")), QStringLiteral("center"));
            }
    }

    void pageBreaksStartTheRightParagraphs()
    {
        for (const char* name : {"english", "chinese"}) {
            const fodt::Document& d = odt_[QString::fromLatin1(name)];
            for (const fodt::Paragraph& p : d.body) {
                const bool expected = sample::pageStarts(name == QLatin1String("english") ? sample::english()
                                                                                        : sample::chinese())
                                          .contains(p.text);
                QCOMPARE(d.paragraphProperty(p, QStringLiteral("fo:break-before")) == QLatin1String("page"), expected);
            }
        }
    }

    void characterFormats()
    {
        const QString doc = QStringLiteral("formatted");
        const fodt::Document& d = odt_[doc];
        auto prop = [&](const char* text, const char* name) {
            return d.textProperty(paragraph(doc, QString::fromUtf8(text)), QString::fromLatin1(name));
        };
        QCOMPARE(prop("Bold words here", "fo:font-weight"), QStringLiteral("bold"));
        QCOMPARE(prop("Italic words here", "fo:font-weight"), QStringLiteral("normal"));
        QCOMPARE(prop("Italic words here", "fo:font-style"), QStringLiteral("italic"));
        QCOMPARE(prop("Bold words here", "fo:font-style"), QStringLiteral("normal"));
        QCOMPARE(prop("Large eighteen point", "fo:font-size"), QStringLiteral("18pt"));
        QCOMPARE(prop("Bold words here", "fo:font-size"), QStringLiteral("12pt"));
        QCOMPARE(prop("Red coloured text", "fo:color"), QStringLiteral("#cc0000"));
        QVERIFY(prop("Raised superscript", "style:text-position").startsWith(QLatin1String("super")) ||
                prop("Raised superscript", "style:text-position").startsWith(QLatin1String("33%")));
        QVERIFY(prop("Lowered subscript", "style:text-position").startsWith(QLatin1String("sub")) ||
                prop("Lowered subscript", "style:text-position").startsWith(QLatin1String("-33%")));
        QVERIFY(prop("Bold words here", "style:text-position").isEmpty());
        QCOMPARE(prop("Small capitals text", "fo:font-variant"), QStringLiteral("small-caps"));
        QVERIFY(prop("Arial with 黑体 Chinese", "style:font-name").startsWith(QLatin1String("Arial")));
        QVERIFY(prop("Arial with 黑体 Chinese", "style:font-name-asian").startsWith(QLatin1String("SimHei")));
        QVERIFY(prop("Bold words here", "style:font-name").startsWith(QLatin1String("Times New Roman")));

        const fodt::Document& zh = odt_[QStringLiteral("chinese")];
        const fodt::Paragraph& first = paragraph(QStringLiteral("chinese"), QStringLiteral("第一段：这是中文文本的转换测试。"));
        QVERIFY(zh.textProperty(first, QStringLiteral("style:font-name-asian")).startsWith(QLatin1String("SimSun")));
    }

    void paragraphFormats()
    {
        const QString doc = QStringLiteral("formatted");
        const fodt::Document& d = odt_[doc];
        auto prop = [&](const char* text, const char* name) {
            return d.paragraphProperty(paragraph(doc, QString::fromUtf8(text)), QString::fromLatin1(name));
        };
        QCOMPARE(prop("Centred paragraph", "fo:text-align"), QStringLiteral("center"));
        QCOMPARE(prop("Right aligned paragraph", "fo:text-align"), QStringLiteral("end"));
        QCOMPARE(prop("Justified paragraph", "fo:text-align"), QStringLiteral("justify"));
        // A contents entry's page number at a right tab stop five inches in, with dot leaders.
        const QStringList stop = prop("Contents entry\t12", "tab-stops").split(QLatin1Char(' '));
        QCOMPARE(stop.size(), 3);
        QCOMPARE(stop[0], QStringLiteral("right"));
        QVERIFY2(near(fodt::inches(stop[1]), 5.0), qPrintable(stop[1]));
        QCOMPARE(stop[2], QStringLiteral("."));
        QVERIFY(prop("Bold words here", "fo:text-align").isEmpty() ||
                prop("Bold words here", "fo:text-align") == QLatin1String("start"));

        QVERIFY(near(fodt::inches(prop("Indented paragraph", "fo:margin-left")), 0.5));
        QVERIFY(near(fodt::inches(prop("Indented paragraph", "fo:margin-right")), 0.25));
        QVERIFY(near(fodt::inches(prop("Indented paragraph", "fo:text-indent")), 0.25));
        QVERIFY(near(fodt::inches(prop("Hanging indent paragraph", "fo:margin-left")), 1.0));
        QVERIFY(near(fodt::inches(prop("Hanging indent paragraph", "fo:text-indent")), -0.5));
        QVERIFY(near(fodt::inches(prop("Spaced paragraph", "fo:margin-top")), 240.0 / 1440));
        QVERIFY(near(fodt::inches(prop("Spaced paragraph", "fo:margin-bottom")), 120.0 / 1440));
        QCOMPARE(prop("Spaced paragraph", "fo:line-height"), QStringLiteral("150%"));
    }

    void headingsKeepTheirLevels()
    {
        const QString doc = QStringLiteral("formatted");
        const char* names[] = {"Heading level one", "Heading level two", "Heading level three"};
        for (int level = 1; level <= 3; ++level) {
            const fodt::Paragraph& h = paragraph(doc, QString::fromLatin1(names[level - 1]));
            QVERIFY2(h.heading, names[level - 1]);
            QCOMPARE(h.outlineLevel, QString::number(level));
            QString style = h.style;
            while (odt_[doc].styles.contains(style) && !style.startsWith(QLatin1String("Heading_20_")))
                style = odt_[doc].styles[style].parent;
            QCOMPARE(style, QStringLiteral("Heading_20_%1").arg(level));
            QCOMPARE(odt_[doc].textProperty(h, QStringLiteral("fo:font-weight")), QStringLiteral("bold"));
        }
        QVERIFY(!paragraph(doc, QStringLiteral("Bold words here")).heading);
    }

    void sectionsHavePageLayoutsHeadersAndFooters()
    {
        const QString doc = QStringLiteral("sectioned");
        const fodt::Document& d = odt_[doc];
        const fodt::Paragraph& second = paragraph(doc, QStringLiteral("Landscape section text."));
        const QString landscapeName = d.masterPageOf(second);
        QVERIFY2(!landscapeName.isEmpty(), "the second section starts a page style of its own");
        const fodt::MasterPage* portrait = d.masterPageNamed(d.masterPageOf(d.body.first()).isEmpty()
                                                                 ? QStringLiteral("Standard")
                                                                 : d.masterPageOf(d.body.first()));
        const fodt::MasterPage* landscape = d.masterPageNamed(landscapeName);
        QVERIFY(portrait && landscape && portrait != landscape);

        const fodt::Properties p = d.pageLayouts.value(portrait->layout);
        QVERIFY(near(fodt::inches(p.value(QStringLiteral("fo:page-width"))), 11906.0 / 1440));
        QVERIFY(near(fodt::inches(p.value(QStringLiteral("fo:page-height"))), 16838.0 / 1440));
        QCOMPARE(p.value(QStringLiteral("style:print-orientation")), QStringLiteral("portrait"));
        QVERIFY(near(fodt::inches(p.value(QStringLiteral("fo:margin-left"))), 1800.0 / 1440));
        const fodt::Properties l = d.pageLayouts.value(landscape->layout);
        QVERIFY(near(fodt::inches(l.value(QStringLiteral("fo:page-width"))), 16838.0 / 1440));
        QVERIFY(near(fodt::inches(l.value(QStringLiteral("fo:page-height"))), 11906.0 / 1440));
        QCOMPARE(l.value(QStringLiteral("style:print-orientation")), QStringLiteral("landscape"));
        QVERIFY(near(fodt::inches(l.value(QStringLiteral("fo:margin-left"))), 1.0));
        // The landscape section numbers its pages from 7, the portrait one goes on.
        QCOMPARE(d.paragraphProperty(second, QStringLiteral("style:page-number")), QStringLiteral("7"));
        QVERIFY(d.paragraphProperty(d.body.first(), QStringLiteral("style:page-number")).isEmpty()
                || d.paragraphProperty(d.body.first(), QStringLiteral("style:page-number")) == QLatin1String("auto"));

        QCOMPARE(portrait->header.size(), 1);
        QCOMPARE(portrait->header[0].text, QStringLiteral("Running head 页眉"));
        QCOMPARE(landscape->header.size(), 1);
        QCOMPARE(landscape->header[0].text, QStringLiteral("Landscape head"));
        for (const fodt::MasterPage* m : {portrait, landscape}) {
            QCOMPARE(m->footer.size(), 1);
            QVERIFY2(m->footer[0].hasPageNumber, "the footer holds a page-number field");
            QVERIFY(m->footer[0].text.startsWith(QLatin1String("Page ")));
        }
    }

    void tablesComeBackAsTables_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("tables") << QStringLiteral("tables");
        QTest::newRow("300 rows, 63 cells") << kLarge;
    }

    void tablesComeBackAsTables()
    {
        QFETCH(QString, name);
        const pwt::Document d = sampleNamed(name);
        const pwt::Section& s = d.sections.front();
        const fodt::Document& o = odt_[name];
        QCOMPARE(o.tables.size(), static_cast<qsizetype>(s.tables.size()));

        // In place: the tables, the paragraphs and the figure in reading order.
        QStringList order;
        qsizetype next = 0;
        for (int i = 0; i <= o.body.size(); ++i) {
            for (; next < o.tables.size() && o.tables[next].bodyParagraphsBefore == i; ++next)
                order << QStringLiteral("table:%1").arg(next);
            if (i == o.body.size())
                break;
            const fodt::Paragraph& p = o.body[i];
            if (!p.frames.isEmpty())
                order << QStringLiteral("pictures:%1").arg(p.frames.size());
            if (p.frames.isEmpty() || !p.text.isEmpty())
                order << p.text;
        }
        QCOMPARE(order, sample::readingOrder(d));

        for (qsizetype ti = 0; ti < o.tables.size(); ++ti) {
            const fodt::Table& got = o.tables[ti];
            const pwt::Table& t = s.tables[static_cast<std::size_t>(ti)];
            QList<double> widths;
            const QList<QList<ExpectedCell>> grid = expectedGrid(t, widths);
            QCOMPARE(got.rows.size(), grid.size());
            QCOMPARE(o.styles.value(got.style).table.value(QStringLiteral("fo:break-before")) == QLatin1String("page"),
                     t.pageBreakBefore);
            QCOMPARE(got.columnWidths.size(), widths.size());
            for (qsizetype c = 0; c < widths.size(); ++c)
                QVERIFY2(within(got.columnWidths[c], widths[c]),
                         qPrintable(QStringLiteral("table %1 column %2: %3 in").arg(ti).arg(c).arg(got.columnWidths[c])));
            bool leading = true;
            for (qsizetype r = 0; r < grid.size(); ++r) {
                leading = leading && t.rows[static_cast<std::size_t>(r)].header;
                QCOMPARE(got.rows[r].header, leading);
                QCOMPARE(got.rows[r].cells.size(), grid[r].size());
                for (qsizetype c = 0; c < grid[r].size(); ++c) {
                    const fodt::TableCell& cell = got.rows[r].cells[c];
                    const ExpectedCell& e = grid[r][c];
                    const QString where = QStringLiteral("table %1 row %2 cell %3").arg(ti).arg(r).arg(c);
                    QVERIFY2(cell.covered == e.covered, qPrintable(where));
                    if (e.covered)
                        continue;
                    QCOMPARE(cell.text, e.text);
                    QVERIFY2(cell.columnsSpanned == e.columnsSpanned && cell.rowsSpanned == e.rowsSpanned, qPrintable(where));
                    for (const char* side : {"top", "left", "bottom", "right"}) {
                        const pwt::CellBorder& b = *std::map<std::string, const pwt::CellBorder*>{
                            {"top", &e.cell->top}, {"left", &e.cell->left}, {"bottom", &e.cell->bottom},
                            {"right", &e.cell->right}}.at(side);
                        const QString border = o.cellBorder(cell, QString::fromLatin1(side));
                        const QString described = where + QLatin1Char(' ') + QString::fromLatin1(side) + QLatin1Char(' ') + border;
                        QVERIFY2(o.cellHasBorder(cell, QString::fromLatin1(side)) == (b.width > 0), qPrintable(described));
                        QVERIFY2(b.width == 0 || border.endsWith(QStringLiteral("#%1").arg(b.rgb, 6, 16, QLatin1Char('0'))),
                                 qPrintable(described));
                    }
                    const QString background = o.cellProperty(cell, QStringLiteral("fo:background-color"));
                    if (e.cell->shaded)
                        QCOMPARE(background, QStringLiteral("#%1").arg(e.cell->shadingRgb, 6, 16, QLatin1Char('0')));
                    else
                        QVERIFY2(background.isEmpty() || background == QLatin1String("transparent"), qPrintable(where + background));
                    if (!cell.paragraphs.isEmpty() && !e.cell->paragraphs.empty() && !e.cell->paragraphs[0].runs.empty())
                        QCOMPARE(o.textProperty(cell.paragraphs[0], QStringLiteral("fo:font-weight")) == QLatin1String("bold"),
                                 e.cell->paragraphs[0].runs[0].format.bold);
                }
            }
        }
    }

    // Every paragraph of the sample is a list item of the right list, at its
    // level, with its level's number format and label, or no list item at all.
    void listItemsComeBackAsLists()
    {
        const pwt::Document model = sample::structured();
        const fodt::Document& d = odt_[QStringLiteral("structured")];
        QMap<int, QString> styleOfList; // model list -> LibreOffice's list style
        int items = 0;
        for (const pwt::Paragraph& p : model.sections.front().paragraphs) {
            const fodt::Paragraph* seen = d.find(plainText(p));
            QVERIFY2(seen, qPrintable(plainText(p)));
            const fodt::ListInfo& list = seen->list;
            if (p.format.list < 0) {
                QCOMPARE(list.level, -1);
                continue;
            }
            ++items;
            const pwt::ListLevel& level = model.lists[static_cast<std::size_t>(p.format.list)].levels[static_cast<std::size_t>(p.format.listLevel)];
            QCOMPARE(list.level, p.format.listLevel);
            if (!styleOfList.contains(p.format.list))
                styleOfList.insert(p.format.list, list.style);
            QCOMPARE(list.style, styleOfList.value(p.format.list)); // one list, also after the page break
            QCOMPARE(list.numFormat, numFormatName(level.format));
            if (level.format == pwt::NumberFormat::Bullet)
                QCOMPARE(list.bulletChar, QString::fromStdU16String(level.label));
            else
                QCOMPARE(list.labelFormat, labelFormat(level.label));
        }
        QCOMPARE(items, 11);
        QCOMPARE(QSet<QString>(styleOfList.begin(), styleOfList.end()).size(), 4); // four lists, four styles
    }

    // The labels as LibreOffice shows them, nested numbers and Chinese
    // counting included, and numbering going on after a page break.
    void listLabelsShow_data()
    {
        QTest::addColumn<QString>("line");
        for (const char* line : {"1. Numbered item one", "1.1 Numbered nested item", "2. Numbered item two",
                                 "a) Lettered item", "一、 中文列表第一项", "（1） 中文列表子项", "二、 中文列表第二项",
                                 "3. Numbered item three", "• Bullet item one"})
            QTest::newRow(line) << QString::fromUtf8(line);
    }

    void listLabelsShow()
    {
        QFETCH(QString, line);
        QFile txt(path(QStringLiteral("structured"), ".txt"));
        QVERIFY(txt.open(QIODevice::ReadOnly));
        QVERIFY2(readers::lines(QString::fromUtf8(txt.readAll())).contains(line), qPrintable(line));
    }

    // Footnotes with their marks (numbers Word counts, a symbol) and texts,
    // their citations where the marks stood, one of them in a table cell.
    void footnotesComeBackAsNotes()
    {
        const fodt::Document& d = odt_[QStringLiteral("structured")];
        struct Expected {
            const char* citation;
            const char* text;
            const char* paragraph; // "": a table cell's
        };
        const Expected expected[] = {{"1", "First note text.", "A sentence with a numbered note"},
                                     {"2", "Second note text, see the notes site", "A second numbered note on the same page"},
                                     {"*", "Symbol note text.", "A note with a symbol mark"},
                                     {"3", "Note in a table cell.", ""}};
        QCOMPARE(d.footnotes.size(), std::size(expected));
        for (qsizetype i = 0; i < d.footnotes.size(); ++i) {
            const fodt::Note& note = d.footnotes[i];
            const Expected& e = expected[i];
            QCOMPARE(note.citation, QString::fromLatin1(e.citation));
            QCOMPARE(note.text, QString::fromLatin1(e.text));
            if (*e.paragraph == 0) {
                QCOMPARE(note.paragraph, -1);
                continue;
            }
            QVERIFY(note.paragraph >= 0);
            QCOMPARE(d.paragraph(note.paragraph).text, QString::fromLatin1(e.paragraph));
            QCOMPARE(note.offset, d.paragraph(note.paragraph).text.size());
        }
        QCOMPARE(d.tables.size(), 1);
        QCOMPARE(d.tables.first().rows.first().cells.first().text, QStringLiteral("Cell with a note"));
    }

    // Links keep their targets and their runs' formats; addresses that
    // could reach into the reader's machine stay plain text. Bookmarks stand
    // at their paragraphs' starts under valid, unique names.
    void linksAndBookmarks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("href");
        QTest::newRow("web") << "the example site" << "https://example.org/a%20b?q=%221%22&r=%5C2";
        QTest::newRow("mail, bold run") << "bold part" << "mailto:someone@example.org";
        QTest::newRow("mail, italic run") << " italic part" << "mailto:someone@example.org";
        QTest::newRow("bookmark") << "the target heading" << "#target_2";
        QTest::newRow("file") << "a local file" << "";
        QTest::newRow("script") << "a script" << "";
        QTest::newRow("bad bookmark name") << "a bad bookmark" << "";
    }

    void linksAndBookmarks()
    {
        QFETCH(QString, text);
        QFETCH(QString, href);
        const fodt::Document& d = odt_[QStringLiteral("structured")];
        const int at = d.findContaining(text);
        QVERIFY(at >= 0);
        QString seen;
        for (const fodt::Span& span : d.paragraph(at).spans)
            if (span.text.contains(text.trimmed()))
                seen = span.href;
        QCOMPARE(seen, href);
        if (text == QLatin1String("bold part")) {
            QVERIFY(d.formatOf(QStringLiteral("bold part")).bold);
            QVERIFY(d.formatOf(QStringLiteral("italic part")).italic && !d.formatOf(QStringLiteral("italic part")).bold);
        }
        QCOMPARE(d.find(QStringLiteral("Lists, notes and links follow."))->bookmarks, QStringList{QStringLiteral("top")});
        QCOMPARE(d.find(QStringLiteral("Target heading"))->bookmarks, QStringList{QStringLiteral("target_2")});
    }

    // Even pages take heads and feet of their own in the same page style;
    // documents without them get none.
    void evenPagesHaveTheirOwnHeadsAndFeet()
    {
        const fodt::Document& d = odt_[QStringLiteral("structured")];
        QCOMPARE(d.masterPages.size(), 1);
        const fodt::MasterPage& m = d.masterPages.first();
        QCOMPARE(m.header.size(), 1);
        QCOMPARE(m.header.first().text, QStringLiteral("Odd page head"));
        QCOMPARE(m.headerLeft.size(), 1);
        QCOMPARE(m.headerLeft.first().text, QStringLiteral("Even page head"));
        QCOMPARE(m.footerLeft.size(), 1);
        QVERIFY(m.footerLeft.first().text.startsWith(QLatin1String("Even foot ")));
        QVERIFY(m.footerLeft.first().hasPageNumber && m.footer.first().hasPageNumber);
        for (const fodt::MasterPage& other : odt_[QStringLiteral("sectioned")].masterPages)
            QVERIFY(other.headerLeft.isEmpty() && other.footerLeft.isEmpty());
    }

    void titleReachesTheMetadata()
    {
        QCOMPARE(odt_[QStringLiteral("sectioned")].title, QStringLiteral("转换测试 Section Title"));
        QVERIFY(odt_[QStringLiteral("english")].title.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDocLibreOffice)
#include "tst_docwriter_libreoffice.moc"

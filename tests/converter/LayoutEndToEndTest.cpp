// The layout rules through real PDFs: pages drawn with Qt's PDF writer (real
// fonts, poppler's own word boxes), converted by the real pwt and read back
// through LibreOffice's flat ODF. The rules themselves are tested on synthetic
// lines in LayoutTest.cpp; these check that they hold on the way through.
#include "FodtDocument.h"
#include "PdfComposer.h"
#include "PictureSample.h"
#include "TableSample.h"

#include <QMap>
#include <numeric>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace fmt;

namespace {

// The pwt under test; PWT names another build (an older one, say) to compare.
QString pwtPath() { return qEnvironmentVariable("PWT", QStringLiteral(PWT_PATH)); }

bool run(const QString& program, const QStringList& args, QString* output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(300000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The text column of every sample: the composer's default on A4.
constexpr double kRightEdge = 72 + 451;

ParagraphRequest justified(const QString& text) { return plain(text, serif(), Align::Justify); }

// Dot leaders from `from` to `to` on a grid of their own, as typesetters set
// them, so that they line up down the page.
void leaders(PdfComposer& pdf, double from, double to, double baseline, const TextStyle& style)
{
    const double pitch = 5;
    for (double x = std::ceil((from + 4) / pitch) * pitch; x + 4 <= to; x += pitch)
        pdf.textAt(x, baseline, QStringLiteral("."), style);
}

// Contents: entries with dot leaders (one too long for its line), then
// entries whose numbers stand far right without leaders.
void drawContents(const QString& path)
{
    PdfComposer pdf(path, QStringLiteral("Contents"));
    const TextStyle title = serif(16, true), entry = serif();
    pdf.textAt(72, 100, QStringLiteral("Contents"), title);
    auto number = [&](double baseline, const QString& n) { pdf.textAt(kRightEdge, baseline, n, entry, Align::Right); };
    auto dotted = [&](double x, double baseline, const QString& text, const QString& n) {
        pdf.textAt(x, baseline, text, entry);
        leaders(pdf, x + pdf.advance(text, entry), kRightEdge - pdf.advance(n, entry), baseline, entry);
        number(baseline, n);
    };
    dotted(72, 130, QStringLiteral("1 Introduction"), QStringLiteral("1"));
    dotted(72, 146, QStringLiteral("2 Reading the page in order"), QStringLiteral("4"));
    pdf.textAt(72, 162, QStringLiteral("3 Notes set in the margin beside a justified column of text, and the reasons why a converter"), entry);
    dotted(92, 178, QStringLiteral("reads them after the text of their page"), QStringLiteral("9"));
    dotted(72, 194, QStringLiteral("4 Sections and their numbers"), QStringLiteral("17"));
    pdf.textAt(72, 240, QStringLiteral("Figures"), title);
    pdf.textAt(72, 270, QStringLiteral("Figure 1 A page of two columns"), entry);
    number(270, QStringLiteral("3"));
    pdf.textAt(72, 286, QStringLiteral("Figure 2 Notes in the margin"), entry);
    number(286, QStringLiteral("12"));
    pdf.textAt(72, 302, QStringLiteral("Figure 3 A contents page"), entry);
    number(302, QStringLiteral("21"));
}

const QString kNotedParagraph = QStringLiteral(
    "Notes in the margin are short remarks that a typesetter places just beside the column of text, level with the line "
    "they refer to. Poppler reads the words of one baseline as one line when the gap between them is small, so such a note "
    "used to land in the middle of a sentence of the paragraph beside it. The converter now sees that the note stands past "
    "the edge where the justified lines end and takes it out of the line, to be read after the text of the page.");
const QString kNextParagraph = QStringLiteral(
    "A second paragraph follows the first one, so that the note must also come after it and not between the two.");
const QString kNote = QStringLiteral("cf. Knuth");

void drawMarginNote(const QString& path)
{
    PdfComposer pdf(path, QStringLiteral("Margin notes"));
    const std::vector<double> baselines = pdf.paragraph(justified(kNotedParagraph));
    pdf.paragraph(justified(kNextParagraph));
    // On the baseline of the paragraph's third line, 10 pt past the column's edge
    // (LaTeX's \marginparsep).
    pdf.textAt(kRightEdge + 10, baselines.at(2), kNote, serif(9));
}

const QString kSpaced = QStringLiteral(
    "This paragraph is set at one and a half line spacing, so poppler sees a gap between each of its lines and the next "
    "and gives each line a block of its own. It must still come out as a single paragraph with all of its words in order.");
// Its lines break inside runs of one size (after "it", inside the capitals,
// after "ends"): a break is judged by the words on either side of it.
const std::vector<Piece> kMixed{
    {QStringLiteral("Sizes change inside this paragraph of eleven point text, which goes on for quite a while before it comes to "
                    "the line that"),
     serif()},
    {QStringLiteral(" mixes small nine point words"), serif(9)},
    {QStringLiteral(" with twelve point words"), serif(12)},
    {QStringLiteral(" AND FOURTEEN POINT CAPITALS"), serif(14)},
    {QStringLiteral(" before going back to eleven points for the rest of the paragraph, which ends on its fourth line."), serif()},
};
const QString kCentred = QStringLiteral(
    "This centred paragraph has lines that nearly fill the column, so each line starts a little to the right of the left "
    "edge and ends a little to the left of the right edge; it must stay one paragraph and keep its centred alignment.");
const QString kClosing = QStringLiteral("A closing paragraph set flush left ends the page.");

void drawParagraphs(const QString& path)
{
    PdfComposer pdf(path, QStringLiteral("Paragraphs"));
    ParagraphRequest spaced = justified(kSpaced);
    spaced.lineSpacing = 1.5;
    spaced.spaceAfter = 14;
    pdf.paragraph(spaced);
    ParagraphRequest mixed = pieces(kMixed, Align::Justify);
    mixed.lineSpacing = 11.0 / 14; // the pitch of its 11 pt lines: the larger words get no room of their own
    pdf.paragraph(mixed);
    pdf.paragraph(plain(kCentred, serif(), Align::Center));
    pdf.paragraph(plain(kClosing));
}

const QString kBoldPhrase = QStringLiteral("加粗的短语");
const std::vector<Piece> kChinese{
    {QStringLiteral("这是一个中文段落，句子中间有一个"), chinese(11)},
    {kBoldPhrase, chinese(11, true)},
    {QStringLiteral("，其余的文字都用常规字体排版，一直写到行尾，并且换到下一行继续写完。"), chinese(11)},
};

void drawChinese(const QString& path)
{
    PdfComposer pdf(path, QStringLiteral("中文"));
    pdf.paragraph(pieces(kChinese, Align::Justify));
}

// A paper: a title page of narrow text, two full pages (the first ending in
// a long note at its foot, the second with a command set out into the left
// margin above a paragraph and a head of its own over the text), a page with
// a title block across two columns and
// a figure and heading at the top of the right column, and a contents page
// in two columns.
const QString kPaperTitle = QStringLiteral("On the Layout of Papers");
const QString kPaperNote = QStringLiteral(
    "A note long enough to take four lines at the foot of the page, where the text above it ends early to make room for "
    "it; the page is as full as the pages around it, and its text runs on to the next page with no break between them, "
    "as the typesetter set it, whatever room the note takes in the word processor, which sets its notes at the foot of "
    "the page as well.");
// Room (points) the note takes at the foot of the page.
constexpr double kPaperNoteRoom = 70;
const QString kOutdented = QStringLiteral("\\setpapersize {size}");
const QString kOwnHead = QStringLiteral("Draft of the second part");
const QString kAcross = QStringLiteral("Two Columns Under One Title");
const QString kRightHeading = QStringLiteral("2 Results");
QStringList paperEntries()
{
    QStringList entries;
    for (int i = 1; i <= 36; ++i)
        entries << QStringLiteral("Entry %1 of the contents").arg(i);
    return entries;
}

QString paperParagraph(const QString& tag, int n)
{
    return QStringLiteral("%1 paragraph %2 runs on for several lines of ordinary prose, set justified in its column as "
                          "papers are, so that the page fills the way the typesetter filled it and no more.")
        .arg(tag)
        .arg(n);
}

void drawPaper(const QString& path)
{
    PdfComposer pdf(path, QStringLiteral("Paper"));
    pdf.textAt(pdf.pageWidth() / 2, 300, kPaperTitle, serif(24, true), Align::Center);
    pdf.textAt(pdf.pageWidth() / 2, 340, QStringLiteral("A. Author"), serif(12), Align::Center);
    const double bottom = pdf.pageHeight() - 72;
    for (int page = 2; page <= 3; ++page) {
        pdf.newPage();
        const bool noted = page == 2;
        if (!noted)
            pdf.textAt(72, 40, kOwnHead, serif(9));
        if (noted)
            pdf.paragraph(pieces({Piece(paperParagraph(QStringLiteral("Page 2"), 0), serif()),
                                  Piece(QStringLiteral("1"), positioned(serif(), Position::Superscript), {}, kPaperNote)},
                                 Align::Justify));
        for (int n = 1; pdf.y() < bottom - 60 - (noted ? kPaperNoteRoom : 0); ++n) {
            if (!noted && n == 2) {
                const double baseline = pdf.y() + 11;
                pdf.textAt(36, baseline, kOutdented, serif());
                pdf.setY(baseline + 6);
            }
            pdf.paragraph(justified(paperParagraph(QStringLiteral("Page %1").arg(page), n)));
        }
    }
    pdf.newPage();
    pdf.setColumn(72, 451);
    pdf.paragraph(plain(kAcross, serif(16, true), Align::Center));
    pdf.paragraph(justified(QStringLiteral("The abstract runs across both columns of the page, above the text that is "
                                           "set in two columns below it, as the first page of a paper has it.")));
    const double top = pdf.y() + 6;
    pdf.setY(top);
    pdf.setColumn(72, 215);
    for (int n = 1; pdf.y() < bottom - 60; ++n)
        pdf.paragraph(plain(paperParagraph(QStringLiteral("Left"), n), serif(10), Align::Justify));
    pdf.drawing([&](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(QRectF(318, top, 190, 110));
        for (int i = 0; i < 4; ++i)
            p.fillRect(QRectF(340 + i * 40, top + 100 - 20 * (i + 1), 24, 20 * (i + 1)), QColor(70, 110, 170));
    });
    pdf.setColumn(308, 215);
    pdf.setY(top + 124);
    pdf.paragraph(plain(kRightHeading, serif(12, true)));
    for (int n = 1; pdf.y() < bottom - 60; ++n)
        pdf.paragraph(plain(paperParagraph(QStringLiteral("Right"), n), serif(10), Align::Justify));
    pdf.newPage();
    const QStringList entries = paperEntries();
    for (int i = 0; i < entries.size(); ++i) {
        const double x = i < entries.size() / 2 ? 72 : 308;
        const double y = 90 + static_cast<double>(i % (entries.size() / 2)) * 16;
        pdf.textAt(x, y, entries[i], serif(10));
        pdf.textAt(x + 215, y, QString::number(i + 2), serif(10), Align::Right);
    }
    pdf.finish();
}

// Three pages numbered 5, 6, 7 in their feet, as in a chapter printed apart.
void drawNumberedPages(const QString& path)
{
    PdfComposer pdf(path, QStringLiteral("Chapter"));
    for (int page = 5; page <= 7; ++page) {
        if (page > 5)
            pdf.newPage();
        for (int k = 1; k <= 3; ++k)
            pdf.paragraph(justified(QStringLiteral("Page %1, paragraph %2: the text of the chapter goes on over two lines, "
                                                   "long enough to be read as running text of the body of page %1, not as a "
                                                   "heading or a note.")
                                        .arg(page)
                                        .arg(k)));
        pdf.textAt(pdf.pageWidth() / 2, pdf.pageHeight() - 40, QString::number(page), serif(), Align::Center);
    }
}

// The body's paragraphs with text, white space at their ends trimmed, one a
// line (compared as one string, so that a failure shows them all).
QString bodyTexts(const fodt::Document& d)
{
    QStringList out;
    for (const fodt::Paragraph& p : d.body)
        if (!p.text.trimmed().isEmpty())
            out << p.text.trimmed();
    return out.join(QLatin1Char('\n'));
}

QString lines(const QStringList& paragraphs) { return paragraphs.join(QLatin1Char('\n')); }

QString joined(const std::vector<Piece>& pieces)
{
    QString text;
    for (const Piece& p : pieces)
        text += p.text;
    return text;
}

// Whether the style is a heading's or derives from one.
bool isHeadingStyle(const fodt::Document& d, QString style)
{
    for (int depth = 0; depth < 16 && !style.isEmpty(); ++depth) {
        if (style.startsWith(QLatin1String("Heading")))
            return true;
        const auto it = d.styles.find(style);
        if (it == d.styles.end())
            break;
        style = it->parent;
    }
    return false;
}

} // namespace

class LayoutEndToEndTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QMap<QString, fodt::Document> m_docs;
    pwt::test::PictureSample m_pictures;
    pwt::test::TableSample m_tables;

    const fodt::Document& doc(const QString& name) { return m_docs[name]; }

private slots:
    void initTestCase()
    {
        QMap<QString, void (*)(const QString&)> samples{{QStringLiteral("contents"), drawContents},
                                                               {QStringLiteral("margin"), drawMarginNote},
                                                               {QStringLiteral("paragraphs"), drawParagraphs},
                                                               {QStringLiteral("chinese"), drawChinese},
                                                               {QStringLiteral("numbered"), drawNumberedPages},
                                                               {QStringLiteral("paper"), drawPaper},
                                                               {QStringLiteral("tableonly"), [](const QString& path) {
                                                                    pwt::test::makeTableOnlyPdf(path, 3, 3);
                                                                }}};
        if (qEnvironmentVariableIsSet("KEEP_TEST_FILES")) { // for looking at them by hand
            m_dir.setAutoRemove(false);
            qInfo("files in %s", qPrintable(m_dir.path()));
        }
        samples[QStringLiteral("pictures")] = [](const QString&) {};
        samples[QStringLiteral("tables")] = [](const QString&) {};
        QString log;
        QStringList docs{QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("profile")),
                         QStringLiteral("--convert-to"), QStringLiteral("fodt"), QStringLiteral("--outdir"), m_dir.path()};
        for (auto s = samples.begin(); s != samples.end(); ++s) {
            const QString pdf = m_dir.filePath(s.key() + QStringLiteral(".pdf")), out = m_dir.filePath(s.key() + QStringLiteral(".doc"));
            s.value()(pdf);
            if (s.key() == QLatin1String("pictures"))
                m_pictures = pwt::test::makePicturePdf(pdf);
            if (s.key() == QLatin1String("tables"))
                m_tables = pwt::test::makeTablePdf(pdf);
            QVERIFY2(run(pwtPath(), {QStringLiteral("--src=") + pdf, QStringLiteral("--dest=") + out}, &log), qPrintable(log));
            docs << out;
        }
        QVERIFY2(run(QStringLiteral("soffice"), docs, &log), qPrintable(log));
        for (const QString& name : samples.keys()) {
            m_docs[name] = fodt::read(m_dir.filePath(name + QStringLiteral(".fodt")));
            QVERIFY2(m_docs[name].error.isEmpty(), qPrintable(name + QStringLiteral(": ") + m_docs[name].error));
        }
    }

    // "Title . . . 12" and "Title      12" are one paragraph "Title<TAB>12" with
    // a right tab stop at the text's right edge, dotted where the PDF had dots.
    void contentsEntriesBecomeTabbedParagraphs()
    {
        const fodt::Document& d = doc(QStringLiteral("contents"));
        const QStringList dotted{u"1 Introduction\t1"_qs, u"2 Reading the page in order\t4"_qs,
                                 u"3 Notes set in the margin beside a justified column of text, and the reasons why a converter "
                                 "reads them after the text of their page\t9"_qs,
                                 u"4 Sections and their numbers\t17"_qs};
        const QStringList plain{u"Figure 1 A page of two columns\t3"_qs, u"Figure 2 Notes in the margin\t12"_qs,
                                u"Figure 3 A contents page\t21"_qs};
        QCOMPARE(bodyTexts(d), lines(QStringList{u"Contents"_qs} + dotted + QStringList{u"Figures"_qs} + plain));
        // The stop stands where the text's right edge is: the page's width less its margins.
        const fodt::Properties layout = d.pageLayout(d.masterPage(0));
        const double textWidth = fodt::inches(layout.value(QStringLiteral("fo:page-width")))
            - fodt::inches(layout.value(QStringLiteral("fo:margin-left"))) - fodt::inches(layout.value(QStringLiteral("fo:margin-right")));
        QVERIFY2(std::abs(textWidth - 451.0 / 72) < 0.05, qPrintable(QString::number(textWidth)));
        for (const QString& entry : dotted + plain) {
            const fodt::Paragraph* p = d.find(entry);
            QVERIFY(p);
            const QString stops = d.paragraphProperty(*p, QStringLiteral("tab-stops"));
            const QStringList stop = stops.split(QLatin1Char(' '));
            const QString leader = dotted.contains(entry) ? QStringLiteral(".") : QString();
            QVERIFY2(stop.size() == 3 && stop[0] == QLatin1String("right") && std::abs(fodt::inches(stop[1]) - textWidth) < 0.01
                         && stop[2] == leader,
                     qPrintable(entry + QStringLiteral(": tab stops \"") + stops + QStringLiteral("\", wanted one: right ")
                                + QString::number(textWidth) + QStringLiteral("in \"") + leader + QLatin1Char('"')));
        }
    }

    // Each picture stands in its own paragraph between the paragraphs the PDF
    // shows it between, at the PDF's size; JPEG data comes through as it is,
    // other images losslessly; a chart is one picture with its labels in it.
    void picturesStandInTheTextAtTheirSize()
    {
        const fodt::Document& d = doc(QStringLiteral("pictures"));
        QString log;
        const QString images = m_dir.filePath(QStringLiteral("img"));
        QVERIFY2(run(QStringLiteral("pdfimages"), {QStringLiteral("-all"), m_pictures.path, images}, &log), qPrintable(log));
        auto file = [&](const QString& name) {
            QFile f(m_dir.filePath(name));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray photoJpeg = file(QStringLiteral("img-000.jpg"));
        QVERIFY(!photoJpeg.isEmpty());
        QVERIFY2(run(QStringLiteral("pdfimages"), {QStringLiteral("-png"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                   QStringLiteral("1"), m_pictures.path, images + QStringLiteral("png")}, &log),
                 qPrintable(log));
        const QImage flatColours = QImage::fromData(file(QStringLiteral("imgpng-001.png"))).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!flatColours.isNull());

        QList<QByteArray> photos;
        for (const pwt::test::ExpectedPicture& want : m_pictures.pictures) {
            const int after = d.findParagraph(want.after), before = d.findParagraph(want.before, nullptr, after + 1);
            QVERIFY2(after >= 0 && before > after, qPrintable(want.after));
            QList<fodt::Frame> frames;
            for (int i = after; i <= before; ++i)
                frames += d.body[i].frames;
            QVERIFY2(frames.size() == 1, qPrintable(QStringLiteral("%1 frames after \"%2\"").arg(frames.size()).arg(want.after)));
            const fodt::Frame& frame = frames.front();
            QCOMPARE(frame.anchor, QStringLiteral("as-char"));
            const QImage shown = QImage::fromData(frame.image);
            QVERIFY2(!shown.isNull(), qPrintable(want.after));
            if (want.source.isNull()) {
                // A chart: its labels are drawn in the picture, not left in the text.
                for (const QString& label : want.labels)
                    QCOMPARE(d.findContaining(label), -1);
                QVERIFY2(frame.width * 72 > 0.6 * want.shownPt.width() && frame.width * 72 <= want.shownPt.width() + 4,
                         qPrintable(QString::number(frame.width * 72)));
                continue;
            }
            QVERIFY2(std::abs(frame.width * 72 - want.shownPt.width()) <= 0.02 * want.shownPt.width()
                         && std::abs(frame.height * 72 - want.shownPt.height()) <= 0.02 * want.shownPt.height(),
                     qPrintable(QStringLiteral("%1 x %2 in").arg(frame.width).arg(frame.height)));
            if (!want.source.hasAlphaChannel()) {
                // LibreOffice may copy a few bytes past the JPEG's end marker.
                QVERIFY2(frame.image.startsWith(photoJpeg) && frame.image.size() - photoJpeg.size() <= 17,
                         qPrintable(QStringLiteral("JPEG of %1 bytes, the PDF's %2").arg(frame.image.size()).arg(photoJpeg.size())));
                photos << frame.image;
                continue;
            }
            // Lossless: poppler's own decoding of the colours, and the see-through band.
            QCOMPARE(shown.size(), flatColours.size());
            int clear = 0;
            bool same = true;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x) {
                    const QRgb px = shown.pixel(x, y);
                    if (qAlpha(px) == 0)
                        ++clear;
                    else
                        same = same && (px & 0xFFFFFF) == (flatColours.pixel(x, y) & 0xFFFFFF);
                }
            QVERIFY(same);
            QCOMPARE(clear, 67 * 20);
        }
        QCOMPARE(photos.size(), 2);

        // An icon drawn inside a line stays in that line's paragraph, at its size.
        const int line = d.findContaining(m_pictures.iconLine[0]);
        QVERIFY(line >= 0);
        QVERIFY2(d.body[line].text.contains(m_pictures.iconLine[1]), qPrintable(d.body[line].text));
        QCOMPARE(d.body[line].frames.size(), 1);
        QVERIFY(std::abs(d.body[line].frames[0].width * 72 - m_pictures.iconPt.width()) <= 0.02 * m_pictures.iconPt.width());
    }

    // Light text on a dark slide is shaded, never light on white paper.
    void slideTextStaysReadable()
    {
        const fodt::Document& d = doc(QStringLiteral("pictures"));
        for (const QString& text : m_pictures.slideText) {
            const fodt::Paragraph* p = d.find(text);
            QVERIFY2(p, qPrintable(text));
            const QString background = d.paragraphProperty(*p, QStringLiteral("fo:background-color"));
            QVERIFY2(QColor(background).isValid() && QColor(background).lightnessF() < 0.5,
                     qPrintable(text + QStringLiteral(": background ") + background));
        }
    }

    // A note just right of a justified column, on a line's baseline, leaves
    // the line and is read after the page's text.
    void marginNoteIsReadAfterThePageText()
    {
        QCOMPARE(bodyTexts(doc(QStringLiteral("margin"))), lines({kNotedParagraph, kNextParagraph, kNote}));
    }

    // Lines each in a block of their own (1.5 spacing), sizes mixed in a
    // line, and centred lines that nearly fill the column: one paragraph each.
    void paragraphsStayWhole()
    {
        const fodt::Document& d = doc(QStringLiteral("paragraphs"));
        QCOMPARE(bodyTexts(d), lines({kSpaced, joined(kMixed), kCentred, kClosing}));
        QCOMPARE(d.paragraphCount(), 4);
        QCOMPARE(d.alignment(0), QStringLiteral("justify"));
        QVERIFY2(d.lineSpacing(0) > 1.4, qPrintable(QString::number(d.lineSpacing(0))));
        QCOMPARE(d.outlineLevel(1), 0);
        QCOMPARE(d.headingStyleLevel(1), 0);
        QCOMPARE(d.alignment(2), QStringLiteral("center"));
        QCOMPARE(d.alignment(3), QStringLiteral("start"));
    }

    // A bold phrase inside a Chinese line: that phrase bold, nothing else.
    void boldPhraseInAChineseLine()
    {
        const fodt::Document& d = doc(QStringLiteral("chinese"));
        QCOMPARE(bodyTexts(d), joined(kChinese));
        QCOMPARE(d.paragraphCount(), 1);
        const QString text = d.paragraph(0).text;
        const qsizetype bold = text.indexOf(kBoldPhrase);
        QVERIFY(bold > 0);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool inPhrase = i >= bold && i < bold + kBoldPhrase.size();
            QVERIFY2(d.formatAt(0, i).eastAsianBold == inPhrase, qPrintable(QStringLiteral("at %1 (%2)").arg(i).arg(text[i])));
        }
    }

    // Each table is a Word table between the paragraphs around it, with its
    // rows, cell texts, merges, header rows and column widths; a table that
    // runs over a page is one table without its repeated header.
    void tablesBecomeWordTables()
    {
        const fodt::Document& d = doc(QStringLiteral("tables"));
        QCOMPARE(d.tables.size(), m_tables.tables.size());
        for (int t = 0; t < d.tables.size(); ++t) {
            const pwt::test::ExpectedTable& want = m_tables.tables[t];
            const fodt::Table& got = d.tables[t];
            const QString name = want.name + QLatin1String(": ");
            QCOMPARE(got.rows.size(), want.rows.size());
            int headerRows = 0;
            for (int r = 0; r < got.rows.size(); ++r) {
                headerRows += got.rows[r].header ? 1 : 0;
                QStringList seen, expected;
                for (const fodt::TableCell& c : got.rows[r].cells) {
                    if (c.covered)
                        continue;
                    // A wrapped cell is one paragraph.
                    seen << QStringLiteral("%1 [%2x%3]%4")
                                .arg(fodt::squeeze(c.text).text)
                                .arg(c.columnsSpanned)
                                .arg(c.rowsSpanned)
                                .arg(c.paragraphs.size() > 1 ? QStringLiteral(" in %1 paragraphs").arg(c.paragraphs.size()) : QString());
                    for (const fodt::Paragraph& p : c.paragraphs)
                        QVERIFY2(!p.heading && !isHeadingStyle(d, p.style), qPrintable(name + c.text));
                }
                for (const pwt::test::ExpectedCell& c : want.rows[r])
                    expected << QStringLiteral("%1 [%2x%3]").arg(fodt::squeeze(c.text).text).arg(c.columns).arg(c.rows);
                QCOMPARE(name + seen.join(QLatin1String(" | ")), name + expected.join(QLatin1String(" | ")));
            }
            QCOMPARE(name + QString::number(headerRows), name + QString::number(want.headerRows));
            // Where it stands: right after its paragraph, right before the next.
            const int before = d.findParagraph(want.before);
            QVERIFY2(before >= 0, qPrintable(name + want.before));
            QCOMPARE(got.bodyParagraphsBefore, before + 1);
            QCOMPARE(d.findParagraph(want.after, nullptr, before), before + 1);
            // Column widths in the drawn proportions.
            QCOMPARE(got.columnWidths.size(), want.columns);
            if (want.columnWidths.isEmpty())
                continue;
            const double total = std::accumulate(want.columnWidths.begin(), want.columnWidths.end(), 0.0);
            const double seenTotal = std::accumulate(got.columnWidths.begin(), got.columnWidths.end(), 0.0);
            for (int c = 0; c < got.columnWidths.size(); ++c)
                QVERIFY2(std::abs(got.columnWidths[c] / seenTotal - want.columnWidths[c] / total) < 0.03,
                         qPrintable(name + QStringLiteral("column %1: %2 of %3 in").arg(c).arg(got.columnWidths[c]).arg(seenTotal)));
        }
    }

    // A PDF whose only text is a table converts (initTestCase) to that table.
    void tableOnlyPage()
    {
        const fodt::Document& d = doc(QStringLiteral("tableonly"));
        QCOMPARE(d.tables.size(), 1);
        QCOMPARE(d.tables[0].rows.size(), 3);
        QCOMPARE(fodt::squeeze(d.tables[0].rows[2].cells[2].text).text, QStringLiteral("R2C2"));
    }

    // Lists, code, a contents page and two columns of text stay paragraphs.
    void tableLookalikesStayText()
    {
        const fodt::Document& d = doc(QStringLiteral("tables"));
        for (const QString& line : m_tables.text)
            QVERIFY2(d.findContaining(line.trimmed()) >= 0, qPrintable(line));
    }

    // A paper keeps its pages when LibreOffice lays the .doc out: the title
    // page's narrow text sets no margins, a page full down to its note runs
    // on without a break, two-column text is set in Word columns read one
    // column after the other, the contents in two columns read entry by entry.
    void paperKeepsItsPagesAndColumns()
    {
        const fodt::Document& d = doc(QStringLiteral("paper"));
        QString log;
        QVERIFY2(run(QStringLiteral("soffice"), {QStringLiteral("--headless"),
                                                 QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("profile")),
                                                 QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                                                 m_dir.filePath(QStringLiteral("laid-out")), m_dir.filePath(QStringLiteral("paper.doc"))},
                     &log),
                 qPrintable(log));
        QVERIFY2(run(QStringLiteral("pdfinfo"), {m_dir.filePath(QStringLiteral("laid-out/paper.pdf"))}, &log), qPrintable(log));
        const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(log);
        QVERIFY2(pages.hasMatch(), qPrintable(log));
        QCOMPARE(pages.captured(1).toInt(), 5);

        // The full pages' margins: the text column of the PDF, not the title's
        // nor the command's in the margin or the head over the text, which
        // stay in the text.
        const int full = d.findParagraph(paperParagraph(QStringLiteral("Page 2"), 1));
        QVERIFY(full >= 0);
        const int afterNote = d.findParagraph(paperParagraph(QStringLiteral("Page 3"), 1));
        QVERIFY(afterNote >= 0);
        QCOMPARE(d.paragraphProperty(d.paragraph(afterNote), QStringLiteral("fo:break-before")), QString());
        QCOMPARE(d.footnotes.size(), 1);
        QVERIFY(d.findContaining(kOutdented) > afterNote);
        QVERIFY(d.findContaining(kOwnHead) > full);
        const double top = fodt::inches(d.pageLayout(d.masterPage(full)).value(QStringLiteral("fo:margin-top")));
        for (const int paragraph : {full, afterNote}) {
            const fodt::Properties layout = d.pageLayout(d.masterPage(paragraph));
            QVERIFY2(std::abs(fodt::inches(layout.value(QStringLiteral("fo:margin-left"))) - 1.0) < 0.05,
                     qPrintable(layout.value(QStringLiteral("fo:margin-left"))));
            QVERIFY2(std::abs(fodt::inches(layout.value(QStringLiteral("fo:margin-top"))) - top) < 0.05,
                     qPrintable(layout.value(QStringLiteral("fo:margin-top"))));
        }
        const fodt::Properties layout = d.pageLayout(d.masterPage(full));
        QVERIFY2(std::abs(d.pageWidth(d.masterPage(full)) - fodt::inches(layout.value(QStringLiteral("fo:margin-left"))) * 72
                          - fodt::inches(layout.value(QStringLiteral("fo:margin-right"))) * 72 - 451) < 4,
                 qPrintable(layout.value(QStringLiteral("fo:margin-right"))));

        // Reading order: across, left column, the right column's heading and text, contents entry by entry.
        QStringList order;
        for (const fodt::Paragraph& p : d.body) {
            const QString t = p.text.trimmed();
            if (t.startsWith(QLatin1String("Left paragraph")) || t.startsWith(QLatin1String("Right paragraph")))
                order << t.section(QLatin1Char(' '), 0, 2);
            else if (t == kAcross || t == kRightHeading || t.startsWith(QLatin1String("Entry ")))
                order << t.section(QLatin1Char(' '), 0, 1).remove(QLatin1Char('\t'));
        }
        QStringList expected{kAcross.section(QLatin1Char(' '), 0, 1)};
        for (int n = 1; order.contains(QStringLiteral("Left paragraph %1").arg(n)); ++n)
            expected << QStringLiteral("Left paragraph %1").arg(n);
        expected << kRightHeading;
        for (int n = 1; order.contains(QStringLiteral("Right paragraph %1").arg(n)); ++n)
            expected << QStringLiteral("Right paragraph %1").arg(n);
        for (int i = 1; i <= paperEntries().size(); ++i)
            expected << QStringLiteral("Entry %1").arg(i);
        QCOMPARE(order.join(QLatin1Char('\n')), expected.join(QLatin1Char('\n')));
        QVERIFY(expected.size() > 40);
    }

    // The section numbers its pages from the number in its first page's foot.
    void pagesNumberedFromThePrintedFoot()
    {
        const fodt::Document& d = doc(QStringLiteral("numbered"));
        QCOMPARE(d.paragraphCount(), 9);
        QVERIFY(d.paragraph(0).text.startsWith(QStringLiteral("Page 5, paragraph 1:")));
        QCOMPARE(d.paragraphProperty(d.paragraph(0), QStringLiteral("style:page-number")), QStringLiteral("5"));
        for (int i = 1; i < d.paragraphCount(); ++i) {
            const QString n = d.paragraphProperty(d.paragraph(i), QStringLiteral("style:page-number"));
            QVERIFY2(n.isEmpty() || n == QLatin1String("auto"), qPrintable(QStringLiteral("paragraph %1: %2").arg(i).arg(n)));
        }
        const fodt::MasterPage* master = d.masterPageNamed(d.masterPage(0));
        QVERIFY(master && master->footer.size() == 1);
        QVERIFY(master->footer[0].hasPageNumber);
    }
};

QTEST_MAIN(LayoutEndToEndTest)
#include "LayoutEndToEndTest.moc"

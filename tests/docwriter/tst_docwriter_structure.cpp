// Reads the writer's files back with an independent decoder and checks the
// [MS-DOC] structures: FIB, piece table, property pages, styles, fonts,
// sections, header stories, fields, summary information, inline pictures in
// the Data stream and paragraph shading.
#include "DocFileReader.h"
#include "SampleDocuments.h"
#include "doc/DocWriter.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace pwt;

namespace {

constexpr int kStshf = 1, kPlcfSed = 6, kPlcfHdd = 11, kPlcfFldHdr = 17, kClx = 33;
constexpr quint16 kCFBold = 0x0835, kCFItalic = 0x0836, kCFSmallCaps = 0x083A, kCFSpec = 0x0855;
constexpr quint16 kCIss = 0x2A48, kCHps = 0x4A43, kCRgFtc0 = 0x4A4F, kCRgFtc1 = 0x4A50, kCRgFtc2 = 0x4A51,
                  kCCv = 0x6870;
constexpr quint16 kPJc = 0x2461, kPJc80 = 0x2403, kPDxaLeft = 0x845E, kPDxaRight = 0x845D, kPDxaLeft1 = 0x8460,
                  kPDxaLeft80 = 0x840F, kPDyaBefore = 0xA413, kPDyaAfter = 0xA414, kPDyaLine = 0x6412,
                  kPOutLvl = 0x2640;
constexpr quint16 kCPicLocation = 0x6A03, kPShd80 = 0x442D, kPShd = 0xC64D;
constexpr quint16 kCropFromLeft = 0x0102, kPib = 0x4104;
constexpr int kPictureFrame = 75;
constexpr char16_t kPictureChar = 0x0001;
constexpr quint16 kSCcolumns = 0x500B, kSDxaColumns = 0x900C, kSFEvenlySpaced = 0x3005, kSDxaColWidth = 0xF203;
constexpr quint16 kPFInTable = 0x2416, kPFTtp = 0x2417, kPItap = 0x6649, kPFPageBreakBefore = 0x2407,
                  kTDefTable = 0xD608, kTDxaGapHalf = 0x9602, kTTableHeader = 0x3404, kTDyaRowHeight = 0x9407,
                  kTDefTableShd80 = 0xD609, kTDefTableShd = 0xD612, kTDefTableShd2nd = 0xD616, kTSetBrc = 0xD62F;
constexpr int kTc80Size = 20;
constexpr char16_t kCellMark = 0x0007;
constexpr int kPlcffndRef = 2, kPlcffndTxt = 3, kPlcfFldMom = 16, kPlcfFldFtn = 18, kPlcfBkf = 22, kPlcfBkl = 23, kDop = 31;
constexpr quint16 kPIlvl = 0x260A, kPIlfo = 0x460B, kPChgTabsPapx = 0xC60D;
constexpr quint8 kNfcBullet = 23, kFieldHyperlink = 0x58;
constexpr char16_t kAutoNote = 0x0002;
constexpr quint16 kSBkc = 0x3009, kSBOrientation = 0x301D, kSXaPage = 0xB01F, kSYaPage = 0xB020,
                  kSDxaLeft = 0xB021, kSDyaTop = 0x9023, kSDyaHdrTop = 0xB017;

int value(const QMap<quint16, QByteArray>& s, quint16 sprm) { return docread::operandValue(s.value(sprm)); }

int istdOf(const QByteArray& grpprlAndIstd)
{
    return static_cast<quint8>(grpprlAndIstd[0]) | (static_cast<quint8>(grpprlAndIstd[1]) << 8);
}

// Word's number format (nfc) of a model format.
int nfcOf(NumberFormat format)
{
    switch (format) {
    case NumberFormat::Bullet: return kNfcBullet;
    case NumberFormat::Decimal: return 0;
    case NumberFormat::UpperRoman: return 1;
    case NumberFormat::LowerRoman: return 2;
    case NumberFormat::UpperLetter: return 3;
    case NumberFormat::LowerLetter: return 4;
    case NumberFormat::ChineseCounting: return 39;
    }
    return -1;
}

// A level's number text as Word stores it: "%N" becomes character N-1;
// `places` gets their 1-based positions.
QString numberTextOf(const ListLevel& level, QList<int>& places)
{
    QString text;
    const QString label = QString::fromStdU16String(level.label);
    for (qsizetype i = 0; i < label.size(); ++i)
        if (label[i] == QLatin1Char('%') && i + 1 < label.size() && label[i + 1].isDigit() && label[i + 1] != QLatin1Char('0')) {
            text += QChar(label[++i].digitValue() - 1);
            places << static_cast<int>(text.size());
        } else {
            text += label[i];
        }
    return text;
}

// Changes that put hostile values into a small document.
using Change = void (*)(Document&);

Document hostileBase()
{
    Document d;
    ListLevel decimal;
    decimal.format = NumberFormat::Decimal;
    decimal.label = u"%1.";
    d.lists.push_back({{decimal}});
    for (const char16_t* text : {u"Note zero.", u"Note one.", u"Note two."})
        d.footnotes.push_back(Footnote{{sample::paragraph(text)}});
    Section s;
    s.paragraphs.push_back(sample::paragraph(u"Body start."));
    s.header.push_back(sample::paragraph(u"Head."));
    d.sections.push_back(std::move(s));
    return d;
}

Paragraph item(const std::u16string& text, int list, int level)
{
    Paragraph p = sample::paragraph(text);
    p.format.list = list;
    p.format.listLevel = level;
    return p;
}

Run markRun(const std::u16string& mark, int footnote)
{
    Run r = sample::run(mark);
    r.footnote = footnote;
    return r;
}

Run linkRun(const std::u16string& text, std::string link)
{
    Run r = sample::run(text);
    r.link = std::move(link);
    return r;
}

QByteArray bytesOf(const ImageData& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.bytes.data()), static_cast<qsizetype>(image.bytes.size()));
}

Figure figureOf(std::vector<Picture> pictures, std::size_t beforeParagraph)
{
    Figure f;
    f.pictures = std::move(pictures);
    f.beforeParagraph = beforeParagraph;
    return f;
}

Picture pictureOf(std::shared_ptr<const ImageData> image, int width, int height)
{
    Picture p;
    p.image = std::move(image);
    p.width = width;
    p.height = height;
    return p;
}

// A paragraph, one figure, a paragraph.
Document oneFigure(const Picture& picture, PageSetup page = {}, ParagraphFormat format = {})
{
    Document d;
    Section& s = d.sections.emplace_back();
    s.page = page;
    s.paragraphs = {sample::paragraph(u"Before"), sample::paragraph(u"After")};
    s.figures.push_back(figureOf({picture}, 1));
    s.figures.back().format = format;
    return d;
}

QByteArray utf16le(const QString& s)
{
    QByteArray b;
    for (QChar c : s) {
        b.append(static_cast<char>(c.unicode() & 0xFF));
        b.append(static_cast<char>(c.unicode() >> 8));
    }
    return b;
}

// A row's table properties as its end mark's sprmTDefTable gives them.
struct DecodedRow {
    QList<int> edges; // rgdxaCenter
    QList<quint16> flags; // TC80 tcgrf per cell
    QList<int> topBorderWidths; // Brc80 dptLineWidth of brcTop per cell
    QMap<quint16, QByteArray> sprms;
    bool fromDataStream = false;
    int page = 0;
};

qint16 s16(const QByteArray& b, qsizetype at)
{
    return static_cast<qint16>(static_cast<quint8>(b[at]) | (static_cast<quint8>(b[at + 1]) << 8));
}

// The row ends of the main text in order (a lone cell mark that ends a row).
QList<DecodedRow> rowEnds(const docread::DocFile& f)
{
    const QString t = docread::text(f);
    const quint32 fcMin = docread::pieces(f).fcs.value(0);
    QList<DecodedRow> rows;
    for (const docread::PropertyRun& r : docread::paragraphRuns(f)) {
        const qsizetype last = (static_cast<qsizetype>(r.fcEnd) - fcMin) / 2 - 1;
        const QMap<quint16, QByteArray> sprms = docread::sprms(r.grpprl.mid(2));
        if (last < 0 || last >= t.size() || t.at(last).unicode() != kCellMark || !sprms.contains(kPFTtp))
            continue;
        DecodedRow row;
        row.sprms = sprms;
        row.fromDataStream = r.fromDataStream;
        row.page = r.page;
        const QByteArray def = sprms.value(kTDefTable);
        const int n = def.isEmpty() ? 0 : static_cast<quint8>(def[0]);
        if (def.size() < 1 + 2 * (n + 1) + kTc80Size * n) {
            rows << row;
            continue;
        }
        for (int i = 0; i <= n; ++i)
            row.edges << s16(def, 1 + 2 * i);
        for (int i = 0; i < n; ++i) {
            const qsizetype tc = 1 + 2 * (n + 1) + kTc80Size * i;
            row.flags << static_cast<quint16>(s16(def, tc));
            row.topBorderWidths << static_cast<quint8>(def[tc + 4]);
        }
        rows << row;
    }
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestDocStructure : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    docread::DocFile write(const Document& d, const QString& name)
    {
        const QString path = dir_.filePath(name);
        const std::string reason = doc::writeWordDocument(d, path.toStdString());
        if (!reason.empty())
            qWarning("writer failed: %s", reason.c_str());
        return docread::open(path);
    }

    // The run of `runs` covering the first character of `needle` in the text.
    static docread::PropertyRun runAt(const docread::DocFile& f, const QList<docread::PropertyRun>& runs,
                                      const QString& needle)
    {
        const QString t = docread::text(f);
        const qsizetype cp = t.indexOf(needle);
        const quint32 fc = docread::pieces(f).fcs.value(0) + 2 * static_cast<quint32>(cp);
        for (const auto& r : runs)
            if (cp >= 0 && r.fcStart <= fc && fc < r.fcEnd)
                return r;
        return {};
    }

    // Stories of the header document, by PlcfHdd.
    static QStringList headerStories(const docread::DocFile& f)
    {
        const QString all = docread::text(f);
        const QString hdd = all.mid(f.ccpText() + f.ccpFtn(), f.ccpHdd()); // the footnote document comes first
        const QList<quint32> cps = docread::plcCps(f.table, f.fc(kPlcfHdd), f.lcb(kPlcfHdd), 0);
        QStringList stories;
        for (qsizetype i = 0; i + 2 < cps.size(); ++i)
            stories << hdd.mid(cps[i], cps[i + 1] - cps[i]);
        return stories;
    }

    struct PictureChar {
        quint32 cp = 0;
        QMap<quint16, QByteArray> sprms;
        quint32 location() const { return static_cast<quint32>(docread::operandValue(sprms.value(kCPicLocation))); }
    };

    // Every picture character of the text with its character properties.
    static QList<PictureChar> pictureCharacters(const docread::DocFile& f)
    {
        const QString t = docread::text(f);
        const quint32 fcMin = docread::pieces(f).fcs.value(0);
        const auto runs = docread::characterRuns(f);
        QList<PictureChar> out;
        for (qsizetype cp = 0; cp < t.size(); ++cp)
            if (t.at(cp).unicode() == kPictureChar)
                for (const auto& r : runs)
                    if (r.fcStart <= fcMin + 2 * cp && fcMin + 2 * cp < r.fcEnd)
                        out << PictureChar{quint32(cp), docread::sprms(r.grpprl)};
        return out;
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void figuresArePictureParagraphsBetweenTheText()
    {
        const Document d = sample::pictured();
        const auto f = write(d, "pictured.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        const QString expected = QStringLiteral(
            "\x01\rText after the first picture.\r\x01\x01\rA shaded paragraph between the pictures.\r"
            "\x01\x01\x01\r\x01\r\x01\rText after the scaled picture.\f"
            "Second section text before its picture.\r\x01\r");
        QCOMPARE(f.ccpText(), quint32(expected.size()));
        const QString t = docread::text(f);
        QCOMPARE(t.left(expected.size()), expected);
        // the sections and the header story around the figures
        const quint32 secondSection = quint32(expected.indexOf(QChar('\f')) + 1);
        QCOMPARE(docread::plcCps(f.table, f.fc(kPlcfSed), f.lcb(kPlcfSed), 12),
                 (QList<quint32>{0, secondSection, f.ccpText()}));
        QCOMPARE(headerStories(f).value(6 + 1), QStringLiteral("Pictured running head\r\r"));

        const QList<PictureChar> chars = pictureCharacters(f);
        const QList<sample::ShownPicture> shown = sample::shownPictures(d);
        QCOMPARE(chars.size(), shown.size());
        QList<quint32> locations;
        for (qsizetype i = 0; i < chars.size(); ++i) {
            QCOMPARE(value(chars[i].sprms, kCFSpec), 1);
            QVERIFY(chars[i].sprms.contains(kCPicLocation));
            const docread::InlinePicture pic = docread::inlinePicture(f, chars[i].location());
            QVERIFY2(pic.error.isEmpty(), qPrintable(pic.error));
            QCOMPARE(pic.shapeType, kPictureFrame);
            QCOMPARE(pic.shapeProperties.value(kPib), quint32(1));
            const bool jpeg = shown[i].image->format == ImageFormat::Jpeg;
            QCOMPARE(pic.blipType, jpeg ? 5 : 6);
            QCOMPARE(pic.blipRecordType, quint16(jpeg ? 0xF01D : 0xF01E));
            QCOMPARE(pic.image, bytesOf(*shown[i].image));
            const QString size = QStringLiteral("picture %1: %2 x %3").arg(i).arg(pic.shownWidth()).arg(pic.shownHeight());
            QVERIFY2(qAbs(pic.shownWidth() - shown[i].width) <= 0.005 * shown[i].width, qPrintable(size));
            QVERIFY2(qAbs(pic.shownHeight() - shown[i].height) <= 0.005 * shown[i].height, qPrintable(size));
            QCOMPARE(pic.shapeProperties.value(kCropFromLeft), quint32(qRound(shown[i].cropLeft * 65536)));
            locations << chars[i].location();
        }
        // The same image at the same size is stored once (the same ImageData
        // or equal bytes); at another size it is stored again.
        QCOMPARE(locations[3], locations[0]);
        QCOMPARE(locations[4], locations[0]);
        QVERIFY(locations[5] != locations[0]);
        QCOMPARE(QSet<quint32>(locations.begin(), locations.end()).size(), 7);
        QCOMPARE(f.data.count(bytesOf(*shown[0].image)), 2);
    }

    void picturesLargerThanTheTextAreaAreFitted_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<double>("cropLeft");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("indents");
        QTest::addColumn<double>("shownWidth");
        QTest::addColumn<double>("shownHeight");
        // A4 with the default margins leaves 8306 x 13958 twips; landscape 13238 x 9026.
        QTest::newRow("fits") << 1440 << 720 << 0.0 << false << 0 << 1440.0 << 720.0;
        QTest::newRow("wider") << 20000 << 10000 << 0.0 << false << 0 << 8306.0 << 4153.0;
        QTest::newRow("taller") << 2000 << 30000 << 0.0 << false << 0 << 2000 * 13958.0 / 30000 << 13958.0;
        QTest::newRow("landscape") << 20000 << 5000 << 0.0 << true << 0 << 13238.0 << 5000 * 13238.0 / 20000;
        QTest::newRow("indented") << 20000 << 10000 << 0.0 << false << 1440 << 5426.0 << 2713.0;
        QTest::newRow("cropped") << 40000 << 4000 << 0.5 << false << 0 << 8306.0 << 4000 * 8306.0 / 20000;
    }

    void picturesLargerThanTheTextAreaAreFitted()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(double, cropLeft);
        QFETCH(bool, landscape);
        QFETCH(int, indents);
        QFETCH(double, shownWidth);
        QFETCH(double, shownHeight);
        Picture p = pictureOf(sample::image(ImageFormat::Png, 40, 20, Qt::red), width, height);
        p.cropLeft = cropLeft;
        PageSetup page;
        if (landscape)
            std::swap(page.width, page.height);
        ParagraphFormat format;
        format.leftIndent = indents;
        format.rightIndent = indents;
        const auto f = write(oneFigure(p, page, format), "fitted.doc");
        const QList<PictureChar> chars = pictureCharacters(f);
        QCOMPARE(chars.size(), 1);
        const docread::InlinePicture pic = docread::inlinePicture(f, chars[0].location());
        QVERIFY2(pic.error.isEmpty(), qPrintable(pic.error));
        const QString size = QStringLiteral("%1 x %2").arg(pic.shownWidth()).arg(pic.shownHeight());
        QVERIFY2(qAbs(pic.shownWidth() - shownWidth) <= 0.005 * shownWidth, qPrintable(size));
        QVERIFY2(qAbs(pic.shownHeight() - shownHeight) <= 0.005 * shownHeight, qPrintable(size));
    }

    void picturesWithNothingToShowAreLeftOut_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("no image") << 0;
        QTest::newRow("no bytes") << 1;
        QTest::newRow("zero width") << 2;
        QTest::newRow("negative height") << 3;
        QTest::newRow("cropped away") << 4;
    }

    void picturesWithNothingToShowAreLeftOut()
    {
        QFETCH(int, which);
        Picture p = pictureOf(sample::image(ImageFormat::Png, 8, 8, Qt::blue), 1440, 1440);
        switch (which) {
        case 0: p.image = nullptr; break;
        case 1: p.image = std::make_shared<ImageData>(); break;
        case 2: p.width = 0; break;
        case 3: p.height = -720; break;
        default: p.cropLeft = 0.6; p.cropRight = 0.4; break;
        }
        const auto f = write(oneFigure(p), "nothing.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        QCOMPARE(docread::text(f), QStringLiteral("Before\rAfter\r"));
        QVERIFY2(f.data.isEmpty(), "no Data stream without pictures");
    }

    void figuresBreakPagesExceptWhereASectionBegins()
    {
        const auto png = sample::image(ImageFormat::Png, 8, 8, Qt::green);
        Document d;
        Section& first = d.sections.emplace_back();
        first.paragraphs = {sample::paragraph(u"P0"), sample::paragraph(u"P1")};
        first.figures.push_back(figureOf({pictureOf(png, 720, 720)}, 1));
        first.figures.back().pageBreakBefore = true;
        Section& second = d.sections.emplace_back();
        second.paragraphs = {sample::paragraph(u"P2")};
        second.figures.push_back(figureOf({pictureOf(png, 720, 720)}, 0));
        second.figures.back().pageBreakBefore = true; // the section already starts a page
        const auto f = write(d, "figurebreaks.doc");
        QCOMPARE(docread::text(f), QStringLiteral("P0\r\f\x01\rP1\f\x01\rP2\r"));
        QCOMPARE(docread::paragraphRuns(f).size(), 5);
    }

    // The JPEG's colour space is read from its frame header, which comes from
    // the PDF as it was: damaged headers are stored as RGB JPEGs, unread past.
    void jpegColourSpaceFromItsFrameHeader_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<int>("instance");
        const QByteArray soi("\xFF\xD8", 2);
        const QByteArray app0 = QByteArray("\xFF\xE0\x00\x04", 4) + QByteArray(2, 'x');
        auto sof = [](char components) { return QByteArray("\xFF\xC0\x00\x11\x08\x00\x10\x00\x10", 9) + components; };
        QTest::newRow("Qt's RGB") << bytesOf(*sample::image(ImageFormat::Jpeg, 16, 16, Qt::red)) << 0x46A;
        QTest::newRow("CMYK") << soi + app0 + sof(4) + QByteArray(20, '\0') << 0x6E2;
        QTest::newRow("progressive CMYK") << soi + QByteArray("\xFF\xC2\x00\x11\x08\x00\x10\x00\x10\x04", 10) + QByteArray(20, '\0') << 0x6E2;
        QTest::newRow("cut in the frame header") << soi + app0 + sof(4).left(6) << 0x46A;
        QTest::newRow("segment longer than the file") << soi + QByteArray("\xFF\xE0\xFF\xFF", 4) + QByteArray(20, '\0') << 0x46A;
        QTest::newRow("zero segment length") << soi + QByteArray("\xFF\xE0\x00\x00", 4) + QByteArray(20, '\0') << 0x46A;
        QTest::newRow("no markers") << soi + QByteArray(40, '\xFF') << 0x46A;
        QTest::newRow("two bytes") << soi << 0x46A;
    }

    void jpegColourSpaceFromItsFrameHeader()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(int, instance);
        auto image = std::make_shared<ImageData>();
        image->format = ImageFormat::Jpeg;
        image->bytes.assign(jpeg.begin(), jpeg.end());
        const auto f = write(oneFigure(pictureOf(image, 720, 720)), "jpeg.doc");
        const QList<PictureChar> chars = pictureCharacters(f);
        QCOMPARE(chars.size(), 1);
        const docread::InlinePicture pic = docread::inlinePicture(f, chars[0].location());
        QVERIFY2(pic.error.isEmpty(), qPrintable(pic.error));
        QCOMPARE(pic.blipInstance, instance);
        QCOMPARE(pic.image, jpeg);
    }

    void manyPicturesShareFormattedPages()
    {
        const Document d = sample::manyPictures(500);
        const auto f = write(d, "many.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        const QList<PictureChar> chars = pictureCharacters(f);
        const QList<sample::ShownPicture> shown = sample::shownPictures(d);
        QCOMPARE(chars.size(), 500);
        QSet<quint32> locations;
        for (qsizetype i = 0; i < chars.size(); ++i) {
            const docread::InlinePicture pic = docread::inlinePicture(f, chars[i].location());
            QVERIFY2(pic.error.isEmpty(), qPrintable(pic.error));
            QCOMPARE(pic.image, bytesOf(*shown[i].image));
            locations << chars[i].location();
        }
        QCOMPARE(locations.size(), 500);
        // Several pictures' properties on one 512-byte page.
        QMap<int, int> picturesPerPage;
        const auto runs = docread::characterRuns(f);
        for (const auto& r : runs)
            if (docread::sprms(r.grpprl).contains(kCPicLocation))
                ++picturesPerPage[r.page];
        int most = 0;
        for (int n : picturesPerPage)
            most = qMax(most, n);
        QVERIFY2(most > 1, "each page holds more than one picture's properties");
        QVERIFY(picturesPerPage.size() > 1);
    }

    void paragraphShadingForOldAndNewReaders_data()
    {
        QTest::addColumn<uint>("rgb");
        QTest::addColumn<int>("ico"); // the nearest of Word 97's 16 colours
        QTest::newRow("light yellow") << 0xFFF2CCu << 8;
        QTest::newRow("navy") << 0x000080u << 9;
        QTest::newRow("red") << 0xFF0000u << 6;
        QTest::newRow("grey") << 0x7F7F7Fu << 15;
    }

    void paragraphShadingForOldAndNewReaders()
    {
        QFETCH(uint, rgb);
        QFETCH(int, ico);
        ParagraphFormat shaded;
        shaded.shaded = true;
        shaded.shadingRgb = rgb;
        Document d = oneFigure(pictureOf(sample::image(ImageFormat::Png, 8, 8, Qt::red), 720, 720), {}, shaded);
        d.sections[0].paragraphs[0].format = shaded;
        const auto f = write(d, "shaded.doc");
        const auto runs = docread::paragraphRuns(f);
        const QByteArray cv(QByteArray("\x00\x00\x00\xFF", 4) // cvFore: auto
                            + QByteArray(1, char(rgb >> 16)) + char((rgb >> 8) & 0xFF) + char(rgb & 0xFF) + '\0'
                            + QByteArray(2, '\0')); // ipat: clear
        for (const QString& text : {QStringLiteral("Before"), QString(QChar(kPictureChar))}) {
            const auto s = docread::sprms(runAt(f, runs, text).grpprl.mid(2));
            QCOMPARE(value(s, kPShd80), ico << 5); // icoBack; icoFore auto, ipat clear
            QCOMPARE(s.value(kPShd), QByteArray(1, 10) + cv);
        }
        const auto plain = docread::sprms(runAt(f, runs, QStringLiteral("After")).grpprl.mid(2));
        QVERIFY(!plain.contains(kPShd80) && !plain.contains(kPShd));
    }

    // A picture's line keeps its own height: no exact or proportional spacing.
    void figureParagraphsAreSingleSpaced_data()
    {
        QTest::addColumn<int>("lineSpacing");
        QTest::addColumn<int>("exactLineSpacing");
        QTest::newRow("exactly 12 pt") << 240 << 240;
        QTest::newRow("one and a half lines") << 360 << 0;
    }

    void figureParagraphsAreSingleSpaced()
    {
        QFETCH(int, lineSpacing);
        QFETCH(int, exactLineSpacing);
        ParagraphFormat spaced;
        spaced.lineSpacing = lineSpacing;
        spaced.exactLineSpacing = exactLineSpacing;
        spaced.alignment = Alignment::Center;
        Document d = oneFigure(pictureOf(sample::image(ImageFormat::Png, 8, 8, Qt::red), 2880, 2880), {}, spaced);
        d.sections[0].paragraphs[0].format = spaced;
        const auto f = write(d, "spaced.doc");
        const auto runs = docread::paragraphRuns(f);
        QVERIFY(docread::sprms(runAt(f, runs, QStringLiteral("Before")).grpprl.mid(2)).contains(kPDyaLine));
        const auto figure = docread::sprms(runAt(f, runs, QString(QChar(kPictureChar))).grpprl.mid(2));
        QVERIFY(!figure.contains(kPDyaLine));
        QCOMPARE(value(figure, kPJc), 1); // the rest of its format holds
    }

    void fibAndPieceTableDescribeTheText()
    {
        const auto f = write(sample::english(), "english.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        QCOMPARE(f.u16(f.word, 0), quint16(0xA5EC));
        QCOMPARE(f.u16(f.word, 2), quint16(0x00C1));
        const quint16 flags = f.u16(f.word, 10);
        QVERIFY(flags & 0x0200); // fWhichTblStm: 1Table
        QVERIFY(flags & 0x1000); // fExtChar
        QCOMPARE(f.u32(f.word, 64), quint32(f.word.size())); // cbMac
        QVERIFY(f.word.size() >= 4096);

        const QString expected = QStringLiteral(
            "The first paragraph of plain English text.\r"
            "A second paragraph, with a comma and a tab\there.\r"
            "Three runs make one paragraph.\r"
            "\fThis paragraph starts the second page.\r"
            "And this one closes the document.\r");
        QCOMPARE(f.ccpText(), quint32(expected.size()));
        QCOMPARE(f.ccpHdd(), quint32(0));
        const docread::Pieces p = docread::pieces(f);
        QCOMPARE(p.cps, (QList<quint32>{0, quint32(expected.size())}));
        QCOMPARE(p.compressed, QList<bool>{false});
        QVERIFY(p.fcs[0] % 2 == 0 && p.fcs[0] >= 900); // after the FIB
        QCOMPARE(docread::text(f), expected);
        // one section covering the main document
        QCOMPARE(docread::plcCps(f.table, f.fc(kPlcfSed), f.lcb(kPlcfSed), 12),
                 (QList<quint32>{0, quint32(expected.size())}));
    }

    void propertyPagesCoverEveryCharacter_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("english") << 0;
        QTest::newRow("sectioned with headers") << 1;
        QTest::newRow("synthetic 40 pages") << 2;
        QTest::newRow("pictured") << 3;
        QTest::newRow("500 pictures") << 4;
    }

    void propertyPagesCoverEveryCharacter()
    {
        QFETCH(int, which);
        const Document d = which == 0   ? sample::english()
                           : which == 1 ? sample::sectioned()
                           : which == 2 ? sample::synthetic(40)
                           : which == 3 ? sample::pictured()
                                        : sample::manyPictures(500);
        const auto f = write(d, QStringLiteral("cover%1.doc").arg(which));
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        const QString t = docread::text(f);
        const quint32 fcMin = docread::pieces(f).fcs[0];
        const quint32 fcEnd = fcMin + 2 * static_cast<quint32>(t.size());

        const auto chars = docread::characterRuns(f);
        QVERIFY(!chars.isEmpty());
        quint32 at = fcMin;
        for (const auto& r : chars) {
            QCOMPARE(r.fcStart, at);
            QVERIFY(r.fcEnd > r.fcStart);
            QVERIFY(!r.grpprl.isEmpty());
            at = r.fcEnd;
        }
        QCOMPARE(at, fcEnd);

        const auto paras = docread::paragraphRuns(f);
        at = fcMin;
        QList<quint32> ends;
        for (const auto& r : paras) {
            QCOMPARE(r.fcStart, at);
            const QChar last = t.at((r.fcEnd - fcMin) / 2 - 1);
            QVERIFY2(last == QChar('\r') || last == QChar('\f'), "a paragraph must end in its mark");
            ends << (r.fcEnd - fcMin) / 2;
            at = r.fcEnd;
        }
        QCOMPARE(at, fcEnd);
        for (qsizetype i = 0; i < t.size(); ++i)
            if (t.at(i) == QChar('\r'))
                QVERIFY2(ends.contains(quint32(i + 1)), "every paragraph mark ends a paragraph run");
        if (which == 2)
            QVERIFY2(chars.size() > 100 && paras.size() > 1000, "large documents need many pages");
    }

    void chineseTextKeepsSurrogatesAndDropsReservedCharacters()
    {
        const auto f = write(sample::chinese(), "chinese.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        const QString t = docread::text(f);
        QVERIFY(t.startsWith(QStringLiteral("第一段：这是中文文本的转换测试。\rMixed 混合 text 文字 2024年12月\r")));
        const QString third = QStringLiteral("扩展字符") + QString::fromUcs4(U"\U00020000") + QStringLiteral("之后继续文本。\r");
        QVERIFY2(t.contains(third), qPrintable(t));
        QVERIFY(t.endsWith(QStringLiteral("\f第二页的第一段。\r")));
        for (QChar c : QStringView(t).left(t.size() - 1))
            QVERIFY(c.unicode() >= 0x20 || c == QChar('\r') || c == QChar('\f'));

        const auto fonts = docread::fonts(f);
        const auto s = docread::sprms(runAt(f, docread::characterRuns(f), QStringLiteral("第一段")).grpprl);
        const auto eastAsian = fonts.value(value(s, kCRgFtc1));
        QCOMPARE(eastAsian.name, QStringLiteral("SimSun"));
        QCOMPARE(eastAsian.charset, 134);
        const auto latin = fonts.value(value(s, kCRgFtc0));
        QCOMPARE(latin.name, QStringLiteral("Times New Roman"));
        QCOMPARE(latin.charset, 0);
        QCOMPARE(value(s, kCRgFtc2), value(s, kCRgFtc0));
    }

    void characterPropertiesAreStoredPerRun()
    {
        const auto f = write(sample::formatted(), "formatted.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        const auto runs = docread::characterRuns(f);
        auto at = [&](const char* text) { return docread::sprms(runAt(f, runs, QString::fromUtf8(text)).grpprl); };

        QCOMPARE(value(at("Bold words"), kCFBold), 1);
        QCOMPARE(value(at("Bold words"), kCFItalic), 0);
        QCOMPARE(value(at("Italic words"), kCFItalic), 1);
        QCOMPARE(value(at("Italic words"), kCFBold), 0);
        QCOMPARE(value(at("Large eighteen"), kCHps), 36);
        QCOMPARE(value(at("Bold words"), kCHps), 24);
        QCOMPARE(at("Red coloured").value(kCCv), QByteArray("\xCC\x00\x00\x00", 4)); // COLORREF r, g, b, 0
        QVERIFY(!at("Bold words").contains(kCCv));
        QCOMPARE(value(at("Raised"), kCIss), 1);
        QCOMPARE(value(at("Lowered"), kCIss), 2);
        QVERIFY(!at("Bold words").contains(kCIss));
        QCOMPARE(value(at("Small capitals"), kCFSmallCaps), 1);

        const auto fonts = docread::fonts(f);
        const auto arial = at("Arial with");
        QCOMPARE(fonts.value(value(arial, kCRgFtc0)).name, QStringLiteral("Arial"));
        QCOMPARE(fonts.value(value(arial, kCRgFtc2)).name, QStringLiteral("Arial"));
        QCOMPARE(fonts.value(value(arial, kCRgFtc0)).charset, 0);
        QCOMPARE(fonts.value(value(arial, kCRgFtc1)).name, QStringLiteral("SimHei"));
        QCOMPARE(fonts.value(value(arial, kCRgFtc1)).charset, 134);
    }

    // The font table takes a face's kind and its East Asian use from the
    // document, whatever its name suggests.
    void fontTableFollowsTheDocument()
    {
        Document d;
        auto& runs = d.sections.emplace_back().paragraphs.emplace_back().runs;
        auto run = [&](const char* text, const char* family, FontKind kind, const char* eastAsian = "") {
            CharFormat f;
            f.fontFamily = family;
            f.fontKind = kind;
            f.eastAsianFamily = eastAsian;
            f.eastAsianKind = kind;
            runs.push_back(Run{QString::fromUtf8(text).toStdU16String(), f, false});
        };
        run("latin ", "Hei Mono Serif", FontKind::Serif);
        run("code ", "Plain", FontKind::Typewriter);
        run("中文", "方正书宋", FontKind::Sans, "方正书宋");
        const auto f = write(d, "fonttable.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        const auto fonts = docread::fonts(f);
        const auto chars = docread::characterRuns(f);
        auto fontOf = [&](const char* text) { return fonts.value(value(docread::sprms(runAt(f, chars, QString::fromUtf8(text)).grpprl), kCRgFtc0)); };
        QCOMPARE(fontOf("latin").charset, 0);
        QCOMPARE(fontOf("latin").ffid, 0x16);  // FF_ROMAN, variable pitch, TrueType
        QCOMPARE(fontOf("code").ffid, 0x35);   // FF_MODERN, fixed pitch
        QCOMPARE(fontOf("中文").name, QStringLiteral("方正书宋"));
        QCOMPARE(fontOf("中文").charset, 134);
        QCOMPARE(fontOf("中文").ffid, 0x26);   // FF_SWISS
    }

    void paragraphPropertiesAndHeadings()
    {
        const auto f = write(sample::formatted(), "paragraphs.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        const auto runs = docread::paragraphRuns(f);
        auto para = [&](const char* text) { return runAt(f, runs, QString::fromUtf8(text)).grpprl; };

        for (int level = 1; level <= 3; ++level) {
            const char* names[] = {"Heading level one", "Heading level two", "Heading level three"};
            const QByteArray g = para(names[level - 1]);
            QCOMPARE(istdOf(g), level);
            QCOMPARE(value(docread::sprms(g.mid(2)), kPOutLvl), level - 1);
        }
        QCOMPARE(istdOf(para("Bold words")), 0);
        QVERIFY(!docread::sprms(para("Bold words").mid(2)).contains(kPOutLvl));

        QCOMPARE(value(docread::sprms(para("Centred").mid(2)), kPJc), 1);
        QCOMPARE(value(docread::sprms(para("Centred").mid(2)), kPJc80), 1);
        QCOMPARE(value(docread::sprms(para("Right aligned").mid(2)), kPJc), 2);
        QCOMPARE(value(docread::sprms(para("Justified").mid(2)), kPJc), 3);
        QVERIFY(!docread::sprms(para("Bold words").mid(2)).contains(kPJc));

        const auto indented = docread::sprms(para("Indented").mid(2));
        QCOMPARE(value(indented, kPDxaLeft), 720);
        QCOMPARE(value(indented, kPDxaLeft80), 720);
        QCOMPARE(value(indented, kPDxaRight), 360);
        QCOMPARE(value(indented, kPDxaLeft1), 360);
        const auto hanging = docread::sprms(para("Hanging indent").mid(2));
        QCOMPARE(value(hanging, kPDxaLeft), 1440);
        QCOMPARE(value(hanging, kPDxaLeft1), -720);

        const auto spaced = docread::sprms(para("Spaced").mid(2));
        QCOMPARE(value(spaced, kPDyaBefore), 240);
        QCOMPARE(value(spaced, kPDyaAfter), 120);
        QCOMPARE(spaced.value(kPDyaLine), QByteArray("\x68\x01\x01\x00", 4)); // 360, multiple
    }

    void styleSheetHasNormalHeadingsAndDefaultFont()
    {
        const auto f = write(sample::english(), "styles.doc");
        const auto styles = docread::styles(f);
        QCOMPARE(styles.size(), 5);
        QCOMPARE(styles[0].istd, 0);
        QCOMPARE(styles[0].sti, 0);
        QCOMPARE(styles[0].name, QStringLiteral("Normal"));
        QCOMPARE(istdOf(styles[0].paragraphUpx), 0);
        for (int level = 1; level <= 3; ++level) {
            const auto& s = styles[level];
            QCOMPARE(s.istd, level);
            QCOMPARE(s.sti, level);
            QCOMPARE(s.stk, 1);
            QCOMPARE(s.name, QStringLiteral("heading %1").arg(level));
            QCOMPARE(istdOf(s.paragraphUpx), level);
            QCOMPARE(value(docread::sprms(s.paragraphUpx.mid(2)), kPOutLvl), level - 1);
            QCOMPARE(value(docread::sprms(s.characterUpx), kCFBold), 1);
        }
        QVERIFY(value(docread::sprms(styles[1].characterUpx), kCHps) >
                value(docread::sprms(styles[3].characterUpx), kCHps));
        QCOMPARE(styles[4].istd, 10);
        QCOMPARE(styles[4].sti, 65);
        QCOMPARE(styles[4].stk, 2);
        QCOMPARE(styles[4].name, QStringLiteral("Default Paragraph Font"));
        QCOMPARE(f.u16(f.table, f.fc(kStshf) + 2), quint16(11)); // cstd
    }

    void sectionsCarryPageSetup()
    {
        const auto f = write(sample::sectioned(), "sections.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        const QString t = docread::text(f);
        const QList<quint32> cps = docread::plcCps(f.table, f.fc(kPlcfSed), f.lcb(kPlcfSed), 12);
        QCOMPARE(cps.size(), 3);
        QCOMPARE(cps[0], quint32(0));
        QCOMPARE(t.at(cps[1] - 1), QChar('\f')); // the section mark ends section 1
        QCOMPARE(t.mid(cps[1], cps[2] - cps[1]), QStringLiteral("Landscape section text.\r"));
        QCOMPARE(cps[2], f.ccpText());

        auto sepx = [&](int i) {
            const QByteArray sed = docread::plcData(f.table, f.fc(kPlcfSed), f.lcb(kPlcfSed), 12, i);
            const quint32 fc = f.u32(sed, 2);
            return docread::sprms(f.word.mid(fc + 2, f.u16(f.word, fc)));
        };
        const auto portrait = sepx(0);
        QCOMPARE(value(portrait, kSXaPage), 11906);
        QCOMPARE(value(portrait, kSYaPage), 16838);
        QCOMPARE(value(portrait, kSDxaLeft), 1800);
        QCOMPARE(value(portrait, kSDyaTop), 1440);
        QCOMPARE(value(portrait, kSBkc), 2);
        QVERIFY(!portrait.contains(kSBOrientation) || value(portrait, kSBOrientation) == 1);
        const auto landscape = sepx(1);
        QCOMPARE(value(landscape, kSXaPage), 16838);
        QCOMPARE(value(landscape, kSYaPage), 11906);
        QCOMPARE(value(landscape, kSBOrientation), 2);
        QCOMPARE(value(landscape, kSDxaLeft), 1440);
        // The header where the document puts it, else halfway into the margin.
        QCOMPARE(value(landscape, kSDyaHdrTop), 500);
        QCOMPARE(value(portrait, kSDyaHdrTop), 720);
    }

    // Columns: evenly spaced as one gap, uneven ones column by column, and
    // columns that do not fit the text width left out; a column break is 0x0E.
    void sectionColumns()
    {
        Document doc;
        // The default A4 page leaves 8306 twips of text width.
        const std::vector<std::vector<TextColumn>> layouts = {
            {{4000, 306}, {4000, 0}},       // even
            {{2500, 300}, {5506, 0}},       // uneven
            {{5000, 300}, {5000, 0}},       // wider than the text: one column
        };
        for (const auto& columns : layouts) {
            Section& s = doc.sections.emplace_back();
            s.page.columns = columns;
            s.page.continuous = true;
            Paragraph left, right;
            left.runs.push_back(Run{u"Left column.", {}, false});
            right.runs.push_back(Run{u"Right column.", {}, false});
            right.columnBreakBefore = true;
            s.paragraphs = {left, right};
        }
        const auto f = write(doc, "columns.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        QVERIFY(docread::text(f).startsWith(QStringLiteral("Left column.\r\x0eRight column.")));
        auto sepx = [&](int i) {
            const QByteArray sed = docread::plcData(f.table, f.fc(kPlcfSed), f.lcb(kPlcfSed), 12, i);
            const quint32 fc = f.u32(sed, 2);
            return docread::sprms(f.word.mid(fc + 2, f.u16(f.word, fc)));
        };
        const auto even = sepx(0), uneven = sepx(1), tooWide = sepx(2);
        QCOMPARE(value(even, kSCcolumns), 1);
        QCOMPARE(value(even, kSDxaColumns), 306);
        QVERIFY(!even.contains(kSFEvenlySpaced));
        QCOMPARE(value(uneven, kSCcolumns), 1);
        QCOMPARE(value(uneven, kSFEvenlySpaced), 0);
        QVERIFY(uneven.contains(kSDxaColWidth));
        QVERIFY(!tooWide.contains(kSCcolumns));
    }

    void headerStoriesAndPageFields()
    {
        const auto f = write(sample::sectioned(), "headers.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        const QString t = docread::text(f);
        QCOMPARE(quint32(t.size()), f.ccpText() + f.ccpHdd() + 1);
        QCOMPARE(t.back(), QChar('\r'));
        const QList<quint32> cps = docread::plcCps(f.table, f.fc(kPlcfHdd), f.lcb(kPlcfHdd), 0);
        QCOMPARE(cps.size(), 6 + 6 * 2 + 2);
        QCOMPARE(cps[cps.size() - 2], f.ccpHdd() - 1);

        const QStringList stories = headerStories(f);
        for (int i = 0; i < 6; ++i)
            QVERIFY(stories[i].isEmpty());
        const QString field = QStringLiteral("Page \x13 PAGE \x14"
                                             "1\x15\r\r");
        QCOMPARE(stories[6 + 1], QStringLiteral("Running head 页眉\r\r")); // odd header + guard
        QCOMPARE(stories[6 + 3], field);                                 // odd footer
        QCOMPARE(stories[12 + 1], QStringLiteral("Landscape head\r\r"));
        QCOMPARE(stories[12 + 3], field);
        for (int i : {6, 8, 10, 11, 12, 14, 16, 17})
            QVERIFY2(stories[i].isEmpty(), "even and first-page stories stay empty");

        // PlcfFldHdr: begin (PAGE), separator, end (has separator), twice.
        const QString hdd = t.mid(f.ccpText(), f.ccpHdd());
        const QList<quint32> fields = docread::plcCps(f.table, f.fc(kPlcfFldHdr), f.lcb(kPlcfFldHdr), 2);
        QCOMPARE(fields.size(), 7);
        const char kinds[] = {0x13, 0x14, 0x15};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(hdd.at(fields[i]).unicode(), ushort(kinds[i % 3]));
            const QByteArray fld = docread::plcData(f.table, f.fc(kPlcfFldHdr), f.lcb(kPlcfFldHdr), 2, i);
            QCOMPARE(fld.at(0) & 0x1F, kinds[i % 3]);
            if (i % 3 == 0)
                QCOMPARE(quint8(fld.at(1)), quint8(0x21)); // flt PAGE
            if (i % 3 == 2)
                QVERIFY(quint8(fld.at(1)) & 0x80); // fHasSep
        }
        // the field characters are special characters, the instruction is not
        const auto runs = docread::characterRuns(f);
        const quint32 fcMin = docread::pieces(f).fcs[0];
        auto specAt = [&](quint32 cp) {
            for (const auto& r : runs)
                if (r.fcStart <= fcMin + 2 * cp && fcMin + 2 * cp < r.fcEnd)
                    return value(docread::sprms(r.grpprl), kCFSpec);
            return -1;
        };
        QCOMPARE(specAt(f.ccpText() + fields[0]), 1);
        QCOMPARE(specAt(f.ccpText() + fields[1]), 1);
        QCOMPARE(specAt(f.ccpText() + fields[2]), 1);
        QCOMPARE(specAt(f.ccpText() + fields[0] + 2), 0);
    }

    // One LSTF with nine LVLs per list (number format, start, number text with
    // its placeholders, a tab after the label, indents and a tab stop, the
    // bullet's font), one LFO per list, and each item's paragraph naming its
    // list (1-based) and level.
    void listsAreDefinedAndReferredTo()
    {
        const Document d = sample::structured();
        const auto f = write(d, "lists.doc");
        const QList<docread::ListDefinition> lists = docread::lists(f);
        QCOMPARE(lists.size(), qsizetype(d.lists.size()));
        QList<qint32> ids;
        for (qsizetype i = 0; i < lists.size(); ++i) {
            QVERIFY(!lists[i].simple);
            QCOMPARE(lists[i].levels.size(), 9);
            ids << lists[i].lsid;
            const auto& model = d.lists[static_cast<std::size_t>(i)].levels;
            for (std::size_t l = 0; l < model.size(); ++l) {
                const docread::ListLevel& level = lists[i].levels[static_cast<qsizetype>(l)];
                QList<int> places;
                QCOMPARE(level.numberText, numberTextOf(model[l], places));
                QCOMPARE(level.numberPlaces, places);
                QCOMPARE(level.nfc, nfcOf(model[l].format));
                QCOMPARE(level.start, model[l].start);
                QCOMPARE(level.follow, 0);
                const auto papx = docread::sprms(level.papx);
                QCOMPARE(value(papx, kPDxaLeft), model[l].textIndent);
                QCOMPARE(value(papx, kPDxaLeft1), model[l].labelIndent - model[l].textIndent);
                QVERIFY(papx.contains(kPChgTabsPapx));
                const auto chpx = docread::sprms(level.chpx);
                QCOMPARE(chpx.contains(kCRgFtc0), !model[l].labelFont.empty());
                if (chpx.contains(kCRgFtc0))
                    QCOMPARE(docread::fonts(f).value(value(chpx, kCRgFtc0)).name, QString::fromStdString(model[l].labelFont));
            }
        }
        QCOMPARE(QSet<qint32>(ids.begin(), ids.end()).size(), ids.size());
        QCOMPARE(docread::listOverrides(f), ids);

        const QString t = docread::text(f);
        int items = 0;
        for (const Paragraph& p : d.sections.front().paragraphs) {
            const qsizetype cp = t.indexOf(QString::fromStdU16String(p.runs.front().text)); // before any field
            QVERIFY(cp >= 0);
            const auto sprms = docread::sprms(docread::paragraphPropertiesAt(f, quint32(cp)).mid(2));
            QCOMPARE(sprms.contains(kPIlfo), p.format.list >= 0);
            if (p.format.list < 0)
                continue;
            ++items;
            QCOMPARE(value(sprms, kPIlfo), p.format.list + 1);
            QCOMPARE(value(sprms, kPIlvl), p.format.listLevel);
            QCOMPARE(value(sprms, kPDxaLeft), p.format.leftIndent); // the paragraph's own indents as well
        }
        QCOMPARE(items, 11);
    }

    // The footnote document follows the main text: each note's text begins
    // with its reference mark and ends in a paragraph mark, then one more
    // mark closes it; the references are auto-numbered 0x02 characters where
    // the marks count 1, 2, 3, else the mark itself. The header stories stay
    // where PlcfHdd puts them after it.
    void footnotesInTheFootnoteDocument()
    {
        const auto f = write(sample::structured(), "notes.doc");
        const QString t = docread::text(f);
        QVERIFY(f.ccpFtn() > 0);
        QCOMPARE(quint32(t.size()), f.ccpText() + f.ccpFtn() + f.ccpHdd() + 1);

        const QList<quint32> refs = docread::plcCps(f.table, f.fc(kPlcffndRef), f.lcb(kPlcffndRef), 2);
        const QList<quint32> texts = docread::plcCps(f.table, f.fc(kPlcffndTxt), f.lcb(kPlcffndTxt), 0);
        const QString notes = t.mid(f.ccpText(), f.ccpFtn());
        struct Expected {
            int autoNumber;
            char16_t mark;
            const char* text;
        };
        const Expected expected[] = {{1, kAutoNote, "First note text."},
                                     {2, kAutoNote, "Second note text, see \x13 HYPERLINK \"https://example.org/notes\" \x14the notes site\x15"},
                                     {0, u'*', "Symbol note text."},
                                     {3, kAutoNote, "Note in a table cell."}};
        const qsizetype n = std::size(expected);
        QCOMPARE(refs.size(), n + 1);
        QCOMPARE(texts.size(), n + 2);
        QCOMPARE(texts[n], f.ccpFtn() - 1);
        QCOMPARE(texts[n + 1], f.ccpFtn());
        for (qsizetype i = 0; i < n; ++i) {
            const Expected& e = expected[i];
            QVERIFY(refs[i] < f.ccpText() && (i == 0 || refs[i] > refs[i - 1]));
            const QByteArray index = docread::plcData(f.table, f.fc(kPlcffndRef), f.lcb(kPlcffndRef), 2, int(i));
            QCOMPARE(f.u16(index, 0), quint16(e.autoNumber));
            QCOMPARE(t.at(refs[i]).unicode(), ushort(e.mark));
            const auto chp = docread::sprms(docread::characterPropertiesAt(f, refs[i]));
            QCOMPARE(value(chp, kCFSpec), e.autoNumber != 0 ? 1 : 0);
            QCOMPARE(value(chp, kCIss), 1);
            const QString note = notes.mid(texts[i], texts[i + 1] - texts[i]);
            QCOMPARE(note, QString(QChar(e.mark)) + QLatin1Char(' ') + QString::fromLatin1(e.text) + QLatin1Char('\r'));
            QCOMPARE(value(docread::sprms(docread::characterPropertiesAt(f, f.ccpText() + texts[i])), kCIss), 1);
        }
        QCOMPARE(notes.mid(texts[n]), QStringLiteral("\r"));
        // a link in a note is a field of the footnote document (PlcfFldFtn)
        const QList<quint32> fields = docread::plcCps(f.table, f.fc(kPlcfFldFtn), f.lcb(kPlcfFldFtn), 2);
        QCOMPARE(fields.size(), 4);
        QCOMPARE(fields[0], quint32(notes.indexOf(QChar(0x13))));
        QCOMPARE(fields[3], f.ccpFtn());
        QCOMPARE(quint8(docread::plcData(f.table, f.fc(kPlcfFldFtn), f.lcb(kPlcfFldFtn), 2, 0).at(1)), kFieldHyperlink);

        const QStringList stories = headerStories(f);
        QCOMPARE(stories[6 + 0], QStringLiteral("Even page head\r\r"));
        QCOMPARE(stories[6 + 1], QStringLiteral("Odd page head\r\r"));
        QVERIFY(stories[6 + 2].startsWith(QLatin1String("Even foot \x13 PAGE ")));
        QVERIFY(stories[6 + 3].startsWith(QLatin1String("Odd foot \x13 PAGE ")));
        QCOMPARE(f.u16(f.table, f.fc(kDop)) & 1, 1); // fFacingPages: even pages take their own
        QCOMPARE((f.u16(f.table, f.fc(kDop)) >> 5) & 3, 1); // fpc: notes at the foot of the page
        const auto plain = write(sample::sectioned(), "no-facing.doc");
        QCOMPARE(plain.u16(plain.table, plain.fc(kDop)) & 1, 0);
        QCOMPARE(plain.ccpFtn(), quint32(0));
        QCOMPARE(plain.lcb(kPlcffndRef), quint32(0));
    }

    // Once one section's even pages differ, a section alike on all pages
    // repeats its head and foot in its even slots (Word would show none).
    void evenSlotsOfASectionAlikeOnAllPages()
    {
        Document d = sample::sectioned();
        d.sections[1].evenPagesDiffer = true;
        d.sections[1].evenHeader.push_back(sample::paragraph(u"Landscape even head"));
        const QStringList stories = headerStories(write(d, "even-later.doc"));
        QCOMPARE(stories[6 + 0], stories[6 + 1]);
        QCOMPARE(stories[6 + 2], stories[6 + 3]);
        QCOMPARE(stories[12 + 0], QStringLiteral("Landscape even head\r\r"));
        QCOMPARE(stories[12 + 2], QStringLiteral("\r")); // its own even foot: none
    }

    // Each link is one HYPERLINK field (type 0x58) around its runs, the
    // address quoted and escaped, a bookmark named with \l; bookmarks are
    // points at their paragraphs' starts, under valid unique names.
    void hyperlinkFieldsAndBookmarks()
    {
        const auto f = write(sample::structured(), "links.doc");
        const QString t = docread::text(f);
        const QList<quint32> cps = docread::plcCps(f.table, f.fc(kPlcfFldMom), f.lcb(kPlcfFldMom), 2);
        const QStringList instructions{QStringLiteral(" HYPERLINK \"https://example.org/a%20b?q=%221%22&r=\\\\2\" "),
                                       QStringLiteral(" HYPERLINK \"mailto:someone@example.org\" "),
                                       QStringLiteral(" HYPERLINK \\l \"target_2\" ")};
        const QStringList results{QStringLiteral("the example site"), QStringLiteral("bold part italic part"),
                                  QStringLiteral("the target heading")};
        QCOMPARE(cps.size(), 3 * instructions.size() + 1);
        for (qsizetype i = 0; i < instructions.size(); ++i) {
            const quint32 begin = cps[3 * i], separator = cps[3 * i + 1], end = cps[3 * i + 2];
            QCOMPARE(t.at(begin).unicode(), ushort(0x13));
            QCOMPARE(t.at(separator).unicode(), ushort(0x14));
            QCOMPARE(t.at(end).unicode(), ushort(0x15));
            QCOMPARE(t.mid(begin + 1, separator - begin - 1), instructions[i]);
            QCOMPARE(t.mid(separator + 1, end - separator - 1), results[i]);
            QCOMPARE(quint8(docread::plcData(f.table, f.fc(kPlcfFldMom), f.lcb(kPlcfFldMom), 2, int(3 * i)).at(1)),
                     kFieldHyperlink);
            QVERIFY(quint8(docread::plcData(f.table, f.fc(kPlcfFldMom), f.lcb(kPlcfFldMom), 2, int(3 * i + 2)).at(1)) & 0x80);
            for (quint32 cp : {begin, separator, end})
                QCOMPARE(value(docread::sprms(docread::characterPropertiesAt(f, cp)), kCFSpec), 1);
        }
        // the two runs of one link keep their own formats inside the field
        QCOMPARE(value(docread::sprms(runAt(f, docread::characterRuns(f), QStringLiteral("bold part")).grpprl), kCFBold), 1);
        QCOMPARE(value(docread::sprms(runAt(f, docread::characterRuns(f), QStringLiteral(" italic part")).grpprl), kCFItalic), 1);
        QVERIFY(t.contains(QStringLiteral("Not links: a local file, a script, a bad bookmark\r")));

        QCOMPARE(docread::bookmarkNames(f), QStringList({QStringLiteral("top"), QStringLiteral("target_2")}));
        const QList<quint32> starts = docread::plcCps(f.table, f.fc(kPlcfBkf), f.lcb(kPlcfBkf), 4);
        const QList<quint32> ends = docread::plcCps(f.table, f.fc(kPlcfBkl), f.lcb(kPlcfBkl), 0);
        QCOMPARE(starts.size(), 3);
        QCOMPARE(starts.mid(0, 2), QList<quint32>({0, quint32(t.indexOf(QStringLiteral("Target heading\r")))}));
        QCOMPARE(ends.mid(0, 2), starts.mid(0, 2));
        for (int i = 0; i < 2; ++i)
            QCOMPARE(f.u16(docread::plcData(f.table, f.fc(kPlcfBkf), f.lcb(kPlcfBkf), 4, i), 0), quint16(i)); // ibkl
    }

    // Out-of-range lists and levels, lists without levels, odd labels,
    // note marks out of range, repeated, empty, in a head or a note, unsafe
    // and malformed links and bookmark names: the file keeps all the text,
    // and only what Word can take is written as a list, note, field or bookmark.
    void hostileStructuresStayValid_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("links");
        QTest::addColumn<int>("bookmarks");
        QTest::newRow("lists out of range") << Change([](Document& d) {
            auto& body = d.sections[0].paragraphs;
            body.push_back(item(u"Unknown list.", 99, 0));
            body.push_back(item(u"Negative list.", -7, 0));
            body.push_back(item(u"Level twelve.", 0, 12));
            body.push_back(item(u"Negative level.", 0, -3));
        }) << 2 << 0 << 0 << 0;
        QTest::newRow("more lists than Word numbers") << Change([](Document& d) {
            d.lists.resize(3000, d.lists.front());
            d.sections[0].paragraphs.push_back(item(u"Last list that Word takes.", 0x07FD, 0));
            d.sections[0].paragraphs.push_back(item(u"One list too many.", 0x07FE, 0));
        }) << 1 << 0 << 0 << 0;
        QTest::newRow("lists without levels, odd labels") << Change([](Document& d) {
            d.lists.push_back({});
            ListLevel& odd = d.lists[0].levels[0];
            odd.label = u"%0 %%9 \u0001\u0013" + std::u16string(200, u'x');
            odd.start = -5;
            odd.labelIndent = -999999;
            odd.textIndent = 999999;
            ListLevel blank; // a bullet without characters
            blank.label.clear();
            d.lists[0].levels.push_back(blank);
            d.sections[0].paragraphs.push_back(item(u"Default level.", 1, 3));
            d.sections[0].paragraphs.push_back(item(u"Odd label.", 0, 0));
        }) << 2 << 0 << 0 << 0;
        QTest::newRow("note marks") << Change([](Document& d) {
            Paragraph p = sample::paragraph(u"Marks:");
            p.runs.push_back(markRun(u"1", 0));
            p.runs.push_back(markRun(u"1", 0));     // the same note again: text
            p.runs.push_back(markRun(u"x", 99));    // no such note: text
            p.runs.push_back(markRun(u" ", 1));     // no mark: an asterisk
            p.runs.push_back(markRun(u"\U0001F600", 2)); // beyond one UTF-16 character: an asterisk
            d.sections[0].paragraphs.push_back(p);
            d.sections[0].header.front().runs.push_back(markRun(u"h", 0)); // no notes in heads
            d.footnotes[1].paragraphs.front().runs.push_back(markRun(u"n", 2)); // nor in notes
            d.footnotes[2].paragraphs.clear(); // a note without text
        }) << 0 << 3 << 0 << 0;
        QTest::newRow("links") << Change([](Document& d) {
            Paragraph p = sample::paragraph(u"Links:");
            for (const char* link : {"https://", "#", "#with space", "mailto:", "\xff\xfe", "ftp:/x", "data:text/html,x"})
                p.runs.push_back(linkRun(u" plain", link));
            p.runs.push_back(linkRun(u" long", "https://e.org/" + std::string(5000, 'a')));
            p.runs.push_back(linkRun(u" upper", "HTTPS://EXAMPLE.ORG"));
            p.runs.push_back(linkRun(u" escaped", "http://x.org/\"quote\\back"));
            d.sections[0].paragraphs.push_back(p);
        }) << 0 << 0 << 2 << 0;
        QTest::newRow("bookmark names") << Change([](Document& d) {
            auto& body = d.sections[0].paragraphs;
            body.front().bookmarks = {"", "a", "a"};
            body.push_back(sample::paragraph(u"Second."));
            body.back().bookmarks = {"with space", std::string(41, 'x'), std::string(40, 'x'), "a", "A"};
            body.push_back(sample::paragraph(u"Third."));
            body.back().bookmarks = {"目标", "_lead", "9lead", "ok_1", "bad\xff"};
        }) << 0 << 0 << 0 << 4;
    }

    void hostileStructuresStayValid()
    {
        QFETCH(Change, change);
        QFETCH(int, items);
        QFETCH(int, notes);
        QFETCH(int, links);
        QFETCH(int, bookmarks);
        Document d = hostileBase();
        change(d);
        const auto f = write(d, QStringLiteral("hostile.doc"));
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        const QString t = docread::text(f);
        QCOMPARE(quint32(t.size()), f.ccpText() + f.ccpFtn() + f.ccpHdd() + 1);

        // Every run's text is there, in order (fields' instructions between).
        const QString body = t.left(f.ccpText());
        qsizetype at = 0;
        for (const Paragraph& p : d.sections[0].paragraphs)
            for (const Run& r : p.runs) {
                const QString text = QString::fromStdU16String(r.text).trimmed();
                if (r.footnote >= 0 || text.isEmpty())
                    continue;
                const qsizetype found = body.indexOf(text, at);
                QVERIFY2(found >= 0, qPrintable(text));
                at = found + text.size();
            }

        // Lists: nine levels each, labels within bounds; items name existing ones.
        const QList<docread::ListDefinition> lists = docread::lists(f);
        QCOMPARE(lists.size(), qMin(qsizetype(d.lists.size()), qsizetype(0x07FE)));
        for (const auto& list : lists) {
            QCOMPARE(list.levels.size(), 9);
            for (qsizetype l = 0; l < 9; ++l) {
                QVERIFY(list.levels[l].numberText.size() <= 64 && list.levels[l].start >= 0);
                QVERIFY(list.levels[l].nfc != kNfcBullet || !list.levels[l].numberText.isEmpty());
                for (QChar c : list.levels[l].numberText)
                    QVERIFY(c.unicode() >= 0x20 || c.unicode() <= l); // placeholders of this level and above only
                for (int place : list.levels[l].numberPlaces)
                    QVERIFY(place >= 1 && place <= list.levels[l].numberText.size()
                            && list.levels[l].numberText.at(place - 1).unicode() <= l);
            }
        }
        int listed = 0;
        for (const auto& run : docread::paragraphRuns(f)) {
            const auto sprms = docread::sprms(run.grpprl.mid(2));
            if (!sprms.contains(kPIlfo))
                continue;
            ++listed;
            QVERIFY(value(sprms, kPIlfo) >= 1 && value(sprms, kPIlfo) <= docread::listOverrides(f).size());
            QVERIFY(value(sprms, kPIlvl) >= 0 && value(sprms, kPIlvl) <= 8);
        }
        QCOMPARE(listed, items);

        // Notes: references in order in the main text, texts closing the footnote document.
        auto plc = [&f](int pair, int dataSize) {
            return f.lcb(pair) == 0 ? QList<quint32>{} : docread::plcCps(f.table, f.fc(pair), f.lcb(pair), dataSize);
        };
        const QList<quint32> refs = plc(kPlcffndRef, 2);
        QCOMPARE(qMax(0, int(refs.size()) - 1), notes);
        for (qsizetype i = 0; i + 1 < refs.size(); ++i)
            QVERIFY(refs[i] < f.ccpText() && (i == 0 || refs[i] > refs[i - 1]));
        if (notes > 0) {
            const QList<quint32> texts = docread::plcCps(f.table, f.fc(kPlcffndTxt), f.lcb(kPlcffndTxt), 0);
            QCOMPARE(texts.size(), qsizetype(notes + 2));
            QCOMPARE(texts[notes], f.ccpFtn() - 1);
            for (int i = 0; i < notes; ++i)
                QCOMPARE(t.at(f.ccpText() + texts[i + 1] - 1), QChar('\r'));
        }

        // Links: whole fields of type HYPERLINK.
        const QList<quint32> fields = plc(kPlcfFldMom, 2);
        QCOMPARE(qMax(0, int(fields.size()) - 1) / 3, links);
        for (int i = 0; i < links; ++i) {
            QCOMPARE(t.at(fields[3 * i]), QChar(0x13));
            QVERIFY(t.mid(fields[3 * i] + 1).startsWith(QLatin1String(" HYPERLINK \"")));
            QCOMPARE(t.at(fields[3 * i + 1]), QChar(0x14));
            QCOMPARE(t.at(fields[3 * i + 2]), QChar(0x15));
        }
        if (links > 0)
            QVERIFY(t.contains(QStringLiteral("HYPERLINK \"http://x.org/%22quote\\\\back\"")));

        const QStringList names = docread::bookmarkNames(f);
        QCOMPARE(names.size(), bookmarks);
        QSet<QString> unique;
        for (const QString& name : names)
            unique.insert(name.toLower());
        QCOMPARE(unique.size(), names.size()); // Word tells names apart regardless of case
        for (const QString& name : names)
            QVERIFY2(name.size() <= 40 && name.at(0).isLetter() && !name.contains(QLatin1Char(' ')), qPrintable(name));
    }

    void laterSectionWithoutHeaderDoesNotInheritIt()
    {
        Document d = sample::sectioned();
        d.sections[1].header.clear();
        d.sections[1].footer.clear();
        const auto f = write(d, "noinherit.doc");
        const QStringList stories = headerStories(f);
        QCOMPARE(stories[12 + 1], QStringLiteral("\r")); // guard only: an empty header of its own
        QCOMPARE(stories[12 + 3], QStringLiteral("\r"));

        Document none = sample::english();
        const auto g = write(none, "noheaders.doc");
        QCOMPARE(g.ccpHdd(), quint32(0));
        QCOMPARE(g.lcb(kPlcfHdd), quint32(0));
        QCOMPARE(quint32(docread::text(g).size()), g.ccpText());
    }

    void summaryInformationHoldsTheTitle()
    {
        const auto f = write(sample::sectioned(), "title.doc");
        QVERIFY(!f.summary.isEmpty());
        QVERIFY(!f.documentSummary.isEmpty());
        QVERIFY2(f.summary.contains(utf16le(QStringLiteral("转换测试 Section Title"))), "title in UTF-16");
        QVERIFY(f.summary.contains(utf16le(QStringLiteral("Velkaro"))));

        Document ascii = sample::english();
        ascii.info.title = "Plain ASCII title";
        const auto g = write(ascii, "ascii-title.doc");
        QVERIFY(g.summary.contains("Plain ASCII title"));
    }

    void emptySectionsAndParagraphsStayValid()
    {
        Document d;
        d.sections.resize(2); // no paragraphs at all
        d.sections[0].paragraphs.push_back(Paragraph{});
        const auto f = write(d, "empty.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        QCOMPARE(docread::text(f), QStringLiteral("\f\r"));
        QCOMPARE(docread::paragraphRuns(f).size(), 2);
    }

    void failuresAreReportedAndLeaveNoFile()
    {
        const QString missingDir = dir_.filePath("no/such/dir/out.doc");
        std::string reason = doc::writeWordDocument(sample::english(), missingDir.toStdString());
        QVERIFY(!reason.empty());
        QVERIFY(reason.find('\n') == std::string::npos);
        QVERIFY(!QFile::exists(missingDir));

        const QString noSections = dir_.filePath("nosections.doc");
        reason = doc::writeWordDocument(Document{}, noSections.toStdString());
        QVERIFY(!reason.empty());
        QVERIFY(!QFile::exists(noSections));

        const QString isDir = dir_.filePath("adir");
        QVERIFY(QDir().mkpath(isDir));
        QVERIFY(!doc::writeWordDocument(sample::english(), isDir.toStdString()).empty());

        // an existing file is replaced by a complete document
        const QString existing = dir_.filePath("existing.doc");
        QFile old(existing);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("not a word file");
        old.close();
        QCOMPARE(doc::writeWordDocument(sample::english(), existing.toStdString()), std::string());
        QVERIFY(docread::open(existing).error.isEmpty());
    }

    // Every row of every table: its end mark holds the cell edges from the
    // table's indent (less the padding), merges, alignment, borders, the
    // header flag, the height and the shading; a row too long for a
    // formatting page is read from the Data stream.
    void tableRowsCarryTheirLayout_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("tables") << 0;
        QTest::newRow("300 rows, 63 cells") << 1;
    }

    void tableRowsCarryTheirLayout()
    {
        QFETCH(int, which);
        const Document d = which == 0 ? sample::tables() : sample::largeTables();
        const docread::DocFile f = write(d, QStringLiteral("tables%1.doc").arg(which));
        QVERIFY(f.error.isEmpty());
        const QList<DecodedRow> decoded = rowEnds(f);
        int expectedRows = 0;
        for (const Table& t : d.sections[0].tables)
            expectedRows += static_cast<int>(t.rows.size());
        QCOMPARE(decoded.size(), expectedRows);

        qsizetype at = 0;
        int lastPage = 0;
        for (const Table& t : d.sections[0].tables) {
            // Word's 108 twips, less in tables of narrow cells (a quarter of the narrowest).
            int padding = 108;
            for (const TableRow& row : t.rows)
                for (const TableCell& cell : row.cells)
                    padding = std::min(padding, cell.width / 4);
            bool leading = true;
            for (const TableRow& row : t.rows) {
                const DecodedRow& got = decoded[at++];
                const QString where = QStringLiteral("row %1").arg(at - 1);
                QCOMPARE(got.flags.size(), static_cast<qsizetype>(row.cells.size()));
                QCOMPARE(got.edges.value(0), t.leftIndent - value(got.sprms, kTDxaGapHalf));
                QCOMPARE(value(got.sprms, kTDxaGapHalf), padding);
                QCOMPARE(value(got.sprms, kPItap), 1);
                QCOMPARE(value(got.sprms, kPFInTable), 1);
                for (std::size_t c = 0; c < row.cells.size(); ++c) {
                    const TableCell& cell = row.cells[c];
                    QVERIFY2(got.edges[c + 1] - got.edges[c] == cell.width, qPrintable(where));
                    const quint16 flags = got.flags[c];
                    QCOMPARE(bool(flags & 0x20), cell.verticalMerge != VerticalMerge::None); // fVertMerge
                    QCOMPARE(bool(flags & 0x40), cell.verticalMerge == VerticalMerge::Restart); // fVertRestart
                    QCOMPARE((flags >> 7) & 3, static_cast<int>(cell.verticalAlignment));
                    QCOMPARE(got.topBorderWidths[c], cell.top.width);
                }
                leading = leading && row.header;
                QCOMPARE(got.sprms.contains(kTTableHeader), leading);
                QCOMPARE(value(got.sprms, kTDyaRowHeight), row.height);
                const bool shaded = std::any_of(row.cells.begin(), row.cells.end(), [](const TableCell& c) { return c.shaded; });
                QCOMPARE(got.sprms.contains(kTDefTableShd80), shaded);
                QCOMPARE(got.sprms.contains(kTDefTableShd), shaded);
                for (std::size_t c = 0; c < std::min<std::size_t>(row.cells.size(), 22); ++c)
                    if (row.cells[c].shaded) // after the length byte, Shd: cvFore, then cvBack as red, green, blue, fAuto
                        QCOMPARE(docread::operandValue(got.sprms.value(kTDefTableShd).mid(1 + 10 * c + 4, 4)) & 0xFFFFFF,
                                 static_cast<int>(((row.cells[c].shadingRgb & 0xFF) << 16) | (row.cells[c].shadingRgb & 0xFF00)
                                                  | (row.cells[c].shadingRgb >> 16)));
                QCOMPARE(got.fromDataStream, row.cells.size() == kMaxTableColumns);
                if (row.cells.size() == kMaxTableColumns) {
                    QVERIFY(got.sprms.contains(kTDefTableShd2nd)); // shaded cells beyond the 22nd
                    QVERIFY(got.sprms.contains(kTSetBrc));         // a border colour outside the palette
                }
                lastPage = std::max(lastPage, got.page);
            }
        }
        if (which == 1) {
            QVERIFY2(lastPage >= 10, "the long table's rows fill many formatting pages");
            return;
        }

        // Cell paragraphs are in the table at depth 1; text outside stays out.
        const auto runs = docread::paragraphRuns(f);
        for (const char* text : {"Name", "Second line", "Across two columns", "张三"}) {
            const auto cellProps = docread::sprms(runAt(f, runs, QString::fromUtf8(text)).grpprl.mid(2));
            QVERIFY2(value(cellProps, kPFInTable) == 1 && value(cellProps, kPItap) == 1 && !cellProps.contains(kPFTtp), text);
        }
        QVERIFY(!docread::sprms(runAt(f, runs, QStringLiteral("Text after the grid table.")).grpprl.mid(2)).contains(kPFInTable));
        // A cell's last paragraph ends in a cell mark, its others in paragraph marks.
        const QString t = docread::text(f);
        QVERIFY(t.contains(QStringLiteral("First line\rSecond line\a")));
        QVERIFY(t.contains(QStringLiteral("Across two columns\aDown two rows\a\a")));
    }

    // More cells than Word allows in a row: the rest goes into the last
    // cell; a table asked to start a page starts one; an empty cell, a row
    // without cells and sizes out of range are written without harm.
    void tableEdgeCases()
    {
        Document d;
        Section& s = d.sections.emplace_back();
        s.paragraphs = {sample::paragraph(u"Before"), sample::paragraph(u"After")};
        Table wide;
        wide.beforeParagraph = 1;
        wide.pageBreakBefore = true;
        TableRow row;
        for (int i = 0; i < 70; ++i) {
            TableCell c;
            c.width = 100;
            c.paragraphs.push_back(sample::paragraph(u"c" + QString::number(i).toStdU16String()));
            row.cells.push_back(c);
        }
        row.cells[3].paragraphs.clear();
        Paragraph& icon = row.cells[1].paragraphs.front(); // a picture in a cell's line
        icon.runs.front().text += kInlinePictureMark;
        icon.inlinePictures.push_back(pictureOf(sample::image(ImageFormat::Png, 8, 8, Qt::red), 200, 200));
        wide.rows = {row, TableRow{}};
        s.tables.push_back(wide);
        // Values no page gives: widths below nothing and past the page, an
        // indent far to the left, a height beyond any page.
        Table odd;
        odd.beforeParagraph = 99;
        odd.leftIndent = -50000;
        TableRow oddRow;
        oddRow.height = 99999;
        for (int width : {-5, 0, 40000, 40000}) {
            TableCell c;
            c.width = width;
            oddRow.cells.push_back(c);
        }
        oddRow.cells[0].verticalMerge = VerticalMerge::Continue; // nothing above to continue
        odd.rows = {oddRow};
        s.tables.push_back(odd);
        const docread::DocFile f = write(d, QStringLiteral("clipped.doc"));
        QVERIFY(f.error.isEmpty());
        const QList<DecodedRow> rows = rowEnds(f);
        QCOMPARE(rows.size(), 2);
        for (qsizetype i = 1; i < rows[1].edges.size(); ++i)
            QVERIFY(rows[1].edges[i] >= rows[1].edges[i - 1] && qAbs(rows[1].edges[i]) <= 31680);
        QCOMPARE(rows[1].flags[0] & 0x60, 0); // no merge
        QVERIFY(value(rows[1].sprms, kTDyaRowHeight) > 0);
        QCOMPARE(rows[0].flags.size(), static_cast<qsizetype>(kMaxTableColumns));
        QCOMPARE(rows[0].edges.last() - rows[0].edges.first(), 70 * 100);
        const QString t = docread::text(f);
        QVERIFY(t.contains(QStringLiteral("c1\x01\ac2\a\ac4\a")));
        const QList<PictureChar> pictures = pictureCharacters(f);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(docread::inlinePicture(f, pictures[0].location()).error, QString());
        QVERIFY(docread::inlinePicture(f, pictures[0].location()).shownWidth() <= 100); // fits its cell
        QVERIFY(t.contains(QStringLiteral("\ac62\rc63\r")));
        QVERIFY(t.contains(QStringLiteral("c69\a\aAfter\r")));
        QCOMPARE(t.count(QChar(kCellMark)), static_cast<qsizetype>(kMaxTableColumns + 1 + 5));
        const auto first = docread::sprms(runAt(f, docread::paragraphRuns(f), QStringLiteral("c0")).grpprl.mid(2));
        QCOMPARE(value(first, kPFPageBreakBefore), 1);
        QVERIFY(!t.contains(QChar(0x000C))); // no break character inside the table
    }

    void unusualValuesAreClamped()
    {
        Document d = sample::english();
        d.sections[0].page.width = 0; // unusable: falls back to A4
        d.sections[0].page.marginLeft = -5;
        d.sections[0].paragraphs[0].runs[0].format.halfPoints = 100000;
        d.sections[0].paragraphs[0].runs[0].format.fontFamily = std::string(200, 'x');
        const auto f = write(d, "clamped.doc");
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        const QByteArray sed = docread::plcData(f.table, f.fc(kPlcfSed), f.lcb(kPlcfSed), 12, 0);
        const auto sep = docread::sprms(f.word.mid(f.u32(sed, 2) + 2, f.u16(f.word, f.u32(sed, 2))));
        QCOMPARE(value(sep, kSXaPage), 11906);
        QVERIFY(value(sep, kSDxaLeft) >= 0);
        const auto s = docread::sprms(runAt(f, docread::characterRuns(f), QStringLiteral("The first")).grpprl);
        QCOMPARE(value(s, kCHps), 3276);
        QVERIFY(docread::fonts(f).value(value(s, kCRgFtc0)).name.size() <= 31);
    }
};

QTEST_GUILESS_MAIN(TestDocStructure)
#include "tst_docwriter_structure.moc"

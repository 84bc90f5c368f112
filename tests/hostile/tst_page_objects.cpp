// The reader's images, paths and drawn regions on small PDFs written byte
// by byte: where each image shows, its pixels as shown, JPEG kept as the
// file carried it, masks as alpha, one XObject's data shared between pages,
// paths by their boxes, and the caps on what a page may declare.
#include "ImageDecoder.h"
#include "PdfReader.h"
#include "ReadLimits.h"
#include "RegionRenderer.h"
#include "TestImages.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using namespace pwt;
using namespace pwt::hostile;

struct Pixel {
    int x, y;
    QRgb rgba;
};

Q_DECLARE_METATYPE(pwt::pdf::Box)
Q_DECLARE_METATYPE(Pixel)

namespace {

// Page text beside the pictures: every test page has words.
const std::string kText = "BT /F1 12 Tf 72 760 Td (Words beside the picture.) Tj ET ";
// Box comparisons allow for rounding in poppler's transformation.
constexpr double kPointTolerance = 0.01;

// JPEG is lossy: its colours are compared this loosely (per channel).
constexpr int kColourTolerance = 48;

bool sameColour(QRgb a, QRgb b)
{
    // A transparent pixel's colour does not matter.
    if (qAlpha(a) == 0 || qAlpha(b) == 0)
        return qAlpha(a) == qAlpha(b);
    return std::abs(qRed(a) - qRed(b)) <= kColourTolerance && std::abs(qGreen(a) - qGreen(b)) <= kColourTolerance
           && std::abs(qBlue(a) - qBlue(b)) <= kColourTolerance && std::abs(qAlpha(a) - qAlpha(b)) <= 1;
}

class ReadPdf {
public:
    explicit ReadPdf(const std::string& bytes)
    {
        const std::string path = m_dir.filePath(QStringLiteral("in.pdf")).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        m_opened = reader.open(path) == pdf::ReadFailure::None;
    }
    bool opened() const { return m_opened; }
    pdf::PageText page(int number)
    {
        pdf::PageText out;
        reader.readPage(number, out, 10.0);
        return out;
    }
    pdf::PdfReader reader;

private:
    QTemporaryDir m_dir;
    bool m_opened = false;
};

bool sameBox(const pdf::Box& a, const pdf::Box& b)
{
    return std::abs(a.xMin - b.xMin) < kPointTolerance && std::abs(a.yMin - b.yMin) < kPointTolerance
           && std::abs(a.xMax - b.xMax) < kPointTolerance && std::abs(a.yMax - b.yMax) < kPointTolerance;
}

QString boxText(const pdf::Box& b)
{
    return QStringLiteral("[%1 %2 %3 %4]").arg(b.xMin).arg(b.yMin).arg(b.xMax).arg(b.yMax);
}

QImage decoded(const ImageData& data)
{
    return QImage::fromData(data.bytes.data(), static_cast<int>(data.bytes.size()))
        .convertToFormat(QImage::Format_ARGB32);
}

// 4 x 2 pixels: red, green, blue, white over four black.
const std::string kFourColours = std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12) + std::string(12, '\0');

} // namespace

class PageObjectsTest : public QObject {
    Q_OBJECT
private slots:
    void images_data()
    {
        QTest::addColumn<QByteArray>("pdf");
        QTest::addColumn<pwt::pdf::Box>("box");
        QTest::addColumn<bool>("jpeg");      // kept as the file's JPEG bytes
        QTest::addColumn<QByteArray>("bytes"); // those bytes, when JPEG
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QList<Pixel>>("expected");

        // Shown 200 x 100 pt with its bottom-left at (50, 600): from the top
        // of the 792 pt page, y runs 92 to 192.
        const pdf::Box upright{50, 92, 250, 192};
        const std::string jpeg = encodeJpeg(16, 8, 3, bands(16, 8, 3));
        {
            ImageDocument doc;
            const auto im = doc.addImage(imageObject(16, 8, 8, "/ColorSpace /DeviceRGB /Filter /DCTDecode", jpeg));
            QTest::newRow("jpeg kept as it is") << QByteArray::fromStdString(doc.build({kText + drawAt(im, "200 0 0 100 50 600")}))
                                               << upright << true << QByteArray::fromStdString(jpeg) << QSize(16, 8)
                                               << QList<Pixel>{};
        }
        {
            ImageDocument doc;
            const auto im = doc.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB /Filter /FlateDecode", deflate(kFourColours)));
            QTest::newRow("flate rgb") << QByteArray::fromStdString(doc.build({kText + drawAt(im, "200 0 0 100 50 600")}))
                                       << upright << false << QByteArray() << QSize(4, 2)
                                       << QList<Pixel>{{0, 0, 0xFFFF0000}, {1, 0, 0xFF00FF00}, {2, 0, 0xFF0000FF},
                                                       {3, 0, 0xFFFFFFFF}, {0, 1, 0xFF000000}};
            // A quarter turn to the left: the top row runs up the left side.
            ImageDocument turned;
            const auto im2 = turned.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB", kFourColours));
            QTest::newRow("turned a quarter") << QByteArray::fromStdString(turned.build({kText + drawAt(im2, "0 200 -100 0 250 600")}))
                                              << pdf::Box{150, -8, 250, 192} << false << QByteArray() << QSize(2, 4)
                                              << QList<Pixel>{{0, 3, 0xFFFF0000}, {0, 2, 0xFF00FF00}, {0, 1, 0xFF0000FF},
                                                              {0, 0, 0xFFFFFFFF}, {1, 3, 0xFF000000}};
            ImageDocument flipped;
            const auto im3 = flipped.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB", kFourColours));
            QTest::newRow("mirrored") << QByteArray::fromStdString(flipped.build({kText + drawAt(im3, "-200 0 0 100 250 600")}))
                                      << upright << false << QByteArray() << QSize(4, 2)
                                      << QList<Pixel>{{3, 0, 0xFFFF0000}, {0, 0, 0xFFFFFFFF}, {3, 1, 0xFF000000}};
        }
        {
            // Grey JPEG in an ICC-based space is kept; an inverting Decode
            // array changes its colours, so that one is decoded.
            const std::string greyJpeg = encodeJpeg(16, 8, 1, bands(16, 8, 1));
            ImageDocument icc;
            const int profile = icc.add(streamObject("/N 1 /Alternate /DeviceGray", "not a profile"));
            const auto im = icc.addImage(imageObject(16, 8, 8, "/ColorSpace [/ICCBased " + ref(profile) + "] /Filter /DCTDecode", greyJpeg));
            QTest::newRow("grey jpeg, ICC-based") << QByteArray::fromStdString(icc.build({kText + drawAt(im, "200 0 0 100 50 600")}))
                                                  << upright << true << QByteArray::fromStdString(greyJpeg) << QSize(16, 8)
                                                  << QList<Pixel>{};
            ImageDocument inverted;
            const auto im2 = inverted.addImage(imageObject(16, 8, 8, "/ColorSpace /DeviceRGB /Decode [1 0 1 0 1 0] /Filter /DCTDecode", jpeg));
            QTest::newRow("jpeg inverted by Decode")
                << QByteArray::fromStdString(inverted.build({kText + drawAt(im2, "200 0 0 100 50 600")})) << upright << false
                << QByteArray() << QSize(16, 8) << QList<Pixel>{{8, 1, 0xFF00FFFF}, {8, 6, 0xFFFF00FF}};
        }
        {
            // A turned JPEG cannot be kept as it is.
            ImageDocument doc;
            const auto im = doc.addImage(imageObject(16, 8, 8, "/ColorSpace /DeviceRGB /Filter /DCTDecode", jpeg));
            QTest::newRow("jpeg upside down") << QByteArray::fromStdString(doc.build({kText + drawAt(im, "200 0 0 -100 50 700")}))
                                              << upright << false << QByteArray() << QSize(16, 8)
                                              << QList<Pixel>{{8, 6, 0xFFFF0000}, {8, 1, 0xFF00FF00}};
        }
        {
            ImageDocument doc;
            const int mask = doc.add(imageObject(4, 2, 8, "/ColorSpace /DeviceGray", std::string("\x00\x80\xFF\xFF\xFF\xFF\xFF\xFF", 8)));
            const auto im = doc.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB /SMask " + ref(mask), kFourColours));
            QTest::newRow("soft mask") << QByteArray::fromStdString(doc.build({kText + drawAt(im, "200 0 0 100 50 600")}))
                                       << upright << false << QByteArray() << QSize(4, 2)
                                       << QList<Pixel>{{0, 0, 0x00FF0000}, {1, 0, 0x8000FF00}, {2, 0, 0xFF0000FF}};
            // A mask of another size is sampled to the image's.
            ImageDocument other;
            const int big = other.add(imageObject(8, 4, 8, "/ColorSpace /DeviceGray",
                                                  std::string(8, '\0') + std::string(8, '\0') + std::string(16, '\xFF')));
            const auto im2 = other.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB /SMask " + ref(big), kFourColours));
            QTest::newRow("soft mask of another size")
                << QByteArray::fromStdString(other.build({kText + drawAt(im2, "200 0 0 100 50 600")})) << upright << false
                << QByteArray() << QSize(4, 2) << QList<Pixel>{{0, 0, 0x00FF0000}, {0, 1, 0xFF000000}};
        }
        {
            // Stencil mask: samples of 0 paint in the fill colour.
            ImageDocument doc;
            const auto im = doc.addImage(imageObject(8, 2, 1, "/ImageMask true", std::string("\x0F\xFF", 2)));
            QTest::newRow("stencil mask") << QByteArray::fromStdString(doc.build({kText + "0 0 1 rg " + drawAt(im, "200 0 0 100 50 600")}))
                                          << upright << false << QByteArray() << QSize(8, 2)
                                          << QList<Pixel>{{0, 0, 0xFF0000FF}, {7, 0, 0x000000FF}, {0, 1, 0x000000FF}};
            // Grey pictures are kept in grey, with their alpha.
            ImageDocument black;
            const auto im3 = black.addImage(imageObject(8, 2, 1, "/ImageMask true", std::string("\x0F\xFF", 2)));
            QTest::newRow("stencil mask in black")
                << QByteArray::fromStdString(black.build({kText + "0 g " + drawAt(im3, "200 0 0 100 50 600")})) << upright
                << false << QByteArray() << QSize(8, 2) << QList<Pixel>{{0, 0, 0xFF000000}, {7, 0, 0x00000000}};
            ImageDocument grey;
            const auto im4 = grey.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceGray", std::string("\x00\x40\x80\xFF\xFF\xFF\xFF\xFF", 8)));
            QTest::newRow("grey") << QByteArray::fromStdString(grey.build({kText + drawAt(im4, "200 0 0 100 50 600")})) << upright
                                  << false << QByteArray() << QSize(4, 2)
                                  << QList<Pixel>{{0, 0, 0xFF000000}, {1, 0, 0xFF404040}, {2, 0, 0xFF808080}, {3, 1, 0xFFFFFFFF}};
            // Explicit mask: where it has 1 the image is hidden.
            ImageDocument masked;
            const int mask = masked.add(imageObject(4, 2, 1, "/ImageMask true", std::string("\x30\x00", 2)));
            const auto im2 = masked.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB /Mask " + ref(mask), kFourColours));
            QTest::newRow("explicit mask") << QByteArray::fromStdString(masked.build({kText + drawAt(im2, "200 0 0 100 50 600")}))
                                           << upright << false << QByteArray() << QSize(4, 2)
                                           << QList<Pixel>{{0, 0, 0xFFFF0000}, {2, 0, 0x000000FF}, {3, 0, 0x00FFFFFF},
                                                           {0, 1, 0xFF000000}};
        }
    }

    void images()
    {
        QFETCH(QByteArray, pdf);
        QFETCH(pwt::pdf::Box, box);
        QFETCH(bool, jpeg);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, pixels);
        QFETCH(QList<Pixel>, expected);

        ReadPdf read(pdf.toStdString());
        QVERIFY(read.opened());
        const pdf::PageText page = read.page(1);
        QVERIFY(page.wordCount() > 0);
        QCOMPARE(page.images.size(), std::size_t{1});
        const pdf::PageImage& image = page.images.front();
        QVERIFY2(sameBox(image.box, box), qPrintable(boxText(image.box)));
        QVERIFY(image.image);
        QCOMPARE(QSize(image.image->pixelWidth, image.image->pixelHeight), pixels);
        QCOMPARE(image.image->format == ImageFormat::Jpeg, jpeg);
        if (jpeg)
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.image->bytes.data()),
                                static_cast<qsizetype>(image.image->bytes.size())),
                     bytes);
        const QImage shown = decoded(*image.image);
        QCOMPARE(shown.size(), pixels);
        for (const Pixel& p : expected) {
            const QRgb got = shown.pixel(p.x, p.y);
            QVERIFY2(sameColour(got, p.rgba), qPrintable(QStringLiteral("pixel %1,%2 is %3, not %4").arg(p.x).arg(p.y)
                                          .arg(got, 8, 16, QLatin1Char('0')).arg(p.rgba, 8, 16, QLatin1Char('0'))));
        }
        QVERIFY(read.reader.takeWarnings().empty());
    }

    // The visible part is what the clip leaves of the box.
    void clippedImage()
    {
        ImageDocument doc;
        const auto im = doc.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB", kFourColours));
        ReadPdf read(doc.build({kText + "q 100 600 50 100 re W n " + drawAt(im, "200 0 0 100 50 600") + "Q"}));
        const pdf::PageText page = read.page(1);
        QCOMPARE(page.images.size(), std::size_t{1});
        QVERIFY(sameBox(page.images[0].box, {50, 92, 250, 192}));
        QVERIFY2(sameBox(page.images[0].visible, {100, 92, 150, 192}), qPrintable(boxText(page.images[0].visible)));
    }

    // A logo on every page: one image, read once.
    void sameXObjectSharesData()
    {
        ImageDocument doc;
        const auto im = doc.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB", kFourColours));
        ReadPdf read(doc.build({kText + drawAt(im, "200 0 0 100 50 600"), kText + drawAt(im, "100 0 0 50 300 100")}));
        const pdf::PageText first = read.page(1);
        const pdf::PageText second = read.page(2);
        QCOMPARE(first.images.size(), std::size_t{1});
        QCOMPARE(second.images.size(), std::size_t{1});
        QCOMPARE(first.images[0].image.get(), second.images[0].image.get());
        QVERIFY(sameBox(second.images[0].box, {300, 642, 400, 692}));
    }

    // Shown small first, then large: the large place gets all its pixels.
    void sameXObjectShownLarger()
    {
        constexpr int kSide = 400;
        ImageDocument doc;
        const auto im = doc.addImage(imageObject(kSide, kSide, 8, "/ColorSpace /DeviceGray /Filter /FlateDecode",
                                                 deflate(bands(kSide, kSide, 1))));
        ReadPdf read(doc.build({kText + drawAt(im, "7.2 0 0 7.2 50 600"), kText + drawAt(im, "300 0 0 300 50 100")}));
        const pdf::PageText small = read.page(1);
        const pdf::PageText large = read.page(2);
        QCOMPARE(small.images.size(), std::size_t{1});
        QCOMPARE(large.images.size(), std::size_t{1});
        QVERIFY(small.images[0].image->pixelWidth < kSide);
        QCOMPARE(large.images[0].image->pixelWidth, kSide);
        QCOMPARE(large.images[0].image->pixelHeight, kSide);
    }

    // What a page may declare is capped; what it cannot show is left out.
    void caps_data()
    {
        QTest::addColumn<QByteArray>("pdf");
        QTest::addColumn<int>("images");
        QTest::addColumn<QString>("warning"); // part of the one warning, or none

        const std::string zeros(std::size_t{10000} * 5000, '\0');
        ImageDocument huge;
        const auto big = huge.addImage(imageObject(10000, 5000, 8, "/ColorSpace /DeviceGray /Filter /FlateDecode", deflate(zeros)));
        QTest::newRow("sampled down") << QByteArray::fromStdString(huge.build({kText + drawAt(big, "612 0 0 306 0 0")})) << 1
                                      << QString();

        // Its 84 bytes of data would end after a few rows, but the samples it
        // declares (30 GB) are what reading or drawing it costs.
        ImageDocument vastSamples;
        const auto declared = vastSamples.addImage(imageObject(100000, 100000, 8, "/ColorSpace /DeviceRGB /Filter /FlateDecode",
                                                               deflate(std::string(1 << 16, '\x7F'))));
        QTest::newRow("samples past the bound")
            << QByteArray::fromStdString(vastSamples.build({kText + drawAt(declared, "200 0 0 200 72 400")})) << 0
            << QStringLiteral("it claims 100000 x 100000 pixels");

        ImageDocument many;
        const auto im = many.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB", kFourColours));
        std::string content = kText;
        for (std::size_t i = 0; i < pdf::kMaxImagesPerPage + 5; ++i)
            content += drawAt(im, "20 0 0 10 " + std::to_string(i % 30 * 20) + " " + std::to_string(i / 30 * 10));
        QTest::newRow("too many") << QByteArray::fromStdString(many.build({content}))
                                  << static_cast<int>(pdf::kMaxImagesPerPage) << QStringLiteral("5 more were left out");

        ImageDocument small;
        const auto spacer = small.addImage(imageObject(1, 1, 8, "/ColorSpace /DeviceGray", std::string(1, '\0')));
        const auto tiny = small.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB", kFourColours));
        QTest::newRow("spacer and dot") << QByteArray::fromStdString(small.build({kText + drawAt(spacer, "300 0 0 300 0 0")
                                                                                  + drawAt(tiny, "1 0 0 1 400 400")}))
                                        << 0 << QString();

        ImageDocument absurd;
        const auto vast = absurd.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB", kFourColours));
        QTest::newRow("shown a billion points wide")
            << QByteArray::fromStdString(absurd.build({kText + drawAt(vast, "0 1000000000 -1000000000 0 0 0")})) << 0
            << QStringLiteral("a picture was left out: it is shown far larger than the page");

        ImageDocument unknown;
        const auto odd = unknown.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB /Filter /NoSuchFilter", kFourColours));
        QTest::newRow("unknown filter") << QByteArray::fromStdString(unknown.build({kText + drawAt(odd, "200 0 0 100 50 600")}))
                                        << 0 << QStringLiteral("a picture was left out: its compression (NoSuchFilter)");

        ImageDocument damaged;
        const auto junk = damaged.addImage(imageObject(4, 2, 8, "/ColorSpace /DeviceRGB /Filter /FlateDecode", "not zlib at all"));
        QTest::newRow("damaged data") << QByteArray::fromStdString(damaged.build({kText + drawAt(junk, "200 0 0 100 50 600")}))
                                      << 0 << QStringLiteral("a picture was left out: its data is damaged");

        ImageDocument cut;
        const auto half = cut.addImage(imageObject(4, 8, 8, "/ColorSpace /DeviceRGB", kFourColours));
        QTest::newRow("data ends early") << QByteArray::fromStdString(cut.build({kText + drawAt(half, "200 0 0 100 50 600")}))
                                         << 1 << QStringLiteral("ends early");
    }

    void caps()
    {
        QFETCH(QByteArray, pdf);
        QFETCH(int, images);
        QFETCH(QString, warning);

        ReadPdf read(pdf.toStdString());
        QVERIFY(read.opened());
        const pdf::PageText page = read.page(1);
        QVERIFY(page.wordCount() > 0);
        QCOMPARE(static_cast<int>(page.images.size()), images);
        for (const pdf::PageImage& image : page.images) {
            QVERIFY(image.image);
            QVERIFY(static_cast<double>(image.image->pixelWidth) * image.image->pixelHeight <= pdf::kMaxDecodedPixels);
        }
        const std::vector<std::string> warnings = read.reader.takeWarnings();
        if (warning.isEmpty()) {
            QVERIFY(warnings.empty());
        } else {
            QCOMPARE(warnings.size(), std::size_t{1});
            QVERIFY2(QString::fromStdString(warnings[0]).contains(warning), warnings[0].c_str());
        }
    }

    void paths()
    {
        const std::string content = kText
                                    + "1 0 0 rg 100 100 50 20 re f "                       // rectangle
                                      "0 0 1 RG 2 w 100 500 m 300 500 l S "                // rule
                                      "0 1 0 rg 100 300 m 150 400 l 200 300 l f "          // triangle
                                      "1 1 0 rg 0 0 0 RG 1 w 400 100 100 50 re B "         // framed box
                                      "q 0 0 10 10 re W n 1 0 0 rg 300 300 50 50 re f Q";  // clipped away
        ReadPdf read(simplePdf({content}));
        const pdf::PageText page = read.page(1);
        QVERIFY(page.wordCount() > 0);
        QCOMPARE(page.paths.size(), std::size_t{4});

        const pdf::PagePath& rect = page.paths[0];
        QVERIFY2(sameBox(rect.box, {100, 672, 150, 692}), qPrintable(boxText(rect.box)));
        QVERIFY(rect.filled && !rect.stroked && rect.rectangle);
        QCOMPARE(rect.fillRgb, 0xFF0000u);

        const pdf::PagePath& rule = page.paths[1];
        QVERIFY2(sameBox(rule.box, {100, 292, 300, 292}), qPrintable(boxText(rule.box)));
        QVERIFY(rule.stroked && !rule.filled && rule.rectangle);
        QCOMPARE(rule.strokeRgb, 0x0000FFu);
        QCOMPARE(rule.lineWidth, 2.0);

        const pdf::PagePath& triangle = page.paths[2];
        QVERIFY2(sameBox(triangle.box, {100, 392, 200, 492}), qPrintable(boxText(triangle.box)));
        QVERIFY(triangle.filled && !triangle.rectangle);
        QCOMPARE(triangle.fillRgb, 0x00FF00u);

        const pdf::PagePath& framed = page.paths[3];
        QVERIFY2(sameBox(framed.box, {400, 642, 500, 692}), qPrintable(boxText(framed.box)));
        QVERIFY(framed.filled && framed.stroked && framed.rectangle);
        QCOMPARE(framed.fillRgb, 0xFFFF00u);
        QCOMPARE(framed.strokeRgb, 0x000000u);
    }

    void pathsCapped()
    {
        std::string content = kText;
        for (std::size_t i = 0; i < pdf::kMaxPathsPerPage + 10; ++i)
            content += std::to_string(i % 600) + " " + std::to_string(i / 600) + " 1 1 re f ";
        ReadPdf read(simplePdf({content}));
        QCOMPARE(read.page(1).paths.size(), pdf::kMaxPathsPerPage);
    }

    void region_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("72 dpi") << 72.0 << QSize(200, 100);
        QTest::newRow("200 dpi") << 200.0 << QSize(557, 279); // whole pixels around the region
    }

    // A red square with its top-left corner at (100, 100) from the page's
    // top-left, drawn from a region that starts 50 pt before it.
    void region()
    {
        QFETCH(double, dpi);
        QFETCH(QSize, pixels);
        ReadPdf read(simplePdf({"1 0 0 rg 100 592 100 100 re f"}));
        const auto image = read.reader.renderRegion(1, {50, 50, 250, 150}, dpi);
        QVERIFY(image);
        QCOMPARE(image->format, ImageFormat::Png);
        const QImage shown = decoded(*image);
        QCOMPARE(shown.size(), pixels);
        QCOMPARE(QSize(image->pixelWidth, image->pixelHeight), pixels);
        const double scale = dpi / 72.0;
        QCOMPARE(shown.pixel(static_cast<int>(100 * scale), static_cast<int>(75 * scale)), 0xFFFF0000u);
        QCOMPARE(shown.pixel(static_cast<int>(25 * scale), static_cast<int>(25 * scale)), 0xFFFFFFFFu);
    }

    void regionCapped()
    {
        ReadPdf read(simplePdf({"1 0 0 rg 100 592 100 100 re f"}));
        const auto image = read.reader.renderRegion(1, {0, 0, 612, 792}, 2400);
        QVERIFY(image);
        QVERIFY(static_cast<double>(image->pixelWidth) * image->pixelHeight <= pdf::kMaxRegionPixels * 1.001);
        QVERIFY(image->pixelWidth > 3000); // drawn at the highest resolution the cap allows
        QVERIFY(!read.reader.renderRegion(1, {700, 0, 800, 100}, 200)); // off the page
    }
};

QTEST_GUILESS_MAIN(PageObjectsTest)
#include "tst_page_objects.moc"

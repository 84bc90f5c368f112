// The rules of recognition on their own: which pages are recognised, the
// language list and its packages, spaces and sizes of recognised words,
// column gaps and edge jitter, and the page renderer's size caps and survey.
#include "LanguageData.h"
#include "PageRenderer.h"
#include "RecognizedPage.h"
#include "ScanGeometry.h"
#include "ScanSamples.h"
#include "TextLayerCheck.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using namespace pwt;

namespace {

pdf::TextWord word(const std::u32string& text, double x0, double x1, double size = 11, double top = 100)
{
    pdf::TextWord w;
    w.text = text;
    w.box = pdf::Box{x0, top, x1, top + size};
    w.baseline = top + size * 0.8;
    w.fontSize = size;
    w.spaceAfter = true;
    return w;
}

// A page whose one line holds `text` `repeat` times, word by word.
pdf::PageText pageWith(const std::u32string& text, int repeat)
{
    pdf::PageText page;
    pdf::TextLine line;
    for (int i = 0; i < repeat; ++i)
        line.words.push_back(word(text, 72 + i * 10.0, 80 + i * 10.0));
    if (repeat > 0)
        page.flows.emplace_back().blocks.emplace_back().lines.push_back(line);
    return page;
}

pdf::TextLine lineOf(std::initializer_list<std::pair<double, double>> spans, double top, double size = 11)
{
    pdf::TextLine line;
    for (const auto& [x0, x1] : spans)
        line.words.push_back(word(U"w", x0, x1, size, top));
    return line;
}

} // namespace

class OcrRulesTest : public QObject {
    Q_OBJECT
private slots:
    void pagesToRecognise_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("words");
        QTest::addColumn<double>("coverage"); // < 0: must not be asked
        QTest::addColumn<bool>("recognise");
        QTest::newRow("no text") << QString() << 0 << -1.0 << true;
        QTest::newRow("garbage glyphs") << QStringLiteral("\uFFFD\uE012") << 200 << -1.0 << true;
        QTest::newRow("text page, no images") << QStringLiteral("words") << 200 << -1.0 << false;
        QTest::newRow("scan with a stamp line") << QStringLiteral("scanned") << 3 << 1.0 << true;
        QTest::newRow("little text beside a small picture") << QStringLiteral("caption") << 3 << 0.2 << false;
        QTest::newRow("recognised scan, invisible text") << QStringLiteral("contract") << 150 << -1.0 << false;
        QTest::newRow("half-page photo, short caption") << QStringLiteral("photo") << 4 << 0.5 << true;
    }
    void pagesToRecognise()
    {
        QFETCH(QString, text);
        QFETCH(int, words);
        QFETCH(double, coverage);
        QFETCH(bool, recognise);
        const QList<uint> ucs4 = text.toUcs4();
        const pdf::PageText page = pageWith(std::u32string(ucs4.begin(), ucs4.end()), words);
        bool asked = false;
        const bool got = ocr::needsRecognition(page, [&] {
            asked = true;
            return coverage;
        });
        QCOMPARE(got, recognise);
        if (coverage < 0)
            QVERIFY2(!asked, "the page's images were surveyed although its text decides");
    }

    void languageLists_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("default") << QStringLiteral("chi_sim+eng") << QStringList{QStringLiteral("chi_sim"), QStringLiteral("eng")};
        QTest::newRow("one") << QStringLiteral("eng") << QStringList{QStringLiteral("eng")};
        QTest::newRow("empty") << QString() << QStringList{};
        QTest::newRow("empty name") << QStringLiteral("eng+") << QStringList{};
        QTest::newRow("a path") << QStringLiteral("../../etc/passwd") << QStringList{};
        QTest::newRow("a folder") << QStringLiteral("script/Han") << QStringList{};
        QTest::newRow("too many") << QStringLiteral("a+b+c+d+e+f+g+h+i") << QStringList{};
    }
    void languageLists()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, names);
        QStringList got;
        for (const std::string& n : ocr::splitLanguages(list.toStdString()))
            got << QString::fromStdString(n);
        QCOMPARE(got, names);
    }

    void missingLanguageNamesItsPackage()
    {
        QTemporaryDir data;
        QFile eng(data.filePath(QStringLiteral("eng.traineddata")));
        QVERIFY(eng.open(QIODevice::WriteOnly));
        eng.close();
        const ocr::LanguageData found = ocr::findLanguageData("chi_sim+eng", data.path().toStdString());
        QVERIFY(!found.ok());
        QVERIFY2(found.error.find("tesseract-ocr-chi-sim") != std::string::npos, found.error.c_str());
        QVERIFY2(found.error.find("tesseract-ocr-eng") == std::string::npos, found.error.c_str());
        QVERIFY(!found.orientationData);
        QVERIFY(ocr::findLanguageData("eng", data.path().toStdString()).ok());
        QCOMPARE(ocr::debianPackageFor("chi_tra_vert"), std::string("tesseract-ocr-chi-tra-vert"));
    }

    void spacesBetweenRecognisedWords_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<double>("gapEm");
        QTest::addColumn<bool>("space");
        QTest::newRow("English words") << QStringLiteral("survey") << QStringLiteral("boat") << 0.3 << true;
        QTest::newRow("Chinese characters") << QStringLiteral("合") << QStringLiteral("同") << 0.3 << false;
        QTest::newRow("Chinese then Latin") << QStringLiteral("以") << QStringLiteral("PDF") << 0.3 << false;
        QTest::newRow("Chinese punctuation") << QStringLiteral("租金") << QStringLiteral("，") << 0.1 << false;
        QTest::newRow("a form's wide gap") << QStringLiteral("姓名：") << QStringLiteral("张三") << 2.0 << true;
    }
    void spacesBetweenRecognisedWords()
    {
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(double, gapEm);
        QFETCH(bool, space);
        const QList<uint> l = left.toUcs4(), r = right.toUcs4();
        QCOMPARE(ocr::spaceBetween(std::u32string(l.begin(), l.end()), std::u32string(r.begin(), r.end()), gapEm * 12, 12), space);
    }

    void sizesFromLineHeights()
    {
        QCOMPARE(ocr::lineFontSize(11.04, false), 12.0); // a Latin row of 12 pt type
        QCOMPARE(ocr::lineFontSize(14.64, true), 12.0);  // a Chinese one
        QCOMPARE(ocr::lineFontSize(0.01, false), ocr::kFontSizeStepPt);
        QCOMPARE(ocr::fromUtf8("租a\xff"), std::u32string(U"租a\uFFFD"));
    }

    void linesAcrossAColumnGapSplit()
    {
        // A heading across both columns, then three lines read across the gap.
        pdf::TextFlow flow;
        pdf::TextBlock& block = flow.blocks.emplace_back();
        block.lines.push_back(lineOf({{200, 260}, {264, 330}}, 80, 18));
        for (int i = 0; i < 3; ++i)
            block.lines.push_back(lineOf({{72, 150}, {154, 280}, {310, 400}, {404, 520}}, 110 + i * 14.0));
        const std::vector<pdf::TextFlow> flows = ocr::splitAtColumnGaps({flow});
        QCOMPARE(flows.size(), std::size_t(3));
        QCOMPARE(flows[0].blocks[0].lines.size(), std::size_t(1)); // the heading
        QCOMPARE(flows[1].blocks[0].lines.size(), std::size_t(3)); // the left column
        QCOMPARE(flows[2].blocks[0].lines.size(), std::size_t(3)); // the right column
        QCOMPARE(flows[2].blocks[0].lines[0].words.front().box.xMin, 310.0);
        QVERIFY(!flows[1].blocks[0].lines[0].words.back().spaceAfter);

        // One column with word gaps only, and one line with a gap where a
        // word could not be read: left as it was.
        pdf::TextFlow single;
        single.blocks.emplace_back().lines.push_back(lineOf({{72, 150}, {155, 280}}, 100));
        single.blocks.back().lines.push_back(lineOf({{96, 120}, {160, 280}}, 114));
        const auto same = ocr::splitAtColumnGaps({single});
        QCOMPARE(same.size(), std::size_t(1));
        QCOMPARE(same[0].blocks[0].lines.size(), std::size_t(2));
        QCOMPARE(same[0].blocks[0].lines[1].words.size(), std::size_t(2));

        // The engine's last block holds one line across both columns: the
        // columns the page's other lines show split it too.
        pdf::TextFlow last;
        last.blocks.emplace_back().lines.push_back(lineOf({{72, 150}, {310, 400}}, 160));
        const auto withLast = ocr::splitAtColumnGaps({flow, last});
        QCOMPARE(withLast.size(), std::size_t(5));
        QCOMPARE(withLast[4].blocks[0].lines[0].words.front().box.xMin, 310.0);
    }

    void blocksCutInsideAParagraphJoined()
    {
        auto flowAt = [](double left, double top, int lines) {
            pdf::TextFlow flow;
            pdf::TextBlock& block = flow.blocks.emplace_back();
            for (int i = 0; i < lines; ++i)
                block.lines.push_back(lineOf({{left, left + 200}}, top + i * 14.0));
            block.box = pdf::Box{left, top, left + 200, top + (lines - 1) * 14.0 + 11};
            return flow;
        };
        std::vector<pdf::TextFlow> flows = {flowAt(72, 100, 3),   // a column's paragraph...
                                            flowAt(310, 100, 3),  // the next column
                                            flowAt(72, 142, 1),   // ...its last line, cut off by the engine
                                            flowAt(72, 175, 2)};  // a new paragraph after a gap
        ocr::joinCutBlocks(flows);
        QCOMPARE(flows.size(), std::size_t(3));
        QCOMPARE(flows[0].blocks.size(), std::size_t(1));
        QCOMPARE(flows[0].blocks[0].lines.size(), std::size_t(4));
        QCOMPARE(flows[0].blocks[0].box.yMax, 153.0);
        QCOMPARE(flows[1].blocks[0].lines.front().words.front().box.xMin, 310.0);
        QCOMPARE(flows[2].blocks[0].lines.size(), std::size_t(2));
    }

    void jitterEvened()
    {
        pdf::TextBlock block;
        block.lines.push_back(lineOf({{72.2, 300}}, 100, 11.5));
        block.lines.push_back(lineOf({{71.8, 300.6}}, 114, 11));
        block.lines.push_back(lineOf({{96.0, 300.2}}, 128, 11));  // an indented line stays indented
        block.lines.push_back(lineOf({{72.4, 180}}, 142, 16));   // a larger line keeps its size
        ocr::regularise(block);
        const auto left = [&](int i) { return block.lines[static_cast<std::size_t>(i)].words.front().box.xMin; };
        const auto right = [&](int i) { return block.lines[static_cast<std::size_t>(i)].words.back().box.xMax; };
        QCOMPARE(left(0), left(1));
        QCOMPARE(left(1), left(3));
        QCOMPARE(left(2), 96.0);
        QCOMPARE(right(0), right(1));
        QCOMPARE(right(1), right(2));
        QCOMPARE(block.lines[0].words[0].fontSize, block.lines[1].words[0].fontSize);
        QCOMPARE(block.lines[3].words[0].fontSize, 16.0);
    }

    void renderSizeCapped_data()
    {
        QTest::addColumn<double>("widthPt");
        QTest::addColumn<double>("heightPt");
        QTest::newRow("A4") << 595.0 << 842.0;
        QTest::newRow("200 inches a side") << 14400.0 << 14400.0;
        QTest::newRow("a strip") << 20.0 << 14400.0;
    }
    void renderSizeCapped()
    {
        QFETCH(double, widthPt);
        QFETCH(double, heightPt);
        const double dpi = pdf::cappedDpi(widthPt, heightPt, pdf::kRecognitionDpi);
        QVERIFY(dpi <= pdf::kRecognitionDpi);
        const double w = widthPt / 72 * dpi, h = heightPt / 72 * dpi;
        QVERIFY(w * h <= pdf::kMaxRenderedPixels * 1.001);
        QVERIFY(std::max(w, h) <= pdf::kMaxRenderedSide + 1);
        if (widthPt < 1000 && heightPt < 1000)
            QCOMPARE(dpi, pdf::kRecognitionDpi);
    }

    void rendersPagesAndMeasuresTheirImages()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pages.pdf"));
        QImage scan(600, 800, QImage::Format_Grayscale8);
        scan.fill(200);
        test::ScanPage text;
        text.drawText = [](QPainter& p) { p.drawText(QPointF(72, 100), QStringLiteral("Text only")); };
        test::ScanPage absurd{scan, QSizeF(14400, 14400), {}, false};
        test::ScanPage rule;
        rule.drawText = [](QPainter& p) { p.drawLine(QPointF(72, 400), QPointF(500, 400)); };
        test::writeScanPdf(path, {test::ScanPage{scan, QSizeF(595.276, 841.89), {}, false}, text, absurd,
                                  test::ScanPage{}, rule});

        pdf::PageRenderer renderer;
        QCOMPARE(renderer.open(path.toStdString()), pdf::ReadFailure::None);
        const pdf::GreyImage a4 = renderer.render(1);
        QVERIFY(std::abs(a4.width - 2480) <= 1 && std::abs(a4.height - 3508) <= 1);
        QCOMPARE(a4.pixels.size(), std::size_t(a4.width) * std::size_t(a4.height));
        QCOMPARE(int(a4.pixels[a4.pixels.size() / 2]), 200);
        QVERIFY(renderer.imageCoverage(1) > 0.95);
        QCOMPARE(renderer.imageCoverage(2), 0.0);
        const pdf::GreyImage big = renderer.render(3);
        QVERIFY(!big.empty());
        QVERIFY(double(big.width) * big.height <= pdf::kMaxRenderedPixels * 1.001);
        QVERIFY(renderer.render(6).empty());

        // Only the page that draws nothing is known blank without rendering.
        const QList<bool> draws{true, true, true, false, true};
        for (int page = 1; page <= draws.size(); ++page)
            QVERIFY2(renderer.drawsAnything(page) == draws[page - 1], qPrintable(QString::number(page)));
    }
};

QTEST_MAIN(OcrRulesTest)
#include "tst_ocr_rules.moc"

#include "PictureSample.h"

#include "PdfComposer.h"

#include <QPainter>
#include <QRandomGenerator>

namespace pwt::test {

namespace {

// A photograph: smooth shades with grain, which Qt's writer stores as JPEG.
QImage photograph()
{
    QImage image(400, 260, QImage::Format_RGB32);
    QRandomGenerator grain(7);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int noise = static_cast<int>(grain.bounded(24));
            image.setPixel(x, y, qRgb(std::min(255, 120 + x / 4 + noise), std::min(255, 60 + y / 2 + noise), 200 - y / 2 + noise / 2));
        }
    return image;
}

// Flat colours with a see-through band: Qt's writer keeps such an image
// losslessly, with a soft mask.
QImage flatPicture()
{
    QImage image(200, 120, QImage::Format_ARGB32);
    image.fill(QColor(255, 255, 255, 0));
    QPainter p(&image);
    p.fillRect(0, 0, 66, 120, QColor(200, 30, 30));
    p.fillRect(66, 0, 67, 120, QColor(30, 160, 60));
    p.fillRect(133, 0, 67, 100, QColor(30, 60, 200));
    return image;
}

} // namespace

PictureSample makePicturePdf(const QString& path)
{
    using namespace fmt;
    PictureSample sample;
    sample.path = path;
    PdfComposer pdf(path, QStringLiteral("Pictures"));
    const double left = 72, width = 451;
    auto text = [&](const QString& t) { pdf.paragraph(plain(t)); };
    // A paragraph across the column, so that the page's text sets its width.
    auto body = [&] {
        const QString sentence = QStringLiteral("This report sets its pictures between paragraphs of running text, as "
                                                "reports, manuals and papers do, so that each picture stands where the "
                                                "reader meets it and at the size the page shows it. ");
        pdf.paragraph(plain(sentence.repeated(4).trimmed(), serif(), Align::Justify));
    };

    const QImage photo = photograph();
    const QString intro = QStringLiteral("The photograph below shows the evening light over the hills.");
    const QString flatIntro = QStringLiteral("A flat picture follows at the left margin of the text.");
    body();
    text(intro);
    const QSizeF photoSize(240, 156);
    pdf.image(QRectF(QPointF(left + (width - photoSize.width()) / 2, pdf.y() + 6), photoSize), photo);
    pdf.setY(pdf.y() + photoSize.height() + 12);
    text(flatIntro);
    const QImage flat = flatPicture();
    const QSizeF flatSize(150, 90);
    pdf.image(QRectF(QPointF(left, pdf.y() + 6), flatSize), flat);
    pdf.setY(pdf.y() + flatSize.height() + 12);
    const QString afterFlat = QStringLiteral("The text goes on after the flat picture.");
    text(afterFlat);
    // An icon inside a line of text.
    {
        QImage icon(20, 20, QImage::Format_RGB32);
        icon.fill(QColor(200, 40, 40));
        const TextStyle style = serif();
        const double baseline = pdf.y() + 10;
        sample.iconLine = {QStringLiteral("Press the"), QStringLiteral("button to start.")};
        sample.iconPt = QSizeF(9, 9);
        pdf.textAt(left, baseline, sample.iconLine[0], style);
        const double x = left + pdf.advance(sample.iconLine[0] + QLatin1Char(' '), style);
        pdf.image(QRectF(QPointF(x, baseline - 8), sample.iconPt), icon);
        pdf.textAt(x + sample.iconPt.width() + pdf.advance(QStringLiteral(" "), style), baseline, sample.iconLine[1], style);
        pdf.setY(baseline + 12);
    }

    pdf.newPage();
    const QString chartIntro = QStringLiteral("The chart shows the sales of each quarter.");
    body();
    text(chartIntro);
    const QRectF chart(QPointF(left + 75, pdf.y() + 10), QSizeF(300, 200));
    const QStringList quarters{QStringLiteral("Q1"), QStringLiteral("Q2"), QStringLiteral("Q3"), QStringLiteral("Q4")};
    pdf.drawing([&](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(chart.bottomLeft() + QPointF(30, -30), chart.topLeft() + QPointF(30, 10));
        p.drawLine(chart.bottomLeft() + QPointF(30, -30), chart.bottomRight() + QPointF(-10, -30));
        const double heights[] = {60, 110, 90, 140};
        for (int i = 0; i < 4; ++i) {
            const double x = chart.left() + 50 + i * 60;
            p.fillRect(QRectF(x, chart.bottom() - 30 - heights[i], 36, heights[i]), QColor(70, 110, 170));
        }
    });
    for (int i = 0; i < 4; ++i)
        pdf.textAt(chart.left() + 58 + i * 60, chart.bottom() - 14, quarters[i], sans(9));
    pdf.setY(chart.bottom() + 12);
    const QString chartEnd = QStringLiteral("Sales rose in every quarter but the third.");
    text(chartEnd);
    const QString photoAgain = QStringLiteral("The same photograph is shown once more below.");
    text(photoAgain);
    pdf.image(QRectF(QPointF(left + (width - photoSize.width()) / 2, pdf.y() + 6), photoSize), photo);
    pdf.setY(pdf.y() + photoSize.height() + 12);
    const QString last = QStringLiteral("This is the last paragraph of the pictures.");
    text(last);

    // A slide: light text on a dark page-wide box.
    pdf.newPage();
    pdf.drawing([&](QPainter& p) { p.fillRect(QRectF(0, 0, pdf.pageWidth(), pdf.pageHeight()), QColor(0x1F, 0x38, 0x64)); });
    sample.slideText = {QStringLiteral("季度报告"), QStringLiteral("销售额比去年增长了百分之二十。")};
    pdf.textAt(72, 140, sample.slideText[0], coloured(chinese(28, true), Qt::white));
    pdf.textAt(72, 200, sample.slideText[1], coloured(chinese(14), QColor(0xEE, 0xEE, 0xEE)));
    pdf.finish();

    sample.pictures = {
        {intro, flatIntro, photoSize, photo, {}},
        {flatIntro, afterFlat, flatSize, flat, {}},
        {chartIntro, chartEnd, chart.size(), QImage(), quarters},
        {photoAgain, last, photoSize, photo, {}},
    };
    return sample;
}

} // namespace pwt::test

#include "ScanSamples.h"

#include "PdfComposer.h"

#include <QDir>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace pwt::test {

namespace {

using namespace fmt;

constexpr double kColumnGap = 20;

ParagraphRequest spaced(ParagraphRequest p)
{
    p.spaceAfter = 12;
    return p;
}

ScanOriginal englishOneColumn(const QString& path)
{
    ScanOriginal o{QStringLiteral("english-1col"), path, {}};
    PdfComposer pdf(path, QStringLiteral("Harbour Survey"));
    o.paragraphs << QStringLiteral("Harbour Survey Report");
    pdf.paragraph(spaced(plain(o.paragraphs.last(), serif(18, true), Align::Center)));
    o.paragraphs << QStringLiteral(
        "The survey boat left the inner harbour at seven in the morning and sounded the channel along "
        "the eastern wall. Depths were taken every twenty metres and marked on the chart with the time "
        "of the tide, so that the figures can be reduced to the same datum later.")
                 << QStringLiteral(
        "Near the old ferry steps the bottom rises sharply, and two readings there were repeated to be "
        "sure of them. A wreck shown on the chart of 1962 was not found, although the boat crossed its "
        "position four times.")
                 << QStringLiteral(
        "The work will continue next week in the outer basin, weather permitting. Results of both days "
        "will be sent to the harbour master together with the corrected chart.");
    for (int i = 1; i < o.paragraphs.size(); ++i)
        pdf.paragraph(spaced(plain(o.paragraphs[i], serif(12))));
    return o;
}

ScanOriginal englishTwoColumns(const QString& path)
{
    ScanOriginal o{QStringLiteral("english-2col"), path, {}};
    PdfComposer pdf(path, QStringLiteral("Garden Notes"));
    o.paragraphs << QStringLiteral("Garden Notes for Spring");
    pdf.paragraph(spaced(plain(o.paragraphs.last(), sans(18, true), Align::Center)));
    const double top = pdf.y();
    const double width = (451 - kColumnGap) / 2;
    const QStringList left = {
        QStringLiteral("Sow the broad beans as soon as the soil can be worked, in double rows with a path between "
                       "them. Cover the seed with two fingers of earth and firm it well."),
        QStringLiteral("Early potatoes go in when the hawthorn is in leaf. Earth them up as the shoots appear, "
                       "and keep fleece at hand for cold nights.")};
    const QStringList right = {
        QStringLiteral("Prune the roses before the buds break, cutting to an outward facing eye. Burn the old "
                       "wood rather than composting it."),
        QStringLiteral("The lawn needs its first cut with the blades set high. Rake out the moss and sow bare "
                       "patches with fresh seed in damp weather.")};
    pdf.setColumn(72, width);
    for (const QString& p : left)
        pdf.paragraph(spaced(plain(p)));
    pdf.setY(top);
    pdf.setColumn(72 + width + kColumnGap, width);
    for (const QString& p : right)
        pdf.paragraph(spaced(plain(p)));
    o.paragraphs << left << right;
    return o;
}

ScanOriginal chineseOneColumn(const QString& path)
{
    ScanOriginal o{QStringLiteral("chinese-1col"), path, {}};
    PdfComposer pdf(path, QStringLiteral("租赁合同"));
    o.paragraphs << QStringLiteral("房屋租赁合同");
    pdf.paragraph(spaced(plain(o.paragraphs.last(), chinese(18, true), Align::Center)));
    o.paragraphs << QStringLiteral(
        "甲方同意将位于城市东区的一套住房出租给乙方使用，租期为两年，自本合同签订之日起计算。"
        "乙方应当按月支付租金，每月租金为三千元，于每月五日前付清。")
                 << QStringLiteral(
        "租赁期间，乙方应爱护房屋及其设施，不得擅自改变房屋结构。如需维修，应及时通知甲方。"
        "合同的电子版本以PDF格式保存，双方各执一份。")
                 << QStringLiteral("本合同自双方签字之日起生效。");
    for (int i = 1; i < o.paragraphs.size(); ++i) {
        ParagraphRequest body = spaced(plain(o.paragraphs[i], chinese(12)));
        body.firstLine = 24;
        pdf.paragraph(body);
    }
    return o;
}

ScanOriginal chineseTwoColumns(const QString& path)
{
    ScanOriginal o{QStringLiteral("chinese-2col"), path, {}};
    PdfComposer pdf(path, QStringLiteral("学校通讯"));
    o.paragraphs << QStringLiteral("学校通讯");
    pdf.paragraph(spaced(plain(o.paragraphs.last(), chinese(18, true), Align::Center)));
    const double top = pdf.y();
    const double width = (451 - kColumnGap) / 2;
    const QStringList left = {
        QStringLiteral("本学期图书馆新增图书两千余册，涵盖文学、历史和科学等类别。欢迎同学们在课余时间前来借阅。"),
        QStringLiteral("借书时请出示学生证，每人每次最多借五本，借期为一个月。")};
    const QStringList right = {
        QStringLiteral("下周三下午将举行春季运动会，各班请按时到操场集合。比赛项目包括跑步、跳远和接力。"),
        QStringLiteral("如遇下雨，运动会将推迟到下周五举行，具体安排另行通知。")};
    const auto body = [](const QString& text) {
        ParagraphRequest p = spaced(plain(text, chinese(11)));
        p.firstLine = 24;
        return p;
    };
    pdf.setColumn(72, width);
    for (const QString& p : left)
        pdf.paragraph(body(p));
    pdf.setY(top);
    pdf.setColumn(72 + width + kColumnGap, width);
    for (const QString& p : right)
        pdf.paragraph(body(p));
    o.paragraphs << left << right;
    return o;
}

bool isHan(uint c)
{
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x2FFFF);
}

} // namespace

QList<ScanOriginal> makeScanOriginals(const QString& folder)
{
    const QDir dir(folder);
    return {englishOneColumn(dir.filePath(QStringLiteral("english-1col.pdf"))),
            englishTwoColumns(dir.filePath(QStringLiteral("english-2col.pdf"))),
            chineseOneColumn(dir.filePath(QStringLiteral("chinese-1col.pdf"))),
            chineseTwoColumns(dir.filePath(QStringLiteral("chinese-2col.pdf")))};
}

QImage rasterise(const QString& pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi),
                                         QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                         QString::number(page), QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, prefix});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return {};
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

QImage scanned(const QImage& page, const ScanLook& look)
{
    // Paper and ink: the page's white becomes the paper's grey, then the
    // page is laid askew (or turned) on it.
    QImage laid(page.size(), QImage::Format_RGB32);
    laid.fill(QColor(look.paper, look.paper, look.paper));
    {
        QPainter p(&laid);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setCompositionMode(QPainter::CompositionMode_Multiply);
        const QPointF centre(page.width() / 2.0, page.height() / 2.0);
        p.translate(centre);
        p.rotate(look.turnDegrees + look.skewDegrees);
        p.translate(-centre);
        p.drawImage(0, 0, page);
    }
    QImage out = laid.convertToFormat(QImage::Format_Grayscale8);
    QRandomGenerator random(look.seed);
    for (int y = 0; y < out.height(); ++y) {
        uchar* row = out.scanLine(y);
        for (int x = 0; x < out.width(); ++x) {
            const int v = row[x] + random.bounded(-look.noise, look.noise + 1);
            row[x] = static_cast<uchar>(std::clamp(v, 0, 255));
        }
    }
    if (look.bilevel)
        return out.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    return out;
}

void writeScanPdf(const QString& path, const QList<ScanPage>& pages)
{
    QPdfWriter writer(path);
    writer.setResolution(72); // one unit is one point
    writer.setCreator(QStringLiteral("pwt tests"));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    for (int i = 0; i < pages.size(); ++i) {
        const ScanPage& page = pages[i];
        writer.setPageSize(QPageSize(page.sizePt, QPageSize::Point));
        if (i == 0)
            painter.begin(&writer);
        else
            writer.newPage();
        const QRectF full(QPointF(0, 0), page.sizePt);
        if (!page.image.isNull())
            painter.drawImage(full, page.image);
        if (page.drawText) {
            painter.save();
            painter.setPen(page.invisibleText ? QColor(0, 0, 0, 0) : QColor(Qt::black));
            page.drawText(painter);
            painter.restore();
        }
    }
    painter.end();
}

QStringList tokens(const QString& text)
{
    QStringList out;
    QString word;
    auto flush = [&] {
        if (!word.isEmpty())
            out << word;
        word.clear();
    };
    const QList<uint> codes = text.toUcs4();
    for (const uint c : codes) {
        if (isHan(c)) {
            flush();
            out << QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        } else if (QChar::isLetterOrNumber(c)) {
            word += QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        } else {
            flush();
        }
    }
    flush();
    return out;
}

TokenScore scoreTokens(const QStringList& original, const QStringList& found)
{
    QHash<QString, int> left;
    for (const QString& t : original)
        ++left[t];
    int matched = 0;
    for (const QString& t : found) {
        auto it = left.find(t);
        if (it != left.end() && *it > 0) {
            --*it;
            ++matched;
        }
    }
    TokenScore s;
    s.recall = original.isEmpty() ? 1.0 : static_cast<double>(matched) / static_cast<double>(original.size());
    s.precision = found.isEmpty() ? (original.isEmpty() ? 1.0 : 0.0) : static_cast<double>(matched) / static_cast<double>(found.size());
    return s;
}

QString TokenScore::describe() const
{
    return QStringLiteral("recall %1%, precision %2%").arg(recall * 100, 0, 'f', 1).arg(precision * 100, 0, 'f', 1);
}

} // namespace pwt::test

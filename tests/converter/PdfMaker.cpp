#include "PdfMaker.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

namespace pwt::test {

namespace {

bool isWide(QChar c) { return c.unicode() >= 0x2E80; }

} // namespace

QFont serif(double size, bool bold, bool italic)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPointSizeF(size);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QFont sans(double size, bool bold, bool italic)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(size);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QFont chinese(double size, bool bold)
{
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPointSizeF(size);
    f.setBold(bold);
    return f;
}

PdfMaker::PdfMaker(const QString& path, const QString& title, QPageSize size, bool landscape)
    : m_writer(std::make_unique<QPdfWriter>(path))
{
    m_writer->setResolution(72); // one unit is one point
    m_writer->setTitle(title);
    m_writer->setCreator(QStringLiteral("pwt tests"));
    m_writer->setPageSize(size);
    m_writer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    m_writer->setPageMargins(QMarginsF(0, 0, 0, 0));
    const QRectF r = m_writer->pageLayout().fullRectPoints();
    m_width = r.width();
    m_height = r.height();
    m_painter = std::make_unique<QPainter>(m_writer.get());
    m_y = m_top;
}

PdfMaker::~PdfMaker() { finish(); }

void PdfMaker::finish()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

void PdfMaker::newPage(bool landscape)
{
    m_writer->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    m_writer->newPage();
    const QRectF r = m_writer->pageLayout().fullRectPoints();
    m_width = r.width();
    m_height = r.height();
    m_y = m_top;
    ++m_page;
}

void PdfMaker::textAt(double x, double baseline, const QString& text, const QFont& font, double rotation)
{
    m_painter->save();
    m_painter->setFont(font);
    m_painter->setPen(Qt::black);
    m_painter->translate(x, baseline);
    m_painter->rotate(rotation);
    m_painter->drawText(QPointF(0, 0), text);
    m_painter->restore();
}

void PdfMaker::rectangle(double x, double y, double w, double h)
{
    m_painter->fillRect(QRectF(x, y, w, h), QColor(90, 90, 90));
}

void PdfMaker::paragraph(const QString& text, const QFont& font, const ParagraphStyle& style)
{
    paragraph(std::vector<Piece>{Piece{text, font}}, style);
}

void PdfMaker::paragraph(const std::vector<Piece>& pieces, const ParagraphStyle& style)
{
    // Tokens: words (or single CJK characters) with the space before them.
    std::vector<Token> tokens;
    double maxSize = 1;
    bool space = false; // a space seen and not yet given to a token, also across pieces
    for (const Piece& piece : pieces) {
        const QFontMetricsF fm(piece.font, m_writer.get());
        maxSize = std::max(maxSize, piece.font.pointSizeF());
        QString word;
        auto flush = [&] {
            if (!word.isEmpty()) {
                tokens.push_back(Token{word, &piece, fm.horizontalAdvance(word), space});
                space = false;
            }
            word.clear();
        };
        for (QChar c : piece.text) {
            if (c == QLatin1Char(' ')) {
                flush();
                space = true;
            } else if (isWide(c)) {
                flush();
                tokens.push_back(Token{QString(c), &piece, fm.horizontalAdvance(c), space});
                space = false;
            } else {
                word += c;
            }
        }
        flush();
    }
    const double lineHeight = maxSize * style.lineHeight;
    std::vector<Token> line;
    double used = 0;
    bool first = true;
    auto room = [&] { return style.width - (first ? style.firstIndent : style.indent); };
    auto emitLine = [&](bool last) {
        if (m_y + lineHeight > m_height - m_bottom)
            newPage();
        m_y += lineHeight;
        drawLine(line, style, first, last, m_y - lineHeight * 0.25);
        line.clear();
        used = 0;
        first = false;
    };
    const double spaceWidth = maxSize * 0.25;
    for (const Token& t : tokens) {
        const double add = (line.empty() ? 0 : (t.spaceBefore ? spaceWidth : 0)) + t.width;
        if (!line.empty() && used + add > room())
            emitLine(false);
        used += line.empty() ? t.width : add;
        line.push_back(t);
    }
    if (!line.empty())
        emitLine(true);
    m_y += style.spaceAfter;
}

void PdfMaker::lines(const QStringList& texts, const QFont& font, const ParagraphStyle& style)
{
    const double lineHeight = font.pointSizeF() * style.lineHeight;
    m_painter->setFont(font);
    m_painter->setPen(Qt::black);
    for (const QString& t : texts) {
        if (m_y + lineHeight > m_height - m_bottom)
            newPage();
        m_y += lineHeight;
        m_painter->drawText(QPointF(style.left, m_y - lineHeight * 0.25), t);
    }
    m_y += style.spaceAfter;
}

void PdfMaker::drawLine(const std::vector<Token>& line, const ParagraphStyle& style, bool first, bool last, double baseline)
{
    const double indent = first ? style.firstIndent : style.indent;
    double natural = 0;
    int gaps = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (i > 0 && line[i].spaceBefore) {
            natural += line[i].piece->font.pointSizeF() * 0.25;
            ++gaps;
        }
        natural += line[i].width;
    }
    const double width = style.width - indent;
    double x = style.left + indent;
    double extra = 0;
    switch (style.align) {
    case Align::Left:
        break;
    case Align::Center:
        x += (width - natural) / 2;
        break;
    case Align::Right:
        x += width - natural;
        break;
    case Align::Justify:
        if (!last && gaps > 0)
            extra = (width - natural) / gaps;
        break;
    }
    for (std::size_t i = 0; i < line.size(); ++i) {
        const Token& t = line[i];
        if (i > 0 && t.spaceBefore)
            x += t.piece->font.pointSizeF() * 0.25 + extra;
        m_painter->setFont(t.piece->font);
        m_painter->setPen(t.piece->color);
        m_painter->drawText(QPointF(x, baseline - t.piece->rise), t.text);
        x += t.width;
    }
}

} // namespace pwt::test

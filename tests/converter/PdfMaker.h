#pragma once
// Writes test PDFs with known content through QPdfWriter: text placed word by
// word in points (72 units per inch), wrapped, aligned and styled as asked.
#include <QColor>
#include <QFont>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QPdfWriter;
class QPainter;

namespace pwt::test {

// A piece of a paragraph in one font. Text in CJK breaks between any two
// characters; other text between words.
struct Piece {
    QString text;
    QFont font;
    QColor color = Qt::black;
    double rise = 0; // points the baseline is raised (superscript) or lowered (< 0)
};

enum class Align { Left, Center, Right, Justify };

struct ParagraphStyle {
    Align align = Align::Left;
    double left = 72, width = 451;  // the column, in points
    double firstIndent = 0;         // first line, relative to `left` (negative: hanging)
    double indent = 0;              // the other lines
    double lineHeight = 1.25;       // times the largest font size
    double spaceAfter = 8;
};

class PdfMaker {
public:
    PdfMaker(const QString& path, const QString& title, QPageSize size = QPageSize(QPageSize::A4), bool landscape = false);
    ~PdfMaker();

    // Lays a paragraph out from the current position; starts a new page when full.
    void paragraph(const std::vector<Piece>& pieces, const ParagraphStyle& style = {});
    void paragraph(const QString& text, const QFont& font, const ParagraphStyle& style = {});
    // Draws lines exactly as given (e.g. with hyphens at their ends).
    void lines(const QStringList& lines, const QFont& font, const ParagraphStyle& style = {});
    // Text at a fixed place (running heads, page numbers, rotated labels).
    void textAt(double x, double baseline, const QString& text, const QFont& font, double rotation = 0);
    void rectangle(double x, double y, double w, double h); // graphics only, no text
    void newPage(bool landscape = false);
    void setCursor(double y) { m_y = y; }
    double cursor() const { return m_y; }
    double pageWidth() const { return m_width; }
    double pageHeight() const { return m_height; }
    int pageNumber() const { return m_page; }
    void finish();

private:
    struct Token {
        QString text;
        const Piece* piece;
        double width;
        bool spaceBefore;
    };
    void drawLine(const std::vector<Token>& line, const ParagraphStyle& style, bool first, bool last, double baseline);

    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    double m_width = 595, m_height = 842;
    double m_top = 72, m_bottom = 72;
    double m_y = 72;
    int m_page = 1;
};

QFont serif(double size, bool bold = false, bool italic = false);
QFont sans(double size, bool bold = false, bool italic = false);
QFont chinese(double size, bool bold = false);

} // namespace pwt::test

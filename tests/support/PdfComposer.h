#pragma once
// Draws the tests' PDFs through QPdfWriter and records, as it draws, the
// ground truth of every paragraph and run (see Truth.h). Units are points
// from the page's top left; text is placed word by word so that justified
// lines really are, and CJK text breaks between any two characters.
#include "Truth.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QPdfWriter;
class QPainter;

namespace fmt {

// Single line spacing: baselines this many sizes of a line's largest font apart.
inline constexpr double kSingleSpacing = 1.15;

struct TextStyle {
    QString family = QStringLiteral("Liberation Serif"); // an installed family
    double size = 11;
    bool bold = false;
    bool italic = false;
    QColor color = Qt::black;
    Position position = Position::Baseline; // drawn at 0.6 of `size`, raised or lowered
};

// Styles in the families the tests use.
TextStyle serif(double size = 11, bool bold = false, bool italic = false);
TextStyle sans(double size = 11, bool bold = false, bool italic = false);
TextStyle chinese(double size = 11, bool bold = false); // Noto Sans CJK SC
TextStyle withFamily(TextStyle style, const QString& family);
TextStyle coloured(TextStyle style, const QColor& color);
TextStyle positioned(TextStyle style, Position position);
// The font a style is drawn in, at its full size.
QFont fontOf(const TextStyle& style);

struct Piece {
    Piece(QString text_, TextStyle style_, QString link_ = {}, QString footnote_ = {})
        : text(std::move(text_)), style(std::move(style_)), link(std::move(link_)), footnote(std::move(footnote_)) {}
    QString text;   // spaces inside and at the ends separate words
    TextStyle style;
    QString link;     // a web address the text links to (a URI link annotation); "" for none
    QString footnote; // when set, `text` is a note mark and this the note drawn at the page's foot
};

struct ParagraphRequest {
    std::vector<Piece> pieces;
    Align align = Align::Left;
    double leftIndent = 0;   // from the column's left edge
    double rightIndent = 0;
    double firstLine = 0;    // relative to leftIndent; negative: hanging
    double spaceBefore = 0;
    double spaceAfter = 6;
    double lineSpacing = 1.0; // multiple of single spacing
    int headingLevel = 0;
    bool judgeIndents = false;
    bool judgeAlignment = true;
    // A list item's label, drawn in the first piece's style: in the hanging
    // indent when firstLine is negative, else at the start of the first line.
    // It is no part of the paragraph's recorded text.
    QString listLabel;
    int listLevel = -1;       // 0: outermost
    QString listFormat;       // "bullet", or "1", "a", "A", "i", "I", "一"
};

// A paragraph of one style, and one of several pieces.
ParagraphRequest plain(const QString& text, const TextStyle& style = serif(), Align align = Align::Left);
ParagraphRequest pieces(std::vector<Piece> list, Align align = Align::Left);

// The Word families a converter may rightly give an installed family.
QStringList wordFamiliesFor(const QString& family);
QStringList eastAsianFamiliesFor(const QString& family);
bool isCjk(QChar c);

class PdfComposer {
public:
    PdfComposer(const QString& pdfPath, const QString& title, const QPageSize& size = QPageSize(QPageSize::A4),
                QPageLayout::Orientation orientation = QPageLayout::Portrait);
    ~PdfComposer();
    PdfComposer(const PdfComposer&) = delete;
    PdfComposer& operator=(const PdfComposer&) = delete;

    // What has been drawn so far; callers add what only they know (reading
    // order, running heads).
    Truth& truth() { return m_truth; }
    // Empty when every font asked for was found as itself; otherwise what was substituted.
    QString fontError() const { return m_fontError; }

    // Called on each new page (and the first) to draw running heads and feet.
    void setPageDecoration(std::function<void(PdfComposer&, int page)> decorate);
    void setColumn(double left, double width);
    void setMargins(double top, double bottom) { m_top = top; m_bottom = bottom; }
    // The style of notes at the foot of the page (their marks are drawn raised in it).
    void setNoteStyle(const TextStyle& style) { m_noteStyle = style; }

    // Lays out and draws a paragraph; moves to a new page first when it does
    // not fit. Returns the baselines of its lines.
    std::vector<double> paragraph(const ParagraphRequest& request);
    // Lines drawn exactly as given (hyphens at their ends, say), flush left in
    // the column at single spacing; recorded in no paragraph, as their text is
    // not the paragraph's words.
    void lines(const QStringList& lines, const TextStyle& style);
    // Text at a fixed place, baseline at y; recorded in no paragraph.
    void textAt(double x, double y, const QString& text, const TextStyle& style, Align align = Align::Left);
    // Text turned a quarter turn anticlockwise, reading upwards from (x, y).
    void textUpwards(double x, double y, const QString& text, const TextStyle& style);
    void rectangle(double x, double y, double width, double height); // graphics only, no text
    // An image shown in the rectangle (points); Qt's PDF writer keeps a
    // photograph as JPEG and flat colours losslessly.
    void image(const QRectF& place, const QImage& image);
    // Paths drawn by `paint` with the painter's units set to points from the
    // page's top left (a chart, a diagram); text drawn there is the figure's.
    void drawing(const std::function<void(QPainter&)>& paint);
    // The width of text as this composer draws it.
    double advance(const QString& text, const TextStyle& style);
    void newPage(const QPageSize& size, QPageLayout::Orientation orientation);
    void newPage(); // same size as the current page

    double y() const { return m_y; }
    void setY(double y) { m_y = y; }
    double top() const { return m_top; }
    double pageWidth() const { return m_width; }
    double pageHeight() const { return m_height; }
    int page() const { return m_page; }
    void finish();

private:
    struct Token {
        QString text;
        int piece = 0;
        double width = 0;
        double spaceBefore = 0; // width of the space before it; 0: glued to the previous token
    };
    QFont font(const TextStyle& style);
    std::vector<Token> tokens(const ParagraphRequest& request);
    void drawToken(const Token& token, const ParagraphRequest& request, double x, double baseline);
    void recordTruth(const ParagraphRequest& request, double largest, bool ragged, std::size_t lineCount, bool atTop,
                     std::size_t labelPieces);
    void startPage();
    // Notes: their lines wrapped at the column's width, the height they take
    // at the foot, and drawing the page's notes when it ends.
    struct Note {
        QString mark, text;
    };
    QStringList noteLines(const Note& note);
    double notesHeight(const std::vector<Note>& notes);
    void drawNotes();

    Truth m_truth;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    std::function<void(PdfComposer&, int)> m_decorate;
    QString m_fontError;
    double m_width = 595, m_height = 842;
    double m_top = 72, m_bottom = 72;
    double m_columnLeft = 72, m_columnWidth = 451;
    double m_y = 72;
    int m_page = 1;
    bool m_pageStarted = false;
    TextStyle m_noteStyle = serif(8.5);
    std::vector<Note> m_notes; // this page's, in order
    // The paragraph before, for the space between: same page and column, same size.
    struct Previous {
        int page = 0;
        double column = 0, size = 0, spaceAfter = 0;
        bool body = false;
    } m_previous;
};

} // namespace fmt

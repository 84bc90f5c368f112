#include "PdfComposer.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>

namespace fmt {

namespace {

constexpr double kScriptScale = 0.6;   // a raised or lowered run's size against its line
constexpr double kScriptShift = 0.35;  // a raised run's baseline shift, in sizes of the line
constexpr double kSubscriptDrop = 0.2; // a lowered run's, likewise
constexpr double kAscent = 0.9;        // a line's baseline below its top, in sizes of its largest font
// Qt sets text at whole device pixels: at ten pixels a point, 10.5 pt stays 10.5 pt.
constexpr int kPixelsPerPoint = 10;
const QColor kGraphicsGrey(90, 90, 90); // rectangles: dark enough to pass for a scanned page
// Notes at a page's foot: the gap between the text above and the notes, with
// a short rule in it, and the rule's length and thickness.
constexpr double kNoteSeparation = 12;
constexpr double kNoteRuleLength = 72;
constexpr double kNoteRuleWidth = 0.5;

double drawnSize(const TextStyle& s)
{
    return s.position == Position::Baseline ? s.size : s.size * kScriptScale;
}

QString simplified(const QString& s) { return s.simplified(); }

// Chinese punctuation that closes what comes before it: a line never starts with it.
bool isClosingPunctuation(QChar c) { return QStringView(u"，。、；：？！）」』”").contains(c); }

QPointF device(double x, double y) { return QPointF(x, y) * kPixelsPerPoint; }

} // namespace

TextStyle serif(double size, bool bold, bool italic)
{
    TextStyle s;
    s.size = size;
    s.bold = bold;
    s.italic = italic;
    return s;
}

TextStyle sans(double size, bool bold, bool italic)
{
    return withFamily(serif(size, bold, italic), QStringLiteral("Liberation Sans"));
}

TextStyle chinese(double size, bool bold)
{
    return withFamily(serif(size, bold), QStringLiteral("Noto Sans CJK SC"));
}

TextStyle withFamily(TextStyle style, const QString& family)
{
    style.family = family;
    return style;
}

TextStyle coloured(TextStyle style, const QColor& color)
{
    style.color = color;
    return style;
}

TextStyle positioned(TextStyle style, Position position)
{
    style.position = position;
    return style;
}

QFont fontOf(const TextStyle& style)
{
    QFont f(style.family);
    f.setPointSizeF(drawnSize(style));
    f.setBold(style.bold);
    f.setItalic(style.italic);
    f.setKerning(false); // word widths add up exactly
    return f;
}

ParagraphRequest plain(const QString& text, const TextStyle& style, Align align)
{
    ParagraphRequest p;
    p.pieces = {Piece{text, style}};
    p.align = align;
    return p;
}

ParagraphRequest pieces(std::vector<Piece> list, Align align)
{
    ParagraphRequest p;
    p.pieces = std::move(list);
    p.align = align;
    return p;
}

bool isCjk(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF);
}

QStringList wordFamiliesFor(const QString& family)
{
    if (family == QLatin1String("Liberation Serif"))
        return {QStringLiteral("Times New Roman")};
    if (family == QLatin1String("Liberation Sans"))
        return {QStringLiteral("Arial")};
    if (family == QLatin1String("Liberation Mono"))
        return {QStringLiteral("Courier New")};
    if (family == QLatin1String("DejaVu Sans"))
        return {QStringLiteral("DejaVu Sans"), QStringLiteral("Verdana")};
    if (family == QLatin1String("DejaVu Serif"))
        return {QStringLiteral("DejaVu Serif")};
    if (family.startsWith(QLatin1String("Latin Modern Roman")))
        return {QStringLiteral("Times New Roman"), QStringLiteral("Latin Modern Roman"), QStringLiteral("LM Roman 10")};
    if (family == QLatin1String("DejaVu Sans Mono"))
        return {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Courier New")};
    return {family};
}

QStringList eastAsianFamiliesFor(const QString& family)
{
    if (family.startsWith(QLatin1String("Noto Serif CJK")))
        return {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("宋体"), QStringLiteral("SimSun")};
    if (family.startsWith(QLatin1String("Noto Sans CJK")))
        return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("黑体"), QStringLiteral("SimHei"),
                QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei")};
    return {};
}

PdfComposer::PdfComposer(const QString& pdfPath, const QString& title, const QPageSize& size,
                         QPageLayout::Orientation orientation)
    : m_writer(std::make_unique<QPdfWriter>(pdfPath))
{
    m_truth.title = title;
    m_writer->setResolution(72 * kPixelsPerPoint);
    m_writer->setTitle(title);
    m_writer->setCreator(QStringLiteral("pwt tests"));
    m_writer->setPageLayout(QPageLayout(size, orientation, QMarginsF(0, 0, 0, 0)));
    const QRectF r = m_writer->pageLayout().fullRectPoints();
    m_width = r.width();
    m_height = r.height();
    m_columnWidth = m_width - 2 * m_columnLeft;
    m_painter = std::make_unique<QPainter>(m_writer.get());
}

PdfComposer::~PdfComposer() { finish(); }

void PdfComposer::finish()
{
    if (!m_painter)
        return;
    startPage(); // an empty document still has its first page's decoration
    drawNotes();
    m_painter->end();
    m_painter.reset();
    m_writer.reset();
}

void PdfComposer::setPageDecoration(std::function<void(PdfComposer&, int)> decorate) { m_decorate = std::move(decorate); }

void PdfComposer::setColumn(double left, double width)
{
    m_columnLeft = left;
    m_columnWidth = width;
}

void PdfComposer::startPage()
{
    if (m_pageStarted)
        return;
    m_pageStarted = true;
    m_truth.pages << TruthPage{m_width, m_height};
    m_y = m_top;
    if (m_decorate)
        m_decorate(*this, m_page);
}

void PdfComposer::newPage(const QPageSize& size, QPageLayout::Orientation orientation)
{
    startPage();
    drawNotes();
    m_writer->setPageLayout(QPageLayout(size, orientation, QMarginsF(0, 0, 0, 0)));
    const QRectF r = m_writer->pageLayout().fullRectPoints();
    m_writer->newPage();
    m_width = r.width();
    m_height = r.height();
    m_columnLeft = 72;
    m_columnWidth = m_width - 144;
    ++m_page;
    m_pageStarted = false;
    startPage();
}

void PdfComposer::newPage()
{
    startPage();
    drawNotes();
    m_writer->newPage();
    ++m_page;
    m_pageStarted = false;
    startPage();
}

QFont PdfComposer::font(const TextStyle& style)
{
    const QFont f = fontOf(style);
    const QFontInfo info(f);
    if (info.family() != style.family && m_fontError.isEmpty())
        m_fontError = QStringLiteral("font \"%1\" is not installed (got \"%2\")").arg(style.family, info.family());
    return f;
}

std::vector<PdfComposer::Token> PdfComposer::tokens(const ParagraphRequest& request)
{
    std::vector<Token> out;
    QString word;
    int wordPiece = 0;
    double pendingSpace = 0;
    auto flush = [&] {
        if (word.isEmpty())
            return;
        const QFontMetricsF metrics(font(request.pieces[static_cast<std::size_t>(wordPiece)].style), m_writer.get());
        out.push_back(Token{word, wordPiece, metrics.horizontalAdvance(word) / kPixelsPerPoint, out.empty() ? 0 : pendingSpace});
        word.clear();
        pendingSpace = 0;
    };
    for (std::size_t i = 0; i < request.pieces.size(); ++i) {
        const Piece& piece = request.pieces[i];
        const QFontMetricsF metrics(font(piece.style), m_writer.get());
        flush(); // a new piece starts a new token, glued when no space comes between
        for (const QChar c : piece.text) {
            if (c == QChar(' ')) {
                flush();
                pendingSpace = metrics.horizontalAdvance(QChar(' ')) / kPixelsPerPoint;
            } else if (isCjk(c)) {
                flush();
                word = c;
                wordPiece = static_cast<int>(i);
                flush();
            } else {
                if (word.isEmpty())
                    wordPiece = static_cast<int>(i);
                word += c;
            }
        }
    }
    flush();
    return out;
}

void PdfComposer::drawToken(const Token& token, const ParagraphRequest& request, double x, double baseline)
{
    const TextStyle& style = request.pieces[static_cast<std::size_t>(token.piece)].style;
    double shift = 0;
    if (style.position == Position::Superscript)
        shift = -kScriptShift * style.size;
    else if (style.position == Position::Subscript)
        shift = kSubscriptDrop * style.size;
    m_painter->setFont(font(style));
    m_painter->setPen(style.color);
    const QString& link = request.pieces[static_cast<std::size_t>(token.piece)].link;
    if (link.isEmpty()) {
        m_painter->drawText(device(x, baseline + shift), token.text);
        return;
    }
    // Qt's PDF writer makes a URI link annotation of text laid out with an anchor.
    QTextLayout layout(token.text, font(style), m_writer.get());
    QTextCharFormat anchor;
    anchor.setAnchor(true);
    anchor.setAnchorHref(link);
    anchor.setForeground(style.color);
    layout.setFormats({QTextLayout::FormatRange{0, static_cast<int>(token.text.size()), anchor}});
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    line.setPosition(QPointF(0, 0));
    layout.draw(m_painter.get(), device(x, baseline + shift) - QPointF(0, line.ascent()));
}

std::vector<double> PdfComposer::paragraph(const ParagraphRequest& given)
{
    startPage();
    // A label at the start of the first line is drawn as a piece of its own,
    // left out of the truth; one in the hanging indent is drawn apart.
    const bool hangingLabel = !given.listLabel.isEmpty() && given.firstLine < 0;
    const std::size_t labelPieces = !given.listLabel.isEmpty() && !hangingLabel ? 1 : 0;
    ParagraphRequest request = given;
    if (hangingLabel)
        request.firstLine = 0; // the text's first line starts where the others do
    if (labelPieces > 0) {
        const bool cjkLabel = std::any_of(given.listLabel.begin(), given.listLabel.end(), isCjk)
            || given.listLabel.endsWith(QChar(0xFF09));
        request.pieces.insert(request.pieces.begin(),
                              Piece{given.listLabel + (cjkLabel ? QString() : QStringLiteral(" ")), given.pieces.front().style});
    }
    const std::vector<Token> all = tokens(request);
    double largest = 0;
    for (const Piece& p : request.pieces)
        largest = std::max(largest, p.style.size);
    std::vector<Note> notes;
    for (const Piece& p : request.pieces)
        if (!p.footnote.isEmpty())
            notes.push_back(Note{p.text.simplified(), p.footnote.simplified()});
    const double pitch = kSingleSpacing * largest * request.lineSpacing;

    // Break into lines.
    struct LineSpan {
        std::size_t begin, end;
        double width;
    };
    std::vector<LineSpan> lines;
    const double fullWidth = m_columnWidth - request.leftIndent - request.rightIndent;
    std::size_t begin = 0;
    double width = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const double available = fullWidth - (lines.empty() ? request.firstLine : 0);
        const double add = (i == begin ? 0 : all[i].spaceBefore) + all[i].width;
        // No line starts with closing punctuation: it stays on the line before, squeezed in.
        const bool mayBreak = !isClosingPunctuation(all[i].text.front());
        if (i > begin && width + add > available && mayBreak) {
            lines.push_back({begin, i, width});
            begin = i;
            width = all[i].width;
        } else {
            width += add;
        }
    }
    if (begin < all.size())
        lines.push_back({begin, all.size(), width});

    const double height = request.spaceBefore + pitch * static_cast<double>(lines.size());
    const auto fits = [&] {
        std::vector<Note> withThese = m_notes;
        withThese.insert(withThese.end(), notes.begin(), notes.end());
        return m_y + height <= m_height - m_bottom - notesHeight(withThese);
    };
    if (!fits() && m_y > m_top)
        newPage();
    m_notes.insert(m_notes.end(), notes.begin(), notes.end());
    const bool atTop = m_y <= m_top;
    if (!atTop)
        m_y += request.spaceBefore;
    if (hangingLabel) {
        TextStyle labelStyle = request.pieces.front().style;
        labelStyle.position = Position::Baseline;
        m_painter->setFont(font(labelStyle));
        m_painter->setPen(labelStyle.color);
        m_painter->drawText(device(m_columnLeft + given.leftIndent + given.firstLine, m_y + kAscent * largest),
                            given.listLabel);
    }

    // Alignment shows only where the lines show it: a justified paragraph needs
    // two full lines, a left-aligned one of several lines one line that ends
    // clearly short of the column.
    bool ragged = lines.size() == 1;
    for (std::size_t l = 0; l + 1 < lines.size(); ++l)
        ragged = ragged || fullWidth - (l == 0 ? request.firstLine : 0) - lines[l].width > largest;
    ParagraphRequest recorded = request;
    recorded.firstLine = given.firstLine;
    recordTruth(recorded, largest, ragged, lines.size(), atTop, labelPieces);

    std::vector<double> baselines;
    for (std::size_t l = 0; l < lines.size(); ++l) {
        const LineSpan& line = lines[l];
        const bool first = l == 0, last = l + 1 == lines.size();
        const double left = m_columnLeft + request.leftIndent + (first ? request.firstLine : 0);
        const double available = fullWidth - (first ? request.firstLine : 0);
        const double baseline = m_y + kAscent * largest;
        baselines.push_back(baseline);
        double x = left;
        double stretch = 0;
        if (request.align == Align::Center)
            x += (available - line.width) / 2;
        else if (request.align == Align::Right)
            x += available - line.width;
        else if (request.align == Align::Justify && !last) {
            std::size_t gaps = 0;
            for (std::size_t i = line.begin + 1; i < line.end; ++i)
                gaps += all[i].spaceBefore > 0 || isCjk(all[i].text.front()) ? 1 : 0;
            if (gaps > 0)
                stretch = (available - line.width) / static_cast<double>(gaps);
        }
        for (std::size_t i = line.begin; i < line.end; ++i) {
            if (i > line.begin) {
                x += all[i].spaceBefore;
                if (all[i].spaceBefore > 0 || isCjk(all[i].text.front()))
                    x += stretch;
            }
            drawToken(all[i], request, x, baseline);
            x += all[i].width;
        }
        m_y += pitch;
    }
    m_y += request.spaceAfter;
    return baselines;
}

void PdfComposer::recordTruth(const ParagraphRequest& request, double largest, bool ragged, std::size_t lineCount,
                              bool atTop, std::size_t labelPieces)
{
    TruthParagraph truth;
    truth.page = m_page;
    truth.align = request.align;
    truth.judgeAlignment = request.judgeAlignment && !(request.align == Align::Justify && lineCount < 3)
        && !(request.align == Align::Left && !ragged);
    truth.judgeIndents = request.judgeIndents;
    truth.leftIndent = request.leftIndent;
    truth.rightIndent = request.rightIndent;
    truth.firstLine = request.firstLine;
    truth.headingLevel = request.headingLevel;
    truth.lines = static_cast<int>(lineCount);
    truth.lineSpacing = request.lineSpacing;
    truth.listLevel = request.listLevel;
    truth.listFormat = request.listFormat;
    truth.listLabel = request.listLabel;
    const std::vector<Piece> own(request.pieces.begin() + static_cast<std::ptrdiff_t>(labelPieces), request.pieces.end());
    const bool body = request.headingLevel == 0 && own.size() == 1 && request.listLabel.isEmpty();
    if (body && m_previous.body && !atTop && m_previous.page == m_page && m_previous.column == m_columnLeft
        && m_previous.size == largest)
        truth.gapBefore = m_previous.spaceAfter + request.spaceBefore;
    m_previous = Previous{m_page, m_columnLeft, largest, request.spaceAfter, body};
    const int index = static_cast<int>(m_truth.paragraphs.size());
    QString text;
    for (const Piece& p : own) {
        if (!p.footnote.isEmpty()) {
            m_truth.footnotes << TruthFootnote{simplified(p.text), simplified(p.footnote), index, simplified(text)};
            continue;
        }
        text += p.text;
        if (!p.link.isEmpty())
            m_truth.links << TruthLink{simplified(p.text), index, p.link};
    }
    truth.text = simplified(text);
    m_truth.paragraphs << truth;
    for (const Piece& p : own) {
        if (simplified(p.text).isEmpty() || !p.footnote.isEmpty())
            continue;
        TruthRun run;
        run.text = simplified(p.text);
        run.paragraph = static_cast<int>(m_truth.paragraphs.size() - 1);
        run.cjk = std::any_of(p.text.begin(), p.text.end(), isCjk);
        const bool latin = std::any_of(p.text.begin(), p.text.end(), [](QChar c) { return c.isLetter() && !isCjk(c); });
        if (latin && !eastAsianFamiliesFor(p.style.family).isEmpty())
            run.families = {}; // a CJK font's Latin letters: any family will do
        else if (latin || !run.cjk)
            run.families = wordFamiliesFor(p.style.family);
        if (run.cjk)
            run.eastAsianFamilies = eastAsianFamiliesFor(p.style.family);
        run.size = drawnSize(p.style);
        run.altSize = p.style.position == Position::Baseline ? 0 : p.style.size;
        run.smallCaps = p.style.family.endsWith(QLatin1String(" Caps")); // a font made of small capitals
        run.bold = p.style.bold;
        run.italic = p.style.italic;
        run.color = p.style.color;
        run.position = p.style.position;
        m_truth.runs << run;
    }
}

QStringList PdfComposer::noteLines(const Note& note)
{
    // Words break after spaces, Chinese between any two characters.
    QStringList words{QString()};
    for (const QChar c : note.text) {
        if (isCjk(c) && !words.last().isEmpty())
            words << QString();
        words.last() += c;
        if (c == QChar(' ') || isCjk(c))
            words << QString();
    }
    const double indent = advance(note.mark + QChar(' '), m_noteStyle);
    QStringList out;
    QString line;
    for (const QString& w : words) {
        if (!line.isEmpty() && advance((line + w).trimmed(), m_noteStyle) > m_columnWidth - indent) {
            out << line.trimmed();
            line.clear();
        }
        line += w;
    }
    if (!line.trimmed().isEmpty())
        out << line.trimmed();
    return out;
}

double PdfComposer::notesHeight(const std::vector<Note>& notes)
{
    if (notes.empty())
        return 0;
    double lineCount = 0;
    for (const Note& n : notes)
        lineCount += static_cast<double>(noteLines(n).size());
    return kNoteSeparation + lineCount * kSingleSpacing * m_noteStyle.size;
}

void PdfComposer::drawNotes()
{
    if (m_notes.empty())
        return;
    const double pitch = kSingleSpacing * m_noteStyle.size;
    double y = m_height - m_bottom - notesHeight(m_notes) + kNoteSeparation;
    m_painter->fillRect(QRectF(device(m_columnLeft, y - kNoteSeparation / 2), device(m_columnLeft + kNoteRuleLength, y - kNoteSeparation / 2 + kNoteRuleWidth)),
                        Qt::black);
    const double indent = advance(QStringLiteral("0 "), m_noteStyle);
    for (const Note& n : m_notes) {
        const QStringList lines = noteLines(n);
        TextStyle mark = m_noteStyle;
        mark.position = Position::Superscript;
        for (int i = 0; i < lines.size(); ++i) {
            const double baseline = y + kAscent * m_noteStyle.size;
            if (i == 0) {
                m_painter->setFont(font(mark));
                m_painter->setPen(mark.color);
                m_painter->drawText(device(m_columnLeft, baseline - kScriptShift * mark.size), n.mark);
            }
            m_painter->setFont(font(m_noteStyle));
            m_painter->setPen(m_noteStyle.color);
            m_painter->drawText(device(m_columnLeft + indent, baseline), lines[i]);
            y += pitch;
        }
    }
    m_notes.clear();
}

void PdfComposer::lines(const QStringList& lines, const TextStyle& style)
{
    startPage();
    const double pitch = kSingleSpacing * style.size;
    for (const QString& line : lines) {
        if (m_y + pitch > m_height - m_bottom && m_y > m_top)
            newPage();
        m_painter->setFont(font(style));
        m_painter->setPen(style.color);
        m_painter->drawText(device(m_columnLeft, m_y + kAscent * style.size), line);
        m_y += pitch;
    }
    m_y += ParagraphRequest{}.spaceAfter;
    m_previous = Previous{}; // no paragraph to measure the next one's space from
}

void PdfComposer::rectangle(double x, double y, double width, double height)
{
    startPage();
    m_painter->fillRect(QRectF(device(x, y), device(x + width, y + height)), kGraphicsGrey);
}

void PdfComposer::image(const QRectF& place, const QImage& image)
{
    startPage();
    m_painter->drawImage(QRectF(device(place.left(), place.top()), device(place.right(), place.bottom())), image);
}

void PdfComposer::drawing(const std::function<void(QPainter&)>& paint)
{
    startPage();
    m_painter->save();
    m_painter->scale(kPixelsPerPoint, kPixelsPerPoint);
    paint(*m_painter);
    m_painter->restore();
}

double PdfComposer::advance(const QString& text, const TextStyle& style)
{
    return QFontMetricsF(font(style), m_writer.get()).horizontalAdvance(text) / kPixelsPerPoint;
}

void PdfComposer::textAt(double x, double y, const QString& text, const TextStyle& style, Align align)
{
    startPage();
    const double w = advance(text, style);
    if (align == Align::Center)
        x -= w / 2;
    else if (align == Align::Right)
        x -= w;
    m_painter->setFont(font(style));
    m_painter->setPen(style.color);
    m_painter->drawText(device(x, y), text);
}

void PdfComposer::textUpwards(double x, double y, const QString& text, const TextStyle& style)
{
    startPage();
    m_painter->save();
    m_painter->translate(device(x, y));
    m_painter->rotate(-90);
    m_painter->setFont(font(style));
    m_painter->setPen(style.color);
    m_painter->drawText(QPointF(0, 0), text);
    m_painter->restore();
}

} // namespace fmt

#include "RandomCorpus.h"

#include "PdfComposer.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace fmt {

namespace {

constexpr int kTuningFirst = 1, kTuningLast = 100;
constexpr int kHeldOutFirst = 101, kHeldOutLast = 140;

// A seeded source of choices. std::mt19937's sequence is fixed by the
// standard; the choices are made from it by hand so that they are too.
class Dice {
public:
    explicit Dice(int seed) : m_engine(static_cast<std::mt19937::result_type>(seed)) {}
    int below(int n) { return n <= 1 ? 0 : static_cast<int>(m_engine() % static_cast<std::uint32_t>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(double p) { return static_cast<double>(m_engine() % 10000u) < p * 10000.0; }
    template <typename T>
    T oneOf(const QList<T>& list) { return list[below(static_cast<int>(list.size()))]; }

private:
    std::mt19937 m_engine;
};

const QStringList kNouns = {"committee", "report", "budget", "warehouse", "library", "survey", "garden", "archive",
                            "museum", "council", "harbour", "bridge", "station", "workshop", "laboratory", "market",
                            "school", "orchestra", "printer", "network", "river", "village", "factory", "office",
                            "engine", "journal", "theatre", "kitchen", "tower", "ferry"};
const QStringList kAdjectives = {"old", "new", "quiet", "busy", "northern", "coastal", "small", "careful", "bright",
                                 "modern", "local", "wooden", "annual", "public", "private", "remote", "steady"};
const QStringList kVerbs = {"reviewed", "repaired", "opened", "closed", "replaced", "visited", "measured",
                            "improved", "moved", "described", "approved", "painted", "cleaned", "extended",
                            "funded", "studied", "planned", "rebuilt"};
const QStringList kPlaces = {"before the winter", "after a long delay", "during the summer", "within two weeks",
                             "for the first time", "without much fuss", "near the old road", "at the weekend",
                             "over several months", "in the spring"};

QString capitalised(QString s)
{
    if (!s.isEmpty())
        s[0] = s[0].toUpper();
    return s;
}

QString englishSentence(Dice& d)
{
    return capitalised(QStringLiteral("the %1 %2 %3 the %4 %5 %6.")
                           .arg(d.oneOf(kAdjectives), d.oneOf(kNouns), d.oneOf(kVerbs), d.oneOf(kAdjectives),
                                d.oneOf(kNouns), d.oneOf(kPlaces)));
}

QString english(Dice& d, int sentences)
{
    QStringList out;
    for (int i = 0; i < sentences; ++i)
        out << englishSentence(d);
    return out.join(QChar(' '));
}

const QStringList kChineseSubjects = {"本系统", "该方法", "项目组", "测试人员", "这份报告", "新版本", "用户",
                                      "编辑部", "图书馆", "研究小组", "转换程序", "工作人员"};
const QStringList kChineseActions = {"认真检查了每一页的内容", "保留了原文的段落和标题", "改进了字体的识别",
                                     "整理了大量的历史资料", "缩短了处理文件的时间", "修正了排版中的错误",
                                     "记录了全部的测试结果", "比较了不同的转换方式", "说明了各项功能的用法",
                                     "收集了读者的意见"};
const QStringList kChineseEnds = {"，效果良好。", "，得到了好评。", "，并写成了说明。", "，以便日后查阅。",
                                  "，节省了人力。", "，结果令人满意。"};

QString chineseSentence(Dice& d)
{
    return d.oneOf(kChineseSubjects) + d.oneOf(kChineseActions) + d.oneOf(kChineseEnds);
}

QString chinese(Dice& d, int sentences)
{
    QString out;
    for (int i = 0; i < sentences; ++i)
        out += chineseSentence(d);
    return out;
}

// The families a document draws from.
struct Palette {
    QString body, heading, mono, cjk, cjkHeading;
    double size = 11;
    bool chineseFirst = false; // the document is mostly Chinese
    // How paragraphs are told apart: by space between them, or by their
    // first line's indent with little or no space.
    bool indentedParagraphs = false;
    double lineSpacing = 1.0; // the body text's, as a multiple of single
};

Palette palette(Dice& d)
{
    Palette p;
    p.body = d.oneOf(QStringList{"Liberation Serif", "Liberation Sans", "DejaVu Serif", "DejaVu Sans", "Latin Modern Roman"});
    p.heading = d.chance(0.4) ? p.body : d.oneOf(QStringList{"Liberation Sans", "DejaVu Sans", "Liberation Serif"});
    p.mono = d.oneOf(QStringList{"Liberation Mono", "DejaVu Sans Mono"});
    p.cjk = d.oneOf(QStringList{"Noto Serif CJK SC", "Noto Sans CJK SC"});
    p.cjkHeading = d.oneOf(QStringList{"Noto Serif CJK SC", "Noto Sans CJK SC"});
    p.size = d.oneOf(QList<double>{9.5, 10, 10.5, 11, 12});
    p.chineseFirst = d.chance(0.4);
    p.indentedParagraphs = d.chance(0.4);
    p.lineSpacing = d.chance(0.2) ? 1.5 : 1.0;
    return p;
}

TextStyle styleOf(const QString& family, double size, bool bold = false, bool italic = false)
{
    return withFamily(serif(size, bold, italic), family);
}

const QList<QColor> kColours = {QColor(0xC0, 0x00, 0x00), QColor(0x00, 0x33, 0xCC), QColor(0x00, 0x80, 0x00),
                                QColor(0x80, 0x00, 0x80), QColor(0xCC, 0x66, 0x00)};

// Formulas set with a raised or lowered part: before, script, after.
struct Formula {
    QString before, script, after;
    Position position;
};
const QList<Formula> kFormulas = {{"H", "2", "O", Position::Subscript},  {"CO", "2", "", Position::Subscript},
                                  {"πr", "2", "", Position::Superscript}, {"10", "4", "", Position::Superscript},
                                  {"x", "3", "", Position::Superscript},  {"E = mc", "2", "", Position::Superscript}};

// One changed span inside a line: the attribute it changes.
TextStyle changed(Dice& d, TextStyle s, const Palette& p)
{
    switch (d.below(6)) {
    case 0: s.bold = !s.bold; break;
    case 1: s.italic = !s.italic; break;
    case 2: s.color = d.oneOf(kColours); break;
    case 3: s.size += d.oneOf(QList<double>{-1.5, 2, 3}); break;
    case 4: s.family = p.mono; break;
    default:
        s.bold = true;
        s.color = d.oneOf(kColours);
        break;
    }
    return s;
}

class Writer {
public:
    Writer(PdfComposer& c, Dice& d, Palette p) : m_c(c), m_d(d), m_p(std::move(p)) {}

    void document()
    {
        m_c.setNoteStyle(styleOf(m_p.chineseFirst ? m_p.cjk : m_p.body, std::max(8.0, m_p.size - 2)));
        title();
        if (m_d.chance(0.7))
            authors();
        const int sections = m_d.between(2, 3);
        for (int s = 1; s <= sections; ++s) {
            heading(2, s);
            blocks(m_d.between(2, 3));
            if (m_d.chance(0.6)) {
                heading(3, s);
                blocks(m_d.between(1, 3));
            }
        }
        if (m_d.chance(0.4))
            twoColumns();
    }

private:
    TextStyle body() const { return styleOf(m_p.body, m_p.size); }
    TextStyle cjk() const { return styleOf(m_p.cjk, m_p.size); }

    void title()
    {
        const double size = std::round(m_p.size * (1.6 + 0.1 * m_d.below(5)) * 2) / 2;
        const QString text = m_p.chineseFirst ? m_d.oneOf(kChineseSubjects) + QStringLiteral("工作说明")
                                              : capitalised(QStringLiteral("%1 of the %2 %3").arg(m_d.oneOf(QStringList{"A study", "Notes", "A review", "The record"}), m_d.oneOf(kAdjectives), m_d.oneOf(kNouns)));
        ParagraphRequest t = plain(text, styleOf(m_p.chineseFirst ? m_p.cjkHeading : m_p.heading, size, true),
                                   m_d.chance(0.6) ? Align::Center : Align::Left);
        t.headingLevel = 1;
        t.spaceAfter = 6;
        t.judgeAlignment = t.align == Align::Center;
        m_c.paragraph(t);
    }

    // A centred line of names set apart by wide ideographic spaces.
    void authors()
    {
        static const QStringList latin = {"A. Writer", "B. Reviewer", "C. Editor", "D. Reader", "E. Printer"};
        static const QStringList han = {"张明", "李华", "王芳", "赵强", "陈静"};
        const bool chineseNames = m_p.chineseFirst || m_d.chance(0.3);
        const int count = m_d.between(2, 4);
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << (chineseNames ? han : latin)[(i + m_d.below(5)) % 5];
        names.removeDuplicates();
        const QString gap = QString(m_d.between(1, 3), QChar(0x3000));
        TextStyle s = chineseNames ? cjk() : styleOf(m_p.body, m_p.size, false, m_d.chance(0.5));
        ParagraphRequest a = plain(names.join(gap), s, Align::Center);
        a.spaceAfter = 12;
        m_c.paragraph(a);
    }

    // A section heading: level 2 under the title, 3 below it.
    void heading(int level, int section)
    {
        static const QStringList chineseNumbers = {"一", "二", "三", "四", "五"};
        const double scale = level == 2 ? 1.45 : 1.2;
        const double size = std::round(m_p.size * scale * 2) / 2;
        QString text;
        if (m_p.chineseFirst)
            text = (level == 2 ? chineseNumbers[section - 1] + QStringLiteral("、") : QStringLiteral("%1.%2 ").arg(section).arg(level - 1))
                + m_d.oneOf(QStringList{"背景", "设计目标", "实现方法", "测试结果", "使用说明", "后续工作"});
        else
            text = (level == 2 ? QStringLiteral("%1 ").arg(section) : level == 3 ? QStringLiteral("%1.1 ").arg(section) : QStringLiteral("%1.1.1 ").arg(section))
                + capitalised(QStringLiteral("the %1 %2").arg(m_d.oneOf(kAdjectives), m_d.oneOf(kNouns)));
        ParagraphRequest h = plain(text, styleOf(m_p.chineseFirst ? m_p.cjkHeading : m_p.heading, size, true));
        h.headingLevel = level;
        h.spaceBefore = level == 2 ? 12 : 8;
        h.spaceAfter = 4;
        h.judgeAlignment = false;
        m_c.paragraph(h);
    }

    void blocks(int count)
    {
        for (int i = 0; i < count; ++i) {
            switch (m_d.below(9)) {
            case 0: case 1: prose(); break;
            case 2: chineseProse(); break;
            case 3: list(); break;
            case 4: noted(); break;
            case 5: linked(); break;
            case 6: table(); break;
            case 7: quote(); break;
            default: (m_p.chineseFirst ? chineseProse() : prose()); break;
            }
        }
    }

    ParagraphRequest bodyRequest(std::vector<Piece> pieces)
    {
        ParagraphRequest r = fmt::pieces(std::move(pieces), m_d.chance(0.6) ? Align::Justify : Align::Left);
        if (m_p.indentedParagraphs) {
            r.spaceAfter = m_d.oneOf(QList<double>{0, 2});
            r.firstLine = m_d.oneOf(QList<double>{1.5, 2}) * m_p.size;
            r.judgeIndents = true;
        } else {
            r.spaceAfter = m_d.oneOf(QList<double>{6, 8, 10});
        }
        r.lineSpacing = m_p.lineSpacing;
        return r;
    }

    // English text with up to three spans changed inside its lines.
    std::vector<Piece> englishPieces(int sentences)
    {
        const TextStyle base = body();
        std::vector<Piece> out;
        QString text = english(m_d, sentences);
        const int changes = m_d.below(4);
        for (int i = 0; i < changes; ++i) {
            QStringList words = text.split(QChar(' '));
            const int at = m_d.between(1, std::max(1, static_cast<int>(words.size()) - 4));
            const int length = m_d.between(1, 3);
            out.push_back(Piece{words.mid(0, at).join(QChar(' ')) + QChar(' '), base});
            if (m_d.chance(0.25)) {
                const Formula& f = m_d.oneOf(kFormulas);
                out.push_back(Piece{f.before, base});
                out.push_back(Piece{f.script, positioned(base, f.position)});
                out.push_back(Piece{f.after + QChar(' '), base});
            } else {
                out.push_back(Piece{words.mid(at, length).join(QChar(' ')), changed(m_d, base, m_p)});
                out.push_back(Piece{QStringLiteral(" "), base});
            }
            text = words.mid(at + length).join(QChar(' '));
        }
        out.push_back(Piece{text, base});
        return merged(out);
    }

    // Chinese text with a bold or coloured phrase, or a formula, in its lines.
    std::vector<Piece> chinesePieces(int sentences)
    {
        const TextStyle base = cjk();
        std::vector<Piece> out;
        const int changes = m_d.between(0, 3);
        for (int i = 0; i < changes; ++i) {
            out.push_back(Piece{chineseSentence(m_d), base});
            if (m_d.chance(0.4)) {
                const Formula& f = m_d.oneOf(kFormulas);
                out.push_back(Piece{m_d.oneOf(QStringList{"公式", "数值", "记作"}) + f.before, base});
                out.push_back(Piece{f.script, positioned(base, f.position)});
                out.push_back(Piece{f.after + QStringLiteral("。"), base});
            } else {
                TextStyle s = base;
                if (m_d.chance(0.5))
                    s.color = m_d.oneOf(kColours);
                else
                    s.bold = true;
                out.push_back(Piece{m_d.oneOf(kChineseActions), s});
                out.push_back(Piece{QStringLiteral("。"), base});
            }
        }
        out.push_back(Piece{chinese(m_d, std::max(1, sentences - changes)), base});
        return merged(out);
    }

    // Neighbouring pieces of one style as one.
    static std::vector<Piece> merged(const std::vector<Piece>& pieces)
    {
        std::vector<Piece> out;
        for (const Piece& p : pieces) {
            if (p.text.isEmpty())
                continue;
            const TextStyle& s = p.style;
            if (!out.empty() && p.link.isEmpty() && p.footnote.isEmpty() && out.back().link.isEmpty() && out.back().footnote.isEmpty()) {
                const TextStyle& t = out.back().style;
                if (s.family == t.family && s.size == t.size && s.bold == t.bold && s.italic == t.italic && s.color == t.color
                    && s.position == t.position) {
                    out.back().text += p.text;
                    continue;
                }
            }
            out.push_back(p);
        }
        return out;
    }

    void prose() { m_c.paragraph(bodyRequest(englishPieces(m_d.between(2, 4)))); }

    void chineseProse()
    {
        ParagraphRequest r = bodyRequest(chinesePieces(m_d.between(2, 4)));
        r.align = Align::Justify;
        r.firstLine = 2 * m_p.size; // two characters, as Chinese text is indented
        r.judgeIndents = true;
        m_c.paragraph(r);
    }

    void quote()
    {
        ParagraphRequest r = bodyRequest(englishPieces(3));
        for (Piece& p : r.pieces)
            p.style.italic = !p.style.italic;
        r.leftIndent = r.rightIndent = m_d.oneOf(QList<double>{24, 36});
        r.firstLine = 0;
        r.spaceBefore = r.spaceAfter = std::max(r.spaceAfter, 4.0); // set off from the text around it
        r.align = Align::Justify;
        r.judgeIndents = true;
        m_c.paragraph(r);
    }

    // A paragraph with one or two note marks, the notes at the page's foot.
    void noted()
    {
        const bool han = m_p.chineseFirst;
        std::vector<Piece> pieces = han ? chinesePieces(3) : englishPieces(3);
        TextStyle mark = positioned(pieces.front().style, Position::Superscript);
        mark.color = Qt::black;
        mark.bold = mark.italic = false;
        const int notes = m_d.between(1, 2);
        for (int i = 0; i < notes; ++i) {
            // after a piece's last word, or after the first sentence
            const std::size_t after = static_cast<std::size_t>(m_d.below(static_cast<int>(pieces.size())));
            Piece& p = pieces[after];
            const qsizetype stop = p.text.indexOf(han ? QStringLiteral("，") : QStringLiteral(". "));
            if (stop > 0 && p.style.position == Position::Baseline) {
                const Piece rest{p.text.mid(stop + 1), p.style};
                p.text = p.text.left(stop + 1);
                pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(after) + 1, rest);
            }
            const QString text = han ? chineseSentence(m_d) : englishSentence(m_d);
            pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(after) + 1,
                          Piece{QString::number(++m_note), mark, {}, text});
        }
        std::erase_if(pieces, [](const Piece& p) { return p.text.isEmpty(); });
        m_c.paragraph(bodyRequest(pieces));
    }

    void linked()
    {
        const QString host = m_d.oneOf(QStringList{"www.example.org", "example.com", "docs.example.net"});
        const QString path = m_d.oneOf(kNouns) + QChar('/') + m_d.oneOf(kAdjectives);
        const QString href = QStringLiteral("https://%1/%2").arg(host, path);
        TextStyle linkStyle = body();
        if (m_d.chance(0.6))
            linkStyle.color = QColor(0x00, 0x00, 0xEE);
        const QString shown = m_d.chance(0.4) ? href : QStringLiteral("the %1 %2 page").arg(m_d.oneOf(kAdjectives), m_d.oneOf(kNouns));
        std::vector<Piece> pieces{Piece{englishSentence(m_d) + QStringLiteral(" More is on "), body()},
                                  Piece{shown, linkStyle, href, {}},
                                  Piece{QStringLiteral(", and ") + english(m_d, 1).toLower(), body()}};
        m_c.paragraph(bodyRequest(pieces));
    }

    struct ListKind {
        QString format;                    // as the truth names it
        std::function<QString(int)> label; // of the n-th item, from 1
        bool chineseText;
    };

    ListKind listKind(int level)
    {
        static const QStringList han = {"一", "二", "三", "四", "五", "六", "七", "八"};
        static const QStringList roman = {"i", "ii", "iii", "iv", "v", "vi", "vii", "viii"};
        QList<ListKind> kinds = {
            {QStringLiteral("bullet"), [](int) { return QStringLiteral("•"); }, false},
            {QStringLiteral("bullet"), [](int) { return QStringLiteral("–"); }, false},
            {QStringLiteral("1"), [](int n) { return QStringLiteral("%1.").arg(n); }, false},
            {QStringLiteral("1"), [](int n) { return QStringLiteral("%1)").arg(n); }, false},
            {QStringLiteral("a"), [](int n) { return QStringLiteral("(%1)").arg(QChar('a' + n - 1)); }, false},
            {QStringLiteral("i"), [](int n) { return roman[n - 1] + QChar('.'); }, false},
            {QStringLiteral("一"), [](int n) { return han[n - 1] + QStringLiteral("、"); }, true},
            {QStringLiteral("1"), [](int n) { return QStringLiteral("（%1）").arg(n); }, true},
        };
        if (level > 0) // nested levels are labelled apart from their parents
            kinds.removeAt(6);
        const ListKind& k = m_d.oneOf(kinds);
        return k;
    }

    void list()
    {
        const int count = m_d.between(2, 4);
        const ListKind outer = listKind(0);
        const double indent = m_d.oneOf(QList<double>{18, 20, 24});
        const bool nested = m_d.chance(0.4);
        const int nestAfter = m_d.between(1, count);
        for (int i = 1; i <= count; ++i) {
            item(outer, i, 0, indent);
            if (nested && i == nestAfter) {
                const ListKind inner = listKind(1);
                for (int j = 1; j <= m_d.between(2, 3); ++j)
                    item(inner, j, 1, indent);
            }
        }
    }

    void item(const ListKind& kind, int n, int level, double indent)
    {
        const bool han = kind.chineseText || m_p.chineseFirst;
        const TextStyle style = han ? cjk() : body();
        ParagraphRequest r = plain(han ? chineseSentence(m_d) : english(m_d, m_d.between(1, 2)), style);
        r.listLabel = kind.label(n);
        r.listLevel = level;
        r.listFormat = kind.format;
        r.leftIndent = indent * (level + 1);
        const bool hanging = !han || m_d.chance(0.5);
        r.firstLine = hanging ? -indent : 0;
        if (!hanging)
            r.leftIndent -= indent; // the label starts the line; wrapped lines go back under it
        r.spaceAfter = m_d.oneOf(QList<double>{0, 2, 3});
        r.judgeAlignment = false;
        m_c.paragraph(r);
    }

    // A small table of ruled cells; its text is not scored, only drawn among the rest.
    void table()
    {
        const int rows = m_d.between(2, 3), columns = m_d.between(2, 3);
        const double rowHeight = m_p.size * 1.8, columnWidth = 90, left = 72;
        if (m_c.y() + rows * rowHeight + 24 > m_c.pageHeight() - 72)
            m_c.newPage();
        const double top = m_c.y() + 6;
        for (int r = 0; r <= rows; ++r)
            m_c.rectangle(left, top + r * rowHeight, columns * columnWidth, 0.5);
        for (int col = 0; col <= columns; ++col)
            m_c.rectangle(left + col * columnWidth, top, 0.5, rows * rowHeight);
        for (int r = 0; r < rows; ++r)
            for (int col = 0; col < columns; ++col)
                m_c.textAt(left + col * columnWidth + 4, top + r * rowHeight + m_p.size * 1.25,
                           r == 0 ? capitalised(m_d.oneOf(kNouns)) : QString::number(m_d.between(10, 999)),
                           styleOf(m_p.body, m_p.size - 1, r == 0));
        m_c.setY(top + rows * rowHeight + 12);
    }

    void twoColumns()
    {
        m_c.newPage();
        Truth& truth = m_c.truth();
        heading(2, 4); // in the size of the document's other section headings
        // Columns this narrow are set smaller and single-spaced, as papers set them.
        const Palette wide = m_p;
        m_p.size = std::min(m_p.size, 10.0);
        m_p.lineSpacing = 1.0;
        const double gutter = 18, width = (m_c.pageWidth() - 144 - gutter) / 2, top = m_c.y();
        double bottom = top;
        for (int column = 0; column < 2; ++column) {
            m_c.setColumn(72 + column * (width + gutter), width);
            m_c.setY(top);
            for (int i = 0; i < 3; ++i) {
                ParagraphRequest r = m_p.chineseFirst ? bodyRequest(chinesePieces(2)) : bodyRequest(englishPieces(2));
                if (m_p.chineseFirst) {
                    r.firstLine = 2 * m_p.size;
                    r.judgeIndents = true;
                }
                m_c.paragraph(r);
                truth.readingOrder << truth.paragraphs.last().text.left(12);
            }
            bottom = std::max(bottom, m_c.y());
        }
        m_c.setColumn(72, m_c.pageWidth() - 144);
        m_c.setY(bottom);
        m_p = wide;
    }

    PdfComposer& m_c;
    Dice& m_d;
    Palette m_p;
    int m_note = 0;
};

} // namespace

QList<int> tuningSeeds()
{
    QList<int> out;
    for (int s = kTuningFirst; s <= kTuningLast; ++s)
        out << s;
    return out;
}

QList<int> heldOutSeeds()
{
    QList<int> out;
    for (int s = kHeldOutFirst; s <= kHeldOutLast; ++s)
        out << s;
    return out;
}

QString randomDocumentName(int seed) { return QStringLiteral("random-%1").arg(seed); }

QList<CorpusFile> writeRandomCorpus(const QString& dir, const QList<int>& seeds, QString* error)
{
    QList<CorpusFile> out;
    QDir().mkpath(dir);
    for (const int seed : seeds) {
        Dice dice(seed);
        const std::optional<CorpusFile> file = writeCorpusFile(
            dir, randomDocumentName(seed), QStringLiteral("Seed %1").arg(seed),
            [&](PdfComposer& composer) { Writer(composer, dice, palette(dice)).document(); }, error);
        if (!file)
            return {};
        out << *file;
    }
    return out;
}

} // namespace fmt

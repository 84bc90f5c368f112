// Footnotes and running heads on synthetic pages: notes at the foot of a page
// become Word footnotes referred to by their marks, lookalikes stay text;
// heads that alternate between left and right pages share one section. Then
// the same through the real pwt on a generated book, read back by LibreOffice.
#include "DocumentBuilder.h"
#include "FodtDocument.h"
#include "PdfComposer.h"
#include "ProgramRun.h"
#include "ParagraphText.h"
#include "SyntheticPage.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace pwt;
using namespace pwt::layout;
using pwt::test::textOf;

namespace {

constexpr double kBody = 10;   // body text size
constexpr double kNote = 8;    // notes' size
constexpr double kRaised = 0.6; // a raised mark's size, in the line's sizes
constexpr double kRise = 0.35;  // how far it is raised, in the line's sizes
constexpr double kDrop = 0.2;   // how far a subscript is lowered

// A line of words from x at the baseline; "word^1" glues a raised mark "1"
// to the word, "^1" alone opens the line with one; "CO_21" glues a word that
// starts lowered ("2") and runs on into raised digits, as the reader gives
// a subscript followed by a mark.
pdf::TextLine markedLine(const std::u32string& text, double x, double baseline, double size)
{
    pdf::TextLine line;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(U' ', start);
        if (end == std::u32string::npos)
            end = text.size();
        const std::u32string token = text.substr(start, end - start);
        const std::size_t caret = token.find_first_of(U"^_");
        const bool runsOn = caret != std::u32string::npos && token[caret] == U'_';
        auto add = [&](const std::u32string& t, double wordSize, double wordBaseline, bool spaceAfter) {
            if (t.empty())
                return;
            pdf::TextWord w;
            w.text = t;
            const double width = static_cast<double>(t.size()) * wordSize * test::kCharEm;
            const double top = runsOn && wordSize < size ? baseline - size * kRise : wordBaseline;
            w.box = {x, top - wordSize * 0.8, x + width, wordBaseline + wordSize * 0.2};
            w.baseline = wordBaseline;
            w.fontSize = wordSize;
            w.fontName = "ABCDEF+TimesNewRomanPSMT";
            w.spaceAfter = spaceAfter;
            line.words.push_back(w);
            x += width + (spaceAfter ? size * test::kCharEm : 0);
        };
        const bool more = end < text.size();
        if (caret == std::u32string::npos) {
            add(token, size, baseline, more);
        } else {
            add(token.substr(0, caret), size, baseline, false);
            add(token.substr(caret + 1), size * kRaised, baseline + (runsOn ? size * kDrop : -size * kRise), more);
        }
        start = end + 1;
    }
    return line;
}

struct Sketch {
    std::u32string text;
    double x = 72;
    double baseline = 100;
    double size = kBody;
};

// One block of lines in a flow of its own.
void block(pdf::PageText& page, const std::vector<Sketch>& lines)
{
    pdf::TextBlock& b = page.flows.emplace_back().blocks.emplace_back();
    bool first = true;
    for (const Sketch& s : lines) {
        b.lines.push_back(markedLine(s.text, s.x, s.baseline, s.size));
        for (const pdf::TextWord& w : b.lines.back().words) {
            if (first)
                b.box = w.box;
            first = false;
            b.box = {std::min(b.box.xMin, w.box.xMin), std::min(b.box.yMin, w.box.yMin), std::max(b.box.xMax, w.box.xMax),
                     std::max(b.box.yMax, w.box.yMax)};
        }
    }
}

// Body text of `lines` full lines from the baseline down; the last one may carry marks.
void body(pdf::PageText& page, double baseline, int lines, const std::u32string& last, double x = 72, std::size_t chars = 90)
{
    std::vector<Sketch> sketches;
    const std::u32string words = U"lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor ";
    for (int i = 0; i < lines; ++i) {
        std::u32string t;
        while (t.size() < chars)
            t += words;
        t.resize(chars);
        if (t.back() == U' ')
            t.back() = U'x';
        sketches.push_back({t, x, baseline + 12 * i});
    }
    sketches.push_back({last, x, baseline + 12 * lines});
    block(page, sketches);
}

// The short rule above the notes.
void rule(pdf::PageText& page, double y, double x = 72)
{
    pdf::PagePath path;
    path.box = {x, y, x + 144, y + 0.4};
    path.filled = true;
    path.rectangle = true;
    page.paths.push_back(path);
}

pdf::PageText page(int number)
{
    pdf::PageText p;
    p.number = number;
    return p;
}

QString textsOf(const std::vector<Paragraph>& ps) { return pwt::test::textsOf(ps).join(u" | "); }

// The body's text, the marks referring to notes as "[n:mark]".
QString bodyOf(const Document& doc)
{
    QStringList out;
    for (const Section& s : doc.sections)
        for (const Paragraph& p : s.paragraphs) {
            QString t;
            for (const Run& r : p.runs)
                t += r.footnote >= 0 ? u"[%1:%2]"_qs.arg(r.footnote).arg(QString::fromStdU16String(r.text))
                                     : QString::fromStdU16String(r.text);
            out << t;
        }
    return out.join(u" | ");
}

QStringList notesOf(const Document& doc)
{
    QStringList out;
    for (const Footnote& n : doc.footnotes)
        out << textsOf(n.paragraphs);
    return out;
}

using Pages = std::vector<pdf::PageText>;

std::u32string number(int n)
{
    const std::string digits = std::to_string(n);
    return {digits.begin(), digits.end()};
}

// A book's page: its head (none when empty; left pages at the left, right
// pages at the right), a body line, and its number in the foot.
pdf::PageText bookPage(int n, const std::u32string& head, const std::u32string& text = U"Body text of the page.")
{
    pdf::PageText p = page(n);
    if (!head.empty())
        block(p, {{head, n % 2 == 0 ? 72.0 : 400.0, 40, 9}});
    block(p, {{text, 72, 200}});
    block(p, {{number(n), 295, 800, 9}});
    return p;
}

// The heads as "odd / even" per section, "odd" alone where both are alike.
// A book of four pages drawn by Qt: heads alternating between left and
// right pages, page numbers in the foot, two notes on the first page, a
// symbol note on the second, a note on the third that runs on to the fourth.
struct BookNote {
    int page;
    QString word; // the word the mark follows
    QString mark;
    QString text;     // on the note's page
    QString runsOn;   // its rest at the next page's foot, "" when none
};

const QList<BookNote> kBookNotes{
    {1, u"first"_qs, u"1"_qs, u"A first note at the foot of the page."_qs, {}},
    {1, u"second"_qs, u"2"_qs, u"The second note of the same page."_qs, {}},
    {2, u"starred"_qs, u"*"_qs, u"A note marked by a star."_qs, {}},
    {3, u"long"_qs, u"3"_qs, u"A note that begins at the foot of the third page"_qs, u"and ends at the foot of the fourth."_qs},
};

void drawBook(const QString& path)
{
    using namespace fmt;
    PdfComposer pdf(path, u"Notes"_qs);
    const double noteTop = 700; // the rule; notes under it, the foot at 800
    pdf.setMargins(90, pdf.pageHeight() - noteTop + 20);
    pdf.setPageDecoration([](PdfComposer& c, int n) {
        if (n % 2 == 0)
            c.textAt(72, 50, u"A Book of Notes"_qs, serif(9, false, true));
        else
            c.textAt(523, 50, u"Chapter One"_qs, serif(9, false, true), Align::Right);
        c.textAt(c.pageWidth() / 2, 800, QString::number(n), serif(9), Align::Center);
    });
    const QString filler = u"The text of this book runs on over the lines of its pages, so that every paragraph wraps "
                           u"the way a typesetter wraps it, with words enough to fill a few lines of the column."_qs;
    for (int n = 1; n <= 4; ++n) {
        for (int k = 0; k < 3; ++k) {
            std::vector<Piece> pieces{{filler + u" "_qs, serif()}};
            for (const BookNote& note : kBookNotes)
                if (note.page == n && (note.mark == u"2"_qs ? 1 : 0) == k) {
                    pieces.push_back({u"A "_qs + note.word, serif()});
                    pieces.push_back({note.mark, positioned(serif(), Position::Superscript)});
                    pieces.push_back({u" word ends the sentence."_qs, serif()});
                }
            pdf.paragraph(fmt::pieces(pieces, Align::Justify));
        }
        double y = noteTop + 18;
        for (const BookNote& note : kBookNotes)
            if (note.page == n - 1 && !note.runsOn.isEmpty()) {
                pdf.rectangle(72, noteTop, 144, 0.4);
                pdf.textAt(72, y, note.runsOn, serif(9));
                y += 11;
            }
        for (const BookNote& note : kBookNotes) {
            if (note.page != n)
                continue;
            pdf.rectangle(72, noteTop, 144, 0.4);
            pdf.textAt(72, y, note.mark, positioned(serif(9), Position::Superscript));
            pdf.textAt(72 + pdf.advance(note.mark, serif(5.4)) + 1, y, note.text, serif(9));
            y += 11;
        }
        if (n < 4)
            pdf.newPage();
    }
    pdf.finish();
}

QStringList headsOf(const Document& doc)
{
    QStringList out;
    for (const Section& s : doc.sections)
        out << (s.evenPagesDiffer ? textsOf(s.header) + u" / "_qs + textsOf(s.evenHeader) : textsOf(s.header));
    return out;
}

} // namespace

class FootnotesTest : public QObject {
    Q_OBJECT
private slots:
    void notes_data()
    {
        QTest::addColumn<std::function<Pages()>>("draw");
        QTest::addColumn<QStringList>("notes");        // the footnotes' text
        QTest::addColumn<QStringList>("inBody");       // pieces the body holds
        QTest::addColumn<QStringList>("notInBody");    // pieces it must not

        QTest::newRow("a numbered note") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 20, U"the end of the text^1 goes on.");
            rule(p[0], 700);
            block(p[0], {{U"^1 The note at the foot of the page.", 72, 720, kNote}});
            return p;
        }) << QStringList{u"The note at the foot of the page."_qs} << QStringList{u"text[0:1] goes on."_qs}
                                         << QStringList{u"The note"_qs};

        QTest::newRow("a symbol note in the line's size") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"A remark.^* More text.");
            block(p[0], {{U"* Set in the note's size with its mark.", 72, 720, kNote}});
            return p;
        }) << QStringList{u"Set in the note's size with its mark."_qs} << QStringList{u"remark.[0:*] More"_qs}
                                         << QStringList{u"Set in the note"_qs};

        QTest::newRow("two notes, over two lines each") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"First^1 and second^2 notes.");
            rule(p[0], 690);
            block(p[0], {{U"^1 The first note is long and takes", 72, 710, kNote},
                         {U"two lines of the foot.", 72, 719.5, kNote},
                         {U"^2 The second note also takes", 72, 729, kNote},
                         {U"two lines.", 72, 738.5, kNote}});
            block(p[0], {{U"7", 295, 800, kNote}}); // a page number under the notes
            return p;
        }) << QStringList{u"The first note is long and takes two lines of the foot."_qs, u"The second note also takes two lines."_qs}
                                         << QStringList{u"First[0:1] and second[1:2] notes."_qs, u"7"_qs}
                                         << QStringList{u"takes"_qs};

        QTest::newRow("a note continued on the next page") << std::function<Pages()>([] {
            Pages p{page(1), page(2)};
            body(p[0], 100, 40, U"the mark^1 here.");
            rule(p[0], 700);
            block(p[0], {{U"^1 This note begins on the first page and", 72, 720, kNote}});
            body(p[1], 100, 40, U"The second page goes on.");
            rule(p[1], 700);
            block(p[1], {{U"runs on at the foot of the second.", 72, 720, kNote}});
            return p;
        }) << QStringList{u"This note begins on the first page and runs on at the foot of the second."_qs}
                                         << QStringList{u"mark[0:1] here."_qs, u"The second page goes on."_qs}
                                         << QStringList{u"runs on"_qs};

        QTest::newRow("a fraction at the next page's foot is no rest of a note") << std::function<Pages()>([] {
            Pages p{page(1), page(2)};
            body(p[0], 100, 40, U"the mark^1 here.");
            rule(p[0], 700);
            block(p[0], {{U"^1 The whole note.", 72, 720, kNote}});
            body(p[1], 100, 40, U"The second page ends in a fraction:");
            rule(p[1], 700, 300);
            block(p[1], {{U"x y + z", 300, 712, kNote - 1.5}}); // its denominator, set smaller than the notes
            return p;
        }) << QStringList{u"The whole note."_qs} << QStringList{u"mark[0:1] here."_qs, u"x y + z"_qs} << QStringList{};

        QTest::newRow("notes in the order of their marks over pages") << std::function<Pages()>([] {
            Pages p{page(1), page(2)};
            for (int i = 0; i < 2; ++i) {
                const std::u32string n(1, static_cast<char32_t>(U'1' + i));
                body(p[i], 100, 10, U"Text^" + n + U" on.");
                block(p[i], {{U"^" + n + U" Note " + n + U".", 72, 720, kNote}});
            }
            return p;
        }) << QStringList{u"Note 1."_qs, u"Note 2."_qs} << QStringList{u"Text[0:1] on."_qs, u"Text[1:2] on."_qs}
                                         << QStringList{u"Note"_qs};

        QTest::newRow("a power is no mark; the word's mark is") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"It is 10^4 m wide^4 today.");
            block(p[0], {{U"^4 The fourth note.", 72, 720, kNote}});
            return p;
        }) << QStringList{u"The fourth note."_qs} << QStringList{u"104 m wide[0:4] today."_qs} << QStringList{};

        QTest::newRow("notes at the foot of the left column") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 40, U"left^1 column.", 72, 42);
            block(p[0], {{U"^1 A note under the left column.", 72, 640, kNote}});
            body(p[0], 100, 50, U"The right column runs lower.", 310, 42);
            return p;
        }) << QStringList{u"A note under the left column."_qs} << QStringList{u"left[0:1] column."_qs, u"The right column runs lower."_qs}
                                         << QStringList{u"A note"_qs};

        QTest::newRow("a wide small line under two columns' notes") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 40, U"left^1 column.", 72, 42);
            body(p[0], 100, 40, U"right^2 column.", 310, 42);
            block(p[0], {{U"^1 Left note.", 72, 720, kNote}});
            block(p[0], {{U"^2 Right note.", 310, 720, kNote}});
            block(p[0], {{U"A small line as wide as both columns of the page, under both of their notes, ends here.", 72, 730, kNote}});
            return p;
        }) << QStringList{u"Left note. | A small line as wide as both columns of the page, under both of their notes, ends here."_qs}
                                         << QStringList{u"left[0:1] column."_qs, u"Right note."_qs} << QStringList{};

        QTest::newRow("a formula set apart in a note's line") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"A set^1 of codes.");
            block(p[0], {{U"^1 A multiset allows", 72, 720, kNote}});
            block(p[0], {{U"{0, 01, 01} as a set.", 150, 720, kNote}});
            return p;
        }) << QStringList{u"A multiset allows {0, 01, 01} as a set."_qs} << QStringList{u"set[0:1] of codes."_qs}
                                         << QStringList{u"{0, 01"_qs};

        QTest::newRow("a title's note marked with TeX's asterisk") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"Written by A. Author^\u2217 and B. Author.");
            block(p[0], {{U"^\u2217 Corresponding author.", 72, 720, kNote}});
            return p;
        }) << QStringList{u"Corresponding author."_qs} << QStringList{u"Author[0:\u2217] and B."_qs} << QStringList{};

        QTest::newRow("a note's mark on a line of its own") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"The mark^1 here.");
            block(p[0], {{U"^1", 72, 720, kNote}, {U"The note's text beside it.", 76, 720, kNote}});
            return p;
        }) << QStringList{u"The note's text beside it."_qs} << QStringList{u"mark[0:1] here."_qs} << QStringList{u"beside"_qs};

        QTest::newRow("the text's mark, not a raised mark in the head above it") << std::function<Pages()>([] {
            Pages p{page(1)};
            block(p[0], {{U"Proceedings of the Workshop^1", 72, 40, 9}});
            body(p[0], 100, 10, U"The word^1 here.");
            block(p[0], {{U"^1 The only note.", 72, 720, kNote}});
            return p;
        }) << QStringList{u"The only note."_qs} << QStringList{u"word[0:1] here."_qs, u"Workshop1"_qs} << QStringList{};

        QTest::newRow("a hanging note: its mark apart, its lines under its text") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"The mark^1 here.");
            block(p[0], {{U"^1", 72, 720, kNote},
                         {U"The hanging note stands apart from its mark by more than the mark's own size and runs on", 81, 720, kNote},
                         {U"under its own text.", 81, 730, kNote}});
            return p;
        }) << QStringList{u"The hanging note stands apart from its mark by more than the mark's own size and runs on under its own text."_qs}
                  << QStringList{u"mark[0:1] here."_qs} << QStringList{u"hanging"_qs, u"under its own"_qs};

        QTest::newRow("a page number above the foot zone under the notes") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"The mark^1 here.");
            block(p[0], {{U"^1 The note over the number, long enough to reach past the middle of the page.", 72, 660, kNote}});
            block(p[0], {{U"4", 295, 700, kBody}}); // 842 pt high: the foot zone starts at 741
            return p;
        }) << QStringList{u"The note over the number, long enough to reach past the middle of the page."_qs} << QStringList{u"mark[0:1] here."_qs, u"4"_qs} << QStringList{u"The note"_qs};

        // Which raised number is the mark: one after a word, not a power
        // (after a variable's letters); marks run together or glued to a
        // power; a mark the reader set on a line of its own in the text.
        QTest::newRow("a power before the mark") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"The area πr^2 grows, says the text^2 here.");
            block(p[0], {{U"^2 The second note.", 72, 720, kNote}});
            return p;
        }) << QStringList{u"The second note."_qs} << QStringList{u"πr2 grows"_qs, u"text[0:2] here."_qs} << QStringList{};

        QTest::newRow("two marks run together, a mark glued to a power") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"Cited twice^12 here; the x^33 term.");
            rule(p[0], 705);
            block(p[0], {{U"^1 One.", 72, 720, kNote}, {U"^2 Two.", 72, 730, kNote}, {U"^3 Three.", 72, 740, kNote}});
            return p;
        }) << QStringList{u"One."_qs, u"Two."_qs, u"Three."_qs} << QStringList{u"twice[0:1][1:2] here; the x3[2:3] term."_qs}
                                         << QStringList{};

        QTest::newRow("two marks run together after a power, a lone power elsewhere") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"So E = mc^234 holds; the x^3 term.");
            rule(p[0], 705);
            block(p[0], {{U"^3 Three.", 72, 720, kNote}, {U"^4 Four.", 72, 730, kNote}});
            return p;
        }) << QStringList{u"Three."_qs, u"Four."_qs} << QStringList{u"mc2[0:3][1:4] holds; the x3 term."_qs}
                                         << QStringList{};

        QTest::newRow("a subscript run on into a mark") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"It gives off CO_21 and water.");
            rule(p[0], 705);
            block(p[0], {{U"^1 The only note.", 72, 720, kNote}});
            return p;
        }) << QStringList{u"The only note."_qs} << QStringList{u"CO2[0:1] and"_qs} << QStringList{};

        QTest::newRow("an example set small with no rule over it: a power is no mark") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"The sum of i^2 is shown.");
            block(p[0], {{U"^2 = 0 then", 72, 720, kNote}});
            return p;
        }) << QStringList{} << QStringList{u"i2 is shown."_qs} << QStringList{};

        QTest::newRow("a mark on a line of its own in the text") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 300, 10, U"The text ends.");
            const double markWidth = kNote * kRaised * test::kCharEm;
            block(p[0], {{U"A line of the body that breaks right before the mark of its note,", 72, 100},
                         {U"^1", 72, 112},
                         {U"which opens the next line.", 72 + markWidth, 112}});
            block(p[0], {{U"A block apart from its mark", 72, 140}, {U"that stands in a block of its own.", 72, 152}});
            block(p[0], {{U"^2", 72 + 27 * kBody * test::kCharEm, 140}}); // right after "mark"
            block(p[0], {{U"^2 The second note.", 72, 730, kNote}});
            block(p[0], {{U"^1 The note.", 72, 720, kNote}});
            return p;
        }) << QStringList{u"The note."_qs, u"The second note."_qs} << QStringList{u"note, [0:1]which opens"_qs, u"mark[1:2]"_qs} << QStringList{};

        QTest::newRow("the mark on the page's first line, a power under it") << std::function<Pages()>([] {
            Pages p{page(1)};
            block(p[0], {{U"The first line of the page holds the mark^2 of the note.", 72, 60}});
            body(p[0], 100, 10, U"Below it the x^2 term.");
            block(p[0], {{U"^2 The note.", 72, 720, kNote}});
            return p;
        }) << QStringList{u"The note."_qs} << QStringList{u"mark[0:2] of"_qs, u"x2 term."_qs} << QStringList{};

        // Lookalikes: they stay text.
        QTest::newRow("a superscript with no note") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"The area is x^2 and the 1^st line.");
            return p;
        }) << QStringList{} << QStringList{u"x2 and the 1st line."_qs} << QStringList{};

        QTest::newRow("a numbered list at the foot") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"The list:");
            block(p[0], {{U"1. The first item set small.", 72, 720, kNote}, {U"2. The second item.", 72, 730, kNote}});
            return p;
        }) << QStringList{} << QStringList{u"The first item set small."_qs} << QStringList{};

        QTest::newRow("a note with no mark") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"No mark here.");
            block(p[0], {{U"^1 An orphan note stays.", 72, 720, kNote}});
            return p;
        }) << QStringList{} << QStringList{u"An orphan note stays."_qs} << QStringList{};

        QTest::newRow("a small last paragraph") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"Body^1 text.");
            block(p[0], {{U"Printed in small type at the end.", 72, 720, kNote}});
            return p;
        }) << QStringList{} << QStringList{u"Printed in small type at the end."_qs} << QStringList{};

        QTest::newRow("a table's note with text under it") << std::function<Pages()>([] {
            Pages p{page(1)};
            body(p[0], 100, 10, U"Values^1 in the table.");
            block(p[0], {{U"^1 Measured at noon.", 72, 250, kNote}});
            body(p[0], 280, 10, U"The text goes on under the table's note.");
            return p;
        }) << QStringList{} << QStringList{u"Measured at noon."_qs} << QStringList{};

        QTest::newRow("a small foot that repeats is no rest of a note") << std::function<Pages()>([] {
            Pages p{page(1), page(2), page(3)};
            for (int i = 0; i < 3; ++i) {
                body(p[i], 100, 10, i == 0 ? U"Mark^1 here." : U"Plain page.");
                rule(p[i], 740);
                block(p[i], {{U"Company confidential", 72, 790, kNote}});
            }
            block(p[0], {{U"^1 The note.", 72, 760, kNote}});
            return p;
        }) << QStringList{u"The note."_qs} << QStringList{u"Mark[0:1] here."_qs} << QStringList{u"confidential"_qs};
    }

    void notes()
    {
        QFETCH(std::function<Pages()>, draw);
        QFETCH(QStringList, notes);
        QFETCH(QStringList, inBody);
        QFETCH(QStringList, notInBody);
        const Document doc = buildDocument(draw(), {});
        QCOMPARE(notesOf(doc), notes);
        const QString text = bodyOf(doc);
        for (const QString& piece : inBody)
            QVERIFY2(text.contains(piece), qPrintable(piece + u" not in: "_qs + text));
        for (const QString& piece : notInBody)
            QVERIFY2(!text.contains(piece), qPrintable(piece + u" in: "_qs + text));
        // Each note is referred to once, in order; the mark is raised.
        int next = 0;
        for (const Section& s : doc.sections)
            for (const Paragraph& p : s.paragraphs)
                for (const Run& r : p.runs)
                    if (r.footnote >= 0) {
                        QCOMPARE(r.footnote, next++);
                        QCOMPARE(r.format.position, VerticalPosition::Superscript);
                    }
        QCOMPARE(next, notes.size());
    }

    void runningHeads_data()
    {
        QTest::addColumn<std::function<Pages()>>("draw");
        QTest::addColumn<QStringList>("heads"); // per section
        QTest::addColumn<QStringList>("inBody");

        QTest::newRow("heads alternating between left and right pages") << std::function<Pages()>([] {
            Pages p;
            for (int n = 1; n <= 8; ++n)
                p.push_back(bookPage(n, n % 2 ? U"Chapter One" : U"A Book of Notes"));
            return p;
        }) << QStringList{u"Chapter One / A Book of Notes"_qs} << QStringList{};

        QTest::newRow("a new chapter's head starts a section") << std::function<Pages()>([] {
            Pages p;
            for (int n = 1; n <= 8; ++n)
                p.push_back(bookPage(n, n % 2 ? (n < 5 ? U"Chapter One" : U"Chapter Two") : U"A Book of Notes"));
            return p;
        }) << QStringList{u"Chapter One / A Book of Notes"_qs, u"Chapter Two / A Book of Notes"_qs} << QStringList{};

        QTest::newRow("numbered from an even page") << std::function<Pages()>([] {
            Pages p;
            for (int n = 10; n <= 15; ++n)
                p.push_back(bookPage(n, n % 2 ? U"Right" : U"Left"));
            return p;
        }) << QStringList{u"Right / Left"_qs} << QStringList{};

        // A chapter's title where the heads stand on the other pages.
        QTest::newRow("chapter titles at the top of their first pages") << std::function<Pages()>([] {
            Pages p;
            for (int n = 1; n <= 9; ++n) {
                const bool opening = n % 3 == 1;
                p.push_back(bookPage(n, opening ? U"" : U"A Book of Notes"));
                if (opening)
                    block(p.back(), {{U"Chapter " + number(n / 3 + 1), 72, 60, 20}});
            }
            return p;
        }) << QStringList{u""_qs, u"A Book of Notes"_qs, u""_qs, u"A Book of Notes"_qs, u""_qs, u"A Book of Notes"_qs}
                                         << QStringList{u"Chapter 1"_qs, u"Chapter 2"_qs, u"Chapter 3"_qs};

        QTest::newRow("chapters of one page each") << std::function<Pages()>([] {
            Pages p;
            for (int n = 1; n <= 4; ++n) {
                p.push_back(bookPage(n, U""));
                block(p.back(), {{U"Chapter " + number(n), 72, 60, 20}});
            }
            return p;
        }) << QStringList{u""_qs} << QStringList{u"Chapter 1"_qs, u"Chapter 2"_qs, u"Chapter 3"_qs, u"Chapter 4"_qs};
    }

    void runningHeads()
    {
        QFETCH(std::function<Pages()>, draw);
        QFETCH(QStringList, heads);
        QFETCH(QStringList, inBody);
        const Document doc = buildDocument(draw(), {});
        QCOMPARE(headsOf(doc).join(u"; "), heads.join(u"; "));
        const QString text = bodyOf(doc);
        for (const QString& piece : inBody)
            QVERIFY2(text.contains(piece), qPrintable(piece + u" not in: "_qs + text));
        // Word counts a page's parity from the numbers: each section starts
        // numbering at the number printed on its first page.
        for (const Section& s : doc.sections)
            QVERIFY(s.page.firstPageNumber > 0);
    }

    // The book through pwt and LibreOffice: its notes are footnotes at their
    // marks, out of the body; its alternating heads are one page style with
    // a head of its own for the left pages.
    void bookThroughPwt()
    {
        QTemporaryDir dir;
        if (qEnvironmentVariableIsSet("KEEP_TEST_FILES")) { // for looking at them by hand
            dir.setAutoRemove(false);
            qInfo("files in %s", qPrintable(dir.path()));
        }
        const QString pdf = dir.filePath(u"book.pdf"_qs), doc = dir.filePath(u"book.doc"_qs);
        drawBook(pdf);
        const test::ProgramRun converted = test::runProgram(QStringLiteral(PWT_PATH), {u"--src="_qs + pdf, u"--dest="_qs + doc}, 120000);
        QVERIFY2(converted.exitCode == 0, qPrintable(converted.err));
        const test::ProgramRun read = test::runProgram(
            u"soffice"_qs,
            {u"--headless"_qs, u"-env:UserInstallation=file://"_qs + dir.filePath(u"profile"_qs), u"--convert-to"_qs, u"fodt"_qs,
             u"--outdir"_qs, dir.path(), doc},
            300000);
        QVERIFY2(read.exitCode == 0, qPrintable(read.err));
        const fodt::Document d = fodt::read(dir.filePath(u"book.fodt"_qs));
        QVERIFY2(d.error.isEmpty(), qPrintable(d.error));

        QCOMPARE(d.footnotes.size(), kBookNotes.size());
        for (qsizetype i = 0; i < kBookNotes.size(); ++i) {
            const BookNote& expected = kBookNotes[i];
            const fodt::Note& note = d.footnotes[i];
            const QString text = (expected.text + u" "_qs + expected.runsOn).trimmed();
            QCOMPARE(note.text.simplified(), text);
            QVERIFY(note.paragraph >= 0);
            QVERIFY2(d.body[note.paragraph].text.left(note.offset).endsWith(u"A "_qs + expected.word),
                     qPrintable(d.body[note.paragraph].text));
        }
        QSet<QString> masters;
        for (const fodt::Paragraph& p : d.body) {
            QVERIFY2(!p.text.contains(u"note"_qs), qPrintable(p.text));
            masters.insert(p.master);
        }
        QCOMPARE(masters.size(), 1);
        const auto master = std::find_if(d.masterPages.begin(), d.masterPages.end(),
                                         [&](const fodt::MasterPage& m) { return m.name == *masters.begin(); });
        QVERIFY(master != d.masterPages.end());
        QCOMPARE(master->header.size(), 1);
        QCOMPARE(master->header[0].text, u"Chapter One"_qs);
        QCOMPARE(master->headerLeft.size(), 1);
        QCOMPARE(master->headerLeft[0].text, u"A Book of Notes"_qs);
    }
};

QTEST_MAIN(FootnotesTest)
#include "FootnotesTest.moc"

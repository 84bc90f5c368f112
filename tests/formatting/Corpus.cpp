#include "Corpus.h"

#include "PdfComposer.h"

#include <QDir>

#include <functional>

namespace fmt {

namespace {

// Sentences of ordinary prose; picked in turn so that no two paragraphs read alike.
const char* const kSentences[] = {
    "The committee met on a grey morning to review the figures for the third quarter.",
    "Most of the members had read the report beforehand and came with questions.",
    "Sales in the northern region rose steadily while the coastal offices held their ground.",
    "A new warehouse near the river shortened deliveries by almost two days.",
    "Staff turnover fell for the first time in four years, which pleased the board.",
    "The budget for training was doubled and spent on courses the teams chose themselves.",
    "Customers wrote in to praise the faster service and the clearer invoices.",
    "Two suppliers raised their prices, and the purchasing team found cheaper alternatives.",
    "The old accounting system was retired after a careful migration over the summer.",
    "Several projects were paused so that the engineers could finish the platform work.",
    "Energy costs remained high, although the new insulation cut heating bills noticeably.",
    "The legal department closed three long-running cases without going to court.",
    "Visitors to the museum wing increased after the spring exhibition opened.",
    "The library catalogue was moved online and can now be searched from home.",
    "A survey of tenants showed that most wanted longer opening hours at the weekend.",
    "The garden behind the east building was replanted with hardy native shrubs.",
    "Marketing tried a smaller campaign aimed at schools and colleges this year.",
    "The press office answered nearly a thousand enquiries during the busy season.",
    "Volunteers repaired the footpath along the canal before the autumn rains.",
    "The last item on the agenda was the date of the next meeting, set for January.",
};
constexpr int kSentenceCount = static_cast<int>(sizeof kSentences / sizeof *kSentences);

class Prose {
public:
    QString next(int sentences)
    {
        QStringList out;
        for (int i = 0; i < sentences; ++i)
            out << QString::fromUtf8(kSentences[m_at++ % kSentenceCount]);
        return out.join(QChar(' '));
    }

private:
    int m_at = 0;
};

ParagraphRequest heading(const QString& text, int level)
{
    static const TextStyle styles[] = {sans(20, true), sans(15, true), serif(12.5, true, true)};
    ParagraphRequest p = plain(text, styles[level - 1]);
    p.headingLevel = level;
    p.spaceBefore = level == 1 ? 14 : 8;
    p.spaceAfter = 6;
    p.judgeAlignment = false; // one short line
    return p;
}

// --- the documents ---------------------------------------------------------

void characterRuns(PdfComposer& c, Prose& prose)
{
    const TextStyle body = serif();
    c.paragraph(pieces({{prose.next(1) + QStringLiteral(" This sentence mixes "), body},
                        {QStringLiteral("bold words"), serif(11, true)},
                        {QStringLiteral(" with "), body},
                        {QStringLiteral("italic words"), serif(11, false, true)},
                        {QStringLiteral(" and "), body},
                        {QStringLiteral("bold italic words"), serif(11, true, true)},
                        {QStringLiteral(" in one line. ") + prose.next(1), body}}));
    c.paragraph(pieces({{QStringLiteral("A sans serif paragraph at ten and a half points. ") + prose.next(1) + QChar(' '), sans(10.5)},
                        {QStringLiteral("Sans bold phrase"), sans(10.5, true)},
                        {QStringLiteral(" and "), sans(10.5)},
                        {QStringLiteral("sans italic phrase"), sans(10.5, false, true)},
                        {QStringLiteral(" close the paragraph."), sans(10.5)}}));
    c.paragraph(pieces({{QStringLiteral("Typewriter text for commands such as "), body},
                        {QStringLiteral("make install"), withFamily(serif(10), "Liberation Mono")},
                        {QStringLiteral(" or "), body},
                        {QStringLiteral("git commit"), withFamily(serif(10, true), "Liberation Mono")},
                        {QStringLiteral(" sits among ordinary words. ") + prose.next(1), body}}));
    c.paragraph(pieces({{QStringLiteral("Small print at nine points "), serif(9)},
                        {QStringLiteral("grows to twelve points "), serif(12)},
                        {QStringLiteral("and then to fourteen points "), serif(14)},
                        {QStringLiteral("before settling back at eleven. ") + prose.next(1), body}}));
    c.paragraph(pieces({{QStringLiteral("Plain black words lead to "), body},
                        {QStringLiteral("red warning words"), coloured(body, QColor(0xC0, 0x00, 0x00))},
                        {QStringLiteral(", then "), body},
                        {QStringLiteral("blue link words"), coloured(body, QColor(0x00, 0x33, 0xCC))},
                        {QStringLiteral(" and "), body},
                        {QStringLiteral("green note words"), coloured(body, QColor(0x00, 0x80, 0x00))},
                        {QStringLiteral(". ") + prose.next(1), body}}));
    c.paragraph(pieces({{QStringLiteral("The famous formula E = mc"), body},
                        {QStringLiteral("2"), positioned(body, Position::Superscript)},
                        {QStringLiteral(" has a raised figure, while water, H"), body},
                        {QStringLiteral("2"), positioned(body, Position::Subscript)},
                        {QStringLiteral("O, has a lowered one, as does the first footnote mark"), body},
                        {QStringLiteral("1"), positioned(body, Position::Superscript)},
                        {QStringLiteral(". ") + prose.next(1), body}}));
    c.paragraph(pieces({{QStringLiteral("DejaVu Sans text stands for fonts with no Word twin. ") + prose.next(1) + QChar(' '),
                         withFamily(serif(10), "DejaVu Sans")},
                        {QStringLiteral("Its bold closes the line."), withFamily(serif(10, true), "DejaVu Sans")}}));
    c.paragraph(pieces({{QStringLiteral("A font of small capitals sets "), body},
                        {QStringLiteral("The Velkaro Company"), withFamily(serif(11), "Latin Modern Roman Caps")},
                        {QStringLiteral(" apart from the words around it. ") + prose.next(1), body}}));
    c.paragraph(pieces({{QStringLiteral("DejaVu Serif in italic at twelve points. ") + prose.next(1),
                         withFamily(serif(12, false, true), "DejaVu Serif")}}));
    c.paragraph(pieces({{QStringLiteral("A larger sans statement at fourteen points closes the page. ") + prose.next(1),
                         sans(14)}}));
}

void paragraphAlignment(PdfComposer& c, Prose& prose)
{
    c.paragraph(plain(prose.next(4))); // ragged right
    ParagraphRequest justified = plain(prose.next(5), serif(), Align::Justify);
    c.paragraph(justified);
    c.paragraph(plain(prose.next(3), serif(), Align::Center));
    c.paragraph(plain(prose.next(3), serif(), Align::Right));
    ParagraphRequest title = plain(QStringLiteral("A centred line on its own"), serif(), Align::Center);
    c.paragraph(title);
    c.paragraph(plain(QStringLiteral("Signed on 7 December 2026"), serif(), Align::Right));

    ParagraphRequest quote = plain(prose.next(3), serif(10, false, true), Align::Justify);
    quote.leftIndent = 36;
    quote.rightIndent = 36;
    quote.judgeIndents = true;
    c.paragraph(quote);

    ParagraphRequest firstLine = plain(prose.next(3), serif(), Align::Justify);
    firstLine.firstLine = 24;
    firstLine.judgeIndents = true;
    c.paragraph(firstLine);
    ParagraphRequest firstLine2 = plain(prose.next(3), serif(), Align::Justify);
    firstLine2.firstLine = 24;
    firstLine2.judgeIndents = true;
    c.paragraph(firstLine2);

    ParagraphRequest indented = plain(prose.next(3));
    indented.leftIndent = 54;
    indented.judgeIndents = true;
    c.paragraph(indented);

    for (int i = 1; i <= 3; ++i) {
        ParagraphRequest item = plain(QStringLiteral("%1. ").arg(i) + prose.next(2));
        item.listLevel = 0; // its label typed in its text
        item.listFormat = QStringLiteral("1");
        item.leftIndent = 18;
        item.firstLine = -18;
        item.spaceAfter = 3;
        item.judgeIndents = true;
        c.paragraph(item);
    }
    for (int i = 0; i < 3; ++i) {
        ParagraphRequest item = plain(QStringLiteral("\u2022 ") + prose.next(2));
        item.listLevel = 0;
        item.listFormat = QStringLiteral("bullet");
        item.leftIndent = 18;
        item.firstLine = -18;
        item.spaceAfter = 3;
        item.judgeIndents = true;
        c.paragraph(item);
    }
    ParagraphRequest airy = plain(prose.next(4), serif(), Align::Justify);
    airy.lineSpacing = 1.5;
    airy.spaceBefore = 18;
    c.paragraph(airy);
    c.paragraph(plain(prose.next(3), serif(), Align::Center));
}

void headings(PdfComposer& c, Prose& prose)
{
    const auto body = [&](int n) { c.paragraph(plain(prose.next(n), serif(), Align::Justify)); };
    c.paragraph(heading(QStringLiteral("1 Introduction"), 1));
    body(4);
    body(3);
    c.paragraph(heading(QStringLiteral("1.1 Background of the study"), 2));
    body(4);
    c.paragraph(heading(QStringLiteral("1.1.1 Earlier surveys"), 3));
    body(3);
    c.paragraph(pieces({{QStringLiteral("Note."), serif(11, true)},
                        {QStringLiteral(" A paragraph that opens with a bold word is still body text. ") + prose.next(2), serif()}},
                       Align::Justify));
    c.paragraph(heading(QStringLiteral("1.1.2 Open questions"), 3));
    body(3);
    c.paragraph(heading(QStringLiteral("1.2 Scope"), 2));
    body(4);
    c.paragraph(heading(QStringLiteral("2 Methods"), 1));
    body(3);
    c.paragraph(heading(QStringLiteral("2.1 Data collection"), 2));
    body(4);
    c.paragraph(heading(QStringLiteral("2.1.1 Interviews"), 3));
    body(3);
    c.paragraph(heading(QStringLiteral("2.2 Analysis"), 2));
    body(4);
    c.paragraph(heading(QStringLiteral("3 Results"), 1));
    body(4);
    c.paragraph(plain(QStringLiteral("Thanks go to everyone who took part."), serif()));
}

void twoColumns(PdfComposer& c, Prose& prose, Truth& truth)
{
    ParagraphRequest title = plain(QStringLiteral("Reading Order in Two-Column Reports"), sans(18, true), Align::Center);
    title.headingLevel = 1;
    title.spaceAfter = 4;
    c.paragraph(title);
    ParagraphRequest authors = plain(QStringLiteral("A. Writer and B. Reviewer, Velkaro Institute"), serif(11, false, true), Align::Center);
    c.paragraph(authors);
    ParagraphRequest abstract = pieces({{QStringLiteral("Abstract."), serif(10, true)},
                                     {QStringLiteral(" ") + prose.next(4), serif(10)}},
                                    Align::Justify);
    abstract.leftIndent = 36;
    abstract.rightIndent = 36;
    abstract.spaceAfter = 14;
    c.paragraph(abstract);
    truth.readingOrder << QStringLiteral("Reading Order in Two-Column Reports") << QStringLiteral("A. Writer and B. Reviewer")
                       << QStringLiteral("Abstract.");
    // A preprint stamp up the left margin, as archives put on papers.
    truth.placedTexts << QStringLiteral("Preprint 2612.00042 of 7 December 2026");
    c.textUpwards(40, 600, truth.placedTexts.last(), serif(9));

    const double gutter = 18, width = (c.pageWidth() - 144 - gutter) / 2;
    const auto column = [&](double left, const QString& label, int count, bool withHeading) {
        c.setColumn(left, width);
        if (withHeading) {
            c.paragraph(heading(label + QStringLiteral(" column heading"), 2));
            truth.readingOrder << label + QStringLiteral(" column heading");
        }
        for (int i = 1; i <= count; ++i) {
            const QString lead = QStringLiteral("%1 column paragraph %2.").arg(label).arg(i);
            c.paragraph(plain(lead + QChar(' ') + prose.next(3), serif(10), Align::Justify));
            truth.readingOrder << lead;
        }
    };
    const double columnsTop = c.y();
    column(72, QStringLiteral("Left"), 4, true);
    c.setY(columnsTop);
    column(72 + width + gutter, QStringLiteral("Right"), 4, false);

    c.newPage();
    column(72, QStringLiteral("Second page left"), 5, false);
    c.setY(c.top());
    column(72 + width + gutter, QStringLiteral("Second page right"), 5, false);
}

void runningHeads(PdfComposer& c, Prose& prose, Truth& truth)
{
    truth.runningHead = QStringLiteral("Velkaro Annual Report 2026");
    truth.pageNumbers = true;
    c.setPageDecoration([&truth](PdfComposer& pc, int page) {
        pc.textAt(72, 42, truth.runningHead, sans(9, false, true));
        pc.textAt(pc.pageWidth() / 2, pc.pageHeight() - 36, QString::number(page), serif(10), Align::Center);
    });
    // Headings at the top of some pages and lower on others, none of them
    // repeated: only the head and the page number recur.
    const QStringList headings = {QStringLiteral("Overview"), QStringLiteral("Finances"), QStringLiteral("Staff and training"),
                                  QStringLiteral("Outlook")};
    for (int page = 1; page <= 4; ++page) {
        if (page > 1)
            c.newPage();
        const bool headingFirst = page % 2 == 1;
        if (headingFirst)
            c.paragraph(heading(headings[page - 1], 1));
        c.paragraph(plain(prose.next(4), serif(), Align::Justify));
        if (!headingFirst)
            c.paragraph(heading(headings[page - 1], 1));
        for (int i = 0; i < 3; ++i)
            c.paragraph(plain(prose.next(4), serif(), Align::Justify));
    }
}

void pageSections(PdfComposer& c, Prose& prose)
{
    const auto page = [&](const QString& lead) {
        c.paragraph(plain(lead + QChar(' ') + prose.next(3), serif(), Align::Justify));
        c.paragraph(plain(prose.next(3), serif(), Align::Justify));
    };
    page(QStringLiteral("The first page stands upright on A4 paper."));
    c.newPage(QPageSize(QPageSize::A4), QPageLayout::Landscape);
    page(QStringLiteral("The second page lies on its side, A4 landscape."));
    c.newPage(QPageSize(QPageSize::A4), QPageLayout::Portrait);
    page(QStringLiteral("The third page is upright A4 again."));
    c.newPage(QPageSize(QPageSize::Letter), QPageLayout::Portrait);
    page(QStringLiteral("The fourth page is US Letter, upright."));
}

void chinese(PdfComposer& c, Truth& truth)
{
    const TextStyle song = withFamily(serif(11), "Noto Serif CJK SC");
    const TextStyle songBold = withFamily(serif(11, true), "Noto Serif CJK SC");
    const TextStyle hei = withFamily(serif(11), "Noto Sans CJK SC");
    const auto bold = [](TextStyle s, double size) {
        s.bold = true;
        s.size = size;
        return s;
    };
    truth.runningHead = QStringLiteral("威尔卡罗技术白皮书");
    truth.pageNumbers = true;
    c.setPageDecoration([&truth, hei](PdfComposer& pc, int page) {
        TextStyle small = hei;
        small.size = 9;
        pc.textAt(pc.pageWidth() - 72, 42, truth.runningHead, small, Align::Right);
        pc.textAt(pc.pageWidth() / 2, pc.pageHeight() - 36, QString::number(page), serif(10), Align::Center);
    });
    ParagraphRequest title = plain(QStringLiteral("文档格式转换技术说明"), bold(hei, 20), Align::Center);
    title.headingLevel = 1;
    title.spaceAfter = 12;
    c.paragraph(title);
    const QStringList sections = {QStringLiteral("一、项目背景"), QStringLiteral("二、设计目标"), QStringLiteral("三、实现方法"),
                                  QStringLiteral("四、测试结果")};
    const QStringList body = {
        QStringLiteral("许多读者需要把PDF文件转换成可以编辑的Word文档。转换后的文档应当保留原文的段落、标题和字体，"
                       "使读者能够直接修改内容，而不必重新排版。"),
        QStringLiteral("本软件逐页读取文字及其位置，按照行距和缩进判断段落，再根据字号和粗细识别各级标题。"
                       "页眉和页码被移到文档的页眉和页脚之中。"),
        QStringLiteral("对于分栏排版的页面，程序先读完左栏再读右栏，保证阅读顺序正确。横向页面单独成节，"
                       "以便打印时方向不变。"),
        QStringLiteral("测试使用自动生成的文档，其中每一段的格式都是已知的。结果表明绝大多数格式都能得到保留。"),
    };
    for (int s = 0; s < sections.size(); ++s) {
        ParagraphRequest h = plain(sections[s], bold(hei, 15));
        h.headingLevel = 2;
        h.spaceBefore = 10;
        h.judgeAlignment = false;
        c.paragraph(h);
        ParagraphRequest first = plain(body[s] + body[(s + 1) % body.size()], song, Align::Justify);
        first.firstLine = 22; // two characters, as Chinese text is indented
        first.judgeIndents = true;
        c.paragraph(first);
        ParagraphRequest second = pieces({{body[(s + 2) % body.size()], song},
                                       {QStringLiteral("重点内容以粗体标出。"), songBold},
                                       {body[(s + 3) % body.size()], song}},
                                      Align::Justify);
        second.firstLine = 22;
        second.judgeIndents = true;
        c.paragraph(second);
        if (s == 1)
            c.newPage();
    }
}

struct DocumentRecipe {
    const char* name;
    const char* title;
    std::function<void(PdfComposer&, Prose&, Truth&)> draw;
};

} // namespace

QList<CorpusFile> writeCorpus(const QString& dir, QString* error)
{
    const DocumentRecipe recipes[] = {
        {"character-runs", "Character formats", [](PdfComposer& c, Prose& p, Truth&) { characterRuns(c, p); }},
        {"paragraph-alignment", "Alignment and indents", [](PdfComposer& c, Prose& p, Truth&) { paragraphAlignment(c, p); }},
        {"headings", "A heading hierarchy", [](PdfComposer& c, Prose& p, Truth&) { headings(c, p); }},
        {"two-columns", "Two columns", [](PdfComposer& c, Prose& p, Truth& t) { twoColumns(c, p, t); }},
        {"running-heads", "Running heads and page numbers", [](PdfComposer& c, Prose& p, Truth& t) { runningHeads(c, p, t); }},
        {"page-sections", "Page sizes and orientations", [](PdfComposer& c, Prose& p, Truth&) { pageSections(c, p); }},
        {"chinese", "中文格式", [](PdfComposer& c, Prose&, Truth& t) { chinese(c, t); }},
    };
    QList<CorpusFile> out;
    QDir().mkpath(dir);
    for (const DocumentRecipe& r : recipes) {
        Prose prose;
        const std::optional<CorpusFile> file = writeCorpusFile(
            dir, QString::fromUtf8(r.name), QString::fromUtf8(r.title),
            [&](PdfComposer& composer) { r.draw(composer, prose, composer.truth()); }, error);
        if (!file)
            return {};
        out << *file;
    }
    return out;
}

std::optional<CorpusFile> writeCorpusFile(const QString& dir, const QString& name, const QString& title,
                                          const std::function<void(PdfComposer&)>& draw, QString* error)
{
    CorpusFile file;
    file.pdf = QDir(dir).filePath(name + QStringLiteral(".pdf"));
    file.truthJson = QDir(dir).filePath(name + QStringLiteral(".truth.json"));
    QString fontError;
    {
        PdfComposer composer(file.pdf, title);
        composer.truth().name = name;
        draw(composer);
        composer.finish();
        fontError = composer.fontError();
        file.truth = composer.truth();
    }
    if (!fontError.isEmpty() || !file.truth.save(file.truthJson)) {
        if (error)
            *error = name + QStringLiteral(": ") + (fontError.isEmpty() ? QStringLiteral("cannot write ") + file.truthJson : fontError);
        return std::nullopt;
    }
    return file;
}

} // namespace fmt

#include "SampleDocuments.h"

#include "doc/DocWriter.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QMap>
#include <QPainter>

#include <algorithm>

namespace sample {

using namespace pwt;

Run run(const std::u16string& text, CharFormat format)
{
    Run r;
    r.text = text;
    r.format = std::move(format);
    return r;
}

Paragraph paragraph(const std::u16string& text, CharFormat format)
{
    Paragraph p;
    p.runs.push_back(run(text, std::move(format)));
    return p;
}

namespace {

CharFormat song()
{
    CharFormat f;
    f.eastAsianFamily = "SimSun";
    return f;
}

} // namespace

Document english()
{
    Document d;
    Section s;
    s.paragraphs.push_back(paragraph(u"The first paragraph of plain English text."));
    s.paragraphs.push_back(paragraph(u"A second paragraph, with a comma and a tab\there."));
    Paragraph split;
    split.runs = {run(u"Three runs "), run(u"make one "), run(u"paragraph.")};
    s.paragraphs.push_back(split);
    Paragraph next = paragraph(u"This paragraph starts the second page.");
    next.pageBreakBefore = true;
    s.paragraphs.push_back(next);
    s.paragraphs.push_back(paragraph(u"And this one closes the document."));
    d.sections.push_back(std::move(s));
    return d;
}

Document chinese()
{
    Document d;
    Section s;
    s.paragraphs.push_back(paragraph(u"第一段：这是中文文本的转换测试。", song()));
    s.paragraphs.push_back(paragraph(u"Mixed 混合 text 文字 2024年12月", song()));
    // U+20000 (CJK Extension B) as a surrogate pair; BEL, a CR, field and
    // page-break characters inside the text are dropped by the writer.
    s.paragraphs.push_back(paragraph(u"扩展字符\U00020000之后\u0007继\u000D续\u0013文\u0014本\u000C。", song()));
    Paragraph next = paragraph(u"第二页的第一段。", song());
    next.pageBreakBefore = true;
    s.paragraphs.push_back(next);
    d.sections.push_back(std::move(s));
    return d;
}

Document formatted()
{
    Document d;
    Section s;
    auto withFormat = [&](const std::u16string& text, auto change, ParagraphFormat pf = {}) {
        CharFormat f;
        change(f);
        Paragraph p = paragraph(text, f);
        p.format = pf;
        s.paragraphs.push_back(p);
    };
    auto heading = [&](const std::u16string& text, int level) {
        ParagraphFormat pf;
        pf.headingLevel = level;
        CharFormat f;
        f.bold = true;
        f.halfPoints = 36 - 4 * level;
        Paragraph p = paragraph(text, f);
        p.format = pf;
        s.paragraphs.push_back(p);
    };
    heading(u"Heading level one", 1);
    withFormat(u"Bold words here", [](CharFormat& f) { f.bold = true; });
    withFormat(u"Italic words here", [](CharFormat& f) { f.italic = true; });
    withFormat(u"Large eighteen point", [](CharFormat& f) { f.halfPoints = 36; });
    withFormat(u"Red coloured text", [](CharFormat& f) { f.colorRgb = 0xCC0000; });
    withFormat(u"Raised superscript", [](CharFormat& f) { f.position = VerticalPosition::Superscript; });
    withFormat(u"Lowered subscript", [](CharFormat& f) { f.position = VerticalPosition::Subscript; });
    withFormat(u"Small capitals text", [](CharFormat& f) { f.smallCaps = true; });
    withFormat(u"Arial with 黑体 Chinese", [](CharFormat& f) {
        f.fontFamily = "Arial";
        f.eastAsianFamily = "SimHei";
    });
    heading(u"Heading level two", 2);
    ParagraphFormat centred;
    centred.alignment = Alignment::Center;
    withFormat(u"Centred paragraph", [](CharFormat&) {}, centred);
    ParagraphFormat right;
    right.alignment = Alignment::Right;
    withFormat(u"Right aligned paragraph", [](CharFormat&) {}, right);
    ParagraphFormat justified;
    justified.alignment = Alignment::Justify;
    withFormat(u"Justified paragraph", [](CharFormat&) {}, justified);
    ParagraphFormat contents;
    contents.referenceTab = ReferenceTab{7200, true}; // five inches
    withFormat(u"Contents entry\t12", [](CharFormat&) {}, contents);
    heading(u"Heading level three", 3);
    ParagraphFormat indented;
    indented.leftIndent = 720;
    indented.rightIndent = 360;
    indented.firstLineIndent = 360;
    withFormat(u"Indented paragraph", [](CharFormat&) {}, indented);
    ParagraphFormat hanging;
    hanging.leftIndent = 1440;
    hanging.firstLineIndent = -720;
    withFormat(u"Hanging indent paragraph", [](CharFormat&) {}, hanging);
    ParagraphFormat spaced;
    spaced.spaceBefore = 240;
    spaced.spaceAfter = 120;
    spaced.lineSpacing = 360;
    withFormat(u"Spaced paragraph", [](CharFormat&) {}, spaced);
    d.sections.push_back(std::move(s));
    return d;
}

Document sectioned()
{
    Document d;
    d.info.title = "转换测试 Section Title";
    d.info.author = "Velkaro";
    d.info.subject = "Sections";
    d.info.keywords = "pdf, word";

    Paragraph footer;
    footer.runs = {run(u"Page "), run(u"1")};
    footer.runs[1].pageNumberField = true;

    Section first;
    first.paragraphs.push_back(paragraph(u"Portrait section text."));
    first.paragraphs.push_back(paragraph(u"Portrait section closing line."));
    first.header.push_back(paragraph(u"Running head 页眉", song()));
    first.footer.push_back(footer);

    Section second;
    second.page.width = 16838;
    second.page.height = 11906;
    second.page.marginLeft = 1440;
    second.page.marginRight = 1440;
    second.page.headerDistance = 500;
    second.page.firstPageNumber = 7;
    second.paragraphs.push_back(paragraph(u"Landscape section text."));
    second.header.push_back(paragraph(u"Landscape head"));
    second.footer.push_back(footer);

    d.sections.push_back(std::move(first));
    d.sections.push_back(std::move(second));
    return d;
}

namespace {

ListLevel level(NumberFormat format, const std::u16string& label, int textIndent)
{
    ListLevel l;
    l.format = format;
    l.label = label;
    l.textIndent = textIndent;
    l.labelIndent = textIndent - 360;
    return l;
}

Paragraph listItem(const std::u16string& text, int list, int depth, CharFormat format = {})
{
    Paragraph p = paragraph(text, std::move(format));
    p.format.list = list;
    p.format.listLevel = depth;
    p.format.leftIndent = 360 * (depth + 1);
    p.format.firstLineIndent = -360;
    return p;
}

Run linked(const std::u16string& text, const std::string& link, CharFormat format = {})
{
    Run r = run(text, std::move(format));
    r.link = link;
    return r;
}

Run noteMark(const std::u16string& mark, int footnote)
{
    CharFormat raised;
    raised.position = VerticalPosition::Superscript;
    Run r = run(mark, raised);
    r.footnote = footnote;
    return r;
}

Paragraph withPageField(const std::u16string& text)
{
    Paragraph p;
    p.runs = {run(text), run(u"1")};
    p.runs[1].pageNumberField = true;
    return p;
}

} // namespace

Document structured()
{
    Document d;
    d.lists.push_back({{level(NumberFormat::Bullet, u"\u2022", 360), level(NumberFormat::Bullet, u"\u2013", 720)}});
    d.lists.push_back({{level(NumberFormat::Decimal, u"%1.", 360), level(NumberFormat::Decimal, u"%1.%2", 900)}});
    d.lists.push_back({{level(NumberFormat::LowerLetter, u"%1)", 360)}});
    d.lists.push_back({{level(NumberFormat::ChineseCounting, u"%1、", 480),
                        level(NumberFormat::Decimal, u"（%2）", 960)}});
    d.lists[0].levels[0].labelFont = "DejaVu Sans";
    for (const char16_t* text : {u"First note text.", u"Second note text, see ", u"Symbol note text.", u"Note in a table cell."})
        d.footnotes.push_back(Footnote{{paragraph(text)}});
    d.footnotes[1].paragraphs.front().runs.push_back(linked(u"the notes site", "https://example.org/notes"));

    Section s;
    s.evenPagesDiffer = true;
    s.header.push_back(paragraph(u"Odd page head"));
    s.evenHeader.push_back(paragraph(u"Even page head"));
    s.footer.push_back(withPageField(u"Odd foot "));
    s.evenFooter.push_back(withPageField(u"Even foot "));

    Paragraph intro = paragraph(u"Lists, notes and links follow.");
    intro.bookmarks = {"top", "9 not a name", "top"};
    s.paragraphs.push_back(intro);
    s.paragraphs.push_back(listItem(u"Bullet item one", 0, 0));
    s.paragraphs.push_back(listItem(u"Bullet item nested", 0, 1));
    s.paragraphs.push_back(listItem(u"Bullet item two", 0, 0));
    s.paragraphs.push_back(listItem(u"Numbered item one", 1, 0));
    s.paragraphs.push_back(listItem(u"Numbered nested item", 1, 1));
    s.paragraphs.push_back(listItem(u"Numbered item two", 1, 0));
    s.paragraphs.push_back(listItem(u"Lettered item", 2, 0));
    s.paragraphs.push_back(listItem(u"中文列表第一项", 3, 0, song()));
    s.paragraphs.push_back(listItem(u"中文列表子项", 3, 1, song()));
    s.paragraphs.push_back(listItem(u"中文列表第二项", 3, 0, song()));
    Paragraph notes = paragraph(u"A sentence with a numbered note");
    notes.runs.push_back(noteMark(u"1", 0));
    s.paragraphs.push_back(notes);
    Paragraph second = paragraph(u"A second numbered note on the same page");
    second.runs.push_back(noteMark(u"2", 1));
    s.paragraphs.push_back(second);
    Paragraph symbol = paragraph(u"A note with a symbol mark");
    symbol.runs.push_back(noteMark(u"*", 2));
    s.paragraphs.push_back(symbol);
    Paragraph web;
    web.runs = {run(u"Visit "), linked(u"the example site", "https://example.org/a b?q=\"1\"&r=\\2")};
    s.paragraphs.push_back(web);
    CharFormat bold;
    bold.bold = true;
    CharFormat italic;
    italic.italic = true;
    Paragraph twoFormats;
    twoFormats.runs = {run(u"Two formats: "), linked(u"bold part", "mailto:someone@example.org", bold),
                       linked(u" italic part", "mailto:someone@example.org", italic)};
    s.paragraphs.push_back(twoFormats);
    Paragraph jump;
    jump.runs = {run(u"Jump to "), linked(u"the target heading", "#target_2")};
    s.paragraphs.push_back(jump);
    Paragraph hostile;
    hostile.runs = {run(u"Not links: "), linked(u"a local file", "file:///etc/passwd"), run(u", "),
                    linked(u"a script", "javascript:alert(1)"), run(u", "), linked(u"a bad bookmark", "#1st")};
    s.paragraphs.push_back(hostile);
    Paragraph pageTwo = paragraph(u"Page two opens here.");
    pageTwo.pageBreakBefore = true;
    s.paragraphs.push_back(pageTwo);
    s.paragraphs.push_back(listItem(u"Numbered item three", 1, 0));
    Paragraph target = paragraph(u"Target heading");
    target.format.headingLevel = 1;
    target.bookmarks = {"target_2"};
    s.paragraphs.push_back(target);
    Paragraph third = paragraph(u"Third page text.");
    third.pageBreakBefore = true;
    s.paragraphs.push_back(third);

    Table t;
    t.beforeParagraph = s.paragraphs.size() - 2; // before the heading
    TableRow row;
    TableCell noted;
    noted.width = 3000;
    noted.paragraphs.push_back(paragraph(u"Cell with a note"));
    noted.paragraphs.back().runs.push_back(noteMark(u"3", 3));
    TableCell plain;
    plain.width = 3000;
    plain.paragraphs.push_back(paragraph(u"Plain cell"));
    row.cells = {noted, plain};
    t.rows.push_back(row);
    s.tables.push_back(t);
    d.sections.push_back(std::move(s));
    return d;
}

Document synthetic(int pages)
{
    Document d;
    Section s;
    Paragraph footer;
    footer.runs = {run(u"Page "), run(u"1")};
    footer.runs[1].pageNumberField = true;
    s.footer.push_back(footer);
    CharFormat bold;
    bold.bold = true;
    CharFormat cjk = song();
    cjk.halfPoints = 21;
    for (int page = 0; page < pages; ++page) {
        for (int line = 0; line < 30; ++line) {
            Paragraph p;
            p.pageBreakBefore = line == 0 && page > 0;
            const std::u16string n = QString::number(page * 30 + line).toStdU16String();
            p.runs.push_back(run(u"Paragraph " + n + u" of the synthetic document ", bold));
            p.runs.push_back(run(u"with plain English words that fill a line of text, ", {}));
            p.runs.push_back(run(u"以及一些中文字符用于测试转换器的输出。", cjk));
            if (line % 10 == 0)
                p.format.headingLevel = 2;
            s.paragraphs.push_back(std::move(p));
        }
    }
    d.sections.push_back(std::move(s));
    return d;
}

std::shared_ptr<const ImageData> image(ImageFormat format, int pixelWidth, int pixelHeight, QColor color)
{
    // Made once: every sample built from the same image holds the same bytes.
    static QMap<QString, std::shared_ptr<const ImageData>> made;
    const QString key = QStringLiteral("%1 %2x%3 %4").arg(int(format)).arg(pixelWidth).arg(pixelHeight).arg(color.rgb());
    if (const auto it = made.constFind(key); it != made.constEnd())
        return *it;
    QImage picture(pixelWidth, pixelHeight, QImage::Format_RGB32);
    picture.fill(color);
    QPainter(&picture).fillRect(0, 0, pixelWidth / 4, pixelHeight / 4, Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format == ImageFormat::Jpeg ? "JPG" : "PNG");
    auto data = std::make_shared<ImageData>();
    data->format = format;
    data->bytes.assign(bytes.begin(), bytes.end());
    data->pixelWidth = pixelWidth;
    data->pixelHeight = pixelHeight;
    made.insert(key, data);
    return data;
}

namespace {

Picture picture(std::shared_ptr<const ImageData> data, int width, int height)
{
    Picture p;
    p.image = std::move(data);
    p.width = width;
    p.height = height;
    return p;
}

Figure figure(std::vector<Picture> pictures, std::size_t beforeParagraph)
{
    Figure f;
    f.pictures = std::move(pictures);
    f.beforeParagraph = beforeParagraph;
    return f;
}

} // namespace

Document pictured()
{
    const auto photo = image(ImageFormat::Jpeg, 120, 80, QColor(200, 60, 40));
    const auto photoCopy = std::make_shared<ImageData>(*photo); // equal bytes, another image
    const auto square = image(ImageFormat::Png, 64, 64, QColor(30, 120, 220));
    const auto band = image(ImageFormat::Png, 80, 40, QColor(40, 180, 90));
    const auto wide = image(ImageFormat::Png, 200, 100, QColor(250, 200, 0));

    Document d;
    Section s;
    s.header.push_back(paragraph(u"Pictured running head"));
    s.paragraphs.push_back(paragraph(u"Text after the first picture."));
    Paragraph shaded = paragraph(u"A shaded paragraph between the pictures.");
    shaded.format.shaded = true;
    shaded.format.shadingRgb = 0xFFF2CC;
    s.paragraphs.push_back(shaded);
    s.paragraphs.push_back(paragraph(u"Text after the scaled picture."));

    s.figures.push_back(figure({picture(photo, 2880, 1920)}, 0)); // opens the section
    Figure sideBySide = figure({picture(square, 1440, 1440), picture(band, 1440, 720)}, 1);
    sideBySide.format.alignment = Alignment::Center;
    sideBySide.format.shaded = true;
    sideBySide.format.shadingRgb = 0xDDEBF7;
    s.figures.push_back(sideBySide);
    // The same image again (stored once), equal bytes (stored once), another size (stored again).
    s.figures.push_back(figure({picture(photo, 2880, 1920), picture(photoCopy, 2880, 1920), picture(photo, 1440, 960)}, 2));
    Picture cropped = picture(square, 2880, 2880);
    cropped.cropLeft = 0.25;
    cropped.cropRight = 0.25;
    cropped.cropTop = 0.1;
    s.figures.push_back(figure({cropped}, 2));
    s.figures.push_back(figure({picture(wide, 20000, 10000)}, 2)); // wider than the page
    Figure empty = figure({picture(nullptr, 1440, 1440), picture(square, 0, 1440)}, 2); // nothing to show
    s.figures.push_back(empty);
    d.sections.push_back(std::move(s));

    Section second;
    second.page.width = 16838;
    second.page.height = 11906;
    second.paragraphs.push_back(paragraph(u"Second section text before its picture."));
    second.figures.push_back(figure({picture(band, 2880, 1440)}, 99)); // after the last paragraph
    d.sections.push_back(std::move(second));
    return d;
}

namespace {

TableCell cell(int width, std::vector<std::u16string> texts, CharFormat format = {})
{
    TableCell c;
    c.width = width;
    for (const std::u16string& t : texts)
        c.paragraphs.push_back(paragraph(t, format));
    return c;
}

void frame(TableCell& c, CellBorder border)
{
    c.top = c.left = c.bottom = c.right = border;
}

Table table(std::vector<TableRow> rows, std::size_t beforeParagraph)
{
    Table t;
    t.rows = std::move(rows);
    t.beforeParagraph = beforeParagraph;
    return t;
}

// A plain table of `rows` x `columns` cells, each "<prefix>R<row>C<column>".
Table plainTable(const std::u16string& prefix, int rows, int columns, int width, std::size_t beforeParagraph)
{
    std::vector<TableRow> out;
    for (int r = 0; r < rows; ++r) {
        TableRow row;
        for (int c = 0; c < columns; ++c)
            row.cells.push_back(cell(width, {prefix + u"R" + QString::number(r).toStdU16String() + u"C"
                                             + QString::number(c).toStdU16String()}));
        out.push_back(std::move(row));
    }
    return table(std::move(out), beforeParagraph);
}

} // namespace

Document tables()
{
    Document d;
    Section s;
    for (const char16_t* text : {u"Text after the grid table.", u"Text after the merged table.",
                                 u"Text after two tables in a row.", u"Text after the figure and its table.",
                                 u"中文表格之后的段落。", u"Text before the long table."})
        s.paragraphs.push_back(paragraph(text));

    // A 3x3 grid with a bold, shaded header row that repeats, and a cell of two paragraphs.
    const CellBorder black{4, 0x000000};
    CharFormat bold;
    bold.bold = true;
    TableRow head;
    head.header = true;
    for (const char16_t* text : {u"Name", u"Quantity", u"Price"})
        head.cells.push_back(cell(2400, {text}, bold));
    for (TableCell& c : head.cells) {
        c.shaded = true;
        c.shadingRgb = 0xD9E2F3;
    }
    TableRow first{{cell(2400, {u"Apples"}), cell(2400, {u"12"}), cell(2400, {u"First line", u"Second line"})}, 0, false};
    TableRow second{{cell(2400, {u"Pears"}), cell(2400, {u"7"}), cell(2400, {u"3.40"})}, 400, false};
    second.cells[1].verticalAlignment = CellAlignment::Center;
    std::vector<TableRow> grid{head, first, second};
    for (TableRow& row : grid)
        for (TableCell& c : row.cells)
            frame(c, black);
    s.tables.push_back(table(grid, 0)); // before the first paragraph

    // A cell merged across two columns, one merged down two rows, no borders, one shaded cell.
    TableRow across{{cell(3000, {u"Across two columns"}), cell(2000, {u"Down two rows"})}, 0, false};
    across.cells[1].verticalMerge = VerticalMerge::Restart;
    TableRow below{{cell(1500, {u"Left half"}), cell(1500, {u"Right half"}), cell(2000, {})}, 0, false};
    below.cells[2].verticalMerge = VerticalMerge::Continue;
    below.cells[0].shaded = true;
    below.cells[0].shadingRgb = 0xFFF2CC;
    TableRow last{{cell(1500, {u"Bottom left"}), cell(1500, {u"Bottom middle"}), cell(2000, {u"Bottom right"})}, 0, false};
    Table merged = table({across, below, last}, 1);
    merged.leftIndent = 720;
    s.tables.push_back(merged);

    s.tables.push_back(plainTable(u"Twin one ", 2, 2, 2000, 2)); // two tables in a row
    s.tables.push_back(plainTable(u"Twin two ", 2, 2, 2000, 2));

    Figure figure;
    Picture picture;
    picture.image = image(ImageFormat::Png, 40, 20, QColor(40, 180, 90));
    picture.width = 1440;
    picture.height = 720;
    figure.pictures.push_back(picture);
    figure.beforeParagraph = 3;
    s.figures.push_back(figure);
    s.tables.push_back(plainTable(u"After figure ", 1, 2, 3000, 3)); // after the first figure...
    s.tables.back().afterFigures = 1;
    s.figures.push_back(figure); // ...before the second

    TableRow zhHead{{cell(2000, {u"姓名"}, song()), cell(2000, {u"年龄"}, song())}, 0, true};
    TableRow zhRow{{cell(2000, {u"张三"}, song()), cell(2000, {u"三十岁"}, song())}, 0, false};
    s.tables.push_back(table({zhHead, zhRow}, 4));
    s.tables.back().pageBreakBefore = true; // starts a page

    d.sections.push_back(std::move(s));
    return d;
}

Document largeTables()
{
    Document d;
    Section s;
    s.paragraphs = {paragraph(u"Text before the long table."), paragraph(u"Text between the long and the wide table."),
                    paragraph(u"Text after the wide table.")};
    // 300 rows: the rows' properties fill many formatting pages.
    Table long300 = plainTable(u"", kLongTableRows, 3, 2000, 1);
    long300.rows.front().header = true;
    s.tables.push_back(long300);
    // A row of the most cells Word allows, bordered in a colour outside the
    // palette and shaded in each group of cells: too long for a formatting page.
    TableRow wide;
    for (std::size_t i = 0; i < kMaxTableColumns; ++i) {
        TableCell c = cell(130, {u"w" + QString::number(i).toStdU16String()});
        frame(c, CellBorder{2, 0x336699});
        c.shaded = i % 21 == 5;
        c.shadingRgb = 0xE2EFDA;
        wide.cells.push_back(c);
    }
    s.tables.push_back(table({wide}, 2));

    d.sections.push_back(std::move(s));
    return d;
}

Document manyPictures(int count)
{
    Document d;
    Section s;
    for (int i = 0; i < count; ++i) {
        if (i % 5 == 0)
            s.paragraphs.push_back(paragraph(u"Row " + QString::number(i / 5).toStdU16String()));
        if (i % 5 == 0)
            s.figures.push_back(figure({}, s.paragraphs.size()));
        // The index in the colour: red and green count, blue marks a picture.
        const QColor color(i % 256, (i / 256) * 64, 200);
        s.figures.back().pictures.push_back(picture(image(ImageFormat::Png, 8, 8, color), 720 + 2 * i, 720));
    }
    d.sections.push_back(std::move(s));
    return d;
}

namespace {

// The figures of a section in the order they follow its paragraphs.
std::vector<const Figure*> figuresBefore(const Section& s, std::size_t paragraph)
{
    std::vector<const Figure*> out;
    for (const Figure& f : s.figures)
        if (std::min(f.beforeParagraph, s.paragraphs.size()) == paragraph)
            out.push_back(&f);
    return out;
}

bool shows(const Picture& p)
{
    return p.image && p.shownWidth() > 0 && p.shownHeight() > 0;
}

QString readerText(const Paragraph& p);

} // namespace

QStringList readingOrder(const Document& document)
{
    QStringList order;
    for (const Section& s : document.sections) {
        const std::size_t count = s.paragraphs.size();
        bool afterTable = false;
        int tableIndex = 0;
        for (std::size_t i = 0; i <= count; ++i) {
            // The tables before paragraph i, each after as many of its figures as it says.
            std::size_t figuresHere = 0;
            auto tablesDue = [&](std::size_t figures) {
                for (; tableIndex < static_cast<int>(s.tables.size()); ++tableIndex) {
                    const Table& t = s.tables[static_cast<std::size_t>(tableIndex)];
                    if (std::min(t.beforeParagraph, count) != i || t.afterFigures > figures)
                        break;
                    if (afterTable)
                        order << QString(); // the empty paragraph that keeps two tables apart
                    order << QStringLiteral("table:%1").arg(tableIndex);
                    afterTable = true;
                }
            };
            for (const Figure* f : figuresBefore(s, i)) {
                tablesDue(figuresHere++);
                const auto n = std::count_if(f->pictures.begin(), f->pictures.end(), shows);
                if (n > 0) {
                    if (afterTable)
                        order << QString(); // the empty paragraph between a table and a picture
                    order << QStringLiteral("pictures:%1").arg(n);
                    afterTable = false;
                }
            }
            tablesDue(static_cast<std::size_t>(-1));
            if (i < count) {
                order << readerText(s.paragraphs[i]);
                afterTable = false;
            }
        }
        if (afterTable)
            order << QString(); // a section cannot end in a table
    }
    return order;
}

QList<ShownPicture> shownPictures(const Document& document)
{
    QList<ShownPicture> out;
    for (const Section& s : document.sections) {
        const double areaWidth = s.page.width - s.page.marginLeft - s.page.marginRight;
        const double areaHeight = s.page.height - s.page.marginTop - s.page.marginBottom;
        for (std::size_t i = 0; i <= s.paragraphs.size(); ++i)
            for (const Figure* f : figuresBefore(s, i))
                for (const Picture& p : f->pictures) {
                    if (!shows(p))
                        continue;
                    const double w = p.width * (1 - p.cropLeft - p.cropRight);
                    const double h = p.height * (1 - p.cropTop - p.cropBottom);
                    const double fit = std::min({1.0, areaWidth / w, areaHeight / h});
                    out << ShownPicture{p.image, w * fit, h * fit, p.cropLeft, p.cropTop, p.cropRight, p.cropBottom};
                }
    }
    return out;
}

namespace {

QString readerText(const Paragraph& p)
{
    QString text;
    for (const Run& r : p.runs) {
        if (r.pageNumberField || r.footnote >= 0)
            continue;
        for (char16_t c : r.text)
            if (c >= 0x20 || c == u'\t')
                text.append(QChar(c));
    }
    return text;
}

Document documentOf(const Section& section)
{
    Document document;
    document.sections.push_back(section);
    return document;
}

} // namespace

QStringList bodyTexts(const Document& document)
{
    QStringList texts;
    for (const QString& entry : readingOrder(document))
        if (!entry.startsWith(QLatin1String("pictures:")) && !entry.startsWith(QLatin1String("table:")))
            texts << entry;
    return texts;
}

QStringList allTexts(const Document& document)
{
    QStringList texts;
    for (const Section& s : document.sections) {
        QList<const Table*> tables;
        for (const Table& t : s.tables)
            tables << &t;
        for (const QString& entry : readingOrder(documentOf(s))) {
            if (!entry.startsWith(QLatin1String("table:"))) {
                if (!entry.isEmpty() && !entry.startsWith(QLatin1String("pictures:")))
                    texts << entry;
                continue;
            }
            for (const TableRow& row : tables[entry.mid(6).toInt()]->rows)
                for (const TableCell& c : row.cells)
                    for (const Paragraph& p : c.paragraphs)
                        if (!readerText(p).isEmpty())
                            texts << readerText(p);
        }
    }
    for (const Footnote& f : document.footnotes)
        for (const Paragraph& p : f.paragraphs)
            texts << readerText(p);
    return texts;
}

QStringList writeAll(const QString& folder, std::string* reason)
{
    QStringList files;
    for (const Named& s : kSamples) {
        const QString file = QDir(folder).filePath(QString::fromLatin1(s.name) + QStringLiteral(".doc"));
        *reason = doc::writeWordDocument(s.make(), file.toStdString());
        if (!reason->empty())
            return {};
        files << file;
    }
    return files;
}

QStringList pageStarts(const Document& document)
{
    QStringList texts;
    bool firstSection = true;
    for (const Section& s : document.sections) {
        for (std::size_t i = 0; i < s.paragraphs.size(); ++i)
            if ((i == 0 && !firstSection) || (i > 0 && s.paragraphs[i].pageBreakBefore))
                texts << readerText(s.paragraphs[i]);
        firstSection = false;
    }
    return texts;
}

} // namespace sample

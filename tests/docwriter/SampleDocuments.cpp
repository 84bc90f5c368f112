#include "SampleDocuments.h"

#include "doc/DocWriter.h"

#include <QDir>

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

namespace {

QString readerText(const Paragraph& p)
{
    QString text;
    for (const Run& r : p.runs) {
        if (r.pageNumberField)
            continue;
        for (char16_t c : r.text)
            if (c >= 0x20 || c == u'\t')
                text.append(QChar(c));
    }
    return text;
}

} // namespace

QStringList bodyTexts(const Document& document)
{
    QStringList texts;
    for (const Section& s : document.sections)
        for (const Paragraph& p : s.paragraphs)
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

#include "TestPdfs.h"

#include "PdfComposer.h"

namespace pwt::test {

using namespace fmt;

KnownPdf makeEnglishPdf(const QString& path)
{
    KnownPdf k;
    k.path = path;
    k.title = QStringLiteral("Quarterly Field Notes");
    k.pages = 3;
    PdfComposer pdf(path, k.title);
    pdf.paragraph(plain(QStringLiteral("Quarterly Field Notes"), serif(20, true), Align::Center));
    k.paragraphs << QStringLiteral("Quarterly Field Notes");

    const QString p1 = QStringLiteral(
        "The survey team walked the northern ridge for three days and counted every nesting pair "
        "they could see from the path. The weather held until the last afternoon, when a fog came "
        "down from the pass and the count had to stop early.");
    pdf.paragraph(plain(p1));
    k.paragraphs << p1;

    pdf.paragraph(pieces({{QStringLiteral("Some words are "), serif()}, {QStringLiteral("set in bold type"), serif(11, true)},
                          {QStringLiteral(" and others in "), serif()}, {QStringLiteral("an italic face"), serif(11, false, true)},
                          {QStringLiteral(" so that the reader can tell them apart at a glance."), serif()}}));
    k.paragraphs << QStringLiteral("Some words are set in bold type and others in an italic face so that the reader can tell them apart at a glance.");

    pdf.lines({QStringLiteral("This paragraph was set by hand to show a hyphen-"),
               QStringLiteral("ation at the end of a line; the converter must re-"),
               QStringLiteral("join the broken words and keep the others apart.")},
              serif());
    k.paragraphs << QStringLiteral("This paragraph was set by hand to show a hyphenation at the end of a line; the converter must rejoin the broken words and keep the others apart.");

    pdf.newPage();
    const QString p2 = QStringLiteral(
        "The second page opens with a paragraph of its own. It is long enough to wrap over several "
        "lines of the page, and it ends with a short line so that the layout can tell where it stops.");
    pdf.paragraph(plain(p2));
    k.paragraphs << p2;
    k.pageFirstParagraphs << p2;
    const QString small = QStringLiteral("A note in a smaller size closes the second page.");
    pdf.paragraph(plain(small, serif(8)));
    k.paragraphs << small;

    pdf.newPage();
    const QString p3 = QStringLiteral("The third page has one last paragraph in the body size.");
    pdf.paragraph(plain(p3));
    k.paragraphs << p3;
    k.pageFirstParagraphs << p3;
    return k;
}

KnownPdf makeChinesePdf(const QString& path)
{
    KnownPdf k;
    k.path = path;
    k.title = QStringLiteral("中文测试文档");
    k.pages = 2;
    PdfComposer pdf(path, k.title);
    pdf.paragraph(plain(QStringLiteral("中文测试文档"), chinese(18, true), Align::Center));
    k.paragraphs << QStringLiteral("中文测试文档");
    const auto body = [](const QString& text) {
        ParagraphRequest p = plain(text, chinese(11));
        p.firstLine = 22; // two characters, as Chinese text is indented
        return p;
    };
    const QString c1 = QStringLiteral(
        "这是第一段中文文字，用来检查转换器能否把中文段落完整地转换成文档。段落很长，会在页面上换行好几次，"
        "换行的地方不能加入空格，标点符号也必须保持原样。我们还在段落中加入了一些英文单词，比如PDF和Word。");
    pdf.paragraph(body(c1));
    k.paragraphs << c1;
    const QString c2 = QStringLiteral("第二段比较短，只有一行文字。");
    pdf.paragraph(body(c2));
    k.paragraphs << c2;
    pdf.newPage();
    const QString c3 = QStringLiteral("第二页的段落：转换以后应该在新的一页开始，前面有一个分页符。");
    pdf.paragraph(body(c3));
    k.paragraphs << c3;
    k.pageFirstParagraphs << c3;
    return k;
}

void makeScanPdf(const QString& path)
{
    PdfComposer pdf(path, QString());
    pdf.rectangle(72, 72, 400, 600);
}

void makeLongPdf(const QString& path, int pages)
{
    PdfComposer pdf(path, QStringLiteral("Long"));
    const QString text = QStringLiteral(
        "A paragraph of filler text that repeats on every page so that the document becomes long "
        "enough to take a measurable time to convert, with several lines per paragraph.");
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            pdf.newPage();
        for (int i = 0; i < 8; ++i)
            pdf.paragraph(plain(text));
    }
}

} // namespace pwt::test

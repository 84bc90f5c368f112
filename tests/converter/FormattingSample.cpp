#include "FormattingSample.h"

#include "PdfComposer.h"

namespace pwt::test {

using namespace fmt;

FormattingSample makeFormattingPdf(const QString& path)
{
    FormattingSample s;
    s.path = path;
    s.runningHead = QStringLiteral("Formatting Sample Report");
    PdfComposer pdf(path, QStringLiteral("Formatting Sample"));
    pdf.setPageDecoration([&s](PdfComposer& c, int page) {
        c.textAt(72, 40, s.runningHead, sans(9));
        c.textAt(c.pageWidth() / 2, c.pageHeight() - 36, QString::number(page), sans(9), Align::Center);
    });
    auto heading = [&](const QString& text, double size, int level) {
        ParagraphRequest h = plain(text, serif(size, true));
        h.headingLevel = level;
        pdf.paragraph(h);
        s.headings.push_back({text, level});
        s.runs.push_back({text, QStringLiteral("Times New Roman"), true, false, size});
    };

    heading(QStringLiteral("1 Introduction to the Sample"), 20, 1);
    pdf.paragraph(pieces({
        {QStringLiteral("The body text of this sample is set in a serif face at eleven points, with "), serif()},
        {QStringLiteral("strongly marked words"), serif(11, true)},
        {QStringLiteral(" in bold and "), serif()},
        {QStringLiteral("gently slanted words"), serif(11, false, true)},
        {QStringLiteral(" in italic, then "), serif()},
        {QStringLiteral("a sans serif phrase"), sans()},
        {QStringLiteral(" and "), serif()},
        {QStringLiteral("a red warning"), coloured(serif(), QColor(255, 0, 0))},
        {QStringLiteral(" before the formula E = mc"), serif()},
        {QStringLiteral("2"), positioned(serif(), Position::Superscript)},
        {QStringLiteral(" closes the paragraph with enough words to make it wrap over several lines of the page."), serif()},
    }, Align::Justify));
    s.runs.push_back({QStringLiteral("strongly marked words"), QStringLiteral("Times New Roman"), true, false, 11});
    s.runs.push_back({QStringLiteral("gently slanted words"), QStringLiteral("Times New Roman"), false, true, 11});
    s.runs.push_back({QStringLiteral("a sans serif phrase"), QStringLiteral("Arial"), false, false, 11});
    s.runs.push_back({QStringLiteral("The body text of this sample"), QStringLiteral("Times New Roman"), false, false, 11});
    s.colouredText = QStringLiteral("a red warning");
    s.superscript = QStringLiteral("2");
    s.paragraphs.push_back({QStringLiteral("The body text of this sample"), QStringLiteral("justify")});

    heading(QStringLiteral("1.1 Aligned Paragraphs"), 15, 2);
    pdf.paragraph(plain(QStringLiteral("This short paragraph stands in the middle of the page."), serif(), Align::Center));
    s.paragraphs.push_back({QStringLiteral("stands in the middle"), QStringLiteral("center")});
    pdf.paragraph(plain(QStringLiteral("Signed at the right edge of the text."), serif(11, false, true), Align::Right));
    s.paragraphs.push_back({QStringLiteral("Signed at the right edge"), QStringLiteral("end")});
    s.runs.push_back({QStringLiteral("Signed at the right edge"), QStringLiteral("Times New Roman"), false, true, 11});
    ParagraphRequest indented = plain(QStringLiteral("An ordinary left-aligned paragraph with a first-line indent follows here, and it runs "
                                                     "on for a while so that its ragged right edge shows over three or more lines of "
                                                     "text on this page."));
    indented.firstLine = 24;
    pdf.paragraph(indented);
    s.paragraphs.push_back({QStringLiteral("An ordinary left-aligned paragraph"), QStringLiteral("start")});
    heading(QStringLiteral("1.1.1 Closing Remarks"), 13, 3);
    pdf.paragraph(plain(QStringLiteral("A last paragraph in the body size and a sans face ends the first page of the sample document."),
                        sans(), Align::Justify));
    s.runs.push_back({QStringLiteral("A last paragraph in the body size"), QStringLiteral("Arial"), false, false, 11});

    pdf.newPage();
    heading(QStringLiteral("2 Two Columns"), 20, 1);
    const double top = pdf.y();
    const auto justified = [](const QString& text) { return plain(text, serif(), Align::Justify); };
    pdf.setColumn(72, 210);
    pdf.paragraph(justified(QStringLiteral("The left column begins the second page with text that must be read first, before "
                                           "anything in the column to its right, even though the lines sit side by side.")));
    pdf.paragraph(justified(QStringLiteral("Its second paragraph ends the left column and only then may the reader move across.")));
    s.leftColumnLast = QStringLiteral("Its second paragraph ends the left column");
    pdf.setY(top);
    pdf.setColumn(72 + 210 + 31, 210);
    pdf.paragraph(justified(QStringLiteral("The right column comes after the left one in reading order and carries on the same "
                                           "story down the right half of the page.")));
    s.rightColumnFirst = QStringLiteral("The right column comes after");
    pdf.paragraph(justified(QStringLiteral("Its last paragraph closes the two-column page of the formatting sample.")));

    pdf.newPage(QPageSize(QPageSize::A4), QPageLayout::Landscape);
    pdf.setColumn(72, 650);
    pdf.paragraph(plain(QStringLiteral("This page is turned to landscape, so the converted document needs a section of its own "
                                       "with the wide page and its own margins.")));
    s.paragraphs.push_back({QStringLiteral("This page is turned to landscape"), QStringLiteral("start")});
    return s;
}

FormattingScore scoreFormatting(const FormattingSample& sample, const fodt::Document& doc)
{
    FormattingScore score;
    int good = 0;
    for (const ExpectedRun& r : sample.runs) {
        const fodt::SeenFormat f = doc.formatOf(r.text);
        if (f.bold == r.bold && f.italic == r.italic && std::abs(f.size - r.size) <= 0.5 && f.family == r.family)
            ++good;
        else
            score.misses << QStringLiteral("run '%1': bold %2 italic %3 size %4 family %5").arg(r.text).arg(f.bold).arg(f.italic).arg(f.size).arg(f.family);
    }
    score.runs = sample.runs.empty() ? 1 : double(good) / double(sample.runs.size());

    good = 0;
    for (const ExpectedParagraph& e : sample.paragraphs) {
        const int p = doc.findContaining(e.text);
        const QString a = p >= 0 ? doc.alignment(p) : QStringLiteral("(missing)");
        if (a == e.alignment)
            ++good;
        else
            score.misses << QStringLiteral("paragraph '%1': %2, expected %3").arg(e.text, a, e.alignment);
    }
    score.alignment = sample.paragraphs.empty() ? 1 : double(good) / double(sample.paragraphs.size());

    good = 0;
    for (const ExpectedHeading& h : sample.headings) {
        const int p = doc.findContaining(h.text);
        const int level = p >= 0 ? doc.outlineLevel(p) : -1;
        if (level == h.level)
            ++good;
        else
            score.misses << QStringLiteral("heading '%1': level %2, expected %3").arg(h.text).arg(level).arg(h.level);
    }
    score.headings = sample.headings.empty() ? 1 : double(good) / double(sample.headings.size());
    return score;
}

} // namespace pwt::test

#include "FormattingSample.h"

#include "PdfMaker.h"

namespace pwt::test {

FormattingSample makeFormattingPdf(const QString& path)
{
    FormattingSample s;
    s.path = path;
    s.runningHead = QStringLiteral("Formatting Sample Report");
    PdfMaker pdf(path, QStringLiteral("Formatting Sample"));
    auto furniture = [&] {
        pdf.textAt(72, 40, s.runningHead, sans(9));
        const QString number = QString::number(pdf.pageNumber());
        pdf.textAt(pdf.pageWidth() / 2 - 3, pdf.pageHeight() - 36, number, sans(9));
    };
    auto heading = [&](const QString& text, double size, int level) {
        pdf.paragraph(text, serif(size, true));
        s.headings.push_back({text, level});
        s.runs.push_back({text, QStringLiteral("Times New Roman"), true, false, size});
    };
    ParagraphStyle justified;
    justified.align = Align::Justify;

    furniture();
    heading(QStringLiteral("1 Introduction to the Sample"), 20, 1);
    const std::vector<Piece> mixed{
        {QStringLiteral("The body text of this sample is set in a serif face at eleven points, with "), serif(11)},
        {QStringLiteral("strongly marked words"), serif(11, true)},
        {QStringLiteral(" in bold and "), serif(11)},
        {QStringLiteral("gently slanted words"), serif(11, false, true)},
        {QStringLiteral(" in italic, then "), serif(11)},
        {QStringLiteral("a sans serif phrase"), sans(11)},
        {QStringLiteral(" and "), serif(11)},
        {QStringLiteral("a red warning"), serif(11), QColor(255, 0, 0)},
        {QStringLiteral(" before the formula E = mc"), serif(11)},
        {QStringLiteral("2"), serif(7), Qt::black, 4.5},
        {QStringLiteral(" closes the paragraph with enough words to make it wrap over several lines of the page."), serif(11)},
    };
    pdf.paragraph(mixed, justified);
    s.runs.push_back({QStringLiteral("strongly marked words"), QStringLiteral("Times New Roman"), true, false, 11});
    s.runs.push_back({QStringLiteral("gently slanted words"), QStringLiteral("Times New Roman"), false, true, 11});
    s.runs.push_back({QStringLiteral("a sans serif phrase"), QStringLiteral("Arial"), false, false, 11});
    s.runs.push_back({QStringLiteral("The body text of this sample"), QStringLiteral("Times New Roman"), false, false, 11});
    s.colouredText = QStringLiteral("a red warning");
    s.superscript = QStringLiteral("2");
    s.paragraphs.push_back({QStringLiteral("The body text of this sample"), QStringLiteral("justify")});

    heading(QStringLiteral("1.1 Aligned Paragraphs"), 15, 2);
    ParagraphStyle centred;
    centred.align = Align::Center;
    pdf.paragraph(QStringLiteral("This short paragraph stands in the middle of the page."), serif(11), centred);
    s.paragraphs.push_back({QStringLiteral("stands in the middle"), QStringLiteral("center")});
    ParagraphStyle right;
    right.align = Align::Right;
    pdf.paragraph(QStringLiteral("Signed at the right edge of the text."), serif(11, false, true), right);
    s.paragraphs.push_back({QStringLiteral("Signed at the right edge"), QStringLiteral("end")});
    s.runs.push_back({QStringLiteral("Signed at the right edge"), QStringLiteral("Times New Roman"), false, true, 11});
    ParagraphStyle indented;
    indented.firstIndent = 24;
    pdf.paragraph(QStringLiteral("An ordinary left-aligned paragraph with a first-line indent follows here, and it runs on for "
                                 "a while so that its ragged right edge shows over three or more lines of text on this page."),
                  serif(11), indented);
    s.paragraphs.push_back({QStringLiteral("An ordinary left-aligned paragraph"), QStringLiteral("start")});
    heading(QStringLiteral("1.1.1 Closing Remarks"), 13, 3);
    pdf.paragraph(QStringLiteral("A last paragraph in the body size and a sans face ends the first page of the sample document."), sans(11),
                  justified);
    s.runs.push_back({QStringLiteral("A last paragraph in the body size"), QStringLiteral("Arial"), false, false, 11});

    pdf.newPage();
    furniture();
    heading(QStringLiteral("2 Two Columns"), 20, 1);
    const double top = pdf.cursor();
    ParagraphStyle left = justified, rightCol = justified;
    left.width = rightCol.width = 210;
    rightCol.left = 72 + 210 + 31;
    const QString leftText = QStringLiteral("The left column begins the second page with text that must be read first, before "
                                            "anything in the column to its right, even though the lines sit side by side.");
    pdf.paragraph(leftText, serif(11), left);
    pdf.paragraph(QStringLiteral("Its second paragraph ends the left column and only then may the reader move across."), serif(11), left);
    s.leftColumnLast = QStringLiteral("Its second paragraph ends the left column");
    pdf.setCursor(top);
    pdf.paragraph(QStringLiteral("The right column comes after the left one in reading order and carries on the same story "
                                 "down the right half of the page."),
                  serif(11), rightCol);
    s.rightColumnFirst = QStringLiteral("The right column comes after");
    pdf.paragraph(QStringLiteral("Its last paragraph closes the two-column page of the formatting sample."), serif(11), rightCol);

    pdf.newPage(true);
    furniture();
    pdf.paragraph(QStringLiteral("This page is turned to landscape, so the converted document needs a section of its own "
                                 "with the wide page and its own margins."),
                  serif(11), ParagraphStyle{Align::Left, 72, 650});
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

// Links: the reader's link annotations, the words they cover, the runs and
// bookmarks of the document; web links and links inside the document, on
// synthetic pages, on PDFs written byte by byte and by Qt, and read back
// by LibreOffice from what pwt writes.
#include "DocumentBuilder.h"
#include "FodtDocument.h"
#include "PageLinks.h"
#include "PdfBytes.h"
#include "PdfReader.h"
#include "ProgramRun.h"
#include "SyntheticPage.h"
#include "doc/LinkTargets.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <functional>
#include <map>
#include <set>

using namespace pwt;
using pwt::hostile::PdfBytes;
using pwt::hostile::literal;
using pwt::hostile::ref;

namespace {

// Linked texts of a document in order, each with where it leads: the
// address, or "-> " and the text of the paragraph holding its bookmark.
using Linked = QList<QPair<QString, QString>>;

QString textOf(const Paragraph& p)
{
    std::u16string t;
    for (const Run& r : p.runs)
        t += r.text;
    return QString::fromStdU16String(t).trimmed();
}

// The paragraphs of the body and of its tables' cells, in order.
std::vector<const Paragraph*> paragraphsOf(const Document& doc)
{
    std::vector<const Paragraph*> out;
    for (const Section& s : doc.sections) {
        for (const Paragraph& p : s.paragraphs)
            out.push_back(&p);
        for (const Table& t : s.tables)
            for (const TableRow& row : t.rows)
                for (const TableCell& cell : row.cells)
                    for (const Paragraph& p : cell.paragraphs)
                        out.push_back(&p);
    }
    return out;
}

// The links of `doc` as Linked; `problems` gets what breaks the rules for
// bookmarks: a name Word refuses, a name twice, a bookmark no link uses, a
// link to no bookmark. `bookmarks` gets how many there are.
Linked linkedTexts(const Document& doc, QStringList& problems, int& bookmarks)
{
    static const QRegularExpression wordName(QStringLiteral("^[A-Za-z][A-Za-z0-9_]{0,39}$"));
    std::map<std::string, QString> marks;
    bookmarks = 0;
    for (const Paragraph* p : paragraphsOf(doc)) {
        for (const std::string& name : p->bookmarks) {
            ++bookmarks;
            if (!wordName.match(QString::fromStdString(name)).hasMatch())
                problems << QStringLiteral("bookmark name ") + QString::fromStdString(name);
            if (!marks.emplace(name, textOf(*p)).second)
                problems << QStringLiteral("bookmark twice ") + QString::fromStdString(name);
        }
    }
    Linked out;
    std::set<std::string> used;
    for (const Paragraph* p : paragraphsOf(doc)) {
        std::string open;
        for (const Run& r : p->runs) {
            QString target = QString::fromStdString(r.link);
            if (r.link.starts_with('#')) {
                used.insert(r.link.substr(1));
                const auto mark = marks.find(r.link.substr(1));
                if (mark == marks.end())
                    problems << QStringLiteral("no bookmark ") + target;
                else
                    target = QStringLiteral("-> ") + mark->second;
            }
            if (!r.link.empty() && r.link == open)
                out.back().first += QString::fromStdU16String(r.text);
            else if (!r.link.empty())
                out.append({QString::fromStdU16String(r.text), target});
            open = r.link;
        }
    }
    for (const auto& [name, text] : marks)
        if (!used.contains(name))
            problems << QStringLiteral("unused bookmark ") + QString::fromStdString(name);
    for (auto& entry : out)
        entry.first = entry.first.trimmed();
    return out;
}

// ---- synthetic pages

test::LineSpec line(std::u32string text, double baseline, double x = 72, double size = 10)
{
    return {std::move(text), x, baseline, size};
}

pdf::PageText page(int number, const std::vector<std::vector<test::LineSpec>>& blocks, std::vector<pdf::PageLink> links = {})
{
    pdf::PageText p;
    p.number = number;
    p.width = 612;
    p.height = 792;
    for (const auto& block : blocks)
        test::addBlock(p, block);
    p.links = std::move(links);
    return p;
}

// The area over the words `first` .. `last` (0-based) of a sketched line.
pdf::Box over(const test::LineSpec& sketch, std::size_t first, std::size_t last)
{
    const pdf::TextLine l = test::makeLine(sketch);
    return {l.words.at(first).box.xMin - 1, l.words.at(first).box.yMin - 1, l.words.at(last).box.xMax + 1,
            l.words.at(last).box.yMax + 1};
}

pdf::PageLink web(pdf::Box area) { return {area, "https://example.org/"}; }
pdf::PageLink inside(pdf::Box area, int page, double x, double y) { return {area, {}, page, y, x}; }

// A ruled table of `cells` (rows of words) with its top-left corner at (x, y).
void addRuledTable(pdf::PageText& p, double x, double y, const std::vector<std::vector<std::u32string>>& cells)
{
    constexpr double kColumn = 120, kRow = 18;
    const auto rule = [&](double x0, double y0, double x1, double y1) {
        p.paths.push_back({{x0, y0, x1, y1}, true, false, 0, 0, 0.75, true});
    };
    const std::size_t columns = cells.front().size();
    for (std::size_t r = 0; r <= cells.size(); ++r)
        rule(x, y + kRow * static_cast<double>(r), x + kColumn * static_cast<double>(columns), y + kRow * static_cast<double>(r));
    for (std::size_t c = 0; c <= columns; ++c)
        rule(x + kColumn * static_cast<double>(c), y, x + kColumn * static_cast<double>(c), y + kRow * static_cast<double>(cells.size()));
    for (std::size_t r = 0; r < cells.size(); ++r)
        for (std::size_t c = 0; c < columns; ++c)
            test::addBlock(p, {line(cells[r][c], y + kRow * static_cast<double>(r + 1) - 5, x + kColumn * static_cast<double>(c) + 4)});
}

// ---- PDFs

// A Courier line: every character is 0.6 em wide, so the test knows where
// each word stands.
constexpr double kCourierEm = 0.6;

struct PdfLine {
    std::string text;
    double x = 72, baseline = 700, size = 12;
};

// The PDF rectangle over `word` of a Courier line.
std::string rectOver(const PdfLine& l, std::string_view word)
{
    const double em = l.size * kCourierEm, from = static_cast<double>(l.text.find(word));
    char out[96];
    std::snprintf(out, sizeof out, "[%.2f %.2f %.2f %.2f]", l.x + from * em - 1, l.baseline - 0.25 * l.size,
                  l.x + (from + static_cast<double>(word.size())) * em + 1, l.baseline + 0.8 * l.size);
    return out;
}

// A document of Courier pages; `annots` gives each page's annotation
// dictionaries and `catalogExtra` what goes into the catalog, from the
// pages' object numbers (both may add objects of their own).
using Annotations = std::function<std::vector<std::vector<std::string>>(PdfBytes&, const std::vector<int>& pages)>;
using CatalogEntries = std::function<std::string(PdfBytes&, const std::vector<int>& pages)>;

std::string linkPdf(const std::vector<std::vector<PdfLine>>& pages, const Annotations& annots,
                    const CatalogEntries& catalogExtra = {}, const std::vector<std::string>& pageExtra = {})
{
    PdfBytes pdf;
    const int catalog = pdf.reserve();
    const int tree = pdf.reserve();
    const int font = pdf.add("<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>");
    std::vector<int> refs;
    for (std::size_t i = 0; i < pages.size(); ++i)
        refs.push_back(pdf.reserve());
    const auto annotations = annots(pdf, refs);
    std::string kids;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::string content, list;
        for (const PdfLine& l : pages[i])
            content += "BT /F1 " + std::to_string(l.size) + " Tf " + std::to_string(l.x) + " " + std::to_string(l.baseline) + " Td "
                + literal(l.text) + " Tj ET\n";
        for (const std::string& a : i < annotations.size() ? annotations[i] : std::vector<std::string>{})
            list += ref(pdf.add(a)) + " ";
        pdf.set(refs[i], "<< /Type /Page /Parent " + ref(tree) + " /MediaBox [0 0 612 792] /Resources << /Font << /F1 "
                             + ref(font) + " >> >> /Contents " + ref(pdf.addStream("", content)) + " /Annots [" + list + "] "
                             + (i < pageExtra.size() ? pageExtra[i] : std::string()) + " >>");
        kids += ref(refs[i]) + " ";
    }
    pdf.set(tree, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>");
    pdf.set(catalog, "<< /Type /Catalog /Pages " + ref(tree) + " " + (catalogExtra ? catalogExtra(pdf, refs) : std::string()) + " >>");
    return pdf.build(catalog);
}

std::string linkAnnot(const std::string& rect, const std::string& target)
{
    return "<< /Type /Annot /Subtype /Link /Border [0 0 0] /Rect " + rect + " " + target + " >>";
}

// The sample with every kind of link a PDF has: contents entries leading to
// headings by explicit and by named destination, web and mail addresses,
// and the links that stay plain text (a script, another file, a program, a
// destination that is no page, a name that is not there).
const std::vector<std::vector<PdfLine>> kSamplePages = {
    {{"Contents", 72, 740},
     {"Introduction", 72, 700},
     {"Methods", 72, 670},
     {"Read the project site now.", 72, 620},
     {"Write to us today.", 72, 590},
     {"Run the script here.", 72, 560},
     {"Open the other file.", 72, 530},
     {"Start the program.", 72, 500},
     {"Broken link here.", 72, 470},
     {"Missing name here.", 72, 440}},
    {{"1 Introduction", 72, 700, 16}, {"This part introduces the work.", 72, 670}, {"2 Methods", 72, 500, 16},
     {"This part explains the methods.", 72, 470}},
    {{"Turned page link here.", 72, 700}},
};

std::string samplePdf()
{
    const auto& p1 = kSamplePages[0];
    return linkPdf(
        kSamplePages,
        [&](PdfBytes&, const std::vector<int>& pages) {
            return std::vector<std::vector<std::string>>{
                {linkAnnot(rectOver(p1[1], "Introduction"), "/Dest [" + ref(pages[1]) + " /XYZ 72 730 null]"),
                 linkAnnot(rectOver(p1[2], "Methods"), "/A << /S /GoTo /D (sec.methods) >>"),
                 linkAnnot(rectOver(p1[3], "the project site"), "/A << /S /URI /URI (https://example.org/a b) >>"),
                 linkAnnot(rectOver(p1[4], "us"), "/A << /S /URI /URI (mailto:team@example.org) >>"),
                 linkAnnot(rectOver(p1[5], "script"), "/A << /S /URI /URI (javascript:alert\\(1\\)) >>"),
                 linkAnnot(rectOver(p1[6], "other file"), "/A << /S /GoToR /F (other.pdf) /D [0 /Fit] >>"),
                 linkAnnot(rectOver(p1[7], "program"), "/A << /S /Launch /F (calc.exe) >>"),
                 linkAnnot(rectOver(p1[8], "Broken"), "/Dest [3 0 R /XYZ 0 0 null]"),
                 linkAnnot(rectOver(p1[9], "Missing"), "/Dest (no.such.name)")},
                {},
                {linkAnnot(rectOver(kSamplePages[2][0], "link"), "/A << /S /URI /URI (https://example.org/turned) >>")}};
        },
        [](PdfBytes&, const std::vector<int>& pages) {
            return "/Names << /Dests << /Names [(sec.methods) [" + ref(pages[1]) + " /XYZ 72 530 null]] >> >>";
        },
        {"", "", "/Rotate 90"});
}

std::vector<pdf::PageText> readAll(const QString& path, QStringList& problems)
{
    pdf::PdfReader reader;
    std::vector<pdf::PageText> pages;
    if (reader.open(path.toStdString()) != pdf::ReadFailure::None)
        problems << QStringLiteral("cannot read ") + path;
    for (int i = 1; i <= reader.pageCount(); ++i)
        reader.readPage(i, pages.emplace_back(), 10);
    return pages;
}

bool writeFile(const QString& path, const std::string& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

// How a case's pages come about: drawn in the test, or read from a PDF it writes into `dir`.
using PageSource = std::function<std::vector<pdf::PageText>(const QString& dir, QStringList& problems)>;

PageSource drawn(std::vector<pdf::PageText> pages)
{
    return [pages](const QString&, QStringList&) { return pages; };
}

PageSource pdfFile(std::function<std::string()> bytes)
{
    return [bytes](const QString& dir, QStringList& problems) {
        const QString path = dir + QStringLiteral("/bytes.pdf");
        if (!writeFile(path, bytes()))
            problems << QStringLiteral("cannot write ") + path;
        return readAll(path, problems);
    };
}

// Rich text drawn by Qt: QPdfWriter writes a URI annotation over an anchor's text.
PageSource qtPdf(QString html)
{
    return [html](const QString& dir, QStringList& problems) {
        const QString path = dir + QStringLiteral("/qt.pdf");
        {
            QPdfWriter writer(path);
            writer.setResolution(72);
            QPainter painter(&writer);
            QTextDocument text;
            text.setHtml(html);
            text.drawContents(&painter);
        }
        return readAll(path, problems);
    };
}

struct LinkCase {
    const char* name;
    PageSource pages;
    Linked expected;
    int bookmarks = 0;
};

std::vector<LinkCase> linkCases()
{
    const test::LineSpec webLine = line(U"Read the project site now", 100);
    const test::LineSpec twoLines1 = line(U"Go to our web site", 100), twoLines2 = line(U"for news today", 112);
    const test::LineSpec see = line(U"See Results and more", 100);
    const test::LineSpec indented = line(U"Read more about the project and its plans on our web site", 100, 86),
                         below = line(U"for news and more", 117);
    const pdf::Box seeResults = over(see, 0, 1), the = over(webLine, 1, 1), project = over(webLine, 2, 2);
    const pdf::PageText results = page(2, {{line(U"Methods", 60, 72, 14)}, {line(U"Results", 100, 72, 14)}, {line(U"The results are good.", 124)}});
    std::vector<test::LineSpec> leftColumn;
    for (int i = 0; i < 8; ++i)
        leftColumn.push_back(line(U"left column text goes on here", 100 + 12 * i));
    pdf::PageText table = page(1, {});
    addRuledTable(table, 72, 100, {{U"Name", U"Site"}, {U"Alpha", U"alpha.org"}, {U"Beta", U"beta.org"}});
    table.links = {web({195, 120, 236, 135}), inside({75, 138, 100, 153}, 2, 72, 80)}; // over "alpha.org" and "Beta"
    // A justified line stretched before an address too long for it, which
    // poppler cuts into a block for each word at its wide gaps.
    const std::vector<std::u32string> stretchedWords = {U"Read", U"the", U"notes", U"that", U"we", U"kept", U"on", U"the", U"site", U"at"};
    const test::LineSpec address = line(U"https://example.org/notes or write to us and ask for a copy.", 112);
    const double measureRight = test::makeLine(address).words.back().box.xMax;
    const auto stretched = [&] {
        double chars = 0;
        for (const std::u32string& w : stretchedWords)
            chars += static_cast<double>(w.size()) * 10 * test::kCharEm;
        const double gap = (measureRight - 72 - chars) / static_cast<double>(stretchedWords.size() - 1);
        pdf::PageText p = page(1, {});
        std::vector<test::LineSpec> pieces;
        double x = 72;
        for (const std::u32string& w : stretchedWords) {
            pieces.push_back(line(w, 100, x));
            x += static_cast<double>(w.size()) * 10 * test::kCharEm + gap;
        }
        for (const test::LineSpec& piece : pieces)
            test::addBlock(p, {piece});
        test::addBlock(p, {address});
        p.links = {web(over(pieces.back(), 0, 0)), web(over(address, 0, 0))};
        return p;
    };
    const auto han = [](const char* text) {
        return QStringLiteral("<p style='font-family:\"Noto Serif CJK SC\"; font-size:12pt'>%1</p>").arg(QString::fromUtf8(text));
    };
    return {
        {"web link over three words, the spaces between them inside", drawn({page(1, {{webLine}}, {web(over(webLine, 1, 3))})}),
         {{"the project site", "https://example.org/"}}},
        {"a word mostly outside the area stays plain",
         drawn({page(1, {{webLine}}, {web({the.xMin, the.yMin, project.xMin + project.width() * 0.4, the.yMax})})}),
         {{"the", "https://example.org/"}}},
        {"a link broken over two lines is one link",
         drawn({page(1, {{twoLines1, twoLines2}}, {web(over(twoLines1, 4, 4)), web(over(twoLines2, 0, 1))})}),
         {{"site for news", "https://example.org/"}}},
        {"a link broken over two lines keeps them one paragraph, set apart as they are",
         drawn({page(1, {{indented}, {below}}, {web(over(indented, 10, 11)), web(over(below, 0, 0))})}),
         {{"web site for", "https://example.org/"}}},
        {"a justified line that poppler cut into blocks at its wide gaps stays one line of its paragraph",
         drawn({stretched()}), {{"at https://example.org/notes", "https://example.org/"}}},
        {"a destination leads to the first line at or below it", drawn({page(1, {{see}}, {inside(seeResults, 2, 72, 80)}), results}),
         {{"See Results", "-> Results"}}, 1},
        {"a destination at a line's baseline leads to that line", drawn({page(1, {{see}}, {inside(seeResults, 2, 72, 100)}), results}),
         {{"See Results", "-> Results"}}, 1},
        {"two places leading to one line share its bookmark",
         drawn({page(1, {{see}}, {inside(seeResults, 2, 72, 80), inside(over(see, 2, 3), 2, 72, 95)}), results}),
         {{"See Results", "-> Results"}, {"and more", "-> Results"}}, 1},
        {"a destination in the right column leads into that column",
         drawn({page(1, {{see}}, {inside(seeResults, 2, 320, 110)}),
                page(2, {leftColumn, {line(U"Right heading", 130, 320, 14), line(U"right column text", 150, 320)}})}),
         {{"See Results", "-> Right heading"}}, 1},
        {"a destination below a page's last line leads to the next page's first",
         drawn({page(1, {{see}}, {inside(seeResults, 1, 72, 780)}), page(2, {{line(U"Next page text", 100)}})}),
         {{"See Results", "-> Next page text"}}, 1},
        {"a link to a page without text stays plain", drawn({page(1, {{see}}, {inside(seeResults, 2, 72, 80)}), page(2, {})}), {}},
        {"links over words of table cells", drawn({table, results}),
         {{"alpha.org", "https://example.org/"}, {"Beta", "-> Results"}}, 1},
        {"PDF: destinations, addresses, and the links that stay plain", pdfFile(samplePdf),
         {{"Introduction", "-> 1 Introduction"},
          {"Methods", "-> 2 Methods"},
          {"the project site", "https://example.org/a%20b"},
          {"us", "mailto:team@example.org"},
          {"link", "https://example.org/turned"}},
         2},
        {"PDF by Qt: an anchor of a text document", qtPdf(QStringLiteral("<p style='font-size:12pt'>Visit <a href='https://example.org/qt'>our web site</a> today.</p>")),
         {{"our web site", "https://example.org/qt"}}},
        // Poppler reads such a line as one word, the link in the text's colour;
        // narrow letters before it put it where an estimate of the characters'
        // widths would not.
        {"PDF by Qt: a link over part of a Chinese line",
         qtPdf(han("详见lllllllllllll<a href='https://example.org/3' style='color:#000000'>第三节</a>的说明")),
         {{"第三节", "https://example.org/3"}}},
    };
}

// Hostile link annotations: the reader keeps what is sound within its
// bounds, and leaves out the rest.
struct HostileCase {
    const char* name;
    std::string pdf;
    std::size_t links; // kept on page 1
};

std::vector<HostileCase> hostileCases()
{
    const PdfLine text{"Some text with links.", 72, 700};
    // Page 1 is object 4.
    const auto onePage = [&](std::vector<std::string> annots, CatalogEntries catalogExtra = {}) {
        return linkPdf({{text}}, [&](PdfBytes&, const std::vector<int>&) { return std::vector<std::vector<std::string>>{annots}; }, catalogExtra);
    };
    const std::string huge = "99999999999999999999";
    const std::string uri = "/A << /S /URI /URI (https://example.org/) >>";
    const std::string rect = rectOver(text, "text");
    std::vector<std::string> many(5000, linkAnnot(rect, uri));
    return {
        {"5000 annotations: the page's bound", onePage(many), pdf::kMaxLinksPerPage},
        {"rectangles of NaN, past any page, inverted, the whole page, empty",
         onePage({linkAnnot("[NaN 0 nan 10]", uri), linkAnnot("[-" + huge + " -" + huge + " " + huge + " " + huge + "]", uri),
                  linkAnnot("[300 720 72 690]", uri), linkAnnot("[0 0 612 792]", uri), linkAnnot("[0 0 0 0]", uri)}),
         // The inverted one, and the NaN one that poppler reads as a corner of the page, over no word.
         2},
        {"an address past the bound", onePage({linkAnnot(rect, "/A << /S /URI /URI (https://x.org/" + std::string(100000, 'a') + ") >>")}), 0},
        {"an action that calls itself next",
         linkPdf({{text}},
                 [&](PdfBytes& pdf, const std::vector<int>&) {
                     const int action = pdf.reserve();
                     pdf.set(action, "<< /S /URI /URI (https://example.org/) /Next [" + ref(action) + " " + ref(action) + "] >>");
                     return std::vector<std::vector<std::string>>{{linkAnnot(rect, "/A " + ref(action))}};
                 }),
         1},
        {"a destination naming no page, a negative page, a page past the end",
         onePage({linkAnnot(rect, "/Dest [1 0 R /XYZ 0 0 null]"), linkAnnot(rect, "/Dest [-5 /Fit]"),
                  linkAnnot(rect, "/Dest [99999 /Fit]"), linkAnnot(rect, "/Dest [4 0 R /XYZ NaN 0 null]"),
                  linkAnnot(rect, "/Dest [4 0 R /XYZ -" + huge + " " + huge + " null]")}),
         1},
        {"named destinations in a tree that holds itself",
         onePage({linkAnnot(rect, "/Dest (loop)"), linkAnnot(rect, "/A << /S /GoTo /D (loop) >>")},
                 [](PdfBytes& pdf, const std::vector<int>&) {
                     const int tree = pdf.reserve();
                     pdf.set(tree, "<< /Kids [" + ref(tree) + "] /Limits [(a) (z)] >>");
                     return "/Names << /Dests " + ref(tree) + " >> /Dests << /other [4 0 R /Fit] >>";
                 }),
         0},
    };
}

} // namespace

class LinksTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsSet("KEEP_TEST_FILES")) { // for looking at them by hand
            m_dir.setAutoRemove(false);
            qInfo("files in %s", qPrintable(m_dir.path()));
        }
    }

    // What the reader keeps of an annotation's address is what the writer
    // makes a link of: one rule for both.
    void addressesUsersClick_data()
    {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("kept"); // "" when left out
        const QString bound = QString(static_cast<qsizetype>(doc::kMaxAddressLength - 14), QLatin1Char('a'));
        QTest::newRow("http") << "http://example.org/x?a=1#b" << "http://example.org/x?a=1#b";
        QTest::newRow("https, scheme in capitals") << "HTTPS://example.org/" << "HTTPS://example.org/";
        QTest::newRow("mail") << "mailto:a@example.org" << "mailto:a@example.org";
        QTest::newRow("ftp") << "ftp://ftp.example.org/f" << "ftp://ftp.example.org/f";
        QTest::newRow("blanks around") << "  https://example.org/ \n" << "https://example.org/";
        QTest::newRow("space, quote, backslash, control, non-ASCII escaped")
            << QString::fromLatin1("https://e.org/a b\"c\\d\x01\xE9") << "https://e.org/a%20b%22c%5Cd%01%C3%A9";
        QTest::newRow("script") << "javascript:alert(1)" << "";
        QTest::newRow("local file") << "file:///etc/passwd" << "";
        QTest::newRow("no scheme") << "www.example.org" << "";
        QTest::newRow("scheme alone") << "https:" << "";
        QTest::newRow("web scheme without its slashes") << "http:example.org" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("at the bound") << "https://e.org/" + bound << "https://e.org/" + bound;
        QTest::newRow("longer than the bound") << "https://e.org/a" + bound << "";
        QTest::newRow("past the bound once escaped") << "https://e.org/ " + bound.chopped(1) << "";
    }

    void addressesUsersClick()
    {
        QFETCH(QString, uri);
        QFETCH(QString, kept);
        const QByteArray bytes = uri.toUtf8();
        const auto out = pdf::clickableUri(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        QCOMPARE(out ? QString::fromStdString(*out) : QString(), kept);
        QVERIFY(kept.isEmpty() || doc::isClickableAddress(kept.toStdString())); // the writer takes it
    }

    void linksReachTheirText_data()
    {
        QTest::addColumn<int>("index");
        const auto cases = linkCases();
        for (std::size_t i = 0; i < cases.size(); ++i)
            QTest::newRow(cases[i].name) << static_cast<int>(i);
    }

    void linksReachTheirText()
    {
        QFETCH(int, index);
        const LinkCase c = linkCases().at(static_cast<std::size_t>(index));
        QStringList problems;
        const auto pages = c.pages(m_dir.path(), problems);
        int bookmarks = 0;
        const Linked linked = linkedTexts(layout::buildDocument(pages, {}), problems, bookmarks);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        QCOMPARE(linked, c.expected);
        QCOMPARE(bookmarks, c.bookmarks);
    }

    // The reader's areas are where the words are, on a turned page too.
    void areasLieOverTheirWords()
    {
        QStringList problems;
        const auto pages = pdfFile(samplePdf)(m_dir.path(), problems);
        QVERIFY(problems.isEmpty());
        QCOMPARE(pages.size(), std::size_t{3});
        QCOMPARE(pages[0].links.size(), std::size_t{4});
        QCOMPARE(pages[2].links.size(), std::size_t{1});
        const pdf::PageLink& methods = pages[0].links[1];
        QCOMPARE(methods.destinationPage, 2);
        // The named place is 262 points from the page's top (792 - 530), at the left margin.
        QCOMPARE(methods.destinationY, 262.0);
        QCOMPARE(methods.destinationX, 72.0);
        for (const pdf::PageText& p : pages) {
            for (const pdf::PageLink& link : p.links) {
                bool overWord = false;
                for (const auto& flow : p.flows)
                    for (const auto& block : flow.blocks)
                        for (const auto& l : block.lines)
                            for (const auto& w : l.words)
                                overWord = overWord || pdf::within(w.box, link.area);
                QVERIFY2(overWord, qPrintable(QStringLiteral("page %1: an area over no word").arg(p.number)));
            }
        }
    }

    void hostileLinksStayBounded_data()
    {
        QTest::addColumn<int>("index");
        const auto cases = hostileCases();
        for (std::size_t i = 0; i < cases.size(); ++i)
            QTest::newRow(cases[i].name) << static_cast<int>(i);
    }

    void hostileLinksStayBounded()
    {
        QFETCH(int, index);
        const HostileCase c = hostileCases().at(static_cast<std::size_t>(index));
        QStringList problems;
        const auto pages = pdfFile([&] { return c.pdf; })(m_dir.path(), problems);
        QVERIFY(problems.isEmpty());
        QCOMPARE(pages.at(0).links.size(), c.links);
        for (const pdf::PageLink& link : pages[0].links) {
            QVERIFY(link.area.width() > 0 && link.area.height() > 0);
            QVERIFY(link.area.xMin >= 0 && link.area.xMax <= pages[0].width && link.area.yMin >= 0 && link.area.yMax <= pages[0].height);
            QVERIFY(doc::isClickableAddress(link.uri) || link.destinationPage > 0);
        }
        int bookmarks = 0;
        const Linked linked = linkedTexts(layout::buildDocument(pages, {}), problems, bookmarks);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        QCOMPARE(linked.size(), c.links > 0 ? 1 : 0);
    }

    // What LibreOffice reads of pwt's output: web addresses as links on their
    // text, links inside the document to bookmarks on their headings.
    void wordShowsTheLinks()
    {
        const QString pdfPath = m_dir.filePath(QStringLiteral("e2e.pdf")), docPath = m_dir.filePath(QStringLiteral("e2e.doc"));
        QVERIFY(writeFile(pdfPath, samplePdf()));
        const auto converted = test::runProgram(QStringLiteral(PWT_PATH),
                                                {QStringLiteral("--src=") + pdfPath, QStringLiteral("--dest=") + docPath}, 120000);
        QVERIFY2(converted.exitCode == 0, qPrintable(converted.err));
        const auto read = test::runProgram(
            QStringLiteral("soffice"),
            {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("profile")),
             QStringLiteral("--convert-to"), QStringLiteral("fodt"), QStringLiteral("--outdir"), m_dir.path(), docPath},
            300000);
        QVERIFY2(read.exitCode == 0, qPrintable(read.err));
        const fodt::Document d = fodt::read(m_dir.filePath(QStringLiteral("e2e.fodt")));
        QVERIFY2(d.error.isEmpty(), qPrintable(d.error));
        QMap<QString, QString> bookmarkText; // name -> its paragraph's text
        QMap<QString, QString> hrefOf;       // linked text -> href
        for (const fodt::Paragraph& p : d.body) {
            for (const QString& b : p.bookmarks)
                bookmarkText[b] = p.text.trimmed();
            for (const fodt::Span& s : p.spans)
                if (!s.href.isEmpty())
                    hrefOf[s.text.trimmed()] += s.href;
        }
        QCOMPARE(hrefOf.value(QStringLiteral("the project site")), QStringLiteral("https://example.org/a%20b"));
        QCOMPARE(hrefOf.value(QStringLiteral("us")), QStringLiteral("mailto:team@example.org"));
        for (const auto& [text, heading] : {std::pair{"Introduction", "1 Introduction"}, std::pair{"Methods", "2 Methods"}}) {
            const QString href = hrefOf.value(QLatin1String(text));
            QVERIFY2(href.startsWith(QLatin1Char('#')), qPrintable(QLatin1String(text) + QStringLiteral(": ") + href));
            QCOMPARE(bookmarkText.value(href.mid(1)), QLatin1String(heading));
        }
        QVERIFY(!hrefOf.contains(QStringLiteral("script")));
        QCOMPARE(bookmarkText.size(), 2);
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    LinksTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "LinksTest.moc"

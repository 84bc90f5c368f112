#include "HostileCorpus.h"

#include "ExitCode.h"
#include "PdfBytes.h"
#include "TestImages.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>

namespace pwt::hostile {

namespace {

using cli::ExitCode;
constexpr int kOk = cli::toInt(ExitCode::Ok);
constexpr int kBadInput = cli::toInt(ExitCode::BadInput);
constexpr int kNoTextLayer = cli::toInt(ExitCode::NoTextLayer);
constexpr int kPassword = cli::toInt(ExitCode::Password);

// The decompression bomb: kBombPages pages share one Flate stream that
// inflates to kBombStreamBytes, 1 GiB in all from under 30 KB on disk.
constexpr int kBombPages = 64;
// Blanks only cost time to read, 10 s or so a GiB; a quarter of the bomb
// shows as well that the pages are read as streams, not inflated whole.
constexpr int kBlankBombPages = kBombPages / 4;
constexpr std::size_t kBombStreamBytes = std::size_t{16} << 20;
// A bomb must end by itself within this, below pwt's own 148 s for 64 pages
// (20 s + 2 s a page), with room for a loaded machine.
constexpr const char* kBombTimeLimit = "--time-limit=120";

// The largest object number and count a PDF's 32-bit fields can claim.
constexpr const char* kInt32Max = "2147483647";
// Nesting far past any parser's recursion limit.
constexpr int kDeepNesting = 100000;
// Pages nodes chained one inside the other.
constexpr int kDeepPageTree = 5000;
// Link annotations on one page, past the reader's bound on them.
constexpr int kManyLinks = 10000;

// Letters and spaces only: a font that maps letters to control codes leaves
// nothing visible of it.
const std::string kText = "The quick brown fox jumps over the lazy dog";

std::string repeat(std::string_view piece, std::size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string startxrefOf(const std::string& pdf)
{
    const auto at = pdf.rfind("startxref\n") + 10;
    return pdf.substr(at, pdf.find('\n', at) - at);
}

std::string helvetica()
{
    return "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>";
}

// A ToUnicode CMap with one-byte or two-byte codes and the given mappings
// ("<41> <5A> <0001>" lines for bfrange, "<0001> <4E2D>" for bfchar).
std::string toUnicode(int codeBytes, std::string_view kind, const std::vector<std::string>& mappings)
{
    const std::string low(static_cast<std::size_t>(codeBytes) * 2, '0');
    const std::string high(static_cast<std::size_t>(codeBytes) * 2, 'F');
    std::string cmap = "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                       "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                       "/CMapName /Adobe-Identity-UCS def /CMapType 2 def\n"
                       "1 begincodespacerange <" + low + "> <" + high + "> endcodespacerange\n";
    cmap += std::to_string(mappings.size()) + " begin" + std::string(kind) + "\n";
    for (const std::string& m : mappings)
        cmap += m + "\n";
    cmap += "end" + std::string(kind) + "\nendcmap CMapName currentdict /CMap defineresource pop end end\n";
    return cmap;
}

// One page whose resources are `resources` and whose content is `content`.
std::string onePage(PdfBytes& pdf, const std::string& resources, const std::string& content,
                    const std::string& trailerEntries = {}, const std::string& pageEntries = {})
{
    const int catalog = pdf.reserve();
    const int pages = pdf.reserve();
    const int stream = pdf.addStream("", content);
    const int page = pdf.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 612 792] /Resources " + resources
                             + " /Contents " + ref(stream) + " " + pageEntries + " >>");
    pdf.set(catalog, "<< /Type /Catalog /Pages " + ref(pages) + " >>");
    pdf.set(pages, "<< /Type /Pages /Kids [ " + ref(page) + " ] /Count 1 >>");
    return pdf.build(catalog, trailerEntries);
}

std::string chineseType0(std::string_view kind = "bfchar",
                         const std::vector<std::string>& mappings = {"<0001> <4E2D>", "<0002> <6587>", "<0003> <8F6C>",
                                                                     "<0004> <6362>", "<0005> <6D4B>", "<0006> <8BD5>"})
{
    PdfBytes pdf;
    const int descriptor = pdf.add("<< /Type /FontDescriptor /FontName /SimSun /Flags 4 /FontBBox [0 -140 1000 860] "
                                   "/ItalicAngle 0 /Ascent 860 /Descent -140 /CapHeight 700 /StemV 80 >>");
    const int cidFont = pdf.add("<< /Type /Font /Subtype /CIDFontType2 /BaseFont /SimSun /CIDSystemInfo << /Registry "
                                "(Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor "
                                + ref(descriptor) + " /DW 1000 /CIDToGIDMap /Identity >>");
    const int unicode = pdf.addStream("", toUnicode(2, kind, mappings));
    const int font = pdf.add("<< /Type /Font /Subtype /Type0 /BaseFont /SimSun /Encoding /Identity-H /DescendantFonts [ "
                             + ref(cidFont) + " ] /ToUnicode " + ref(unicode) + " >>");
    return onePage(pdf, "<< /Font << /F2 " + ref(font) + " >> >>",
                   "BT /F2 14 Tf 72 700 Td <000100020003000400050006> Tj 0 -20 Td <00050006> Tj ET");
}

// Catalog, page tree, page and font inside a compressed object stream, found
// through a cross-reference stream (PDF 1.5). `index` and `count` are the
// cross-reference stream's /Index and the object stream's /N.
std::string objectStreamPdf(const std::string& index = "[0 8]", const std::string& count = "4")
{
    const std::vector<std::string> packed = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R >> >> /Contents 5 0 R >>",
        helvetica(),
    };
    std::string header, objects;
    for (std::size_t i = 0; i < packed.size(); ++i) {
        header += std::to_string(i + 1) + " " + std::to_string(objects.size()) + " ";
        objects += packed[i] + "\n";
    }
    std::string out = "%PDF-1.5\n%\xE2\xE3\xCF\xD3\n";
    const std::size_t contentAt = out.size();
    out += "5 0 obj\n" + streamObject("/Filter /FlateDecode", deflate(textContent(kText))) + "\nendobj\n";
    const std::size_t objStmAt = out.size();
    out += "6 0 obj\n"
           + streamObject("/Type /ObjStm /N " + count + " /First " + std::to_string(header.size()) + " /Filter /FlateDecode",
                          deflate(header + objects))
           + "\nendobj\n";
    const std::size_t xrefAt = out.size();
    // /W [1 4 2]: type, offset or object stream, generation or index.
    auto entry = [](int type, std::uint32_t field, std::uint16_t second) {
        std::string e(1, static_cast<char>(type));
        for (int shift = 24; shift >= 0; shift -= 8)
            e += static_cast<char>((field >> shift) & 0xFF);
        e += static_cast<char>(second >> 8);
        e += static_cast<char>(second & 0xFF);
        return e;
    };
    std::string table = entry(0, 0, 0xFFFF);
    for (std::uint16_t i = 0; i < packed.size(); ++i)
        table += entry(2, 6, i);
    table += entry(1, static_cast<std::uint32_t>(contentAt), 0);
    table += entry(1, static_cast<std::uint32_t>(objStmAt), 0);
    table += entry(1, static_cast<std::uint32_t>(xrefAt), 0);
    out += "7 0 obj\n" + streamObject("/Type /XRef /Size 8 /Index " + index + " /W [1 4 2] /Root 1 0 R", table)
           + "\nendobj\nstartxref\n" + std::to_string(xrefAt) + "\n%%EOF\n";
    return out;
}

std::string formXObject()
{
    PdfBytes pdf;
    const int font = pdf.add(helvetica());
    const int form = pdf.addStream("/Type /XObject /Subtype /Form /BBox [0 0 612 792] /Resources << /Font << /F1 "
                                       + ref(font) + " >> >>",
                                   textContent("Drawn inside a form."));
    return onePage(pdf, "<< /XObject << /Fm1 " + ref(form) + " >> >>", "q 1 0 0 1 0 -40 cm /Fm1 Do Q");
}

std::string type3Font()
{
    PdfBytes pdf;
    const int a = pdf.addStream("", "600 0 0 0 500 700 d1 0 0 500 700 re f");
    const int b = pdf.addStream("", "600 0 0 0 500 700 d1 0 0 250 700 re f");
    const int font = pdf.add("<< /Type /Font /Subtype /Type3 /FontBBox [0 0 750 750] /FontMatrix [0.001 0 0 0.001 0 0] "
                             "/CharProcs << /A "
                             + ref(a) + " /B " + ref(b)
                             + " >> /Encoding << /Type /Encoding /Differences [65 /A /B] >> /FirstChar 65 /LastChar 66 "
                               "/Widths [600 600] /Resources << >> >>");
    return onePage(pdf, "<< /Font << /F3 " + ref(font) + " >> >>", "BT /F3 12 Tf 72 700 Td (ABBA BAAB) Tj ET");
}

// The same text in a font whose ToUnicode maps every letter to a control code.
std::string controlCodeFont()
{
    PdfBytes pdf;
    const int unicode = pdf.addStream("", toUnicode(1, "bfrange", {"<41> <5A> <0001>", "<61> <7A> <0001>"}));
    const int font = pdf.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /ToUnicode " + ref(unicode) + " >>");
    return onePage(pdf, "<< /Font << /F1 " + ref(font) + " >> >>", textContent(kText));
}

// Document information whose strings hold control codes, in PDFDocEncoding
// and in UTF-16.
std::string controlCodesInInfo()
{
    PdfBytes pdf;
    const int info = pdf.add("<< /Title (Report\\001\\002\\r\\n\\t\\033[0m end) /Author <FEFF00010002000D0041> "
                             "/Subject <FEFFD800> /Keywords (\\377\\376\\000) >>");
    return onePage(pdf, "<< /Font << /F1 " + ref(pdf.add(helvetica())) + " >> >>", textContent(kText),
                   "/Info " + ref(info));
}

std::string encrypted()
{
    PdfBytes pdf;
    const std::string junk = "<" + repeat("5A17C3E9", 8) + ">";
    return onePage(pdf, "<< /Font << /F1 " + ref(pdf.add(helvetica())) + " >> >>", textContent(kText),
                   "/Encrypt << /Filter /Standard /V 1 /R 2 /O " + junk + " /U " + junk
                       + " /P -4 >> /ID [ <00112233445566778899AABBCCDDEEFF> <00112233445566778899AABBCCDDEEFF> ]");
}

std::string pageTreeLoop()
{
    PdfBytes pdf;
    const int catalog = pdf.reserve();
    const int pages = pdf.reserve();
    const int font = pdf.add(helvetica());
    const int page = pdf.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 612 792] /Resources << /Font << /F1 "
                             + ref(font) + " >> >> /Contents " + ref(pdf.addStream("", textContent(kText))) + " >>");
    pdf.set(catalog, "<< /Type /Catalog /Pages " + ref(pages) + " >>");
    pdf.set(pages, "<< /Type /Pages /Kids [ " + ref(pages) + " " + ref(page) + " ] /Count 2 >>");
    return pdf.build(catalog);
}

std::string deepPageTree()
{
    PdfBytes pdf;
    const int catalog = pdf.reserve();
    std::vector<int> nodes;
    for (int i = 0; i < kDeepPageTree; ++i)
        nodes.push_back(pdf.reserve());
    const int font = pdf.add(helvetica());
    const int page = pdf.add("<< /Type /Page /Parent " + ref(nodes.back()) + " /MediaBox [0 0 612 792] /Resources << /Font << /F1 "
                             + ref(font) + " >> >> /Contents " + ref(pdf.addStream("", textContent(kText))) + " >>");
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const int kid = i + 1 < nodes.size() ? nodes[i + 1] : page;
        const std::string parent = i == 0 ? "" : " /Parent " + ref(nodes[i - 1]);
        pdf.set(nodes[i], "<< /Type /Pages /Kids [ " + ref(kid) + " ] /Count 1" + parent + " >>");
    }
    pdf.set(catalog, "<< /Type /Catalog /Pages " + ref(nodes.front()) + " >>");
    return pdf.build(catalog);
}

std::string formDrawsItself()
{
    PdfBytes pdf;
    const int font = pdf.add(helvetica());
    const int form = pdf.reserve();
    pdf.set(form, streamObject("/Type /XObject /Subtype /Form /BBox [0 0 612 792] /Resources << /Font << /F1 " + ref(font)
                                   + " >> /XObject << /Fm1 " + ref(form) + " >> >>",
                               textContent("Once more.") + " /Fm1 Do"));
    return onePage(pdf, "<< /Font << /F1 " + ref(font) + " >> /XObject << /Fm1 " + ref(form) + " >> >>",
                   textContent(kText) + " q 1 0 0 1 0 -20 cm /Fm1 Do Q");
}

std::string shiftedOffsets()
{
    // A comment after the header moves every object and the table itself.
    return replaceFirst(simplePdf({textContent(kText)}), "%PDF-1.7\n", "%PDF-1.7\n% moved by a stranger\n");
}

std::string prevLoop()
{
    // The trailer's /Prev names the table it belongs to; the trailer comes
    // after the table, so adding /Prev does not move it.
    const std::string once = simplePdf({textContent(kText)});
    return replaceFirst(once, "trailer\n<< ", "trailer\n<< /Prev " + startxrefOf(once) + " ");
}

// Objects numbered 2^31 - 1, 2^31 and 2^32 + 1 (1 when cut to 32 bits, the
// catalog's number), used by the page, in a file whose table must be rebuilt
// from the objects themselves.
std::string objectNumbersPast32Bits(const std::string& plain)
{
    const std::vector<std::string> numbers = {kInt32Max, "2147483648", "4294967297"};
    std::string fonts = "/Font << /F1 3 0 R";
    std::string objects = "\n";
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        fonts += " /F" + std::to_string(i + 2) + " " + numbers[i] + " 0 R";
        objects += numbers[i] + " 0 obj\n" + (i + 1 < numbers.size() ? helvetica() : "<< /Type /Catalog >>") + "\nendobj\n";
    }
    std::string pdf = edited(plain, "/Font << /F1 3 0 R >>", fonts + " >>");
    pdf = replaceFirst(pdf, "\nxref\n", objects + "xref\n");
    return replaceFirst(pdf, "startxref\n" + startxrefOf(pdf), "startxref\n999999999");
}

std::string hugeNumber()
{
    return "1" + std::string(308, '0'); // 1e308 in the digits PDF allows
}

std::string bomb(std::string_view fill, int pageCount)
{
    PdfBytes pdf;
    const int catalog = pdf.reserve();
    const int pages = pdf.reserve();
    const int font = pdf.add(helvetica());
    const int text = pdf.addStream("", textContent(kText));
    const int filler = pdf.addStream("/Filter /FlateDecode", deflate(repeat(fill, kBombStreamBytes / fill.size())));
    std::string kids;
    for (int i = 0; i < pageCount; ++i)
        kids += ref(pdf.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 612 792] /Resources << /Font << /F1 "
                            + ref(font) + " >> >> /Contents [ " + ref(text) + " " + ref(filler) + " ] >>"))
                + " ";
    pdf.set(catalog, "<< /Type /Catalog /Pages " + ref(pages) + " >>");
    pdf.set(pages, "<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(pageCount) + " >>");
    return pdf.build(catalog);
}

// ---- pictures and drawings

// The absurd scale of a transformation: 1e30 in the digits PDF allows.
const std::string kScale1e30 = "1" + std::string(30, '0');
// Thousands of images drawn on one page.
constexpr int kManyImages = 5000;
// A page that is one image of kHugeImageSide pixels a side: 256 MB of grey
// samples from a quarter of a megabyte.
constexpr int kHugeImageSide = 16000;

// 8 x 8 RGB pixels in bands, the image most cases break.
std::string rgbBands()
{
    return bands(8, 8, 3);
}

std::string imageEntries(std::string_view more = {})
{
    return "/ColorSpace /DeviceRGB " + std::string(more);
}

// One page with the text and `image` drawn by `drawing` (its name is /Im1).
std::string pictureWith(const std::string& image, const std::string& drawing = "200 0 0 200 72 400",
                        bool withText = true)
{
    ImageDocument doc;
    const std::string name = doc.addImage(image);
    return doc.build({(withText ? textContent(kText) + " " : std::string()) + drawAt(name, drawing)});
}

std::string jpegPicture()
{
    return pictureWith(imageObject(8, 8, 8, imageEntries("/Filter /DCTDecode"), encodeJpeg(8, 8, 3, rgbBands())));
}

std::string softMaskedPicture(int maskWidth, int maskHeight)
{
    ImageDocument doc;
    const int mask = doc.add(imageObject(maskWidth, maskHeight, 8, "/ColorSpace /DeviceGray /Filter /FlateDecode",
                                         deflate(std::string(static_cast<std::size_t>(maskWidth * maskHeight), '\x80'))));
    const std::string name = doc.addImage(
        imageObject(8, 8, 8, imageEntries("/Filter /FlateDecode /SMask " + ref(mask)), deflate(rgbBands())));
    return doc.build({textContent(kText) + " " + drawAt(name, "200 0 0 200 72 400")});
}

std::string explicitMaskPicture(int maskWidth, int maskHeight)
{
    ImageDocument doc;
    const std::size_t rowBytes = static_cast<std::size_t>((maskWidth + 7) / 8);
    const int mask = doc.add(imageObject(maskWidth, maskHeight, 1, "/ImageMask true",
                                         std::string(rowBytes * static_cast<std::size_t>(maskHeight), '\x55')));
    const std::string name = doc.addImage(imageObject(8, 8, 8, imageEntries("/Mask " + ref(mask)), rgbBands()));
    return doc.build({textContent(kText) + " " + drawAt(name, "200 0 0 200 72 400")});
}

// Rectangles, rules, curves, a dashed frame and a shaded box.
std::string drawing()
{
    PdfBytes pdf;
    const int shading = pdf.add("<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [0 0 1 0] /Function << /FunctionType 2 "
                                "/Domain [0 1] /C0 [1 0 0] /C1 [0 0 1] /N 1 >> /Extend [true true] >>");
    return onePage(pdf, "<< /Font << /F1 " + ref(pdf.add(helvetica())) + " >> /Shading << /Sh1 " + ref(shading) + " >> >>",
                   textContent(kText)
                       + " 0.9 g 72 600 200 50 re f 0 0 1 RG 2 w 72 590 m 540 590 l S [3 2] 0 d 0 G 300 400 200 100 re S "
                         "1 0 0 rg 100 300 m 150 380 250 380 300 300 c h B q 72 100 200 100 re W n 200 0 0 100 72 100 cm "
                         "/Sh1 sh Q");
}

std::string inlineStencil()
{
    return simplePdf({textContent(kText) + " 0 0 1 rg q 100 0 0 20 72 500 cm BI /W 16 /H 2 /IM true ID \x0F\xF0\x0F\xF0 EI Q"});
}

std::string manyImages()
{
    ImageDocument doc;
    const std::string name = doc.addImage(imageObject(8, 8, 8, imageEntries(), rgbBands()));
    std::string content = textContent(kText) + " ";
    for (int i = 0; i < kManyImages; ++i)
        content += drawAt(name, "6 0 0 6 " + std::to_string(i % 100 * 6) + " " + std::to_string(i / 100 * 6));
    return doc.build({content});
}

std::string hugeImagePage()
{
    const std::string zeros(static_cast<std::size_t>(kHugeImageSide) * kHugeImageSide, '\0');
    return pictureWith(imageObject(kHugeImageSide, kHugeImageSide, 8, "/ColorSpace /DeviceGray /Filter /FlateDecode",
                                   deflate(zeros)),
                       "612 0 0 400 0 0");
}

std::string picturePdfs(std::string_view from, std::string_view to, const std::string& pdf)
{
    return edited(pdf, from, to);
}

// ---- tables

// A word set at (x, y) in 6-point Helvetica.
std::string wordAt(double x, double y, std::string_view word)
{
    char at[64];
    std::snprintf(at, sizeof at, "%.2f %.2f Td ", x, y);
    return "BT /F1 6 Tf " + std::string(at) + literal(word) + " Tj ET ";
}

std::string lineFrom(double x0, double y0, double x1, double y1)
{
    char out[96];
    std::snprintf(out, sizeof out, "%.2f %.2f m %.2f %.2f l S ", x0, y0, x1, y1);
    return out;
}

// A grid of `n` x `n` cells of `side` points from (x, y) up, its lines
// stopping `gap` points short of each other, a word in every `every`-th cell.
std::string gridTable(int n, double side, double gap, int every)
{
    const double x = 40, y = 60;
    std::string content = textContent(kText) + " 0.3 w ";
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j < n; ++j) {
            content += lineFrom(x + j * side + gap, y + i * side, x + (j + 1) * side - gap, y + i * side);
            content += lineFrom(x + i * side, y + j * side + gap, x + i * side, y + (j + 1) * side - gap);
        }
    }
    for (int k = 0; k < n * n; k += every)
        content += wordAt(x + (k % n) * side + 0.5, y + (k / n) * side + 0.5, "c" + std::to_string(k));
    return simplePdf({content});
}

// Many tiny squares and overlapping frames, with words among them.
std::string boxesTable(int count, bool overlapping)
{
    std::string content = textContent(kText) + " 0.2 w ";
    for (int i = 0; i < count; ++i) {
        const double x = 40 + (i % 100) * (overlapping ? 3.0 : 5.0), y = 60 + (i / 100) * (overlapping ? 3.0 : 5.0);
        char box[64];
        std::snprintf(box, sizeof box, "%.1f %.1f %.1f %.1f re S ", x, y, overlapping ? 9.0 : 2.0, overlapping ? 9.0 : 2.0);
        content += box;
        if (i % 97 == 0)
            content += wordAt(x, y, "w" + std::to_string(i));
    }
    return simplePdf({content});
}

// One frame around the page's text: a box, not a table.
std::string oneCellTable()
{
    return simplePdf({textContent(kText) + " 0.5 w 66 710 300 24 re S"});
}

// ---- links

// Object numbers of a links page: the page, an empty names tree that holds
// itself, and a URI action that calls itself next.
struct LinkObjects {
    int page = 0;
    int tree = 0;
    int loopingAction = 0;
};

// A page of text with link annotations: `annots` gives their dictionaries,
// `catalogEntries` what goes into the catalog.
std::string linksPdf(const std::function<std::vector<std::string>(const LinkObjects&)>& annots,
                     const std::function<std::string(const LinkObjects&)>& catalogEntries = {})
{
    PdfBytes pdf;
    const int catalog = pdf.reserve();
    const int pages = pdf.reserve();
    const int page = pdf.reserve();
    const int tree = pdf.reserve();
    const int action = pdf.reserve();
    const LinkObjects objects{page, tree, action};
    const int font = pdf.add(helvetica());
    const int stream = pdf.addStream("", textContent(kText) + " BT /F1 12 Tf 72 600 Td (A heading further down) Tj ET");
    std::string list;
    for (const std::string& a : annots(objects))
        list += ref(pdf.add(a)) + " ";
    pdf.set(page, "<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 612 792] /Resources << /Font << /F1 " + ref(font)
                      + " >> >> /Contents " + ref(stream) + " /Annots [" + list + "] >>");
    pdf.set(pages, "<< /Type /Pages /Kids [" + ref(page) + "] /Count 1 >>");
    pdf.set(tree, "<< /Kids [" + ref(tree) + "] /Limits [(a) (z)] >>");
    pdf.set(action, "<< /S /URI /URI (https://example.org/) /Next [" + ref(action) + " " + ref(action) + "] >>");
    pdf.set(catalog, "<< /Type /Catalog /Pages " + ref(pages) + " " + (catalogEntries ? catalogEntries(objects) : std::string()) + " >>");
    return pdf.build(catalog);
}

std::string link(std::string_view rect, std::string_view target)
{
    return "<< /Type /Annot /Subtype /Link /Border [0 0 0] /Rect " + std::string(rect) + " " + std::string(target) + " >>";
}

// A web link, a link to a place by name and one by page: each converts.
std::string soundLinks()
{
    return linksPdf(
        [](const LinkObjects& o) {
            return std::vector<std::string>{link("[70 700 200 730]", "/A << /S /URI /URI (https://example.org/) >>"),
                                            link("[200 700 300 730]", "/Dest (heading)"),
                                            link("[300 700 400 730]", "/Dest [" + ref(o.page) + " /XYZ 72 620 null]")};
        },
        [](const LinkObjects& o) { return "/Names << /Dests << /Names [(heading) [" + ref(o.page) + " /XYZ 72 620 null]] >> >>"; });
}

// Thousands of links, over no text, the whole page and past it.
std::string manyLinks()
{
    return linksPdf([](const LinkObjects&) {
        std::vector<std::string> out;
        for (int i = 0; i < kManyLinks; ++i) {
            const int x = i % 600, y = i / 600 * 90;
            out.push_back(link("[" + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(x + 9000) + " "
                                   + std::to_string(y + 9) + "]",
                               "/A << /S /URI /URI (https://example.org/" + std::to_string(i) + ") >>"));
        }
        return out;
    });
}

// Destinations that lead round in circles or nowhere: a names tree holding
// itself, an action calling itself next, pages that are not pages, absurd
// places and rectangles, an address of a megabyte, a script and a program.
std::string brokenLinks()
{
    const std::string huge = "99999999999999999999";
    return linksPdf(
        [&](const LinkObjects& o) {
            const std::string page = ref(o.page);
            return std::vector<std::string>{
                link("[70 700 200 730]", "/Dest (loop)"),
                link("[70 700 200 730]", "/A " + ref(o.loopingAction)),
                link("[70 700 200 730]", "/Dest [1 0 R /XYZ 0 0 null]"),
                link("[70 700 200 730]", "/Dest [-2147483648 /Fit]"),
                link("[70 700 200 730]", "/Dest [" + page + " /XYZ -" + huge + " " + huge + " " + huge + "]"),
                link("[NaN nan 1 2]", "/Dest [" + page + " /FitR 1 2 3]"),
                link("[-" + huge + " -" + huge + " " + huge + " " + huge + "]", "/Dest [" + page + " /Fit]"),
                link("[70 700 200 730]", "/A << /S /URI /URI (https://example.org/" + repeat("a", 1 << 20) + ") >>"),
                link("[70 700 200 730]", "/A << /S /URI /URI (javascript:app.alert\\(1\\)) >>"),
                link("[70 700 200 730]", "/A << /S /Launch /F (/bin/sh) >>"),
                link("[70 700 200 730]", "/A << /S /GoTo /D 999 >>"),
            };
        },
        [](const LinkObjects& o) {
            return "/Names << /Dests << /Kids [" + ref(o.tree) + " " + ref(o.tree) + "] >> >> /Dests " + ref(o.tree);
        });
}

} // namespace

std::vector<HostileCase> wellFormedCases()
{
    return {
        {"plain_text", simplePdf({textContent(kText)}), {kOk}},
        {"three_pages", simplePdf({textContent("First page."), textContent("Second page."), textContent("Third page.")}), {kOk}},
        {"text_operators",
         simplePdf({"BT /F1 11 Tf 14 TL 72 720 Td [(Spac) -40 (ed) 250 (words)] TJ T* (Next line) Tj (Third line) ' "
                    "2 1 (Fourth line) \" 3 Tr 1 0 0 1 72 600 Tm 1.5 Tc 20 Tw 80 Tz 2 Ts (Set apart) Tj ET"}),
         {kOk}},
        {"rotated_page", edited(simplePdf({textContent(kText)}), "/Type /Page ", "/Type /Page /Rotate 90 "), {kOk}},
        {"chinese_type0", chineseType0(), {kOk}},
        {"object_streams", objectStreamPdf(), {kOk}},
        {"form_xobject", formXObject(), {kOk}},
        {"type3_font", type3Font(), {kOk}},
        {"picture_jpeg", jpegPicture(), {kOk}},
        {"picture_soft_mask", softMaskedPicture(8, 8), {kOk}},
        {"picture_explicit_mask", explicitMaskPicture(8, 8), {kOk}},
        {"picture_inline_stencil", inlineStencil(), {kOk}},
        {"drawing_paths_and_shading", drawing(), {kOk}},
        {"links_web_and_inside", soundLinks(), {kOk}},
    };
}

std::vector<HostileCase> hostileCases()
{
    const std::string plain = simplePdf({textContent(kText)});
    const std::string xref = startxrefOf(plain);
    return {
        // Not a PDF, or not all of one.
        {"empty", "", {kBadInput}},
        {"not_a_pdf", "This is a letter, not a PDF.\n", {kBadInput}},
        {"header_only", "%PDF-1.7\n%%EOF\n", {kBadInput}},
        {"truncated", plain.substr(0, plain.size() / 2), {kBadInput}},
        {"junk_between_header_and_end", "%PDF-1.4\n" + repeat("\x01\xFF\x7Fjunk", 1000) + "\n%%EOF\n", {kBadInput}},
        // Damaged cross references: poppler rebuilds the table from the objects.
        {"xref_points_nowhere", replaceFirst(plain, "startxref\n" + xref, "startxref\n999999999"), {kOk}},
        {"xref_offsets_shifted", shiftedOffsets(), {kOk}},
        {"xref_prev_loop", prevLoop(), {kOk}},
        {"xref_size_huge", replaceFirst(plain, "/Size 6 ", std::string("/Size ") + kInt32Max + " "), {kOk}},
        {"xref_section_huge", replaceFirst(plain, "xref\n0 6\n", std::string("xref\n0 ") + kInt32Max + "\n"), {kOk}},
        // The catalog sits in an object stream poppler refuses: nothing to read.
        {"xref_stream_index_huge", objectStreamPdf(std::string("[0 ") + kInt32Max + "]"), {kBadInput}},
        {"object_stream_count_huge", objectStreamPdf("[0 8]", kInt32Max), {kBadInput}},
        // Loops.
        {"page_tree_loop", pageTreeLoop(), {kOk}},
        {"page_tree_deep", deepPageTree(), {kOk}},
        {"form_draws_itself", formDrawsItself(), {kOk}},
        // Absurd numbers.
        // Poppler believes no count above the number of objects, and then
        // finds no pages at all.
        {"pages_claimed_100000", edited(plain, "/Count 1", "/Count 100000"), {kBadInput}},
        // Poppler gives up rebuilding a table with such numbers in it.
        {"object_numbers_past_32_bits", objectNumbersPast32Bits(plain), {kBadInput}},
        // Poppler leaves out text it cannot place on the page (as pdftotext
        // does): these pages are read as having none.
        {"mediabox_1e308", simplePdf({textContent(kText)}, "[0 0 " + hugeNumber() + " " + hugeNumber() + "]"),
         {kNoTextLayer}},
        {"mediabox_negative", simplePdf({textContent(kText)}, "[0 0 -612 -792]"), {kNoTextLayer}},
        {"mediabox_nan", simplePdf({textContent(kText)}, "[0 0 NaN nan]"), {kOk}},
        {"mediabox_empty", simplePdf({textContent(kText)}, "[0 0 0 0]"), {kOk}},
        {"rotate_absurd", edited(plain, "/Type /Page ", "/Type /Page /Rotate -2147483648 "), {kOk}},
        {"text_numbers_absurd",
         simplePdf({textContent(kText) + " BT /F1 " + hugeNumber() + " Tf 1 0 0 1 -" + hugeNumber() + " " + hugeNumber()
                    + " Tm (Huge) Tj 999999999 Tz 999999999 Tc 999999999 Tw -999999999 TL (far) Tj T* (farther) Tj "
                      "0 0 0 0 0 0 Tm (degenerate) Tj ET BT /F1 0.000000001 Tf 72 600 Td (tiny) Tj ET"}),
         {kOk}},
        {"stream_length_huge", edited(plain, "/Length ", "/Length 99999999999 /Ignored "), {kOk}},
        {"stream_length_negative", edited(plain, "/Length ", "/Length -5 /Ignored "), {kNoTextLayer}},
        {"inline_image_huge",
         simplePdf({textContent(kText) + " q BI /W " + kInt32Max + " /H " + kInt32Max + " /BPC 8 /CS /RGB ID \x01\x02\x03 EI Q"}),
         {kOk}},
        // Control characters.
        // Its text layer decodes to control codes only, so the page is recognised from its glyphs.
        {"font_decodes_to_control_codes", controlCodeFont(), {kOk}},
        // Without recognition such a page is no text at all, never an empty document.
        {"font_decodes_to_control_codes_unrecognised", controlCodeFont(), {kNoTextLayer}, {"--ocr=never"}},
        {"control_characters_in_text",
         simplePdf({textContent(std::string("Visible\x01\x02\x03 text\x1B[31m red\x7F\x85\x00 end", 31))}),
         {kOk}},
        {"control_characters_in_information", controlCodesInInfo(), {kOk}},
        // Huge counts and nesting.
        {"nesting_100000_deep", simplePdf({textContent(kText) + " " + repeat("[", kDeepNesting)}), {kOk}},
        {"cmap_ranges_huge", chineseType0("bfrange", {"<0000> <FFFF> <0041>", "<00000000> <FFFFFFFF> <00000041>"}), {kOk}},
        // Streams that are not what they say.
        {"flate_stream_of_junk",
         edited(plain, "/Length ", "/Filter /FlateDecode /Length "),
         {kNoTextLayer}},
        {"unknown_filter", edited(plain, "/Length ", "/Filter /NoSuchFilter /Length "), {kNoTextLayer}},
        {"password", encrypted(), {kPassword}},
        // Pictures that are not what they say: each is left out with a
        // warning (or drawn in part), the text kept.
        {"picture_flate_corrupt", pictureWith(imageObject(8, 8, 8, imageEntries("/Filter /FlateDecode"), "\x78\x9C junk, not deflate")), {kOk}},
        {"picture_flate_truncated",
         pictureWith(imageObject(8, 8, 8, imageEntries("/Filter /FlateDecode"), deflate(rgbBands()).substr(0, deflate(rgbBands()).size() / 2))), {kOk}},
        {"picture_jpeg_corrupt",
         picturePdfs("\xFF\xDA", "\xFF\xDA\xFF\xFF\xFF\x00junk", jpegPicture()), {kOk}},
        {"picture_jpeg_truncated",
         pictureWith(imageObject(8, 8, 8, imageEntries("/Filter /DCTDecode"), encodeJpeg(8, 8, 3, rgbBands()).substr(0, 200))),
         {kOk}},
        {"picture_jpeg_size_lies",
         pictureWith(imageObject(4000, 3000, 8, imageEntries("/Filter /DCTDecode"), encodeJpeg(8, 8, 3, rgbBands()))), {kOk}},
        {"picture_filter_unknown", pictureWith(imageObject(8, 8, 8, imageEntries("/Filter /NoSuchFilter"), rgbBands())), {kOk}},
        {"picture_100000_pixels_square",
         pictureWith(imageObject(100000, 100000, 8, imageEntries("/Filter /FlateDecode"), deflate(std::string(1 << 16, '\x7F')))),
         {kOk}},
        {"picture_side_past_2_31",
         picturePdfs("/Width 8 /Height 8", std::string("/Width ") + kInt32Max + " /Height " + kInt32Max,
                     pictureWith(imageObject(8, 8, 8, imageEntries(), rgbBands()))),
         {kOk}},
        {"pictures_5000_on_a_page", manyImages(), {kOk}},
        {"picture_length_short", picturePdfs("/Length 192", "/Length 10", pictureWith(imageObject(8, 8, 8, imageEntries(), rgbBands()))), {kOk}},
        {"picture_length_long", picturePdfs("/Length 192", "/Length 99999", pictureWith(imageObject(8, 8, 8, imageEntries(), rgbBands()))), {kOk}},
        {"picture_soft_mask_wrong_size", softMaskedPicture(3, 1), {kOk}},
        {"picture_soft_mask_huge_size", softMaskedPicture(100000, 2), {kOk}},
        {"picture_explicit_mask_wrong_size", explicitMaskPicture(1000, 1), {kOk}},
        {"picture_scale_0", pictureWith(imageObject(8, 8, 8, imageEntries(), rgbBands()), "0 0 0 0 0 0"), {kOk}},
        {"picture_scale_1e30",
         pictureWith(imageObject(8, 8, 8, imageEntries(), rgbBands()), kScale1e30 + " 0 0 " + kScale1e30 + " 0 0"), {kOk}},
        {"picture_scale_1e30_turned",
         pictureWith(imageObject(8, 8, 8, imageEntries(), rgbBands()), "0 " + kScale1e30 + " -" + kScale1e30 + " 0 0 0"), {kOk}},
        // A page of no text but an image, recognised as a scan: the renderer
        // must not spend minutes on an image shown a billion points wide.
        {"scan_scaled_1e9_turned",
         pictureWith(imageObject(8, 8, 8, imageEntries(), rgbBands()), "0 1000000000 -1000000000 0 0 0", false),
         {kNoTextLayer}},
        // A page-sized image with a line of text: a scan, recognised. Its
        // samples (30 GB declared) are past what is read, so the renderer
        // leaves it out and the line is what is recognised.
        {"scan_100000_pixels_square_with_text",
         pictureWith(imageObject(100000, 100000, 8, imageEntries("/Filter /FlateDecode"), deflate(std::string(1 << 16, '\x7F'))),
                     "612 0 0 792 0 0"),
         {kOk}},
        // The same inline, on a page of nothing else: its data is skipped to
        // the end of the content, not for the 6 GB it declares (which took
        // past the time limit a recognised page adds).
        {"scan_inline_image_46341_square",
         simplePdf({"q 612 0 0 792 0 0 cm BI /W 46341 /H 46341 /BPC 8 /CS /RGB ID " + repeat("\x01\x02\x03", 100) + " EI Q"}),
         {kNoTextLayer}, {"--time-limit=20"}},
        {"picture_bits_absurd", pictureWith(imageObject(8, 8, 3, imageEntries(), rgbBands())), {kOk}},
        {"picture_16_bits", pictureWith(imageObject(8, 8, 16, imageEntries(), rgbBands() + rgbBands())), {kOk}},
        {"picture_palette_short",
         pictureWith(imageObject(8, 8, 8, "/ColorSpace [/Indexed /DeviceRGB 255 <FF0000>]", std::string(64, '\xC8'))), {kOk}},
        {"inline_picture_corrupt",
         simplePdf({textContent(kText) + " q 100 0 0 100 72 400 cm BI /W 50 /H 50 /BPC 8 /CS /RGB /F /Fl ID junk EI Q"}),
         {kOk}},
        {"picture_fills_a_huge_page", hugeImagePage(), {kOk}, {}, true},
        // Link annotations: only sound ones within the page's bound are kept.
        {"links_10000_on_a_page", manyLinks(), {kOk}},
        {"links_loops_and_nowhere", brokenLinks(), {kOk}},
        // Drawings that look like tables to a table finder: each converts in
        // its time, its words kept.
        {"table_grid_200_by_200", gridTable(200, 3.5, 0, 7), {kOk}},
        {"table_lines_nearly_meet", gridTable(6, 40, 0.4, 1), {kOk}},
        {"table_10000_tiny_boxes", boxesTable(10000, false), {kOk}},
        {"table_overlapping_frames", boxesTable(2000, true), {kOk}},
        {"table_one_cell", oneCellTable(), {kOk}},
        // Bombs. Saved graphics states would pile up until memory runs out:
        // every pass over a page stops at the bound on them, and the text
        // before them is kept; blanks only cost time.
        {"bomb_saved_states", bomb("q ", kBombPages), {kOk}, {kBombTimeLimit}, true},
        {"bomb_blanks", bomb(" ", kBlankBombPages), {kOk}, {kBombTimeLimit}, true},
    };
}

} // namespace pwt::hostile

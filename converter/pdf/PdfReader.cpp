#include "PdfReader.h"

#include "PageLinks.h"
#include "PageObjectCollector.h"
#include "RegionRenderer.h"

#include <ErrorCodes.h>
#include <Error.h>
#include <GlobalParams.h>
#include <goo/GooString.h>
#include <goo/gmem.h>
#include <PDFDoc.h>
#include <Stream.h>
#include <TextOutputDev.h>
#include <UTF.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <mutex>
#include <utility>
#include <vector>

namespace pwt::pdf {

namespace {

constexpr std::size_t kSignatureWindow = 1024; // "%PDF-" may follow junk up to here
// "%%EOF" is looked for this far before the end of the file, not counting
// trailing padding; poppler itself does not insist on the marker.
constexpr std::size_t kEndMarkerWindow = 2048;
constexpr std::size_t kTailChunk = 64 * 1024;
// Files up to this size are read into memory at once: poppler reads a file
// 256 bytes per system call, which costs as much as the text extraction
// itself. Larger ones (scans) are read from the file as they are needed.
constexpr std::size_t kInMemoryLimit = 64u << 20;

void ignorePopplerMessage(ErrorCategory, Goffset, const char*) {}

// Poppler keeps process-wide settings; set them up once and keep its
// diagnostics off stderr, where our single error line must stand alone.
void initPoppler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        globalParams = std::make_unique<GlobalParams>();
        globalParams->setErrQuiet(true);
        setErrorCallback(ignorePopplerMessage);
    });
}

std::string readHead(std::ifstream& in, std::size_t n)
{
    std::string s(n, '\0');
    in.read(s.data(), static_cast<std::streamsize>(n));
    s.resize(static_cast<std::size_t>(in.gcount()));
    return s;
}

// The last `n` bytes of the file before any trailing padding.
std::string readTailPastPadding(std::ifstream& in, std::size_t n)
{
    in.clear();
    in.seekg(0, std::ios::end);
    std::size_t end = static_cast<std::size_t>(in.tellg());
    // Walk back over the padding a chunk at a time.
    while (end > 0) {
        const std::size_t from = end > kTailChunk ? end - kTailChunk : 0;
        in.seekg(static_cast<std::streamoff>(from));
        const std::string chunk = readHead(in, end - from);
        const auto last = chunk.find_last_not_of(std::string_view(" \t\r\n\f\0", 6));
        if (last != std::string::npos) {
            end = from + last + 1;
            break;
        }
        if (chunk.size() != end - from)
            return {};
        end = from;
    }
    const std::size_t from = end > n ? end - n : 0;
    in.seekg(static_cast<std::streamoff>(from));
    return readHead(in, end - from);
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// An Info dictionary string is PDFDocEncoding or UTF-16 with a BOM.
std::string textStringToUtf8(const GooString* s)
{
    if (!s)
        return {};
    Unicode* ucs4 = nullptr;
    const int n = TextStringToUCS4(s->toStr(), &ucs4);
    std::string out;
    for (int i = 0; i < n; ++i)
        if (ucs4[i] >= 0x20 || ucs4[i] == '\t')
            appendUtf8(out, static_cast<char32_t>(ucs4[i]));
    gfree(ucs4);
    return out;
}

std::uint32_t toRgb(double r, double g, double b)
{
    auto channel = [](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    return (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

void setFont(TextWord& out, const TextFontInfo* font)
{
    if (const GooString* name = font->getFontName())
        out.fontName = name->toStr();
    out.bold = font->isBold();
    out.italic = font->isItalic();
    out.fixedWidth = font->isFixedWidth();
    out.serif = font->isSerif();
}

// Which of the page's link areas holds the middle of the character box `c`
// (the first that does); -1 for none. `near` are the areas the word touches.
int linkHolding(const Box& c, const std::vector<const PageLink*>& near, const std::vector<PageLink>& links)
{
    const double x = (c.xMin + c.xMax) / 2, y = (c.yMin + c.yMax) / 2;
    for (const PageLink* link : near)
        if (holdsPoint(link->area, x, y))
            return static_cast<int>(link - links.data());
    return -1;
}

// Poppler's word, cut where the font, the colour or the link area over its
// characters changes: poppler joins characters by position alone, so a line
// of Chinese with a bold, red or linked phrase inside comes as one word of
// two fonts, of its first character's colour, half of it under a link.
void appendWord(const ::TextWord* w, const GlyphColours& colours, const std::vector<PageLink>& links, std::vector<TextWord>& out)
{
    const int length = w->getLength();
    double r = 0, g = 0, b = 0;
    w->getColor(&r, &g, &b);
    TextWord base;
    base.baseline = w->getBaseline();
    base.fontSize = w->getFontSize();
    base.colorRgb = toRgb(r, g, b);
    if (length == 0) {
        w->getBBox(&base.box.xMin, &base.box.yMin, &base.box.xMax, &base.box.yMax);
        base.spaceAfter = w->getSpaceAfter();
        out.push_back(std::move(base));
        return;
    }
    std::vector<Box> boxes(static_cast<std::size_t>(length));
    std::vector<std::uint32_t> rgb(boxes.size(), base.colorRgb);
    for (int i = 0; i < length; ++i) {
        Box& c = boxes[static_cast<std::size_t>(i)];
        w->getCharBBox(i, &c.xMin, &c.yMin, &c.xMax, &c.yMax);
        if (colours.varied() && length > 1)
            rgb[static_cast<std::size_t>(i)] = colours.colourIn(c, base.baseline, w->getRotation() % 2 == 1, base.colorRgb);
    }
    // The link areas the word touches; most words touch none.
    std::vector<const PageLink*> near;
    if (length > 1) {
        Box whole;
        w->getBBox(&whole.xMin, &whole.yMin, &whole.xMax, &whole.yMax);
        for (const PageLink& link : links)
            if (link.area.xMin < whole.xMax && link.area.xMax > whole.xMin && link.area.yMin < whole.yMax && link.area.yMax > whole.yMin)
                near.push_back(&link);
    }
    std::vector<int> linkOf(boxes.size(), -1);
    if (!near.empty())
        for (std::size_t i = 0; i < boxes.size(); ++i)
            linkOf[i] = linkHolding(boxes[i], near, links);
    for (int start = 0; start < length;) {
        const TextFontInfo* font = w->getFontInfo(start);
        const auto first = static_cast<std::size_t>(start);
        int end = start + 1;
        while (end < length && w->getFontInfo(end) == font && rgb[static_cast<std::size_t>(end)] == rgb[first]
               && linkOf[static_cast<std::size_t>(end)] == linkOf[first])
            ++end;
        const std::uint32_t colour = rgb[first];
        TextWord piece = base;
        piece.colorRgb = colour;
        piece.text.reserve(static_cast<std::size_t>(end - start));
        for (int i = start; i < end; ++i) {
            piece.text += static_cast<char32_t>(*w->getChar(i));
            const Box& c = boxes[static_cast<std::size_t>(i)];
            if (i == start) {
                piece.box = c;
            } else {
                piece.box.xMin = std::min(piece.box.xMin, c.xMin);
                piece.box.yMin = std::min(piece.box.yMin, c.yMin);
                piece.box.xMax = std::max(piece.box.xMax, c.xMax);
                piece.box.yMax = std::max(piece.box.yMax, c.yMax);
            }
        }
        setFont(piece, font);
        piece.spaceAfter = end == length && w->getSpaceAfter();
        out.push_back(std::move(piece));
        start = end;
    }
}

} // namespace

struct PdfReader::Impl {
    std::vector<char> bytes; // the file, when read into memory; outlives doc
    std::unique_ptr<PDFDoc> doc;
    // Poppler's text output (physical layout off: it then sorts blocks into
    // flows in reading order) that also collects images and paths.
    PageObjectCollector textOut;
    std::unique_ptr<RegionRenderer> regions; // made on first use
};

PdfReader::PdfReader() = default;
PdfReader::~PdfReader() = default;

bool hasPdfSignature(const std::string& firstBytes)
{
    return firstBytes.substr(0, kSignatureWindow).find("%PDF-") != std::string::npos;
}

bool hasEndMarker(const std::string& lastBytes)
{
    return lastBytes.find("%%EOF") != std::string::npos;
}

ReadFailure PdfReader::open(const std::string& path)
{
    initPoppler();
    m_impl.reset();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        m_detail = "cannot be opened for reading";
        return ReadFailure::Unreadable;
    }
    if (!hasPdfSignature(readHead(in, kSignatureWindow))) {
        m_detail = "is not a PDF file";
        return ReadFailure::NotPdf;
    }
    if (!hasEndMarker(readTailPastPadding(in, kEndMarkerWindow))) {
        m_detail = "is truncated (its end is missing)";
        return ReadFailure::Truncated;
    }

    auto impl = std::make_unique<Impl>();
    in.clear();
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::size_t>(in.tellg());
    if (size <= kInMemoryLimit) {
        impl->bytes.resize(size);
        in.seekg(0);
        if (!in.read(impl->bytes.data(), static_cast<std::streamsize>(size))) {
            m_detail = "cannot be read";
            return ReadFailure::Unreadable;
        }
        auto* stream = new MemStream(impl->bytes.data(), 0, static_cast<Goffset>(size), Object(objNull));
        impl->doc = std::make_unique<PDFDoc>(stream); // the document owns the stream
    } else {
        impl->doc = std::make_unique<PDFDoc>(std::make_unique<GooString>(path));
    }
    in.close();
    if (!impl->doc->isOk()) {
        const int code = impl->doc->getErrorCode();
        if (code == errEncrypted) {
            m_detail = "is protected by a password";
            return ReadFailure::Encrypted;
        }
        if (code == errOpenFile) {
            m_detail = "cannot be opened for reading";
            return ReadFailure::Unreadable;
        }
        m_detail = "is damaged and cannot be read";
        return ReadFailure::Damaged;
    }
    if (impl->doc->getNumPages() <= 0) {
        m_detail = "is damaged: it has no pages";
        return ReadFailure::Damaged;
    }
    if (!impl->textOut.isOk()) {
        m_detail = "cannot be read: poppler's text output failed";
        return ReadFailure::Damaged;
    }
    m_impl = std::move(impl);
    m_detail.clear();
    return ReadFailure::None;
}

int PdfReader::pageCount() const
{
    return m_impl ? m_impl->doc->getNumPages() : 0;
}

DocumentMetadata PdfReader::metadata() const
{
    DocumentMetadata m;
    if (!m_impl)
        return m;
    m.title = textStringToUtf8(m_impl->doc->getDocInfoStringEntry("Title").get());
    m.author = textStringToUtf8(m_impl->doc->getDocInfoStringEntry("Author").get());
    m.subject = textStringToUtf8(m_impl->doc->getDocInfoStringEntry("Subject").get());
    m.keywords = textStringToUtf8(m_impl->doc->getDocInfoStringEntry("Keywords").get());
    return m;
}

namespace {

// Poppler asks this between a page's drawing operators whether to stop:
// when the page's time is up, or its saved states pile up past the bound.
struct PageDeadline {
    std::chrono::steady_clock::time_point end;
    const PageObjectCollector* collector = nullptr;
    bool passed = false;
};

bool pastDeadline(void* data)
{
    auto* deadline = static_cast<PageDeadline*>(data);
    if (!deadline->passed && std::chrono::steady_clock::now() >= deadline->end)
        deadline->passed = true;
    return deadline->passed || (deadline->collector && deadline->collector->tooDeep());
}

} // namespace

PdfReader::PageRead PdfReader::readPage(int number, PageText& page, double budgetSeconds)
{
    page = PageText{};
    page.number = number;
    if (!m_impl || number < 1 || number > pageCount())
        return PageRead::Failed;
    PDFDoc& doc = *m_impl->doc;
    if (!doc.getPage(number))
        return PageRead::Failed;

    // The page as shown: its own /Rotate turns width and height.
    const bool turned = doc.getPageRotate(number) % 180 != 0;
    const double w = doc.getPageMediaWidth(number);
    const double h = doc.getPageMediaHeight(number);
    page.width = turned ? h : w;
    page.height = turned ? w : h;

    PageDeadline deadline{std::chrono::steady_clock::now()
                          + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(std::min(budgetSeconds, 1e6))),
                          &m_impl->textOut};
    m_impl->textOut.beginPage([&deadline] { return pastDeadline(&deadline); });
    doc.displayPage(&m_impl->textOut, number, 72, 72, 0, true, false, false, pastDeadline, &deadline);
    page.images = m_impl->textOut.takeImages();
    page.paths = m_impl->textOut.takePaths();
    page.links = readPageLinks(doc, number);
    for (std::string& warning : m_impl->textOut.takeWarnings())
        m_warnings.push_back(std::move(warning));
    for (const ::TextFlow* flow = m_impl->textOut.getFlows(); flow; flow = flow->getNext()) {
        TextFlow& outFlow = page.flows.emplace_back();
        for (const ::TextBlock* block = flow->getBlocks(); block; block = block->getNext()) {
            TextBlock& outBlock = outFlow.blocks.emplace_back();
            block->getBBox(&outBlock.box.xMin, &outBlock.box.yMin, &outBlock.box.xMax, &outBlock.box.yMax);
            for (const ::TextLine* line = block->getLines(); line; line = line->getNext()) {
                TextLine& outLine = outBlock.lines.emplace_back();
                for (const ::TextWord* word = line->getWords(); word; word = word->getNext()) {
                    appendWord(word, m_impl->textOut.glyphColours(), page.links, outLine.words);
                    outBlock.rotation = word->getRotation();
                }
            }
        }
    }
    return deadline.passed ? PageRead::CutShort : PageRead::Whole;
}

std::vector<std::string> PdfReader::takeWarnings()
{
    return std::exchange(m_warnings, {});
}

std::shared_ptr<const ImageData> PdfReader::renderRegion(int page, const Box& region, double dpi, double budgetSeconds)
{
    if (!m_impl)
        return nullptr;
    if (!m_impl->regions)
        m_impl->regions = std::make_unique<RegionRenderer>(*m_impl->doc);
    return m_impl->regions->render(page, region, dpi, budgetSeconds);
}

} // namespace pwt::pdf

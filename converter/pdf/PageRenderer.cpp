#include "PageRenderer.h"

#include "SavedStates.h"

#include "BoundedSplashOutputDev.h"

#include <ErrorCodes.h>
#include <Error.h>
#include <GfxState.h>
#include <GlobalParams.h>
#include <OutputDev.h>
#include <PDFDoc.h>
#include <SplashOutputDev.h>
#include <goo/GooString.h>
#include <splash/SplashBitmap.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

namespace pwt::pdf {

namespace {

// Image coverage is counted on a grid of this many cells a side, so that
// overlapping images (tiles, an image and its mask) count once.
constexpr int kCoverageGridCells = 64;

void ignorePopplerMessage(ErrorCategory, Goffset, const char*) {}

// Poppler's process-wide settings: the reader sets them up in pwt; a
// renderer used on its own (the tests) does it here.
void initPoppler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (!globalParams) {
            globalParams = std::make_unique<GlobalParams>();
            globalParams->setErrQuiet(true);
            setErrorCallback(ignorePopplerMessage);
        }
    });
}

// Follows a page's drawing without drawing it: marks the grid cells its
// images cover, and notes whether it draws anything at all.
class PageSurveyDev : public OutputDev {
public:
    PageSurveyDev(double pageWidth, double pageHeight)
        : m_width(pageWidth), m_height(pageHeight), m_cells(kCoverageGridCells * kCoverageGridCells, false)
    {
    }

    bool upsideDown() override { return true; }
    bool useDrawChar() override { return true; }
    bool interpretType3Chars() override { return false; }
    void saveState(GfxState*) override { m_savedStates.saved(); }
    void restoreState(GfxState*) override { m_savedStates.restored(); }
    SavedStates* savedStates() { return &m_savedStates; }

    // Shadings and tiling patterns reach stroke() and fill() as poppler
    // breaks them down, and Type 3 glyphs drawChar().
    void stroke(GfxState*) override { m_marked = true; }
    void fill(GfxState*) override { m_marked = true; }
    void eoFill(GfxState*) override { m_marked = true; }
    void drawChar(GfxState*, double, double, double, double, double, double, CharCode, int, const Unicode*, int) override
    {
        m_marked = true;
    }

    void drawImageMask(GfxState* state, Object*, Stream* str, int width, int height, bool, bool, bool inlineImg) override
    {
        mark(state);
        if (inlineImg)
            skipInlineImageData(str, width, height, 1, 1);
    }
    void drawImage(GfxState* state, Object*, Stream* str, int width, int height, GfxImageColorMap* colorMap, bool,
                   const int*, bool inlineImg) override
    {
        mark(state);
        if (inlineImg && colorMap)
            skipInlineImageData(str, width, height, colorMap->getNumPixelComps(), colorMap->getBits());
    }
    void drawMaskedImage(GfxState* state, Object*, Stream*, int, int, GfxImageColorMap*, bool, Stream*, int, int, bool,
                         bool) override
    {
        mark(state);
    }
    void drawSoftMaskedImage(GfxState* state, Object*, Stream*, int, int, GfxImageColorMap*, bool, Stream*, int, int,
                             GfxImageColorMap*, bool) override
    {
        mark(state);
    }

    double coverage() const
    {
        const auto covered = std::count(m_cells.begin(), m_cells.end(), true);
        return static_cast<double>(covered) / static_cast<double>(m_cells.size());
    }
    bool marked() const { return m_marked; }

    // For displayPage's abort callback: stops at the first mark when only
    // whether there is one is asked, and on a page saving states without end.
    bool stopAtFirstMark = false;
    static bool stop(void* data)
    {
        auto* dev = static_cast<PageSurveyDev*>(data);
        return (dev->stopAtFirstMark && dev->m_marked) || dev->m_savedStates.tooDeep();
    }

private:
    SavedStates m_savedStates;

    // An image fills the unit square of its user space; its box on the page
    // is where the current transformation puts that square.
    void mark(const GfxState* state)
    {
        m_marked = true;
        double xs[4], ys[4];
        const double corners[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
        for (int i = 0; i < 4; ++i)
            state->transform(corners[i][0], corners[i][1], &xs[i], &ys[i]);
        const double x0 = *std::min_element(xs, xs + 4), x1 = *std::max_element(xs, xs + 4);
        const double y0 = *std::min_element(ys, ys + 4), y1 = *std::max_element(ys, ys + 4);
        if (!(m_width > 0 && m_height > 0) || !std::isfinite(x0 + x1 + y0 + y1))
            return;
        for (int row = 0; row < kCoverageGridCells; ++row) {
            const double y = (row + 0.5) * m_height / kCoverageGridCells;
            if (y < y0 || y > y1)
                continue;
            for (int col = 0; col < kCoverageGridCells; ++col) {
                const double x = (col + 0.5) * m_width / kCoverageGridCells;
                if (x >= x0 && x <= x1)
                    m_cells[static_cast<std::size_t>(row * kCoverageGridCells + col)] = true;
            }
        }
    }

    double m_width, m_height;
    std::vector<bool> m_cells;
    bool m_marked = false;
};

} // namespace

struct PageRenderer::Impl {
    std::unique_ptr<PDFDoc> doc;

    // The page as shown: its own /Rotate turns width and height.
    void shownSize(int number, double& width, double& height) const
    {
        const bool turned = doc->getPageRotate(number) % 180 != 0;
        const double w = doc->getPageMediaWidth(number);
        const double h = doc->getPageMediaHeight(number);
        width = turned ? h : w;
        height = turned ? w : h;
    }

    struct PageSurvey {
        double imageShare = 0;
        bool marked = false;
    };
    // Follows page `number`'s drawing; false when there is no such page.
    bool survey(int number, PageSurvey& result, bool stopAtFirstMark);
};

PageRenderer::PageRenderer() = default;
PageRenderer::~PageRenderer() = default;

double cappedDpi(double widthPt, double heightPt, double wanted)
{
    const double widthIn = widthPt / 72.0, heightIn = heightPt / 72.0;
    double dpi = wanted;
    if (widthIn * heightIn * dpi * dpi > kMaxRenderedPixels)
        dpi = std::sqrt(kMaxRenderedPixels / (widthIn * heightIn));
    const double longest = std::max(widthIn, heightIn);
    if (longest * dpi > kMaxRenderedSide)
        dpi = kMaxRenderedSide / longest;
    return dpi;
}

ReadFailure PageRenderer::open(const std::string& path)
{
    initPoppler();
    m_impl.reset();
    auto impl = std::make_unique<Impl>();
    impl->doc = std::make_unique<PDFDoc>(std::make_unique<GooString>(path));
    if (!impl->doc->isOk()) {
        const int code = impl->doc->getErrorCode();
        if (code == errEncrypted)
            return ReadFailure::Encrypted;
        return code == errOpenFile ? ReadFailure::Unreadable : ReadFailure::Damaged;
    }
    if (impl->doc->getNumPages() <= 0)
        return ReadFailure::Damaged;
    m_impl = std::move(impl);
    return ReadFailure::None;
}

int PageRenderer::pageCount() const
{
    return m_impl ? m_impl->doc->getNumPages() : 0;
}

GreyImage PageRenderer::render(int number, double dpi)
{
    GreyImage image;
    if (!m_impl || number < 1 || number > pageCount() || !m_impl->doc->getPage(number))
        return image;
    double width = 0, height = 0;
    m_impl->shownSize(number, width, height);
    if (!(width >= kMinPageSidePt && height >= kMinPageSidePt))
        return image;
    dpi = cappedDpi(width, height, std::min(dpi, kRecognitionDpi));

    SplashColor paper;
    paper[0] = 0xff;
    BoundedSplashOutputDev out(splashModeMono8, 1, false, paper);
    out.startDoc(m_impl->doc.get());
    m_impl->doc->displayPage(&out, number, dpi, dpi, 0, true, false, false, SavedStates::stop, out.savedStates());
    const SplashBitmap* bitmap = out.getBitmap();
    if (!bitmap || bitmap->getWidth() <= 0 || bitmap->getHeight() <= 0)
        return image;

    image.width = bitmap->getWidth();
    image.height = bitmap->getHeight();
    image.dpi = dpi;
    image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    const auto rowSize = static_cast<std::size_t>(bitmap->getRowSize());
    const SplashColorConstPtr data = bitmap->getDataPtr();
    for (int y = 0; y < image.height; ++y)
        std::memcpy(image.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width),
                    data + static_cast<std::size_t>(y) * rowSize, static_cast<std::size_t>(image.width));
    return image;
}

bool PageRenderer::Impl::survey(int number, PageSurvey& result, bool stopAtFirstMark)
{
    if (number < 1 || number > doc->getNumPages() || !doc->getPage(number))
        return false;
    double width = 0, height = 0;
    shownSize(number, width, height);
    PageSurveyDev dev(width, height);
    dev.stopAtFirstMark = stopAtFirstMark;
    doc->displayPage(&dev, number, 72, 72, 0, true, false, false, PageSurveyDev::stop, &dev);
    result.imageShare = dev.coverage();
    result.marked = dev.marked();
    return true;
}

double PageRenderer::imageCoverage(int number)
{
    Impl::PageSurvey result;
    return m_impl && m_impl->survey(number, result, false) ? result.imageShare : 0;
}

bool PageRenderer::drawsAnything(int number)
{
    Impl::PageSurvey result;
    // A page that cannot be followed is taken to draw something: the
    // renderer is then asked and tells.
    return !m_impl || !m_impl->survey(number, result, true) || result.marked;
}

} // namespace pwt::pdf

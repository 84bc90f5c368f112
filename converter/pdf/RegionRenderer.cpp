#include "RegionRenderer.h"

#include "BoundedSplashOutputDev.h"
#include "PngEncoder.h"
#include "Raster.h"

#include <PDFDoc.h>
#include <SplashOutputDev.h>
#include <splash/SplashBitmap.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace pwt::pdf {

namespace {

constexpr double kPointsPerInch = 72.0;
// Rows of the drawn bitmap are padded to this many bytes.
constexpr int kRowPad = 4;

struct RegionDeadline {
    std::chrono::steady_clock::time_point end;
    const SavedStates* states = nullptr;
    bool passed = false;
};

bool regionPastDeadline(void* data)
{
    auto* deadline = static_cast<RegionDeadline*>(data);
    if (!deadline->passed && std::chrono::steady_clock::now() >= deadline->end)
        deadline->passed = true;
    // A page saving states without end is given up like one out of time.
    if (deadline->states && deadline->states->tooDeep())
        deadline->passed = true;
    return deadline->passed;
}

} // namespace

double regionDpi(double widthPt, double heightPt, double wanted)
{
    const double pixels = widthPt / kPointsPerInch * wanted * heightPt / kPointsPerInch * wanted;
    return pixels > kMaxRegionPixels ? wanted * std::sqrt(kMaxRegionPixels / pixels) : wanted;
}

RegionRenderer::RegionRenderer(PDFDoc& doc) : m_doc(doc) {}

RegionRenderer::~RegionRenderer() = default;

std::shared_ptr<const ImageData> RegionRenderer::render(int page, const Box& region, double dpi, double budgetSeconds)
{
    if (page < 1 || page > m_doc.getNumPages() || !m_doc.getPage(page) || !(dpi > 0) || !std::isfinite(dpi))
        return nullptr;
    const bool turned = m_doc.getPageRotate(page) % 180 != 0;
    const double pageWidth = turned ? m_doc.getPageMediaHeight(page) : m_doc.getPageMediaWidth(page);
    const double pageHeight = turned ? m_doc.getPageMediaWidth(page) : m_doc.getPageMediaHeight(page);
    const Box cut{std::max(region.xMin, 0.0), std::max(region.yMin, 0.0), std::min(region.xMax, pageWidth),
                  std::min(region.yMax, pageHeight)};
    if (!(cut.width() > 0 && cut.height() > 0))
        return nullptr;
    dpi = regionDpi(cut.width(), cut.height(), dpi);
    const double scale = dpi / kPointsPerInch;
    const int x0 = static_cast<int>(std::floor(cut.xMin * scale));
    const int y0 = static_cast<int>(std::floor(cut.yMin * scale));
    const int width = std::max(1, static_cast<int>(std::ceil(cut.xMax * scale)) - x0);
    const int height = std::max(1, static_cast<int>(std::ceil(cut.yMax * scale)) - y0);

    if (!m_out) {
        SplashColor paper;
        paper[0] = paper[1] = paper[2] = 0xFF;
        m_out = std::make_unique<BoundedSplashOutputDev>(splashModeRGB8, kRowPad, false, paper);
        m_out->startDoc(&m_doc);
    }
    RegionDeadline deadline{std::chrono::steady_clock::now()
                            + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double>(std::clamp(budgetSeconds, 0.0, kRegionBudgetSeconds))),
                            m_out->savedStates()};
    m_doc.displayPageSlice(m_out.get(), page, dpi, dpi, 0, true, false, false, x0, y0, width, height,
                           regionPastDeadline, &deadline);
    const SplashBitmap* bitmap = m_out->getBitmap();
    if (deadline.passed || !bitmap || bitmap->getWidth() <= 0 || bitmap->getHeight() <= 0)
        return nullptr;
    // Most figures are black or grey line art: stored in grey they take a
    // third of the bytes and of the encoding time.
    Raster drawn(bitmap->getWidth(), bitmap->getHeight(), 3, 0);
    const auto rowBytes = static_cast<std::size_t>(drawn.width) * 3;
    for (int y = 0; y < drawn.height; ++y)
        std::memcpy(drawn.row(y), bitmap->getDataPtr() + static_cast<std::ptrdiff_t>(y) * bitmap->getRowSize(), rowBytes);
    dropUnusedChannels(drawn);
    auto image = std::make_shared<ImageData>();
    image->format = ImageFormat::Png;
    image->pixelWidth = drawn.width;
    image->pixelHeight = drawn.height;
    image->bytes = encodePng(drawn);
    if (image->bytes.empty())
        return nullptr;
    return image;
}

} // namespace pwt::pdf

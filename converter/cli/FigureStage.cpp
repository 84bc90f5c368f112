#include "FigureStage.h"

#include "FigureFinder.h"

#include <chrono>

namespace pwt::cli {

void FigureStage::addPage(const pdf::PageText& page)
{
    const layout::FigureRegions regions = layout::findFigures(page);
    if (regions.figures.empty()) {
        m_builder.addPage(page, regions.backgrounds);
        return;
    }
    pdf::PageText withFigures = page;
    std::vector<pdf::Box> rendered;
    const auto start = std::chrono::steady_clock::now();
    for (const pdf::Box& region : regions.figures) {
        const double left = kFigureSecondsPerPage - std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        auto picture = rendered.size() < kMaxFiguresPerPage && left > 0
            ? m_reader.renderRegion(page.number, region, kFigureDpi, left)
            : nullptr;
        if (!picture) {
            ++m_leftAsText; // its words stay text
            continue;
        }
        withFigures.images.push_back(pdf::PageImage{region, region, std::move(picture), false});
        rendered.push_back(region);
        ++m_rendered;
    }
    layout::removeWordsInside(withFigures, rendered);
    m_builder.addPage(withFigures, regions.backgrounds);
}

} // namespace pwt::cli

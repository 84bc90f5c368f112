#include "FigureStage.h"

#include "FigureFinder.h"

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
    for (const pdf::Box& region : regions.figures) {
        auto picture = m_reader.renderRegion(page.number, region, kFigureDpi);
        if (!picture)
            continue; // poppler could not draw it: its words stay text
        withFigures.images.push_back(pdf::PageImage{region, region, std::move(picture), false});
        rendered.push_back(region);
        ++m_rendered;
    }
    layout::removeWordsInside(withFigures, rendered);
    m_builder.addPage(withFigures, regions.backgrounds);
}

} // namespace pwt::cli

#include "Readability.h"

namespace pwt::layout {

namespace {

double channel(std::uint32_t rgb, int shift) { return static_cast<double>((rgb >> shift) & 0xFF) / 255.0; }

// Rec. 709 weights: what the eye makes of a colour's brightness.
double luminance(std::uint32_t rgb)
{
    return 0.2126 * channel(rgb, 16) + 0.7152 * channel(rgb, 8) + 0.0722 * channel(rgb, 0);
}

bool isPaper(std::uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) >= kPaperChannelMin && ((rgb >> 8) & 0xFF) >= kPaperChannelMin
        && (rgb & 0xFF) >= kPaperChannelMin;
}

bool isLightText(const Paragraph& paragraph)
{
    bool any = false;
    for (const Run& run : paragraph.runs) {
        if (run.text.empty())
            continue;
        if (luminance(run.format.colorRgb) < kLightTextLuminance)
            return false;
        any = true;
    }
    return any;
}

} // namespace

std::optional<std::uint32_t> colourBehind(const pdf::Box& box, const std::vector<Background>& backgrounds)
{
    const double x = (box.xMin + box.xMax) / 2, y = (box.yMin + box.yMax) / 2;
    for (auto it = backgrounds.rbegin(); it != backgrounds.rend(); ++it)
        if (pdf::holdsPoint(it->box, x, y))
            return isPaper(it->rgb) ? std::nullopt : std::optional<std::uint32_t>(it->rgb);
    return std::nullopt;
}

void keepReadable(Paragraph& paragraph, std::optional<std::uint32_t> behind)
{
    if (behind) {
        paragraph.format.shaded = true;
        paragraph.format.shadingRgb = *behind;
    } else if (isLightText(paragraph)) {
        paragraph.format.shaded = true;
        paragraph.format.shadingRgb = kDarkShadingRgb;
    }
}

} // namespace pwt::layout

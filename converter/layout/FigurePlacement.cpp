#include "FigurePlacement.h"

#include "ReadingOrder.h"

#include <algorithm>
#include <cmath>

namespace pwt::layout {

namespace {

bool contains(const pdf::Box& outer, const pdf::Box& inner)
{
    return inner.xMin >= outer.xMin && inner.xMax <= outer.xMax && inner.yMin >= outer.yMin && inner.yMax <= outer.yMax;
}

bool containsPoint(const pdf::Box& b, double x, double y)
{
    return x >= b.xMin && x <= b.xMax && y >= b.yMin && y <= b.yMax;
}

double overlap(double a0, double a1, double b0, double b1)
{
    return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

std::size_t wordsOn(const pdf::PageText& page, const pdf::Box& box)
{
    std::size_t n = 0;
    for (const auto& flow : page.flows)
        for (const auto& block : flow.blocks) {
            if (overlap(block.box.xMin, block.box.xMax, box.xMin, box.xMax) <= 0
                || overlap(block.box.yMin, block.box.yMax, box.yMin, box.yMax) <= 0)
                continue;
            for (const auto& line : block.lines)
                for (const auto& w : line.words)
                    if (containsPoint(box, (w.box.xMin + w.box.xMax) / 2, (w.box.yMin + w.box.yMax) / 2))
                        ++n;
        }
    return n;
}

bool usable(const pdf::PageImage& image)
{
    const pdf::Box& v = image.visible;
    return image.image && !image.image->bytes.empty() && std::isfinite(v.width()) && std::isfinite(v.height())
        && (v.width() >= kMinPictureSidePt || v.height() >= kMinPictureSidePt) && v.width() > 0 && v.height() > 0;
}

// An image drawn later over the whole of this one hides it (a stencil mask
// paints only its shape and hides nothing).
bool hiddenByLater(const std::vector<pdf::PageImage>& images, std::size_t i)
{
    for (std::size_t j = i + 1; j < images.size(); ++j)
        if (!images[j].mask && contains(images[j].visible, images[i].visible))
            return true;
    return false;
}

} // namespace

std::vector<PictureGroup> picturesOf(const pdf::PageText& page)
{
    std::vector<pdf::PageImage> kept;
    for (std::size_t i = 0; i < page.images.size(); ++i) {
        const pdf::PageImage& image = page.images[i];
        if (usable(image) && !hiddenByLater(page.images, i) && wordsOn(page, image.visible) < kBackgroundMinWords)
            kept.push_back(image);
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const pdf::PageImage& a, const pdf::PageImage& b) { return a.visible.yMin < b.visible.yMin; });

    std::vector<PictureGroup> groups;
    for (pdf::PageImage& image : kept) {
        const pdf::Box& v = image.visible;
        auto sideBySide = [&](const PictureGroup& g) {
            const double shorter = std::min(v.height(), g.box.height());
            return overlap(v.yMin, v.yMax, g.box.yMin, g.box.yMax) >= kSideBySideShare * shorter
                && overlap(v.xMin, v.xMax, g.box.xMin, g.box.xMax) <= 0;
        };
        if (!groups.empty() && sideBySide(groups.back())) {
            growBox(groups.back().box, v);
            groups.back().images.push_back(std::move(image));
        } else {
            PictureGroup& g = groups.emplace_back();
            g.box = v;
            g.images.push_back(std::move(image));
        }
    }
    for (PictureGroup& g : groups)
        std::stable_sort(g.images.begin(), g.images.end(),
                         [](const pdf::PageImage& a, const pdf::PageImage& b) { return a.visible.xMin < b.visible.xMin; });
    return groups;
}

void placeInReadingOrder(std::vector<PictureGroup>& groups, const PageLines& lines)
{
    const auto& blocks = lines.blocks;
    for (PictureGroup& g : groups) {
        const pdf::Box& p = g.box;
        auto sameColumn = [&](const Block& b) {
            return b.flow == kNoColumn || overlap(b.box.xMin, b.box.xMax, p.xMin, p.xMax) > 0;
        };
        // Before the first block of its column below its top...
        std::size_t place = blocks.size();
        for (std::size_t k = 0; k < blocks.size(); ++k)
            if (!blocks[k].marginNote && sameColumn(blocks[k]) && blocks[k].box.yMin >= p.yMin - kLevelTolerancePt) {
                place = k;
                break;
            }
        // ...or after the last one of its column above it.
        if (place == blocks.size())
            for (std::size_t k = blocks.size(); k-- > 0;)
                if (!blocks[k].marginNote && sameColumn(blocks[k])) {
                    place = k + 1;
                    break;
                }
        g.beforeBlock = place;
    }
    // A group never goes before one placed earlier on the page.
    for (std::size_t i = 1; i < groups.size(); ++i)
        groups[i].beforeBlock = std::max(groups[i].beforeBlock, groups[i - 1].beforeBlock);
}

Figure figureOf(const PictureGroup& group, const ColumnBounds& frame)
{
    Figure figure;
    for (const pdf::PageImage& image : group.images) {
        Picture& picture = figure.pictures.emplace_back();
        picture.image = image.image;
        const pdf::Box& b = image.box;
        const pdf::Box& v = image.visible;
        picture.width = std::max(1, twips(b.width()));
        picture.height = std::max(1, twips(b.height()));
        if (b.width() > 0 && b.height() > 0) {
            picture.cropLeft = std::clamp((v.xMin - b.xMin) / b.width(), 0.0, 1.0);
            picture.cropRight = std::clamp((b.xMax - v.xMax) / b.width(), 0.0, 1.0);
            picture.cropTop = std::clamp((v.yMin - b.yMin) / b.height(), 0.0, 1.0);
            picture.cropBottom = std::clamp((b.yMax - v.yMax) / b.height(), 0.0, 1.0);
        }
    }
    // Pictures wider together than their column (a figure across both
    // columns of a page set in Word columns) shrink to fit it.
    if (frame.width() > 0 && group.box.width() > frame.width()) {
        const double scale = frame.width() / group.box.width();
        for (Picture& picture : figure.pictures) {
            picture.width = std::max(1, static_cast<int>(std::lround(picture.width * scale)));
            picture.height = std::max(1, static_cast<int>(std::lround(picture.height * scale)));
        }
    }
    const double centre = (group.box.xMin + group.box.xMax) / 2;
    if (std::abs(centre - frame.center()) <= kCentredShare * frame.width()) {
        figure.format.alignment = Alignment::Center;
    } else {
        figure.format.alignment = Alignment::Left;
        // Indented as the PDF has it, but never pushed past the column's right edge.
        const double room = std::max(0.0, frame.width() - group.box.width());
        figure.format.leftIndent = twips(std::clamp(group.box.xMin - frame.left, 0.0, room));
    }
    return figure;
}

} // namespace pwt::layout

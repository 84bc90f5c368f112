#include "FigurePlacement.h"

#include "ReadingOrder.h"

#include <algorithm>
#include <cmath>

namespace pwt::layout {

namespace {

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
                    if (pdf::holdsPoint(box, (w.box.xMin + w.box.xMax) / 2, (w.box.yMin + w.box.yMax) / 2))
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
        if (!images[j].mask && pdf::within(images[i].visible, images[j].visible))
            return true;
    return false;
}

// Whether an image is kept at all: big enough, shown, on no text, not hidden.
bool placeable(const pdf::PageText& page, std::size_t i)
{
    const pdf::PageImage& image = page.images[i];
    return usable(image) && !hiddenByLater(page.images, i) && wordsOn(page, image.visible) < kBackgroundMinWords;
}

// The line of `page` an image belongs in, and where among its words.
struct LineSpot {
    pdf::TextBlock* block = nullptr;
    pdf::TextLine* line = nullptr;
    std::size_t before = 0; // index of the word it goes before
    double overlap = 0;
};

LineSpot lineHolding(pdf::PageText& page, const pdf::Box& v)
{
    LineSpot best;
    for (auto& flow : page.flows)
        for (auto& block : flow.blocks) {
            if (block.rotation != 0 || overlap(block.box.yMin, block.box.yMax, v.yMin, v.yMax) <= 0)
                continue;
            for (auto& line : block.lines) {
                if (line.words.empty())
                    continue;
                pdf::Box box = line.words.front().box;
                double size = 0;
                for (const auto& w : line.words) {
                    growBox(box, w.box);
                    size = std::max(size, w.fontSize);
                }
                const double shared = overlap(box.yMin, box.yMax, v.yMin, v.yMax);
                const double reach = kInLineReachEm * size;
                if (v.height() > kInLineMaxHeightEm * size || shared < kInLineOverlapShare * v.height()
                    || v.xMin > box.xMax + reach || v.xMax < box.xMin - reach || shared <= best.overlap)
                    continue;
                best.block = &block;
                best.line = &line;
                best.overlap = shared;
                best.before = static_cast<std::size_t>(
                    std::find_if(line.words.begin(), line.words.end(), [&](const pdf::TextWord& w) { return w.box.xMin >= v.xMin; })
                    - line.words.begin());
            }
        }
    return best;
}

// The line of another block that goes on from `line` across a picture set
// at its end (poppler splits a line at the gap a picture leaves): on its
// baseline and starting within reach right of `from`.
pdf::TextLine* lineGoingOn(pdf::PageText& page, const pdf::TextLine& line, double from, double reach)
{
    const pdf::TextWord& last = line.words.back();
    for (auto& flow : page.flows)
        for (auto& block : flow.blocks)
            for (auto& other : block.lines) {
                if (&other == &line || other.words.empty())
                    continue;
                const pdf::TextWord& first = other.words.front();
                if (std::abs(first.baseline - last.baseline) <= kSameBaselineEm * last.fontSize && first.box.xMin >= from
                    && first.box.xMin <= from + reach)
                    return &other;
            }
    return nullptr;
}

// Drops the lines, blocks and flows left without words.
void dropEmptyLines(pdf::PageText& page)
{
    for (auto& flow : page.flows) {
        for (auto& block : flow.blocks)
            std::erase_if(block.lines, [](const pdf::TextLine& l) { return l.words.empty(); });
        std::erase_if(flow.blocks, [](const pdf::TextBlock& b) { return b.lines.empty(); });
    }
    std::erase_if(page.flows, [](const pdf::TextFlow& f) { return f.blocks.empty(); });
}

} // namespace

Picture pictureOf(const pdf::PageImage& image)
{
    Picture picture;
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
    return picture;
}

bool setPicturesInLines(pdf::PageText& page)
{
    std::vector<bool> moved(page.images.size(), false);
    bool any = false;
    for (std::size_t i = 0; i < page.images.size(); ++i) {
        if (!placeable(page, i))
            continue;
        const pdf::PageImage& image = page.images[i];
        const LineSpot spot = lineHolding(page, image.visible);
        if (!spot.line)
            continue;
        auto& words = spot.line->words;
        // The picture takes the look of the word beside it, so that the
        // line's run goes on around it.
        const pdf::TextWord& beside = words[std::min(spot.before, words.size() - 1)];
        pdf::TextWord mark = beside;
        mark.text = std::u32string(1, char32_t{kInlinePictureMark});
        mark.box = {image.visible.xMin, beside.box.yMin, image.visible.xMax, beside.box.yMax};
        mark.spaceAfter = spot.before < words.size();
        mark.picture = std::make_shared<const pdf::PageImage>(image);
        if (spot.before > 0)
            words[spot.before - 1].spaceAfter = true;
        const bool atEnd = spot.before == words.size();
        words.insert(words.begin() + static_cast<std::ptrdiff_t>(spot.before), std::move(mark));
        if (atEnd) {
            // The text after the picture, which poppler set apart, joins the line.
            const double reach = kInLineReachEm * words.back().fontSize;
            if (pdf::TextLine* next = lineGoingOn(page, *spot.line, image.visible.xMax, reach)) {
                words.back().spaceAfter = true;
                for (auto& w : next->words) {
                    growBox(spot.block->box, w.box);
                    words.push_back(std::move(w));
                }
                next->words.clear();
            }
        }
        moved[i] = true;
        any = true;
    }
    if (any) {
        dropEmptyLines(page);
        std::vector<pdf::PageImage> rest;
        for (std::size_t i = 0; i < page.images.size(); ++i)
            if (!moved[i])
                rest.push_back(std::move(page.images[i]));
        page.images = std::move(rest);
    }
    return any;
}

std::vector<PictureGroup> picturesOf(const pdf::PageText& page)
{
    std::vector<pdf::PageImage> kept;
    for (std::size_t i = 0; i < page.images.size(); ++i)
        if (placeable(page, i))
            kept.push_back(page.images[i]);
    std::stable_sort(kept.begin(), kept.end(),
                     [](const pdf::PageImage& a, const pdf::PageImage& b) { return a.visible.yMin < b.visible.yMin; });

    std::vector<PictureGroup> groups;
    for (pdf::PageImage& image : kept) {
        PictureGroup& g = groups.emplace_back();
        g.box = image.visible;
        g.images.push_back(std::move(image));
    }
    return groups;
}

std::size_t readingPlace(const pdf::Box& p, const PageLines& lines)
{
    const auto& blocks = lines.blocks;
    auto sameColumn = [&](const Block& b) {
        return b.flow == kNoColumn || overlap(b.box.xMin, b.box.xMax, p.xMin, p.xMax) > 0;
    };
    // Before the first block of its column below its top...
    for (std::size_t k = 0; k < blocks.size(); ++k)
        if (!blocks[k].marginNote && sameColumn(blocks[k]) && blocks[k].box.yMin >= p.yMin - kLevelTolerancePt)
            return k;
    // ...or after the last one of its column above it.
    for (std::size_t k = blocks.size(); k-- > 0;)
        if (!blocks[k].marginNote && sameColumn(blocks[k]))
            return k + 1;
    return blocks.size();
}

void placeInReadingOrder(std::vector<PictureGroup>& groups, const PageLines& lines)
{
    const auto& blocks = lines.blocks;
    for (PictureGroup& g : groups)
        g.beforeBlock = readingPlace(g.box, lines);
    // In reading order; pictures side by side in one column at one place
    // make one figure.
    std::stable_sort(groups.begin(), groups.end(),
                     [](const PictureGroup& a, const PictureGroup& b) { return a.beforeBlock < b.beforeBlock; });
    std::vector<PictureGroup> merged;
    for (PictureGroup& g : groups) {
        if (!merged.empty()) {
            PictureGroup& last = merged.back();
            const double shorter = std::min(g.box.height(), last.box.height());
            // In a page of columns both must stand over the column of the
            // block they precede: pictures facing each other across the
            // gutter belong to two columns.
            auto overColumn = [&](const pdf::Box& box) {
                if (g.beforeBlock >= blocks.size() || blocks[g.beforeBlock].flow == kNoColumn)
                    return true;
                const pdf::Box& b = blocks[g.beforeBlock].box;
                return overlap(b.xMin, b.xMax, box.xMin, box.xMax) > 0;
            };
            if (last.beforeBlock == g.beforeBlock && overColumn(g.box) && overColumn(last.box)
                && overlap(g.box.yMin, g.box.yMax, last.box.yMin, last.box.yMax) >= kSideBySideShare * shorter
                && overlap(g.box.xMin, g.box.xMax, last.box.xMin, last.box.xMax) <= 0) {
                growBox(last.box, g.box);
                for (pdf::PageImage& image : g.images)
                    last.images.push_back(std::move(image));
                std::stable_sort(last.images.begin(), last.images.end(), [](const pdf::PageImage& a, const pdf::PageImage& b) {
                    return a.visible.xMin < b.visible.xMin;
                });
                continue;
            }
        }
        merged.push_back(std::move(g));
    }
    groups = std::move(merged);
}

Figure figureOf(const PictureGroup& group, const ColumnBounds& frame)
{
    Figure figure;
    for (const pdf::PageImage& image : group.images)
        figure.pictures.push_back(pictureOf(image));
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

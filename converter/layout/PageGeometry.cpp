#include "PageGeometry.h"

#include "ReadingOrder.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace pwt::layout {

namespace {

// The value below which `share` of the values lie (values is not empty).
double quantile(std::vector<double> values, double share)
{
    const auto at = static_cast<std::size_t>(std::lround(share * static_cast<double>(values.size() - 1)));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
    return values[at];
}

double median(std::vector<double> values) { return quantile(std::move(values), 0.5); }

// Pages of one size and what their text looks like.
struct SizeGroup {
    double width = 0, height = 0;
    std::vector<std::size_t> pages;
};

std::vector<SizeGroup> groupBySize(const std::vector<PageLines>& pages, std::vector<std::size_t>& groupOfPage)
{
    std::vector<SizeGroup> groups;
    groupOfPage.resize(pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const PageLines& p = pages[i];
        auto it = std::find_if(groups.begin(), groups.end(), [&](const SizeGroup& g) {
            return std::abs(g.width - p.width) <= kSamePageSizePt && std::abs(g.height - p.height) <= kSamePageSizePt;
        });
        if (it == groups.end())
            it = groups.insert(groups.end(), SizeGroup{p.width, p.height, {}});
        it->pages.push_back(i);
        groupOfPage[i] = static_cast<std::size_t>(it - groups.begin());
    }
    return groups;
}

// The band of a group's ordinary pages: where most pages' text starts, as wide
// as most pages' text, down to where the ordinary pages' text ends.
struct Band {
    pdf::Box box;
    bool known = false;
};

bool fitsBand(const pdf::Box& text, const pdf::Box& band)
{
    return text.width() <= band.width() + kOwnBandPt && text.yMin >= band.yMin - kOwnBandPt
        && text.yMax <= band.yMax + kOwnBandPt;
}

Band bandOf(const std::vector<std::optional<pdf::Box>>& extents, const SizeGroup& group)
{
    std::vector<double> lefts, tops, widths, bottoms;
    for (std::size_t i : group.pages)
        if (const auto& e = extents[i]) {
            lefts.push_back(e->xMin);
            tops.push_back(e->yMin);
            widths.push_back(e->width());
            bottoms.push_back(e->yMax);
        }
    Band band;
    if (lefts.empty())
        return band;
    band.known = true;
    const double left = median(lefts);
    band.box = {left, median(tops), left + median(widths), quantile(bottoms, kBandBottomQuantile)};
    // Every ordinary page's text must fit the band: Word would carry its last
    // lines over to a page of their own.
    pdf::Box grown = band.box;
    for (std::size_t i : group.pages)
        if (const auto& e = extents[i]; e && fitsBand(*e, band.box)) {
            grown.xMax = std::max(grown.xMax, grown.xMin + e->width());
            grown.yMin = std::min(grown.yMin, e->yMin);
            grown.yMax = std::max(grown.yMax, e->yMax);
        }
    band.box = grown;
    return band;
}

// The band placed on one page: where the page's text of the band's width
// starts (odd and even pages of a book differ), else the band's own place,
// moved as little as needed to hold the page's text.
ColumnBounds frameOn(const pdf::Box& band, const pdf::Box& text)
{
    if (std::abs(text.width() - band.width()) <= kSameWidthPt)
        return {text.xMin, text.xMin + band.width()};
    double shift = 0;
    if (text.xMin < band.xMin)
        shift = text.xMin - band.xMin;
    else if (text.xMax > band.xMax)
        shift = text.xMax - band.xMax;
    return {band.xMin + shift, band.xMax + shift};
}

// Header and footer distances from where the group's running heads and feet stood.
void placeRunningText(PageSetup& setup, const std::vector<RunningText>& running, const SizeGroup& group)
{
    std::vector<double> heads, feet;
    for (std::size_t i : group.pages) {
        if (running[i].headTop > 0)
            heads.push_back(running[i].headTop);
        if (running[i].footBottom > 0)
            feet.push_back(running[i].footBottom);
    }
    if (!heads.empty())
        setup.headerDistance = std::min(twips(median(heads)), setup.marginTop);
    if (!feet.empty())
        setup.footerDistance = std::min(twips(median(feet)), setup.marginBottom);
}

// The line edge most lines share, binned by kEdgeBinPt.
double commonEdge(const std::vector<double>& edges)
{
    std::map<long, int> votes;
    for (double x : edges)
        ++votes[std::lround(x / kEdgeBinPt)];
    const auto best = std::max_element(votes.begin(), votes.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return static_cast<double>(best->first) * kEdgeBinPt;
}

} // namespace

std::optional<pdf::Box> bandExtent(const PageLines& page, std::optional<ColumnBounds> edges, const pdf::Box* band)
{
    std::optional<pdf::Box> box = textExtent(page);
    if (!box)
        return box;
    const auto inColumn = [](const Block& b) { return b.rotation == 0 && !b.marginNote; };
    const bool anyInColumn = std::any_of(page.blocks.begin(), page.blocks.end(), inColumn);
    std::vector<double> lefts, rights, tops, bottoms;
    for (const Block& b : page.blocks)
        if (!anyInColumn || inColumn(b))
            for (const Line& l : b.lines) {
                lefts.push_back(l.left());
                rights.push_back(l.right());
                tops.push_back(l.box.yMin);
                bottoms.push_back(l.box.yMax);
            }
    if (lefts.empty())
        return box;
    const double left = edges ? edges->left : commonEdge(lefts), right = edges ? edges->right : commonEdge(rights);
    const auto few = [&](std::size_t n) { return static_cast<double>(n) <= kStandingOutShare * static_cast<double>(lefts.size()); };
    const auto outLeft = static_cast<std::size_t>(std::count_if(lefts.begin(), lefts.end(), [&](double x) { return x < left - kOwnBandPt; }));
    const auto outRight = static_cast<std::size_t>(std::count_if(rights.begin(), rights.end(), [&](double x) { return x > right + kOwnBandPt; }));
    double xMin = box->xMax, xMax = box->xMin;
    for (std::size_t i = 0; i < lefts.size(); ++i) {
        const bool standsOutLeft = few(outLeft) && lefts[i] < left - kOwnBandPt;
        const bool standsOutRight = few(outRight) && rights[i] > right + kOwnBandPt;
        if (!standsOutLeft)
            xMin = std::min(xMin, lefts[i]);
        if (!standsOutRight)
            xMax = std::max(xMax, rights[i]);
    }
    if (xMin < xMax) {
        box->xMin = xMin;
        box->xMax = xMax;
    }
    if (!band)
        return box;
    // Lines reaching over or under the band, when a few: a head or a page
    // number that was not told apart as running text.
    const auto outside = [&](std::size_t i) {
        return tops[i] < band->yMin - kOwnBandPt || bottoms[i] > band->yMax + kOwnBandPt;
    };
    std::size_t strays = 0;
    double yMin = box->yMax, yMax = box->yMin;
    for (std::size_t i = 0; i < tops.size(); ++i) {
        if (outside(i)) {
            ++strays;
            continue;
        }
        yMin = std::min(yMin, tops[i]);
        yMax = std::max(yMax, bottoms[i]);
    }
    if (strays > 0 && strays <= kMaxStrayLines && yMin < yMax) {
        box->yMin = yMin;
        box->yMax = yMax;
    }
    return box;
}

PageSetup pageSetupFor(double widthPt, double heightPt, const pdf::Box* text)
{
    PageSetup s;
    s.width = twips(widthPt);
    s.height = twips(heightPt);
    if (!text)
        return s;
    auto margin = [](double pt) { return std::max(twips(pt), kMinMarginTwips); };
    s.marginLeft = margin(text->xMin);
    s.marginRight = margin(widthPt - text->xMax);
    s.marginTop = margin(text->yMin);
    s.marginBottom = margin(heightPt - text->yMax - kFootSlackPt);
    // Keep room for the body: a page with little text near one edge must not
    // get margins that leave Word no space to set text in. The far margin
    // (right, bottom) gives way first, then both.
    auto fit = [](int length, int& nearMargin, int& farMargin) {
        if (length - nearMargin - farMargin >= kMinBodyTwips)
            return;
        farMargin = std::max(kMinMarginTwips, length - nearMargin - kMinBodyTwips);
        if (length - nearMargin - farMargin < kMinBodyTwips)
            nearMargin = farMargin = std::max(kMinMarginTwips, (length - kMinBodyTwips) / 2);
    };
    fit(s.width, s.marginLeft, s.marginRight);
    fit(s.height, s.marginTop, s.marginBottom);
    return s;
}

std::vector<PagePlan> planPages(const std::vector<PageLines>& pages, const std::vector<RunningText>& running,
                                const std::vector<std::vector<pdf::Box>>& setApart)
{
    std::vector<std::optional<pdf::Box>> extents;
    extents.reserve(pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::optional<pdf::Box> extent = bandExtent(pages[i]);
        if (i < setApart.size())
            for (const pdf::Box& t : setApart[i]) {
                if (extent)
                    growBox(*extent, t);
                else
                    extent = t;
            }
        extents.push_back(extent);
    }
    std::vector<std::size_t> groupOfPage;
    const std::vector<SizeGroup> groups = groupBySize(pages, groupOfPage);
    std::vector<Band> bands;
    std::vector<PageSetup> setups;
    for (const SizeGroup& g : groups) {
        bands.push_back(bandOf(extents, g));
        PageSetup setup = pageSetupFor(g.width, g.height, bands.back().known ? &bands.back().box : nullptr);
        placeRunningText(setup, running, g);
        setups.push_back(setup);
    }
    // A page whose lines did not agree on an edge (lists, code, tables) may
    // still have only a few standing out of the band's, and a line or two
    // over or under it: such a page keeps the band, its strays set in it.
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const Band& band = bands[groupOfPage[i]];
        if (!band.known || !extents[i] || fitsBand(*extents[i], band.box))
            continue;
        std::optional<pdf::Box> extent = bandExtent(pages[i], ColumnBounds{band.box.xMin, band.box.xMax}, &band.box);
        if (i < setApart.size())
            for (const pdf::Box& t : setApart[i])
                growBox(*extent, t);
        if (fitsBand(*extent, band.box))
            extents[i] = extent;
    }

    std::vector<PagePlan> plans(pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const Band& band = bands[groupOfPage[i]];
        PagePlan& plan = plans[i];
        plan.setup = setups[groupOfPage[i]];
        const auto& text = extents[i];
        if (!text)
            continue;
        if (band.known && fitsBand(*text, band.box)) {
            plan.frame = frameOn(band.box, *text);
            // (A band of a line or two is no page of text to fill.)
            plan.full = band.box.height() >= points(kMinBodyTwips)
                && text->yMax >= band.box.yMax - kFullPageShare * band.box.height();
            continue;
        }
        // Text of another shape than the pages around it: a band of its own.
        plan.setup = pageSetupFor(pages[i].width, pages[i].height, &*text);
        plan.setup.headerDistance = std::min(setups[groupOfPage[i]].headerDistance, plan.setup.marginTop);
        plan.setup.footerDistance = std::min(setups[groupOfPage[i]].footerDistance, plan.setup.marginBottom);
        plan.frame = {text->xMin, text->xMax};
    }
    return plans;
}

} // namespace pwt::layout

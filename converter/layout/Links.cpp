#include "Links.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace pwt::layout {

namespace {

// Bookmarks are named after the page they stand on: "p12_3" is the third
// place on page 12 that links lead to. Word wants a letter first.
std::string bookmarkName(int page, int ordinal)
{
    return "p" + std::to_string(page) + "_" + std::to_string(ordinal);
}

double overlapArea(const pdf::Box& a, const pdf::Box& b)
{
    const double w = std::min(a.xMax, b.xMax) - std::max(a.xMin, b.xMin);
    const double h = std::min(a.yMax, b.yMax) - std::max(a.yMin, b.yMin);
    return w > 0 && h > 0 ? w * h : 0;
}

// The link over most of the word, or null.
const std::string* linkOver(const pdf::Box& word, const std::vector<pdf::PageLink>& links,
                            const std::vector<std::string>& targets)
{
    const double area = word.width() * word.height();
    const double midX = (word.xMin + word.xMax) / 2, midY = (word.yMin + word.yMax) / 2;
    const std::string* best = nullptr;
    double bestShare = 0;
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (targets[i].empty())
            continue;
        // A word without an area (a space, a zero-height glyph) goes by its middle.
        const double share = area > 0 ? overlapArea(word, links[i].area) / area
                                      : (pdf::holdsPoint(links[i].area, midX, midY) ? 1.0 : 0.0);
        if (share >= kLinkedWordShare && share > bestShare) {
            bestShare = share;
            best = &targets[i];
        }
    }
    return best;
}

// Whether a line stands in another column than a destination at x: it ends
// left of it, or it begins right of it beside a line that begins at it.
bool inOtherColumn(const Line& line, double x, const std::vector<Line*>& lines)
{
    if (line.box.xMax < x - kTargetColumnSlackPt)
        return true;
    if (line.box.xMin <= x + kTargetColumnSlackPt)
        return false;
    return std::any_of(lines.begin(), lines.end(), [&](const Line* other) {
        return other->box.xMin <= x + kTargetColumnSlackPt && other->box.xMax < line.box.xMin
            && other->box.yMin < line.box.yMax && other->box.yMax > line.box.yMin;
    });
}

// The line a destination at (x, y) of the page leads to: the first below it
// in its column; null when the page has no text below it.
Line* lineAt(PageLines& page, double x, double y)
{
    std::vector<Line*> lines, below;
    for (Block& block : page.blocks) {
        for (Line& line : block.lines) {
            if (block.rotation != 0)
                continue;
            lines.push_back(&line);
            if (line.baseline >= y - kTargetBaselineSlackPt && !line.words.empty())
                below.push_back(&line);
        }
    }
    if (below.empty())
        return nullptr;
    std::stable_sort(below.begin(), below.end(), [](const Line* a, const Line* b) { return a->baseline < b->baseline; });
    const std::size_t tried = std::min(below.size(), kMaxTargetCandidates);
    for (std::size_t i = 0; i < tried; ++i)
        if (!inOtherColumn(*below[i], x, lines))
            return below[i];
    return below.front();
}

// The first line of the page in reading order, for a destination at the foot
// of the page before.
Line* firstLine(PageLines& page)
{
    for (Block& block : page.blocks)
        for (Line& line : block.lines)
            if (!line.words.empty())
                return &line;
    return nullptr;
}

} // namespace

bool linkRunsOn(const Line& upper, const Line& lower)
{
    const double step = lower.baseline - upper.baseline;
    return !upper.words.empty() && !lower.words.empty() && !upper.words.back().link.empty()
        && upper.words.back().link == lower.words.front().link && step > 0
        && step <= kMaxLinkedLineStepEm * std::max(lower.fontSize, 1.0);
}

std::string DocumentLinks::nameOf(const pdf::PageLink& link)
{
    const auto key = std::make_tuple(link.destinationPage, std::lround(link.destinationX), std::lround(link.destinationY));
    if (const auto found = m_byPlace.find(key); found != m_byPlace.end())
        return m_destinations[found->second].name;
    if (m_destinations.size() >= kMaxDestinations)
        return {};
    Destination d{link.destinationPage, link.destinationX, link.destinationY,
                  bookmarkName(link.destinationPage, ++m_placesOnPage[link.destinationPage])};
    m_byPlace.emplace(key, m_destinations.size());
    m_destinations.push_back(d);
    return d.name;
}

void DocumentLinks::linkWords(pdf::PageText& page)
{
    if (page.links.empty())
        return;
    // Where each link leads, as Run::link has it.
    std::vector<std::string> targets;
    targets.reserve(page.links.size());
    for (const pdf::PageLink& link : page.links) {
        if (!link.uri.empty())
            targets.push_back(link.uri);
        else if (link.destinationPage > 0) {
            const std::string name = nameOf(link);
            targets.push_back(name.empty() ? name : "#" + name);
        } else
            targets.emplace_back();
    }
    for (pdf::TextFlow& flow : page.flows)
        for (pdf::TextBlock& block : flow.blocks)
            for (pdf::TextLine& line : block.lines)
                for (pdf::TextWord& word : line.words)
                    if (const std::string* target = linkOver(word.box, page.links, targets))
                        word.link = *target;
}

void DocumentLinks::placeBookmarks(std::vector<PageLines>& pages)
{
    std::unordered_map<const Line*, std::string> lineBookmark;
    for (const Destination& d : m_destinations) {
        const auto index = static_cast<std::size_t>(d.page - 1);
        if (index >= pages.size())
            continue;
        Line* line = lineAt(pages[index], d.x, d.y);
        // Nothing below the place on its page: what the page after begins with.
        if (!line && index + 1 < pages.size())
            line = firstLine(pages[index + 1]);
        if (!line)
            continue;
        auto [at, added] = lineBookmark.emplace(line, d.name);
        if (added)
            line->bookmarks.push_back(d.name);
        m_resolved.emplace("#" + d.name, "#" + at->second);
    }
}

void DocumentLinks::settle(Document& doc) const
{
    if (m_destinations.empty())
        return;
    const auto settleRuns = [this](std::vector<Paragraph>& paragraphs) {
        for (Paragraph& p : paragraphs) {
            for (Run& r : p.runs) {
                if (r.link.empty() || r.link.front() != '#')
                    continue;
                const auto to = m_resolved.find(r.link);
                r.link = to == m_resolved.end() ? std::string() : to->second;
            }
        }
    };
    for (Section& s : doc.sections) {
        settleRuns(s.paragraphs);
        for (Table& t : s.tables)
            for (TableRow& row : t.rows)
                for (TableCell& cell : row.cells)
                    settleRuns(cell.paragraphs);
    }
    for (Footnote& note : doc.footnotes)
        settleRuns(note.paragraphs);
}

} // namespace pwt::layout

#pragma once
// The fill colour each glyph of a page is drawn in. Poppler's text keeps one
// colour a word, taken from its first character, and joins characters by
// position alone: a line of Chinese with a red phrase inside comes as one
// word. The reader asks here for each character's colour instead.
#include "PageText.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pwt::pdf {

class GlyphColours {
public:
    void clear()
    {
        m_glyphs.clear();
        m_byRow.clear();
        m_byColumn.clear();
        m_sorted = true;
        m_varied = false;
    }

    // A glyph's advance, from its origin (x, y) on by (dx, dy), in page points.
    void add(double x, double y, double dx, double dy, std::uint32_t rgb)
    {
        if (!m_glyphs.empty() && m_glyphs.front().rgb != rgb)
            m_varied = true;
        m_glyphs.push_back(Glyph{y + dy / 2, x + dx / 2, rgb});
        m_sorted = false;
    }

    // Whether the page draws text in more than one colour; if not, every
    // word's own colour is right.
    bool varied() const { return m_varied; }

    // The colour of the glyph drawn at the character: on the word's baseline
    // (its y, or its x for text turned a quarter), its advance's middle
    // within the character's box along the line; `fallback` when none is (a
    // character poppler made up). Lines set closer than their fonts' height
    // overlap, so the box alone would find the line above.
    std::uint32_t colourIn(const Box& box, double baseline, bool turned, std::uint32_t fallback) const
    {
        std::vector<Glyph>& glyphs = turned ? m_byColumn : m_byRow;
        if (!m_sorted) {
            m_byRow = m_glyphs;
            std::sort(m_byRow.begin(), m_byRow.end(), [](const Glyph& a, const Glyph& b) {
                return a.y != b.y ? a.y < b.y : a.x < b.x;
            });
            m_byColumn.clear();
            m_sorted = true;
        }
        if (turned && glyphs.empty()) {
            // Turned text is rare: ordered by x, then y, on first need.
            for (const Glyph& g : m_glyphs)
                glyphs.push_back(Glyph{g.x, g.y, g.rgb});
            std::sort(glyphs.begin(), glyphs.end(), [](const Glyph& a, const Glyph& b) {
                return a.y != b.y ? a.y < b.y : a.x < b.x;
            });
        }
        // In the order used, `y` is the coordinate across the line and `x` the one along it.
        const double from = turned ? box.yMin : box.xMin, to = turned ? box.yMax : box.xMax;
        auto row = std::lower_bound(glyphs.begin(), glyphs.end(), baseline - kBaselineSlack,
                                    [](const Glyph& g, double y) { return g.y < y; });
        while (row != glyphs.end() && row->y <= baseline + kBaselineSlack) {
            const double y = row->y;
            const auto at = std::lower_bound(row, glyphs.end(), from - kSlack,
                                             [y](const Glyph& g, double x) { return g.y == y && g.x < x; });
            if (at != glyphs.end() && at->y == y && at->x <= to + kSlack)
                return at->rgb;
            row = std::upper_bound(at, glyphs.end(), y, [](double rowY, const Glyph& g) { return rowY < g.y; });
        }
        return fallback;
    }

private:
    // Rounding between poppler's character boxes and the glyphs' advances (points).
    static constexpr double kSlack = 0.01;
    // How far a glyph's baseline may lie from its word's: poppler starts a
    // new word past half a point.
    static constexpr double kBaselineSlack = 0.5;
    struct Glyph {
        double y, x; // the middle of its advance
        std::uint32_t rgb;
    };
    std::vector<Glyph> m_glyphs; // as drawn
    mutable std::vector<Glyph> m_byRow, m_byColumn; // ordered for looking up, on first need
    mutable bool m_sorted = true;
    bool m_varied = false;
};

} // namespace pwt::pdf

#pragma once
// Links of the PDF on the words they cover: a web or mail address goes on
// the words as it is; a link to a place in the document leads to a bookmark
// set on the line found at that place, so that Word's link jumps there.
#include "Lines.h"
#include "PageText.h"

#include <cstddef>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace pwt::layout {

// A word is linked when at least this share of its box lies in the link's
// area. The reader cuts a word where the link over its characters changes
// (a Chinese line is one word to poppler), so that a word lies under one
// link or none.
inline constexpr double kLinkedWordShare = 0.5;
// A destination leads to the first line whose baseline is at most this far
// above it: writers put the place at the line's top or at its baseline.
inline constexpr double kTargetBaselineSlackPt = 1.0;
// A line beginning further right of the destination than this, beside a line
// that begins at it, stands in a column to the right of the destination's.
inline constexpr double kTargetColumnSlackPt = 6.0;
// Lines tried below a destination before taking the nearest regardless of
// columns: bounds the work a page of thousands of lines costs.
inline constexpr std::size_t kMaxTargetCandidates = 8;
// Places in the document that links lead to, at most: more is a generated or
// hostile file, and links past the bound stay plain text.
inline constexpr std::size_t kMaxDestinations = 10000;

// Lines further apart than this many ems are not the two halves of a link.
inline constexpr double kMaxLinkedLineStepEm = 2.6;

// Whether one link runs on from the end of `upper` into the start of `lower`,
// the line below it (a link broken over two lines): the two lines are then
// one paragraph, which no link crosses.
bool linkRunsOn(const Line& upper, const Line& lower);

class DocumentLinks {
public:
    // Sets TextWord::link on the words of `page` that lie mostly in one of
    // its links' areas (the one covering most of the word), before the
    // words go to lines or table cells. A link inside the document gets
    // "#name" of a bookmark placeBookmarks() sets.
    void linkWords(pdf::PageText& page);

    // Once every page's lines are in reading order and the running heads
    // and notes are out: sets each destination's bookmark on the line it
    // leads to (Line::bookmarks), one per line.
    void placeBookmarks(std::vector<PageLines>& pages);

    // In the finished document: links inside it lead to the bookmark their
    // line got (places leading to one line share its first bookmark); links
    // to a place without text, or in text taken out before placeBookmarks(),
    // are left as plain text.
    void settle(Document& doc) const;

private:
    struct Destination {
        int page = 0;
        double x = 0, y = 0;
        std::string name;
    };
    // The bookmark name of the destination, "" past kMaxDestinations.
    std::string nameOf(const pdf::PageLink& link);

    std::map<std::tuple<int, long, long>, std::size_t> m_byPlace; // rounded page, x, y -> m_destinations
    std::vector<Destination> m_destinations;
    std::map<int, int> m_placesOnPage; // destinations named so far on each page
    std::map<std::string, std::string> m_resolved; // "#name" as linked -> "#name" of the line's bookmark
};

} // namespace pwt::layout

#pragma once
// The layout's working view of a page: words with their mapped character
// format, lines with their metrics, blocks in poppler's reading order.
#include "PageText.h"
#include "model/Document.h"

#include <map>
#include <string>
#include <vector>

namespace pwt::layout {

struct Word {
    std::u32string text;   // normalized: ligatures expanded, no control codes
    CharFormat format;
    pdf::Box box;
    double baseline = 0;
    double fontSize = 12;
    bool spaceAfter = false;
    bool fixedWidth = false; // a typewriter font: code, commands, listings
    std::shared_ptr<const pdf::PageImage> picture; // a picture in the line; text is the mark U+FFFC
    std::string link; // where a link annotation over the word leads (Run::link); empty: none
};

struct Line {
    std::vector<Word> words;
    pdf::Box box;
    double baseline = 0;
    double fontSize = 12;  // the size most of its characters have
    bool bold = false;     // most of its characters are bold
    bool italic = false;
    bool allItalic = false; // italic but for a symbol or logo (at least kAllItalicShare of it)
    bool fixedWidth = false; // most of its characters are in a typewriter font
    std::u32string text;   // words joined as they read
    bool hasCjk = false;
    bool endsWithReference = false; // a page number set apart at its end (a contents entry)
    // Bookmarks that a link inside the document leads to (Paragraph::bookmarks
    // of the paragraph the line is part of).
    std::vector<std::string> bookmarks;

    double left() const { return box.xMin; }
    double right() const { return box.xMax; }
};

// The horizontal extent a paragraph's lines are laid out in (its column).
struct ColumnBounds {
    double left = 0;
    double right = 0;
    double center() const { return (left + right) / 2; }
    double width() const { return right - left; }
};

struct Block {
    std::vector<Line> lines;
    pdf::Box box;
    int rotation = 0;
    int flow = 0;          // index of the poppler flow (column) it came from
    bool marginNote = false; // a note beside the text column, read after the page's text
};

struct PageLines {
    int number = 1;
    double width = 595.3;
    double height = 841.9;
    std::vector<Block> blocks;
};

// Maps fonts once per name: a page has thousands of words and a handful of fonts.
class FontCache {
public:
    FontCache() = default;
    FontCache(const FontCache&) = delete; // holds an iterator into its own map
    FontCache& operator=(const FontCache&) = delete;

    CharFormat formatFor(const pdf::TextWord& word);

private:
    std::map<std::string, CharFormat> m_formats;
    std::map<std::string, CharFormat>::iterator m_last = m_formats.end();
    std::string m_lastName;
    int m_lastFlags = 0;
};

inline constexpr double kAllItalicShare = 0.85;

PageLines collectLines(const pdf::PageText& page, FontCache& fonts);

// Fills in the line's box, baseline, size, weight and text from its words.
void measureLine(Line& line);

// Grows `box` to take `other` in.
void growBox(pdf::Box& box, const pdf::Box& other);
// Fits a block's box to its lines again, after lines were added or taken away.
void fitBlockBox(Block& block);

} // namespace pwt::layout

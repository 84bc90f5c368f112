#include "Lines.h"

#include "FontMapper.h"
#include "TextRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace pwt::layout {

namespace {

// Letter spacing: measured on words of at least this many characters, at
// most this many ems either way, in steps of this many twips (so that the
// words of one font share one run).
constexpr std::size_t kMinMeasuredChars = 3;
constexpr double kMaxSpacingEm = 0.2;
constexpr int kSpacingStepTwips = 5;

// A line spaced out with wide gaps (an author line's names set apart by
// ideographic or em spaces) comes from poppler as a block for each piece.
// Pieces are one line's when they share a baseline (within this many points)
// and a size, stand at most this many ems apart, hold at most this many
// characters each, and are centred on the page together (within this many
// ems): the line is a centred one, not a row of columns.
constexpr double kSameBaselinePt = 0.5;
constexpr double kMaxSpacedGapEm = 4.0;
constexpr std::size_t kMaxSpacedPieceChars = 30;
constexpr double kSpacedCentreToleranceEm = 1.0;
// A table's rows are pieces at one baseline too: a spaced-out line has no
// other row of pieces within this many of its line heights above or below.
constexpr double kSpacedRowIsolationLines = 3.0;
constexpr char32_t kIdeographicSpace = 0x3000;

// A justified line whose words stand far apart (before an address too long
// for the line) comes from poppler cut at each wide gap: as lines side by
// side in one block, or as a block for each piece. Pieces on one baseline
// are one line's words when there are at least this many of them, their
// gaps at most this many ems and even: the widest at most this many times
// the narrowest (justification stretches every gap of a line alike; a row of
// table cells has gaps of any widths).
constexpr std::size_t kMinJustifiedPieces = 3;
constexpr double kMaxJustifiedGapEm = 4.0;
constexpr double kMaxJustifiedGapRatio = 2.0;

// One character that is no text: a C1 control or a private use code point,
// what poppler gives for a glyph of a font without a Unicode mapping.
bool isUnmappedSymbol(const std::u32string& text)
{
    if (text.size() != 1)
        return false;
    const char32_t c = text.front();
    return (c >= 0x80 && c <= 0x9F) || (c >= 0xE000 && c <= 0xF8FF);
}

bool isClosingPunctuation(char32_t c)
{
    return std::u32string_view(U",.;:!?)]}\"'’”、。，；：！？）」』").find(c)
        != std::u32string_view::npos;
}

// Poppler gives a word one colour, that of its first character: the comma
// after a red word comes out red although it was set in the text's colour.
// Punctuation closing a word in another colour than the line's own, before a
// word of the line's colour, takes that colour, as it does in the PDF. (The
// reader splits words by their characters' colours, so this only mends text
// from elsewhere; punctuation in the line's own colour before a coloured
// word keeps it.)
void uncolourTrailingPunctuation(std::vector<Word>& words)
{
    if (words.size() < 2)
        return;
    std::map<std::uint32_t, std::size_t> charsByColour;
    for (const Word& w : words)
        charsByColour[w.format.colorRgb] += w.text.size();
    const std::uint32_t own = std::max_element(charsByColour.begin(), charsByColour.end(), [](const auto& a, const auto& b) {
                                  return a.second < b.second;
                              })->first;
    for (std::size_t k = 0; k + 1 < words.size(); ++k) {
        Word& w = words[k];
        const std::uint32_t following = words[k + 1].format.colorRgb;
        if (w.format.colorRgb == following || w.format.colorRgb == own || following != own)
            continue;
        std::size_t cut = w.text.size();
        while (cut > 0 && isClosingPunctuation(w.text[cut - 1]))
            --cut;
        if (cut == 0 || cut == w.text.size())
            continue;
        Word tail = w;
        tail.text = w.text.substr(cut);
        tail.format.colorRgb = following;
        const double share = static_cast<double>(cut) / static_cast<double>(w.text.size());
        const double split = w.box.xMin + share * w.box.width();
        tail.box.xMin = split;
        w.box.xMax = split;
        w.text.resize(cut);
        w.spaceAfter = false;
        words.insert(words.begin() + static_cast<std::ptrdiff_t>(k + 1), std::move(tail));
        ++k;
    }
}

// TeX's typewriter letters are narrower (0.525 em) than Courier's: a
// listing would wrap and run longer. The difference goes into the run's
// character spacing, measured on the word as the PDF set it.
int typewriterSpacing(const pdf::TextWord& word, std::size_t characters)
{
    if (characters < kMinMeasuredChars || word.fontSize <= 0)
        return 0;
    const double advance = word.box.width() / static_cast<double>(characters);
    const double extra = std::clamp(advance - kTypewriterAdvanceEm * word.fontSize, -kMaxSpacingEm * word.fontSize,
                                    kMaxSpacingEm * word.fontSize);
    return static_cast<int>(std::lround(extra * kTwipsPerPoint / kSpacingStepTwips)) * kSpacingStepTwips;
}

} // namespace

CharFormat FontCache::formatFor(const pdf::TextWord& word)
{
    // Words in a row mostly share their font: look the map up only on a change.
    const int flags = word.bold | word.italic << 1 | word.serif << 2 | word.fixedWidth << 3;
    if (m_last == m_formats.end() || flags != m_lastFlags || word.fontName != m_lastName) {
        m_lastName = word.fontName;
        m_lastFlags = flags;
        m_last = m_formats.find(m_lastName + char('0' + flags));
    }
    auto it = m_last;
    if (it == m_formats.end()) {
        const FontStyle style = mapFont(word.fontName, word.bold, word.italic, word.serif, word.fixedWidth);
        CharFormat f;
        f.fontFamily = style.family;
        f.fontKind = style.kind;
        f.eastAsianFamily = style.eastAsianFamily;
        if (!f.eastAsianFamily.empty())
            f.eastAsianKind = style.kind;
        f.bold = style.bold;
        f.italic = style.italic;
        f.smallCaps = style.smallCaps;
        it = m_last = m_formats.emplace(m_lastName + char('0' + flags), f).first;
    }
    CharFormat f = it->second;
    f.halfPoints = halfPoints(word.fontSize);
    f.colorRgb = word.colorRgb;
    return f;
}

void growBox(pdf::Box& box, const pdf::Box& other)
{
    box.xMin = std::min(box.xMin, other.xMin);
    box.yMin = std::min(box.yMin, other.yMin);
    box.xMax = std::max(box.xMax, other.xMax);
    box.yMax = std::max(box.yMax, other.yMax);
}

void fitBlockBox(Block& block)
{
    if (block.lines.empty())
        return;
    block.box = block.lines.front().box;
    for (const Line& l : block.lines)
        growBox(block.box, l.box);
}

void measureLine(Line& line)
{
    line.text.clear();
    line.hasCjk = false;
    if (line.words.empty())
        return;
    line.box = line.words.front().box;
    // Size and weight by character count, so one small footnote mark or a
    // bold lead-in word does not decide for the whole line.
    std::map<int, std::size_t> charsBySize;
    std::size_t boldChars = 0, italicChars = 0, fixedChars = 0, allChars = 0;
    std::map<long, std::size_t> charsByBaseline;
    for (std::size_t i = 0; i < line.words.size(); ++i) {
        const Word& w = line.words[i];
        growBox(line.box, w.box);
        const std::size_t n = std::max<std::size_t>(w.text.size(), 1);
        charsBySize[w.format.halfPoints] += n;
        charsByBaseline[std::lround(w.baseline * 4)] += n;
        allChars += n;
        if (w.format.bold)
            boldChars += n;
        if (w.format.italic)
            italicChars += n;
        if (w.fixedWidth)
            fixedChars += n;
        line.text += w.text;
        if (w.spaceAfter && i + 1 < line.words.size())
            line.text += U' ';
        line.hasCjk = line.hasCjk || containsCjk(w.text);
    }
    const auto bySize = std::max_element(charsBySize.begin(), charsBySize.end(),
                                         [](const auto& a, const auto& b) { return a.second < b.second; });
    line.fontSize = bySize->first / static_cast<double>(kHalfPointsPerPoint);
    const auto byBase = std::max_element(charsByBaseline.begin(), charsByBaseline.end(),
                                         [](const auto& a, const auto& b) { return a.second < b.second; });
    line.baseline = static_cast<double>(byBase->first) / 4.0;
    line.bold = boldChars * 2 > allChars;
    line.italic = italicChars * 2 > allChars;
    line.fixedWidth = fixedChars * 2 > allChars;
    line.allItalic = static_cast<double>(italicChars) >= kAllItalicShare * static_cast<double>(allChars);
}

namespace {

bool isLonePiece(const Block& b)
{
    return b.rotation == 0 && b.lines.size() == 1 && b.lines.front().text.size() <= kMaxSpacedPieceChars
        && !b.lines.front().words.empty();
}

// The page's upright lines grouped by baseline: each row lists its blocks,
// left to right, and whether all of them are lone pieces of one size.
struct PieceRow {
    double baseline = 0;
    std::vector<std::size_t> blocks;
    bool allPieces = true;
    bool allSingleLines = true; // each block a single upright line, all of one size
};

std::vector<PieceRow> rowsOf(const PageLines& page)
{
    std::vector<std::pair<double, std::size_t>> lines; // baseline, block
    for (std::size_t i = 0; i < page.blocks.size(); ++i)
        if (page.blocks[i].rotation == 0)
            for (const Line& l : page.blocks[i].lines)
                lines.emplace_back(l.baseline, i);
    std::sort(lines.begin(), lines.end());
    std::vector<PieceRow> rows;
    for (const auto& [baseline, block] : lines) {
        if (rows.empty() || baseline - rows.back().baseline > kSameBaselinePt)
            rows.push_back(PieceRow{baseline, {}, true});
        PieceRow& row = rows.back();
        const Block& b = page.blocks[block];
        const bool sameSize = row.blocks.empty()
            || std::abs(b.lines.front().fontSize - page.blocks[row.blocks.front()].lines.front().fontSize) <= kSameBaselinePt;
        row.allPieces = row.allPieces && isLonePiece(b) && sameSize;
        row.allSingleLines = row.allSingleLines && b.rotation == 0 && b.lines.size() == 1 && sameSize;
        row.blocks.push_back(block);
    }
    for (PieceRow& row : rows)
        std::sort(row.blocks.begin(), row.blocks.end(),
                  [&](std::size_t x, std::size_t y) { return page.blocks[x].box.xMin < page.blocks[y].box.xMin; });
    return rows;
}

// Whether pieces with these gaps (left to right) are the words of one
// justified line.
bool evenlyJustified(const std::vector<double>& gaps, double em)
{
    if (gaps.size() + 1 < kMinJustifiedPieces)
        return false;
    const auto [narrowest, widest] = std::minmax_element(gaps.begin(), gaps.end());
    return *narrowest > 0 && *widest <= kMaxJustifiedGapEm * em && *widest <= kMaxJustifiedGapRatio * *narrowest;
}

// Whether a row of blocks is one justified line cut apart: the first block's
// last line (the line may open a piece of the paragraph above) and single
// lines after it, with no other row of several blocks close above or below
// (a table's rows).
bool isJustifiedRow(const PageLines& page, const std::vector<PieceRow>& rows, std::size_t at)
{
    const PieceRow& row = rows[at];
    if (row.blocks.size() < 2)
        return false;
    const Block& first = page.blocks[row.blocks.front()];
    if (first.rotation != 0 || std::abs(first.lines.back().baseline - row.baseline) > kSameBaselinePt)
        return false;
    const double em = std::max(first.lines.back().fontSize, 1.0);
    std::vector<double> gaps;
    double right = first.lines.back().right();
    for (std::size_t k = 1; k < row.blocks.size(); ++k) {
        const Block& piece = page.blocks[row.blocks[k]];
        if (piece.rotation != 0 || piece.lines.size() != 1
            || std::abs(piece.lines.front().fontSize - first.lines.back().fontSize) > kSameBaselinePt)
            return false;
        gaps.push_back(piece.box.xMin - right);
        right = piece.box.xMax;
    }
    if (!evenlyJustified(gaps, em))
        return false;
    const double reach = kSpacedRowIsolationLines * kSingleLineEm * em;
    for (std::size_t j = 0; j < rows.size(); ++j)
        if (j != at && std::abs(rows[j].baseline - row.baseline) <= reach && rows[j].allSingleLines && rows[j].blocks.size() >= 2)
            return false;
    return true;
}

// Joins the lines of a block that stand side by side on one baseline with
// even gaps, left to right, into the first of them.
void joinJustifiedLinesOfBlock(Block& block)
{
    if (block.rotation != 0 || block.lines.size() < kMinJustifiedPieces)
        return;
    bool joinedAny = false;
    for (std::size_t i = 0; i < block.lines.size(); ++i) {
        if (block.lines[i].words.empty())
            continue;
        std::vector<std::size_t> row{i};
        for (std::size_t j = i + 1; j < block.lines.size(); ++j)
            if (!block.lines[j].words.empty() && std::abs(block.lines[j].baseline - block.lines[i].baseline) <= kSameBaselinePt)
                row.push_back(j);
        std::sort(row.begin(), row.end(), [&](std::size_t x, std::size_t y) { return block.lines[x].left() < block.lines[y].left(); });
        std::vector<double> gaps;
        for (std::size_t k = 1; k < row.size(); ++k)
            gaps.push_back(block.lines[row[k]].left() - block.lines[row[k - 1]].right());
        if (!evenlyJustified(gaps, std::max(block.lines[i].fontSize, 1.0)))
            continue;
        std::vector<Word> words;
        for (std::size_t k : row) {
            for (Word& w : block.lines[k].words)
                words.push_back(std::move(w));
            words.back().spaceAfter = true;
            block.lines[k].words.clear();
        }
        words.back().spaceAfter = false;
        block.lines[i].words = std::move(words);
        measureLine(block.lines[i]);
        joinedAny = true;
    }
    if (joinedAny) {
        std::erase_if(block.lines, [](const Line& l) { return l.words.empty(); });
        fitBlockBox(block);
    }
}

bool isSpacedOutLine(const PageLines& page, const std::vector<PieceRow>& rows, std::size_t at)
{
    const PieceRow& row = rows[at];
    if (!row.allPieces || row.blocks.size() < 2)
        return false;
    const double em = std::max(page.blocks[row.blocks.front()].lines.front().fontSize, 1.0);
    for (std::size_t k = 1; k < row.blocks.size(); ++k) {
        const double gap = page.blocks[row.blocks[k]].box.xMin - page.blocks[row.blocks[k - 1]].box.xMax;
        if (gap <= 0 || gap > kMaxSpacedGapEm * em)
            return false;
    }
    const double centre = (page.blocks[row.blocks.front()].box.xMin + page.blocks[row.blocks.back()].box.xMax) / 2;
    if (std::abs(centre - page.width / 2) > kSpacedCentreToleranceEm * em)
        return false;
    // No other row of pieces close above or below: that would be a table.
    const double reach = kSpacedRowIsolationLines * kSingleLineEm * em;
    for (std::size_t j = 0; j < rows.size(); ++j)
        if (j != at && std::abs(rows[j].baseline - row.baseline) <= reach && rows[j].allPieces && rows[j].blocks.size() >= 2)
            return false;
    return true;
}

// Joins the pieces of each spaced-out line into its first piece's block,
// the gaps kept as ideographic spaces of the line's size; the pieces of a
// justified line are joined as words, with plain spaces.
void joinSpacedOutLines(PageLines& page)
{
    const std::vector<PieceRow> rows = rowsOf(page);
    std::vector<bool> joined(page.blocks.size(), false);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool spacedOut = isSpacedOutLine(page, rows, r);
        if (!spacedOut && !isJustifiedRow(page, rows, r))
            continue;
        Block& into = page.blocks[rows[r].blocks.front()];
        Line& line = into.lines.back();
        const double em = std::max(line.fontSize, 1.0);
        for (std::size_t k = 1; k < rows[r].blocks.size(); ++k) {
            Block& piece = page.blocks[rows[r].blocks[k]];
            const double gap = piece.box.xMin - line.words.back().box.xMax;
            if (spacedOut)
                line.words.back().text.append(static_cast<std::size_t>(std::max(1L, std::lround(gap / em))), kIdeographicSpace);
            line.words.back().spaceAfter = !spacedOut;
            for (Word& w : piece.lines.front().words)
                line.words.push_back(std::move(w));
            joined[rows[r].blocks[k]] = true;
        }
        measureLine(line);
        fitBlockBox(into);
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < page.blocks.size(); ++i)
        if (!joined[i]) {
            if (kept != i)
                page.blocks[kept] = std::move(page.blocks[i]);
            ++kept;
        }
    page.blocks.resize(kept);
}

} // namespace

namespace {

// Poppler sometimes files a big bracket of a formula on the line above or
// below (the closing parenthesis of a small matrix in the line over it):
// a bracket of a math extension font whose middle lies outside the height of
// its line's other words belongs to another line, and we cannot tell which.
// (A big operator stands lower than its limits: it stays.)
void dropMathGlyphsOffTheLine(std::vector<Word>& words, const std::vector<bool>& fromMathFont)
{
    double top = 1e9, bottom = -1e9;
    for (std::size_t i = 0; i < words.size(); ++i)
        if (!fromMathFont[i]) {
            top = std::min(top, words[i].box.yMin);
            bottom = std::max(bottom, words[i].box.yMax);
        }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const double middle = (words[i].box.yMin + words[i].box.yMax) / 2;
        if (fromMathFont[i] && isBareDelimiters(words[i].text) && (middle < top || middle > bottom))
            continue;
        if (kept != i)
            words[kept] = std::move(words[i]);
        ++kept;
    }
    words.resize(kept);
}

} // namespace

PageLines collectLines(const pdf::PageText& page, FontCache& fonts)
{
    PageLines out;
    out.number = page.number;
    out.width = page.width;
    out.height = page.height;
    int flowIndex = 0;
    for (const pdf::TextFlow& flow : page.flows) {
        for (const pdf::TextBlock& block : flow.blocks) {
            Block b;
            b.box = block.box;
            b.rotation = block.rotation;
            b.flow = flowIndex;
            b.lines.reserve(block.lines.size());
            for (const pdf::TextLine& line : block.lines) {
                Line l;
                l.words.reserve(line.words.size());
                bool markerFromSymbolFont = false;
                bool allMathExtension = true;
                std::vector<bool> fromMathFont; // per word of l
                for (const pdf::TextWord& word : line.words) {
                    CharFormat format = fonts.formatFor(word);
                    const bool simplified = !format.eastAsianFamily.empty() && hasRegionalRadical(word.text)
                        && !isOtherCjkRegionFont(word.fontName);
                    const bool mathPiece = isMathExtensionFont(word.fontName);
                    allMathExtension = allMathExtension && mathPiece;
                    // A math extension glyph is never a bullet: it is part of a formula.
                    std::u32string text = normalizeText(mathPiece    ? fromMathExtension(word.text)
                                                        : simplified ? withSimplifiedRadicals(word.text)
                                                                     : word.text);
                    if (word.picture)
                        text.assign(1, char32_t{kInlinePictureMark});
                    if (!mathPiece && l.words.empty() && isUnmappedSymbol(word.text)) {
                        // A list bullet drawn from a symbol font that gives no text for it.
                        text.assign(1, U'•');
                        markerFromSymbolFont = true;
                    }
                    if (text.empty())
                        continue;
                    Word w;
                    w.text = std::move(text);
                    w.format = std::move(format);
                    if (w.format.eastAsianFamily.empty() && containsCjk(w.text))
                        w.format.eastAsianFamily = kDefaultEastAsianFamily;
                    w.box = word.box;
                    w.baseline = word.baseline;
                    w.fontSize = word.fontSize;
                    w.spaceAfter = word.spaceAfter;
                    w.picture = word.picture;
                    w.link = word.link;
                    w.fixedWidth = word.fixedWidth || w.format.fontFamily == kTypewriterFamily;
                    if (w.format.fontKind == FontKind::Typewriter)
                        w.format.letterSpacing = typewriterSpacing(word, word.text.size());
                    l.words.push_back(std::move(w));
                    fromMathFont.push_back(mathPiece);
                }
                if (!allMathExtension)
                    dropMathGlyphsOffTheLine(l.words, fromMathFont);
                if (l.words.empty())
                    continue;
                uncolourTrailingPunctuation(l.words);
                measureLine(l);
                // A tall bracket or brace poppler sets as a line of its own
                // stands beside the formula's lines, not in their text: alone
                // it would cut the paragraph it falls in.
                if (allMathExtension && isBareDelimiters(l.text))
                    continue;
                if (markerFromSymbolFont && l.words.size() > 1) {
                    // Such fonts often claim a size far from the text's: the bullet takes the line's.
                    l.words.front().format.halfPoints = halfPoints(l.fontSize);
                    l.words.front().fontSize = l.fontSize;
                    l.words.front().box.yMin = std::max(l.words.front().box.yMin, l.words[1].box.yMin);
                    l.words.front().box.yMax = std::min(l.words.front().box.yMax, l.words[1].box.yMax);
                    measureLine(l);
                }
                b.lines.push_back(std::move(l));
            }
            joinJustifiedLinesOfBlock(b);
            if (!b.lines.empty())
                out.blocks.push_back(std::move(b));
        }
        ++flowIndex;
    }
    joinSpacedOutLines(out);
    return out;
}

} // namespace pwt::layout

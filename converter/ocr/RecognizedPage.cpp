#include "RecognizedPage.h"

#include "ScanGeometry.h"
#include "TextRules.h"

#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace pwt::ocr {

namespace {

struct TextDeleter {
    void operator()(char* text) const { delete[] text; }
};

bool cjkAt(char32_t c) { return layout::isCjk(c); }

pdf::Box boxAt(const tesseract::ResultIterator& it, tesseract::PageIteratorLevel level, double scale)
{
    int left = 0, top = 0, right = 0, bottom = 0;
    it.BoundingBox(level, &left, &top, &right, &bottom);
    return pdf::Box{left * scale, top * scale, right * scale, bottom * scale};
}

// Sizes and spaces, per block of the engine's once it is read: the block's
// script decides how a row's height maps to the em, so that a line the engine
// misread as Latin inside Chinese text keeps its neighbours' size. Words
// carry their row's height in points until then.
void sizeFlow(pdf::TextFlow& flow)
{
    std::size_t cjk = 0, all = 0;
    for (const pdf::TextBlock& b : flow.blocks)
        for (const pdf::TextLine& l : b.lines)
            for (const pdf::TextWord& w : l.words) {
                all += w.text.size();
                cjk += static_cast<std::size_t>(std::count_if(w.text.begin(), w.text.end(), cjkAt));
            }
    const bool chinese = all > 0 && 2 * cjk >= all;
    for (pdf::TextBlock& b : flow.blocks)
        for (pdf::TextLine& line : b.lines) {
            const double size = lineFontSize(line.words.front().fontSize, chinese);
            for (std::size_t i = 0; i < line.words.size(); ++i) {
                pdf::TextWord& w = line.words[i];
                w.fontSize = size;
                if (i + 1 < line.words.size()) {
                    const pdf::TextWord& next = line.words[i + 1];
                    w.spaceAfter = spaceBetween(w.text, next.text, next.box.xMin - w.box.xMax, size);
                }
            }
        }
}

void setFont(pdf::TextWord& word)
{
    // Recognition gives no font; a serif text face, and Song for Chinese,
    // are what printed pages most often use.
    word.fontName = layout::containsCjk(word.text) ? "SimSun" : "TimesNewRoman";
    word.serif = true;
}

} // namespace

bool spaceBetween(const std::u32string& left, const std::u32string& right, double gapPt, double fontSizePt)
{
    if (left.empty() || right.empty())
        return true;
    if (!cjkAt(left.back()) && !cjkAt(right.front()))
        return true;
    return gapPt >= kCjkSpaceGapEm * fontSizePt;
}

double lineFontSize(double rowHeightPt, bool chinese)
{
    const double size = rowHeightPt / (chinese ? kCjkRowHeightPerEm : kLatinRowHeightPerEm);
    return std::max(kFontSizeStepPt, std::round(size / kFontSizeStepPt) * kFontSizeStepPt);
}

std::u32string fromUtf8(const std::string& text)
{
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        out += c;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

void readRecognizedPage(tesseract::ResultIterator& it, double scale, float minLineConfidence, pdf::PageText& page)
{
    using tesseract::RIL_BLOCK;
    using tesseract::RIL_PARA;
    using tesseract::RIL_TEXTLINE;
    using tesseract::RIL_WORD;

    pdf::TextFlow* flow = nullptr;
    pdf::TextBlock* block = nullptr;
    pdf::TextLine* line = nullptr;
    double rowHeightPt = 0;
    double confidenceSum = 0;
    auto closeLine = [&] {
        if (line && confidenceSum < minLineConfidence * static_cast<double>(line->words.size()))
            line->words.clear();
        if (line)
            for (pdf::TextWord& w : line->words)
                w.fontSize = rowHeightPt;
        if (line && line->words.empty())
            block->lines.pop_back();
        line = nullptr;
    };
    auto closeBlock = [&] {
        closeLine();
        if (block && block->lines.empty())
            flow->blocks.pop_back();
        block = nullptr;
    };
    auto closeFlow = [&] {
        closeBlock();
        if (flow && flow->blocks.empty())
            page.flows.pop_back();
        flow = nullptr;
    };

    it.Begin();
    if (it.Empty(RIL_WORD))
        return;
    do {
        if (it.Empty(RIL_WORD))
            continue;
        if (!flow || it.IsAtBeginningOf(RIL_BLOCK)) {
            closeFlow();
            flow = &page.flows.emplace_back();
        }
        if (!block || it.IsAtBeginningOf(RIL_PARA)) {
            closeBlock();
            block = &flow->blocks.emplace_back();
            block->box = boxAt(it, RIL_PARA, scale);
        }
        if (!line || it.IsAtBeginningOf(RIL_TEXTLINE)) {
            closeLine();
            line = &block->lines.emplace_back();
            confidenceSum = 0;
            float rowHeight = 0, descenders = 0, ascenders = 0;
            it.RowAttributes(&rowHeight, &descenders, &ascenders);
            rowHeightPt = rowHeight * scale;
        }
        const std::unique_ptr<char[], TextDeleter> utf8(it.GetUTF8Text(RIL_WORD));
        if (!utf8)
            continue;
        pdf::TextWord word;
        word.text = fromUtf8(utf8.get());
        if (word.text.empty())
            continue;
        word.box = boxAt(it, RIL_WORD, scale);
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        word.baseline = it.Baseline(RIL_WORD, &x1, &y1, &x2, &y2) ? (y1 + y2) / 2.0 * scale : word.box.yMax;
        setFont(word);
        line->words.push_back(std::move(word));
        confidenceSum += it.Confidence(RIL_WORD);
    } while (it.Next(RIL_WORD));
    closeFlow();

    for (pdf::TextFlow& read : page.flows)
        sizeFlow(read);
    std::vector<pdf::TextFlow> flows = splitAtColumnGaps(std::move(page.flows));
    joinCutBlocks(flows);
    for (pdf::TextFlow& column : flows)
        for (pdf::TextBlock& b : column.blocks)
            regularise(b);
    page.flows = std::move(flows);
}

} // namespace pwt::ocr

#include "TextLayerCheck.h"

namespace pwt::ocr {

namespace {

constexpr double kPointsPerInch = 72.0;

bool isSpace(char32_t c)
{
    return c == U' ' || c == U'\t' || c == 0x00A0 || c == 0x3000;
}

} // namespace

bool isGarbageCharacter(char32_t c)
{
    return c == 0xFFFD || c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0xD800 && c <= 0xDFFF) ||
           (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000 || c > 0x10FFFF;
}

TextLayerStats measureTextLayer(const pdf::PageText& page)
{
    TextLayerStats stats;
    for (const auto& flow : page.flows)
        for (const auto& block : flow.blocks)
            for (const auto& line : block.lines)
                for (const auto& word : line.words)
                    for (const char32_t c : word.text) {
                        if (isSpace(c))
                            continue;
                        ++stats.characters;
                        if (isGarbageCharacter(c))
                            ++stats.garbage;
                    }
    return stats;
}

bool needsRecognition(const pdf::PageText& page, const std::function<double()>& imageCoverage)
{
    const TextLayerStats stats = measureTextLayer(page);
    if (stats.characters == 0)
        return true;
    if (static_cast<double>(stats.garbage) > kGarbageShare * static_cast<double>(stats.characters))
        return true;
    const double pageSquareInches = page.width * page.height / (kPointsPerInch * kPointsPerInch);
    const double readable = static_cast<double>(stats.characters - stats.garbage);
    // However much of the page images cover, this much text is enough.
    if (readable >= kMinCharsPerImageSquareInch * pageSquareInches)
        return false;
    const double share = imageCoverage();
    return share >= kScanImageShare && readable < kMinCharsPerImageSquareInch * share * pageSquareInches;
}

} // namespace pwt::ocr

#include "ImageDecoder.h"

#include <GfxState.h>
#include <Object.h>
#include <Stream.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string_view>
#include <vector>

namespace pwt::pdf {

namespace {

// The page's clock is asked once per this many rows read or skipped.
constexpr int kRowsBetweenTimeChecks = 32;

// Every filter poppler decodes, with the abbreviations inline images use.
constexpr std::array<std::string_view, 17> kKnownFilters = {
    "FlateDecode", "Fl", "LZWDecode", "LZW", "ASCIIHexDecode", "AHx", "ASCII85Decode", "A85", "RunLengthDecode",
    "RL", "CCITTFaxDecode", "CCF", "DCTDecode", "DCT", "JBIG2Decode", "JPXDecode", "Crypt"};

// The source column or row a sampled one takes: the middle of its span.
int sourceIndex(int sampled, int sampledCount, int sourceCount)
{
    const auto at = (static_cast<double>(sampled) + 0.5) * sourceCount / sampledCount;
    return std::clamp(static_cast<int>(at), 0, sourceCount - 1);
}

std::vector<int> sourceColumns(int sampledWidth, int width)
{
    std::vector<int> columns(static_cast<std::size_t>(sampledWidth));
    for (int x = 0; x < sampledWidth; ++x)
        columns[static_cast<std::size_t>(x)] = sourceIndex(x, sampledWidth, width);
    return columns;
}

void noteFilter(const Object& name, std::string& unknown)
{
    if (!name.isName())
        return;
    const std::string_view filter = name.getName();
    if (std::find(kKnownFilters.begin(), kKnownFilters.end(), filter) != kKnownFilters.end())
        return;
    if (!unknown.empty())
        unknown += ", ";
    unknown += filter;
}

// Passes another stream's data on and notes when it runs out: poppler's
// ImageStream pads the rows past the end of the data, and lookChar() cannot
// tell the end of every kind of stream before its first read.
class EndWatchingStream final : public Stream {
public:
    explicit EndWatchingStream(Stream* source) : m_source(source) {}

    bool ended() const { return m_ended; }

    StreamKind getKind() const override { return strWeird; }
    void reset() override
    {
        m_ended = false;
        m_source->reset();
    }
    void close() override { m_source->close(); }
    int getChar() override
    {
        const int c = m_source->getChar();
        m_ended = m_ended || c == EOF;
        return c;
    }
    int lookChar() override { return m_source->lookChar(); }
    bool hasGetChars() override { return true; }
    int getChars(int nChars, unsigned char* buffer) override
    {
        const int got = m_source->doGetChars(nChars, buffer);
        m_ended = m_ended || got < nChars;
        return got;
    }
    int getUnfilteredChar() override { return m_source->getUnfilteredChar(); }
    void unfilteredReset() override { m_source->unfilteredReset(); }
    Goffset getPos() override { return m_source->getPos(); }
    void setPos(Goffset pos, int dir) override { m_source->setPos(pos, dir); }
    bool isBinary(bool last) const override { return m_source->isBinary(last); }
    BaseStream* getBaseStream() override { return m_source->getBaseStream(); }
    Stream* getUndecodedStream() override { return m_source->getUndecodedStream(); }
    Dict* getDict() override { return m_source->getDict(); }
    Object* getDictObject() override { return m_source->getDictObject(); }
    Stream* getNextStream() const override { return m_source; }

private:
    Stream* m_source; // the caller's
    bool m_ended = false;
};

} // namespace

bool readableImageSize(int width, int height, int comps, int bits)
{
    if (width > kMaxImageSide || height > kMaxImageSide)
        return false;
    const double rowBytes = std::ceil(static_cast<double>(width) * std::max(comps, 1) * std::max(bits, 1) / 8.0);
    return rowBytes * static_cast<double>(height) <= kMaxImageSampleBytes;
}

double pixelBudget(double widthPt, double heightPt)
{
    constexpr double kPointsPerInch = 72.0;
    const double pixels = (widthPt / kPointsPerInch * kMaxPictureDpi) * (heightPt / kPointsPerInch * kMaxPictureDpi);
    return std::isfinite(pixels) ? std::clamp(pixels, 1.0, kMaxDecodedPixels) : kMaxDecodedPixels;
}

void sampledSize(int width, int height, int& sampledWidth, int& sampledHeight, double maxPixels)
{
    const double pixels = static_cast<double>(width) * static_cast<double>(height);
    const double budget = std::clamp(maxPixels, 1.0, kMaxDecodedPixels);
    const double scale = pixels > budget ? std::sqrt(budget / pixels) : 1.0;
    sampledWidth = std::clamp(static_cast<int>(std::floor(width * scale)), 1, std::max(width, 1));
    sampledHeight = std::clamp(static_cast<int>(std::floor(height * scale)), 1, std::max(height, 1));
}

ImageDecoder::ImageDecoder(std::function<bool()> expired, double maxPixels)
    : m_expired(std::move(expired)), m_maxPixels(maxPixels)
{
}

DecodeStatus ImageDecoder::readRows(Stream* str, int width, int height, int comps, int bits, int sampledHeight,
                                    const std::function<void(int, unsigned char*)>& onRow) const
{
    if (!readableImageSize(width, height, comps, bits))
        return DecodeStatus::TooLarge;
    EndWatchingStream data(str);
    ImageStream rows(&data, width, comps, bits);
    rows.reset();
    DecodeStatus status = DecodeStatus::Whole;
    int sampledRow = 0;
    for (int row = 0; row < height && sampledRow < sampledHeight; ++row) {
        if (row % kRowsBetweenTimeChecks == 0 && m_expired && m_expired()) {
            status = DecodeStatus::OutOfTime;
            break;
        }
        if (sourceIndex(sampledRow, sampledHeight, height) != row) {
            rows.skipLine();
        } else if (unsigned char* samples = rows.getLine()) {
            onRow(sampledRow++, samples);
        } else {
            data.getChar(); // no line buffer: nothing can be read
        }
        // The rest would all read as padding.
        if (data.ended()) {
            status = row == 0 ? DecodeStatus::NoData : DecodeStatus::CutShort;
            break;
        }
    }
    rows.close();
    return status;
}

DecodedImage ImageDecoder::decodeColour(Stream* str, int width, int height, GfxImageColorMap* colorMap,
                                        const int* maskColors) const
{
    DecodedImage out;
    if (!colorMap || !colorMap->isOk() || width <= 0 || height <= 0)
        return out;
    const int comps = colorMap->getNumPixelComps();
    const int bits = colorMap->getBits();
    if (!readableImageSize(width, height, comps, bits)) {
        out.status = DecodeStatus::TooLarge;
        return out;
    }
    int sw = 0, sh = 0;
    sampledSize(width, height, sw, sh, m_maxPixels);
    const bool keyed = maskColors != nullptr;
    out.raster = Raster(sw, sh, keyed ? 4 : 3, 0xFF);
    const std::vector<int> columns = sourceColumns(sw, width);
    std::vector<unsigned char> picked(static_cast<std::size_t>(sw) * static_cast<std::size_t>(comps));
    std::vector<unsigned char> rgb(static_cast<std::size_t>(sw) * 3);
    out.status = readRows(str, width, height, comps, bits, sh, [&](int y, unsigned char* samples) {
        for (int x = 0; x < sw; ++x)
            std::copy_n(samples + static_cast<std::size_t>(columns[static_cast<std::size_t>(x)]) * static_cast<std::size_t>(comps),
                        comps, picked.begin() + static_cast<std::ptrdiff_t>(x) * comps);
        colorMap->getRGBLine(picked.data(), rgb.data(), sw);
        std::uint8_t* to = out.raster.row(y);
        for (int x = 0; x < sw; ++x) {
            const auto i = static_cast<std::size_t>(x);
            std::uint8_t* pixel = to + i * static_cast<std::size_t>(out.raster.channels);
            std::copy_n(rgb.begin() + static_cast<std::ptrdiff_t>(i * 3), 3, pixel);
            if (!keyed)
                continue;
            bool inKey = true;
            for (int c = 0; c < comps && inKey; ++c) {
                const int v = picked[i * static_cast<std::size_t>(comps) + static_cast<std::size_t>(c)];
                inKey = v >= maskColors[2 * c] && v <= maskColors[2 * c + 1];
            }
            pixel[3] = inKey ? 0x00 : 0xFF;
        }
    });
    return out;
}

DecodedImage ImageDecoder::decodeStencil(Stream* str, int width, int height, bool invert, std::uint32_t fillRgb) const
{
    DecodedImage out;
    if (width <= 0 || height <= 0)
        return out;
    if (!readableImageSize(width, height, 1, 1)) {
        out.status = DecodeStatus::TooLarge;
        return out;
    }
    int sw = 0, sh = 0;
    sampledSize(width, height, sw, sh, m_maxPixels);
    out.raster = Raster(sw, sh, 4, 0);
    const std::vector<int> columns = sourceColumns(sw, width);
    const auto r = static_cast<std::uint8_t>(fillRgb >> 16), g = static_cast<std::uint8_t>(fillRgb >> 8),
               b = static_cast<std::uint8_t>(fillRgb);
    // A sample of 0 paints, unless the Decode array swaps the meaning.
    const unsigned char paints = invert ? 1 : 0;
    out.status = readRows(str, width, height, 1, 1, sh, [&](int y, unsigned char* samples) {
        std::uint8_t* to = out.raster.row(y);
        for (int x = 0; x < sw; ++x, to += 4) {
            to[0] = r;
            to[1] = g;
            to[2] = b;
            to[3] = samples[columns[static_cast<std::size_t>(x)]] == paints ? 0xFF : 0x00;
        }
    });
    return out;
}

DecodeStatus ImageDecoder::readAlpha(Raster& image, Stream* mask, int width, int height, int comps, int bits,
                                     const std::function<void(unsigned char*, std::uint8_t*)>& toAlpha) const
{
    if (image.channels != 4 || width <= 0 || height <= 0)
        return DecodeStatus::NoData;
    // The mask sampled to the image's width and at most its height; rows the
    // mask lacks hide nothing.
    const int rows = std::min(image.height, height);
    const auto rowBytes = static_cast<std::size_t>(image.width);
    std::vector<std::uint8_t> alpha(rowBytes * static_cast<std::size_t>(rows), 0xFF);
    const DecodeStatus status = readRows(mask, width, height, comps, bits, rows, [&](int y, unsigned char* samples) {
        toAlpha(samples, alpha.data() + rowBytes * static_cast<std::size_t>(y));
    });
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* from = alpha.data() + rowBytes * static_cast<std::size_t>(sourceIndex(y, image.height, rows));
        std::uint8_t* to = image.row(y);
        for (std::size_t x = 0; x < rowBytes; ++x)
            to[x * 4 + 3] = from[x];
    }
    return status;
}

DecodeStatus ImageDecoder::applyStencilMask(Raster& image, Stream* mask, int width, int height, bool invert) const
{
    const std::vector<int> columns = sourceColumns(image.width, width);
    // As in a stencil mask, a sample of 0 shows the image unless the Decode array swaps it.
    const unsigned char shows = invert ? 1 : 0;
    return readAlpha(image, mask, width, height, 1, 1, [&](unsigned char* samples, std::uint8_t* alpha) {
        for (std::size_t x = 0; x < columns.size(); ++x)
            alpha[x] = samples[columns[x]] == shows ? 0xFF : 0x00;
    });
}

DecodeStatus ImageDecoder::applySoftMask(Raster& image, Stream* mask, int width, int height,
                                         GfxImageColorMap* colorMap) const
{
    if (!colorMap || !colorMap->isOk())
        return DecodeStatus::NoData;
    const int comps = colorMap->getNumPixelComps();
    const std::vector<int> columns = sourceColumns(image.width, width);
    std::vector<unsigned char> picked(columns.size() * static_cast<std::size_t>(comps));
    return readAlpha(image, mask, width, height, comps, colorMap->getBits(), [&](unsigned char* samples, std::uint8_t* alpha) {
        for (std::size_t x = 0; x < columns.size(); ++x)
            std::copy_n(samples + static_cast<std::size_t>(columns[x]) * static_cast<std::size_t>(comps), comps,
                        picked.begin() + static_cast<std::ptrdiff_t>(x) * comps);
        colorMap->getGrayLine(picked.data(), alpha, image.width);
    });
}

std::string unknownFilters(Stream* str)
{
    std::string unknown;
    if (!str)
        return unknown;
    Dict* dict = str->getDict();
    if (!dict)
        return unknown;
    Object filter = dict->lookup("Filter");
    if (filter.isNull())
        filter = dict->lookup("F");
    if (filter.isArray()) {
        for (int i = 0; i < filter.arrayGetLength(); ++i)
            noteFilter(filter.arrayGet(i), unknown);
    } else {
        noteFilter(filter, unknown);
    }
    return unknown;
}

} // namespace pwt::pdf

#include "PageObjectCollector.h"

#include "ImageDecoder.h"
#include "JpegPassThrough.h"
#include "PngEncoder.h"

#include <GfxState.h>
#include <Object.h>
#include <Stream.h>

#include <algorithm>
#include <cmath>

namespace pwt::pdf {

namespace {

// Images shown smaller than this on a side (points) are dots, spacers and
// hairlines, not pictures.
constexpr double kMinShownSidePt = 2.0;
// Images of at most this many pixels on both sides are spacers or single
// colours stretched over an area, never pictures.
constexpr int kSpacerSidePixels = 2;
// An image shown more than this many times the page's size on a side shows
// under a hundredth of itself: an absurd transformation, not a picture.
constexpr double kMaxShownPageMultiple = 100.0;
// Path points closer than this (points) count as on one line: an
// axis-aligned rectangle or rule.
constexpr double kAxisTolerancePt = 0.01;
// The colour given to pattern and shading fills whose colour varies.
constexpr std::uint32_t kVaryingFillRgb = 0x808080;

std::uint32_t toRgb(const GfxRGB& rgb)
{
    auto channel = [](GfxColorComp c) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(colToDbl(c), 0.0, 1.0) * 255.0));
    };
    return (channel(rgb.r) << 16) | (channel(rgb.g) << 8) | channel(rgb.b);
}

std::uint32_t fillRgbOf(const GfxState* state)
{
    GfxRGB rgb;
    state->getFillRGB(&rgb);
    return toRgb(rgb);
}

bool finite(const Box& b)
{
    return std::isfinite(b.xMin) && std::isfinite(b.yMin) && std::isfinite(b.xMax) && std::isfinite(b.yMax);
}

Box clipBox(const GfxState* state)
{
    Box clip;
    state->getClipBBox(&clip.xMin, &clip.yMin, &clip.xMax, &clip.yMax);
    return clip;
}

// The overlap of two boxes; empty (zero or negative size) when they do not meet.
Box intersect(const Box& a, const Box& b)
{
    return {std::max(a.xMin, b.xMin), std::max(a.yMin, b.yMin), std::min(a.xMax, b.xMax), std::min(a.yMax, b.yMax)};
}

// How the image's pixel grid lies on the page: its columns run along the
// first column of the transformation, its rows (top to bottom) against the
// second, both in device space where y grows down.
Orientation orientationOf(const double* ctm)
{
    const double colX = ctm[0], colY = ctm[1];
    const double rowX = -ctm[2], rowY = -ctm[3];
    Orientation o;
    o.transposed = std::abs(colX) < std::abs(colY);
    if (!o.transposed) {
        o.mirrorX = colX < 0;
        o.mirrorY = rowY < 0;
    } else {
        o.mirrorX = rowX < 0;
        o.mirrorY = colY < 0;
    }
    return o;
}

// One axis-aligned rectangle or straight rule: one subpath of straight
// segments between at most two x and two y values.
bool isAxisAlignedRectangle(const GfxPath* path, const GfxState* state)
{
    if (path->getNumSubpaths() != 1)
        return false;
    const GfxSubpath* sub = path->getSubpath(0);
    const int n = sub->getNumPoints();
    if (n < 2 || n > 5)
        return false;
    std::vector<double> xs, ys;
    auto note = [](std::vector<double>& values, double v) {
        if (std::none_of(values.begin(), values.end(), [v](double w) { return std::abs(v - w) <= kAxisTolerancePt; }))
            values.push_back(v);
    };
    double px = 0, py = 0, firstX = 0, firstY = 0;
    for (int i = 0; i < n; ++i) {
        if (sub->getCurve(i))
            return false;
        double x = 0, y = 0;
        state->transform(sub->getX(i), sub->getY(i), &x, &y);
        if (i == 0) {
            firstX = x;
            firstY = y;
        } else if (std::abs(x - px) > kAxisTolerancePt && std::abs(y - py) > kAxisTolerancePt) {
            return false; // a slanted segment
        }
        note(xs, x);
        note(ys, y);
        px = x;
        py = y;
    }
    const bool closingIsAxisAligned =
        n == 2 || std::abs(firstX - px) <= kAxisTolerancePt || std::abs(firstY - py) <= kAxisTolerancePt;
    return closingIsAxisAligned && xs.size() <= 2 && ys.size() <= 2;
}

std::string reasonFor(DecodeStatus status, Stream* str, int width, int height)
{
    switch (status) {
    case DecodeStatus::TooLarge:
        return "it claims " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    case DecodeStatus::OutOfTime:
        return "the page's time ran out while it was read";
    default:
        break;
    }
    if (const std::string unknown = unknownFilters(str); !unknown.empty())
        return "its compression (" + unknown + ") is not one PDF readers know";
    return "its data is damaged or missing";
}

} // namespace

PageObjectCollector::PageObjectCollector() : TextOutputDev(nullptr, false, 0.0, false, false) {}

PageObjectCollector::~PageObjectCollector() = default;

void PageObjectCollector::beginPage(std::function<bool()> expired)
{
    m_expired = std::move(expired);
    m_images.clear();
    m_paths.clear();
    m_warnings.clear();
    m_imagesDropped = 0;
    m_softMaskGroups = 0;
    m_groups.clear();
    m_savedStates.reset();
    m_glyphColours.clear();
}

void PageObjectCollector::drawChar(GfxState* state, double x, double y, double dx, double dy, double originX,
                                   double originY, CharCode c, int nBytes, const Unicode* u, int uLen)
{
    TextOutputDev::drawChar(state, x, y, dx, dy, originX, originY, c, nBytes, u, uLen);
    if (uLen <= 0)
        return;
    // The advance as poppler's text measures it: without the character and
    // word spacing, shared evenly by the characters of a ligature.
    const double spacing = state->getCharSpace() + (c == 0x20 ? state->getWordSpace() : 0.0);
    double spaceX = 0, spaceY = 0;
    state->textTransformDelta(spacing * state->getHorizScaling(), 0, &spaceX, &spaceY);
    double originPageX = 0, originPageY = 0, advanceX = 0, advanceY = 0;
    state->transform(x, y, &originPageX, &originPageY);
    state->transformDelta(dx - spaceX, dy - spaceY, &advanceX, &advanceY);
    const double share = 1.0 / uLen;
    const std::uint32_t rgb = fillRgbOf(state);
    for (int i = 0; i < uLen; ++i)
        m_glyphColours.add(originPageX + i * share * advanceX, originPageY + i * share * advanceY, share * advanceX,
                           share * advanceY, rgb);
}

void PageObjectCollector::saveState(GfxState* state)
{
    m_savedStates.saved();
    TextOutputDev::saveState(state);
}

void PageObjectCollector::restoreState(GfxState* state)
{
    m_savedStates.restored();
    TextOutputDev::restoreState(state);
}

std::vector<std::string> PageObjectCollector::takeWarnings()
{
    std::vector<std::string> out;
    for (const auto& [reason, count] : m_warnings)
        out.push_back(count == 1 ? "a picture was left out: " + reason
                                 : std::to_string(count) + " pictures were left out: " + reason);
    if (m_savedStates.tooDeep())
        out.push_back("its drawing saves graphics states more than " + std::to_string(kMaxSavedStates)
                      + " deep; the rest of the page was left out");
    if (m_imagesDropped > 0)
        out.push_back("only its first " + std::to_string(kMaxImagesPerPage) + " pictures were kept; "
                      + std::to_string(m_imagesDropped) + " more were left out");
    m_warnings.clear();
    m_imagesDropped = 0;
    return out;
}

void PageObjectCollector::warn(const std::string& reason)
{
    const auto it = std::find_if(m_warnings.begin(), m_warnings.end(), [&](const auto& w) { return w.first == reason; });
    if (it != m_warnings.end())
        ++it->second;
    else
        m_warnings.emplace_back(reason, 1);
}

// ---- paths

void PageObjectCollector::recordPath(GfxState* state, bool stroked, bool filled)
{
    if (!collecting() || m_paths.size() >= kMaxPathsPerPage)
        return;
    const GfxPath* path = state->getPath();
    if (!path)
        return;
    Box box{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (int s = 0; s < path->getNumSubpaths(); ++s) {
        const GfxSubpath* sub = path->getSubpath(s);
        for (int i = 0; i < sub->getNumPoints(); ++i) {
            double x = 0, y = 0;
            state->transform(sub->getX(i), sub->getY(i), &x, &y);
            box = {std::min(box.xMin, x), std::min(box.yMin, y), std::max(box.xMax, x), std::max(box.yMax, y)};
        }
    }
    if (!finite(box))
        return;
    // The part shown: a path the clip hides entirely is not on the page.
    const Box shown = intersect(box, clipBox(state));
    if (shown.xMax < shown.xMin || shown.yMax < shown.yMin)
        return;

    PagePath out;
    out.box = shown;
    out.rectangle = isAxisAlignedRectangle(path, state);
    if (filled) {
        out.filled = true;
        out.fillRgb = fillRgbOf(state);
    }
    if (stroked) {
        GfxRGB rgb;
        state->getStrokeRGB(&rgb);
        out.stroked = true;
        out.strokeRgb = toRgb(rgb);
        out.lineWidth = state->getTransformedLineWidth();
    }
    // Fill-and-stroke comes as a fill, then a stroke of the same path.
    if (stroked && !filled && !m_paths.empty()) {
        PagePath& last = m_paths.back();
        if (last.filled && !last.stroked && last.box.xMin == out.box.xMin && last.box.yMin == out.box.yMin
            && last.box.xMax == out.box.xMax && last.box.yMax == out.box.yMax) {
            last.stroked = true;
            last.strokeRgb = out.strokeRgb;
            last.lineWidth = out.lineWidth;
            return;
        }
    }
    m_paths.push_back(out);
}

void PageObjectCollector::recordArea(GfxState* state, std::uint32_t rgb)
{
    if (!collecting() || m_paths.size() >= kMaxPathsPerPage)
        return;
    const Box clip = clipBox(state);
    if (!finite(clip) || clip.xMax <= clip.xMin || clip.yMax <= clip.yMin)
        return;
    PagePath out;
    out.box = clip;
    out.filled = true;
    out.fillRgb = rgb;
    m_paths.push_back(out);
}

void PageObjectCollector::stroke(GfxState* state)
{
    TextOutputDev::stroke(state); // underlines
    recordPath(state, true, false);
}

void PageObjectCollector::fill(GfxState* state)
{
    TextOutputDev::fill(state);
    recordPath(state, false, true);
}

void PageObjectCollector::eoFill(GfxState* state)
{
    TextOutputDev::eoFill(state);
    recordPath(state, false, true);
}

bool PageObjectCollector::useShadedFills(int type)
{
    // Types 1 to 7: function, axial, radial, free-form and lattice-form
    // triangle meshes, Coons and tensor-product patch meshes.
    constexpr int kLastShadingType = 7;
    return type >= 1 && type <= kLastShadingType;
}

bool PageObjectCollector::tilingPatternFill(GfxState* state, Gfx*, Catalog*, GfxTilingPattern*, const double*, int,
                                            int, int, int, double, double)
{
    recordArea(state, kVaryingFillRgb);
    return true;
}

bool PageObjectCollector::functionShadedFill(GfxState* state, GfxFunctionShading*)
{
    recordArea(state, kVaryingFillRgb);
    return true;
}

bool PageObjectCollector::axialShadedFill(GfxState* state, GfxAxialShading* shading, double tMin, double tMax)
{
    GfxColor color;
    GfxRGB rgb;
    shading->getColor((tMin + tMax) / 2, &color);
    shading->getColorSpace()->getRGB(&color, &rgb);
    recordArea(state, toRgb(rgb));
    return true;
}

bool PageObjectCollector::radialShadedFill(GfxState* state, GfxRadialShading* shading, double sMin, double sMax)
{
    GfxColor color;
    GfxRGB rgb;
    shading->getColor((sMin + sMax) / 2, &color);
    shading->getColorSpace()->getRGB(&color, &rgb);
    recordArea(state, toRgb(rgb));
    return true;
}

bool PageObjectCollector::gouraudTriangleShadedFill(GfxState* state, GfxGouraudTriangleShading*)
{
    recordArea(state, kVaryingFillRgb);
    return true;
}

bool PageObjectCollector::patchMeshShadedFill(GfxState* state, GfxPatchMeshShading*)
{
    recordArea(state, kVaryingFillRgb);
    return true;
}

void PageObjectCollector::beginTransparencyGroup(GfxState*, const double*, GfxColorSpace*, bool, bool, bool forSoftMask)
{
    m_groups.push_back(forSoftMask);
    if (forSoftMask)
        ++m_softMaskGroups;
}

void PageObjectCollector::endTransparencyGroup(GfxState*)
{
    if (m_groups.empty())
        return;
    if (m_groups.back())
        --m_softMaskGroups;
    m_groups.pop_back();
}

// ---- images

bool PageObjectCollector::placeImage(GfxState* state, int width, int height, Placement& placement)
{
    if (!collecting())
        return false;
    // An image fills the unit square of its user space.
    double xs[4], ys[4];
    const double corners[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i)
        state->transform(corners[i][0], corners[i][1], &xs[i], &ys[i]);
    Box box{*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4), *std::max_element(xs, xs + 4),
            *std::max_element(ys, ys + 4)};
    if (!finite(box) || box.width() < kMinShownSidePt || box.height() < kMinShownSidePt)
        return false;
    if (width <= kSpacerSidePixels && height <= kSpacerSidePixels)
        return false;
    if (box.width() > kMaxShownPageMultiple * state->getPageWidth()
        || box.height() > kMaxShownPageMultiple * state->getPageHeight()) {
        warn("it is shown far larger than the page");
        return false;
    }
    const Box visible = intersect(box, clipBox(state));
    if (!finite(visible) || visible.xMax <= visible.xMin || visible.yMax <= visible.yMin)
        return false;
    if (m_images.size() >= kMaxImagesPerPage) {
        ++m_imagesDropped;
        return false;
    }
    placement.box = box;
    placement.visible = visible;
    placement.orientation = orientationOf(state->getCTM());
    int sampledWidth = 0, sampledHeight = 0;
    sampledSize(width, height, sampledWidth, sampledHeight, pixelBudget(box.width(), box.height()));
    placement.decodedPixels = static_cast<double>(sampledWidth) * sampledHeight;
    return true;
}

void PageObjectCollector::addImage(const Placement& placement, Object* ref, std::uint32_t fillRgb, bool mask,
                                   const std::function<MadeImage()>& make)
{
    const bool shared = ref && ref->isRef();
    ImageKey key;
    if (shared)
        key = {ref->getRef().num, ref->getRef().gen, placement.orientation.code(), mask ? fillRgb : 0};
    const MadeImage* found = shared ? m_cache.find(key) : nullptr;
    // Decoded for a smaller place, it is decoded again for this larger one.
    if (found && found->image && found->image->format == ImageFormat::Png
        && static_cast<double>(found->image->pixelWidth) * found->image->pixelHeight < placement.decodedPixels)
        found = nullptr;
    MadeImage made;
    if (found) {
        made = *found;
    } else if (m_imageBytes >= kMaxImageBytesPerDocument) {
        made.failure = "the document's pictures already take " + std::to_string(kMaxImageBytesPerDocument >> 20)
                       + " MB";
    } else {
        made = make();
        if (made.image)
            m_imageBytes += made.image->bytes.size();
        if (shared)
            m_cache.insert(key, made);
    }
    if (!made.failure.empty())
        warn(made.failure);
    if (!made.note.empty())
        warn(made.note);
    if (!made.image)
        return;
    PageImage out;
    out.box = placement.box;
    out.visible = placement.visible;
    out.image = made.image;
    out.mask = mask;
    m_images.push_back(std::move(out));
}

namespace {

// The pixels as a PNG, turned as shown.
MadeImage toPng(DecodedImage decoded, Orientation orientation, Stream* str, int width, int height)
{
    MadeImage made;
    if (!decoded.usable()) {
        made.failure = reasonFor(decoded.status, str, width, height);
        return made;
    }
    Raster shown = orient(decoded.raster, orientation);
    decoded.raster = Raster{};
    dropUnusedChannels(shown);
    auto data = std::make_shared<ImageData>();
    data->format = ImageFormat::Png;
    data->bytes = encodePng(shown);
    data->pixelWidth = shown.width;
    data->pixelHeight = shown.height;
    if (data->bytes.empty()) {
        made.failure = "it cannot be encoded as PNG";
        return made;
    }
    made.image = std::move(data);
    if (decoded.status == DecodeStatus::CutShort)
        made.note = "a picture's data ends early; its missing part is left blank";
    return made;
}

} // namespace

void PageObjectCollector::drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                                        bool interpolate, bool inlineImg)
{
    Placement placement;
    if (!placeImage(state, width, height, placement)) {
        OutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg); // skips its data
        return;
    }
    const std::uint32_t fillRgb = fillRgbOf(state);
    addImage(placement, ref, fillRgb, true, [&] {
        const ImageDecoder decoder(m_expired, pixelBudget(placement.box.width(), placement.box.height()));
        return toPng(decoder.decodeStencil(str, width, height, invert, fillRgb), placement.orientation, str, width,
                     height);
    });
}

void PageObjectCollector::setSoftMaskFromImageMask(GfxState* state, Object* ref, Stream* str, int width, int height,
                                                   bool invert, bool inlineImg, double*)
{
    // A stencil mask filled with a pattern: the pattern's fill follows and
    // is taken as an area; the mask's data is only skipped.
    OutputDev::drawImageMask(state, ref, str, width, height, invert, false, inlineImg);
}

void PageObjectCollector::unsetSoftMaskFromImageMask(GfxState*, double*) {}

void PageObjectCollector::drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                    GfxImageColorMap* colorMap, bool interpolate, const int* maskColors, bool inlineImg)
{
    Placement placement;
    if (!placeImage(state, width, height, placement)) {
        OutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
        return;
    }
    addImage(placement, ref, 0, false, [&] {
        // JPEG as the PDF carries it where it shows as it is; inline images
        // are left to the decoder, their stream cannot be read twice.
        if (!inlineImg && !maskColors && placement.orientation.upright() && isPlainJpeg(str, colorMap)) {
            if (auto jpeg = readJpeg(str, width, height, colorMap->getNumPixelComps())) {
                auto data = std::make_shared<ImageData>();
                data->format = ImageFormat::Jpeg;
                data->bytes = std::move(*jpeg);
                data->pixelWidth = width;
                data->pixelHeight = height;
                MadeImage made;
                made.image = std::move(data);
                return made;
            }
        }
        const ImageDecoder decoder(m_expired, pixelBudget(placement.box.width(), placement.box.height()));
        return toPng(decoder.decodeColour(str, width, height, colorMap, maskColors), placement.orientation, str, width,
                     height);
    });
}

void PageObjectCollector::addMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                         GfxImageColorMap* colorMap,
                                         const std::function<DecodeStatus(const ImageDecoder&, Raster&)>& applyMask)
{
    Placement placement;
    if (!placeImage(state, width, height, placement))
        return; // only image XObjects have masks: no inline data to skip
    addImage(placement, ref, 0, false, [&] {
        const ImageDecoder decoder(m_expired, pixelBudget(placement.box.width(), placement.box.height()));
        DecodedImage decoded = decoder.decodeColour(str, width, height, colorMap, nullptr);
        if (decoded.usable()) {
            decoded.raster = withAlpha(std::move(decoded.raster));
            const DecodeStatus mask = applyMask(decoder, decoded.raster);
            if (mask == DecodeStatus::OutOfTime || mask == DecodeStatus::TooLarge)
                decoded.status = mask;
        }
        return toPng(std::move(decoded), placement.orientation, str, width, height);
    });
}

void PageObjectCollector::drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                          GfxImageColorMap* colorMap, bool, Stream* maskStr, int maskWidth,
                                          int maskHeight, bool maskInvert, bool)
{
    addMaskedImage(state, ref, str, width, height, colorMap, [&](const ImageDecoder& decoder, Raster& image) {
        return decoder.applyStencilMask(image, maskStr, maskWidth, maskHeight, maskInvert);
    });
}

void PageObjectCollector::drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                              GfxImageColorMap* colorMap, bool, Stream* maskStr, int maskWidth,
                                              int maskHeight, GfxImageColorMap* maskColorMap, bool)
{
    addMaskedImage(state, ref, str, width, height, colorMap, [&](const ImageDecoder& decoder, Raster& image) {
        return decoder.applySoftMask(image, maskStr, maskWidth, maskHeight, maskColorMap);
    });
}

} // namespace pwt::pdf

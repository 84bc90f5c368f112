#include "BoundedSplashOutputDev.h"

#include "ImageDecoder.h"

#include <GfxState.h>
#include <Stream.h>

#include <algorithm>
#include <cmath>

namespace pwt::pdf {

bool drawableImage(const GfxState* state)
{
    // An image fills the unit square of its user space.
    double xs[4], ys[4];
    const double corners[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i)
        state->transform(corners[i][0], corners[i][1], &xs[i], &ys[i]);
    const double width = *std::max_element(xs, xs + 4) - *std::min_element(xs, xs + 4);
    const double height = *std::max_element(ys, ys + 4) - *std::min_element(ys, ys + 4);
    const double pixels = width * height;
    return std::isfinite(pixels) && pixels <= kMaxDrawnImagePixels;
}

void BoundedSplashOutputDev::startPage(int pageNum, GfxState* state, XRef* pageXref)
{
    m_savedStates.reset();
    SplashOutputDev::startPage(pageNum, state, pageXref);
}

void BoundedSplashOutputDev::saveState(GfxState* state)
{
    m_savedStates.saved();
    SplashOutputDev::saveState(state);
}

void BoundedSplashOutputDev::restoreState(GfxState* state)
{
    m_savedStates.restored();
    SplashOutputDev::restoreState(state);
}

void skipInlineImageData(Stream* str, int width, int height, int comps, int bits)
{
    if (!str || width <= 0 || height <= 0)
        return;
    const double rowBytes = std::ceil(static_cast<double>(width) * std::max(comps, 1) * std::max(bits, 1) / 8.0);
    const double bytes = rowBytes * static_cast<double>(height);
    str->reset();
    for (double read = 0; read < bytes && str->getChar() != EOF; ++read) {
    }
    str->close();
}

void BoundedSplashOutputDev::drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height,
                                           bool invert, bool interpolate, bool inlineImg)
{
    if (drawableImage(state) && readableImageSize(width, height, 1, 1))
        SplashOutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg);
    else if (inlineImg)
        skipInlineImageData(str, width, height, 1, 1);
}

void BoundedSplashOutputDev::drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                       GfxImageColorMap* colorMap, bool interpolate, const int* maskColors,
                                       bool inlineImg)
{
    const int comps = colorMap ? colorMap->getNumPixelComps() : 1;
    const int bits = colorMap ? colorMap->getBits() : 8;
    if (drawableImage(state) && readableImageSize(width, height, comps, bits))
        SplashOutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
    else if (inlineImg)
        skipInlineImageData(str, width, height, comps, bits);
}

void BoundedSplashOutputDev::drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                             GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr,
                                             int maskWidth, int maskHeight, bool maskInvert, bool maskInterpolate)
{
    // Only image XObjects have masks: there is no inline data to skip.
    if (drawableImage(state) && colorMap
        && readableImageSize(width, height, colorMap->getNumPixelComps(), colorMap->getBits())
        && readableImageSize(maskWidth, maskHeight, 1, 1))
        SplashOutputDev::drawMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr, maskWidth,
                                         maskHeight, maskInvert, maskInterpolate);
}

void BoundedSplashOutputDev::drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                                 GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr,
                                                 int maskWidth, int maskHeight, GfxImageColorMap* maskColorMap,
                                                 bool maskInterpolate)
{
    if (drawableImage(state) && colorMap && maskColorMap
        && readableImageSize(width, height, colorMap->getNumPixelComps(), colorMap->getBits())
        && readableImageSize(maskWidth, maskHeight, maskColorMap->getNumPixelComps(), maskColorMap->getBits()))
        SplashOutputDev::drawSoftMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr,
                                             maskWidth, maskHeight, maskColorMap, maskInterpolate);
}

} // namespace pwt::pdf

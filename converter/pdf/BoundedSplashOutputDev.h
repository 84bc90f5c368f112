#pragma once
// Poppler's Splash renderer, minus the images it cannot draw in bounded
// time: Splash scales an image to its whole displayed size before clipping
// it, so an 8 x 8 image shown 10,000 points wide takes it half a minute and
// one shown at 1e30 points longer, all inside one drawing operator that no
// page budget can stop; and it reads every sample of an image to draw it,
// so an image whose samples are beyond the reader's bound (ImageDecoder.h)
// is not drawn either.
#include "SavedStates.h"

#include <SplashOutputDev.h>

namespace pwt::pdf {

// An image shown over more device pixels than this (its whole box, before
// clipping) is not drawn: 200 million is 23 A4 pages at 300 dpi, far past
// any image a page really shows, and about two seconds of Splash's time.
inline constexpr double kMaxDrawnImagePixels = 200e6;

class BoundedSplashOutputDev : public SplashOutputDev {
public:
    using SplashOutputDev::SplashOutputDev;

    void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert, bool interpolate,
                       bool inlineImg) override;
    void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                   bool interpolate, const int* maskColors, bool inlineImg) override;
    void drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                         bool interpolate, Stream* maskStr, int maskWidth, int maskHeight, bool maskInvert,
                         bool maskInterpolate) override;
    void drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                             GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                             int maskHeight, GfxImageColorMap* maskColorMap, bool maskInterpolate) override;

    void startPage(int pageNum, GfxState* state, XRef* pageXref) override;
    void saveState(GfxState* state) override;
    void restoreState(GfxState* state) override;
    // For displayPage's abort callback (SavedStates::stop).
    SavedStates* savedStates() { return &m_savedStates; }

private:
    SavedStates m_savedStates;
};

// Whether the image the state's transformation shows can be drawn.
bool drawableImage(const GfxState* state);

// Reads an inline image's data, which sits in the page's content, so that
// the content is read on from its end. Stops at the end of the content:
// poppler's own skip counts the bytes in an int and reads on past the end
// until the count it declared, billions of times for an absurd size.
void skipInlineImageData(Stream* str, int width, int height, int comps, int bits);

} // namespace pwt::pdf

#pragma once
// Poppler's text output that also collects what else a page draws: its
// images (decoded, or JPEG kept as it is) and the boxes of its paths, in the
// same pass over the page's content as its text.
#include "GlyphColours.h"
#include "ImageCache.h"
#include "ImageDecoder.h"
#include "PageText.h"
#include "Raster.h"
#include "ReadLimits.h"
#include "SavedStates.h"

#include <TextOutputDev.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pwt::pdf {

class ImageDecoder;

class PageObjectCollector : public TextOutputDev {
public:
    PageObjectCollector();
    ~PageObjectCollector() override;

    // Clears what the last page left; `expired` tells when the page's time
    // is up (images are read row by row within one drawing operator).
    void beginPage(std::function<bool()> expired);
    std::vector<PageImage> takeImages() { return std::exchange(m_images, {}); }
    std::vector<PagePath> takePaths() { return std::exchange(m_paths, {}); }
    // One line for each kind of problem the page had, without a prefix.
    std::vector<std::string> takeWarnings();

    bool needNonText() override { return true; }

    // Each glyph's fill colour, noted as it is drawn (poppler's words keep one).
    void drawChar(GfxState* state, double x, double y, double dx, double dy, double originX, double originY, CharCode c,
                  int nBytes, const Unicode* u, int uLen) override;
    const GlyphColours& glyphColours() const { return m_glyphColours; }

    // Counts the saved graphics states: past kMaxSavedStates the page
    // should stop (the reader's abort check asks tooDeep()).
    void saveState(GfxState* state) override;
    void restoreState(GfxState* state) override;
    bool tooDeep() const { return m_savedStates.tooDeep(); }

    void stroke(GfxState* state) override;
    void fill(GfxState* state) override;
    void eoFill(GfxState* state) override;

    // Pattern and shading fills are taken as one filled area each instead
    // of the many small fills poppler would otherwise break them into.
    bool useTilingPatternFill() override { return true; }
    bool useShadedFills(int type) override;
    bool tilingPatternFill(GfxState* state, Gfx* gfx, Catalog* cat, GfxTilingPattern* tPat, const double* mat, int x0,
                           int y0, int x1, int y1, double xStep, double yStep) override;
    bool functionShadedFill(GfxState* state, GfxFunctionShading* shading) override;
    bool axialShadedFill(GfxState* state, GfxAxialShading* shading, double tMin, double tMax) override;
    bool radialShadedFill(GfxState* state, GfxRadialShading* shading, double sMin, double sMax) override;
    bool gouraudTriangleShadedFill(GfxState* state, GfxGouraudTriangleShading* shading) override;
    bool patchMeshShadedFill(GfxState* state, GfxPatchMeshShading* shading) override;

    void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert, bool interpolate,
                       bool inlineImg) override;
    void setSoftMaskFromImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                                  bool inlineImg, double* baseMatrix) override;
    void unsetSoftMaskFromImageMask(GfxState* state, double* baseMatrix) override;
    void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                   bool interpolate, const int* maskColors, bool inlineImg) override;
    void drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                         bool interpolate, Stream* maskStr, int maskWidth, int maskHeight, bool maskInvert,
                         bool maskInterpolate) override;
    void drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                             GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                             int maskHeight, GfxImageColorMap* maskColorMap, bool maskInterpolate) override;

    // What a soft mask's group draws only shapes another object's alpha.
    void beginTransparencyGroup(GfxState* state, const double* bbox, GfxColorSpace* blendingColorSpace, bool isolated,
                                bool knockout, bool forSoftMask) override;
    void endTransparencyGroup(GfxState* state) override;

private:
    struct Placement {
        Box box;
        Box visible;
        Orientation orientation;
        double decodedPixels = 0; // what the image is worth decoding into, shown here
    };

    bool collecting() const { return m_softMaskGroups == 0; }
    // Where the image is shown; false when it is not worth keeping (off the
    // page, clipped away, too small, past the page's count).
    bool placeImage(GfxState* state, int width, int height, Placement& placement);
    // Adds the image made by `make`, or the one already made from the same
    // XObject (`ref`), to the page.
    void addImage(const Placement& placement, Object* ref, std::uint32_t fillRgb, bool mask,
                  const std::function<MadeImage()>& make);
    // An image XObject with a mask that `applyMask` turns into its alpha.
    void addMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                        const std::function<DecodeStatus(const ImageDecoder&, Raster&)>& applyMask);
    void recordPath(GfxState* state, bool stroked, bool filled);
    void recordArea(GfxState* state, std::uint32_t rgb);
    void warn(const std::string& reason);

    std::function<bool()> m_expired;
    SavedStates m_savedStates;
    std::vector<PageImage> m_images;
    std::vector<PagePath> m_paths;
    std::vector<std::pair<std::string, int>> m_warnings; // reason, how many times
    std::size_t m_imagesDropped = 0;
    std::size_t m_imageBytes = 0;  // the document's, each shared image once
    int m_softMaskGroups = 0;
    std::vector<bool> m_groups;    // open transparency groups: for a soft mask?
    ImageCache m_cache{kImageCacheBytes};
    GlyphColours m_glyphColours;
};

} // namespace pwt::pdf

#include "PageLinks.h"

#include "doc/LinkTargets.h"

#include <Annot.h>
#include <Catalog.h>
#include <GfxState.h>
#include <Link.h>
#include <PDFDoc.h>
#include <Page.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace pwt::pdf {

namespace {

bool needsEscape(unsigned char c)
{
    return c <= 0x20 || c >= 0x7F || c == '"' || c == '\\';
}

// The page's drawing state as the reader's text output sees it: 72 dpi, the
// media box, the page's own rotation, y growing down.
std::unique_ptr<GfxState> wordSpaceOf(Page& page)
{
    return std::make_unique<GfxState>(72.0, 72.0, page.getMediaBox(), page.getRotate(), true);
}

// Size of the page as shown, the words' frame.
Box pageFrame(const GfxState& state)
{
    return Box{0, 0, state.getPageWidth(), state.getPageHeight()};
}

// The box, in word space, of the points of user space `xs`/`ys`; nothing
// when a coordinate is not a number or the box misses the page.
std::optional<Box> shownBox(const GfxState& state, const Box& frame, const double* xs, const double* ys, int n)
{
    Box b{1e300, 1e300, -1e300, -1e300};
    for (int i = 0; i < n; ++i) {
        double x = 0, y = 0;
        state.transform(xs[i], ys[i], &x, &y);
        if (!std::isfinite(x) || !std::isfinite(y))
            return std::nullopt;
        b.xMin = std::min(b.xMin, x);
        b.yMin = std::min(b.yMin, y);
        b.xMax = std::max(b.xMax, x);
        b.yMax = std::max(b.yMax, y);
    }
    b.xMin = std::max(b.xMin, frame.xMin);
    b.yMin = std::max(b.yMin, frame.yMin);
    b.xMax = std::min(b.xMax, frame.xMax);
    b.yMax = std::min(b.yMax, frame.yMax);
    if (!(b.width() > 0) || !(b.height() > 0))
        return std::nullopt;
    if (b.width() * b.height() > frame.width() * frame.height() * kMaxLinkPageShare)
        return std::nullopt;
    return b;
}

// The areas an annotation makes clickable: its quadrilaterals when it has
// them (a link broken over two lines), else its rectangle. The link's
// entries are read from its dictionary: poppler's AnnotLink class is not
// part of the library's exported interface (its type information is not).
std::vector<Box> areasOf(Annot& link, const GfxState& state, const Box& frame)
{
    std::vector<Box> areas;
    const Object quads = link.getAnnotObj().dictLookup("QuadPoints");
    const int numbers = quads.isArray() ? quads.arrayGetLength() : 0;
    const int quadCount = numbers % 8 == 0 ? std::min(numbers / 8, kMaxAreasPerLink) : 0;
    for (int q = 0; q < quadCount; ++q) {
        double xs[4], ys[4];
        bool numeric = true;
        for (int corner = 0; corner < 4; ++corner) {
            const Object x = quads.arrayGet(q * 8 + corner * 2), y = quads.arrayGet(q * 8 + corner * 2 + 1);
            numeric = numeric && x.isNum() && y.isNum();
            xs[corner] = numeric ? x.getNum() : 0;
            ys[corner] = numeric ? y.getNum() : 0;
        }
        if (!numeric)
            continue;
        if (auto b = shownBox(state, frame, xs, ys, 4))
            areas.push_back(*b);
    }
    if (quadCount == 0) {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        link.getRect(&x1, &y1, &x2, &y2);
        const double xs[] = {x1, x2, x1, x2};
        const double ys[] = {y1, y1, y2, y2};
        if (auto b = shownBox(state, frame, xs, ys, 4))
            areas.push_back(*b);
    }
    return areas;
}

// The link's action: its /A, else its /Dest, as poppler's own link
// annotations read them (an action's chain of next actions is not followed).
std::unique_ptr<LinkAction> actionOf(PDFDoc& doc, const Annot& link)
{
    const Object& dict = link.getAnnotObj();
    if (!dict.isDict())
        return nullptr;
    const Object action = dict.dictLookup("A");
    if (action.isDict())
        return LinkAction::parseAction(&action, doc.getCatalog()->getBaseURI());
    const Object dest = dict.dictLookup("Dest");
    return dest.isNull() ? nullptr : LinkAction::parseDest(&dest);
}

// A destination's page (1-based) and place on it in word space; page 0 when
// it leads nowhere in this document.
struct Place {
    int page = 0;
    double x = 0, y = 0;
};

Place placeOf(PDFDoc& doc, const LinkDest& dest)
{
    Place place;
    if (!dest.isOk())
        return place;
    const int page = dest.isPageRef() ? doc.findPage(dest.getPageRef()) : dest.getPageNum();
    if (page < 1 || page > doc.getNumPages())
        return place;
    Page* target = doc.getPage(page);
    if (!target)
        return place;
    place.page = page;
    const auto kind = dest.getKind();
    const bool hasTop = (kind == destXYZ && dest.getChangeTop()) || kind == destFitH || kind == destFitBH || kind == destFitR;
    const bool hasLeft = (kind == destXYZ && dest.getChangeLeft()) || kind == destFitV || kind == destFitBV || kind == destFitR;
    if (!hasTop && !hasLeft)
        return place;
    const PDFRectangle* media = target->getMediaBox();
    const auto state = wordSpaceOf(*target);
    const Box frame = pageFrame(*state);
    double x = 0, y = 0;
    state->transform(hasLeft ? dest.getLeft() : media->x1, hasTop ? dest.getTop() : media->y2, &x, &y);
    // A destination off the page or not a number leads to the page's edge.
    const auto onPage = [](double v, double extent) {
        return std::isfinite(v) && std::isfinite(extent) && extent > 0 ? std::clamp(v, 0.0, extent) : 0.0;
    };
    place.x = onPage(x, frame.xMax);
    place.y = onPage(y, frame.yMax);
    return place;
}

// Where a link leads, or nothing for links the document cannot carry
// (another file, a program to launch, a script, a form action).
std::optional<PageLink> targetOf(PDFDoc& doc, const LinkAction* action)
{
    if (!action || !action->isOk())
        return std::nullopt;
    PageLink link;
    if (action->getKind() == actionURI) {
        auto uri = clickableUri(static_cast<const LinkURI*>(action)->getURI());
        if (!uri)
            return std::nullopt;
        link.uri = std::move(*uri);
        return link;
    }
    if (action->getKind() != actionGoTo)
        return std::nullopt;
    const auto* goTo = static_cast<const LinkGoTo*>(action);
    Place place;
    if (const LinkDest* dest = goTo->getDest()) {
        place = placeOf(doc, *dest);
    } else if (const GooString* name = goTo->getNamedDest()) {
        if (const std::unique_ptr<LinkDest> named = doc.findDest(name))
            place = placeOf(doc, *named);
    }
    if (place.page == 0)
        return std::nullopt;
    link.destinationPage = place.page;
    link.destinationX = place.x;
    link.destinationY = place.y;
    return link;
}

} // namespace

std::optional<std::string> clickableUri(std::string_view uri)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; };
    while (!uri.empty() && isBlank(uri.front()))
        uri.remove_prefix(1);
    while (!uri.empty() && isBlank(uri.back()))
        uri.remove_suffix(1);
    std::string out;
    out.reserve(std::min(uri.size(), doc::kMaxAddressLength + 1));
    constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : uri) {
        const auto byte = static_cast<unsigned char>(c);
        if (needsEscape(byte)) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
        if (out.size() > doc::kMaxAddressLength)
            return std::nullopt;
    }
    if (!doc::isClickableAddress(out))
        return std::nullopt;
    return out;
}

std::vector<PageLink> readPageLinks(PDFDoc& doc, int number)
{
    std::vector<PageLink> out;
    if (number < 1 || number > doc.getNumPages())
        return out;
    Page* page = doc.getPage(number);
    if (!page)
        return out;
    Annots* annots = page->getAnnots();
    if (!annots)
        return out;
    const auto state = wordSpaceOf(*page);
    const Box frame = pageFrame(*state);
    for (Annot* annot : annots->getAnnots()) {
        if (out.size() >= kMaxLinksPerPage)
            break;
        if (!annot || annot->getType() != Annot::typeLink || (annot->getFlags() & Annot::flagHidden))
            continue;
        const std::vector<Box> areas = areasOf(*annot, *state, frame);
        if (areas.empty())
            continue;
        const std::unique_ptr<LinkAction> action = actionOf(doc, *annot);
        const std::optional<PageLink> target = targetOf(doc, action.get());
        if (!target)
            continue;
        for (const Box& area : areas) {
            if (out.size() >= kMaxLinksPerPage)
                break;
            PageLink& link = out.emplace_back(*target);
            link.area = area;
        }
    }
    return out;
}

} // namespace pwt::pdf

#pragma once
// Bounds on what one page, and one document, may make the reader keep.
#include <cstddef>

namespace pwt::pdf {

// A page keeps at most this many images: a page of thousands of tiles or
// dots is not a page of pictures, and each costs the layout and the
// document a shape. The rest are left out with one warning.
inline constexpr std::size_t kMaxImagesPerPage = 1000;
// ...and at most this many paths, for figures; a detailed map or chart has
// a few thousand, a page of 100,000 dots would only slow the layout down.
inline constexpr std::size_t kMaxPathsPerPage = 10000;
// All of a document's pictures together are kept up to this many bytes:
// they stay in memory until the document is written, which copies them
// again, and both must fit well under the 4 GiB address-space ceiling.
inline constexpr std::size_t kMaxImageBytesPerDocument = std::size_t{512} << 20;
// Graphics states saved and not yet restored ("q" without "Q"): real pages
// nest a few dozen (PDF readers commonly allow 28); past this many the page
// is a bomb that would fill memory with copies of the state, and its
// reading stops there with a warning, as at the end of its time.
inline constexpr int kMaxSavedStates = 10000;
// Images made from XObjects are remembered up to this many bytes.
inline constexpr std::size_t kImageCacheBytes = std::size_t{128} << 20;

} // namespace pwt::pdf

#pragma once
// A page's link annotations as the layout uses them: where on the page (in
// the words' coordinates) and to which web address or place in the document.
// Files from strangers may carry thousands of them, broken destinations and
// addresses a reader should never open: only what a user expects to click
// is kept, within fixed bounds.
#include "PageText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class PDFDoc;

namespace pwt::pdf {

// Link areas kept per page: a page of an index or a dense contents has a few
// hundred; more is a generated or hostile file, and the rest are left out.
inline constexpr std::size_t kMaxLinksPerPage = 2000;
// Areas one annotation may cover (QuadPoints: a link broken over lines).
inline constexpr int kMaxAreasPerLink = 32;
// An area over more than this share of the page is a click area over a
// picture or the whole page, not a link on words.
inline constexpr double kMaxLinkPageShare = 0.25;

// The address as it goes into the document, or nothing when it is not one a
// user expects to click (doc::isClickableAddress: only http, https, ftp and
// mailto; never javascript:, file: and the like; not empty, not too long once
// escaped). Blanks around it are dropped; bytes outside printable ASCII
// and the characters a field instruction quotes with ('"', '\\') are
// percent-encoded, as browsers send them.
std::optional<std::string> clickableUri(std::string_view uri);

// The link annotations of page `number` (1-based) of `doc`, in the
// coordinates of the words the reader takes from the page: points from the
// top-left of the media box as shown, after the page's /Rotate.
std::vector<PageLink> readPageLinks(PDFDoc& doc, int number);

} // namespace pwt::pdf

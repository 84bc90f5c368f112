#pragma once
// Text conversions for the writer: UTF-8 names to UTF-16, and run text made
// safe for a Word story.
#include <string>

namespace pwt::doc {

// Decodes UTF-8; malformed sequences become U+FFFD, code points beyond the
// BMP become surrogate pairs.
std::u16string utf8ToUtf16(const std::string& utf8);

// Drops the characters Word reserves for its own structure (paragraph and
// section marks, cell marks, field characters, every other control below
// U+0020 except tab) and replaces unpaired surrogates with U+FFFD.
std::u16string cleanRunText(const std::u16string& text);

} // namespace pwt::doc

#pragma once
// Where a run links to, made safe for a Word file: the HYPERLINK field's
// instruction for a web or mail address or for a bookmark of the document,
// and the bookmark names Word accepts.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pwt::doc {

inline constexpr std::uint8_t kFieldTypeHyperlink = 0x58;
// Word keeps bookmark names to this many characters.
inline constexpr std::size_t kMaxBookmarkName = 40;

// " HYPERLINK "url" " for an http, https, ftp or mailto address, or
// " HYPERLINK \l "name" " for "#name"; nothing for anything else (a local
// file, a script, a malformed or overlong address), which stays plain text.
std::optional<std::u16string> hyperlinkInstruction(const std::string& link);

// The name as Word stores it when Word would accept it: a letter first, then
// letters, digits or '_', at most kMaxBookmarkName characters.
std::optional<std::u16string> bookmarkName(const std::string& name);

} // namespace pwt::doc

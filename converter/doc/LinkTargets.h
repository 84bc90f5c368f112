#pragma once
// Where a run links to, made safe for a Word file: the HYPERLINK field's
// instruction for a web or mail address or for a bookmark of the document,
// and the bookmark names Word accepts.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pwt::doc {

inline constexpr std::uint8_t kFieldTypeHyperlink = 0x58;
// Word keeps bookmark names to this many characters.
inline constexpr std::size_t kMaxBookmarkName = 40;

// Longer addresses than Internet Explorer's limit, which Word shares, do not
// open from Word; the reader leaves them out rather than cut them wrong.
inline constexpr std::size_t kMaxAddressLength = 2083;

// Schemes that open in a browser or mail program, with what must follow the
// name. Others (file:, a UNC path, javascript:) could reach into the reader's
// machine or network from a stranger's PDF.
inline constexpr std::array<std::string_view, 4> kClickableSchemes = {"http://", "https://", "ftp://", "mailto:"};

// Whether `address` is one a user expects to click: a clickable scheme (in
// any case) with something after it, at most kMaxAddressLength bytes. The
// one rule for the reader, which keeps a PDF's links, and for the writer,
// which makes fields of them.
inline bool isClickableAddress(std::string_view address)
{
    if (address.size() > kMaxAddressLength)
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::any_of(kClickableSchemes.begin(), kClickableSchemes.end(), [&](std::string_view scheme) {
        return address.size() > scheme.size()
            && std::equal(scheme.begin(), scheme.end(), address.begin(), [&](char s, char a) { return s == lower(a); });
    });
}

// " HYPERLINK "url" " for an http, https, ftp or mailto address, or
// " HYPERLINK \l "name" " for "#name"; nothing for anything else (a local
// file, a script, a malformed or overlong address), which stays plain text.
std::optional<std::u16string> hyperlinkInstruction(const std::string& link);

// The name as Word stores it when Word would accept it: a letter first, then
// letters, digits or '_', at most kMaxBookmarkName characters.
std::optional<std::u16string> bookmarkName(const std::string& name);

} // namespace pwt::doc

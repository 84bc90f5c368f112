#include "LinkTargets.h"

#include "Unicode.h"

namespace pwt::doc {
namespace {

bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

} // namespace

std::optional<std::u16string> bookmarkName(const std::string& name)
{
    const std::u16string n = utf8ToUtf16(name);
    if (n.empty() || n.size() > kMaxBookmarkName)
        return std::nullopt;
    // Letters beyond ASCII (a Chinese name) are letters to Word as well.
    auto letter = [](char16_t c) { return isAsciiLetter(c) || (c >= 0x00C0 && !(c >= 0xD800 && c <= 0xDFFF) && c != 0xFFFD); };
    if (!letter(n.front()))
        return std::nullopt;
    for (char16_t c : n)
        if (!letter(c) && !(c >= u'0' && c <= u'9') && c != u'_')
            return std::nullopt;
    return n;
}

std::optional<std::u16string> hyperlinkInstruction(const std::string& link)
{
    if (link.starts_with('#')) {
        const auto name = bookmarkName(link.substr(1));
        if (!name)
            return std::nullopt;
        return u" HYPERLINK \\l \"" + *name + u"\" ";
    }
    if (!isClickableAddress(link))
        return std::nullopt;
    // Inside the field's quotes a quote would end the address and a backslash
    // starts a switch: the one is escaped as a URL escapes it, the other doubled.
    std::u16string address;
    for (char16_t c : utf8ToUtf16(link)) {
        if (c < u' ' || c == 0x7F || c == 0xFFFD)
            return std::nullopt; // no address has controls in it
        if (c == u' ')
            address += u"%20";
        else if (c == u'"')
            address += u"%22";
        else if (c == u'\\')
            address += u"\\\\";
        else
            address.push_back(c);
    }
    return u" HYPERLINK \"" + address + u"\" ";
}

} // namespace pwt::doc

#pragma once
// The document's font table (SttbfFfn): every family a run names gets an
// index (ftc) here. Families a run names for East Asian text carry the GB2312
// character set so that Word and WPS pick them for Chinese text; the others
// carry ANSI. The kind of face (serif, sans, typewriter) comes with the run.
#include "ByteBuffer.h"
#include "model/Document.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace pwt::doc {

class FontTable {
public:
    static constexpr std::uint8_t kAnsiCharset = 0;
    static constexpr std::uint8_t kGb2312Charset = 134;
    static constexpr std::uint16_t kDefaultLatin = 0;     // Times New Roman
    static constexpr std::uint16_t kDefaultEastAsian = 1; // SimSun

    FontTable();

    // The index of a family used for Latin text; an empty name is the default.
    std::uint16_t latin(const std::string& family, FontKind kind);
    // The index of a family used for East Asian text; it is marked GB2312.
    std::uint16_t eastAsian(const std::string& family, FontKind kind);

    std::size_t size() const { return fonts_.size(); }
    const std::u16string& name(std::size_t ftc) const { return fonts_[ftc].name; }
    std::uint8_t charset(std::size_t ftc) const { return fonts_[ftc].charset; }

    // The SttbfFfn structure of the table stream.
    ByteBuffer serialize() const;

private:
    struct Font {
        std::u16string name;
        std::uint8_t charset = kAnsiCharset;
        FontKind kind = FontKind::Serif;
    };
    std::uint16_t find(const std::string& family, FontKind kind, bool eastAsian);

    std::vector<Font> fonts_;
    std::unordered_map<std::string, std::uint16_t> byName_;
};

} // namespace pwt::doc

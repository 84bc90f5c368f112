#pragma once
// A group of sprms with their operands, kept as raw bytes so that equal
// property sets compare and hash as strings.
#include "Sprm.h"

#include <cstdint>
#include <string>

namespace pwt::doc {

class Grpprl {
public:
    void add8(std::uint16_t sprm, std::uint8_t value)
    {
        code(sprm);
        put(value);
    }
    void add16(std::uint16_t sprm, std::uint16_t value)
    {
        code(sprm);
        put16(value);
    }
    void addSigned16(std::uint16_t sprm, int value) { add16(sprm, static_cast<std::uint16_t>(static_cast<std::int16_t>(value))); }
    void add32(std::uint16_t sprm, std::uint32_t value)
    {
        code(sprm);
        put16(static_cast<std::uint16_t>(value & 0xFFFF));
        put16(static_cast<std::uint16_t>(value >> 16));
    }
    // A sprm whose three-byte operand is an index and a 16-bit value (a column's width or gap).
    void addIndexed16(std::uint16_t sprm, std::uint8_t index, std::uint16_t value)
    {
        code(sprm);
        put(index);
        put16(value);
    }
    // A sprm whose operand is a byte count and that many bytes.
    void addVariable(std::uint16_t sprm, const std::string& operand)
    {
        code(sprm);
        put(static_cast<std::uint8_t>(operand.size()));
        bytes_ += operand;
    }
    // sprmTDefTable's operand: its length in two bytes, counted one more than
    // the bytes that follow.
    void addTableDefinition(const std::string& operand)
    {
        code(sprm::TDefTable);
        put16(static_cast<std::uint16_t>(operand.size() + 1));
        bytes_ += operand;
    }
    // Raw bytes, for the istd that leads a paragraph's property group.
    void put16(std::uint16_t v)
    {
        put(static_cast<std::uint8_t>(v & 0xFF));
        put(static_cast<std::uint8_t>(v >> 8));
    }

    void append(const Grpprl& other) { bytes_ += other.bytes_; }

    const std::string& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

private:
    void code(std::uint16_t sprm) { put16(sprm); }
    void put(std::uint8_t v) { bytes_.push_back(static_cast<char>(v)); }

    std::string bytes_;
};

} // namespace pwt::doc

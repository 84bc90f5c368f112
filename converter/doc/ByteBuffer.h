#pragma once
// A growable little-endian byte buffer: every structure of the .doc format is
// little-endian, whatever the host.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pwt::doc {

class ByteBuffer {
public:
    void u8(std::uint8_t v) { bytes_.push_back(v); }
    void u16(std::uint16_t v)
    {
        bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void u32(std::uint32_t v)
    {
        u16(static_cast<std::uint16_t>(v & 0xFFFF));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void append(const std::uint8_t* data, std::size_t n) { bytes_.insert(bytes_.end(), data, data + n); }
    void append(const std::string& raw)
    {
        append(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
    }
    void append(const ByteBuffer& other) { append(other.data(), other.size()); }
    void zeros(std::size_t n) { bytes_.resize(bytes_.size() + n, 0); }
    void padTo(std::size_t boundary)
    {
        const std::size_t rest = bytes_.size() % boundary;
        if (rest != 0)
            zeros(boundary - rest);
    }
    void resizeAtLeast(std::size_t n)
    {
        if (bytes_.size() < n)
            bytes_.resize(n, 0);
    }
    void putU16(std::size_t at, std::uint16_t v)
    {
        bytes_[at] = static_cast<std::uint8_t>(v & 0xFF);
        bytes_[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void putU32(std::size_t at, std::uint32_t v)
    {
        putU16(at, static_cast<std::uint16_t>(v & 0xFFFF));
        putU16(at + 2, static_cast<std::uint16_t>(v >> 16));
    }
    void overwrite(std::size_t at, const ByteBuffer& other)
    {
        resizeAtLeast(at + other.size());
        std::copy(other.bytes_.begin(), other.bytes_.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at));
    }
    void reserve(std::size_t n) { bytes_.reserve(n); }

    std::size_t size() const { return bytes_.size(); }
    std::uint32_t offset() const { return static_cast<std::uint32_t>(bytes_.size()); }
    const std::uint8_t* data() const { return bytes_.data(); }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace pwt::doc

#pragma once
// The File Information Block at the start of the WordDocument stream: a Word
// 97 FIB (nFib 0x00C1) that points into the 1Table stream and gives the text
// lengths of the document parts.
#include "ByteBuffer.h"

#include <array>
#include <cstdint>

namespace pwt::doc {

// Indices of the fc/lcb pairs of FibRgFcLcb97 this writer fills.
enum class FibEntry : std::size_t {
    StshfOrig = 0,
    Stshf = 1,
    PlcffndRef = 2,
    PlcffndTxt = 3,
    PlcfSed = 6,
    PlcfHdd = 11,
    PlcfBteChpx = 12,
    PlcfBtePapx = 13,
    SttbfFfn = 15,
    PlcfFldMom = 16,
    PlcfFldHdr = 17,
    PlcfFldFtn = 18,
    SttbfBkmk = 21,
    PlcfBkf = 22,
    PlcfBkl = 23,
    Dop = 31,
    Clx = 33,
    PlfLst = 73,
    PlfLfo = 74,
};

class Fib {
public:
    static constexpr std::size_t kSize = 900;

    void set(FibEntry entry, std::uint32_t fc, std::uint32_t lcb)
    {
        const auto i = static_cast<std::size_t>(entry);
        fcLcb_[2 * i] = fc;
        fcLcb_[2 * i + 1] = lcb;
    }

    std::uint32_t cbMac = 0;   // bytes of the WordDocument stream in use
    std::uint32_t ccpText = 0;
    std::uint32_t ccpFtn = 0;
    std::uint32_t ccpHdd = 0;
    std::uint32_t fcMin = 0;   // first and end byte of the text, for old readers
    std::uint32_t fcMac = 0;

    // Writes the FIB over the first kSize bytes of the stream.
    void writeAtStart(ByteBuffer& stream) const;

private:
    static constexpr std::size_t kPairs = 93;
    std::array<std::uint32_t, 2 * kPairs> fcLcb_{};
};

} // namespace pwt::doc

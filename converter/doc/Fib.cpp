#include "Fib.h"

namespace pwt::doc {
namespace {

constexpr std::uint16_t kWordIdent = 0xA5EC;
constexpr std::uint16_t kNFib97 = 0x00C1;
constexpr std::uint16_t kNFibBack = 0x00BF;
constexpr std::uint16_t kEnglishUs = 0x0409;
constexpr std::uint16_t kChineseSimplified = 0x0804;
constexpr std::uint16_t kFWhichTblStm = 0x0200; // properties live in 1Table
constexpr std::uint16_t kFExtChar = 0x1000;     // extended character set

} // namespace

void Fib::writeAtStart(ByteBuffer& stream) const
{
    ByteBuffer fib;
    // FibBase
    fib.u16(kWordIdent);
    fib.u16(kNFib97);
    fib.u16(0); // unused
    fib.u16(kEnglishUs);
    fib.u16(0); // pnNext
    fib.u16(kFWhichTblStm | kFExtChar);
    fib.u16(kNFibBack);
    fib.u32(0); // lKey
    fib.u8(0);  // envr
    fib.u8(0);  // fMac etc.
    fib.u16(0); // reserved3
    fib.u16(0); // reserved4
    fib.u32(fcMin); // reserved5: once fcMin, still read by some older tools
    fib.u32(fcMac); // reserved6: once fcMac

    // FibRgW97: 14 words, lidFE last.
    fib.u16(14);
    fib.zeros(2 * 13);
    fib.u16(kChineseSimplified);

    // FibRgLw97: 22 longs.
    fib.u16(22);
    fib.u32(cbMac);
    fib.u32(0); // reserved1
    fib.u32(0); // reserved2
    fib.u32(ccpText);
    fib.u32(ccpFtn);
    fib.u32(ccpHdd);
    fib.zeros(4 * 16); // ccpMcr .. reserved14

    // FibRgFcLcb97
    fib.u16(static_cast<std::uint16_t>(kPairs));
    for (std::uint32_t v : fcLcb_)
        fib.u32(v);
    fib.u16(0); // cswNew: no FibRgCswNew, so nFib above holds

    stream.overwrite(0, fib);
}

} // namespace pwt::doc

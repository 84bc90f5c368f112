#include "InlinePicture.h"

namespace pwt::doc {
namespace {

constexpr std::uint16_t kPicfSize = 0x44;
constexpr std::uint16_t kMmShape = 0x0064; // MFPF.mm: the picture is an OfficeArt shape
constexpr std::size_t kPicfShapeSize = 14; // PICF_Shape: all ignored, zero
constexpr std::size_t kPicmidBordersSize = 2 + 16 + 4; // fReserved, bpp, brc*80, dxa/dyaReserved3

// OfficeArt record types and versions.
constexpr std::uint16_t kSpContainer = 0xF004;
constexpr std::uint16_t kFsp = 0xF00A;
constexpr std::uint16_t kFopt = 0xF00B;
constexpr std::uint16_t kFbse = 0xF007;
constexpr std::uint16_t kBlipJpeg = 0xF01D;
constexpr std::uint16_t kBlipPng = 0xF01E;
constexpr std::uint8_t kContainerVersion = 0xF;
constexpr std::uint8_t kFspVersion = 2;
constexpr std::uint8_t kFoptVersion = 3;
constexpr std::uint8_t kFbseVersion = 2;
constexpr std::uint16_t kPictureFrameShape = 75; // msosptPictureFrame
// OfficeArtFSP flags: fHaveAnchor | fHaveSpt, as Word writes its inline pictures.
constexpr std::uint32_t kInlineShapeFlags = 0x0A00;

// MSOBLIPTYPE and the BLIP records' instances for one identifier.
constexpr std::uint8_t kBlipTypeJpeg = 0x05;
constexpr std::uint8_t kBlipTypePng = 0x06;
constexpr std::uint16_t kJpegRgbInstance = 0x46A;
constexpr std::uint16_t kJpegCmykInstance = 0x6E2;
constexpr std::uint16_t kPngInstance = 0x6E0;
constexpr std::uint8_t kBlipTag = 0xFF;
constexpr std::size_t kBlipHeaderSize = 16 + 1; // rgbUid1, tag
constexpr std::size_t kFbseFixedSize = 36;      // OfficeArtFBSE before the embedded BLIP
constexpr std::size_t kRecordHeaderSize = 8;

// Shape properties (OfficeArtFOPTE opids).
constexpr std::uint16_t kCropFromTop = 0x0100;
constexpr std::uint16_t kCropFromBottom = 0x0101;
constexpr std::uint16_t kCropFromLeft = 0x0102;
constexpr std::uint16_t kCropFromRight = 0x0103;
constexpr std::uint16_t kPib = 0x4104;           // pib with fBid: a BLIP index
constexpr std::uint16_t kLineBooleans = 0x01FF;
constexpr std::uint32_t kNoLine = 0x00080000;    // fUsefLine set, fLine clear: no frame line
constexpr std::uint32_t kFirstBlip = 1;          // pib counts from 1: the BLIP after the shape

void recordHeader(ByteBuffer& out, std::uint8_t version, std::uint16_t instance, std::uint16_t type,
                  std::size_t length)
{
    out.u16(static_cast<std::uint16_t>((instance << 4) | version));
    out.u16(type);
    out.u32(static_cast<std::uint32_t>(length));
}

// True when a JPEG's frame has four components (CMYK or YCCK).
bool isFourComponentJpeg(const std::vector<std::uint8_t>& jpeg)
{
    constexpr std::uint8_t kMarker = 0xFF;
    std::size_t at = 2; // after SOI
    while (at + 9 < jpeg.size()) {
        if (jpeg[at] != kMarker)
            return false;
        const std::uint8_t marker = jpeg[at + 1];
        const std::size_t length = (std::size_t{jpeg[at + 2]} << 8) | jpeg[at + 3];
        // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC): the component count follows the size.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return jpeg[at + 9] == 4;
        if (marker == 0xDA || length < 2)
            return false; // the scan begins: no frame header seen
        at += 2 + length;
    }
    return false;
}

ByteBuffer blipRecord(const ImageData& image, const ImageUid& uid)
{
    ByteBuffer blip;
    const bool jpeg = image.format == ImageFormat::Jpeg;
    const std::uint16_t instance =
        jpeg ? (isFourComponentJpeg(image.bytes) ? kJpegCmykInstance : kJpegRgbInstance) : kPngInstance;
    recordHeader(blip, 0, instance, jpeg ? kBlipJpeg : kBlipPng, kBlipHeaderSize + image.bytes.size());
    blip.append(uid.data(), uid.size());
    blip.u8(kBlipTag);
    blip.append(image.bytes.data(), image.bytes.size());
    return blip;
}

ByteBuffer fileBlipStoreEntry(const ImageData& image, const ImageUid& uid)
{
    const ByteBuffer blip = blipRecord(image, uid);
    const std::uint8_t type = image.format == ImageFormat::Jpeg ? kBlipTypeJpeg : kBlipTypePng;
    ByteBuffer fbse;
    recordHeader(fbse, kFbseVersion, type, kFbse, kFbseFixedSize + blip.size());
    fbse.u8(type); // btWin32
    fbse.u8(type); // btMacOS
    fbse.append(uid.data(), uid.size());
    fbse.u16(kBlipTag);
    fbse.u32(static_cast<std::uint32_t>(blip.size()));
    fbse.u32(1); // cRef: this one shape
    fbse.u32(0); // foDelay: the BLIP is embedded here
    fbse.u8(0);  // unused1
    fbse.u8(0);  // cbName: no name
    fbse.u8(0);  // unused2
    fbse.u8(0);  // unused3
    fbse.append(blip);
    return fbse;
}

ByteBuffer shapeContainer(const PictureFrame& frame)
{
    struct Property {
        std::uint16_t opid;
        std::uint32_t value;
    };
    std::vector<Property> properties;
    // Sorted by property id, as OfficeArt readers expect.
    const std::pair<std::uint16_t, std::int32_t> crops[] = {{kCropFromTop, frame.cropTop},
                                                            {kCropFromBottom, frame.cropBottom},
                                                            {kCropFromLeft, frame.cropLeft},
                                                            {kCropFromRight, frame.cropRight}};
    for (const auto& [opid, value] : crops)
        if (value != 0)
            properties.push_back({opid, static_cast<std::uint32_t>(value)});
    properties.push_back({kPib, kFirstBlip});
    properties.push_back({kLineBooleans, kNoLine});

    ByteBuffer fopt;
    recordHeader(fopt, kFoptVersion, static_cast<std::uint16_t>(properties.size()), kFopt, 6 * properties.size());
    for (const Property& p : properties) {
        fopt.u16(p.opid);
        fopt.u32(p.value);
    }
    ByteBuffer fsp;
    recordHeader(fsp, kFspVersion, kPictureFrameShape, kFsp, 8);
    fsp.u32(frame.shapeId);
    fsp.u32(kInlineShapeFlags);

    ByteBuffer container;
    recordHeader(container, kContainerVersion, 0, kSpContainer, fsp.size() + fopt.size());
    container.append(fsp);
    container.append(fopt);
    return container;
}

std::uint16_t word(int value) { return static_cast<std::uint16_t>(value); }

// A 16.16 share of a length in twips.
std::uint16_t cropTwips(std::int32_t share, int length)
{
    return word(static_cast<int>((static_cast<std::int64_t>(share) * length + 0x8000) >> 16));
}

} // namespace

ByteBuffer encodeInlinePicture(const ImageData& image, const ImageUid& uid, const PictureFrame& frame)
{
    const ByteBuffer shape = shapeContainer(frame);
    const ByteBuffer store = fileBlipStoreEntry(image, uid);

    ByteBuffer out;
    out.u32(static_cast<std::uint32_t>(kPicfSize + shape.size() + store.size())); // lcb
    out.u16(kPicfSize);                                                           // cbHeader
    out.u16(kMmShape); // MFPF: mm, xExt, yExt, swHMF
    out.u16(0);
    out.u16(0);
    out.u16(0);
    out.zeros(kPicfShapeSize);
    out.u16(word(frame.goalWidth)); // PICMID
    out.u16(word(frame.goalHeight));
    out.u16(word(frame.scaleX));
    out.u16(word(frame.scaleY));
    // The cropping again in twips of the goal size (dxaCropLeft, dyaCropTop,
    // dxaCropRight, dyaCropBottom): Word 97 and LibreOffice take the shown
    // size as the goal less these, scaled.
    out.u16(cropTwips(frame.cropLeft, frame.goalWidth));
    out.u16(cropTwips(frame.cropTop, frame.goalHeight));
    out.u16(cropTwips(frame.cropRight, frame.goalWidth));
    out.u16(cropTwips(frame.cropBottom, frame.goalHeight));
    out.zeros(kPicmidBordersSize);
    out.u16(0); // cProps
    out.append(shape);
    out.append(store);
    return out;
}

} // namespace pwt::doc

#include "PictureStore.h"

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace pwt::doc {
namespace {

// PICMID's sizes are signed 16-bit twips and its scaling unsigned 16-bit
// thousandths.
constexpr int kMaxGoal = 32767;
constexpr int kPerMille = 1000;
constexpr int kMaxScale = 65535;
// OfficeArt's fixed-point fractions: 16.16.
constexpr double kFixedOne = 65536.0;
// Offsets in the Data stream are signed 32-bit (sprmCPicLocation, PICF.lcb).
constexpr std::uint64_t kMaxDataStream = 0x7FFFFFFF;
// Shape identifiers of inline pictures start above those a drawing reserves.
constexpr std::uint32_t kFirstShapeId = 0x400;

double cropShare(double share) { return std::isfinite(share) ? std::clamp(share, 0.0, 1.0) : 0.0; }

ImageUid uidOf(const std::vector<std::uint8_t>& bytes)
{
    // An MD5 digest: readers compare these identifiers and never recompute them.
    ImageUid uid{};
    GChecksum* sum = g_checksum_new(G_CHECKSUM_MD5);
    g_checksum_update(sum, bytes.data(), static_cast<gssize>(bytes.size()));
    gsize length = uid.size();
    g_checksum_get_digest(sum, uid.data(), &length);
    g_checksum_free(sum);
    return uid;
}

// How the picture shows: cropped, and scaled down proportionally when it is
// larger than `room`. Nothing when less than a twip of it would show.
std::optional<PictureFrame> frameOf(const Picture& picture, TextArea room)
{
    if (picture.width <= 0 || picture.height <= 0)
        return std::nullopt;
    const double left = cropShare(picture.cropLeft);
    const double right = cropShare(picture.cropRight);
    const double top = cropShare(picture.cropTop);
    const double bottom = cropShare(picture.cropBottom);
    const double shownWidth = picture.width * (1.0 - left - right);
    const double shownHeight = picture.height * (1.0 - top - bottom);
    if (!(shownWidth >= 1.0 && shownHeight >= 1.0))
        return std::nullopt;

    const double fit = std::min({1.0, std::max(1, room.width) / shownWidth, std::max(1, room.height) / shownHeight});
    // The full image's size at 100 % (PICMID's goal) and the scaling that shows it fitted.
    auto goalAndScale = [fit](int natural, int& goal, int& scale) {
        goal = std::min(natural, kMaxGoal);
        const double shown = natural * fit;
        scale = std::clamp(static_cast<int>(std::lround(kPerMille * shown / goal)), 1, kMaxScale);
    };
    PictureFrame frame;
    goalAndScale(picture.width, frame.goalWidth, frame.scaleX);
    goalAndScale(picture.height, frame.goalHeight, frame.scaleY);
    auto fixed = [](double share) { return static_cast<std::int32_t>(std::lround(share * kFixedOne)); };
    frame.cropLeft = fixed(left);
    frame.cropTop = fixed(top);
    frame.cropRight = fixed(right);
    frame.cropBottom = fixed(bottom);
    return frame;
}

std::size_t contentHash(const std::vector<std::uint8_t>& bytes)
{
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace

std::size_t PictureStore::imageIndex(const ImageData& image)
{
    if (const auto it = byAddress_.find(&image); it != byAddress_.end())
        return it->second;
    const std::size_t hash = contentHash(image.bytes);
    const auto [first, last] = byContentHash_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        const ImageData& seen = *images_[it->second].image;
        if (seen.format == image.format && seen.bytes == image.bytes) {
            byAddress_.emplace(&image, it->second);
            return it->second;
        }
    }
    const std::size_t index = images_.size();
    images_.push_back({&image, uidOf(image.bytes)});
    byAddress_.emplace(&image, index);
    byContentHash_.emplace(hash, index);
    return index;
}

std::optional<std::uint32_t> PictureStore::place(const Picture& picture, TextArea room)
{
    if (!picture.image || picture.image->bytes.empty())
        return std::nullopt;
    const std::optional<PictureFrame> shown = frameOf(picture, room);
    if (!shown)
        return std::nullopt;

    const std::size_t image = imageIndex(*picture.image);
    const auto key = std::make_pair(image, *shown);
    if (const auto it = stored_.find(key); it != stored_.end())
        return it->second;

    PictureFrame frame = *shown;
    frame.shapeId = kFirstShapeId + static_cast<std::uint32_t>(stored_.size());
    const ByteBuffer encoded = encodeInlinePicture(*picture.image, images_[image].uid, frame);
    if (data_.size() + encoded.size() > kMaxDataStream)
        throw std::length_error("the pictures are too large for a Word 97-2003 file");
    const std::uint32_t offset = data_.offset();
    data_.append(encoded);
    stored_.emplace(key, offset);
    return offset;
}

} // namespace pwt::doc

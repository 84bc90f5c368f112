#include "PngEncoder.h"

#include <png.h>

#include <csetjmp>

namespace pwt::pdf {

namespace {

// zlib's level for the pictures: the default level costs twice the time of
// this one on large pictures for a few per cent of size.
constexpr int kCompressionLevel = 3;

void appendToVector(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    try {
        out->insert(out->end(), data, data + length);
    } catch (...) {
        png_error(png, "out of memory"); // no exception may cross libpng's C frames
    }
}

void flushNothing(png_structp) {}

// libpng reports errors by longjmp; no C++ object with a destructor may live
// between setjmp and the calls that can jump, hence this plain function.
bool writePng(std::vector<std::uint8_t>& out, const std::uint8_t* rows, png_uint_32 width, png_uint_32 height,
              int channels, std::size_t stride)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, appendToVector, flushNothing);
    png_set_compression_level(png, kCompressionLevel);
    static constexpr int kColourTypes[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                                           PNG_COLOR_TYPE_RGB_ALPHA};
    png_set_IHDR(png, info, width, height, 8, kColourTypes[channels - 1],
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (png_uint_32 y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rows + static_cast<std::size_t>(y) * stride));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::vector<std::uint8_t> encodePng(const std::uint8_t* rows, int width, int height, int channels, std::size_t stride)
{
    std::vector<std::uint8_t> out;
    if (width <= 0 || height <= 0 || channels < 1 || channels > 4)
        return out;
    if (!writePng(out, rows, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), channels, stride))
        out.clear();
    return out;
}

std::vector<std::uint8_t> encodePng(const Raster& raster)
{
    return encodePng(raster.pixels.data(), raster.width, raster.height, raster.channels,
                     static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.channels));
}

} // namespace pwt::pdf

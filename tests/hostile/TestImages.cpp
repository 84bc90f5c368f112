#include "TestImages.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <stdexcept>

namespace pwt::hostile {

namespace {

constexpr int kJpegQuality = 90;
// Rows of one colour in bands().
constexpr int kBandRows = 4;

} // namespace

std::string encodeJpeg(int width, int height, int components, std::string_view pixels)
{
    if (pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(components))
        throw std::logic_error("encodeJpeg: pixels of the wrong size");
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kJpegQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = reinterpret_cast<JSAMPROW>(const_cast<char*>(pixels.data())
                                               + static_cast<std::size_t>(info.next_scanline)
                                                     * static_cast<std::size_t>(width) * static_cast<std::size_t>(components));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

std::string bands(int width, int height, int components)
{
    static const unsigned char colours[][3] = {{0xFF, 0, 0}, {0, 0xFF, 0}, {0, 0, 0xFF}, {0xFF, 0xFF, 0xFF}};
    std::string out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* c = colours[(y / kBandRows) % 4];
            if (components == 1)
                out += static_cast<char>(c[0] / 2 + c[1] / 4 + c[2] / 4);
            else
                out.append(reinterpret_cast<const char*>(c), 3);
        }
    return out;
}

std::string imageObject(int width, int height, int bits, std::string_view entries, std::string_view data)
{
    return streamObject("/Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height "
                            + std::to_string(height) + " /BitsPerComponent " + std::to_string(bits) + " "
                            + std::string(entries),
                        data);
}

std::string ImageDocument::addImage(std::string body)
{
    const std::string name = "/Im" + std::to_string(++m_images);
    m_xobjects += name + " " + ref(m_pdf.add(std::move(body))) + " ";
    return name;
}

std::string ImageDocument::build(const std::vector<std::string>& contents)
{
    const int catalog = m_pdf.reserve();
    const int pages = m_pdf.reserve();
    const int font = m_pdf.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    std::string kids;
    for (const std::string& content : contents) {
        const int stream = m_pdf.addStream("", content);
        kids += ref(m_pdf.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 612 792] /Resources << /Font << /F1 "
                              + ref(font) + " >> /XObject << " + m_xobjects + ">> >> /Contents " + ref(stream) + " >>"))
                + " ";
    }
    m_pdf.set(catalog, "<< /Type /Catalog /Pages " + ref(pages) + " >>");
    m_pdf.set(pages, "<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(contents.size()) + " >>");
    return m_pdf.build(catalog);
}

std::string drawAt(std::string_view name, std::string_view matrix)
{
    return "q " + std::string(matrix) + " cm " + std::string(name) + " Do Q ";
}

} // namespace pwt::hostile

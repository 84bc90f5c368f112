#pragma once
// Images for test PDFs: JPEG files made with libjpeg, image XObjects and
// documents whose pages draw them.
#include "PdfBytes.h"

#include <string>
#include <string_view>
#include <vector>

namespace pwt::hostile {

// A baseline JPEG of `pixels` (rows of `components` bytes a pixel, 1 or 3).
std::string encodeJpeg(int width, int height, int components, std::string_view pixels);

// `width` x `height` pixels, 8 bits, of the given components in bands of
// colour: rows change colour every few rows, so that turning shows.
std::string bands(int width, int height, int components);

// The body of an image XObject: `entries` (/ColorSpace, /Filter, /SMask...)
// beside its size and /BitsPerComponent `bits`.
std::string imageObject(int width, int height, int bits, std::string_view entries, std::string_view data);

// Documents of pages that draw image XObjects, text in Helvetica (/F1)
// beside them.
class ImageDocument {
public:
    // Adds any object (a soft mask); returns its number.
    int add(std::string body) { return m_pdf.add(std::move(body)); }
    // Adds an image XObject; returns the name pages draw it by ("/Im1").
    std::string addImage(std::string body);
    // One page per content stream, each with every image in its resources.
    std::string build(const std::vector<std::string>& contents);

private:
    PdfBytes m_pdf;
    std::string m_xobjects; // "/Im1 4 0 R ..."
    int m_images = 0;
};

// "q <a b c d e f> cm <name> Do Q"
std::string drawAt(std::string_view name, std::string_view matrix);

} // namespace pwt::hostile

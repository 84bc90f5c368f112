#include "PdfBytes.h"

#include <cstdio>
#include <stdexcept>
#include <zlib.h>

namespace pwt::hostile {

int PdfBytes::reserve()
{
    m_bodies.emplace_back("null");
    return static_cast<int>(m_bodies.size());
}

int PdfBytes::add(std::string body)
{
    m_bodies.push_back(std::move(body));
    return static_cast<int>(m_bodies.size());
}

int PdfBytes::addStream(std::string_view entries, std::string_view data)
{
    return add(streamObject(entries, data));
}

void PdfBytes::set(int number, std::string body)
{
    m_bodies.at(static_cast<std::size_t>(number - 1)) = std::move(body);
}

std::string PdfBytes::build(int root, std::string_view trailerEntries) const
{
    // The binary comment marks the file as binary for transfer programs.
    std::string out = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < m_bodies.size(); ++i) {
        offsets.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + m_bodies[i] + "\nendobj\n";
    }
    const std::size_t xref = out.size();
    out += "xref\n0 " + std::to_string(m_bodies.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets) {
        char entry[21];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        out += entry;
    }
    out += "trailer\n<< /Size " + std::to_string(m_bodies.size() + 1) + " /Root " + ref(root) + " ";
    out += trailerEntries;
    out += " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

std::string streamObject(std::string_view entries, std::string_view data)
{
    std::string body = "<< ";
    body += entries;
    body += " /Length " + std::to_string(data.size()) + " >>\nstream\n";
    body += data;
    body += "\nendstream";
    return body;
}

std::string deflate(std::string_view data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), Z_BEST_COMPRESSION)
        != Z_OK)
        throw std::runtime_error("zlib cannot compress");
    out.resize(size);
    return out;
}

std::string replaceFirst(std::string pdf, std::string_view from, std::string_view to)
{
    const auto at = pdf.find(from);
    if (at == std::string::npos)
        throw std::logic_error("PDF edit: \"" + std::string(from) + "\" not found");
    return pdf.replace(at, from.size(), to);
}

std::string edited(const std::string& pdf, std::string_view from, std::string_view to)
{
    std::string out = replaceFirst(pdf, from, to);
    const std::size_t xref = out.rfind("\nxref\n0 ") + 1;
    const std::size_t trailer = out.find("trailer\n", xref);
    const std::size_t startxref = out.find("startxref\n", trailer);
    if (xref == 0 || trailer == std::string::npos || startxref == std::string::npos)
        throw std::logic_error("PDF edit: not a file of PdfBytes");
    const int count = std::stoi(out.substr(xref + 7));
    std::string table = "xref\n0 " + std::to_string(count) + "\n0000000000 65535 f \n";
    for (int n = 1; n < count; ++n) {
        const std::size_t at = out.find("\n" + std::to_string(n) + " 0 obj\n");
        char entry[21];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", at + 1);
        table += entry;
    }
    return out.substr(0, xref) + table + out.substr(trailer, startxref - trailer) + "startxref\n" + std::to_string(xref)
           + "\n%%EOF\n";
}

std::string ref(int number)
{
    return std::to_string(number) + " 0 R";
}

std::string literal(std::string_view text)
{
    std::string out = "(";
    for (const char c : text) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + ")";
}

std::string textContent(std::string_view text)
{
    return "BT /F1 12 Tf 72 720 Td " + literal(text) + " Tj ET";
}

std::string simplePdf(const std::vector<std::string>& contents, std::string_view mediaBox)
{
    PdfBytes pdf;
    const int catalog = pdf.reserve();
    const int pages = pdf.reserve();
    const int font = pdf.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    std::string kids;
    for (const std::string& content : contents) {
        const int stream = pdf.addStream("", content);
        kids += ref(pdf.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox " + std::string(mediaBox)
                            + " /Resources << /Font << /F1 " + ref(font) + " >> >> /Contents " + ref(stream) + " >>"))
            + " ";
    }
    pdf.set(catalog, "<< /Type /Catalog /Pages " + ref(pages) + " >>");
    pdf.set(pages, "<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(contents.size()) + " >>");
    return pdf.build(catalog);
}

} // namespace pwt::hostile

#pragma once
// PDF files written byte by byte, for inputs no PDF library would write: the
// objects are numbered as added and the cross-reference table gets their true
// offsets, so a case breaks exactly the part it means to break.
#include <string>
#include <string_view>
#include <vector>

namespace pwt::hostile {

class PdfBytes {
public:
    // An object number to fill later with set(), for objects that refer to
    // each other.
    int reserve();
    // Adds an object ("<< ... >>", "[ ... ]", a number); returns its number.
    int add(std::string body);
    // Adds a stream; `entries` go into its dictionary beside /Length.
    int addStream(std::string_view entries, std::string_view data);
    void set(int number, std::string body);

    // Header, objects, cross-reference table and trailer (/Root `root`, /Size
    // and `trailerEntries`), startxref and %%EOF.
    std::string build(int root, std::string_view trailerEntries = {}) const;

private:
    std::vector<std::string> m_bodies; // object n is m_bodies[n - 1]
};

// The body of a stream object: `entries` go into its dictionary beside /Length.
std::string streamObject(std::string_view entries, std::string_view data);

// zlib's compression of `data` (a /FlateDecode stream's bytes).
std::string deflate(std::string_view data);

// `pdf` with the first `from` replaced by `to`; throws when `from` is absent.
std::string replaceFirst(std::string pdf, std::string_view from, std::string_view to);

// The same, with the cross-reference table of a PdfBytes file corrected for
// the bytes the edit moved: a case that edits one object breaks only that.
std::string edited(const std::string& pdf, std::string_view from, std::string_view to);

// "n 0 R"
std::string ref(int number);

// A PDF string literal of `text`, with ( ) \ escaped.
std::string literal(std::string_view text);

// One page of text in Helvetica (/F1) at the top left: "BT ... Tj ET".
std::string textContent(std::string_view text);

// A document of one page per content stream, all drawing with Helvetica as
// /F1 on pages of `mediaBox`.
std::string simplePdf(const std::vector<std::string>& contents, std::string_view mediaBox = "[0 0 612 792]");

} // namespace pwt::hostile

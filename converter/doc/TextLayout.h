#pragma once
// Lays the document out as Word's character stream: the main document (its
// figures as paragraphs of picture characters between the text's paragraphs),
// then the footnote document, then the header document (headers and
// footers), then the closing paragraph mark;
// and records where each property run, paragraph, field, section and header
// story begins and ends, in character positions (CPs).
#include "FontTable.h"
#include "PictureStore.h"
#include "model/Document.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace pwt::doc {

// Equal sprm groups stored once; runs refer to them by id.
class PropertyPool {
public:
    std::uint32_t intern(const std::string& grpprl);
    const std::string& at(std::uint32_t id) const { return items_[id]; }
    std::size_t size() const { return items_.size(); }
    // Puts other bytes in an item's place (properties moved out of the pages);
    // runs keep their ids. The replacement is not looked up by intern.
    void replace(std::uint32_t id, std::string grpprl) { items_[id] = std::move(grpprl); }

private:
    std::vector<std::string> items_;
    std::unordered_map<std::string, std::uint32_t> ids_;
};

// Properties id that holds from the previous run's end up to cpEnd.
struct PropertyRun {
    std::uint32_t cpEnd;
    std::uint32_t id;
};

// One field character: 0x13 begin (with the field type), 0x14 separator,
// 0x15 end (with its flags). cp counts from the start of its document part.
struct FieldChar {
    std::uint32_t cp;
    std::uint8_t ch;
    std::uint8_t data;
};

// A footnote's reference in the main document.
struct FootnoteReference {
    std::uint32_t cp;
    // Word's automatic number (1, 2, 3 ...) where the mark is that number in
    // order; 0: a custom mark, whose character stands at cp.
    std::uint16_t autoNumber;
};

// A bookmark of the main document; it starts and ends at cp (a point).
struct Bookmark {
    std::u16string name;
    std::uint32_t cp;
};

struct LaidOutText {
    std::u16string text;
    std::uint32_t ccpText = 0;
    std::uint32_t ccpFtn = 0;
    std::uint32_t ccpHdd = 0;
    PropertyPool characterProps; // CHPX sprm groups
    PropertyPool paragraphProps; // PAPX istd + sprm groups
    std::vector<PropertyRun> characterRuns;
    std::vector<PropertyRun> paragraphRuns;
    std::vector<FieldChar> mainFields;
    std::vector<FieldChar> headerFields;
    std::vector<FieldChar> footnoteFields;
    std::vector<FootnoteReference> footnoteReferences; // in CP order
    // Where each footnote's text starts in the footnote document, then the
    // final mark's CP (ccpFtn - 1) and ccpFtn. Empty when there are none.
    std::vector<std::uint32_t> footnoteTexts;
    std::vector<Bookmark> bookmarks; // in CP order
    bool evenHeaders = false; // some section's even pages have a head or foot of their own
    std::vector<std::uint32_t> sectionBounds; // start of each section, then ccpText
    // Header document stories: 6 separator stories, 6 per section, then
    // ccpHdd - 1 and ccpHdd. Empty when no section has a header or footer.
    std::vector<std::uint32_t> headerStories;
};

inline constexpr char16_t kPictureCharacter = 0x0001; // an inline picture, by its sprmCPicLocation
inline constexpr char16_t kParagraphMark = 0x000D;
inline constexpr char16_t kPageBreak = 0x000C; // also the section mark
inline constexpr char16_t kColumnBreak = 0x000E;
inline constexpr char16_t kFieldBegin = 0x0013;
inline constexpr char16_t kFieldSeparator = 0x0014;
inline constexpr char16_t kFieldEnd = 0x0015;
inline constexpr char16_t kAutoNumberedNote = 0x0002; // a footnote reference Word numbers
inline constexpr std::uint8_t kFieldTypePage = 0x21;
inline constexpr std::uint8_t kFieldHasSeparator = 0x80; // fHasSep of a field's end

// Figures become paragraphs of inline pictures whose data go to `pictures`.
LaidOutText layOutText(const Document& document, FontTable& fonts, PictureStore& pictures);

} // namespace pwt::doc

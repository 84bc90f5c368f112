#include "DocWriter.h"

#include "CompoundFile.h"
#include "Fib.h"
#include "FontTable.h"
#include "FormattedPages.h"
#include "ListTable.h"
#include "PropertyEncoder.h"
#include "Sprm.h"
#include "StyleSheet.h"
#include "TableEncoder.h"
#include "TextLayout.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace pwt::doc {
namespace {

// The text begins after the FIB, on a page boundary as Word's own files do.
constexpr std::uint32_t kTextStart = 0x400;
// Streams below 4096 bytes would go to the compound file's mini stream, which
// some older readers do not expect for WordDocument.
constexpr std::size_t kMinWordDocumentSize = 4096;
// The Data stream (pictures, long paragraph properties) kept out of the mini stream for the same reason.
constexpr std::size_t kMinDataSize = 4096;
constexpr std::size_t kDopSize = 500; // Dop97
// Word cannot address more text than this in one file (FCs are 31-bit).
constexpr std::size_t kMaxCharacters = 0x3FFFFFFF / 2 - 0x10000;

// Paragraph properties longer than this go to the Data stream: a formatting
// page holds at most one PAPX of about 490 bytes (a wide table row's).
constexpr std::size_t kMaxPapxInPage = 480;

// Each PAPX too long for a formatting page becomes its style and a
// sprmPHugePapx that points at its sprms (a PrcData) in the Data stream. A
// table row's end keeps its row-end marks in the page as well: readers that
// do not follow sprmPHugePapx still see where the row ends, and the others
// read the same values again.
void moveLongParagraphProperties(PropertyPool& papx, ByteBuffer& data)
{
    const Grpprl rowEnd = rowEndMarks();
    for (std::uint32_t id = 0; id < papx.size(); ++id) {
        const std::string& grpprlAndIstd = papx.at(id);
        if (grpprlAndIstd.size() <= kMaxPapxInPage)
            continue;
        data.padTo(2);
        const std::uint32_t offset = data.offset();
        const std::string sprms = grpprlAndIstd.substr(2);
        data.u16(static_cast<std::uint16_t>(sprms.size()));
        data.append(sprms);
        Grpprl moved;
        moved.put16(static_cast<std::uint16_t>(static_cast<std::uint8_t>(grpprlAndIstd[0])
                                               | (static_cast<std::uint8_t>(grpprlAndIstd[1]) << 8)));
        moved.add32(sprm::PHugePapx, offset);
        if (sprms.starts_with(rowEnd.bytes()))
            moved.append(rowEnd);
        papx.replace(id, moved.bytes());
    }
}

// Appends a table-stream structure and records where the FIB finds it.
void place(ByteBuffer& table, Fib& fib, FibEntry entry, const ByteBuffer& structure)
{
    fib.set(entry, table.offset(), static_cast<std::uint32_t>(structure.size()));
    table.append(structure);
}

ByteBuffer fieldTable(const std::vector<FieldChar>& fields, std::uint32_t partLength)
{
    ByteBuffer plc;
    for (const FieldChar& f : fields)
        plc.u32(f.cp);
    plc.u32(partLength);
    for (const FieldChar& f : fields) {
        plc.u8(f.ch);
        plc.u8(f.data);
    }
    return plc;
}

// Where footnotes are referred to, each automatic number or 0 for a custom mark.
ByteBuffer footnoteReferences(const std::vector<FootnoteReference>& references, std::uint32_t ccpText)
{
    ByteBuffer plc;
    for (const FootnoteReference& r : references)
        plc.u32(r.cp);
    plc.u32(ccpText);
    for (const FootnoteReference& r : references)
        plc.u16(r.autoNumber);
    return plc;
}

ByteBuffer cpsOnly(const std::vector<std::uint32_t>& cps)
{
    ByteBuffer plc;
    for (std::uint32_t cp : cps)
        plc.u32(cp);
    return plc;
}

// SttbfBkmk (an extended string table of the names), PlcfBkf (starts, each
// with the index of its end in PlcfBkl) and PlcfBkl (ends). A bookmark here
// is a point: it ends where it starts.
void placeBookmarks(ByteBuffer& table, Fib& fib, const std::vector<Bookmark>& bookmarks, std::uint32_t characters)
{
    ByteBuffer names;
    names.u16(0xFFFF); // fExtend: UTF-16 strings
    names.u16(static_cast<std::uint16_t>(bookmarks.size()));
    names.u16(0); // cbExtra
    ByteBuffer starts;
    ByteBuffer ends;
    for (const Bookmark& b : bookmarks) {
        names.u16(static_cast<std::uint16_t>(b.name.size()));
        for (char16_t c : b.name)
            names.u16(c);
        starts.u32(b.cp);
        ends.u32(b.cp);
    }
    starts.u32(characters);
    ends.u32(characters);
    for (std::size_t i = 0; i < bookmarks.size(); ++i) {
        starts.u16(static_cast<std::uint16_t>(i)); // FBKF.ibkl
        starts.u16(0);                             // FBKF.bkc: not a table column range
    }
    place(table, fib, FibEntry::SttbfBkmk, names);
    place(table, fib, FibEntry::PlcfBkf, starts);
    place(table, fib, FibEntry::PlcfBkl, ends);
}

ByteBuffer documentProperties(bool evenHeaders)
{
    ByteBuffer dop;
    dop.zeros(kDopSize);
    constexpr std::uint16_t kFacingPages = 1;             // even pages take the even header and footer
    constexpr std::uint16_t kFootnotesAtPageBottom = 1 << 5; // fpc 1: notes at the foot of their page
    dop.putU16(0, static_cast<std::uint16_t>(kFootnotesAtPageBottom | (evenHeaders ? kFacingPages : 0)));
    dop.putU16(2, 1 << 2);  // footnotes numbered from 1
    dop.putU16(10, 720);    // dxaTab: default tab stops every half inch
    dop.putU16(52, 1 << 2); // endnotes numbered from 1
    dop.putU16(404, 180);   // dogrid.dxaGrid
    dop.putU16(406, 180);   // dogrid.dyaGrid
    return dop;
}

// Clx: a single Pcdt whose one piece holds the whole text, uncompressed UTF-16.
ByteBuffer pieceTable(std::uint32_t characters, std::uint32_t fcText)
{
    ByteBuffer plcPcd;
    plcPcd.u32(0);
    plcPcd.u32(characters);
    plcPcd.u16(0); // Pcd flags
    plcPcd.u32(fcText); // fCompressed = 0: 2 bytes per character from here
    plcPcd.u16(0); // prm: none
    ByteBuffer clx;
    clx.u8(0x02); // Pcdt
    clx.u32(static_cast<std::uint32_t>(plcPcd.size()));
    clx.append(plcPcd);
    return clx;
}

std::size_t countCharacters(const Document& document)
{
    std::size_t n = 0;
    auto count = [&n](const std::vector<Paragraph>& paragraphs) {
        for (const Paragraph& p : paragraphs) {
            n += 4; // breaks, marks, a note's reference mark
            for (const Run& r : p.runs)
                n += r.text.size() + 10 + r.link.size(); // a field around it, its instruction
        }
    };
    for (const Section& s : document.sections)
        for (const auto* list : {&s.paragraphs, &s.header, &s.footer, &s.evenHeader, &s.evenFooter})
            count(*list);
    for (const Footnote& f : document.footnotes)
        count(f.paragraphs);
    for (const Section& s : document.sections) {
        for (const Figure& f : s.figures)
            n += f.pictures.size() + 2;
        for (const Table& t : s.tables)
            for (const TableRow& row : t.rows) {
                n += 1; // the row's end mark
                for (const TableCell& cell : row.cells) {
                    n += 2;
                    for (const Paragraph& p : cell.paragraphs) {
                        n += 2;
                        for (const Run& r : p.runs)
                            n += r.text.size() + 10 + r.link.size();
                    }
                }
            }
    }
    return n;
}

std::string writeOrThrow(const Document& document, int fd)
{
    if (document.sections.empty())
        return "the document has no section";
    if (countCharacters(document) > kMaxCharacters)
        return "the document is too long for a Word 97-2003 file";

    FontTable fonts;
    PictureStore pictures;
    LaidOutText laid = layOutText(document, fonts, pictures);
    ByteBuffer data = pictures.releaseStream();
    moveLongParagraphProperties(laid.paragraphProps, data);
    const auto characters = static_cast<std::uint32_t>(laid.text.size());

    Fib fib;
    ByteBuffer word;
    word.reserve(kTextStart + 2 * laid.text.size() + 64 * 1024);
    word.zeros(kTextStart);
    for (char16_t c : laid.text)
        word.u16(c);
    fib.fcMin = kTextStart;
    fib.fcMac = word.offset();
    fib.ccpText = laid.ccpText;
    fib.ccpFtn = laid.ccpFtn;
    fib.ccpHdd = laid.ccpHdd;

    ByteBuffer table;
    place(table, fib, FibEntry::Stshf, buildStyleSheet());
    fib.set(FibEntry::StshfOrig, 0, static_cast<std::uint32_t>(table.size()));

    place(table, fib, FibEntry::PlcfBteChpx,
          writeCharacterPages(word, kTextStart, laid.characterRuns, laid.characterProps));
    place(table, fib, FibEntry::PlcfBtePapx,
          writeParagraphPages(word, kTextStart, laid.paragraphRuns, laid.paragraphProps));

    // Section properties: one SEPX per section in the WordDocument stream.
    ByteBuffer sed;
    for (std::uint32_t cp : laid.sectionBounds)
        sed.u32(cp);
    for (std::size_t i = 0; i < document.sections.size(); ++i) {
        word.padTo(2);
        const std::uint32_t fcSepx = word.offset();
        const Grpprl sepx = encodeSection(document.sections[i].page);
        word.u16(static_cast<std::uint16_t>(sepx.size()));
        word.append(sepx.bytes());
        sed.u16(0);          // fn
        sed.u32(fcSepx);
        sed.u16(0);          // fnMpr
        sed.u32(0xFFFFFFFF); // fcMpr
    }
    place(table, fib, FibEntry::PlcfSed, sed);

    if (!laid.footnoteReferences.empty()) {
        place(table, fib, FibEntry::PlcffndRef, footnoteReferences(laid.footnoteReferences, laid.ccpText));
        place(table, fib, FibEntry::PlcffndTxt, cpsOnly(laid.footnoteTexts));
    }
    if (!laid.headerStories.empty()) {
        ByteBuffer hdd;
        for (std::uint32_t cp : laid.headerStories)
            hdd.u32(cp);
        place(table, fib, FibEntry::PlcfHdd, hdd);
    }
    if (!laid.mainFields.empty())
        place(table, fib, FibEntry::PlcfFldMom, fieldTable(laid.mainFields, laid.ccpText));
    if (!laid.headerFields.empty())
        place(table, fib, FibEntry::PlcfFldHdr, fieldTable(laid.headerFields, laid.ccpHdd));
    if (!laid.footnoteFields.empty())
        place(table, fib, FibEntry::PlcfFldFtn, fieldTable(laid.footnoteFields, laid.ccpFtn));
    if (!laid.bookmarks.empty())
        placeBookmarks(table, fib, laid.bookmarks, characters);

    const ListTables lists = encodeLists(document.lists, fonts);
    if (lists.plfLst.size() != 0) {
        place(table, fib, FibEntry::PlfLst, lists.plfLst);
        table.append(lists.levels); // the LVLs follow the PlfLst, outside its length
        place(table, fib, FibEntry::PlfLfo, lists.plfLfo);
    }
    place(table, fib, FibEntry::SttbfFfn, fonts.serialize()); // after the runs and lists named their fonts
    place(table, fib, FibEntry::Dop, documentProperties(laid.evenHeaders));
    place(table, fib, FibEntry::Clx, pieceTable(characters, kTextStart));

    word.resizeAtLeast(kMinWordDocumentSize);
    fib.cbMac = word.offset();
    fib.writeAtStart(word);

    std::vector<NamedStream> streams{{"WordDocument", &word}, {"1Table", &table}};
    if (data.size() != 0) {
        data.resizeAtLeast(kMinDataSize);
        streams.push_back({"Data", &data});
    }
    return writeCompoundFile(fd, streams, document.info);
}

} // namespace

std::string writeWordDocument(const pwt::Document& document, int fd)
{
    // Nothing may escape as an exception: callers get a reason instead.
    try {
        return writeOrThrow(document, fd);
    } catch (const std::bad_alloc&) {
        return "not enough memory to write the document";
    } catch (const std::exception& e) {
        return std::string("cannot write the document: ") + e.what();
    }
}

std::string writeWordDocument(const pwt::Document& document, const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return "cannot create the output file: " + std::string(std::strerror(errno));
    std::string failure = writeWordDocument(document, fd);
    if (::close(fd) != 0 && failure.empty())
        failure = "cannot write the output file: " + std::string(std::strerror(errno));
    if (!failure.empty())
        ::unlink(path.c_str());
    return failure;
}

} // namespace pwt::doc

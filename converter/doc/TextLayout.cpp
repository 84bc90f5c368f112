#include "TextLayout.h"

#include "LinkTargets.h"
#include "ListTable.h"
#include "PropertyEncoder.h"
#include "Sprm.h"
#include "TableEncoder.h"
#include "Unicode.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_set>

namespace pwt::doc {

std::uint32_t PropertyPool::intern(const std::string& grpprl)
{
    const auto [it, inserted] = ids_.try_emplace(grpprl, static_cast<std::uint32_t>(items_.size()));
    if (inserted)
        items_.push_back(grpprl);
    return it->second;
}

namespace {

// Word numbers footnotes in a signed 16-bit number; later marks are custom ones.
constexpr unsigned kMaxAutoNumber = 0x7FFF;

// Where the data of each picture set in a paragraph's lines is, in order.
using PictureLocations = std::vector<std::optional<std::uint32_t>>;

class TextBuilder {
public:
    TextBuilder(LaidOutText& out, FontTable& fonts, const Document& document)
        : out_(out), fonts_(fonts), listCount_(document.lists.size()), noteUsed_(document.footnotes.size(), false)
    {
    }

    std::uint32_t cp() const { return static_cast<std::uint32_t>(out_.text.size()); }

    // Writes one paragraph ending in `mark`; fields are recorded relative to
    // partStart. A page break is only written where a page can end.
    // `inlineLocations`: where the data of each picture set in the paragraph's
    // lines is (nothing: it shows nothing), in the order of their marks; marks
    // beyond them are left out.
    void paragraph(const Paragraph& p, char16_t mark, bool allowPageBreak, std::vector<FieldChar>& fields,
                   std::uint32_t partStart, const std::vector<std::optional<std::uint32_t>>& inlineLocations = {})
    {
        std::size_t nextPicture = 0;
        const CharFormat defaults;
        std::uint32_t chp = characterId(p.runs.empty() ? defaults : p.runs.front().format);
        if (p.pageBreakBefore && allowPageBreak)
            put(kPageBreak, chp);
        else if (p.columnBreakBefore && allowPageBreak)
            put(kColumnBreak, chp);
        if (mainStory_)
            markBookmarks(p.bookmarks);
        if (noteMark_) {
            putNoteMark(*noteMark_, chp);
            noteMark_.reset();
        }
        for (std::size_t i = 0; i < p.runs.size(); ++i) {
            const Run& run = p.runs[i];
            chp = characterId(run.format);
            if (run.pageNumberField) {
                pageField(run, chp, fields, partStart);
            } else if (isNoteReference(run)) {
                footnoteReference(run, chp);
            } else if (const auto instruction = linkable(run) ? hyperlinkInstruction(run.link) : std::nullopt) {
                // The link's neighbouring runs are the field's result.
                std::size_t end = i + 1;
                while (end < p.runs.size() && linkable(p.runs[end]) && p.runs[end].link == run.link)
                    ++end;
                chp = hyperlink(*instruction, p.runs, i, end, fields, partStart, inlineLocations, nextPicture);
                i = end - 1;
            } else {
                putTextWithPictures(cleanRunText(run.text), chp, inlineLocations, nextPicture);
            }
        }
        put(mark, ownRun(chp));
        endParagraph(paragraphId(p.format));
    }

    // While the main document is written, footnote references and bookmarks
    // are recorded; elsewhere a note's mark is plain text and bookmarks are left out.
    void setMainStory(bool main) { mainStory_ = main; }

    // The footnotes in the order of their references, with their references' marks.
    struct NoteToWrite {
        std::size_t footnote;
        FootnoteReference reference;
        std::u16string customMark;
    };
    const std::vector<NoteToWrite>& notesToWrite() const { return notes_; }

    // The next paragraph begins with this note's reference mark, as the
    // footnote text's first paragraph does.
    void beginNote(const NoteToWrite& note) { noteMark_ = note; }

    // Text in which each kInlinePictureMark becomes the next picture's character.
    void putTextWithPictures(const std::u16string& text, std::uint32_t chp,
                             const std::vector<std::optional<std::uint32_t>>& locations, std::size_t& next)
    {
        std::size_t from = 0;
        for (std::size_t at = text.find(kInlinePictureMark); at != std::u16string::npos;
             at = text.find(kInlinePictureMark, from)) {
            putText(text.substr(from, at - from), chp);
            if (next < locations.size() && locations[next])
                putPicture(*locations[next], chp);
            ++next;
            from = at + 1;
        }
        putText(text.substr(from), chp);
    }

    void putPicture(std::uint32_t location, std::uint32_t chp)
    {
        Grpprl picture;
        picture.add8(sprm::CFSpec, 1);
        picture.add32(sprm::CPicLocation, location);
        put(kPictureCharacter, out_.characterProps.intern(out_.characterProps.at(chp) + picture.bytes()));
    }

    // A figure: its pictures side by side (each a picture character whose
    // properties point at its data) in a paragraph of their own.
    void figure(const Figure& f, const std::vector<std::uint32_t>& pictureLocations, char16_t mark, bool allowPageBreak)
    {
        const std::uint32_t chp = characterId(CharFormat{});
        if (f.pageBreakBefore && allowPageBreak)
            put(kPageBreak, chp);
        else if (f.columnBreakBefore && allowPageBreak)
            put(kColumnBreak, chp);
        for (std::uint32_t location : pictureLocations)
            putPicture(location, chp);
        put(mark, chp);
        // Single spacing whatever the figure asked: Word cuts a picture off
        // at an exact line height and multiplies its height by a proportional one.
        ParagraphFormat format = f.format;
        format.exactLineSpacing = 0;
        format.lineSpacing = kSingleLineSpacing;
        endParagraph(paragraphId(format));
    }

    // A table row: each cell's paragraphs, the last ending in a cell mark,
    // then the row's end mark with the table's properties for the row.
    // `pictureLocations`: per cell, per paragraph, as for paragraph().
    void tableRow(const TableRow& row, const std::string& rowProps, bool pageBreakBefore, std::vector<FieldChar>& fields,
                  const std::vector<std::vector<PictureLocations>>& pictureLocations)
    {
        const Paragraph emptyCell;
        const PictureLocations none;
        for (std::size_t ci = 0; ci < row.cells.size(); ++ci) {
            const TableCell& cell = row.cells[ci];
            const std::size_t count = std::max<std::size_t>(cell.paragraphs.size(), 1);
            for (std::size_t pi = 0; pi < count; ++pi) {
                const Paragraph& p = cell.paragraphs.empty() ? emptyCell : cell.paragraphs[pi];
                cellProps_ = encodeCellParagraph(p.format, pageBreakBefore && ci == 0 && pi == 0).bytes();
                const auto& locations = ci < pictureLocations.size() && pi < pictureLocations[ci].size()
                    ? pictureLocations[ci][pi] : none;
                paragraph(p, pi + 1 == count ? kCellMark : kParagraphMark, false, fields, 0, locations);
            }
        }
        cellProps_.clear();
        put(kCellMark, characterId(CharFormat{}));
        endParagraph(out_.paragraphProps.intern(rowProps));
    }

    // An empty Normal paragraph: the guard at the end of a header story and
    // the marks that close the header document and the whole text.
    void bareParagraphMark()
    {
        put(kParagraphMark, characterId(CharFormat{}));
        endParagraph(paragraphId(ParagraphFormat{}));
    }

private:
    // Run properties plus some sprms (a field character's, a reference mark's).
    std::uint32_t withExtra(std::uint32_t chp, const Grpprl& extra)
    {
        return out_.characterProps.intern(out_.characterProps.at(chp) + extra.bytes());
    }

    // The paragraph mark in the text's format, in a run of its own.
    // LibreOffice sets the text of a paragraph that a table follows in the
    // format of the run holding its mark, up to where that run begins: the
    // text then keeps its last run's format instead of losing all of it.
    std::uint32_t ownRun(std::uint32_t chp)
    {
        Grpprl plain;
        plain.add8(sprm::CFSpec, 0);
        return withExtra(chp, plain);
    }

    std::uint32_t specialCharacter(std::uint32_t chp)
    {
        Grpprl special;
        special.add8(sprm::CFSpec, 1);
        return withExtra(chp, special);
    }

    std::uint32_t superscript(std::uint32_t chp)
    {
        Grpprl raised;
        raised.add8(sprm::CIss, 1);
        return withExtra(chp, raised);
    }

    bool isNoteReference(const Run& run) const
    {
        return mainStory_ && run.footnote >= 0 && static_cast<std::size_t>(run.footnote) < noteUsed_.size()
            && !noteUsed_[static_cast<std::size_t>(run.footnote)];
    }

    static bool linkable(const Run& run) { return !run.link.empty() && !run.pageNumberField && run.footnote < 0; }

    // A footnote's reference: Word's auto-numbered mark where the PDF's mark
    // is the next number, else the mark itself, its last character the
    // reference (Word takes one character as a custom mark).
    void footnoteReference(const Run& run, std::uint32_t chp)
    {
        const auto index = static_cast<std::size_t>(run.footnote);
        noteUsed_[index] = true;
        std::u16string mark = cleanRunText(run.text);
        while (!mark.empty() && (mark.back() == u' ' || mark.back() == u'\t'))
            mark.pop_back();
        while (!mark.empty() && (mark.front() == u' ' || mark.front() == u'\t'))
            mark.erase(mark.begin());
        const std::u16string expected = asDecimal(nextAutoNumber_);
        const std::uint32_t raised = superscript(chp);
        NoteToWrite note{index, {0, 0}, {}};
        if (mark == expected && nextAutoNumber_ <= kMaxAutoNumber) {
            note.reference = {cp(), static_cast<std::uint16_t>(nextAutoNumber_++)};
            put(kAutoNumberedNote, specialCharacter(raised));
        } else {
            // No mark, or one Word cannot take as a single character: an asterisk.
            char16_t last = u'*';
            if (!mark.empty() && !(mark.back() >= 0xD800 && mark.back() <= 0xDFFF)) {
                last = mark.back();
                mark.pop_back();
                putText(mark, raised);
            }
            note.reference = {cp(), 0};
            note.customMark.assign(1, last);
            put(last, raised);
        }
        out_.footnoteReferences.push_back(note.reference);
        notes_.push_back(std::move(note));
    }

    void putNoteMark(const NoteToWrite& note, std::uint32_t chp)
    {
        const std::uint32_t raised = superscript(chp);
        if (note.reference.autoNumber != 0)
            put(kAutoNumberedNote, specialCharacter(raised));
        else
            put(note.customMark.front(), raised);
        put(u' ', chp); // as Word sets the note's text apart from its mark
    }

    static std::u16string asDecimal(unsigned n)
    {
        std::u16string out;
        for (const char c : std::to_string(n))
            out.push_back(static_cast<char16_t>(c));
        return out;
    }

    // Word tells bookmark names apart regardless of case: the first of
    // names alike but for case is kept.
    void markBookmarks(const std::vector<std::string>& names)
    {
        for (const std::string& name : names) {
            const auto n = bookmarkName(name);
            if (!n)
                continue;
            std::u16string key = *n;
            std::transform(key.begin(), key.end(), key.begin(),
                           [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; });
            if (bookmarkNames_.insert(key).second)
                out_.bookmarks.push_back({*n, cp()});
        }
    }

    // A HYPERLINK field whose result is runs [from, to) of `runs`; returns
    // the properties of its last character.
    std::uint32_t hyperlink(const std::u16string& instruction, const std::vector<Run>& runs, std::size_t from,
                            std::size_t to, std::vector<FieldChar>& fields, std::uint32_t partStart,
                            const PictureLocations& inlineLocations, std::size_t& nextPicture)
    {
        const std::uint32_t first = characterId(runs[from].format);
        fields.push_back({cp() - partStart, static_cast<std::uint8_t>(kFieldBegin), kFieldTypeHyperlink});
        put(kFieldBegin, specialCharacter(first));
        putText(instruction, first);
        fields.push_back({cp() - partStart, static_cast<std::uint8_t>(kFieldSeparator), 0});
        put(kFieldSeparator, specialCharacter(first));
        std::uint32_t chp = first;
        for (std::size_t i = from; i < to; ++i) {
            chp = characterId(runs[i].format);
            putTextWithPictures(cleanRunText(runs[i].text), chp, inlineLocations, nextPicture);
        }
        fields.push_back({cp() - partStart, static_cast<std::uint8_t>(kFieldEnd), kFieldHasSeparator});
        put(kFieldEnd, specialCharacter(chp));
        return chp;
    }

    void pageField(const Run& run, std::uint32_t chp, std::vector<FieldChar>& fields, std::uint32_t partStart)
    {
        Grpprl special;
        special.add8(sprm::CFSpec, 1);
        const std::uint32_t fieldMarkProps =
            out_.characterProps.intern(out_.characterProps.at(chp) + special.bytes());
        fields.push_back({cp() - partStart, static_cast<std::uint8_t>(kFieldBegin), kFieldTypePage});
        put(kFieldBegin, fieldMarkProps);
        putText(u" PAGE ", chp);
        fields.push_back({cp() - partStart, static_cast<std::uint8_t>(kFieldSeparator), 0});
        put(kFieldSeparator, fieldMarkProps);
        std::u16string shown = cleanRunText(run.text);
        putText(shown.empty() ? u"1" : shown, chp);
        fields.push_back({cp() - partStart, static_cast<std::uint8_t>(kFieldEnd), kFieldHasSeparator});
        put(kFieldEnd, fieldMarkProps);
    }

    std::uint32_t characterId(const CharFormat& format)
    {
        if (haveLastFormat_ && format == lastFormat_)
            return lastFormatId_;
        lastFormat_ = format;
        lastFormatId_ = out_.characterProps.intern(encodeCharacter(format, fonts_).bytes());
        haveLastFormat_ = true;
        return lastFormatId_;
    }

    std::uint32_t paragraphId(const ParagraphFormat& format)
    {
        const std::string own = cellProps_.empty() ? encodeParagraph(format).bytes() : cellProps_;
        return out_.paragraphProps.intern(own + listItemProperties(format.list, format.listLevel, listCount_).bytes());
    }

    void put(char16_t c, std::uint32_t chp)
    {
        out_.text.push_back(c);
        extendCharacterRun(chp);
    }

    void putText(const std::u16string& s, std::uint32_t chp)
    {
        if (s.empty())
            return;
        out_.text.append(s);
        extendCharacterRun(chp);
    }

    void extendCharacterRun(std::uint32_t chp)
    {
        auto& runs = out_.characterRuns;
        if (!runs.empty() && runs.back().id == chp)
            runs.back().cpEnd = cp();
        else
            runs.push_back({cp(), chp});
    }

    void endParagraph(std::uint32_t papx) { out_.paragraphRuns.push_back({cp(), papx}); }

    LaidOutText& out_;
    FontTable& fonts_;
    CharFormat lastFormat_;
    std::uint32_t lastFormatId_ = 0;
    bool haveLastFormat_ = false;
    std::size_t listCount_ = 0; // lists the document defines
    bool mainStory_ = false;
    std::vector<bool> noteUsed_; // per footnote: its reference is written
    unsigned nextAutoNumber_ = 1;
    std::vector<NoteToWrite> notes_;
    std::optional<NoteToWrite> noteMark_;
    std::unordered_set<std::u16string> bookmarkNames_;
    std::string cellProps_; // while a cell's paragraphs are written: their whole GrpPrlAndIstd
};

template <typename Visit>
void forEachTableParagraph(const Section& s, Visit visit)
{
    for (const Table& t : s.tables)
        for (const TableRow& row : t.rows)
            for (const TableCell& cell : row.cells)
                for (const Paragraph& p : cell.paragraphs)
                    visit(p);
}

std::size_t countRuns(const Document& document)
{
    std::size_t n = 0;
    for (const Section& s : document.sections) {
        for (const auto* list : {&s.paragraphs, &s.header, &s.footer})
            for (const Paragraph& p : *list)
                n += p.runs.size() + 1;
        forEachTableParagraph(s, [&n](const Paragraph& p) { n += p.runs.size() + 1; });
    }
    for (const Section& s : document.sections)
        for (const Figure& f : s.figures)
            n += f.pictures.size() + 1;
    return n;
}

// A table's rows as written, and where the pictures in its cells' lines are.
struct WritableTable {
    const Table* table = nullptr;
    std::vector<TableRow> rows;
    std::vector<std::vector<std::vector<PictureLocations>>> pictures; // row, cell, paragraph
    int padding = kCellPadding;
};

WritableTable writableTable(const Table& table, PictureStore& pictures, TextArea area)
{
    WritableTable out;
    out.table = &table;
    for (const TableRow& row : table.rows)
        if (!row.cells.empty())
            out.rows.push_back(writableRow(row, out.rows.empty()));
    out.padding = tablePadding(out.rows);
    for (const TableRow& row : out.rows) {
        auto& rowPictures = out.pictures.emplace_back();
        for (const TableCell& cell : row.cells) {
            auto& cellPictures = rowPictures.emplace_back();
            // A picture in a cell's line fits the cell less its padding.
            const TextArea room{std::max(cell.width - 2 * out.padding, kMinCellWidth), area.height};
            for (const Paragraph& p : cell.paragraphs) {
                auto& locations = cellPictures.emplace_back();
                for (const Picture& picture : p.inlinePictures)
                    locations.push_back(pictures.place(picture, room));
            }
        }
    }
    return out;
}

// A paragraph of the section's text, one of its figures or one of its
// tables, in reading order; or (all null) an empty paragraph that keeps a
// table apart from the next table or from the section's end.
struct Block {
    const Paragraph* paragraph = nullptr;
    const Figure* figure = nullptr;
    std::vector<std::uint32_t> pictureLocations; // of the figure's pictures that show
    PictureLocations inlineLocations; // of the paragraph's pictures in its lines
    std::shared_ptr<WritableTable> table;
    bool breakBefore = false; // a spacer that carries the column break its table asked for
};

// The section's paragraphs with its figures and tables stored and placed
// between them; a figure none of whose pictures shows and a table without
// rows are left out. Word joins a table to the rows that follow it and
// cannot end a section in a table, so an empty paragraph follows a table
// there.
std::vector<Block> sectionBlocks(const Section& section, PictureStore& pictures)
{
    const std::size_t count = section.paragraphs.size();
    auto byPlace = [count](const auto* a, const auto* b) {
        return std::min(a->beforeParagraph, count) < std::min(b->beforeParagraph, count);
    };
    std::vector<const Figure*> figures;
    for (const Figure& f : section.figures)
        figures.push_back(&f);
    std::stable_sort(figures.begin(), figures.end(), byPlace);
    std::vector<const Table*> tables;
    for (const Table& t : section.tables)
        tables.push_back(&t);
    std::stable_sort(tables.begin(), tables.end(), byPlace);

    const TextArea area = textArea(section.page);
    std::vector<Block> blocks;
    auto next = figures.begin();
    auto nextTable = tables.begin();
    auto addTable = [&](const Table& t) {
        auto table = std::make_shared<WritableTable>(writableTable(t, pictures, area));
        if (table->rows.empty())
            return;
        if (!blocks.empty() && blocks.back().table)
            blocks.push_back(Block{});
        if (table->table->columnBreakBefore && !table->table->pageBreakBefore) {
            Block spacer;
            spacer.breakBefore = true;
            blocks.push_back(std::move(spacer));
        }
        Block block;
        block.table = std::move(table);
        blocks.push_back(std::move(block));
    };
    for (std::size_t pi = 0; pi <= count; ++pi) {
        // The figures before paragraph pi, each table among them after the
        // number of them it follows.
        std::size_t figuresHere = 0;
        auto tableDue = [&] {
            return nextTable != tables.end() && std::min((*nextTable)->beforeParagraph, count) == pi
                && (*nextTable)->afterFigures <= figuresHere;
        };
        for (; next != figures.end() && std::min((*next)->beforeParagraph, count) == pi; ++next, ++figuresHere) {
            for (; tableDue(); ++nextTable)
                addTable(**nextTable);
            const Figure& f = **next;
            // Indents narrow the room beside the pictures, never below a quarter of the text width.
            const TextArea room{std::max(area.width - std::max(0, f.format.leftIndent) - std::max(0, f.format.rightIndent),
                                         area.width / 4),
                                area.height};
            Block block;
            block.figure = &f;
            for (const Picture& picture : f.pictures)
                if (const auto location = pictures.place(picture, room))
                    block.pictureLocations.push_back(*location);
            if (block.pictureLocations.empty())
                continue;
            // Simple readers (catdoc) lose a table row that a picture's
            // paragraph follows at once: an empty paragraph between, as
            // between two tables.
            if (!blocks.empty() && blocks.back().table)
                blocks.push_back(Block{});
            blocks.push_back(std::move(block));
        }
        for (; nextTable != tables.end() && std::min((*nextTable)->beforeParagraph, count) == pi; ++nextTable)
            addTable(**nextTable);
        if (pi < count) {
            Block block{&section.paragraphs[pi], nullptr, {}, {}, nullptr, false};
            for (const Picture& picture : section.paragraphs[pi].inlinePictures)
                block.inlineLocations.push_back(pictures.place(picture, area));
            blocks.push_back(std::move(block));
        }
    }
    if (!blocks.empty() && blocks.back().table)
        blocks.push_back(Block{});
    return blocks;
}

void writeTable(const WritableTable& t, bool allowPageBreak, TextBuilder& builder, std::vector<FieldChar>& fields)
{
    bool header = true; // header rows repeat only where they lead the table
    for (std::size_t ri = 0; ri < t.rows.size(); ++ri) {
        const TableRow& row = t.rows[ri];
        header = header && row.header;
        const Grpprl props = encodeRowEnd(row, t.table->leftIndent, header, t.padding);
        builder.tableRow(row, props.bytes(), ri == 0 && allowPageBreak && t.table->pageBreakBefore, fields, t.pictures[ri]);
    }
}

void layOutMainDocument(const Document& document, TextBuilder& builder, LaidOutText& out, PictureStore& pictures)
{
    const Paragraph emptyParagraph;
    Paragraph columnBreak;
    columnBreak.columnBreakBefore = true;
    const std::size_t sections = document.sections.size();
    builder.setMainStory(true);
    for (std::size_t si = 0; si < sections; ++si) {
        out.sectionBounds.push_back(builder.cp());
        std::vector<Block> blocks = sectionBlocks(document.sections[si], pictures);
        if (blocks.empty())
            blocks.push_back(Block{&emptyParagraph, nullptr, {}, {}, nullptr, false});
        const bool lastSection = si + 1 == sections;
        for (std::size_t bi = 0; bi < blocks.size(); ++bi) {
            // A section's last paragraph mark is its section mark, except at the very end.
            const bool sectionEnd = bi + 1 == blocks.size() && !lastSection;
            const char16_t mark = sectionEnd ? kPageBreak : kParagraphMark;
            const Block& block = blocks[bi];
            if (block.figure)
                builder.figure(*block.figure, block.pictureLocations, mark, bi > 0);
            else if (block.table)
                writeTable(*block.table, bi > 0, builder, out.mainFields);
            else if (block.paragraph)
                builder.paragraph(*block.paragraph, mark, bi > 0, out.mainFields, 0, block.inlineLocations);
            else
                builder.paragraph(block.breakBefore ? columnBreak : emptyParagraph, mark, bi > 0, out.mainFields, 0);
        }
    }
    builder.setMainStory(false);
    out.ccpText = builder.cp();
    out.sectionBounds.push_back(out.ccpText);
}

// The footnote document: each referenced note's paragraphs, the first
// beginning with its reference mark, in the order of the references; then
// the mark that ends the document.
void layOutFootnotes(const Document& document, TextBuilder& builder, LaidOutText& out)
{
    const auto& notes = builder.notesToWrite();
    if (notes.empty())
        return;
    const std::uint32_t start = builder.cp();
    Paragraph markOnly;
    for (const auto& note : notes) {
        out.footnoteTexts.push_back(builder.cp() - start);
        const std::vector<Paragraph>& paragraphs = document.footnotes[note.footnote].paragraphs;
        builder.beginNote(note);
        if (paragraphs.empty())
            builder.paragraph(markOnly, kParagraphMark, false, out.footnoteFields, start);
        for (const Paragraph& p : paragraphs)
            builder.paragraph(p, kParagraphMark, false, out.footnoteFields, start);
    }
    out.footnoteTexts.push_back(builder.cp() - start);
    builder.bareParagraphMark();
    out.ccpFtn = builder.cp() - start;
    out.footnoteTexts.push_back(out.ccpFtn);
}

void layOutHeaderDocument(const Document& document, TextBuilder& builder, LaidOutText& out)
{
    bool any = false;
    for (const Section& s : document.sections) {
        const bool even = s.evenPagesDiffer && (!s.evenHeader.empty() || !s.evenFooter.empty());
        out.evenHeaders = out.evenHeaders || even;
        any = any || !s.header.empty() || !s.footer.empty() || even;
    }
    if (!any)
        return;

    const std::uint32_t start = builder.cp();
    auto storyStart = [&] { out.headerStories.push_back(builder.cp() - start); };
    // A story with content ends in a guard mark. A section without a header of
    // its own gets a guard-only story once an earlier one had a header, so that
    // it does not inherit it.
    auto story = [&](const std::vector<Paragraph>& paragraphs, bool& seen) {
        storyStart();
        if (paragraphs.empty() && !seen)
            return;
        for (const Paragraph& p : paragraphs)
            builder.paragraph(p, kParagraphMark, false, out.headerFields, start);
        builder.bareParagraphMark();
        seen = seen || !paragraphs.empty();
    };
    const std::vector<Paragraph> none;
    bool headerSeen = false;
    bool footerSeen = false;
    bool evenHeaderSeen = false;
    bool evenFooterSeen = false;
    bool unused = false;

    for (int separator = 0; separator < 6; ++separator)
        storyStart(); // footnote and endnote separators: empty
    for (const Section& s : document.sections) {
        // Once even pages differ in the document, Word shows every section's
        // even slots on its even pages: a section alike on all pages repeats
        // its head and foot there.
        const bool ownEven = s.evenPagesDiffer;
        if (out.evenHeaders)
            story(ownEven ? s.evenHeader : s.header, evenHeaderSeen); // even pages header
        else
            story(none, unused);
        story(s.header, headerSeen);    // odd pages header (all pages when even pages do not differ)
        if (out.evenHeaders)
            story(ownEven ? s.evenFooter : s.footer, evenFooterSeen); // even pages footer
        else
            story(none, unused);
        story(s.footer, footerSeen);    // odd pages footer
        story(none, unused);            // first page header
        story(none, unused);            // first page footer
    }
    storyStart(); // ends the last story: the header document's own last mark
    builder.bareParagraphMark();
    out.ccpHdd = builder.cp() - start;
    out.headerStories.push_back(out.ccpHdd);
}

} // namespace

LaidOutText layOutText(const Document& document, FontTable& fonts, PictureStore& pictures)
{
    LaidOutText out;
    out.characterRuns.reserve(countRuns(document));
    TextBuilder builder(out, fonts, document);
    layOutMainDocument(document, builder, out, pictures);
    layOutFootnotes(document, builder, out);
    layOutHeaderDocument(document, builder, out);
    if (out.ccpFtn != 0 || out.ccpHdd != 0)
        builder.bareParagraphMark(); // the mark after the last document part
    return out;
}

} // namespace pwt::doc

#include "DocumentBuilder.h"

#include "BlockJoiner.h"
#include "ColumnSections.h"
#include "FigurePlacement.h"
#include "FormatInference.h"
#include "Footnotes.h"
#include "LineNumbers.h"
#include "Lines.h"
#include "Links.h"
#include "ParagraphComposer.h"
#include "ParagraphSplitter.h"
#include "ReadingOrder.h"
#include "Readability.h"
#include "ListItems.h"
#include "StructureAnalysis.h"
#include "TableComposer.h"
#include "TextRules.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

namespace pwt::layout {

namespace {

// The PDF's gap above a figure is kept up to this (one inch): more is the
// empty rest of a page or a column, which Word fills by itself.
constexpr int kMaxFigureGapTwips = 1440;

// The last baseline of the paragraph before, for the space between them.
struct PreviousLine {
    bool known = false;
    double baseline = 0;
};

class Builder {
public:
    explicit Builder(const DocumentInfo& info) { m_doc.info = info; }

    void addPage(PageLines& page, std::vector<PictureGroup>& pictures, std::vector<PageTable>& tables,
                 const std::vector<Background>& backgrounds, const RunningText& running, const PagePlan& plan,
                 bool previousFull)
    {
        m_backgrounds = &backgrounds;
        // A new section where the page's setup changes, or where the running
        // head or foot does (a new chapter's title): each section carries its own.
        std::u16string key = runningKey(running);
        const bool newSection = m_doc.sections.empty() || plan.setup != m_setup || key != m_runningKey;
        m_pageOpenedSection = newSection;
        if (newSection) {
            startSection();
            Section& s = m_doc.sections.back();
            s.page = plan.setup;
            // Word numbers the section's pages from the PDF's number: its
            // pages may run longer, and each section catches up again.
            s.page.firstPageNumber = running.pageNumber;
            // After a full page of the same setup only the head changed (a
            // book's heads alternate, or a new chapter's title): the text
            // flows on into the section.
            s.page.continuous = previousFull && plan.setup == m_setup;
            s.header = running.header;
            s.footer = running.footer;
            s.evenPagesDiffer = running.evenPagesDiffer;
            s.evenHeader = running.evenHeader;
            s.evenFooter = running.evenFooter;
            m_setupBefore = std::exchange(m_setup, plan.setup);
            m_runningKeyBefore = std::exchange(m_runningKey, std::move(key));
        }
        // A new section starts a new page by itself; after a full page the
        // text gets to the next page by itself too (a break there would leave
        // an almost empty page wherever Word's text runs a little longer).
        m_pageBreakDue = !previousFull && !newSection;
        m_columnBreakDue = false;
        const std::size_t itemsBefore = m_items;
        m_pageNumber = page.number;

        placeInReadingOrder(pictures, page);
        for (PageTable& t : tables)
            t.beforeBlock = readingPlace(t.box, page);
        std::stable_sort(tables.begin(), tables.end(),
                         [](const PageTable& a, const PageTable& b) { return a.beforeBlock < b.beforeBlock; });
        m_frame = plan.frame;
        auto nextPicture = pictures.begin();
        auto nextTable = tables.begin();
        PreviousLine previousBaseline;
        if (textExtent(page)) {
            const pdf::Box frame{plan.frame.left, 0, plan.frame.right, page.height};
            const auto cols = columnBounds(page, frame);
            std::vector<pdf::Box> pictureBoxes;
            for (const PictureGroup& g : pictures)
                pictureBoxes.push_back(g.box);
            const PageColumns columns = planColumns(page, cols, plan.frame, pictureBoxes);
            for (std::size_t k = 0; k < page.blocks.size(); ++k) {
                const Block& block = page.blocks[k];
                const ColumnBounds& column = cols.at(block.flow);
                // The figures and tables due before the block, top to
                // bottom: those standing in its column start that column
                // (after its break), the others end what came before.
                std::vector<Insert> due;
                for (; nextPicture != pictures.end() && nextPicture->beforeBlock <= k; ++nextPicture)
                    due.push_back({&*nextPicture, nullptr});
                for (; nextTable != tables.end() && nextTable->beforeBlock <= k; ++nextTable)
                    due.push_back({nullptr, &*nextTable});
                std::stable_sort(due.begin(), due.end(), [](const Insert& a, const Insert& b) { return a.top() < b.top(); });
                std::vector<Insert> within;
                for (const Insert& item : due) {
                    if (!columns.columnsOf[k].empty() && standsIn(item.box(), column))
                        within.push_back(item);
                    else
                        addInsert(item, plan.frame, previousBaseline);
                }
                setColumns(columns.columnsOf[k]);
                if (columns.breakBefore[k])
                    m_columnBreakDue = true;
                for (const Insert& item : within)
                    addInsert(item, column, previousBaseline);
                const double width = columnWidthPt(columns.columnsOf[k], columns.columnIndex[k], plan.frame);
                addBlock(block, column, width, previousBaseline);
            }
        }
        std::vector<Insert> rest;
        for (; nextPicture != pictures.end(); ++nextPicture)
            rest.push_back({&*nextPicture, nullptr});
        for (; nextTable != tables.end(); ++nextTable)
            rest.push_back({nullptr, &*nextTable});
        std::stable_sort(rest.begin(), rest.end(), [](const Insert& a, const Insert& b) { return a.top() < b.top(); });
        for (const Insert& item : rest)
            addInsert(item, plan.frame, previousBaseline);
        if (m_items == itemsBefore)
            addItem(Paragraph{}, {}); // a page without text still takes a page
    }

    // Marks the headings, which needs every paragraph, and hands the
    // paragraphs to their sections.
    Document finish()
    {
        markHeadings(m_body);
        for (std::size_t s = 0; s < m_doc.sections.size(); ++s) {
            const std::size_t end = s + 1 < m_sectionStarts.size() ? m_sectionStarts[s + 1] : m_body.size();
            auto& paragraphs = m_doc.sections[s].paragraphs;
            for (std::size_t i = m_sectionStarts[s]; i < end; ++i)
                paragraphs.push_back(std::move(m_body[i].paragraph));
        }
        for (PlacedFigure& placed : m_figures) {
            placed.figure.beforeParagraph = placed.beforeBody - m_sectionStarts[placed.section];
            m_doc.sections[placed.section].figures.push_back(std::move(placed.figure));
        }
        for (PlacedTable& placed : m_tables) {
            placed.table.table.beforeParagraph = placed.beforeBody - m_sectionStarts[placed.section];
            m_doc.sections[placed.section].tables.push_back(std::move(placed.table.table));
        }
        return std::move(m_doc);
    }

private:
    void startSection()
    {
        m_sectionStarts.push_back(m_body.size());
        m_doc.sections.emplace_back();
        m_sectionEmpty = true;
    }

    // Sets the current section's columns, starting a section (continuous
    // unless a page break is due, which the new section then makes) where
    // the section already holds text in other columns.
    void setColumns(const std::vector<TextColumn>& columns)
    {
        if (m_doc.sections.back().page.columns == columns)
            return;
        if (!m_sectionEmpty) {
            const Section before = m_doc.sections.back();
            startSection();
            m_pageOpenedSection = false;
            Section& s = m_doc.sections.back();
            s.page = before.page;
            s.page.firstPageNumber = 0; // the numbering goes on
            s.page.continuous = !m_pageBreakDue;
            s.header = before.header;
            s.footer = before.footer;
            s.evenPagesDiffer = before.evenPagesDiffer;
            s.evenHeader = before.evenHeader;
            s.evenFooter = before.evenFooter;
            m_pageBreakDue = false;
            m_columnBreakDue = false;
        }
        m_doc.sections.back().page.columns = columns;
    }

    // Adds a paragraph to the body, taking any break that is due.
    void addItem(Paragraph paragraph, const ParagraphMetrics& metrics)
    {
        paragraph.pageBreakBefore = std::exchange(m_pageBreakDue, false);
        paragraph.columnBreakBefore = std::exchange(m_columnBreakDue, false) && !paragraph.pageBreakBefore;
        m_body.push_back({std::move(paragraph), metrics});
        m_sectionEmpty = false;
        ++m_items;
    }

    // A figure or a table to set among the paragraphs.
    struct Insert {
        const PictureGroup* figure = nullptr;
        PageTable* table = nullptr;
        const pdf::Box& box() const { return figure ? figure->box : table->box; }
        double top() const { return box().yMin; }
    };

    void addInsert(const Insert& item, const ColumnBounds& column, PreviousLine& previousBaseline)
    {
        if (item.figure)
            addFigure(*item.figure, column, previousBaseline);
        else
            addTable(*item.table, column, previousBaseline);
    }

    // Whether a figure stands in a column: over it, and no wider than it.
    static bool standsIn(const pdf::Box& figure, const ColumnBounds& column)
    {
        return figure.xMax > column.left && figure.xMin < column.right
            && figure.width() <= column.width() * kColumnFigureSlack;
    }

    // Where a figure or table standing in `box` is set, `column` being its
    // column: one wider than the columns of the section so far (across the
    // page under or between columns) gets a one-column section of its own.
    ColumnBounds placeAcross(const pdf::Box& box, ColumnBounds column)
    {
        const auto& current = m_doc.sections.back().page.columns;
        if (!current.empty()) {
            int widest = 0;
            for (const TextColumn& c : current)
                widest = std::max(widest, c.width);
            if (box.width() > points(widest) * kColumnFigureSlack) {
                setColumns({});
                column = m_frame;
            }
        }
        return column;
    }

    void addFigure(const PictureGroup& group, ColumnBounds column, PreviousLine& previousBaseline)
    {
        column = placeAcross(group.box, column);
        Figure figure = figureOf(group, column);
        // The gap above the picture as the PDF has it, from the text before
        // it (Word sets a picture on the baseline, so only the gap counts).
        if (previousBaseline.known && group.box.yMin > previousBaseline.baseline)
            figure.format.spaceBefore = std::min(twips(group.box.yMin - previousBaseline.baseline), kMaxFigureGapTwips);
        // The next paragraph measures its space from the picture's foot.
        previousBaseline = PreviousLine{true, group.box.yMax};
        figure.pageBreakBefore = std::exchange(m_pageBreakDue, false);
        figure.columnBreakBefore = std::exchange(m_columnBreakDue, false) && !figure.pageBreakBefore;
        m_figures.push_back({m_doc.sections.size() - 1, m_body.size(), std::move(figure)});
        m_sectionEmpty = false;
        ++m_items;
    }

    void addTable(PageTable& table, ColumnBounds column, PreviousLine& previousBaseline)
    {
        previousBaseline = PreviousLine{true, table.box.yMax};
        ++m_items;
        // A table opening a page that carries on the one closing the page
        // before, with nothing between them, is the same table.
        if (!m_tables.empty()) {
            PlacedTable& last = m_tables.back();
            // The page may have opened a section of its own (its text band
            // differs): still empty, it gives way to the table going on.
            const bool sameSection = last.section + 1 == m_doc.sections.size();
            const bool emptySectionAfter =
                m_sectionEmpty && m_pageOpenedSection && last.section + 2 == m_doc.sections.size();
            if (last.page + 1 == m_pageNumber && (sameSection || emptySectionAfter) && last.beforeBody == m_body.size()
                && last.figuresBefore == m_figures.size() && continueTable(last.table, table)) {
                last.page = m_pageNumber; // it may go on over the next page too
                if (emptySectionAfter) {
                    // The columns the page set go on in a section after the table.
                    const std::vector<TextColumn> columns = m_doc.sections.back().page.columns;
                    m_doc.sections.pop_back();
                    m_sectionStarts.pop_back();
                    m_sectionEmpty = false;
                    m_pageOpenedSection = false;
                    m_setup = m_setupBefore;
                    m_runningKey = m_runningKeyBefore;
                    setColumns(columns);
                }
                m_pageBreakDue = false;
                m_columnBreakDue = false;
                return;
            }
        }
        column = placeAcross(table.box, column);
        fitTable(table, column);
        table.table.pageBreakBefore = std::exchange(m_pageBreakDue, false);
        table.table.columnBreakBefore = std::exchange(m_columnBreakDue, false) && !table.table.pageBreakBefore;
        // Among the figures already placed before the same paragraph, it comes last.
        table.table.afterFigures = static_cast<std::size_t>(std::count_if(m_figures.begin(), m_figures.end(), [&](const PlacedFigure& f) {
            return f.section + 1 == m_doc.sections.size() && f.beforeBody == m_body.size();
        }));
        m_tables.push_back({m_doc.sections.size() - 1, m_body.size(), m_figures.size(), m_pageNumber, std::move(table)});
        m_sectionEmpty = false;
    }

    // `textWidth`: the width of the page's text, the one column Word sets it in.
    void addBlock(const Block& block, const ColumnBounds& column, double textWidth, PreviousLine& previousBaseline)
    {
        const auto& lines = block.lines;
        if (block.rotation != 0) {
            // Turned text (a table header or a margin note): kept, a line per paragraph.
            for (std::size_t i = 0; i < lines.size(); ++i) {
                Paragraph p = composeParagraph(lines, i, i + 1);
                attachInlinePictures(p, lines, i, i + 1);
                addItem(std::move(p), metricsOf(lines, i, i + 1));
            }
            previousBaseline.known = false;
            return;
        }
        auto starts = paragraphStarts(lines, column);
        starts.push_back(lines.size());
        for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
            const std::size_t first = starts[k], last = starts[k + 1];
            Paragraph p = composeParagraph(lines, first, last);
            attachInlinePictures(p, lines, first, last);
            p.format = inferParagraphFormat(lines, first, last, column);
            pdf::Box box = lines[first].box;
            for (std::size_t i = first + 1; i < last; ++i)
                growBox(box, lines[i].box);
            keepReadable(p, colourBehind(box, *m_backgrounds));
            const Line& lastLine = lines[last - 1];
            if ((lastLine.endsWithReference || endsWithLeaders(lastLine.text)) && !lastLine.fixedWidth)
                tabToReference(p, textWidth, lastLine.endsWithReference);
            const Line& firstLine = lines[first];
            if (previousBaseline.known && firstLine.baseline > previousBaseline.baseline) {
                const double single = firstLine.fontSize * kDefaultPitchEm;
                double pitch = last - first >= 3 ? typicalPitch(lines, first, last) : single;
                // Readers set the extra height of proportionally spaced lines
                // between the lines, not above the first: measure from a single line.
                if (p.format.exactLineSpacing == 0)
                    pitch = std::min(pitch, single);
                p.format.spaceBefore = spaceBetween(previousBaseline.baseline, firstLine.baseline, firstLine.fontSize, pitch);
            }
            previousBaseline = PreviousLine{true, lines[last - 1].baseline};
            addItem(std::move(p), metricsOf(lines, first, last));
        }
    }

    // The pictures set in the paragraph's lines, in the order of their marks.
    static void attachInlinePictures(Paragraph& p, const std::vector<Line>& lines, std::size_t first, std::size_t last)
    {
        for (std::size_t i = first; i < last; ++i)
            for (const Word& w : lines[i].words)
                if (w.picture)
                    p.inlinePictures.push_back(pictureOf(*w.picture));
    }

    static ParagraphMetrics metricsOf(const std::vector<Line>& lines, std::size_t first, std::size_t last)
    {
        ParagraphMetrics m;
        m.lineCount = last - first;
        std::size_t bold = 0;
        for (std::size_t i = first; i < last; ++i) {
            const std::size_t n = std::max<std::size_t>(lines[i].text.size(), 1);
            m.charCount += n;
            m.fontSize = std::max(m.fontSize, lines[i].fontSize);
            if (lines[i].bold)
                bold += n;
        }
        m.bold = bold * 2 > m.charCount;
        const std::u32string& t = lines[last - 1].text;
        m.endsWithStop = !t.empty() && (t.back() == U'.' || t.back() == U'。' || t.back() == U':' || t.back() == U'：');
        return m;
    }

    // A figure before body paragraph `beforeBody` of section `section`.
    struct PlacedFigure {
        std::size_t section = 0;
        std::size_t beforeBody = 0;
        Figure figure;
    };

    // A table before body paragraph `beforeBody` of section `section`, after
    // `figuresBefore` figures, from PDF page `page`.
    struct PlacedTable {
        std::size_t section = 0;
        std::size_t beforeBody = 0;
        std::size_t figuresBefore = 0;
        int page = 0;
        PageTable table;
    };

    Document m_doc;
    std::vector<PlacedTable> m_tables;
    std::size_t m_items = 0; // paragraphs, figures and tables added so far
    int m_pageNumber = 0;    // of the page being added
    ColumnBounds m_frame; // the text band of the page being added
    const std::vector<Background>* m_backgrounds = nullptr; // the page's being added
    std::vector<PlacedFigure> m_figures;
    std::vector<MeasuredParagraph> m_body;     // the body paragraphs of all sections, in order
    std::vector<std::size_t> m_sectionStarts;  // each section's first paragraph in m_body
    bool m_sectionEmpty = true;   // the current section holds nothing yet
    bool m_pageOpenedSection = false; // the current section is the one the page being added opened
    bool m_pageBreakDue = false;  // the next paragraph or figure starts a new page
    bool m_columnBreakDue = false; // ...or the next column
    PageSetup m_setup;
    std::u16string m_runningKey;
    PageSetup m_setupBefore; // of the section before the last one a page opened
    std::u16string m_runningKeyBefore;
};

// The boxes of each page's lines.
std::vector<std::vector<pdf::Box>> lineBoxes(const std::vector<PageLines>& pages)
{
    std::vector<std::vector<pdf::Box>> out;
    out.reserve(pages.size());
    for (const PageLines& page : pages) {
        auto& boxes = out.emplace_back();
        for (const Block& block : page.blocks)
            for (const Line& line : block.lines)
                boxes.push_back(line.box);
    }
    return out;
}

// Per page, the boxes of `before` that `after` no longer holds.
std::vector<std::vector<pdf::Box>> boxesTaken(const std::vector<std::vector<pdf::Box>>& before,
                                              std::vector<std::vector<pdf::Box>> after)
{
    auto byPlace = [](const pdf::Box& a, const pdf::Box& b) {
        return std::tie(a.yMin, a.xMin, a.yMax, a.xMax) < std::tie(b.yMin, b.xMin, b.yMax, b.xMax);
    };
    std::vector<std::vector<pdf::Box>> taken(before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        std::vector<pdf::Box> was = before[i];
        std::vector<pdf::Box>& is = after[i];
        std::sort(was.begin(), was.end(), byPlace);
        std::sort(is.begin(), is.end(), byPlace);
        std::set_difference(was.begin(), was.end(), is.begin(), is.end(), std::back_inserter(taken[i]), byPlace);
    }
    return taken;
}

} // namespace

struct DocumentBuilder::Pages {
    FontCache fonts;
    std::vector<PageLines> lines;
    std::vector<std::vector<PictureGroup>> pictures; // per page
    std::vector<std::vector<PageTable>> tables;      // per page
    std::vector<std::vector<Background>> backgrounds; // per page
    DocumentLinks links;
    std::vector<std::vector<pdf::Box>> noteRules;     // per page: rules that may stand above its notes
};

DocumentBuilder::DocumentBuilder() : m_pages(std::make_unique<Pages>()) {}
DocumentBuilder::~DocumentBuilder() = default;

void DocumentBuilder::addPage(const pdf::PageText& original, const std::vector<Background>& backgrounds)
{
    // Pictures inside a line of text join that line, and links mark the words
    // they cover, table cells' too (a copy of the page only then).
    pdf::PageText changed;
    const bool inLines = !original.images.empty() && (changed = original, setPicturesInLines(changed));
    if (!original.links.empty() && !inLines)
        changed = original;
    m_pages->links.linkWords(changed);
    const pdf::PageText& page = inLines || !original.links.empty() ? changed : original;
    m_pages->backgrounds.push_back(backgrounds);
    m_pages->noteRules.push_back(noteRulesOf(page));
    m_words += page.wordCount();
    // Tables take their words out of the running text.
    PageTables found = takeTables(page, m_pages->fonts);
    m_pages->lines.push_back(collectLines(found.tables.empty() ? page : found.rest, m_pages->fonts));
    removeLineNumbers(m_pages->lines.back());
    m_pages->tables.push_back(std::move(found.tables));
    m_pages->pictures.push_back(picturesOf(page));
}

Document DocumentBuilder::finish(const DocumentInfo& info)
{
    std::vector<PageLines> pageLines = std::move(m_pages->lines);
    // Notes come out first: they are neither body text nor running feet.
    const std::vector<std::vector<pdf::Box>> linesBefore = lineBoxes(pageLines);
    Footnotes notes;
    notes.takeNotes(pageLines, m_pages->noteRules);
    const std::vector<std::vector<pdf::Box>> noteBoxes = boxesTaken(linesBefore, lineBoxes(pageLines));
    const std::vector<RunningText> running = extractRunningText(pageLines);
    for (std::size_t i = 0; i < pageLines.size(); ++i) {
        PageLines& page = pageLines[i];
        std::vector<pdf::Box> beside;
        for (const PictureGroup& g : m_pages->pictures[i])
            beside.push_back(g.box);
        for (const PageTable& t : m_pages->tables[i])
            beside.push_back(t.box);
        orderBlocks(page, beside);
        joinContinuedBlocks(page);
    }
    m_pages->links.placeBookmarks(pageLines);

    // Tables and notes are text of the page outside its lines: Word sets the
    // notes in the text band too, so a page whose notes reach its foot is full.
    std::vector<std::vector<pdf::Box>> setApart = noteBoxes;
    for (std::size_t i = 0; i < m_pages->tables.size() && i < setApart.size(); ++i)
        for (const PageTable& t : m_pages->tables[i])
            setApart[i].push_back(t.box);
    const std::vector<PagePlan> plans = planPages(pageLines, running, setApart);
    Builder builder(info);
    for (std::size_t i = 0; i < pageLines.size(); ++i)
        builder.addPage(pageLines[i], m_pages->pictures[i], m_pages->tables[i], m_pages->backgrounds[i], running[i],
                        plans[i], i > 0 && plans[i - 1].full);
    Document doc = builder.finish();
    notes.placeNotes(doc);
    markListItems(doc);
    m_pages->links.settle(doc);
    if (doc.sections.empty())
        doc.sections.emplace_back();
    return doc;
}

Document buildDocument(const std::vector<pdf::PageText>& pages, const DocumentInfo& info)
{
    DocumentBuilder builder;
    for (const pdf::PageText& page : pages)
        builder.addPage(page);
    return builder.finish(info);
}

} // namespace pwt::layout

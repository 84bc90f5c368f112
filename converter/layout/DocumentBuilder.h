#pragma once
// Turns the text of a PDF's pages into a flowing Word document: paragraphs
// with their formats, a page break between pages, a section per run of pages
// of one text band (PageGeometry.h) and one running head and foot.
#include "FigureFinder.h"
#include "PageGeometry.h"
#include "PageText.h"
#include "model/Document.h"

#include <memory>
#include <vector>

namespace pwt::layout {

// Takes the pages one by one, keeping only what the layout needs of each
// (a page's poppler words can go as soon as it is added), and lays out the
// document once all are in: running heads and headings need every page.
class DocumentBuilder {
public:
    DocumentBuilder();
    ~DocumentBuilder();
    DocumentBuilder(const DocumentBuilder&) = delete;
    DocumentBuilder& operator=(const DocumentBuilder&) = delete;

    // `backgrounds`: the coloured boxes behind the page's text (FigureFinder.h).
    void addPage(const pdf::PageText& page, const std::vector<Background>& backgrounds = {});
    std::size_t wordCount() const { return m_words; }
    Document finish(const DocumentInfo& info);

private:
    struct Pages;
    std::unique_ptr<Pages> m_pages;
    std::size_t m_words = 0;
};

Document buildDocument(const std::vector<pdf::PageText>& pages, const DocumentInfo& info);

} // namespace pwt::layout

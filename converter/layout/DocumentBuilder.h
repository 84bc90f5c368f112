#pragma once
// Turns the text of a PDF's pages into a flowing Word document: paragraphs
// with their formats, a page break between pages, a section per run of pages
// of one size and orientation.
#include "PageText.h"
#include "model/Document.h"

#include <memory>
#include <vector>

namespace pwt::layout {

// Margins are taken from where the text sits, but never smaller than this
// (Word's printers cannot print to the edge) nor so large that less than
// kMinBodyTwips of the page is left for text.
inline constexpr int kMinMarginTwips = 360;
inline constexpr int kMinBodyTwips = 2880;
// Page sizes equal within this many points belong to one section.
inline constexpr double kSamePageSizePt = 2.0;

// Takes the pages one by one, keeping only what the layout needs of each
// (a page's poppler words can go as soon as it is added), and lays out the
// document once all are in: running heads and headings need every page.
class DocumentBuilder {
public:
    DocumentBuilder();
    ~DocumentBuilder();
    DocumentBuilder(const DocumentBuilder&) = delete;
    DocumentBuilder& operator=(const DocumentBuilder&) = delete;

    void addPage(const pdf::PageText& page);
    std::size_t wordCount() const { return m_words; }
    Document finish(const DocumentInfo& info);

private:
    struct Pages;
    std::unique_ptr<Pages> m_pages;
    std::size_t m_words = 0;
};

Document buildDocument(const std::vector<pdf::PageText>& pages, const DocumentInfo& info);

// Page size from points; margins from the text's extent on the page.
PageSetup pageSetupFor(double widthPt, double heightPt, const pdf::Box* textExtent);

} // namespace pwt::layout

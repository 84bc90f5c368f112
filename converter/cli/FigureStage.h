#pragma once
// The stage between reading a page and laying it out: the page's vector
// figures (charts, diagrams) become pictures of their region, with the words
// inside them drawn into the picture rather than left in the body text; the
// coloured boxes behind its text go on to the layout for shading.
#include "DocumentBuilder.h"
#include "PdfReader.h"

namespace pwt::cli {

// Figures are rendered at this resolution: line art and labels print sharp
// at 300 dpi (a laser printer's halftone cell), while a full-page figure
// stays within the reader's cap on rendered pixels, which lowers it.
inline constexpr double kFigureDpi = 300.0;
// A page's figures are drawn within this many seconds together, and at most
// this many of them: each is drawn from the whole page's content, so a page
// of hundreds of small drawings would otherwise take minutes. Figures past
// either bound keep their words as text.
inline constexpr double kFigureSecondsPerPage = 5.0;
inline constexpr std::size_t kMaxFiguresPerPage = 16;

class FigureStage {
public:
    FigureStage(pdf::PdfReader& reader, layout::DocumentBuilder& builder) : m_reader(reader), m_builder(builder) {}

    // Hands `page` (read by this stage's reader) on to the layout.
    void addPage(const pdf::PageText& page);
    int figuresRendered() const { return m_rendered; }
    // Figures not drawn (past the bounds above, or poppler could not draw them).
    int figuresLeftAsText() const { return m_leftAsText; }

private:
    pdf::PdfReader& m_reader;
    layout::DocumentBuilder& m_builder;
    int m_rendered = 0;
    int m_leftAsText = 0;
};

} // namespace pwt::cli

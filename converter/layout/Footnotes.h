#pragma once
// Footnotes: the notes at the foot of a page (lines under the body text, set
// smaller than it, each opening with a mark) and the raised marks in the body
// text that refer to them become Word footnotes: a reference run in the text
// and the note's paragraphs in the footnote story.
#include "Lines.h"
#include "PageText.h"
#include "model/Document.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pwt::layout {

// A note is set smaller than the body text: at most this share of its size
// (9 pt notes under 10 pt text, 10 pt under 12 pt).
inline constexpr double kMaxNoteSizeRatio = 0.92;
// A note's next line stands at most this many ems of the note's size under
// the line before; a wider gap ends the note (the running foot below it).
inline constexpr double kMaxNotePitchEm = 1.8;
// Pieces of a note's line that poppler set apart (a formula, the raised
// mark) stand within this many ems of its baseline (a mark is raised by less)
// and at most this many ems right of the piece before.
inline constexpr double kNoteMarkRiseEm = 0.6;
inline constexpr double kNotePieceGapEm = 1.0;
// A mark set apart from the text after it by more than this many ems has a
// space after it.
inline constexpr double kSpaceGapEm = 0.2;
// A raised number glued to at most this many letters (x², mc², πr²) is
// more likely a power than a note's mark: a mark after a word or a stop
// is taken first.
inline constexpr std::size_t kMaxPowerBaseLetters = 2;
// A mark: at most this many digits, or this many of the note symbols (*, ∗, †, ‡, §, ¶, ‖).
inline constexpr std::size_t kMaxMarkChars = 3;
// Under the notes only a running foot may stand: lines in the page's foot
// zone (StructureAnalysis.h) of at most this many characters. Anything else
// below them means the small lines are not at the foot of the text (a
// table's notes under it, a small paragraph in the middle of the page).
inline constexpr std::size_t kMaxFootLineChars = 60;
// A note running on to the next page's foot goes on in its size, within
// this many points.
inline constexpr double kNoteSizeStepPt = 0.5;
// The rule over the notes stands at most this many ems of their size above
// the first of them.
inline constexpr double kMaxNoteRuleGapEm = 3.0;
// The rule above the notes: a horizontal line at most this thick (points)...
inline constexpr double kMaxNoteRuleThicknessPt = 1.5;
// ...at least this long (points) and at most this share of the page's width.
inline constexpr double kMinNoteRuleLengthPt = 20.0;
inline constexpr double kMaxNoteRuleWidthShare = 0.75;

// The short horizontal rules a page draws: the rule above its notes among them.
std::vector<pdf::Box> noteRulesOf(const pdf::PageText& page);

// Finds the notes before the pages are laid out and puts them into the
// document once it is built.
class Footnotes {
public:
    // Takes the notes out of the pages' lines. Each note's mark in the body
    // text is replaced by a stand-in character that travels through the
    // paragraph composition with the mark's place and format. A note that
    // runs on to the next page's foot (under the rule there, before any
    // note of that page) joins its note. `rules`: noteRulesOf() each page.
    void takeNotes(std::vector<PageLines>& pages, const std::vector<std::vector<pdf::Box>>& rules);

    // Turns the stand-ins in the document's paragraphs into reference runs
    // (Run::footnote) and fills Document::footnotes in the order of the
    // references. A note whose mark did not reach the body is added as a
    // paragraph at the end, so that no text is lost.
    void placeNotes(Document& document) const;

    std::size_t count() const { return m_notes.size(); }

private:
    struct Note {
        std::u32string mark;
        std::vector<Line> lines; // the mark taken off; lines of a later page moved to follow on
    };
    void addContinuation(Note& note, std::vector<Line> lines) const;

    std::vector<Note> m_notes;
};

} // namespace pwt::layout

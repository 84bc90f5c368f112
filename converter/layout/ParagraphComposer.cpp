#include "ParagraphComposer.h"

#include "FormatInference.h"
#include "TextRules.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace pwt::layout {

namespace {

class RunCollector {
public:
    explicit RunCollector(Paragraph& p) : m_paragraph(p) {}

    // `link`: where the text links to (Run::link), empty: nowhere.
    void add(const std::u32string& text, const CharFormat& format, const std::string& link)
    {
        if (text.empty())
            return;
        if (m_open && m_format == format && m_link == link) {
            m_text += text;
            return;
        }
        flush();
        m_format = format;
        m_link = link;
        m_text = text;
        m_open = true;
    }

    // Drops the last character written (a line-end hyphen that only split a word).
    void dropLast()
    {
        if (m_open && !m_text.empty())
            m_text.pop_back();
    }

    void flush()
    {
        if (m_open && !m_text.empty()) {
            Run r;
            r.text = toUtf16(m_text);
            r.format = m_format;
            r.link = m_link;
            m_paragraph.runs.push_back(std::move(r));
        }
        m_open = false;
        m_text.clear();
    }

private:
    Paragraph& m_paragraph;
    CharFormat m_format;
    std::string m_link;
    std::u32string m_text;
    bool m_open = false;
};

CharFormat scriptAdjusted(const Word& w, const Line& line)
{
    CharFormat f = w.format;
    const double em = line.fontSize;
    if (w.fontSize < em * kScriptSizeRatio) {
        const double shift = line.baseline - w.baseline; // > 0: raised (y grows down)
        if (shift > kScriptShiftEm * em)
            f.position = VerticalPosition::Superscript;
        else if (shift < -kScriptShiftEm * em)
            f.position = VerticalPosition::Subscript;
    }
    if (f.position != VerticalPosition::Baseline) {
        // Word shrinks a script by itself; keep the size of the line's text
        // so that the written run comes out as small as the PDF's.
        f.halfPoints = static_cast<int>(std::lround(em * 2));
    }
    return f;
}

bool isReferenceChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || std::u16string_view(u"ivxlcdmIVXLCDM").find(c) != std::u16string_view::npos;
}

// The link of the space between two words: theirs when they share it, so
// that a link covers its words and the spaces between them only.
const std::string& linkBetween(const Word& before, const Word& after)
{
    static const std::string none;
    return before.link == after.link ? before.link : none;
}

bool isLeaderChar(char16_t c) { return c == u'.' || c == u' ' || c == 0x2026 || c == 0xB7; }

// Replaces text[from, to) of the paragraph by `with`, across runs.
void replaceText(Paragraph& p, std::size_t from, std::size_t to, const std::u16string& with)
{
    std::size_t at = 0;
    bool inserted = false;
    for (Run& r : p.runs) {
        const std::size_t begin = at, end = at + r.text.size();
        at = end;
        if (end <= from || begin >= to) {
            continue;
        }
        const std::size_t cutFrom = std::max(from, begin) - begin, cutTo = std::min(to, end) - begin;
        r.text.erase(cutFrom, cutTo - cutFrom);
        if (!inserted) {
            r.text.insert(cutFrom, with);
            inserted = true;
        }
    }
    std::erase_if(p.runs, [](const Run& r) { return r.text.empty(); });
}

} // namespace

bool tabToReference(Paragraph& p, double textWidthPt, bool setApart)
{
    std::u16string text;
    for (const Run& r : p.runs)
        text += r.text;
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    std::size_t reference = end;
    while (reference > 0 && isReferenceChar(text[reference - 1]))
        --reference;
    if (reference == end || end - reference > kMaxReferenceChars)
        return false;
    // Leaders: dots spaced apart (". . . .") or a long row of them ("......");
    // three dots in a row are an ellipsis.
    std::size_t leaders = reference, groups = 0, longest = 0, run = 0;
    while (leaders > 0 && isLeaderChar(text[leaders - 1])) {
        const char16_t c = text[leaders - 1];
        if (c == u' ') {
            run = 0;
        } else {
            groups += run == 0 ? 1 : 0;
            run += c == 0x2026 ? 3 : 1;
            longest = std::max(longest, run);
        }
        --leaders;
    }
    const bool dotted = groups >= kMinLeaderGroups || longest >= kMinLeaderRow;
    if (!dotted) {
        // Set apart by a gap only: the spaces before the number are the gap;
        // a full stop there ends the title ("page. 31") and stays.
        if (!setApart)
            return false;
        leaders = reference;
        while (leaders > 0 && text[leaders - 1] == u' ')
            --leaders;
    }
    if (leaders == 0 || leaders == reference)
        return false;
    replaceText(p, leaders, reference, u"\t");
    p.format.referenceTab.position = twips(textWidthPt);
    p.format.referenceTab.dotLeader = dotted;
    return true;
}

Paragraph composeParagraph(const std::vector<Line>& lines, std::size_t first, std::size_t last)
{
    Paragraph p;
    RunCollector runs(p);
    for (std::size_t i = first; i < last; ++i) {
        const Line& line = lines[i];
        p.bookmarks.insert(p.bookmarks.end(), line.bookmarks.begin(), line.bookmarks.end());
        if (i > first) {
            const Line& prev = lines[i - 1];
            switch (joinBetween(prev.text, line.text)) {
            case LineJoin::Space:
                if (!prev.words.empty() && !line.words.empty())
                    runs.add(U" ", prev.words.back().format, linkBetween(prev.words.back(), line.words.front()));
                break;
            case LineJoin::DropHyphen:
                runs.dropLast();
                break;
            case LineJoin::Nothing:
                break;
            }
        }
        for (std::size_t k = 0; k < line.words.size(); ++k) {
            const Word& w = line.words[k];
            const CharFormat f = scriptAdjusted(w, line);
            runs.add(w.text, f, w.link);
            if (w.spaceAfter && k + 1 < line.words.size())
                runs.add(U" ", f.position == VerticalPosition::Baseline ? f : line.words[k + 1].format,
                         linkBetween(w, line.words[k + 1]));
        }
    }
    runs.flush();
    return p;
}

} // namespace pwt::layout

// Time and memory of writing a long synthetic document (default 300 pages,
// about a million characters) with lists, footnotes, links and bookmarks
// (leave them out with a third argument "plain"), against writing the same
// text as a plain UTF-16 file in the same run, so that the ratio does not
// depend on how busy the machine is.
#include "doc/DocWriter.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace pwt;
using Clock = std::chrono::steady_clock;

namespace {

// One line in this many is a list item, a footnote's reference, a link.
constexpr int kListEvery = 5;
constexpr int kNoteEvery = 7;
constexpr int kLinkEvery = 3;

Document synthetic(int pages, bool structures, std::size_t& characters)
{
    Document d;
    if (structures) {
        ListLevel bullet;
        ListLevel number;
        number.format = NumberFormat::Decimal;
        number.label = u"%1.";
        ListLevel nested = number;
        nested.label = u"%1.%2";
        nested.textIndent = 720;
        d.lists.push_back({{bullet, bullet}});
        d.lists.push_back({{number, nested}});
    }
    Section s;
    Paragraph footer;
    footer.runs.resize(2);
    footer.runs[0].text = u"Page ";
    footer.runs[1].text = u"1";
    footer.runs[1].pageNumberField = true;
    s.footer.push_back(footer);
    CharFormat bold;
    bold.bold = true;
    CharFormat cjk;
    cjk.eastAsianFamily = "SimSun";
    cjk.halfPoints = 21;
    characters = 0;
    for (int page = 0; page < pages; ++page)
        for (int line = 0; line < 30; ++line) {
            Paragraph p;
            p.pageBreakBefore = line == 0 && page > 0;
            std::u16string n;
            for (char c : std::to_string(page * 30 + line))
                n.push_back(static_cast<char16_t>(c));
            p.runs.push_back({u"Paragraph " + n + u" of the synthetic document ", bold, false});
            p.runs.push_back({u"with plain English words that fill a line of text, ", {}, false});
            p.runs.push_back({u"以及一些中文字符用于测试转换器的输出。", cjk, false});
            if (line % 10 == 0)
                p.format.headingLevel = 2;
            if (structures) {
                if (line % kListEvery == 1) {
                    p.format.list = line % 2;
                    p.format.listLevel = (line / kListEvery) % 2;
                }
                if (line % kLinkEvery == 0) {
                    Run link{u"a linked phrase", {}, false};
                    link.link = line % 2 == 0 ? "https://example.org/page/" + std::to_string(page) : "#h" + std::to_string(page);
                    p.runs.push_back(link);
                }
                if (line % kNoteEvery == 2) {
                    Run mark{n, {}, false}; // not the next number: a custom mark
                    mark.footnote = static_cast<int>(d.footnotes.size());
                    p.runs.push_back(mark);
                    Paragraph note;
                    note.runs.push_back({u"A footnote's text for paragraph " + n + u".", {}, false});
                    d.footnotes.push_back({{note}});
                }
                if (line == 0)
                    p.bookmarks.push_back("h" + std::to_string(page));
            }
            for (const Run& r : p.runs)
                characters += r.text.size();
            s.paragraphs.push_back(std::move(p));
        }
    d.sections.push_back(std::move(s));
    return d;
}

double millisSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The reference: the bare text, as UTF-16, written to a file.
double plainWrite(const Document& d, const std::string& path)
{
    const auto start = Clock::now();
    std::u16string text;
    for (const Paragraph& p : d.sections[0].paragraphs) {
        for (const Run& r : p.runs)
            text += r.text;
        text.push_back(u'\r');
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 2));
    out.close();
    return millisSince(start);
}

} // namespace

int main(int argc, char** argv)
{
    const int pages = argc > 1 ? std::atoi(argv[1]) : 300;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
    const bool structures = !(argc > 3 && std::string(argv[3]) == "plain");
    const std::string path = "/tmp/bench_docwriter.doc";

    const long rssBefore = peakRssKb();
    std::size_t characters = 0;
    const Document d = synthetic(pages, structures, characters);
    const long rssModel = peakRssKb();

    std::vector<double> writer, reference;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        const std::string reason = doc::writeWordDocument(d, path);
        writer.push_back(millisSince(start));
        if (!reason.empty()) {
            std::fprintf(stderr, "write failed: %s\n", reason.c_str());
            return 1;
        }
        reference.push_back(plainWrite(d, path + ".txt"));
    }
    std::sort(writer.begin(), writer.end());
    std::sort(reference.begin(), reference.end());
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const auto fileSize = static_cast<long long>(in.tellg());

    std::printf("pages %d, characters %zu, .doc size %lld bytes, %zu footnotes, %s\n", pages, characters, fileSize,
                d.footnotes.size(), structures ? "lists, links and bookmarks" : "plain");
    std::printf("write .doc: best %.1f ms, median %.1f ms\n", writer.front(), writer[writer.size() / 2]);
    std::printf("plain UTF-16 text write: best %.1f ms, median %.1f ms\n", reference.front(),
                reference[reference.size() / 2]);
    std::printf("ratio .doc / plain (median): %.1f\n", writer[writer.size() / 2] / reference[reference.size() / 2]);
    std::printf("peak RSS: before model %ld KB, with model %ld KB, after writing %ld KB (writer adds %ld KB)\n",
                rssBefore, rssModel, peakRssKb(), peakRssKb() - rssModel);
    return 0;
}

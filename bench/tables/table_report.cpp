// Lists the tables found on each page of PDFs, with the time the finding
// takes beside the time reading the pages takes, for checking the finders
// against tables counted by eye:
//   bench_tables <pdf>...   (one line per table, then a summary per file)
#include "Lines.h"
#include "PdfReader.h"
#include "TableComposer.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

std::string utf8(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_tables <pdf>...\n");
        return 1;
    }
    for (int a = 1; a < argc; ++a) {
        pwt::pdf::PdfReader reader;
        if (reader.open(argv[a]) != pwt::pdf::ReadFailure::None) {
            std::printf("%s: cannot read\n", argv[a]);
            continue;
        }
        pwt::layout::FontCache fonts;
        double reading = 0, finding = 0;
        std::size_t found = 0;
        for (int n = 1; n <= reader.pageCount(); ++n) {
            pwt::pdf::PageText page;
            const auto t0 = Clock::now();
            reader.readPage(n, page, 20);
            const auto t1 = Clock::now();
            const pwt::layout::PageTables tables = pwt::layout::takeTables(page, fonts);
            const auto t2 = Clock::now();
            reading += seconds(t1 - t0);
            finding += seconds(t2 - t1);
            for (const auto& t : tables.tables) {
                ++found;
                std::string head;
                if (!t.table.rows.empty())
                    for (const auto& c : t.table.rows.front().cells)
                        head += (head.empty() ? "" : " | ") + utf8(pwt::layout::cellText(c));
                std::printf("%s p%d: %zu rows x %zu columns at y %.0f-%.0f, %zu header: %.100s\n", argv[a], n,
                            t.table.rows.size(), t.columnEdges.size() - 1, t.box.yMin, t.box.yMax,
                            static_cast<std::size_t>(std::count_if(t.table.rows.begin(), t.table.rows.end(),
                                                                   [](const auto& r) { return r.header; })),
                            head.c_str());
            }
        }
        std::printf("%s: %d pages, %zu tables; reading %.2f s, finding tables %.3f s (%.1f %% of reading)\n", argv[a],
                    reader.pageCount(), found, reading, finding, reading > 0 ? 100 * finding / reading : 0.0);
    }
    return 0;
}

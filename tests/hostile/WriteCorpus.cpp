// Writes the generated corpus into a folder, one <name>.pdf a case, bombs
// left out: for looking at the files by hand and for the fuzzer's seeds
// (tests/fuzz/seeds/). hostile_write_corpus <folder>
#include "HostileCorpus.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: hostile_write_corpus <folder>\n");
        return 1;
    }
    auto cases = pwt::hostile::wellFormedCases();
    for (auto& c : pwt::hostile::hostileCases())
        if (!c.bomb && !c.bytes.empty())
            cases.push_back(std::move(c));
    for (const auto& c : cases) {
        std::ofstream out(std::string(argv[1]) + "/" + c.name + ".pdf", std::ios::binary);
        out.write(c.bytes.data(), static_cast<std::streamsize>(c.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "hostile_write_corpus: cannot write %s\n", c.name.c_str());
            return 1;
        }
    }
    return 0;
}

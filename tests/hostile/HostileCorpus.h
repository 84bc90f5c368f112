#pragma once
// The hostile PDF corpus: files a stranger could send, each with the exit
// statuses pwt may end with. Generated, so nothing large sits in the tree.
#include <string>
#include <utility>
#include <vector>

namespace pwt::hostile {

struct HostileCase {
    HostileCase(std::string name_, std::string bytes_, std::vector<int> allowedExits_,
                std::vector<std::string> extraArgs_ = {}, bool bomb_ = false)
        : name(std::move(name_)), bytes(std::move(bytes_)), allowedExits(std::move(allowedExits_)),
          extraArgs(std::move(extraArgs_)), bomb(bomb_)
    {
    }

    std::string name;
    std::string bytes;
    std::vector<int> allowedExits;       // usually one status
    std::vector<std::string> extraArgs;  // e.g. a shorter --time-limit= for a bomb
    bool bomb = false;                   // expands far past its size on disk
};

// Small well-formed documents of the kinds of text PDFs carry (simple and
// composite fonts, compressed streams, object streams, forms, Type 3 fonts):
// each must convert. They also seed the fuzzer.
std::vector<HostileCase> wellFormedCases();

// Damaged and malicious files: bombs, loops, damaged cross references,
// absurd numbers, control characters, huge counts.
std::vector<HostileCase> hostileCases();

} // namespace pwt::hostile

#pragma once
// The bounds on one run of pwt. It reads files from strangers, so neither
// its time nor its memory may depend on what a file claims about itself.
#include <cstdint>

namespace pwt::cli {

// Time allowed: a base for opening and writing plus a share per page...
inline constexpr double kBaseSecondsAllowed = 20.0;
inline constexpr double kSecondsPerPage = 2.0;
// ...but never more than this in all, however many pages the file claims. A
// real document converts at hundreds of pages a second; an explicit
// --time-limit= may not ask for more either.
inline constexpr double kMaxSecondsAllowed = 1800.0;
// One page may take this long; a page past it (a content stream of millions
// of operators) is cut short with a warning and the rest converts.
inline constexpr double kPageBudgetSeconds = 10.0;

// Address-space ceiling (RLIMIT_AS), so that a decompression or save-state
// bomb ends in the out-of-memory exit instead of taking the machine's memory.
// A text document needs well under 200 MB; the ceiling leaves room for what
// pictures and recognising scans need (rendered pages of 10-30 MB each,
// recognition engines of a few hundred MB per thread, and the virtual
// reservations of the C library's per-thread heaps), while staying far below
// what an ordinary desktop has.
inline constexpr std::uint64_t kAddressSpaceCeilingBytes = 4ull << 30;

// Recognising a scanned page takes seconds (3 to 10 on one core at 300 dpi,
// two pages at a time); each page found to need it adds this much...
inline constexpr double kSecondsPerRecognisedPage = 30.0;
// ...within a cap of its own: a scan of hundreds of pages takes an hour.
inline constexpr double kMaxSecondsAllowedWithRecognition = 4 * 3600.0;

// Seconds allowed for a document of `pages` pages, within kMaxSecondsAllowed.
inline double secondsAllowedFor(int pages)
{
    const double wanted = kBaseSecondsAllowed + kSecondsPerPage * (pages > 0 ? pages : 0);
    return wanted < kMaxSecondsAllowed ? wanted : kMaxSecondsAllowed;
}

// The same with `recognisedPages` of them to recognise.
inline double secondsAllowedFor(int pages, int recognisedPages)
{
    if (recognisedPages <= 0)
        return secondsAllowedFor(pages);
    const double wanted = secondsAllowedFor(pages) + kSecondsPerRecognisedPage * recognisedPages;
    return wanted < kMaxSecondsAllowedWithRecognition ? wanted : kMaxSecondsAllowedWithRecognition;
}

} // namespace pwt::cli

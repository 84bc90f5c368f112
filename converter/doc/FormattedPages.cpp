#include "FormattedPages.h"

#include <algorithm>
#include <array>
#include <string>

namespace pwt::doc {
namespace {

// One page being filled: offsets and per-entry bytes grow from the top, the
// property records from the bottom (just above the count byte at 511).
class Page {
public:
    // entryBytes: 1 (CHPX page: one offset byte) or 13 (PAPX page: BX).
    explicit Page(std::size_t entryBytes) : entryBytes_(entryBytes) {}

    bool empty() const { return ends_.empty(); }
    std::uint32_t firstFc() const { return firstFc_; }
    std::uint32_t lastFc() const { return ends_.back(); }

    // Adds the range up to fcEnd with the record; false when the page is full.
    bool add(std::uint32_t fcStart, std::uint32_t fcEnd, std::uint32_t id, const std::string& record)
    {
        const std::size_t n = ends_.size();
        const std::size_t header = 4 * (n + 2) + entryBytes_ * (n + 1);
        const auto reuse = std::find_if(placed_.begin(), placed_.end(), [id](const auto& p) { return p.first == id; });
        std::size_t offset = 0;
        if (reuse != placed_.end()) {
            offset = reuse->second;
            if (header > top_)
                return false;
        } else {
            if (record.size() + header > top_)
                return false;
            offset = (top_ - record.size()) & ~std::size_t{1};
            if (offset < header)
                return false;
            std::copy(record.begin(), record.end(), page_.begin() + static_cast<std::ptrdiff_t>(offset));
            top_ = offset;
            placed_.emplace_back(id, offset);
        }
        if (n == 0)
            firstFc_ = fcStart;
        ends_.push_back(fcEnd);
        offsets_.push_back(static_cast<std::uint8_t>(offset / 2));
        return true;
    }

    void writeTo(ByteBuffer& stream)
    {
        const std::size_t n = ends_.size();
        std::size_t at = 0;
        auto put32 = [&](std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                page_[at++] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        put32(firstFc_);
        for (std::uint32_t fc : ends_)
            put32(fc);
        for (std::size_t i = 0; i < n; ++i) {
            page_[at] = offsets_[i];
            at += entryBytes_; // PAPX pages: the 12-byte PHE after it stays zero
        }
        page_[kPageSize - 1] = static_cast<std::uint8_t>(n);
        stream.append(page_.data(), page_.size());
    }

private:
    std::size_t entryBytes_;
    std::array<std::uint8_t, kPageSize> page_{};
    std::size_t top_ = kPageSize - 1;
    std::uint32_t firstFc_ = 0;
    std::vector<std::uint32_t> ends_;
    std::vector<std::uint8_t> offsets_;
    std::vector<std::pair<std::uint32_t, std::size_t>> placed_;
};

// CHPX: cb, then the sprms.
std::string characterRecord(const std::string& grpprl)
{
    return std::string(1, static_cast<char>(grpprl.size())) + grpprl;
}

// PapxInFkp: an odd-length GrpPrlAndIstd is counted in words by cb (2*cb-1
// bytes); an even one is preceded by cb = 0 and cb' (2*cb' bytes).
std::string paragraphRecord(const std::string& grpprlAndIstd)
{
    const std::size_t n = grpprlAndIstd.size();
    if (n % 2 == 1)
        return std::string(1, static_cast<char>((n + 1) / 2)) + grpprlAndIstd;
    std::string record(1, '\0');
    record.push_back(static_cast<char>(n / 2));
    return record + grpprlAndIstd;
}

template <typename MakeRecord>
ByteBuffer writePages(ByteBuffer& stream, std::uint32_t fcText, const std::vector<PropertyRun>& runs,
                      const PropertyPool& pool, std::size_t entryBytes, MakeRecord makeRecord)
{
    stream.padTo(kPageSize);
    std::vector<std::uint32_t> pageStarts;
    std::vector<std::uint32_t> pageNumbers;
    std::uint32_t lastFc = fcText;
    std::vector<std::string> records(pool.size());

    Page page(entryBytes);
    auto flush = [&] {
        pageStarts.push_back(page.firstFc());
        pageNumbers.push_back(static_cast<std::uint32_t>(stream.size() / kPageSize));
        page.writeTo(stream);
    };
    std::uint32_t fcStart = fcText;
    for (const PropertyRun& run : runs) {
        const std::uint32_t fcEnd = fcText + 2 * run.cpEnd;
        std::string& record = records[run.id];
        if (record.empty())
            record = makeRecord(pool.at(run.id));
        if (!page.add(fcStart, fcEnd, run.id, record)) {
            flush();
            page = Page(entryBytes);
            page.add(fcStart, fcEnd, run.id, record); // always fits an empty page
        }
        fcStart = fcEnd;
        lastFc = fcEnd;
    }
    if (!page.empty())
        flush();

    ByteBuffer plc;
    for (std::uint32_t fc : pageStarts)
        plc.u32(fc);
    plc.u32(lastFc);
    for (std::uint32_t pn : pageNumbers)
        plc.u32(pn);
    return plc;
}

} // namespace

ByteBuffer writeCharacterPages(ByteBuffer& stream, std::uint32_t fcText, const std::vector<PropertyRun>& runs,
                               const PropertyPool& pool)
{
    return writePages(stream, fcText, runs, pool, 1, characterRecord);
}

ByteBuffer writeParagraphPages(ByteBuffer& stream, std::uint32_t fcText, const std::vector<PropertyRun>& runs,
                               const PropertyPool& pool)
{
    return writePages(stream, fcText, runs, pool, 13, paragraphRecord);
}

} // namespace pwt::doc

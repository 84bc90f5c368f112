#pragma once
// Images already made from an image XObject, by its object number, so that
// one drawn on every page (a logo) is read once and shares its data. Holds
// failures too, so that a damaged image is not read again on every page.
#include "model/Image.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace pwt::pdf {

struct ImageKey {
    int number = 0;           // the XObject's object number and generation
    int generation = 0;
    int orientation = 0;      // how it is turned on the page
    std::uint32_t fillRgb = 0; // a stencil mask's colour
    bool operator<(const ImageKey& o) const
    {
        return std::tie(number, generation, orientation, fillRgb)
               < std::tie(o.number, o.generation, o.orientation, o.fillRgb);
    }
};

struct MadeImage {
    std::shared_ptr<const ImageData> image; // null when it could not be made
    std::string failure;                    // why not, for the page's warning
    std::string note;                       // a warning that goes with the image
};

class ImageCache {
public:
    explicit ImageCache(std::size_t capacityBytes) : m_capacity(capacityBytes) {}

    const MadeImage* find(const ImageKey& key) const
    {
        const auto it = m_entries.find(key);
        return it == m_entries.end() ? nullptr : &it->second;
    }

    // Keeps `made` (in place of what the key had), forgetting the oldest
    // entries past the capacity.
    void insert(const ImageKey& key, MadeImage made)
    {
        if (const auto it = m_entries.find(key); it != m_entries.end()) {
            m_bytes -= sizeOf(it->second);
            m_entries.erase(it);
            m_order.erase(std::find_if(m_order.begin(), m_order.end(), [&](const ImageKey& k) {
                return !(k < key) && !(key < k);
            }));
        }
        const std::size_t size = sizeOf(made);
        if (size > m_capacity)
            return;
        while (m_bytes + size > m_capacity && !m_order.empty()) {
            const auto oldest = m_entries.find(m_order.front());
            m_bytes -= sizeOf(oldest->second);
            m_entries.erase(oldest);
            m_order.pop_front();
        }
        m_bytes += size;
        m_order.push_back(key);
        m_entries.emplace(key, std::move(made));
    }

private:
    // Entries count at least this much, so that failures are bounded too.
    static constexpr std::size_t kEntryOverhead = 256;

    static std::size_t sizeOf(const MadeImage& made)
    {
        return kEntryOverhead + (made.image ? made.image->bytes.size() : 0);
    }

    std::size_t m_capacity;
    std::size_t m_bytes = 0;
    std::map<ImageKey, MadeImage> m_entries;
    std::deque<ImageKey> m_order; // oldest first
};

} // namespace pwt::pdf

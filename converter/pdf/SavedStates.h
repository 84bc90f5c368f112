#pragma once
// Counts the graphics states a page's drawing saves and has not restored
// ("q" without "Q"). Poppler copies the whole state on each save, so a page
// of millions of saves fills memory in seconds; every pass over a page stops
// it once the count passes kMaxSavedStates (ReadLimits.h).
#include "ReadLimits.h"

namespace pwt::pdf {

class SavedStates {
public:
    void saved()
    {
        if (++m_depth > kMaxSavedStates)
            m_tooDeep = true; // stays set while poppler restores the states on stopping
    }
    void restored()
    {
        if (m_depth > 0)
            --m_depth;
    }
    bool tooDeep() const { return m_tooDeep; }
    void reset() { *this = SavedStates{}; }

    // For displayPage's abort callback, `data` being a SavedStates.
    static bool stop(void* data) { return static_cast<const SavedStates*>(data)->tooDeep(); }

private:
    int m_depth = 0;
    bool m_tooDeep = false;
};

} // namespace pwt::pdf

#pragma once
#include <QString>

namespace platform {

// The hidden usage-count request: fired and forgotten, never waited for, its
// answer never read, no error ever shown.
class WebCount {
public:
    virtual ~WebCount() = default;
    virtual void setSilent(bool silent) = 0;
    virtual void Navigate(const QString& url) = 0;
};

} // namespace platform

#pragma once
#include "Status.h"
#include <QString>

namespace platform {

// The per-user settings store: string values by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Never fails: a missing, damaged or unreadable store gives the default.
    virtual QString read(const QString& application, const QString& section, const QString& key,
                         const QString& defaultValue) = 0;
    virtual Status write(const QString& application, const QString& section, const QString& key,
                         const QString& value) = 0;
};

} // namespace platform

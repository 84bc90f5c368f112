#pragma once
#include "platform/SettingsStore.h"

namespace platform::qt {

// QSettings in the user's configuration folder: one INI file per
// application, named after it; the section is a group, the key as given.
// A missing, damaged or unreadable file reads as the default.
class QtSettingsStore : public SettingsStore {
public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) override;
    Status write(const QString& application, const QString& section, const QString& key,
                 const QString& value) override;
};

} // namespace platform::qt

#include "QtSettingsStore.h"

#include <QSettings>

namespace platform::qt {

static QString keyPath(const QString& section, const QString& key)
{
    return section + u'/' + key;
}

QString QtSettingsStore::read(const QString& application, const QString& section, const QString& key,
                              const QString& defaultValue)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, application);
    if (settings.status() != QSettings::NoError)
        return defaultValue;
    const QVariant value = settings.value(keyPath(section, key));
    // Only a plain string is ours; anything else (a list, a byte array) is damage.
    if (value.typeId() != QMetaType::QString)
        return defaultValue;
    return value.toString();
}

Status QtSettingsStore::write(const QString& application, const QString& section, const QString& key,
                              const QString& value)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, application);
    settings.setValue(keyPath(section, key), value);
    settings.sync();
    switch (settings.status()) {
    case QSettings::NoError: return Status::success();
    case QSettings::AccessError: return Status::failure(QStringLiteral("cannot write ") + settings.fileName());
    case QSettings::FormatError: return Status::failure(QStringLiteral("damaged file ") + settings.fileName());
    }
    return Status::failure(settings.fileName());
}

} // namespace platform::qt

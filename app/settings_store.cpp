#include "app/settings_store.h"

#include <QSettings>

namespace orv {


QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, application, application);
    return s.value(section + "/" + key, defaultValue).toString();
}

bool SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, application, application);
    s.setValue(section + "/" + key, value);
    s.sync();
    return s.status() == QSettings::NoError;
}

QString settingsFileOf(const QString& application)
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, application, application).fileName();
}

} // namespace orv

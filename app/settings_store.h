#pragma once
// The per-user settings store: string values addressed by application, section and key.
// Each application is an INI file under $XDG_CONFIG_HOME; a section is a group.

#include <QString>

namespace orv {

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue);
void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);

} // namespace orv

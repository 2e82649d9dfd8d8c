#pragma once
// The per-user settings store: string values addressed by application, section and key.
// Each application is an INI file under $XDG_CONFIG_HOME; a section is a group.

#include <QString>

namespace orv {

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue);
// False when the store could not be written (its folder or file is not writable); the
// value then lasts only until the program ends.
bool SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);
// The file that holds an application's settings.
QString settingsFileOf(const QString& application);

} // namespace orv

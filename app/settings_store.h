#pragma once
// The per-user settings store: string values addressed by application, section and key.
// Each application is an INI file under $XDG_CONFIG_HOME; a section is a group. Values are
// read with the length their use allows and cut beyond it; a file with overlong lines is
// never loaded whole.

#include <QString>

namespace orv {

// The longest value a key's use allows: 22 characters for the sample names, 4,096 bytes for
// the folders, 64 characters for the switches.
int maxSettingLength(const QString& key);
// The value as read: cut to that length, never inside a character.
QString cutSetting(const QString& key, const QString& value);

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue);
// False when the store could not be written (its folder or file is not writable); the
// value then lasts only until the program ends.
bool SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);
// The file that holds an application's settings.
QString settingsFileOf(const QString& application);

} // namespace orv

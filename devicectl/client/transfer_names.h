#pragma once
// Names that cross between the handheld and the PC, one rule for the transfer window and
// `orvantis-cli device`. A handheld listing is untrusted: an entry's name becomes a PC file
// name only when it names a visible file in the chosen folder.

#include <QString>

namespace orv {

// The handheld folders searched for packages, in listing order, and where sent ones go.
inline const QString kDeviceFolders[2] = {QStringLiteral("\\My Documents\\"),
                                          QStringLiteral("\\windows\\")};
inline const QString kDeviceInbox = QStringLiteral("\\my documents\\");

// The part of a device path after its last backslash (the whole path when it has none).
QString deviceFilePart(const QString& devicePath);

// True when name can stand as one file name inside a folder, on the PC or the handheld:
// not empty, not "." or "..", no separator of either side, no NUL.
bool isPlainFileName(const QString& name);

// The PC file name a device package is copied under, or empty when its last part is no plain
// name or would make a hidden file (a leading dot), which the PC list never shows.
QString pcNameOfDevicePath(const QString& devicePath);

// What the refusals say, followed by the path or name refused.
inline const QString kNotCopiedText = QStringLiteral("Not copied, the name on the PocketPC is no file name: ");
inline const QString kNotSentText = QStringLiteral("Not sent, the name is no file name on the PocketPC: ");

// The folder the device link serves as the handheld: ORVANTIS_DEVICE_ROOT, else
// $XDG_DATA_HOME/Orvantis/device (~/.local/share when XDG_DATA_HOME is unset).
QString deviceFolderFromEnvironment();

// The line shown when that folder is missing: where it was looked for, and how to make one.
QString missingDeviceFolderHint(const QString& folder);

} // namespace orv

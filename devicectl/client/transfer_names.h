#pragma once
// Names that cross between the handheld and the PC. A handheld listing is untrusted: an
// entry's name becomes a PC file name only when it names a file in the chosen folder.

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

} // namespace orv

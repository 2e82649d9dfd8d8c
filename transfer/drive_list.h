#pragma once
// The PC side's drive list: the mounted file systems a user would pick a folder from (the
// root, the home folder and its volume, removable media), never the system's own mounts.

#include <QList>
#include <QString>

namespace orv {

struct Drive {
    QString root;  // the folder choosing the drive points the folder list at
    QString label; // as the list shows it
};

// The root first, then the home folder and its volume, then media mounts in path order.
QList<Drive> pickableDrives();

// The index of the drive holding path: the one whose root is the longest leading folder
// of it; -1 when none does.
int driveIndexOf(const QList<Drive>& drives, const QString& path);

} // namespace orv

#pragma once
// Writing files whole or not at all. A file is written under a temporary name beside its
// place and renamed over the old one only once every byte has reached the disk, so a full
// disk or a failed write leaves the old file as it was and is reported to the caller.

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace orv {

// Finishes a file written through QSaveFile: flushes and checks the flush (commit() alone
// lets a failed final flush pass and renames a short file into place), cancels on any
// failure, then commits. True when the new file is in place.
bool commitWhole(QSaveFile& file);

// Writes bytes to path whole or not at all. True when the new file is in place.
bool writeFileWhole(const QString& path, const QByteArray& bytes);

// The same for an intermediate file that is read back at once and deleted soon after (the
// members of a package in the scratch directory), or one that is made again when lost (a
// thumbnail in a file manager's cache): still a temporary name renamed into place
// once every byte is written, but not waited onto the disk, since only the finished result
// put in place later has to survive a crash. True when the new file is in place.
bool writeIntermediateWhole(const QString& path, const QByteArray& bytes);

} // namespace orv

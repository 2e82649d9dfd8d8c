#pragma once
// Where the program may write a file: a missing path or an existing regular file, never a
// named pipe, a device, a socket or a folder (the whole-file writer would rename a plain
// file over such a node), and never a file the same command is reading.

#include <QString>
#include <QStringList>

namespace orv {

// Empty when path may be written; otherwise one line naming the path and what it is.
// inputs are the files the command reads: an output that is one of them (same device and
// inode, whatever name leads there) is refused.
QString outputTargetProblem(const QString& path, const QStringList& inputs = {});

// The same check for a routine that fails by throwing: AppError 75 with that line.
void requireOutputTarget(const QString& path, const QStringList& inputs = {});

} // namespace orv

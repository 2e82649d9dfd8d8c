#pragma once
// The remembered folders of the file dialogs end in a separator.

#include <QString>

namespace orv {

// The path up to and including its last separator; empty when it has none.
inline QString folderOf(const QString& path) { return path.left(path.lastIndexOf('/') + 1); }

} // namespace orv

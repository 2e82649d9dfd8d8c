#pragma once
// Start-up pieces that run before the main window exists: the one-instance lock and the
// .tsk file association.

#include <QLockFile>
#include <QString>
#include <memory>

namespace orv {

// Holds the per-user lock while the program runs; nullptr when another instance has it.
std::unique_ptr<QLockFile> acquireSingleInstance(const QString& dataDir);

// The association "exists" when both freedesktop files are present under the data home.
bool fileAssociationExists(const QString& xdgDataHome);
// Writes the shared-mime-info package for *.tsk and the .desktop entry whose open command
// is programDir + "/orvantis %f".
void RegisterFileType(const QString& xdgDataHome, const QString& programDir);
// $XDG_DATA_HOME, or ~/.local/share.
QString xdgDataHome();

} // namespace orv

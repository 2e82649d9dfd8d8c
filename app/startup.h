#pragma once
// Start-up pieces that run before the main window exists: the one-instance lock and the
// .tsk file association.

#include <QLockFile>
#include <QString>
#include <memory>

namespace orv {

// The one-instance lock as a start found it. Only a live instance on this machine ends a
// start quietly; a lock file nobody can have written (empty, unreadable, left by a process
// that is gone) is stale and taken over; anything else is told to the user.
struct InstanceLock {
    enum class State { Held, OtherInstance, Failed };
    State state = State::Failed;
    std::unique_ptr<QLockFile> lock; // held while the program runs
    QString message;                 // for Failed: the message box text
};
InstanceLock acquireSingleInstance(const QString& dataDir);

// The association "exists" when both freedesktop files are present under the data home.
bool fileAssociationExists(const QString& xdgDataHome);
// Writes the shared-mime-info package for *.tsk and the .desktop entry whose open command
// is programDir + "/orvantis %f".
void RegisterFileType(const QString& xdgDataHome, const QString& programDir);
// $XDG_DATA_HOME, or ~/.local/share.
QString xdgDataHome();

} // namespace orv

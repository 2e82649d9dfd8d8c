#pragma once
// Where things live. The program directory is the directory of the executables (help file,
// region data, cabinet builder, device link library). The working directories tmp, tsk,
// images and capture sit under the per-user data folder.

#include <QString>

namespace orv {

struct Folders {
    QString programDir; // no trailing separator
    QString dataDir;    // no trailing separator

    // From the environment: ORVANTIS_HOME, else $XDG_DATA_HOME/Orvantis, else
    // ~/.local/share/Orvantis; programDir is the running executable's directory.
    static Folders fromEnvironment();

    QString scratch() const { return dataDir + "/tmp"; }
    QString tsk() const { return dataDir + "/tsk"; }
    QString images() const { return dataDir + "/images"; }
    QString capture() const { return dataDir + "/capture"; }

    // Creates the four working directories that are missing; throws AppError on failure.
    void createWorkingDirectories() const;
};

// Help file path: the directory + "/Orvantis.HLP", without doubling a trailing separator.
QString helpFilePath(const QString& programDir);

// Short path names do not exist here: the path is returned unchanged.
QString ShortPathOf(const QString& path);

// The command-line tool works in a private data folder under tempDir, named after its
// process so that one left by a killed run can be told from one in use.
QString toolWorkspaceTemplate(const QString& tempDir);
// Removes the tool's data folders under tempDir whose process is gone (a run that was
// killed); only the user's own, never through a link. Returns how many were removed.
int removeStaleToolWorkspaces(const QString& tempDir);

// True when the device link library the control loads is there: the one ORVANTIS_RAPI_LIBRARY
// names, else librapi.so in libraryDir (the folder of the control library).
bool DeviceLinkInstalled(const QString& libraryDir);

} // namespace orv

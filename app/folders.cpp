#include "app/folders.h"

#include "app/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orv {

Folders Folders::fromEnvironment()
{
    Folders f;
    f.programDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                : QDir::currentPath();
    const QString home = qEnvironmentVariable("ORVANTIS_HOME");
    if (!home.isEmpty()) {
        f.dataDir = QDir::cleanPath(home);
    } else {
        QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
        if (xdg.isEmpty()) xdg = QDir::homePath() + "/.local/share";
        f.dataDir = QDir::cleanPath(xdg + "/Orvantis");
    }
    return f;
}

void Folders::createWorkingDirectories() const
{
    for (const QString& dir : {scratch(), tsk(), images(), capture()}) {
        if (QFileInfo(dir).isDir()) continue;
        if (!QDir().mkpath(dir))
            throw AppError(75, "Orvantis", "Path/File access error: " + dir);
    }
}

QString helpFilePath(const QString& programDir)
{
    if (programDir.endsWith('/')) return programDir + "Orvantis.HLP";
    return programDir + "/Orvantis.HLP";
}

QString ShortPathOf(const QString& path) { return path; }

bool DeviceLinkInstalled(const QString& libraryDir)
{
    try {
        return QFileInfo(libraryDir + "/librapi.so").isFile();
    } catch (...) {
        return false;
    }
}

} // namespace orv

#include "app/folders.h"

#include "app/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <unistd.h>

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

namespace {
const QString kToolWorkspacePrefix = QStringLiteral("orvantis-cli-");
}

QString toolWorkspaceTemplate(const QString& tempDir)
{
    return tempDir + '/' + kToolWorkspacePrefix + QString::number(::getpid()) + "-XXXXXX";
}

int removeStaleToolWorkspaces(const QString& tempDir)
{
    int removed = 0;
    const QFileInfoList entries = QDir(tempDir).entryInfoList(
        {kToolWorkspacePrefix + "*-*"}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || entry.ownerId() != ::getuid()) continue;
        const QString rest = entry.fileName().mid(kToolWorkspacePrefix.size());
        bool ok = false;
        const qint64 pid = rest.left(rest.indexOf('-')).toLongLong(&ok);
        if (!ok || pid <= 0) continue;
        // Signal 0 only asks whether the process exists.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        if (QDir(entry.absoluteFilePath()).removeRecursively()) ++removed;
    }
    return removed;
}

bool DeviceLinkInstalled(const QString& libraryDir)
{
    try {
        // The library the control is told to load instead is the one that must be there.
        const QString named = qEnvironmentVariable("ORVANTIS_RAPI_LIBRARY");
        return QFileInfo(named.isEmpty() ? libraryDir + "/librapi.so" : named).isFile();
    } catch (...) {
        return false;
    }
}

} // namespace orv

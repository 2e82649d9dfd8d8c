#include "cli/package_session.h"

#include "cli/own_stderr.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace orv::cli {

PackageSession::PackageSession() : home_(toolWorkspaceTemplate(QDir::tempPath())) {}
PackageSession::~PackageSession() = default;

QDateTime toolMoment() { return QDateTime(QDate(2026, 9, 30), QTime(10, 0)); }

bool PackageSession::open(const QString& package)
{
    if (!home_.isValid()) {
        printFileError(package, "cannot create a working folder");
        return false;
    }
    if (!QFileInfo(package).isFile()) {
        printFileError(package, "no such file");
        return false;
    }
    Folders f = Folders::fromEnvironment();
    f.dataDir = home_.path();
    session_ = std::make_unique<EditorSession>(user_, f);
    const QDateTime moment = toolMoment();
    session_->clock = [moment] { return moment; };
    session_->formLoad(QString());
    if (user_.errorBoxes > 0) return false;
    session_->LoadTheme(QFileInfo(package).absoluteFilePath());
    return user_.errorBoxes == 0;
}

void printFileError(const QString& file, const QString& reason)
{
    std::fprintf(ownStderr(), "orvantis-cli: %s: %s\n", file.toLocal8Bit().constData(),
                 reason.toLocal8Bit().constData());
    std::fflush(ownStderr());
}

void printUsageError(const QString& reason)
{
    std::fprintf(ownStderr(), "orvantis-cli: %s\nTry 'orvantis-cli --help'.\n",
                 reason.toLocal8Bit().constData());
    std::fflush(ownStderr());
}

} // namespace orv::cli

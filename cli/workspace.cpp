// The session every theme command of the tool runs on, in a data folder of its own that is
// removed when the command ends.
#include "cli/workspace.h"

#include "cli/cli_errors.h"

#include <QDir>

namespace orv::cli {

Workspace::Workspace() : home(toolWorkspaceTemplate(QDir::tempPath())) {}
Workspace::~Workspace() = default;

bool Workspace::start()
{
    if (!home.isValid()) {
        reportFileError(QDir::tempPath(), "cannot hold a working folder", home.errorString());
        return false;
    }
    Folders f = Folders::fromEnvironment();
    f.dataDir = home.path();
    session = std::make_unique<EditorSession>(user, f);
    user.about(home.path(), "cannot be set up as a working folder");
    session->formLoad(QString());
    user.about({}, {});
    return status() == 0;
}

bool Workspace::load(const QString& package)
{
    user.about(package, "not a theme package");
    session->LoadTheme(package);
    user.about({}, {});
    return status() == 0;
}

bool packageReadable(const QString& package)
{
    const QString problem = inputProblem(package, "package");
    if (problem.isEmpty()) return true;
    reportFileError(package, problem);
    return false;
}

QDateTime toolMoment() { return QDateTime(QDate(2026, 9, 30), QTime(10, 0)); }

} // namespace orv::cli

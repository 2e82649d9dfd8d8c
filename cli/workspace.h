#pragma once
// The editor's session on a private data folder, for every command that works on a theme:
// the tool never shares a scratch directory with a running editor and never touches its
// settings. Errors are reported in the tool's one form, naming the file they are about.

#include "app/editor_session.h"
#include "cli/cli_interaction.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <memory>

namespace orv::cli {

struct Workspace {
    QTemporaryDir home;
    NonInteractiveUser user;
    std::unique_ptr<EditorSession> session;

    Workspace();
    ~Workspace();

    // Starts the editor's session on the private folder. False after any error.
    bool start();
    // Opens a package as the editor does; its error boxes name the package. False after any
    // error.
    bool load(const QString& package);
    // 1 once an error box was shown, else 0.
    int status() const { return user.errorBoxes > 0 ? 1 : 0; }
};

// A package named on the command line that cannot even be opened is reported before the
// editor tries it: the editor's own message would not say which file it meant.
bool packageReadable(const QString& package);

// The moment the screens of check and thumbnail show: a long date, so every Today entry is
// measured at its widest, and the same package always gives the same answer.
QDateTime toolMoment();

} // namespace orv::cli

#pragma once
// The editor's session on a private data folder, for the commands that read one package and
// look at it (check, thumbnail): the tool never shares a scratch directory with a running
// editor and never touches its settings.

#include "app/editor_session.h"
#include "cli/cli_interaction.h"

#include <QTemporaryDir>
#include <memory>

namespace orv::cli {

class PackageSession {
public:
    PackageSession();
    ~PackageSession();

    // Starts the session at a fixed moment (so the same package always gives the same
    // answer) and opens the package. False after any error box.
    bool open(const QString& package);
    EditorSession& session() { return *session_; }

private:
    QTemporaryDir home_;
    NonInteractiveUser user_;
    std::unique_ptr<EditorSession> session_;
};

// The moment the tool's screens show: a long date, so every Today entry is measured at its
// widest.
QDateTime toolMoment();

// Errors about a file, in the tool's one form: "orvantis-cli: FILE: reason".
void printFileError(const QString& file, const QString& reason);
// Bad arguments: the reason and where to find help.
void printUsageError(const QString& reason);

} // namespace orv::cli

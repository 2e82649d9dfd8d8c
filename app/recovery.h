#pragma once
// Unsaved work kept when the editor closes: the theme as a package under recovery/ in the
// data folder, its two backgrounds as they were before adjustment, and the values that are
// not in a package beside them. The values file is written last, so a copy is offered back
// only when it is complete.

#include <QDateTime>
#include <QString>
#include <optional>

namespace orv {

class EditorSession;

struct KeptTheme {
    QString name;
    QDateTime when;
};

// recovery/ under the data folder.
QString recoveryFolder(const QString& dataDir);
// The kept theme, when a complete copy is there.
std::optional<KeptTheme> keptTheme(const QString& dataDir);
// The line the window shows under the preview for it.
QString keptThemeLine(const KeptTheme& kept);

// Writes the session's theme into the recovery folder; false (with the error box shown)
// when it could not be written whole.
bool keepTheme(EditorSession& session);
// Reads the kept copy back into the session as one undo step; false when it cannot be read.
bool restoreKeptTheme(EditorSession& session);
// Removes the kept copy.
void discardKeptTheme(const QString& dataDir);

} // namespace orv

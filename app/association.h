#pragma once
// What makes the written .tsk association take effect on a freedesktop system: the open
// command quoted as desktop entries want it, the document type's icon, and the rebuilt
// per-user MIME and desktop-entry caches, without which the files are written but unread.

#include <QString>

namespace orv {

// The MIME type of a package and the icon names the association uses.
inline const QString kPackageMimeType = QStringLiteral("application/x-orvantis-document");
inline const QString kDocumentIconName = QStringLiteral("application-x-orvantis-document");
inline const QString kProgramIconName = QStringLiteral("orvantis");
// The desktop entry's id: the installed entry's, so that a per-user one takes its place in
// the menus instead of standing beside it.
inline const QString kDesktopEntryName = QStringLiteral("org.zephrin.Orvantis.desktop");
// What versions before it called the per-user entry.
inline const QString kFormerDesktopEntryName = QStringLiteral("orvantis.desktop");

// The per-user desktop entry for the editor at programDir: the installed entry's texts, with
// the program named by its path.
QByteArray desktopEntryFor(const QString& programDir);

// A program path as the Exec key of a desktop entry takes it: in double quotes, with '"',
// '`', '$' and '\' escaped, '\' once more for the key's own escapes, '%' doubled.
QString desktopExecArgument(const QString& program);

// Writes the program's and the document type's icons under
// xdgDataHome/icons/hicolor/48x48/ (apps/ and mimetypes/). Throws AppError on failure.
void installAssociationIcons(const QString& xdgDataHome);

// Runs update-mime-database on xdgDataHome/mime and update-desktop-database on
// xdgDataHome/applications. Tools that are missing or fail are passed over: the files
// are in place for the next time the caches are rebuilt.
void refreshAssociationCaches(const QString& xdgDataHome);

} // namespace orv

#pragma once
// File work shared by opening and saving packages: clearing the scratch directory, renaming
// extracted members, the cabinet directive file, the package name rules, and putting a
// finished package in place without ever losing the one that was there.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orv {

// Size limit of a package whose pictures are tried as compressed files first; a larger one
// carries Windows bitmaps.
inline constexpr qint64 kCompressedPackageLimit = 110000;

// Largest theme data file read: the template is 524 bytes and a name adds a few more, but
// packages padded to a size through their data file are known.
inline constexpr qint64 kMaxThemeDataFileBytes = 1024 * 1024;

// The three members of every package, in cabinet order.
inline const QString kTodayMember = QStringLiteral("tdywater.001");
inline const QString kMenuMember = QStringLiteral("0stwater.002");
inline const QString kDirectiveFileName = QStringLiteral("cabwiz.ddf");

// Deletes every file in dir (and the sub-folders a package with folder names left there).
// Throws AppError when something cannot be deleted.
void emptyFolder(const QString& dir);
// Deletes the files of dir whose names match the wildcard (case-insensitive, "*.png").
void deleteMatching(const QString& dir, const QString& wildcard);
// Names of the files of dir that match the wildcard, sorted by name.
QStringList filesMatching(const QString& dir, const QString& wildcard);

// Renames a file in place. Throws AppError 53 "File not found" when the source is missing
// and 58 "File already exists" when the target is taken, like the platform's rename.
void renameFile(const QString& from, const QString& to);

// Reads a picture that only the platform's own loader understands (GIF) and writes it as a
// Windows bitmap. Throws AppError 481 "Invalid picture" when it cannot be read.
void convertToBitmap(const QString& from, const QString& bitmapPath);

// The package name of a chosen file name (no folder): ".tsk" removed in any letter case,
// then blanks trimmed at both ends.
QString packageNameOf(const QString& chosenFileName);

// False for a package name the directive file cannot carry: one holding a backslash or a
// control character (a line break would end the directive line).
bool packageNameUsable(const QString& packageName);

// The named files of folder with their sizes, as packageHolds compares them.
QStringList memberSizes(const QString& folder, const QStringList& members);
// True when package is a plain file that reads back as a cabinet holding exactly these
// members (from memberSizes), in that order.
bool packageHolds(const QString& package, const QStringList& members);

// The cabinet directive file for package name n: every line ended by CR LF, in UTF-8 as
// the builder reads it.
QByteArray cabDirectiveText(const QString& packageName);

// Folder joined with a file name by one '/' (none added when the folder already ends in one).
QString joinPath(const QString& folder, const QString& name);

// Copies a finished package to its destination. The copy goes to a temporary name in the
// destination folder and replaces the old file only when it is complete, so a failed copy
// never destroys the package that was there. Throws AppError on failure.
void installPackage(const QString& source, const QString& destination);

// Runs a program from workDir and waits for its process to end, at most timeoutMs. Returns
// the exit code, or -1 when it crashed or ran too long (it is then killed). Throws AppError
// 53 "File not found" when the program cannot be started.
int runAndWait(const QString& program, const QStringList& args, const QString& workDir,
               int timeoutMs);

} // namespace orv

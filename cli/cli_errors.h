#pragma once
// The one shape of the tool's error lines: what the error is about first, then the reason in
// plain words, then the system's own message when there is one:
//     orvantis-cli: photo.jpg: not a theme package (Invalid data.)
// The device commands and every other command print through here.

#include <QString>

namespace orv::cli {

QString fileErrorLine(const QString& file, const QString& reason, const QString& systemMessage = {});
// Writes fileErrorLine() to the tool's stderr.
void reportFileError(const QString& file, const QString& reason, const QString& systemMessage = {});

// Bad arguments: the reason and where to find help, on the tool's stderr.
void printUsageError(const QString& reason);

// Why a file named on the command line cannot be read as a KIND ("package", "picture"...):
// "no such file", "is a folder, not a package", "cannot be read (Permission denied)".
// Empty when it can be opened.
QString inputProblem(const QString& path, const QString& kind);

// The description inside an editor error box ("Error: Invalid data. (LoadTheme)" gives
// "Invalid data."); other box texts are returned whole.
QString systemMessageOf(const QString& boxText);

} // namespace orv::cli

#include "cli/cli_errors.h"

#include "cli/own_stderr.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

namespace orv::cli {

QString fileErrorLine(const QString& file, const QString& reason, const QString& systemMessage)
{
    QString line = "orvantis-cli: " + file + ": " + reason;
    if (!systemMessage.isEmpty()) line += " (" + systemMessage + ")";
    return line;
}

void reportFileError(const QString& file, const QString& reason, const QString& systemMessage)
{
    std::fprintf(ownStderr(), "%s\n", fileErrorLine(file, reason, systemMessage).toLocal8Bit().constData());
    std::fflush(ownStderr());
}

void printUsageError(const QString& reason)
{
    std::fprintf(ownStderr(), "orvantis-cli: %s\nTry 'orvantis-cli --help'.\n", reason.toLocal8Bit().constData());
    std::fflush(ownStderr());
}

QString inputProblem(const QString& path, const QString& kind)
{
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("no such file");
    if (info.isDir()) return "is a folder, not a " + kind;
    // Opening a pipe would wait for a writer, and a device never ends: neither is a file.
    if (!info.isFile()) return "is not a regular file, not a " + kind;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "cannot be read (" + f.errorString() + ")";
    return {};
}

QString systemMessageOf(const QString& boxText)
{
    // The routine's name in the last parentheses says where, not what: scripts need the what.
    static const QRegularExpression errorBox(QStringLiteral("^Error: (.*) \\(\\w+\\)$"),
                                             QRegularExpression::DotMatchesEverythingOption);
    const auto m = errorBox.match(boxText);
    return m.hasMatch() ? m.captured(1) : boxText;
}

} // namespace orv::cli

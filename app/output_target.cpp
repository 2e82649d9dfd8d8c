// The one check of an output path before anything is written to it.
#include "app/output_target.h"

#include "app/errors.h"

#include <QFile>
#include <sys/stat.h>

namespace orv {

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode)) return QStringLiteral("a folder");
    if (S_ISFIFO(mode)) return QStringLiteral("a named pipe");
    if (S_ISCHR(mode)) return QStringLiteral("a character device");
    if (S_ISBLK(mode)) return QStringLiteral("a block device");
    if (S_ISSOCK(mode)) return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

QString refused(const QString& path, const QString& why)
{
    return "Cannot write " + path + ": it is " + why;
}

} // namespace

QString outputTargetProblem(const QString& path, const QStringList& inputs)
{
    if (path.isEmpty()) return QStringLiteral("Cannot write a file without a name");
    const QByteArray native = QFile::encodeName(path);
    struct stat target {};
    if (::stat(native.constData(), &target) != 0) {
        // Nothing there (or a link to nothing): the file is made new.
        return {};
    }
    if (!S_ISREG(target.st_mode)) {
        struct stat link {};
        const bool viaLink = ::lstat(native.constData(), &link) == 0 && S_ISLNK(link.st_mode);
        const QString kind = kindOf(target.st_mode);
        if (kind == QLatin1String("not a regular file")) return refused(path, kind);
        return refused(path, viaLink ? "a link to " + kind : kind);
    }
    for (const QString& input : inputs) {
        if (input.isEmpty()) continue;
        struct stat in {};
        if (::stat(QFile::encodeName(input).constData(), &in) != 0) continue;
        if (in.st_dev == target.st_dev && in.st_ino == target.st_ino)
            return refused(path, "the file being read (" + input + ")");
    }
    return {};
}

void requireOutputTarget(const QString& path, const QStringList& inputs)
{
    const QString problem = outputTargetProblem(path, inputs);
    if (!problem.isEmpty()) throw AppError(75, "Orvantis", problem);
}

} // namespace orv

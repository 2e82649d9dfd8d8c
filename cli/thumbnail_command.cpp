// The thumbnail command: arguments checked before anything starts, then the package opened
// as the editor opens it, its Today screen drawn and scaled, and the picture written whole.
#include "cli/thumbnail_command.h"

#include "app/safe_write.h"
#include "cli/cli_errors.h"
#include "cli/output_format.h"
#include "cli/workspace.h"
#include "imaging/thumbnail.h"
#include "preview/fonts.h"

#include <QFileInfo>
#include <QBuffer>
#include <QImageWriter>
#include <cerrno>
#include <cstring>
#include <algorithm>
#include <malloc.h>

namespace orv::cli {

bool parseThumbnailArguments(const QStringList& args, ThumbnailRequest& request)
{
    if (args.size() < 2 || args.size() > 3) {
        printUsageError("thumbnail takes a package, an output file and an optional size");
        return false;
    }
    request.package = args[0];
    request.output = args[1];
    request.format = pictureFormatForName(request.output);
    if (request.format.isEmpty()) {
        printUsageError(pictureNameProblem("thumbnail", request.output));
        return false;
    }
    request.size = kThumbnailDefaultSize;
    if (args.size() == 3) {
        bool ok = false;
        request.size = args[2].toInt(&ok);
        if (!ok || request.size < 1) {
            printUsageError("thumbnail takes a size of 1 or more");
            return false;
        }
        // File managers ask for their largest size; more than the limit gets the limit.
        request.size = std::min(request.size, kThumbnailMaxSize);
    }
    return true;
}

void prepareThumbnailStartup()
{
    // File managers run thumbnailers inside the desktop's environment: a display would
    // only cost the connection to it.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The screens' pictures are a few hundred kilobytes each, made and dropped many times
    // over: kept in the heap instead of mapped and unmapped each time, their pages are
    // faulted in once. (A fifth of the faults of a run, on a short-lived process.)
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
    // The screen needs the handheld's font alone, registered from its files; reading the
    // system's font configuration (a hundred files on a desktop) would cost more than the
    // drawing. Without those files the system's fonts stand in, and its configuration is
    // read as ever.
    const QString conf =
        QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/thumbnail-fonts.conf");
    if (handheldFontFilesPresent() && QFileInfo(conf).isFile())
        qputenv("FONTCONFIG_FILE", QFile::encodeName(conf));
}

int runThumbnailCommand(const ThumbnailRequest& r)
{
    Workspace w;
    if (!w.start()) return 1;
    EditorSession& s = *w.session;
    const QDateTime moment = toolMoment();
    s.clock = [moment] { return moment; };
    if (!w.load(r.package)) return 1;
    s.theme.clearScreenFlags();
    s.theme.menuEditing = false;
    s.DoScreenMain();
    const QImage& screen = s.canvas.oPicBuf.image();
    if (screen.isNull()) {
        reportFileError(r.package, "no screen was composed");
        return 1;
    }
    const QImage thumbnail = thumbnailOf(screen.copy(0, 0, 240, 320), r.size);
    // A thumbnail is a cache entry the file manager makes again when it is missing: written
    // whole under a temporary name, but not waited onto the disk, which on a busy disk would
    // cost more than everything else the command does.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, r.format);
    if (!writer.write(thumbnail)) {
        reportFileError(r.output, "cannot be written", writer.errorString());
        return 1;
    }
    errno = 0;
    if (!writeIntermediateWhole(r.output, bytes)) {
        reportFileError(r.output, "cannot be written",
                        errno ? QString::fromLocal8Bit(std::strerror(errno)) : QString());
        return 1;
    }
    return 0;
}

} // namespace orv::cli

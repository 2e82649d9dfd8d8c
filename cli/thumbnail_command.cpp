#include "cli/thumbnail_command.h"

#include "app/safe_write.h"
#include "cli/package_session.h"
#include "imaging/thumbnail.h"

#include <QSaveFile>
#include <algorithm>

namespace orv::cli {

int runThumbnailCommand(const QStringList& args)
{
    if (args.size() < 2 || args.size() > 3) {
        printUsageError("thumbnail takes a package, an output file and an optional size");
        return 2;
    }
    int size = kThumbnailDefaultSize;
    if (args.size() == 3) {
        bool ok = false;
        size = args[2].toInt(&ok);
        if (!ok || size < 1) {
            printUsageError("thumbnail takes a size of 1 or more");
            return 2;
        }
        // File managers ask for their largest size; more than the limit gets the limit.
        size = std::min(size, kThumbnailMaxSize);
    }
    const QString& package = args[0];
    const QString& output = args[1];

    PackageSession ps;
    if (!ps.open(package)) return 1;
    EditorSession& s = ps.session();
    s.theme.clearScreenFlags();
    s.theme.menuEditing = false;
    s.DoScreenMain();
    const QImage& screen = s.canvas.oPicBuf.image();
    if (screen.isNull()) {
        printFileError(package, "no screen was composed");
        return 1;
    }
    const QImage thumbnail = thumbnailOf(screen.copy(0, 0, 240, 320), size);
    QSaveFile out(output);
    if (!out.open(QIODevice::WriteOnly) || !thumbnail.save(&out, "PNG") || !commitWhole(out)) {
        printFileError(output, "cannot write the thumbnail");
        return 1;
    }
    return 0;
}

} // namespace orv::cli

#include "preview/canvas.h"

#include "app/errors.h"

#include <QFile>
#include <QImageReader>

namespace orv {

QImage builtinPicture(const QString& name)
{
    for (const char* ext : {".bmp", ".gif", ".png"}) {
        const QString path = ":/pictures/" + name + QLatin1String(ext);
        if (!QFile::exists(path)) continue;
        QImageReader reader(path);
        QImage picture = reader.read();
        if (!picture.isNull()) return picture;
    }
    throw AppError(326, "Orvantis", "Resource with identifier '" + name + "' not found");
}

} // namespace orv

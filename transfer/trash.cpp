#include "transfer/trash.h"

#include "app/errors.h"

#include <QFile>
#include <QFileInfo>

namespace orv {

void discardFile(const QString& path)
{
    QFile file(path);
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        throw AppError(kErrFileNotFound, "Orvantis", "File not found");
    // Qt follows the freedesktop trash: the home trash, or the volume's own trash folder.
    // It fails where the volume offers none; then the file is deleted as before.
    if (file.moveToTrash()) return;
    if (!file.remove())
        throw AppError(75, "Orvantis", "Path/File access error: " + file.errorString());
}

} // namespace orv

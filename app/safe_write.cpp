// Writing files whole or not at all: the one place where a written file is flushed,
// checked and moved into place.
#include "app/safe_write.h"

namespace orv {

bool commitWhole(QSaveFile& file)
{
    if (!file.isOpen()) return false;
    if (file.error() != QFileDevice::NoError || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        file.commit(); // removes the temporary file; the old one stays
        return false;
    }
    return file.commit();
}

bool writeFileWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return commitWhole(file);
}

} // namespace orv

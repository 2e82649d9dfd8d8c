// Writing files whole or not at all: the one place where a written file is flushed,
// checked and moved into place.
#include "app/safe_write.h"

#include "app/output_target.h"

#include <QFile>
#include <QTemporaryFile>
#include <cstdio>

namespace orv {

bool commitWhole(QSaveFile& file)
{
    if (!file.isOpen()) return false;
    // The rename at the end would put a plain file in place of a pipe, device or folder.
    if (!outputTargetProblem(file.fileName()).isEmpty()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
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
    if (!outputTargetProblem(path).isEmpty()) return false;
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

bool writeIntermediateWhole(const QString& path, const QByteArray& bytes)
{
    if (!outputTargetProblem(path).isEmpty()) return false;
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open()) return false;
    if (file.write(bytes) != bytes.size() || !file.flush()) return false;
    file.close();
    if (file.error() != QFileDevice::NoError) return false;
    // QTemporaryFile keeps its files private; the file in place has the usual permissions.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                        QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0)
        return false; // the temporary file is removed with `file`
    file.setAutoRemove(false);
    return true;
}

} // namespace orv

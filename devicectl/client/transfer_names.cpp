#include "transfer/device_paths.h"

namespace orv {

QString deviceFilePart(const QString& devicePath)
{
    return devicePath.mid(devicePath.lastIndexOf('\\') + 1);
}

bool isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == "." || name == "..") return false;
    return !name.contains('/') && !name.contains('\\') && !name.contains(QChar(0));
}

} // namespace orv

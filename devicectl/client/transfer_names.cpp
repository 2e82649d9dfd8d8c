#include "devicectl/client/transfer_names.h"

#include <QDir>

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

QString pcNameOfDevicePath(const QString& devicePath)
{
    const QString name = deviceFilePart(devicePath);
    return isPlainFileName(name) && !name.startsWith('.') ? name : QString();
}

QString deviceFolderFromEnvironment()
{
    const QString root = qEnvironmentVariable("ORVANTIS_DEVICE_ROOT");
    if (!root.isEmpty()) return root;
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    return (data.isEmpty() ? QDir::homePath() + "/.local/share" : data) + "/Orvantis/device";
}

QString missingDeviceFolderHint(const QString& folder)
{
    return "No handheld folder at " + folder + "; orvantis-cli device init makes one";
}

} // namespace orv

#pragma once
// orvantis-cli device: the transfer window's device actions without the window, driven through
// the Cradlelink control's dispatch interface exactly as the editor loads it.

#include <QStringList>

namespace orv::cli {

// args are the words after "device". Exit status 0, 1 on a failure, 2 on bad arguments.
int runDeviceCommand(const QStringList& args);
QString deviceUsageText();

} // namespace orv::cli

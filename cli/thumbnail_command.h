#pragma once
// orvantis-cli thumbnail: the Today screen of a package as a small PNG, for file managers.
// They run it on every package they list, downloaded ones included, so a package that cannot
// be read ends it at once with status 1 and leaves no file behind.

#include <QStringList>

namespace orv::cli {

// args are the words after "thumbnail": PACKAGE.tsk OUT.png [SIZE]. Exit status 0, 1 when
// the package cannot be read or the picture cannot be written, 2 on bad arguments.
int runThumbnailCommand(const QStringList& args);

} // namespace orv::cli

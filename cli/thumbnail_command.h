#pragma once
// orvantis-cli thumbnail: the Today screen of a package as a small picture, for file
// managers. They run it on every package they list, downloaded ones included, so a package
// that cannot be read ends it at once with status 1 and leaves no file behind; and they run
// it often, so it starts only what drawing one screen needs.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orv::cli {

struct ThumbnailRequest {
    QString package;
    QString output;
    int size = 0;
    QByteArray format; // as the output's name asks for it
};

// Reads the words after "thumbnail": PACKAGE.tsk OUT [SIZE]. False after printing the
// usage error (exit status 2); nothing has been started or written then.
bool parseThumbnailArguments(const QStringList& args, ThumbnailRequest& request);

// Sets up the toolkit for the command, before the application object is made: the platform
// that draws into memory only, whatever the desktop around it uses.
void prepareThumbnailStartup();

// After packageReadable(request.package): exit status 0, or 1 when the package cannot be
// read as a theme or the picture cannot be written.
int runThumbnailCommand(const ThumbnailRequest& request);

} // namespace orv::cli

// makecab: builds an uncompressed cabinet from a directive file, run as "makecab /f x.ddf".
// It runs once per save while the user waits, so it starts no application object: nothing
// here needs an event loop, plugins or settings.
#include "theme/cab_builder.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    QString error;
    const int status = orv::runMakecab(args, QDir::currentPath(), error);
    if (status != 0) std::fprintf(stderr, "makecab: %s\n", error.toLocal8Bit().constData());
    return status;
}

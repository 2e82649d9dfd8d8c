// makecab: builds an uncompressed cabinet from a directive file, run as "makecab /f x.ddf".
#include "theme/cab_builder.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    QString error;
    const int status = orv::runMakecab(args, QDir::currentPath(), error);
    if (status != 0) std::fprintf(stderr, "makecab: %s\n", error.toLocal8Bit().constData());
    return status;
}

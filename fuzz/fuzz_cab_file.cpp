// Feeds arbitrary bytes to CCabFile as a cabinet: listing, counting and extracting must
// fail cleanly or succeed, and nothing may ever be written outside the output folder.
#include "app/errors.h"
#include "theme/cab_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    return dir;
}

// Every file under root, as paths relative to root.
QStringList filesUnder(const QString& root)
{
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString root = workDir().path();
    const QString cabPath = root + QStringLiteral("/in.cab");
    const QString outDir = root + QStringLiteral("/box/out");
    {
        QFile f(cabPath);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }

    orv::CCabFile cab;
    cab.setCabName(cabPath);
    try {
        (void)cab.GetXML(QString());
    } catch (const orv::AppError&) {
    }
    try {
        (void)cab.FileCount();
    } catch (const orv::AppError&) {
    }
    try {
        (void)cab.Extract(QString(), outDir, QString());
    } catch (const orv::AppError&) {
    }

    for (const QString& f : filesUnder(root))
        if (f != QLatin1String("in.cab") && !f.startsWith(QLatin1String("box/out/"))) {
            std::fprintf(stderr, "written outside the output folder: %s\n", qPrintable(f));
            std::abort();
        }
    QDir(root + QStringLiteral("/box")).removeRecursively();
    return 0;
}

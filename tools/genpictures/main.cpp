// genpictures OUTDIR            writes the built-in pictures as stored under resources/pictures
// genpictures --preview OUTDIR  writes mock screens, the skins as PNG and a contact sheet
// genpictures --region FILE     writes the about window's region data file (FRData.dat)
#include "artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char** argv)
{
    // Drawing needs fonts but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool preview = args.removeAll(QStringLiteral("--preview")) > 0;
    const bool region = args.removeAll(QStringLiteral("--region")) > 0;
    if (args.size() != 1 || (preview && region)) {
        std::fprintf(stderr, "usage: genpictures [--preview] OUTDIR | --region FILE\n");
        return 2;
    }
    if (region) {
        QSaveFile file(args.first());
        const QByteArray bytes = gen::aboutRegionData();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
            std::fprintf(stderr, "genpictures: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        return 0;
    }
    const QString dir = args.first();
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "genpictures: cannot create %s\n", qPrintable(dir));
        return 1;
    }
    QList<gen::Picture> pictures = gen::screenPictures();
    pictures.append(gen::skinPictures());
    pictures.append(gen::aboutPicture());
    if (preview) return gen::writePreviews(dir, pictures) ? 0 : 1;
    pictures.append(gen::iconPictures());
    for (const gen::Picture& pic : pictures) {
        QSaveFile file(dir + "/" + pic.name + "." + pic.format);
        if (!file.open(QIODevice::WriteOnly) || file.write(gen::storedBytes(pic)) < 0 || !file.flush() || !file.commit()) {
            std::fprintf(stderr, "genpictures: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}

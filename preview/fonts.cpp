#include "preview/fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace orv {

namespace {
constexpr const char* kHandheldFontFiles[] = {"/usr/share/wine/fonts/tahoma.ttf",
                                              "/usr/share/wine/fonts/tahomabd.ttf"};
} // namespace

bool handheldFontFilesPresent()
{
    for (const char* path : kHandheldFontFiles)
        if (!QFile::exists(QString::fromLatin1(path))) return false;
    return true;
}

void registerHandheldFonts()
{
    static bool done = false;
    if (done) return;
    done = true;
    bool found = false;
    for (const char* path : kHandheldFontFiles) {
        const QString file = QString::fromLatin1(path);
        if (QFile::exists(file) && QFontDatabase::addApplicationFont(file) >= 0) found = true;
    }
    if (!found && !QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
}

} // namespace orv

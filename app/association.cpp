// Making the .tsk association take effect: icons, the quoted open command and the caches
// that desktops actually read. A missing cache tool never stops the program.
#include "app/association.h"

#include "app/errors.h"
#include "app/safe_write.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace orv {

namespace {

void copyResource(const QString& resource, const QString& path)
{
    QFile in(resource);
    if (!in.open(QIODevice::ReadOnly))
        throw AppError(326, "Orvantis", "Resource not found: " + resource);
    const QByteArray bytes = in.readAll();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!writeFileWhole(path, bytes)) throw AppError(75, "Orvantis", "Path/File access error: " + path);
}

void runQuietly(const QString& tool, const QStringList& args)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) return;
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished(2000);
    }
}

} // namespace

QString desktopExecArgument(const QString& program)
{
    QString quoted;
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            quoted += QLatin1String("\\\\") + c;
        else if (c == QLatin1Char('\\'))
            quoted += QLatin1String("\\\\\\\\");
        else if (c == QLatin1Char('%'))
            quoted += QLatin1String("%%");
        else
            quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray desktopEntryFor(const QString& programDir)
{
    const QString program = programDir + "/orvantis";
    // TryExec is a plain string: only its own escapes. It hides the entry once the program
    // it names is gone.
    QString tryExec = program;
    tryExec.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return ("[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Orvantis\n"
            "GenericName=Handheld Theme Editor\n"
            "Comment=Edit the colour themes of Pocket PC 2002 handhelds\n"
            "Exec=" + desktopExecArgument(program) + " %f\n"
            "TryExec=" + tryExec + "\n"
            "Icon=" + kProgramIconName + "\n"
            "Terminal=false\n"
            "MimeType=" + kPackageMimeType + ";\n"
            "Categories=Graphics;2DGraphics;RasterGraphics;\n"
            "Keywords=theme;Pocket PC;handheld;Windows Mobile;tsk;\n")
        .toUtf8();
}

void installAssociationIcons(const QString& xdgDataHome)
{
    const QString base = xdgDataHome + "/icons/hicolor/48x48/";
    copyResource(":/pictures/ICON-ORVANTIS.png", base + "apps/" + kProgramIconName + ".png");
    copyResource(":/pictures/ICON-DOCUMENT.png", base + "mimetypes/" + kDocumentIconName + ".png");
}

void refreshAssociationCaches(const QString& xdgDataHome)
{
    runQuietly("update-mime-database", {xdgDataHome + "/mime"});
    runQuietly("update-desktop-database", {xdgDataHome + "/applications"});
}

} // namespace orv

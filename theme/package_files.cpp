#include "theme/package_files.h"

#include "app/errors.h"
#include "app/safe_write.h"
#include "theme/cab_file.h"
#include "imaging/image_buffer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QSaveFile>

namespace orv {

namespace {

AppError accessError(const QString& path)
{
    return AppError(75, "Orvantis", "Path/File access error: " + path);
}

// Read as the image buffer reads: a cut-short or mislabelled picture is refused, not
// turned into a bitmap with grey rows. A null picture when it cannot be read.
QImage readWholePicture(const QString& path)
{
    ImageBuffer reader;
    reader.FileName = path;
    try {
        reader.LoadFile();
    } catch (const AppError& e) {
        if (e.number() != kErrBadPicture) throw;
        return {};
    }
    return reader.image();
}

} // namespace

void emptyFolder(const QString& dir)
{
    QDir d(dir);
    if (!d.exists()) return;
    const auto entries =
        d.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& fi : entries) {
        bool ok;
        // A link is removed itself, never what it points to.
        if (fi.isDir() && !fi.isSymLink())
            ok = QDir(fi.absoluteFilePath()).removeRecursively();
        else
            ok = QFile::remove(fi.absoluteFilePath());
        if (!ok) throw accessError(fi.absoluteFilePath());
    }
}

QStringList filesMatching(const QString& dir, const QString& wildcard)
{
    QDir d(dir);
    d.setNameFilters({wildcard});
    d.setFilter(QDir::Files | QDir::Hidden);
    d.setSorting(QDir::Name);
    return d.entryList();
}

void deleteMatching(const QString& dir, const QString& wildcard)
{
    for (const QString& name : filesMatching(dir, wildcard)) {
        const QString path = joinPath(dir, name);
        if (!QFile::remove(path)) throw accessError(path);
    }
}

void renameFile(const QString& from, const QString& to)
{
    if (!QFileInfo::exists(from)) throw AppError(kErrFileNotFound, "Orvantis", "File not found");
    if (QFileInfo::exists(to)) throw AppError(58, "Orvantis", "File already exists");
    if (!QFile::rename(from, to)) throw accessError(to);
}

void convertToBitmap(const QString& from, const QString& bitmapPath)
{
    const QImage picture = readWholePicture(from);
    if (picture.isNull()) throw AppError(481, "Orvantis", "Invalid picture");
    QSaveFile out(bitmapPath);
    if (!out.open(QIODevice::WriteOnly)) throw accessError(bitmapPath);
    QImageWriter writer(&out, "bmp");
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB888))) out.cancelWriting();
    if (!commitWhole(out)) throw accessError(bitmapPath);
}

QString packageNameOf(const QString& chosenFileName)
{
    QString name = chosenFileName;
    if (name.endsWith(".tsk", Qt::CaseInsensitive)) name.chop(4);
    // Blanks only, as the data file writer trims the theme name; tabs and the like stay.
    qsizetype b = 0, e = name.size();
    while (b < e && name[b] == QLatin1Char(' ')) ++b;
    while (e > b && name[e - 1] == QLatin1Char(' ')) --e;
    return name.mid(b, e - b);
}

bool packageNameUsable(const QString& packageName)
{
    for (const QChar c : packageName)
        if (c == QLatin1Char('\\') || c.category() == QChar::Other_Control) return false;
    return true;
}

QStringList memberSizes(const QString& folder, const QStringList& members)
{
    QStringList sized;
    for (const QString& m : members)
        sized << m + ' ' + QString::number(QFileInfo(joinPath(folder, m)).size());
    return sized;
}

bool packageHolds(const QString& package, const QStringList& members)
{
    const QFileInfo info(package);
    if (!info.isFile() || info.isSymLink()) return false;
    QStringList found;
    try {
        CCabFile cab;
        cab.setCabName(package);
        cab.FileFound = [&](const QString& name, double, std::int32_t size, const QString& path) {
            found << path + name + ' ' + QString::number(size);
        };
        if (!cab.GetInfo(QString())) return false;
    } catch (const AppError&) {
        return false;
    }
    return found == members;
}

QByteArray cabDirectiveText(const QString& packageName)
{
    const QByteArray lines[] = {
        ".Set Cabinet=ON",
        ".Set Compress = OFF",
        ".Set CabinetFileCountThreshold=0",
        ".Set FolderFileCountThreshold=0",
        ".Set FolderSizeThreshold=0",
        ".Set MaxCabinetSize=0",
        ".Set MaxDiskFileCount = 0",
        ".Set MaxDiskSize = 0",
        ".Set ReservePerCabinetSize=0",
        ".Set ReservePerDataBlockSize = 0",
        ".Set ReservePerFolderSize = 0",
        ".Set UniqueFiles = OFF",
        ".Set DiskDirectory1=.",
        ".Set DiskLabel1 = Setup",
        ".Set CabinetName1 = " + packageName.toUtf8() + ".tsk",
        "zephrin1.000",
        kMenuMember.toLatin1(),
        kTodayMember.toLatin1(),
    };
    QByteArray text;
    for (const QByteArray& line : lines) text += line + "\r\n";
    return text;
}

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty() || folder.endsWith('/')) return folder + name;
    return folder + '/' + name;
}

void installPackage(const QString& source, const QString& destination)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) throw AppError(kErrFileNotFound, "Orvantis", "File not found");
    const QByteArray bytes = in.readAll();
    if (bytes.size() != in.size()) throw accessError(source);

    if (!writeFileWhole(destination, bytes)) throw accessError(destination);
}

int runAndWait(const QString& program, const QStringList& args, const QString& workDir,
               int timeoutMs)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    process.setWorkingDirectory(workDir);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(10000))
        throw AppError(kErrFileNotFound, "Orvantis", "File not found");
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(2000);
        return -1;
    }
    if (process.exitStatus() != QProcess::NormalExit) return -1;
    return process.exitCode();
}

} // namespace orv

#include "cli/output_format.h"

#include <QFileInfo>

namespace orv::cli {

QByteArray pictureFormatForName(const QString& fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == "png") return "PNG";
    if (ext == "jpg" || ext == "jpeg") return "JPEG";
    if (ext == "bmp") return "BMP";
    return {};
}

QString pictureNameProblem(const QString& option, const QString& fileName)
{
    return fileName + ": " + option + " takes a name ending in .png, .jpg, .jpeg or .bmp";
}

} // namespace orv::cli

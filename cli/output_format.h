#pragma once
// Which picture format an output file gets: the one its name asks for. Commands that write
// pictures check the name before any work, so a wrong name never costs a run or leaves a file.

#include <QByteArray>
#include <QString>

namespace orv::cli {

// "PNG", "JPEG" or "BMP" for a name ending in .png, .jpg, .jpeg or .bmp (any case); empty for
// any other name.
QByteArray pictureFormatForName(const QString& fileName);

// The usage error for a name pictureFormatForName() refuses, naming the option it came with:
// "x.gif: -o takes a name ending in .png, .jpg, .jpeg or .bmp".
QString pictureNameProblem(const QString& option, const QString& fileName);

} // namespace orv::cli

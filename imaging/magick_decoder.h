#pragma once
// PCX and TGA pictures are decoded by GraphicsMagick in a module of its own, loaded the
// first time such a picture comes. Linked into the programs, its libraries (some eighty with
// the codecs they pull in) would be loaded and relocated at every start of every program, a
// file manager's thumbnail included, for pictures that seldom come.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace orv {

enum class MagickOutcome { Decoded, Unreadable, TooLarge };

// The module's one entry point: decodes data as format ("PCX", "TGA") into picture, asking
// acceptable(width, height) before any pixel is decoded. width and height are the picture's
// size as far as it is known (for the too-large message).
using MagickDecodeFunction = MagickOutcome (*)(const QByteArray& data, const QString& format,
                                               bool (*acceptable)(qint64, qint64), QImage& picture,
                                               qint64& width, qint64& height);
inline constexpr char kMagickDecodeSymbol[] = "orvMagickDecode";
// Beside the executables, in the build and in the installed program directory.
inline constexpr char kMagickModuleName[] = "liborvantis-magick.so";

// The entry point, loaded once; null when the module cannot be loaded (the pictures it would
// read are then unreadable).
MagickDecodeFunction magickDecoder();

} // namespace orv

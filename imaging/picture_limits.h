#pragma once
// How large a picture file may be before it is refused unread. A background is 240 by 293
// pixels; these bounds leave room for any camera's photos and keep a hostile header from
// making the editor allocate gigabytes.

#include <QString>
#include <QtGlobal>

namespace orv {

inline constexpr qint64 kMaxPictureSide = 20000;
inline constexpr qint64 kMaxPicturePixels = 50'000'000;
inline constexpr qint64 kMaxPictureFileBytes = 256LL * 1024 * 1024;
// What a picture at the pixel limit takes in memory as the buffers hold it (four bytes a
// pixel); the decoders are held to it, whatever the format.
inline constexpr qint64 kMaxPictureBytes = kMaxPicturePixels * 4;
// Real encoders write a few dozen scans at most; each scan makes the decoder pass over the
// whole picture again, so a file of thousands of empty scans costs hours.
inline constexpr int kMaxJpegScans = 500;

// True when a picture of this size may be decoded.
bool pictureSizeAcceptable(qint64 width, qint64 height);

// Throws the picture's "too large" error (AppError 20101) when its header claims a size
// beyond the limits; reads only the start of the file. Anything else is left to the load,
// so a file that is not a picture passes.
void refuseOversizedPicture(const QString& path);

} // namespace orv

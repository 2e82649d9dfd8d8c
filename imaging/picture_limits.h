#pragma once
// How large a picture file may be before it is refused unread. A background is 240 by 293
// pixels; these bounds leave room for any camera's photos and keep a hostile header from
// making the editor allocate gigabytes.

#include <QtGlobal>

namespace orv {

inline constexpr qint64 kMaxPictureSide = 20000;
inline constexpr qint64 kMaxPicturePixels = 50'000'000;
inline constexpr qint64 kMaxPictureFileBytes = 256LL * 1024 * 1024;

// True when a picture of this size may be decoded.
bool pictureSizeAcceptable(qint64 width, qint64 height);

} // namespace orv

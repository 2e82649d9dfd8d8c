#pragma once
// Thumbnails of screens: a picture scaled to fit a square, its proportions kept, every
// thumbnail pixel the average of the picture's pixels it covers.

#include <QImage>

namespace orv {

inline constexpr int kThumbnailDefaultSize = 256;
inline constexpr int kThumbnailMaxSize = 1024;

// The picture scaled to fit size by size (size clamped to 1..kThumbnailMaxSize); null for a
// null picture.
QImage thumbnailOf(const QImage& picture, int size);

} // namespace orv

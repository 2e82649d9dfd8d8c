#include "imaging/thumbnail.h"

#include <algorithm>
#include <cmath>

namespace orv {

QImage thumbnailOf(const QImage& picture, int size)
{
    if (picture.isNull()) return {};
    size = std::clamp(size, 1, kThumbnailMaxSize);
    const int w = picture.width(), h = picture.height();
    const double scale = static_cast<double>(size) / std::max(w, h);
    const int tw = std::clamp(static_cast<int>(std::lround(w * scale)), 1, size);
    const int th = std::clamp(static_cast<int>(std::lround(h * scale)), 1, size);
    // Smooth scaling of 32-bit pictures averages the covered area when shrinking and
    // interpolates when growing.
    const QImage rgb = picture.format() == QImage::Format_RGB32
                           ? picture
                           : picture.convertToFormat(QImage::Format_RGB32);
    return rgb.scaled(tw, th, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace orv

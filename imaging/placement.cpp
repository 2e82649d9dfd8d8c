// The frame a placement puts over a picture, and the area-averaging resample that turns the
// framed part into a background. A frame never reaches outside its picture, and a frame of
// the background's own size copies its pixels unchanged.
#include "imaging/placement.h"

#include <QSizeF>
#include <algorithm>
#include <cmath>
#include <vector>

namespace orv {

namespace {

bool usable(QSize picture, QSize target) { return !picture.isEmpty() && !target.isEmpty(); }

// The largest frame of the target's proportions that fits inside the picture.
QSizeF largestFrame(QSize picture, QSize target)
{
    const double w = picture.width(), h = picture.height();
    const double tw = target.width(), th = target.height();
    if (w * th >= h * tw) return {h * tw / th, h};
    return {w, w * th / tw};
}

double orDefault(double value, double fallback) { return std::isnan(value) ? fallback : value; }

// Keeps a frame of `extent` centred as near `centre` as it can while inside [0, length].
double keepInside(double centre, double extent, double length)
{
    return std::max(extent / 2, std::min(centre, length - extent / 2));
}

// For every output pixel along one axis, the input pixels it covers and how much of each,
// as fractions that add up to one.
struct Taps {
    std::vector<int> first;     // first input pixel of output pixel i
    std::vector<int> start;     // where its weights begin in `weights`
    std::vector<int> count;
    std::vector<float> weights;
};

Taps tapsFor(int inLength, int outLength)
{
    Taps t;
    const double scale = double(inLength) / outLength;
    for (int i = 0; i < outLength; ++i) {
        const double from = i * scale;
        const double to = i + 1 == outLength ? inLength : (i + 1) * scale;
        const int first = int(std::floor(from));
        const int end = std::min(inLength, int(std::ceil(to)));
        t.first.push_back(first);
        t.start.push_back(int(t.weights.size()));
        for (int s = first; s < end; ++s)
            t.weights.push_back(float((std::min(to, s + 1.0) - std::max(from, double(s))) / scale));
        t.count.push_back(end - first);
    }
    return t;
}

inline uchar toByte(float v) { return uchar(std::clamp(std::lround(v), 0L, 255L)); }

// Shrinks `from` (inside the 32-bit picture) to `size` by averaging areas. Rows are made
// narrow first, one at a time, and summed into each output row as they come, so only two
// output-wide rows are ever held whatever the picture's size.
QImage shrink(const QImage& picture, const QRect& from, QSize size)
{
    const int ow = size.width(), oh = size.height();
    const Taps across = tapsFor(from.width(), ow);
    const Taps down = tapsFor(from.height(), oh);

    std::vector<float> narrow(size_t(ow) * 3), sum(size_t(ow) * 3);
    int narrowRow = -1;
    auto makeNarrow = [&](int row) {
        if (row == narrowRow) return;
        narrowRow = row;
        const QRgb* in = reinterpret_cast<const QRgb*>(picture.constScanLine(from.top() + row)) +
                         from.left();
        float* n = narrow.data();
        for (int x = 0; x < ow; ++x, n += 3) {
            const QRgb* p = in + across.first[size_t(x)];
            const float* w = across.weights.data() + across.start[size_t(x)];
            float r = 0, g = 0, b = 0;
            for (int k = 0; k < across.count[size_t(x)]; ++k) {
                r += w[k] * float(qRed(p[k]));
                g += w[k] * float(qGreen(p[k]));
                b += w[k] * float(qBlue(p[k]));
            }
            n[0] = r;
            n[1] = g;
            n[2] = b;
        }
    };

    QImage out(ow, oh, QImage::Format_RGB32);
    if (out.isNull()) return {};
    for (int y = 0; y < oh; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        const float* w = down.weights.data() + down.start[size_t(y)];
        for (int k = 0; k < down.count[size_t(y)]; ++k) {
            makeNarrow(down.first[size_t(y)] + k);
            for (size_t i = 0; i < sum.size(); ++i) sum[i] += w[k] * narrow[i];
        }
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < ow; ++x)
            line[x] = qRgb(toByte(sum[size_t(x) * 3]), toByte(sum[size_t(x) * 3 + 1]),
                           toByte(sum[size_t(x) * 3 + 2]));
    }
    return out;
}

} // namespace

double maxPlacementZoom(QSize picture, QSize target)
{
    if (!usable(picture, target)) return 1.0;
    return std::max(1.0, largestFrame(picture, target).width() / target.width());
}

Placement clampedPlacement(QSize picture, QSize target, const Placement& p)
{
    if (!usable(picture, target)) return {};
    const double zoom = std::clamp(orDefault(p.zoom, 1.0), 1.0, maxPlacementZoom(picture, target));
    const QSizeF frame = largestFrame(picture, target) / zoom;
    const double w = picture.width(), h = picture.height();
    return {keepInside(orDefault(p.focusX, 0.5) * w, frame.width(), w) / w,
            keepInside(orDefault(p.focusY, 0.5) * h, frame.height(), h) / h, zoom};
}

QRect placementFrame(QSize picture, QSize target, const Placement& placement)
{
    if (!usable(picture, target)) return {};
    const Placement p = clampedPlacement(picture, target, placement);
    const QSizeF frame = largestFrame(picture, target) / p.zoom;
    const int w = std::clamp(qRound(frame.width()), 1, picture.width());
    const int h = std::clamp(qRound(frame.height()), 1, picture.height());
    // Whole pixels: at the largest zoom the frame then copies its pixels one to one.
    const int left = std::clamp(qRound(p.focusX * picture.width() - w / 2.0), 0, picture.width() - w);
    const int top = std::clamp(qRound(p.focusY * picture.height() - h / 2.0), 0, picture.height() - h);
    return {left, top, w, h};
}

QImage resampleArea(const QImage& picture, const QRect& part, QSize size)
{
    const QRect from = part.intersected(picture.rect());
    if (from.isEmpty() || size.isEmpty()) return {};
    if (picture.format() != QImage::Format_RGB32) {
        const QImage piece = picture.copy(from).convertToFormat(QImage::Format_RGB32);
        return resampleArea(piece, piece.rect(), size);
    }
    if (from.width() < size.width() || from.height() < size.height()) {
        // Fewer picture pixels than output pixels: nothing to average, interpolate instead.
        return picture.copy(from)
            .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    }
    return shrink(picture, from, size);
}

QImage placePicture(const QImage& picture, QSize target, const Placement& placement)
{
    return resampleArea(picture, placementFrame(picture.size(), target, placement), target);
}

} // namespace orv

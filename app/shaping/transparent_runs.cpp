#include "app/shaping/transparent_runs.h"

#include <algorithm>

namespace orv {

std::vector<TransparentRun> scanTransparentRuns(const QImage& picture, QSize area, Colour colour)
{
    std::vector<TransparentRun> runs;
    if (colour < 0 || colour > 0xFFFFFF || picture.isNull()) return runs;
    const QImage rgb = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
        ? picture
        : picture.convertToFormat(QImage::Format_RGB32);
    const QRgb wanted = toQRgb(colour) & 0xFFFFFFu;
    const int width = std::min(area.width(), rgb.width());
    const int height = std::min(area.height(), rgb.height());
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        int open = -1;
        for (int x = 0; x < width; ++x) {
            const bool clear = (line[x] & 0xFFFFFFu) == wanted;
            if (clear && open < 0) {
                open = x;
            } else if (!clear && open >= 0) {
                runs.push_back({y, open, x - 1});
                open = -1;
            }
        }
        // The column past the picture never matches: a run open at the row's end closes there.
        if (open >= 0) runs.push_back({y, open, width - 1});
    }
    return runs;
}

QRegion subtractRuns(const QRect& start, const std::vector<TransparentRun>& runs)
{
    if (start.isEmpty()) return QRegion();
    std::vector<TransparentRun> sorted = runs;
    std::sort(sorted.begin(), sorted.end(), [](const TransparentRun& a, const TransparentRun& b) {
        return a.y != b.y ? a.y < b.y : a.first < b.first;
    });

    const int left = start.x(), right = start.x() + start.width(); // right exclusive
    std::vector<QRect> rects;
    std::vector<std::pair<int, int>> band, row; // spans [from, to) of the open band and this row
    int bandTop = start.y();
    auto closeBand = [&](int bottom) {
        for (const auto& [from, to] : band) rects.emplace_back(from, bandTop, to - from, bottom - bandTop);
    };

    auto next = sorted.begin();
    for (int y = start.y(); y < start.y() + start.height(); ++y) {
        while (next != sorted.end() && next->y < y) ++next;
        row.clear();
        int cursor = left;
        for (; next != sorted.end() && next->y == y; ++next) {
            const int from = std::max(next->first, left);
            const int to = std::min(next->last + 1, right);
            if (from >= to) continue;
            if (from > cursor) row.emplace_back(cursor, from);
            cursor = std::max(cursor, to);
        }
        if (cursor < right) row.emplace_back(cursor, right);
        if (y == start.y()) {
            band = row;
        } else if (row != band) {
            closeBand(y);
            band = row;
            bandTop = y;
        }
    }
    closeBand(start.y() + start.height());

    QRegion outline;
    if (!rects.empty()) outline.setRects(rects.data(), int(rects.size()));
    return outline;
}

} // namespace orv

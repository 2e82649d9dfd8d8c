// Picks the text colour and plate for labels drawn straight on a skin picture.
#include "app/ui/face_contrast.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

double channel(int v)
{
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(QColor c)
{
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

QColor seenThrough(QRgb pixel, QColor plate)
{
    const double a = plate.alphaF();
    auto mix = [a](int under, int over) { return static_cast<int>(std::lround(under * (1 - a) + over * a)); };
    return QColor(mix(qRed(pixel), plate.red()), mix(qGreen(pixel), plate.green()),
                  mix(qBlue(pixel), plate.blue()));
}

} // namespace

double contrastRatio(QColor a, QColor b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double worstContrast(const QImage& background, QRect area, const ReadableText& look)
{
    const QRect r = area & background.rect();
    double worst = 21.0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            worst = std::min(worst, contrastRatio(look.text, seenThrough(background.pixel(x, y), look.plate)));
    return worst;
}

ReadableText readableTextOn(const QImage& background, QRect area)
{
    ReadableText best{Qt::white, QColor(0, 0, 0, 0)};
    double bestWorst = -1;
    for (QColor text : {QColor(Qt::white), QColor(Qt::black)}) {
        // The plate is the opposite of the text, made just opaque enough.
        const QColor plateColour = text == QColor(Qt::white) ? QColor(0, 0, 0) : QColor(255, 255, 255);
        for (int alpha = 0; alpha <= 255; alpha += 15) {
            QColor plate = plateColour;
            plate.setAlpha(alpha);
            const ReadableText look{text, plate};
            const double worst = worstContrast(background, area, look);
            if (worst >= kReadableContrast) {
                if (bestWorst < kReadableContrast || alpha < best.plate.alpha()) {
                    best = look;
                    bestWorst = worst;
                }
                break;
            }
            if (worst > bestWorst && bestWorst < kReadableContrast) {
                best = look;
                bestWorst = worst;
            }
        }
    }
    return best;
}

} // namespace orv

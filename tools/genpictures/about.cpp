// The about window's picture: a handheld beside a name plate, 300 x 174, on the transparent
// green that the window cuts away, drawn without smoothing so no edge pixel is half green.
// Also the region data file of its outline, shipped as FRData.dat.
#include "artwork.h"

#include "app/shaping/region_data.h"
#include "app/shaping/transparent_runs.h"

#include <QFontMetrics>

#include <algorithm>

namespace gen {

namespace {

constexpr int W = 300, H = 174;
// The window shows the top 300 x 172 of the picture; the two rows below stay green.
constexpr int kClientHeight = 172;
const QRgb kGreen = qRgb(9, 233, 9);

QRgb lerp(QRgb a, QRgb b, double t)
{
    auto ch = [t](int u, int v) { return int(u + (v - u) * t + 0.5); };
    return qRgb(ch(qRed(a), qRed(b)), ch(qGreen(a), qGreen(b)), ch(qBlue(a), qBlue(b)));
}

bool insideRounded(int x, int y, int x0, int y0, int x1, int y1, int r)
{
    const double px = x + 0.5, py = y + 0.5;
    if (px < x0 || py < y0 || px > x1 || py > y1) return false;
    const double cx = std::clamp(px, double(x0 + r), double(x1 - r));
    const double cy = std::clamp(py, double(y0 + r), double(y1 - r));
    return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= double(r) * r;
}

// A rounded shape filled row by row with a vertical gradient and a one-pixel rim.
void roundedPlate(QImage& img, QRect box, int r, QRgb top, QRgb bottom, QRgb rim, QRgb light)
{
    const int x0 = box.left(), y0 = box.top(), x1 = box.right() + 1, y1 = box.bottom() + 1;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            if (!insideRounded(x, y, x0, y0, x1, y1, r)) continue;
            QRgb c = lerp(top, bottom, double(y - y0) / (y1 - y0));
            if (!insideRounded(x, y, x0 + 1, y0 + 1, x1 - 1, y1 - 1, r - 1)) c = rim;
            else if (!insideRounded(x, y, x0 + 2, y0 + 2, x1 - 2, y1 - 2, r - 2) && y < (y0 + y1) / 2) c = light;
            img.setPixel(x, y, c);
        }
}

void words(QImage& img, int x, int top, const QString& s, QRgb c, bool bold, int pixels)
{
    QPainter p(&img);
    prepare(p);
    const QFont f = uiFont(bold, pixels);
    p.setFont(f);
    p.setPen(QColor::fromRgb(c));
    p.drawText(x, top + QFontMetrics(f).ascent(), s);
}

void handheld(QImage& img)
{
    roundedPlate(img, QRect(8, 4, 92, 164), 12, qRgb(118, 124, 136), qRgb(58, 62, 72), qRgb(28, 30, 36),
                 qRgb(176, 182, 194));
    // speaker slot and the screen's bezel
    fill(img, 42, 11, 66, 12, qRgb(36, 38, 44));
    fill(img, 16, 18, 91, 129, qRgb(24, 26, 30));
    // a Today screen in miniature: title bar, light body, icon rows, command bar
    const QRect screen(18, 20, 72, 108);
    for (int x = screen.left(); x <= screen.right(); ++x)
        vline(img, x, 20, 27, lerp(qRgb(16, 52, 148), qRgb(60, 120, 220), double(x - 18) / 72));
    hline(img, 21, 34, 23, qRgb(255, 255, 255));
    fill(img, 18, 28, 89, 117, qRgb(238, 242, 250));
    const QRgb icons[4] = {qRgb(220, 150, 40), qRgb(60, 140, 220), qRgb(200, 70, 70), qRgb(120, 96, 190)};
    for (int i = 0; i < 4; ++i) {
        const int top = 34 + i * 19;
        fill(img, 22, top, 31, top + 9, icons[i]);
        rect(img, 22, top, 31, top + 9, qRgb(70, 74, 84));
        hline(img, 36, 36 + 42 - i * 6, top + 2, qRgb(96, 100, 112));
        hline(img, 36, 36 + 26 + i * 4, top + 6, qRgb(160, 164, 176));
    }
    fill(img, 18, 118, 89, 127, qRgb(196, 204, 220));
    hline(img, 18, 89, 118, qRgb(140, 148, 168));
    // two application buttons either side of the rocker
    for (const int cx : {24, 84}) {
        for (int y = 140; y <= 152; ++y)
            for (int x = cx - 6; x <= cx + 6; ++x)
                if ((x - cx) * (x - cx) + (y - 146) * (y - 146) <= 36)
                    img.setPixel(x, y, y < 145 ? qRgb(150, 156, 170) : qRgb(84, 88, 100));
    }
    for (int y = 137; y <= 157; ++y)
        for (int x = 43; x <= 65; ++x)
            if ((x - 54) * (x - 54) + (y - 147) * (y - 147) <= 100)
                img.setPixel(x, y, (x - 54) * (x - 54) + (y - 147) * (y - 147) <= 16 ? qRgb(60, 64, 74)
                                                                                     : qRgb(134, 140, 154));
}

} // namespace

Picture aboutPicture()
{
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(kGreen);
    // the name plate, reaching under the OK button at the bottom right
    roundedPlate(img, QRect(58, 12, 238, 157), 16, qRgb(34, 58, 120), qRgb(12, 22, 58), qRgb(6, 10, 28),
                 qRgb(88, 128, 200));
    handheld(img);
    words(img, 114, 22, QStringLiteral("Orvantis"), qRgb(255, 255, 255), true, 30);
    words(img, 116, 58, QStringLiteral("by Zephrin"), qRgb(190, 210, 250), false, 13);
    hline(img, 116, 282, 82, qRgb(70, 104, 170));
    words(img, 116, 92, QStringLiteral("Colour themes for"), qRgb(222, 230, 246), false, 11);
    words(img, 116, 106, QStringLiteral("Pocket PC 2002 handhelds"), qRgb(222, 230, 246), false, 11);
    return {QStringLiteral("ABOUT"), img, 24, QStringLiteral("bmp")};
}

QByteArray aboutRegionData()
{
    const QImage img = aboutPicture().image;
    const QSize area(W, kClientHeight);
    const auto runs = orv::scanTransparentRuns(img, area, orv::fromQRgb(kGreen));
    return orv::regionData(orv::subtractRuns(QRect(QPoint(0, 0), area), runs));
}

} // namespace gen

// The main window's skins: 640 x 480 backgrounds made for the window's layout (title strip,
// preview well, controls panel) in eleven materials.
#include "artwork.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <functional>

namespace gen {

namespace {

constexpr int W = 640, H = 480;
constexpr double kPi = 3.14159265358979;

struct Rgb { double r, g, b; };

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb scale(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }
QRgb pack(Rgb c)
{
    auto ch = [](double v) { return std::clamp(int(std::lround(v)), 0, 255); };
    return qRgb(ch(c.r), ch(c.g), ch(c.b));
}
double smooth(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

using Material = std::function<Rgb(int x, int y)>;

struct Look {
    QString name;
    Material material;
    Rgb panel;          // the calm tint laid over the controls panel
    double panelAmount; // how much of it
    Rgb rim;            // the outline's edge colour
    bool glossy = false;
    bool rivets = false;
};

// Distance outside the rounded outline (negative inside).
bool insideRounded(double x, double y, double x0, double y0, double x1, double y1, double r)
{
    const double cx = std::clamp(x, x0 + r, x1 - r), cy = std::clamp(y, y0 + r, y1 - r);
    const double dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= r * r;
}

// --- materials --------------------------------------------------------------------------------

Rgb gradient2(Rgb a, Rgb b, double t) { return mix(a, b, std::clamp(t, 0.0, 1.0)); }

Material plainTheme(Rgb topLeft, Rgb bottomRight, int seed)
{
    return [=](int x, int y) {
        const double t = (x * 0.6 + y) / (W * 0.6 + H);
        Rgb c = gradient2(topLeft, bottomRight, t);
        // soft flowing light bands
        const double wave = std::sin((x + 1.6 * y) / 90.0 + 2.5 * fbm(x / 160.0, y / 160.0, seed, 3));
        c = mix(c, {255, 255, 255}, 0.07 * (wave + 1) / 2);
        const double grain = hashNoise(x, y, seed) - 0.5;
        return Rgb{c.r + grain * 3, c.g + grain * 3, c.b + grain * 3};
    };
}

Material glass(Rgb hue)
{
    return [=](int x, int y) {
        const double t = double(y) / H;
        Rgb deep = scale(hue, 0.55), bright = mix(hue, {255, 255, 255}, 0.35);
        Rgb c = mix(bright, deep, smooth(0.0, 1.0, t));
        // a broad curved sheen across the upper part
        const double curve = 170 + 40 * std::sin(x / double(W) * kPi);
        if (y < curve) c = mix(c, {255, 255, 255}, 0.42 * (1 - y / curve));
        else c = mix(c, scale(hue, 0.35), 0.25 * smooth(curve, curve + 40, y));
        // diagonal streaks of reflected light
        const double streak = std::sin((x - y * 0.7) / 22.0);
        if (streak > 0.93) c = mix(c, {255, 255, 255}, 0.18 * (streak - 0.93) / 0.07);
        // glowing bubbles
        const double bx[] = {120, 520, 600, 60, 400}, by[] = {430, 120, 400, 150, 455}, br[] = {70, 90, 50, 40, 60};
        for (int i = 0; i < 5; ++i) {
            const double d = std::hypot(x - bx[i], y - by[i]) / br[i];
            if (d < 1) c = mix(c, mix(hue, {255, 255, 255}, 0.6), 0.25 * (1 - d) * (1 - d));
            if (d > 0.92 && d < 1.0) c = mix(c, {255, 255, 255}, 0.25);
        }
        return c;
    };
}

Material camouflage()
{
    return [](int x, int y) {
        const Rgb khaki{178, 166, 116}, olive{104, 114, 62}, forest{52, 74, 42}, brown{96, 72, 46}, black{34, 36, 28};
        const double a = fbm(x / 95.0, y / 75.0, 11, 4);
        const double b = fbm(x / 70.0 + 40, y / 85.0, 23, 4);
        const double c = fbm(x / 50.0, y / 50.0 + 17, 37, 4);
        Rgb col = khaki;
        if (a > 0.5) col = olive;
        if (b > 0.56) col = forest;
        if (c > 0.6) col = brown;
        if (a > 0.62 && b < 0.44) col = black;
        const double fleck = hashNoise(x / 2, y / 2, 5) - 0.5;
        return Rgb{col.r + fleck * 8, col.g + fleck * 8, col.b + fleck * 6};
    };
}

Material marble()
{
    return [](int x, int y) {
        const Rgb stone{234, 231, 224}, vein{112, 118, 120}, warm{214, 204, 188};
        const double turbulence = fbm(x / 120.0, y / 120.0, 71, 6);
        const double v = std::sin((x * 0.9 + y * 0.5) / 38.0 + 9 * turbulence);
        const double fine = std::sin((x * 0.3 - y) / 19.0 + 7 * fbm(x / 60.0, y / 60.0, 83, 5));
        Rgb c = mix(stone, warm, fbm(x / 200.0, y / 200.0, 91, 3));
        c = mix(c, {198, 200, 202}, 0.35 * smooth(0.45, 0.8, fbm(x / 90.0, y / 90.0, 97, 5)));
        c = mix(c, vein, std::pow(1 - std::abs(v), 7) * 0.9);
        c = mix(c, scale(vein, 1.2), std::pow(1 - std::abs(fine), 14) * 0.5);
        return c;
    };
}

Material metal()
{
    return [](int x, int y) {
        // horizontal brushing: noise stretched along the rows
        const double brush = fbm(x / 220.0, y / 0.9, 41, 3) - 0.5;
        const double fine = hashNoise(x / 6, y, 43) - 0.5;
        double v = 168 + 60 * brush + 10 * fine;
        // broad anisotropic light: bright band across the diagonal
        const double d = (x * 0.5 - y + 120) / 260.0;
        v += 26 * std::exp(-d * d * 4) - 10;
        return Rgb{v, v + 2, v + 6};
    };
}

Material wood()
{
    return [](int x, int y) {
        const Rgb light{204, 150, 92}, dark{126, 74, 38};
        const double warp = 5 * fbm(x / 260.0, y / 40.0, 61, 4);
        const double rings = y / 13.0 + warp + 0.8 * std::sin(x / 150.0);
        const double f = rings - std::floor(rings);
        const double band = smooth(0.0, 0.55, f) * (1 - smooth(0.75, 1.0, f));
        Rgb c = mix(dark, light, band);
        const double grain = fbm(x / 30.0, y / 1.5, 67, 2) - 0.5;
        c = scale(c, 1 + grain * 0.18);
        // a knot
        const double kd = std::hypot((x - 470) / 1.0, (y - 300) * 2.2);
        if (kd < 40) c = mix(c, scale(dark, 0.8), 0.6 * (1 - kd / 40));
        return c;
    };
}

// --- the window face -----------------------------------------------------------------------

QImage paintSkin(const Look& look)
{
    QImage img(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            Rgb c = look.material(x, y);
            // title strip, rows 0 to 40: a touch darker with a lit top edge
            if (y <= 40) c = mix(c, scale(c, 0.72), 0.8 - y / 60.0);
            if (y == 41) c = scale(c, 0.55);
            if (y == 42) c = mix(c, {255, 255, 255}, 0.25);
            if (look.glossy && y <= 20) c = mix(c, {255, 255, 255}, 0.38 * (1 - y / 21.0));
            // controls panel: calm and light so that captions and lists read
            if (insideRounded(x, y, 290, 50, 620, 470, 10)) {
                Rgb calm = mix(c, look.panel, look.panelAmount);
                if (look.glossy && y < 130) calm = mix(calm, {255, 255, 255}, 0.3 * (1 - (y - 50) / 80.0));
                if (y >= 440) calm = mix(c, look.rim, 0.75); // footer for the white version label
                c = calm;
            }
            // preview well: recessed, dark
            if (x >= 20 && x <= 266 && y >= 60 && y <= 386) {
                const int edge = std::min({x - 20, 266 - x, y - 60, 386 - y});
                if (edge < 3) {
                    const bool lit = (x - 20 > 266 - x) ? (y - 60 > 386 - y || 266 - x < y - 60) : false;
                    c = (x - 20 == edge || y - 60 == edge) ? scale(c, 0.45) : mix(c, {255, 255, 255}, lit ? 0.45 : 0.45);
                } else {
                    c = mix(scale(c, 0.3), {20, 22, 26}, 0.5);
                }
            }
            // close and minimise plates at the top right
            for (int i = 0; i < 2; ++i) {
                const int x0 = 578 + i * 25, x1 = x0 + 20;
                if (insideRounded(x, y, x0, 9, x1, 29, 4)) {
                    c = mix(c, i == 1 ? Rgb{196, 48, 40} : scale(c, 0.5), 0.7);
                    if (y <= 12) c = mix(c, {255, 255, 255}, 0.3);
                }
            }
            // the outline: outside the rounded window any colour, along it a lit rim
            if (!insideRounded(x + 0.5, y + 0.5, 0, 0, W, H, 15)) c = {0, 0, 0};
            else if (!insideRounded(x + 0.5, y + 0.5, 2, 2, W - 2, H - 2, 13)) c = look.rim;
            else if (!insideRounded(x + 0.5, y + 0.5, 4, 4, W - 4, H - 4, 11)) c = mix(c, {255, 255, 255}, 0.3);
            img.setPixel(x, y, pack(c));
        }
    // glossy skins: a highlight across the title strip
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // panel outline and well outline
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(290.5, 50.5, 330, 420), 10, 10);
    // brand on the face below the preview well
    QFont f(uiFamily());
    f.setPixelSize(26);
    f.setBold(true);
    p.setFont(f);
    // engraved on dark faces, embossed on light ones
    double lum = 0;
    for (int y = 400; y < 440; ++y)
        for (int x = 60; x < 230; ++x) lum += qGray(img.pixel(x, y));
    lum /= 40.0 * 170.0;
    const bool light = lum > 150;
    p.setPen(light ? QColor(255, 255, 255, 200) : QColor(0, 0, 0, 110));
    p.drawText(QRect(22, 402, 246, 40), Qt::AlignCenter, QStringLiteral("Orvantis"));
    p.setPen(light ? QColor(40, 40, 44, 190) : QColor(255, 255, 255, 170));
    p.drawText(QRect(20, 400, 246, 40), Qt::AlignCenter, QStringLiteral("Orvantis"));
    if (look.rivets) {
        const QPoint at[] = {{14, 56}, {276, 56}, {14, 462}, {276, 462}};
        for (const QPoint& c : at) {
            QRadialGradient g(QPointF(c) + QPointF(-1.5, -1.5), 6);
            g.setColorAt(0, QColor(250, 250, 252));
            g.setColorAt(0.6, QColor(150, 152, 158));
            g.setColorAt(1, QColor(70, 72, 78));
            p.setPen(QPen(QColor(40, 42, 46), 1));
            p.setBrush(g);
            p.drawEllipse(QPointF(c), 4.5, 4.5);
        }
    }
    p.end();
    return img;
}

} // namespace

QList<Picture> skinPictures()
{
    const QList<Look> looks = {
        {QStringLiteral("SKIN"), plainTheme({24, 44, 96}, {56, 104, 176}, 3), {226, 232, 244}, 0.8, {10, 20, 50}},
        {QStringLiteral("SKIN-BLUEGREEN"), plainTheme({24, 70, 150}, {30, 150, 116}, 5), {224, 240, 238}, 0.8, {10, 40, 60}},
        {QStringLiteral("SKIN-CAMOUFLAGE"), camouflage(), {214, 208, 176}, 0.72, {30, 34, 24}},
        {QStringLiteral("SKIN-GLASS-BLUE"), glass({40, 110, 220}), {236, 244, 255}, 0.7, {10, 40, 100}, true},
        {QStringLiteral("SKIN-GLASS-GREEN"), glass({40, 176, 90}), {236, 252, 240}, 0.7, {10, 70, 30}, true},
        {QStringLiteral("SKIN-GLASS-PURPLE"), glass({132, 64, 200}), {246, 238, 255}, 0.7, {50, 20, 80}, true},
        {QStringLiteral("SKIN-GREEN"), plainTheme({24, 92, 40}, {96, 168, 72}, 7), {230, 242, 226}, 0.8, {10, 40, 16}},
        {QStringLiteral("SKIN-GREENBLUE"), plainTheme({40, 140, 64}, {32, 80, 172}, 9), {228, 240, 244}, 0.8, {14, 40, 60}},
        {QStringLiteral("SKIN-MARBLE"), marble(), {250, 248, 244}, 0.55, {90, 90, 88}},
        {QStringLiteral("SKIN-METAL"), metal(), {232, 234, 238}, 0.55, {60, 62, 68}, false, true},
        {QStringLiteral("SKIN-WOOD"), wood(), {240, 222, 190}, 0.72, {60, 32, 12}},
    };
    QList<Picture> out;
    for (const Look& look : looks) {
        const bool bitmap = look.name == QLatin1String("SKIN");
        out.append({look.name, paintSkin(look), bitmap ? 24 : 8, bitmap ? QStringLiteral("bmp") : QStringLiteral("gif")});
    }
    return out;
}

} // namespace gen

#include "artwork.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>

#include <cmath>

namespace gen {

QString uiFamily()
{
    static const QString family = [] {
        QString found;
        for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
            if (!QFile::exists(QString::fromLatin1(file))) continue;
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (found.isEmpty() && !families.isEmpty()) found = families.first();
        }
        return found.isEmpty() ? QStringLiteral("DejaVu Sans") : found;
    }();
    return family;
}

QFont uiFont(bool bold, int pixels)
{
    QFont f(uiFamily());
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void px(QImage& img, int x, int y, QRgb c)
{
    if (x >= 0 && y >= 0 && x < img.width() && y < img.height()) img.setPixel(x, y, c);
}

void hline(QImage& img, int x0, int x1, int y, QRgb c)
{
    for (int x = x0; x <= x1; ++x) px(img, x, y, c);
}

void vline(QImage& img, int x, int y0, int y1, QRgb c)
{
    for (int y = y0; y <= y1; ++y) px(img, x, y, c);
}

void rect(QImage& img, int x0, int y0, int x1, int y1, QRgb c)
{
    hline(img, x0, x1, y0, c);
    hline(img, x0, x1, y1, c);
    vline(img, x0, y0, y1, c);
    vline(img, x1, y0, y1, c);
}

void fill(QImage& img, int x0, int y0, int x1, int y1, QRgb c)
{
    for (int y = y0; y <= y1; ++y) hline(img, x0, x1, y, c);
}

void art(QImage& img, int x, int y, const std::initializer_list<const char*>& rows,
         const std::initializer_list<Ink>& inks)
{
    int row = 0;
    for (const char* line : rows) {
        for (int col = 0; line[col]; ++col) {
            const char ch = line[col];
            if (ch == ' ' || ch == '.') continue;
            for (const Ink& ink : inks)
                if (ink.ch == ch) { px(img, x + col, y + row, ink.rgb); break; }
        }
        ++row;
    }
}

void text(QImage& img, int x, int top, const QString& s, QRgb c, bool bold)
{
    QPainter p(&img);
    prepare(p);
    const QFont f = uiFont(bold);
    p.setFont(f);
    p.setPen(QColor::fromRgb(c));
    const QFontMetrics fm(f);
    p.drawText(x, top + fm.ascent(), s);
}

int textWidth(const QString& s, bool bold)
{
    return QFontMetrics(uiFont(bold)).horizontalAdvance(s);
}

// --- noise ---------------------------------------------------------------------------------

double hashNoise(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xffffff) / double(0xffffff);
}

double valueNoise(double x, double y, int seed)
{
    const int xi = int(std::floor(x)), yi = int(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = hashNoise(xi, yi, seed), b = hashNoise(xi + 1, yi, seed);
    const double c = hashNoise(xi, yi + 1, seed), d = hashNoise(xi + 1, yi + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

double fbm(double x, double y, int seed, int octaves)
{
    double sum = 0, amp = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, seed + i * 101);
        norm += amp;
        x *= 2.03; y *= 2.03; amp *= 0.5;
    }
    return sum / norm;
}

} // namespace gen

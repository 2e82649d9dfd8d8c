#pragma once
// Shared drawing helpers of the picture generator: fonts, pixel-exact shapes, colour
// reduction and the writers.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QString>

#include <cstdint>

namespace gen {

struct Picture {
    QString name;   // "MENU", "SKIN-WOOD"
    QImage image;   // RGB32 as drawn
    int depth = 24; // 8 or 24 as stored
    QString format; // "bmp" or "gif"
};

// Loads the handheld's Tahoma once; returns the family to use (DejaVu Sans when missing).
QString uiFamily();
// 8 point on the handheld's 96 dpi desktop twin: 11 pixels, no smoothing.
QFont uiFont(bool bold = false, int pixels = 11);

// A painter on an RGB32 image with smoothing off, so every pixel is an exact colour.
void prepare(QPainter& p);
void px(QImage& img, int x, int y, QRgb c);
void hline(QImage& img, int x0, int x1, int y, QRgb c);
void vline(QImage& img, int x, int y0, int y1, QRgb c);
void rect(QImage& img, int x0, int y0, int x1, int y1, QRgb c);   // outline, inclusive
void fill(QImage& img, int x0, int y0, int x1, int y1, QRgb c);   // filled, inclusive
// Pixel art: each character of the rows picks a colour from the key; ' ' and '.' leave
// the pixel alone.
struct Ink { char ch; QRgb rgb; };
void art(QImage& img, int x, int y, const std::initializer_list<const char*>& rows,
         const std::initializer_list<Ink>& inks);
void text(QImage& img, int x, int top, const QString& s, QRgb c, bool bold = false);
int textWidth(const QString& s, bool bold = false);

// Deterministic noise for the skins' materials.
double hashNoise(int x, int y, int seed);          // 0..1 per integer lattice point
double valueNoise(double x, double y, int seed);   // smooth, 0..1
double fbm(double x, double y, int seed, int octaves);

// Colour reduction and the stored forms.
QImage toIndexed(const QImage& rgb);            // exact when 256 colours or fewer, else median cut
QByteArray encodeBmp(const QImage& img);        // 8-bit when indexed, else 24-bit
QByteArray encodeGif(const QImage& indexed);    // GIF89a, one frame, LZW

QList<Picture> screenPictures();
QList<Picture> skinPictures();
// The desktop icons of the program and its document type, stored as PNG.
QList<Picture> iconPictures();
QByteArray encodePng(const QImage& img);
// The about window's picture, and the region data file of its outline (FRData.dat).
Picture aboutPicture();
QByteArray aboutRegionData();
// Stored bytes of a picture (8-bit pictures reduced to an indexed table first).
QByteArray storedBytes(const Picture& pic);

// The mock screens and the contact sheet, for looking at the artwork.
bool writePreviews(const QString& dir, const QList<Picture>& pictures);

} // namespace gen

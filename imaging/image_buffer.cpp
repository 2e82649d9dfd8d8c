#include "imaging/image_buffer.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

namespace orv {

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFF;

inline bool sameRgb(QRgb a, QRgb b) { return ((a ^ b) & kRgbMask) == 0; }

// The part of r that lies inside a w x h picture.
QRect clipTo(const QRect& r, int w, int h) { return r.intersected(QRect(0, 0, w, h)); }

} // namespace

QImage to24(const QImage& picture)
{
    if (picture.format() == QImage::Format_RGB32) return picture;
    return picture.convertToFormat(QImage::Format_RGB32);
}

void ImageBuffer::Create(int bits, int width, int height, Colour fill)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (bits <= 8) {
        image_ = QImage(width, height, QImage::Format_Indexed8);
        image_.setColorTable({toQRgb(fill) | 0xFF000000u});
        image_.fill(0);
    } else {
        image_ = QImage(width, height, QImage::Format_RGB32);
        image_.fill(toQRgb(fill));
    }
    coverWhole();
}

void ImageBuffer::setPicture(const QImage& picture)
{
    if (picture.format() == QImage::Format_Indexed8 || picture.format() == QImage::Format_RGB32)
        image_ = picture;
    else if (picture.depth() <= 8)
        image_ = picture.convertToFormat(QImage::Format_Indexed8);
    else
        image_ = picture.convertToFormat(QImage::Format_RGB32);
    coverWhole();
}

int ImageBuffer::BitsPerPixel() const
{
    if (image_.isNull()) return 24;
    return image_.format() == QImage::Format_Indexed8 ? 8 : 24;
}

void ImageBuffer::ConvertBitsPerPixel(int bits)
{
    if (image_.isNull()) return;
    if (bits >= 24) {
        ensure24();
    } else if (bits <= 8 && image_.format() != QImage::Format_Indexed8) {
        image_ = image_.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    }
}

void ImageBuffer::ensure24()
{
    if (!image_.isNull() && image_.format() != QImage::Format_RGB32) image_ = to24(image_);
}

void ImageBuffer::Clear(int)
{
    image_ = QImage();
    coverWhole();
}

QImage ImageBuffer::part(const ImageBuffer& source, bool useSourceRect) const
{
    const QImage& src = source.image_;
    if (src.isNull()) return {};
    if (!useSourceRect) return to24(src);
    // A rectangle reaching past the picture reads only what lies inside it.
    const QRect r = clipTo(QRect(source.RectLeft, source.RectTop, source.RectWidth,
                                 source.RectHeight), src.width(), src.height());
    if (r.isEmpty()) return {};
    return to24(src.copy(r));
}

void ImageBuffer::CopyFrom(bool useOwnRect, const ImageBuffer& source, bool useSourceRect,
                           int mode)
{
    QImage piece = part(source, useSourceRect);
    if (piece.isNull()) return;

    if (!useOwnRect && (useSourceRect || image_.isNull())) {
        // The part becomes this buffer's picture, size included.
        image_ = piece.copy();
        coverWhole();
        return;
    }
    ensure24();

    QPoint at(0, 0);
    if (useOwnRect) {
        at = QPoint(RectLeft, RectTop);
        const QSize want(RectWidth, RectHeight);
        if (ResampleMode != 0 && want.isValid() && !want.isEmpty() && piece.size() != want) {
            const bool keyed = mode == 2 && UseKeyColour;
            // Keyed copies keep pure key pixels: scale them without blending.
            piece = piece.scaled(want, Qt::IgnoreAspectRatio,
                                 keyed ? Qt::FastTransformation : Qt::SmoothTransformation);
            piece = to24(piece);
        }
    }

    const QRect dest = clipTo(QRect(at, piece.size()), image_.width(), image_.height());
    if (dest.isEmpty()) return;
    const bool keyed = mode == 2 && UseKeyColour;
    const QRgb key = toQRgb(KeyColour);
    const int sx0 = dest.left() - at.x();
    const int sy0 = dest.top() - at.y();
    for (int y = 0; y < dest.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(piece.constScanLine(sy0 + y)) + sx0;
        QRgb* d = reinterpret_cast<QRgb*>(image_.scanLine(dest.top() + y)) + dest.left();
        if (!keyed) {
            std::copy(s, s + dest.width(), d);
        } else {
            for (int x = 0; x < dest.width(); ++x)
                if (!sameRgb(s[x], key)) d[x] = s[x];
        }
    }
}

void ImageBuffer::CopyMasked(const ImageBuffer& source, const ImageBuffer& mask)
{
    if (source.image_.isNull() || mask.image_.isNull()) return;
    ensure24();
    const QImage src = to24(source.image_);
    const QImage msk = to24(mask.image_);
    const QPoint at(MaskOffsetX, MaskOffsetY);
    const int w = std::min(src.width(), msk.width());
    const int h = std::min(src.height(), msk.height());
    const QRect dest = clipTo(QRect(at, QSize(w, h)), image_.width(), image_.height());
    for (int y = dest.top(); y <= dest.bottom(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y - at.y()));
        const QRgb* m = reinterpret_cast<const QRgb*>(msk.constScanLine(y - at.y()));
        QRgb* d = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = dest.left(); x <= dest.right(); ++x) {
            const int sx = x - at.x();
            if (sameRgb(m[sx], 0xFFFFFF)) d[x] = s[sx];
        }
    }
}

void ImageBuffer::ReplaceColour(Colour first, Colour last, int outside, Colour newColour)
{
    if (image_.isNull()) return;
    ensure24();
    const int lo[3] = {std::min(RedOf(first), RedOf(last)), std::min(GreenOf(first), GreenOf(last)),
                       std::min(BlueOf(first), BlueOf(last))};
    const int hi[3] = {std::max(RedOf(first), RedOf(last)), std::max(GreenOf(first), GreenOf(last)),
                       std::max(BlueOf(first), BlueOf(last))};
    const QRgb to = toQRgb(newColour);
    const QRect r = clipTo(QRect(RectLeft, RectTop, RectWidth, RectHeight), image_.width(),
                           image_.height());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            const int c[3] = {qRed(d[x]), qGreen(d[x]), qBlue(d[x])};
            const bool inside = c[0] >= lo[0] && c[0] <= hi[0] && c[1] >= lo[1] && c[1] <= hi[1] &&
                                c[2] >= lo[2] && c[2] <= hi[2];
            if (inside == (outside == 0)) d[x] = to;
        }
    }
}

void ImageBuffer::DrawRect(int)
{
    if (image_.isNull() || RectWidth <= 0 || RectHeight <= 0) return;
    ensure24();
    const QRgb c = toQRgb(ForeColor);
    const QRect outline(RectLeft, RectTop, RectWidth, RectHeight);
    const QRect r = clipTo(outline, image_.width(), image_.height());
    if (r.isEmpty()) return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(image_.scanLine(y));
        if (y == outline.top() || y == outline.bottom()) {
            std::fill(d + r.left(), d + r.right() + 1, c);
        } else {
            if (outline.left() >= r.left()) d[outline.left()] = c;
            if (outline.right() <= r.right()) d[outline.right()] = c;
        }
    }
}

void ImageBuffer::DrawText(int)
{
    if (image_.isNull() || Text.isEmpty()) return;
    ensure24();
    QFont font(Font.Name);
    font.setPixelSize(qRound(Font.Size * 96.0 / 72.0));
    font.setBold(Font.Bold);
    // The handheld draws its fonts' own bitmaps, never smoothed.
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    QPainter p(&image_);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(font);
    const QRect box(RectLeft, RectTop, std::max(RectWidth, 0), std::max(RectHeight, 0));
    if (!TextTransparent) p.fillRect(p.boundingRect(box, Qt::AlignLeft | Qt::AlignTop, Text), Qt::white);
    p.setPen(QColor::fromRgb(toQRgb(ForeColor)));
    p.setClipRect(box);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Text);
}

void ImageBuffer::SetPixel(int x, int y, Colour c)
{
    if (image_.isNull() || !image_.rect().contains(x, y)) return;
    ensure24();
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = toQRgb(c);
}

Colour ImageBuffer::pixel(int x, int y) const
{
    if (image_.isNull() || !image_.rect().contains(x, y)) return kBlack;
    return fromQRgb(image_.pixel(x, y));
}

void ImageBuffer::FinishMenu()
{
    // The menu drawing carries its own border; nothing is left to finish.
}

} // namespace orv
